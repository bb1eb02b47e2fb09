// SPDX-License-Identifier: GPL-2.0-or-later
// Reading the sosreport plugin listing, and choosing plugins and profiles from it.
#include "customlistwidget.h"
#include "extsettwidget.h"
#include "extsettwidgetaccess.h"
#include "modaldialoghelper.h"
#include "pluginlisting.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <unistd.h>

namespace {
const QString ElevenLines = QStringLiteral("sosreport (version 4.0)\n"
                                           "The following plugins are currently enabled:\n"
                                           " alpha                First test plugin\n"
                                           " beta                 Second test plugin\n"
                                           "The following plugins are currently disabled:\n"
                                           " gamma                inactive   Third test plugin\n"
                                           "The following options are available for ALL plugins:\n"
                                           " alpha.opt            off        an option\n"
                                           " Profiles: one, two,\n"
                                           "           three\n"
                                           " 3 profiles, 2 plugins\n");

const QString RussianHeaders = QString::fromUtf8("sos report (version 4.8)\n\n"
                                                 "Следующие модули включены:\n\n"
                                                 " alpha    First test plugin\n"
                                                 " beta     Second test plugin\n\n"
                                                 "Следующие модули отключены:\n\n"
                                                 " gamma    inactive   Third test plugin\n\n"
                                                 "Доступные параметры для всех модулей:\n"
                                                 " alpha.opt   off   an option\n");

const QString RussianNoneEnabled = QString::fromUtf8("sosreport (version 4.0)\n"
                                                     "Следующие модули включены:\n"
                                                     " Нет активных модулей\n"
                                                     "Следующие модули отключены:\n"
                                                     " gamma    inactive   Third\n"
                                                     " delta    inactive   Fourth\n"
                                                     "Доступные параметры:\n"
                                                     " gamma.opt   off   x\n");

QStringList items(const QComboBox *box)
{
    QStringList result;
    for (int row = 0; row < box->count(); ++row)
        result.append(box->itemText(row));
    return result;
}

QStringList texts(const QListWidget *list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result.append(list->item(row)->text());
    return result;
}
} // namespace

class TestPluginListing : public QObject
{
    Q_OBJECT

private:
    template <typename T> T *child(ExtSettWidget &widget, const char *name)
    {
        return widget.findChild<T *>(QLatin1String(name));
    }
    void addPlugin(ExtSettWidget &widget, const QString &name)
    {
        child<QComboBox>(widget, "pluginCB")->setCurrentText(name);
        child<QPushButton>(widget, "addPluginPB")->click();
    }
    void addProfile(ExtSettWidget &widget, const QString &name)
    {
        child<QComboBox>(widget, "profileCB")->setCurrentText(name);
        child<QPushButton>(widget, "addProfilePB")->click();
    }

private slots:
    void cleanup() { QVERIFY(!KroTest::ModalDialogHelper::openModal()); }

