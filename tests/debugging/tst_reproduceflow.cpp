// SPDX-License-Identifier: GPL-2.0-or-later
// The guided flow from a service in trouble to its report, on a private bus with the real helper,
// a stand-in sosreport and a module whose configuration file is a temporary one: the time window
// and plugins of the run, debug mode switched off after the run, on Cancel and after a failed run,
// a switch-off that is refused, and the flow taken up again by the next window.
#include "constants.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "reproduceflow.h"
#include "reproducepanel.h"
#include "sosoptions.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>

namespace {

using KroTest::readAll;
using KroTest::writeAll;

const QByteArray Off = "level = 0\n";
const QByteArray On = "level = 9\n##commented level = 0\n";

} // namespace

class TestReproduceFlow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void collectsAndSwitchesOff();
    void waysOutBeforeCollecting_data();
    void waysOutBeforeCollecting();
    void failedRunStillSwitchesOff();
    void switchOnThatChangedNothingEndsTheFlow();
    void nextWindowTakesTheFlowUp();
    void rebootIsToldInThePanel();

private:
    void writeModule(const QStringList &rollbackCommands = {},
                     const QStringList &debugCommands = {});
    void buildWindow();
    void startFlow();
    QStringList runArguments() const;
    QString newArchive() const;
    ReproducePanel *panel() const { return window->findChild<ReproducePanel *>(); }
    QString panelText(const char *label) const
    {
        return panel()->findChild<QLabel *>(QLatin1String(label))->text();
    }
    QPushButton *panelButton(const char *name) const
    {
        return panel()->findChild<QPushButton *>(QLatin1String(name));
    }
    QTableWidget *table() const { return window->findChild<QTableWidget *>("tableWidget"); }

    QDir output{QStringLiteral(KRO_STANDIN_OUTPUT)};
    std::unique_ptr<QTemporaryDir> dir;
    QString config;
    std::unique_ptr<MainWindow> window;
    KroTest::ModalDialogHelper dialogs;
};

void TestReproduceFlow::init()
{
    QVERIFY(output.removeRecursively());
    QVERIFY(output.mkpath(QStringLiteral(".")));
    QVERIFY(KroTest::useSosReportFolder(output.path()));
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QDir(dir->path()).mkdir(QStringLiteral("modules"));
    QDir(dir->path()).mkdir(QStringLiteral("plugins"));
    writeAll(dir->filePath(QStringLiteral("plugins/sssd.py")), "    plugin_name = 'sssd'\n");
    config = dir->filePath(QStringLiteral("svc.conf"));
    writeAll(config, Off);
    QSettings settings;
    settings.setValue(Kro::DebugModuleDirsKey, QStringList{dir->filePath("modules")});
    settings.remove(QStringLiteral("reproduce"));
    // Known from an earlier start, so that no real sosreport is asked for its options.
    settings.setValue(Kro::SosOptionsKey + '/' + SosOptions::installedVersion(Kro::SosVersionFile),
                      QStringList{"--batch", "--case-id", "--since", "-o"});
}

void TestReproduceFlow::cleanup()
{
    window.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
    dialogs.clear();
    QFile::remove(output.filePath(QStringLiteral(".fail")));
}

void TestReproduceFlow::writeModule(const QStringList &rollbackCommands,
                                    const QStringList &debugCommands)
{
    auto quoted = [](const QStringList &list) {
        return list.isEmpty() ? QString() : '"' + list.join("\", \"") + '"';
    };
    writeAll(dir->filePath(QStringLiteral("modules/svc.json")),
             QStringLiteral("{\"modulename\": \"svc\", \"plugins\": [\"sssd\", \"nosuch\"],"
                            " \"commands_rollback\": [%1], \"commands_debug\": [%2], "
                            "\"filechanges\": [{\"filename\": \"%3\", \"oldtext\": \"level = 0\", "
                            "\"newtext\": \"level = 9\"}]}")
                 .arg(quoted(rollbackCommands), quoted(debugCommands), config)
                 .toUtf8());
}

void TestReproduceFlow::buildWindow()
{
    window = std::make_unique<MainWindow>();
    MainWindowAccess::paths(*window).sosPluginDir = dir->filePath("plugins");
    MainWindowAccess::rebootFlagFile(*window) = dir->filePath(QStringLiteral("run-need-reboot"));
    MainWindowAccess::rebootFlagWorkingCopy(*window) =
        dir->filePath(QStringLiteral("tmp-need-reboot"));
    MainWindowAccess::reportDirs(*window) = QStringList{output.path()};
    window->show();
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
    MainWindowAccess::waitForDebugModules(*window);
}

