// SPDX-License-Identifier: GPL-2.0-or-later
// The report run through the privileged helper on a private bus, with a stand-in sosreport that
// prints sosreport 4.0 progress and runs until the test lets it finish: lock, progress dialog, end
// detection from the helper's record, stop, failure, the safety unlock, the question when the
// window is closed during a run, a run picked up by a new window, and a run with the extended
// settings filled from the stand-in's plugin listing.
#include "constants.h"
#include "dbusservice.h"
#include "helperprotocol.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "sosoptions.h"
#include "testenvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnectionInterface>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <csignal>
#include <memory>

class TestReportRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void quickRunSelectsTheNewArchive();
    void longRunUnlocksWithWarningAndKeepsPolling();
    void closingDuringRunAsksFirst();
    void progressReachesTheDialog();
    void stopAsksFirst_data();
    void stopAsksFirst();
    void failedRunShowsItsOutput();
    void newWindowPicksUpTheRun();
    void extendedSettingsReachTheRun();
    void archiveIsSplitWhereSosCannot();
    void runOutlivingTheHelperStillEnds();

private:
    void startRun(bool hold);
    void finishRun();
    QString newArchive() const;
    void waitForFirstPlugin();
    QAction *saveAction() const
    {
        return window->findChild<QAction *>(QStringLiteral("saveAction"));
    }
    QTableWidget *table() const
    {
        return window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    }
    static bool runAlive();

    QDir output{QStringLiteral(KRO_STANDIN_OUTPUT)};
    std::unique_ptr<MainWindow> window;
};

void TestReportRun::init()
{
    QVERIFY(output.removeRecursively());
    QVERIFY(output.mkpath(QStringLiteral(".")));
    QVERIFY(KroTest::useSosReportFolder(output.path()));
    window = std::make_unique<MainWindow>();
    window->show();
    // The start-up question about runs is answered before a test starts one.
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
    MainWindowAccess::useReportDirs(*window, QStringList{output.path()});
}

void TestReportRun::cleanup()
{
    QFile::remove(output.filePath(QStringLiteral(".hold")));
    QFile::remove(output.filePath(QStringLiteral(".fail")));
    QFile::remove(output.filePath(QStringLiteral(".large")));
    window.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
    // One run per user: the next test starts its own.
    QTRY_VERIFY_WITH_TIMEOUT(!runAlive(), 10000);
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TestReportRun::startRun(bool hold)
{
    if (hold) {
        QFile flag(output.filePath(QStringLiteral(".hold")));
        QVERIFY(flag.open(QIODevice::WriteOnly));
    }
    QMetaObject::invokeMethod(window.get(), "collectReports");

    QTRY_VERIFY(!window->isEnabled());
    QVERIFY(MainWindowAccess::reportPid(*window) > 0);
    QVERIFY(MainWindowAccess::checkTimer(*window)->isActive());
    QVERIFY(MainWindowAccess::unlockTimer(*window)->isActive());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QProgressDialog *progress = MainWindowAccess::progressDialog(*window);
    QVERIFY(progress && progress->isVisible() && progress->isEnabled());
    QCOMPARE(progress->windowTitle(), QStringLiteral("Long operation..."));
    QCOMPARE(progress->labelText(),
             QStringLiteral("Information is being collected. \nPlease, wait."));
    QCOMPARE(progress->maximum(), 0);
    // The arguments file is written first thing: the stand-in is running.
    QTRY_VERIFY(QFile::exists(output.filePath(QStringLiteral(".arguments"))));
}

void TestReportRun::finishRun()
{
    QFile::remove(output.filePath(QStringLiteral(".hold")));
    QTRY_VERIFY_WITH_TIMEOUT(!newArchive().isEmpty(), 10000);
    // The archive is in place just before the stand-in exits; poll as the timer would.
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            QMetaObject::invokeMethod(window.get(), "checkReportIsReady");
            return window->isEnabled() && !MainWindowAccess::checkTimer(*window)->isActive();
        }(),
        10000);
}

QString TestReportRun::newArchive() const
{
    const QStringList archives =
        output.entryList(QStringList{QStringLiteral("sosreport-standin-*.tar.xz")}, QDir::Files);
    return archives.isEmpty() ? QString() : output.filePath(archives.first());
}

void TestReportRun::waitForFirstPlugin()
{
    QProgressDialog *progress = MainWindowAccess::progressDialog(*window);
    QTRY_VERIFY_WITH_TIMEOUT(
        progress->labelText().contains(QStringLiteral("Collecting: 1 of 3 plugins, host")), 10000);
}

