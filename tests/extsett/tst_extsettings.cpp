// SPDX-License-Identifier: GPL-2.0-or-later
// The extended settings map built from the pane, the sosreport arguments made from it, the time
// window and putting stored settings back into the pane.
#include "customlistwidget.h"
#include "extsettwidget.h"
#include "extsettwidgetaccess.h"
#include "modaldialoghelper.h"
#include "sosarguments.h"
#include "sosoptions.h"
#include "testenvironment.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QValidator>

namespace {
const QString Listing = QStringLiteral("sosreport (version 4.0)\n"
                                       "The following plugins are currently enabled:\n"
                                       " a     First\n"
                                       " b     Second\n"
                                       " cgroups   Control groups\n"
                                       "The following plugins are currently disabled:\n"
                                       " Profiles: x, y\n"
                                       " 2 profiles, 3 plugins\n");
} // namespace

class TestExtSettings : public QObject
{
    Q_OBJECT

private:
    template <typename T> T *child(const char *name)
    {
        return widget->findChild<T *>(QLatin1String(name));
    }
    void select(const char *combo, const char *button, const QString &name)
    {
        child<QComboBox>(combo)->setCurrentText(name);
        child<QPushButton>(button)->click();
    }
    // A sos 4.0 read earlier, which lacks --noetc and --split.
    static void markWithoutNoEtcAndSplit(ExtSettWidget *pane, SosOptions &options)
    {
        QSettings().setValue(QStringLiteral("sosoptions/4.0"),
                             QStringList{"--batch", "--case-id", "-o", "-p"});
        options.load();
        pane->markMissingOptions(options);
    }
    void setWindow(int amount, int unit)
    {
        child<QComboBox>("sinceUnitsCB")->setCurrentIndex(unit);
        child<QSpinBox>("sinceValSB")->setValue(amount);
    }

    // Shortcuts such as the list's Delete key, and popups, only work in an active window.
    bool showActive()
    {
        widget->show();
        QApplication::setActiveWindow(widget);
        return QTest::qWaitForWindowActive(widget);
    }

    ExtSettWidget *widget = nullptr;

private slots:
    void init()
    {
        widget = new ExtSettWidget;
        widget->fillPluginsAndProfiles(Listing);
    }
    void cleanup()
    {
        delete widget;
        QVERIFY(!KroTest::ModalDialogHelper::openModal());
    }

    void defaultsGiveNoArguments()
    {
        QCOMPARE(widget->getExtSettings(), QVariantMap());
        QVERIFY(!child<QSpinBox>("splitSizeSB")->isEnabled());
    }

    void argumentOrder()
    {
        QTemporaryDir tmp;
        select("pluginCB", "addPluginPB", QStringLiteral("b"));
        select("pluginCB", "addPluginPB", QStringLiteral("a"));
        select("profileCB", "addProfilePB", QStringLiteral("x"));
        child<QCheckBox>("allLogsChB")->setChecked(true);
        child<QCheckBox>("allOptsChB")->setChecked(true);
        child<QCheckBox>("noEtcChB")->setChecked(true);
        child<QCheckBox>("cleanChB")->setChecked(true);
        child<QLineEdit>("labelLE")->setText(QStringLiteral("before-fix"));
        child<QCheckBox>("showAllChB")->setChecked(true);
        child<QCheckBox>("splitChB")->setChecked(true);
        child<QSpinBox>("splitSizeSB")->setValue(25);
        child<QLineEdit>("caseIdLE")->setText(QStringLiteral("Case42"));
        child<QComboBox>("compressCB")->setCurrentIndex(2);
        child<QLineEdit>("tempLE")->setText(tmp.path());
        child<QLineEdit>("rootLE")->setText(QStringLiteral("/tmp/"));
        setWindow(2, 1);

        const QVariantMap settings = widget->getExtSettings();
        const QString since = settings.value(QStringLiteral("--since")).toString();
        QCOMPARE(since.size(), 14);
        QCOMPARE(settings.value(QStringLiteral("sinceval")), QVariant(2));
        QCOMPARE(settings.value(QStringLiteral("sinceunit")), QVariant(1));
        QCOMPARE(widget->getSosreportArgs(settings),
                 (QStringList{"--all-logs", "--alloptions",
                              "--case-id",  "Case42",
                              "--clean",    "--compression-type",
                              "xz",         "--label",
                              "before-fix", "--noetc",
                              "--since",    since,
                              "--split",    "25",
                              "--tmp-dir",  tmp.path(),
                              "-o",         "b",
                              "-o",         "a",
                              "-p",         "x"}));
        // The helper passes every option of the form on to sos; another system root is none.
        QCOMPARE(SosArguments::refusal(widget->getSosreportArgs(settings)), QString());
        QVERIFY(!child<QLineEdit>("rootLE")->isEnabled());
    }