    void parseListing_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<bool>("showAll");
        QTest::addColumn<QStringList>("plugins");
        QTest::addColumn<QStringList>("active");
        QTest::addColumn<QStringList>("profiles");
        const QStringList ab{QStringLiteral("alpha"), QStringLiteral("beta")};
        const QStringList abc = ab + QStringList{QStringLiteral("gamma")};
        const QStringList profiles{QStringLiteral("one"), QStringLiteral("three"),
                                   QStringLiteral("two")};
        QTest::newRow("english") << ElevenLines << false << ab << ab << profiles;
        QTest::newRow("english, show all") << ElevenLines << true << abc << ab << profiles;
        QTest::newRow("russian, new banner")
            << RussianHeaders << false << ab << ab << QStringList();
        QTest::newRow("russian, show all") << RussianHeaders << true << abc << ab << QStringList();
        QTest::newRow("none enabled")
            << RussianNoneEnabled << false << QStringList() << QStringList() << QStringList();
        QTest::newRow("none enabled, show all")
            << RussianNoneEnabled << true
            << QStringList{QStringLiteral("delta"), QStringLiteral("gamma")} << QStringList()
            << QStringList();
    }

    void parseListing()
    {
        QFETCH(QString, listing);
        QFETCH(bool, showAll);
        ExtSettWidget widget;
        child<QCheckBox>(widget, "showAllChB")->setChecked(showAll);
        widget.fillPluginsAndProfiles(listing);
        QTEST(items(child<QComboBox>(widget, "pluginCB")), "plugins");
        QTEST(ExtSettWidgetAccess::activePlugins(widget), "active");
        QTEST(items(child<QComboBox>(widget, "profileCB")), "profiles");
        QCOMPARE(child<QPushButton>(widget, "addPluginPB")->isEnabled(),
                 !ExtSettWidgetAccess::allPlugins(widget).isEmpty());
        QCOMPARE(child<QPushButton>(widget, "addProfilePB")->isEnabled(),
                 !ExtSettWidgetAccess::allProfiles(widget).isEmpty());
    }

    void showAllRereadsStoredListing()
    {
        ExtSettWidget widget;
        widget.fillPluginsAndProfiles(ElevenLines);
        addPlugin(widget, QStringLiteral("beta"));
        child<QCheckBox>(widget, "showAllChB")->setChecked(true);
        QCOMPARE(ExtSettWidgetAccess::allPlugins(widget).size(), 3);
        QCOMPARE(ExtSettWidgetAccess::selectedPlugins(widget), QStringList{QStringLiteral("beta")});
    }

    void realListing()
    {
        if (geteuid() != 0)
            QSKIP("sosreport --list-plugins needs root; run the tests as root to check the parser "
                  "against the installed sosreport");
        QProcess sosreport;
        sosreport.start(QStringLiteral("sosreport"), {QStringLiteral("--list-plugins")});
        if (!sosreport.waitForFinished(60000) || sosreport.exitCode() != 0)
            QSKIP("sosreport is not installed or failed");
        const QString listing = QString::fromUtf8(sosreport.readAllStandardOutput());
        // The tool's own summary line tells how many enabled plugins and profiles it printed.
        const auto summary =
            QRegularExpression(QStringLiteral("(\\d+) profiles, (\\d+) plugins")).match(listing);
        QVERIFY(summary.hasMatch());
        const int disabledRows =
            listing.section(QStringLiteral("currently disabled"), 1)
                .section(QStringLiteral("options are available"), 0, 0)
                .count(QRegularExpression(QStringLiteral("\\n \\S+ +inactive")));

        ExtSettWidget widget;
        widget.fillPluginsAndProfiles(listing);
        QCOMPARE(ExtSettWidgetAccess::allPlugins(widget).size(), summary.captured(2).toInt());
        QCOMPARE(ExtSettWidgetAccess::activePlugins(widget),
                 ExtSettWidgetAccess::allPlugins(widget));
        QCOMPARE(ExtSettWidgetAccess::allProfiles(widget).size(), summary.captured(1).toInt());
        QVERIFY(ExtSettWidgetAccess::allProfiles(widget).contains(QStringLiteral("webserver")));
        QVERIFY(!ExtSettWidgetAccess::allPlugins(widget).contains(QStringLiteral("The")));
        child<QCheckBox>(widget, "showAllChB")->setChecked(true);
        QCOMPARE(ExtSettWidgetAccess::allPlugins(widget).size(),
                 summary.captured(2).toInt() + disabledRows);
    }

    void preselectsOwnPlugin()
    {
        ExtSettWidget widget;
        widget.fillPluginsAndProfiles(
            QString(ElevenLines)
                .replace(QStringLiteral(" beta "), QStringLiteral(" velta-sosreport ")));
        QCOMPARE(child<QComboBox>(widget, "pluginCB")->currentText(),
                 QStringLiteral("velta-sosreport"));
        QVERIFY(ExtSettWidgetAccess::selectedPlugins(widget).isEmpty());
    }

    void refusedAdditions()
    {
        ExtSettWidget widget;
        widget.fillPluginsAndProfiles(ElevenLines);
        KroTest::ModalDialogHelper dialogs;
        dialogs.expectMessageBox(QMessageBox::Ok);
        addPlugin(widget, QStringLiteral("nosuch"));
        dialogs.expectMessageBox(QMessageBox::Ok);
        addPlugin(widget, QStringLiteral("alpha"));
        addPlugin(widget, QStringLiteral("alpha"));
        dialogs.expectMessageBox(QMessageBox::Ok);
        addProfile(widget, QStringLiteral("zero"));
        QVERIFY(dialogs.waitForAll());
        QStringList seen;
        for (const auto &record : dialogs.records())
            seen << record.windowTitle + QLatin1Char(' ') + record.text;
        QCOMPARE(seen, (QStringList{QStringLiteral("Warning! Plugin \"nosuch\" not found."),
                                    QStringLiteral("Warning! Plugin \"alpha\" already added."),
                                    QStringLiteral("Warning! Profile \"zero\" not found.")}));
        QCOMPARE(ExtSettWidgetAccess::selectedPlugins(widget),
                 QStringList{QStringLiteral("alpha")});
        QVERIFY(ExtSettWidgetAccess::selectedProfiles(widget).isEmpty());
    }

    void pluginIcons()
    {
        QIcon::setThemeSearchPaths({QStringLiteral("/usr/share/icons")});
        QIcon::setThemeName(QStringLiteral("breeze"));
        ExtSettWidget widget;
        widget.fillPluginsAndProfiles(
            QString(ElevenLines).replace(QStringLiteral(" gamma "), QStringLiteral(" cgroups ")));
        child<QCheckBox>(widget, "showAllChB")->setChecked(true);
        addPlugin(widget, QStringLiteral("alpha"));
        addPlugin(widget, QStringLiteral("cgroups"));
        auto *list = child<CustomListWidget>(widget, "pluginsListWidget");
        QCOMPARE(list->item(0)->icon().name(), QStringLiteral("dialog-ok-apply"));
        QCOMPARE(list->item(1)->icon().name(), QStringLiteral("dialog-warning"));
        QCOMPARE(list->item(1)->toolTip(),
                 QStringLiteral("Plugin \"cgroups\" may CRITICALLY conflict with Kaspersky "
                                "Endpoint Security!"));
    }

    // Reasons padded to 14 characters, long ones followed by a single blank, or in another
    // language: the description is what follows.
    void descriptionsWithoutReasons()
    {
        const auto descriptions =
            PluginListing(QString(ElevenLines)
                              .replace(QStringLiteral("Third test plugin\n"),
                                       QStringLiteral("Third test plugin\n delta               "
                                                      "  does not validate Fourth plugin\n")))
                .pluginDescriptions();
        QCOMPARE(descriptions.value(QStringLiteral("alpha")), QStringLiteral("First test plugin"));
        QCOMPARE(descriptions.value(QStringLiteral("gamma")), QStringLiteral("Third test plugin"));
        QCOMPARE(descriptions.value(QStringLiteral("delta")), QStringLiteral("Fourth plugin"));
        QVERIFY(!descriptions.contains(QStringLiteral("alpha.opt")));
        const QString translated = QString(RussianNoneEnabled)
                                       .replace(QStringLiteral("inactive   Fourth"),
                                                QString::fromUtf8("неактивен   Fourth"));
        QCOMPARE(PluginListing(translated).pluginDescriptions().value(QStringLiteral("delta")),
                 QStringLiteral("Fourth"));
    }

    // sos 4.0's own listing: each plugin shows what it collects, and a word of that finds it.
    void pickerShowsAndSearchesDescriptions()
    {
        QFile listing(QStringLiteral(KRO_FIXTURES "/sosreport-4.0-list-plugins.txt"));
        QVERIFY(listing.open(QIODevice::ReadOnly));
        ExtSettWidget widget;
        child<QCheckBox>(widget, "showAllChB")->setChecked(true);
        widget.fillPluginsAndProfiles(QString::fromUtf8(listing.readAll()));
        auto *picker = child<QComboBox>(widget, "pluginCB");
        const int apt = picker->findText(QStringLiteral("apt"));
        QCOMPARE(picker->model()->index(apt, 1).data().toString(),
                 QStringLiteral("APT - advanced packaging tool"));
        QCOMPARE(picker->itemData(apt, Qt::ToolTipRole).toString(),
                 QStringLiteral("APT - advanced packaging tool"));

        widget.show();
        QVERIFY(QTest::qWaitForWindowActive(&widget));
        picker->lineEdit()->clear();
        picker->setFocus();
        QTest::keyClicks(picker->lineEdit(), QStringLiteral("CRASH"));
        QAbstractItemView *offered = picker->completer()->popup();
        QTRY_VERIFY(offered->isVisible());
        QCOMPARE(offered->model()->rowCount(), 2); // apport, and kdump which is disabled
        QTest::keyClick(offered, Qt::Key_Down);
        QTest::keyClick(offered, Qt::Key_Down);
        QTest::keyClick(offered, Qt::Key_Return);
        auto *plugins = child<CustomListWidget>(widget, "pluginsListWidget");
        QCOMPARE(texts(plugins), QStringList{QStringLiteral("kdump")});
        QCOMPARE(plugins->item(0)->toolTip(), QStringLiteral("Kdump crash dumps"));
    }

    void placeholderLines()
    {
        ExtSettWidget widget;
        widget.fillPluginsAndProfiles(ElevenLines);
        auto *plugins = child<CustomListWidget>(widget, "pluginsListWidget");
        auto *profiles = child<CustomListWidget>(widget, "profilesListWidget");
        QCOMPARE(texts(plugins), QStringList{QStringLiteral("Default: all active plugins")});
        QCOMPARE(texts(profiles), QStringList{QStringLiteral("Default: no profiles")});

        addPlugin(widget, QStringLiteral("alpha"));
        QCOMPARE(texts(plugins), QStringList{QStringLiteral("alpha")});
        addProfile(widget, QStringLiteral("two"));
        QCOMPARE(texts(plugins), (QStringList{QStringLiteral("Plugins from selected profile(s)"),
                                              QStringLiteral("alpha")}));
        QCOMPARE(texts(profiles), QStringList{QStringLiteral("two")});

        profiles->setCurrentRow(0);
        profiles->deleteCurrentRecord();
        QCOMPARE(texts(profiles), QStringList{QStringLiteral("Default: no profiles")});
        QCOMPARE(texts(plugins), QStringList{QStringLiteral("alpha")});
        QVERIFY(ExtSettWidgetAccess::selectedProfiles(widget).isEmpty());

        plugins->setCurrentRow(0);
        plugins->deleteCurrentRecord();
        QCOMPARE(texts(plugins), QStringList{QStringLiteral("Default: all active plugins")});
        QVERIFY(ExtSettWidgetAccess::selectedPlugins(widget).isEmpty());
    }
};

KRO_TEST_MAIN(TestPluginListing)
#include "tst_pluginlisting.moc"