bool TestReportRun::runAlive()
{
    QDBusPendingReply<QVariantMap> reply = KroAdmin::DbusService().queryReportRun();
    reply.waitForFinished();
    return !reply.isError() && reply.value().value(HelperProtocol::RunningKey).toBool();
}

void TestReportRun::quickRunSelectsTheNewArchive()
{
    QFile old(output.filePath(QStringLiteral("sosreport-old.tar.xz")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.close();
    MainWindowAccess::useReportDirs(*window, QStringList{output.path()});
    // The refilled table and the unlocked window are painted in frames of their own: the new
    // report is current and told while the window is still locked.
    QObject watch;
    QStringList atTelling;
    connect(window->statusBar(), &QStatusBar::messageChanged, &watch, [&](const QString &text) {
        if (text.startsWith(QStringLiteral("Report saved: ")))
            atTelling << (table()->currentItem() ? table()->currentItem()->text() : QString())
                      << (window->isEnabled() ? QStringLiteral("unlocked") : QString());
    });

    startRun(false);
    finishRun();
    QCOMPARE(atTelling, (QStringList{newArchive(), QString()}));

    QFile arguments(output.filePath(QStringLiteral(".arguments")));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(arguments.readAll(), QByteArray("--batch\n"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!MainWindowAccess::unlockTimer(*window)->isActive());
    QVERIFY(!MainWindowAccess::progressDialog(*window)->isVisible());
    QCOMPARE(table()->rowCount(), 2); // the checksum file is not shown
    QCOMPARE(table()->currentItem()->text(), newArchive());
    QVERIFY(window->statusBar()->currentMessage().startsWith(
        QStringLiteral("Report saved: %1 (7B, md5 ").arg(newArchive())));
    QVERIFY(!QSettings().contains(Kro::ExtSettingsKey));
}

void TestReportRun::longRunUnlocksWithWarningAndKeepsPolling()
{
    startRun(true);
    waitForFirstPlugin();
    // Recent progress: the safety unlock waits again.
    QMetaObject::invokeMethod(window.get(), "unlockInterface");
    QVERIFY(!window->isEnabled());
    QVERIFY(MainWindowAccess::unlockTimer(*window)->isActive());

    // The held run shows no progress for longer than the timer's interval.
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    MainWindowAccess::unlockTimer(*window)->start(1000);
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(dialogs.last().text,
             QStringLiteral("Perhaps the collection of information took\ntoo long or there was "
                            "\na finish detection error.\nThe interface will be unlocked."));
    QVERIFY(window->isEnabled());
    QVERIFY(!MainWindowAccess::progressDialog(*window)->isVisible());
    QVERIFY(MainWindowAccess::checkTimer(*window)->isActive());
    QVERIFY(MainWindowAccess::unlockTimer(*window)->isActive());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QVERIFY(!saveAction()->isEnabled());

    // Firing again while unlocked shows nothing more.
    QMetaObject::invokeMethod(window.get(), "unlockInterface");

    finishRun();
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!MainWindowAccess::unlockTimer(*window)->isActive());
    QVERIFY(saveAction()->isEnabled());
    QCOMPARE(table()->currentItem()->text(), newArchive());
}

void TestReportRun::closingDuringRunAsksFirst()
{
    startRun(true);
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::No);
    QVERIFY(!window->close());
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(dialogs.last().text,
             QStringLiteral("Probably, report is not ready yet.\nAre you sure you want to "
                            "interrupt the program?"));
    // Closing does not stop the run: keeping the window is the default, and the box says so.
    QCOMPARE(dialogs.last().defaultButton, QStringLiteral("&No"));
    QVERIFY(dialogs.last().informativeText.contains(QStringLiteral("goes on being collected")));
    QVERIFY(window->isVisible());
    QVERIFY(!QSettings().contains(Kro::ReportDirsKey));

    dialogs.expectMessageBox(QMessageBox::Yes);
    QVERIFY(window->close());
    QVERIFY(dialogs.waitForAll());
    QVERIFY(!window->isVisible());
    QCOMPARE(QSettings().value(Kro::ReportDirsKey).toStringList(), QStringList{output.path()});

    // The run is not stopped by closing: it still finishes and leaves its archive.
    QFile::remove(output.filePath(QStringLiteral(".hold")));
    QTRY_VERIFY_WITH_TIMEOUT(!newArchive().isEmpty(), 10000);
}

void TestReportRun::progressReachesTheDialog()
{
    // The title bar shows the application's name after the title, and its own buttons.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Kro sosreport"));
    startRun(true);
    const qint64 pid = MainWindowAccess::reportPid(*window);
    QVERIFY(!saveAction()->isEnabled());
    QProgressDialog *progress = MainWindowAccess::progressDialog(*window);
    const QSize size = progress->size();
    const QFontMetrics metrics = progress->fontMetrics();
    QVERIFY(size.width() >=
            metrics.horizontalAdvance(QStringLiteral("Long operation... \u2014 Kro sosreport")) +
                6 * metrics.height());
    waitForFirstPlugin();
    // More lines of text do not make the dialog grow.
    QCOMPARE(progress->size(), size);
    QVERIFY(progress->labelText().startsWith(
        QStringLiteral("Information is being collected. \nPlease, wait.\nCollecting: 1 of 3 "
                       "plugins, host\nElapsed time: 0:")));
    // The first plugin has only started: nothing is done yet.
    QCOMPARE(progress->maximum(), 100);
    QCOMPARE(progress->value(), 0);

    QTest::keyClick(progress, Qt::Key_Escape);
    QVERIFY(progress->isVisible());
    // No second run while this one lasts.
    QMetaObject::invokeMethod(window.get(), "collectReports");
    QCOMPARE(MainWindowAccess::reportPid(*window), pid);

    finishRun();
    QVERIFY(saveAction()->isEnabled());
}

void TestReportRun::stopAsksFirst_data()
{
    QTest::addColumn<bool>("stop");
    QTest::newRow("stopped") << true;
    QTest::newRow("kept") << false;
}

void TestReportRun::stopAsksFirst()
{
    QFETCH(bool, stop);
    startRun(true);
    waitForFirstPlugin();
    QProgressDialog *progress = MainWindowAccess::progressDialog(*window);
    auto *button = progress->findChild<QPushButton *>();
    QCOMPARE(button->text(), QStringLiteral("Stop"));

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(stop ? QMessageBox::Yes : QMessageBox::No);
    button->click();
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(dialogs.last().text, QStringLiteral("Stop collecting the report?"));
    QCOMPARE(dialogs.last().defaultButton, QStringLiteral("&No"));
    QVERIFY(progress->isVisible());
    if (!stop) {
        QVERIFY(!window->isEnabled());
        finishRun();
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(window->isEnabled(), 10000);
    QVERIFY(!progress->isVisible());
    QVERIFY(newArchive().isEmpty());
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Collecting the report was stopped; no report was made."));
    QVERIFY(!QApplication::overrideCursor());
    // sos interrupted leaves its working folder, inside the run's own, which goes with the run:
    // nothing but the stand-in's controls stays in the report folder.
    QCOMPARE(output.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral(".arguments"), QStringLiteral(".hold")}));
}