void TestReproduceFlow::startFlow()
{
    buildWindow();
    auto *modules = window->findChild<QListWidget *>(QStringLiteral("debugLW"));
    modules->setCurrentRow(0);
    window->findChild<QPushButton *>(QStringLiteral("reproducePb"))->click();
    // The panel tells how the switch went, without the manual switch's boxes.
    QTRY_VERIFY_WITH_TIMEOUT(panel() && panel()->isVisible(), 20000);
    QVERIFY(dialogs.records().isEmpty());
    QCOMPARE(readAll(config), On);
    // Beside the window, or over its lower corner on a small screen: never over its menu.
    const QMenuBar *menu = window->menuBar();
    QVERIFY(
        !panel()->frameGeometry().intersects(QRect(menu->mapToGlobal(QPoint(0, 0)), menu->size())));
    QCOMPARE(panelText("messageLbl"),
             QStringLiteral("Debug logging is on for svc. Reproduce the problem now, then press "
                            "Collect."));
    QCOMPARE(panelText("noteLbl"),
             QStringLiteral("Plugins the installed sos does not know are left out: nosuch."));
    QVERIFY(panelText("elapsedLbl").startsWith(QStringLiteral("Elapsed time: ")));
    QCOMPARE(QSettings().value(Kro::ReproduceServiceKey).toString(), QStringLiteral("svc"));
    // The row's context menu offers the same flow.
    QVERIFY(modules->actions().contains(window->findChild<QAction *>("reproduceAction")));
}

QStringList TestReproduceFlow::runArguments() const
{
    return QString::fromUtf8(readAll(output.filePath(QStringLiteral(".arguments"))))
        .split('\n', Qt::SkipEmptyParts);
}

QString TestReproduceFlow::newArchive() const
{
    const QStringList archives =
        output.entryList(QStringList{QStringLiteral("sosreport-standin-*.tar.xz")}, QDir::Files);
    return archives.isEmpty() ? QString() : output.filePath(archives.first());
}

void TestReproduceFlow::collectsAndSwitchesOff()
{
    writeModule();
    writeAll(output.filePath(QStringLiteral("sosreport-old.tar.xz")), "old\n");
    startFlow();
    const QDateTime since = QSettings().value(Kro::ReproduceSinceKey).toDateTime();
    dialogs.expectMessageBox(QMessageBox::Ok); // the privilege notice of the extended settings
    window->findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->setChecked(true);
    QVERIFY(dialogs.waitForAll());
    window->findChild<QLineEdit *>(QStringLiteral("caseIdLE"))->setText(QStringLiteral("C42"));

    panelButton("collectPb")->click();
    QTRY_VERIFY_WITH_TIMEOUT(panelButton("closePb")->isVisible(), 20000);
    QCOMPARE(runArguments(),
             (QStringList{"--batch", "--case-id", "C42", "--since",
                          since.addSecs(-300).toString("yyyyMMddHHmmss"), "-o", "sssd"}));
    QCOMPARE(readAll(config), Off);
    QVERIFY(!QSettings().contains(Kro::ReproduceServiceKey));
    const QString archive = newArchive();
    QCOMPARE(panelText("messageLbl"),
             QStringLiteral("Debug logging is off again for svc.\nThe report is ready: ") +
                 archive);
    QCOMPARE(table()->currentItem()->text(), archive);

    // Protect selects the new report again and goes through the window's own step.
    table()->setCurrentCell(table()->currentRow() == 0 ? 1 : 0, 0);
    dialogs.expect([](QWidget *passwordDialog) { passwordDialog->close(); });
    QVERIFY(panelButton("protectPb")->isVisible() && panelButton("sendPb")->isVisible());
    panelButton("protectPb")->click();
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(table()->currentItem()->text(), archive);
    panelButton("closePb")->click();
    QVERIFY(!panel()->isVisible());
}

void TestReproduceFlow::waysOutBeforeCollecting_data()
{
    QTest::addColumn<bool>("closePanel");
    QTest::addColumn<bool>("refused");
    QTest::newRow("cancel") << false << false;
    QTest::newRow("panel closed") << true << false;
    QTest::newRow("switch-off refused") << false << true;
}

void TestReproduceFlow::waysOutBeforeCollecting()
{
    QFETCH(bool, closePanel);
    QFETCH(bool, refused);
    // Switching off would end the session: the question comes, and No keeps debug mode on.
    writeModule(refused ? QStringList{"restart-session"} : QStringList());
    startFlow();
    if (refused)
        dialogs.expectMessageBox(QMessageBox::No);
    if (closePanel)
        panel()->close();
    else
        panelButton("cancelPb")->click();
    QVERIFY(dialogs.waitForAll());
    QVERIFY(!QFile::exists(output.filePath(QStringLiteral(".arguments"))));
    if (!refused) {
        QTRY_VERIFY_WITH_TIMEOUT(!panel()->isVisible(), 20000);
        QCOMPARE(readAll(config), Off);
        QVERIFY(!QSettings().contains(Kro::ReproduceServiceKey));
        return;
    }
    QCOMPARE(readAll(config), On);
    QVERIFY(panel()->isVisible());
    QVERIFY(panelText("messageLbl")
                .startsWith(QStringLiteral("Debug logging is still on for svc. It could not be "
                                           "switched off.")));
    QCOMPARE(panelButton("cancelPb")->text(), QStringLiteral("&Switch off"));
    QVERIFY(QSettings().contains(Kro::ReproduceServiceKey));
}

