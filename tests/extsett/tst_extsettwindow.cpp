// SPDX-License-Identifier: GPL-2.0-or-later
// The main window's side of the extended settings pane: the privilege notice, the window height
// rule, the previous settings, a plugin listing that cannot be fetched and the switches that the
// installed sos lacks.
#include "mainwindow.h"
#include "modaldialoghelper.h"
#include "sosoptions.h"
#include "testenvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <cmath>

namespace {
QCheckBox *extCheckBox(MainWindow &window)
{
    return window.findChild<QCheckBox *>(QStringLiteral("extCheckBox"));
}
} // namespace

class TestExtSettWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        KroTest::seedSettings();
    }
    void cleanup()
    {
        QVERIFY(!KroTest::ModalDialogHelper::openModal());
        QVERIFY(!QApplication::overrideCursor());
    }

    void firstShowAsksOnceAndResizes()
    {
        MainWindow window;
        window.resize(window.width(), 400);
        KroTest::ModalDialogHelper dialogs;
        dialogs.expectMessageBox(QMessageBox::Ok, true);
        // This test has no bus, so fetching the plugin listing fails with the service error.
        dialogs.expectMessageBox(QMessageBox::Ok);
        extCheckBox(window)->setChecked(true);
        QVERIFY(dialogs.waitForAll());

        const auto notice = dialogs.records().at(0);
        QCOMPARE(notice.windowTitle, QStringLiteral("Attention!"));
        QCOMPARE(notice.text, QStringLiteral("Without obtaining access privileges, \nthe list of "
                                             "plugins and profiles will not be loaded."));
        QCOMPARE(notice.checkBoxText, QStringLiteral("Don't show this message again"));
        QVERIFY(!notice.hasParent);
        // Only the title hint was asked for: the notice has no close button to dodge it with.
        QVERIFY(notice.windowFlags & Qt::WindowTitleHint);
        QVERIFY(!(notice.windowFlags & Qt::WindowCloseButtonHint));
        QCOMPARE(dialogs.records().at(1).windowTitle, QStringLiteral("Error"));
        QVERIFY(QSettings().value(QStringLiteral("pluginaskagain")).toBool());

        const int available = QGuiApplication::primaryScreen()->availableGeometry().height();
        QCOMPARE(window.height(), qMax(600, qMin(889, available)));
        QCOMPARE(window.minimumHeight(), 600);
        auto *pane = window.findChild<QWidget *>(QStringLiteral("ExtSettWidget"));
        QVERIFY(pane && !pane->isHidden());
        QVERIFY(!pane->findChild<QPushButton *>(QStringLiteral("addPluginPB"))->isEnabled());
        QCOMPARE(pane->findChild<QComboBox *>(QStringLiteral("pluginCB"))->count(), 0);
        QVERIFY(!pane->findChild<QPushButton *>(QStringLiteral("previousPBtn"))->isEnabled());

        const int shownHeight = window.height();
        extCheckBox(window)->setChecked(false);
        QVERIFY(pane->isHidden());
        QCOMPARE(window.minimumHeight(), 300);
        QCOMPARE(window.height(), qMax(300, int(std::lround(shownHeight * 0.45))));
        QCOMPARE(dialogs.records().size(), 2);
    }

    void storedSettingsComeBackWithPrevious()
    {
        QSettings().setValue(QStringLiteral("pluginaskagain"), true);
        QSettings().setValue(QStringLiteral("extsett"),
                             QVariantMap{{QStringLiteral("--case-id"), QStringLiteral("C7")}});
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        dialogs.expectMessageBox(QMessageBox::Ok);
        extCheckBox(window)->setChecked(true);
        // The pane shows at once; the listing, which locks it, starts after its first picture.
        QVERIFY(!window.findChild<QWidget *>(QStringLiteral("ExtSettWidget"))->isHidden());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(dialogs.records().size(), 1); // the service error, no notice

        auto *previous = window.findChild<QPushButton *>(QStringLiteral("previousPBtn"));
        QVERIFY(previous->isEnabled());
        dialogs.expectMessageBox(QMessageBox::Yes);
        previous->click();
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(window.findChild<QLineEdit *>(QStringLiteral("caseIdLE"))->text(),
                 QStringLiteral("C7"));
    }

    void storedSosOptionsGreyOutNoEtc()
    {
        const QString version = SosOptions::installedVersion(Kro::SosVersionFile);
        if (version.isEmpty())
            QSKIP("sos is not installed");
        QSettings().setValue(Kro::SosOptionsKey + '/' + version, QStringList{"--batch"});
        QSettings().setValue(QStringLiteral("pluginaskagain"), true);
        MainWindow window;
        KroTest::ModalDialogHelper dialogs;
        dialogs.expectMessageBox(QMessageBox::Ok); // the service error
        extCheckBox(window)->setChecked(true);
        QVERIFY(dialogs.waitForAll());
        auto *noEtc = window.findChild<QCheckBox *>(QStringLiteral("noEtcChB"));
        QVERIFY(!noEtc->isEnabled());
        QCOMPARE(noEtc->toolTip(), "The installed sos " + version + " has no option --noetc");
    }
};

KRO_TEST_MAIN(TestExtSettWindow)
#include "tst_extsettwindow.moc"