void TestReportRun::failedRunShowsItsOutput()
{
    QFile old(output.filePath(QStringLiteral("sosreport-old.tar.xz")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    QFile fail(output.filePath(QStringLiteral(".fail")));
    QVERIFY(fail.open(QIODevice::WriteOnly));
    MainWindowAccess::useReportDirs(*window, QStringList{output.path()});

    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok);
    startRun(false);
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Error"));
    QCOMPARE(dialogs.last().text,
             QStringLiteral("The report could not be collected (exit status 2).\nusage: sos report "
                            "[options]\nsosreport: error: unrecognized arguments: --noetc --split "
                            "10"));
    QVERIFY(window->isEnabled());
    QVERIFY(saveAction()->isEnabled());
    QCOMPARE(table()->currentItem()->text(), old.fileName());
}

void TestReportRun::newWindowPicksUpTheRun()
{
    startRun(true);
    window = std::make_unique<MainWindow>();
    window->show();
    MainWindowAccess::useReportDirs(*window, QStringList{output.path()});
    QTRY_VERIFY(MainWindowAccess::reportPid(*window) > 0);
    QVERIFY(!window->isEnabled());
    QVERIFY(!saveAction()->isEnabled());
    QVERIFY(MainWindowAccess::unlockTimer(*window)->isActive());
    waitForFirstPlugin();
    finishRun();
    QCOMPARE(table()->currentItem()->text(), newArchive());
}

void TestReportRun::extendedSettingsReachTheRun()
{
    // A sos build that has --forcedbadplugins, known from an earlier start: nothing is held back.
    QSettings().setValue(Kro::SosOptionsKey + '/' +
                             SosOptions::installedVersion(Kro::SosVersionFile),
                         QStringList{"--batch", "--case-id", "--forcedbadplugins", "-o"});
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok); // the privilege notice
    window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->setChecked(true);
    QVERIFY(dialogs.waitForAll());
    auto *plugins = window->findChild<QComboBox *>(QStringLiteral("pluginCB"));
    QTRY_COMPARE(plugins->count(), 3); // the enabled plugins of the listing
    QVERIFY(!QApplication::overrideCursor());
    auto *previous = window->findChild<QPushButton *>(QStringLiteral("previousPBtn"));
    QVERIFY(!previous->isEnabled());

    for (const QString &name : {QStringLiteral("networking"), QStringLiteral("cgroups")}) {
        plugins->setCurrentText(name);
        window->findChild<QPushButton *>(QStringLiteral("addPluginPB"))->click();
    }
    QCOMPARE(window->findChild<QListWidget *>(QStringLiteral("pluginsListWidget"))->count(), 2);
    window->findChild<QLineEdit *>(QStringLiteral("caseIdLE"))->setText(QStringLiteral("C42"));

    dialogs.expectMessageBox(QMessageBox::Yes); // keep cgroups
    startRun(false);
    QVERIFY(dialogs.waitForAll());
    QVERIFY(dialogs.last().text.startsWith(QStringLiteral("Plugin \"cgroups\"")));
    finishRun();

    QFile arguments(output.filePath(QStringLiteral(".arguments")));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(arguments.readAll()).split('\n', Qt::SkipEmptyParts),
             (QStringList{"--batch", "--case-id", "C42", "--forcedbadplugins", "-o", "networking",
                          "-o", "cgroups"}));
    QVERIFY(previous->isEnabled());
    const QVariantMap stored = QSettings().value(Kro::ExtSettingsKey).toMap();
    QCOMPARE(stored.value(QStringLiteral("--case-id")).toString(), QStringLiteral("C42"));
    QCOMPARE(stored.value(QStringLiteral("-o")).toStringList(),
             (QStringList{"networking", "cgroups"}));
}