void TestReproduceFlow::failedRunStillSwitchesOff()
{
    writeModule();
    writeAll(output.filePath(QStringLiteral(".fail")), "");
    startFlow();
    dialogs.expectMessageBox(QMessageBox::Ok); // the failure
    panelButton("collectPb")->click();
    QVERIFY(dialogs.waitForAll(20000));
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Error"));
    QVERIFY(dialogs.last().text.startsWith(
        QStringLiteral("The report could not be collected (exit status 2)")));
    QTRY_VERIFY_WITH_TIMEOUT(panelButton("closePb")->isVisible(), 20000);
    QCOMPARE(readAll(config), Off);
    QCOMPARE(panelText("messageLbl"),
             QStringLiteral("Debug logging is off again for svc. No report was collected."));
    QVERIFY(!panelButton("protectPb")->isVisible());
}

void TestReproduceFlow::switchOnThatChangedNothingEndsTheFlow()
{
    writeModule();
    writeAll(config, "other = 1\n");
    buildWindow();
    window->findChild<QListWidget *>(QStringLiteral("debugLW"))->setCurrentRow(0);
    // The failed change stops the switch; the panel says so, with no box.
    window->findChild<QPushButton *>(QStringLiteral("reproducePb"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(panel() && panel()->isVisible(), 20000);
    QVERIFY(panelText("messageLbl")
                .startsWith(QStringLiteral("Debug logging could not be switched on for svc.\n\n")));
    QVERIFY(dialogs.records().isEmpty());
    QCOMPARE(readAll(config), QByteArray("other = 1\n"));
    panelButton("closePb")->click();
    QVERIFY(!window->findChild<ReproduceFlow *>()->isActive());
    QVERIFY(!panel() || !panel()->isVisible());
    QVERIFY(!QSettings().contains(Kro::ReproduceServiceKey));
}

void TestReproduceFlow::nextWindowTakesTheFlowUp()
{
    writeModule();
    startFlow();
    dialogs.expectMessageBox(QMessageBox::Ok);
    QVERIFY(window->close());
    QVERIFY(dialogs.waitForAll());
    QCOMPARE(dialogs.last().text,
             QStringLiteral("Debug logging is still on for svc. The next start offers to collect "
                            "the report or to switch it off."));
    QCOMPARE(readAll(config), On);
    // The panel goes with the window: left open, it kept the application running, and closing
    // it then switched debug logging off after all.
    QVERIFY(!panel()->isVisible());
    QCOMPARE(readAll(config), On);
    QVERIFY(QSettings().contains(Kro::ReproduceServiceKey));

    // A fixed moment instead of the real one, to check the time window of the report.
    const QDateTime since(QDate(2026, 12, 1), QTime(10, 0));
    QSettings().setValue(Kro::ReproduceSinceKey, since);
    buildWindow();
    QTRY_VERIFY(panel() && panel()->isVisible());
    QCOMPARE(panelText("messageLbl"), QStringLiteral("Debug logging is still on for svc since ") +
                                          QLocale().toString(since, QLocale::ShortFormat));
    QCOMPARE(panelButton("collectPb")->text(), QStringLiteral("&Collect now"));
    QCOMPARE(panelButton("cancelPb")->text(), QStringLiteral("&Switch off"));

    panelButton("collectPb")->click();
    QTRY_VERIFY_WITH_TIMEOUT(panelButton("closePb")->isVisible(), 20000);
    QCOMPARE(runArguments(), (QStringList{"--batch", "--since", "20261201095500", "-o", "sssd"}));
    QCOMPARE(readAll(config), Off);
    // The service's row shows the switch-off, though no row is the current one.
    auto *modules = window->findChild<QListWidget *>(QStringLiteral("debugLW"));
    QCOMPARE(modules->currentRow(), -1);
    QCOMPARE(modules->item(0)->toolTip(), QStringLiteral("Debug mode is not active"));
    QVERIFY(!QSettings().contains(Kro::ReproduceServiceKey));
}

// Without the manual switch's box, the panel says that the switch needs a reboot.
void TestReproduceFlow::rebootIsToldInThePanel()
{
    writeModule({}, {QStringLiteral("reboot")});
    buildWindow();
    window->findChild<QListWidget *>(QStringLiteral("debugLW"))->setCurrentRow(0);
    window->findChild<QPushButton *>(QStringLiteral("reproducePb"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(panel() && panel()->isVisible(), 20000);
    QVERIFY(panelText("messageLbl")
                .endsWith(QStringLiteral("\nIt takes effect after a reboot: reproduce the problem "
                                         "then; the next start offers to collect the report.")));
    dialogs.expectMessageBox(QMessageBox::Ok); // debug logging stays on
    QVERIFY(window->close());
    QVERIFY(dialogs.waitForAll());
}

KRO_TEST_MAIN(TestReproduceFlow)
#include "tst_reproduceflow.moc"