    void directoryRules_data()
    {
        QTest::addColumn<QString>("tempText");
        QTest::addColumn<QString>("rootText");
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("defaults") << "/tmp"
                                  << "/" << QStringList();
        QTest::newRow("empty") << ""
                               << "" << QStringList();
        QTest::newRow("missing") << "/nonexistent-kro"
                                 << "/nonexistent-kro" << QStringList();
        QTest::newRow("trailing slash") << "/tmp/"
                                        << "//" << QStringList{"--tmp-dir", "/tmp/"};
        QTest::newRow("a file") << "/etc/hostname"
                                << "/etc/passwd" << QStringList();
    }

    void directoryRules()
    {
        QFETCH(QString, tempText);
        QFETCH(QString, rootText);
        child<QLineEdit>("tempLE")->setText(tempText);
        child<QLineEdit>("rootLE")->setText(rootText);
        QTEST(widget->getSosreportArgs(widget->getExtSettings()), "arguments");
    }

    void cgroupsQuestion()
    {
        KroTest::ModalDialogHelper dialogs;
        select("pluginCB", "addPluginPB", QStringLiteral("cgroups"));
        dialogs.expectMessageBox(QMessageBox::Yes);
        QVariantMap settings = widget->getExtSettings();
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Plugin \"cgroups\" may CRITICALLY conflict with Kaspersky "
                                "Endpoint Security!\nDo you really want to include it?"));
        QCOMPARE(dialogs.last().defaultButton, QString());
        QCOMPARE(widget->getSosreportArgs(settings),
                 (QStringList{"--forcedbadplugins", "-o", "cgroups"}));

        dialogs.expectMessageBox(QMessageBox::No);
        settings = widget->getExtSettings();
        QCOMPARE(settings.value(QStringLiteral("-o")).toStringList(), QStringList());
        QVERIFY(settings.contains(QStringLiteral("-o")));
        QCOMPARE(widget->getSosreportArgs(settings), QStringList());
        // Refused once, it is no longer asked about nor passed.
        QCOMPARE(widget->getExtSettings(), QVariantMap());
        QCOMPARE(dialogs.records().size(), 2);
    }

    void timeWindow_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("since");
        const QDateTime december(QDate(2026, 12, 7), QTime(14, 5, 9));
        QTest::newRow("minutes") << december << 30 << 0 << "20261207133509";
        QTest::newRow("hours") << december << 23 << 1 << "20261206150509";
        QTest::newRow("days") << december << 45 << 2 << "20261023140509";
        QTest::newRow("months") << december << 11 << 3 << "20260107";
        QTest::newRow("years") << december << 50 << 4 << "19761207";
        QTest::newRow("months, cut to February")
            << QDateTime(QDate(2026, 5, 31), QTime(8, 0)) << 3 << 3 << "20260228";
        QTest::newRow("months, leap year")
            << QDateTime(QDate(2028, 5, 31), QTime(8, 0)) << 3 << 3 << "20280229";
        QTest::newRow("not set") << december << 0 << 0 << "";
    }

    void timeWindow()
    {
        QFETCH(QDateTime, now);
        QFETCH(int, amount);
        QFETCH(int, unit);
        setWindow(amount, unit);
        QTEST(widget->getSinceDateTime(now), "since");
    }

    void largestAmountPerUnit()
    {
        setWindow(40, 2);
        child<QComboBox>("sinceUnitsCB")->setCurrentIndex(1);
        QCOMPARE(child<QSpinBox>("sinceValSB")->value(), 23);
        child<QComboBox>("sinceUnitsCB")->setCurrentIndex(2);
        QCOMPARE(child<QSpinBox>("sinceValSB")->value(), 23);
        child<QComboBox>("sinceUnitsCB")->setCurrentIndex(4);
        QCOMPARE(child<QSpinBox>("sinceValSB")->maximum(), 50);
    }

    void caseIdValidator()
    {
        auto *caseId = child<QLineEdit>("caseIdLE");
        caseId->setFocus();
        QTest::keyClicks(caseId, QStringLiteral("UX-12_3 4"));
        QCOMPARE(caseId->text(), QStringLiteral("UX-12_3 4"));
        auto *label = child<QLineEdit>("labelLE");
        label->setFocus();
        QTest::keyClicks(label, QStringLiteral("ux label/x"));
        QCOMPARE(label->text(), QStringLiteral("ux labelx"));
        caseId->setFocus();
        QString accented = QStringLiteral("ab\u00e9");
        int position = 0;
        QCOMPARE(caseId->validator()->validate(accented, position), QValidator::Invalid);
        QTest::keyClicks(caseId, QStringLiteral("0123456789ABCDEFG"));
        QCOMPARE(caseId->text().size(), 20);
    }

    void restoreStoredMap()
    {
        KroTest::ModalDialogHelper dialogs;
        child<QComboBox>("sinceUnitsCB")->setCurrentIndex(1);
        child<QCheckBox>("splitChB")->setChecked(true);
        select("pluginCB", "addPluginPB", QStringLiteral("a"));
        const QVariantMap stored{{"sinceval", 30},
                                 {"sinceunit", 2},
                                 {"-o", QStringList{"gone", "b"}},
                                 {"-p", QStringList{"zz", "y"}},
                                 {"--compression-type", "gzip"},
                                 {"--case-id", "C1"},
                                 {"--clean", true},
                                 {"--label", "lab"},
                                 {"--noetc", true}};
        dialogs.expectMessageBox(QMessageBox::Yes);
        dialogs.expectMessageBox(QMessageBox::Ok);
        widget->setPrevSettings(stored);
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(dialogs.records().first().text,
                 QStringLiteral("The current settings will be lost.\nDo you want to continue? "));
        QCOMPARE(dialogs.last().text, QStringLiteral("Profile \"zz\" not found."));
        QCOMPARE(child<QSpinBox>("sinceValSB")->value(), 30);
        QVERIFY(!child<QCheckBox>("splitChB")->isChecked());
        QCOMPARE(ExtSettWidgetAccess::selectedPlugins(*widget), (QStringList{"gone", "b"}));
        QCOMPARE(ExtSettWidgetAccess::selectedProfiles(*widget), QStringList{"y"});
        QCOMPARE(child<QLineEdit>("tempLE")->text(), QStringLiteral("/tmp"));

        QVariantMap expected = stored;
        expected.insert("-p", QStringList{"y"});
        expected.insert("--since", widget->getSinceDateTime());
        QCOMPARE(widget->getExtSettings(), expected);

        dialogs.expectMessageBox(QMessageBox::No);
        widget->setPrevSettings(QVariantMap());
        QCOMPARE(ExtSettWidgetAccess::selectedPlugins(*widget), (QStringList{"gone", "b"}));
    }

    void missingOptionsDisabled_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("tip");
        const QString split = QStringLiteral("The installed sos 4.0 has no option --split: the "
                                             "finished report is split into volumes afterwards");
        QTest::newRow("no /etc") << "noEtcChB" << false
                                 << "The installed sos 4.0 has no option --noetc";
        QTest::newRow("clean") << "cleanChB" << false
                               << "The installed sos 4.0 has no option --clean";
        QTest::newRow("split") << "splitChB" << true << split;
        QTest::newRow("split size") << "splitSizeSB" << false << split; // until split is ticked
    }
    void missingOptionsDisabled()
    {
        QFETCH(QString, name);
        QFETCH(bool, enabled);
        QFETCH(QString, tip);
        SosOptions options(QStringLiteral("4.0"), QStringLiteral("/nonexistent/sosreport"));
        markWithoutNoEtcAndSplit(widget, options);
        auto *control = widget->findChild<QWidget *>(name);
        QCOMPARE(control->isEnabled(), enabled);
        QCOMPARE(control->toolTip(), tip);
    }

    void storedMissingOptionStaysOutOfTheRun()
    {
        KroTest::ModalDialogHelper dialogs;
        SosOptions options(QStringLiteral("4.0"), QStringLiteral("/nonexistent/sosreport"));
        markWithoutNoEtcAndSplit(widget, options);
        dialogs.expectMessageBox(QMessageBox::Yes);
        widget->setPrevSettings(QVariantMap{{"--noetc", true},
                                            {"--split", 20},
                                            {"--case-id", "C1"},
                                            {"--clean", true},
                                            {"--label", "L1"}});
        QVERIFY(dialogs.waitForAll());
        QVERIFY(child<QSpinBox>("splitSizeSB")->isEnabled());
        const QVariantMap settings = widget->getExtSettings();
        QVERIFY(settings.contains(QStringLiteral("--noetc")));
        QVERIFY(settings.contains(QStringLiteral("--clean")));
        QCOMPARE(widget->getSosreportArgs(options.acceptedOnly(settings)),
                 (QStringList{"--case-id", "C1"}));

        // A sos that has them gets both, and the switch is offered again.
        QSettings().setValue(QStringLiteral("sosoptions/4.1"),
                             QStringList{"--case-id", "--clean", "--mask", "--label"});
        SosOptions newer(QStringLiteral("4.1"), QStringLiteral("/nonexistent/sosreport"));
        newer.load();
        widget->markMissingOptions(newer);
        QVERIFY(child<QCheckBox>("cleanChB")->isEnabled());
        QCOMPARE(widget->getSosreportArgs(newer.acceptedOnly(settings)),
                 (QStringList{"--case-id", "C1", "--clean", "--label", "L1"}));
    }

    void defaultButton()
    {
        KroTest::ModalDialogHelper dialogs;
        select("profileCB", "addProfilePB", QStringLiteral("x"));
        select("pluginCB", "addPluginPB", QStringLiteral("a"));
        child<QCheckBox>("noEtcChB")->setChecked(true);
        setWindow(5, 0);
        child<QCheckBox>("splitChB")->setChecked(true);
        child<QSpinBox>("splitSizeSB")->setValue(50);
        dialogs.expectMessageBox(QMessageBox::Yes);
        child<QPushButton>("defaultPBtn")->click();
        QCOMPARE(widget->getExtSettings(), QVariantMap());
        QCOMPARE(child<QComboBox>("sinceUnitsCB")->currentIndex(), 2);
        QCOMPARE(child<QSpinBox>("splitSizeSB")->value(), 10);
        auto *plugins = child<CustomListWidget>("pluginsListWidget");
        QCOMPARE(plugins->count(), 1);
        QCOMPARE(plugins->item(0)->text(), QStringLiteral("Default: all active plugins"));
        QCOMPARE(child<CustomListWidget>("profilesListWidget")->item(0)->text(),
                 QStringLiteral("Default: no profiles"));
    }

    // Enter in a picker adds the typed name, Delete in the list removes the selected one.
    void pickersWorkFromTheKeyboard()
    {
        KroTest::ModalDialogHelper dialogs;
        QVERIFY(showActive());
        auto *pluginPicker = child<QComboBox>("pluginCB");
        auto *plugins = child<CustomListWidget>("pluginsListWidget");
        const int offered = pluginPicker->count();
        pluginPicker->lineEdit()->setText(QStringLiteral("b"));
        // The key goes where the focus is: to the combo box, which hands it to its line edit.
        QTest::keyClick(pluginPicker, Qt::Key_Return);
        QVERIFY(!plugins->findItems(QStringLiteral("b"), Qt::MatchExactly).isEmpty());
        // The typed name is not offered a second time.
        QCOMPARE(pluginPicker->count(), offered);

        child<QComboBox>("profileCB")->lineEdit()->setText(QStringLiteral("y"));
        QTest::keyClick(child<QComboBox>("profileCB"), Qt::Key_Enter);
        auto *profiles = child<CustomListWidget>("profilesListWidget");
        QVERIFY(!profiles->findItems(QStringLiteral("y"), Qt::MatchExactly).isEmpty());

        plugins->setCurrentItem(plugins->findItems(QStringLiteral("b"), Qt::MatchExactly).first());
        plugins->setFocus();
        QTest::keyClick(plugins, Qt::Key_Delete);
        QVERIFY(plugins->findItems(QStringLiteral("b"), Qt::MatchExactly).isEmpty());
    }

    // A user's click goes through the window system, where an open popup sees it first.
    void addClickWithCompletionsShownAdds()
    {
        KroTest::ModalDialogHelper dialogs;
        QVERIFY(showActive());
        auto *pluginPicker = child<QComboBox>("pluginCB");
        child<QTabWidget>("tabWidget")->setCurrentWidget(pluginPicker->parentWidget());
        pluginPicker->lineEdit()->clear();
        pluginPicker->setFocus();
        QTest::keyClicks(pluginPicker->lineEdit(), QStringLiteral("b"));
        QAbstractItemView *completions = pluginPicker->completer()->popup();
        QTRY_VERIFY(completions->isVisible());

        auto *add = child<QPushButton>("addPluginPB");
        const QPoint at = add->mapTo(widget, add->rect().center());
        QTest::mouseClick(widget->windowHandle(), Qt::LeftButton, {}, at);
        auto *plugins = child<CustomListWidget>("pluginsListWidget");
        QTRY_VERIFY(!plugins->findItems(QStringLiteral("b"), Qt::MatchExactly).isEmpty());
    }
};

KRO_TEST_MAIN(TestExtSettings)
#include "tst_extsettings.moc"