void TestReportRun::archiveIsSplitWhereSosCannot()
{
    // Known from an earlier start: this sos has no --split, as sos 4.0 has none.
    QSettings().setValue(Kro::SosOptionsKey + '/' +
                             SosOptions::installedVersion(Kro::SosVersionFile),
                         QStringList{"--batch", "--case-id", "-o"});
    KroTest::ModalDialogHelper dialogs;
    dialogs.expectMessageBox(QMessageBox::Ok); // the privilege notice
    window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->setChecked(true);
    QVERIFY(dialogs.waitForAll());
    window->findChild<QCheckBox *>(QStringLiteral("splitChB"))->setChecked(true);
    window->findChild<QSpinBox *>(QStringLiteral("splitSizeSB"))->setValue(1);
    QFile(output.filePath(QStringLiteral(".large"))).open(QIODevice::WriteOnly);

    startRun(false);
    QTRY_VERIFY_WITH_TIMEOUT(window->isEnabled(), 20000);
    QFile arguments(output.filePath(QStringLiteral(".arguments")));
    QVERIFY(arguments.open(QIODevice::ReadOnly));
    QCOMPARE(arguments.readAll(), QByteArray("--batch\n"));
    // One report with its volumes in the table, the split main file current.
    QTRY_VERIFY_WITH_TIMEOUT(newArchive().isEmpty(), 20000);
    QTRY_VERIFY(window->statusBar()->currentMessage().startsWith(
        QStringLiteral("Report saved in volumes of 1 MB: ")));
    const QString main = table()->currentItem()->text();
    QVERIFY2(main.endsWith(QStringLiteral(".zip")), qPrintable(main));
    QCOMPARE(MainWindowAccess::volumeParts(*window).values(main).size(), 2);
    QVERIFY(window->statusBar()->currentMessage().startsWith(
        QStringLiteral("Report saved in volumes of 1 MB: ") + main));
}

// The helper killed during a run leaves no owner of its name: the window asks ps instead, and
// unlocks once the run has ended.
void TestReportRun::runOutlivingTheHelperStillEnds()
{
    startRun(true);
    waitForFirstPlugin();
    QDBusConnectionInterface *bus = QDBusConnection::systemBus().interface();
    const uint helper = bus->servicePid(HelperProtocol::Service);
    QVERIFY(helper > 0);
    QCOMPARE(::kill(pid_t(helper), SIGKILL), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!bus->isServiceRegistered(HelperProtocol::Service), 30000);

    QFile::remove(output.filePath(QStringLiteral(".hold")));
    QTRY_VERIFY_WITH_TIMEOUT(window->isEnabled(), 30000);
    QVERIFY(!MainWindowAccess::checkTimer(*window)->isActive());
    QVERIFY(!QApplication::overrideCursor());
}

KRO_TEST_MAIN(TestReportRun)
#include "tst_reportrun.moc"
