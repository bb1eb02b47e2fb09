// SPDX-License-Identifier: GPL-2.0-or-later
// The services debugging page driven like a user: rows and buttons per state, switching on and
// off through the helper on a private bus, the messages, the reboot flag and the changes window.
#include "changeswidget.h"
#include "debugmoduleobject.h"
#include "debugpage.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "modaldialoghelper.h"
#include "testenvironment.h"
#include "testfiles.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>
#include <unistd.h>

namespace {

using KroTest::readAll;
using KroTest::writeAll;

const QString Reproduce =
    QStringLiteral("Reproduce the problem, then generate an report with logs.");

} // namespace

class TestDebugPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rowsAndButtonsFollowTheState();
    void listArrivesAfterTheWindow();
    void moduleWarningsDoNotRepeat();
    void switchesOnAndOff();
    void stopsAtTheFirstFailureWithOneBox();
    void addsModuleToRebootFlagOnce();
    void leftOverWorkingCopy_data();
    void leftOverWorkingCopy();
    void asksBeforeEndingTheSession();
    void changesWindowFollowsTheRow();
    void servicesNotInstalledAreShownGreyed();

private:
    QString addModule(const QString &name, const QString &config, const QByteArray &content,
                      const QStringList &debugCommands, const QStringList &rollbackCommands = {});
    // Shows the window and waits for its module list; reminded names the services the start-up
    // reminder lists, which the test keeps in debug mode.
    bool buildWindow(const QString &reminded = QString());
    void select(const QString &name);
    QString rowTip(const QString &name) const;
    QListWidget *moduleList() const;
    QPushButton *button(const char *name) const;
    // Clicks and waits until the switch it starts has ended.
    void switchBy(const char *name);

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindow> window;
    KroTest::ModalDialogHelper dialogs;
};

void TestDebugPage::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    QDir(dir->path()).mkdir(QStringLiteral("modules"));
    QSettings().setValue(QStringLiteral("debugjson"), QStringList{dir->filePath("modules")});
    QFile::remove(QStringLiteral(KRO_RECORDED_CALLS));
}

void TestDebugPage::cleanup()
{
    window.reset();
    QVERIFY(!KroTest::ModalDialogHelper::openModal());
    dialogs.clear();
}

QString TestDebugPage::addModule(const QString &name, const QString &config,
                                 const QByteArray &content, const QStringList &debugCommands,
                                 const QStringList &rollbackCommands)
{
    const QString path = dir->filePath(config);
    if (!content.isNull())
        writeAll(path, content);
    auto quoted = [](const QStringList &list) {
        return list.isEmpty() ? QString() : '"' + list.join(QStringLiteral("\", \"")) + '"';
    };
    writeAll(dir->filePath(QStringLiteral("modules/%1.json").arg(name)),
             QStringLiteral("{\"modulename\": \"%1\", \"commands_debug\": [%2],"
                            " \"commands_rollback\": [%3], \"filechanges\": ["
                            "{\"filename\": \"%4\", \"oldtext\": \"level = 0\","
                            " \"newtext\": \"level = 9\"}]}")
                 .arg(name, quoted(debugCommands), quoted(rollbackCommands), path)
                 .toUtf8());
    return path;
}

bool TestDebugPage::buildWindow(const QString &reminded)
{
    window = std::make_unique<MainWindow>();
    MainWindowAccess::paths(*window).dpkgStatusFile = dir->filePath(QStringLiteral("status"));
    MainWindowAccess::rebootFlagFile(*window) = dir->filePath(QStringLiteral("run-need-reboot"));
    MainWindowAccess::rebootFlagWorkingCopy(*window) =
        dir->filePath(QStringLiteral("tmp-need-reboot"));
    MainWindowAccess::reportDirs(*window) = QStringList{dir->path()};
    if (!reminded.isEmpty())
        dialogs.expectMessageBox(QMessageBox::No);
    window->show();
    if (!QTest::qWaitFor([this] { return MainWindowAccess::isStarted(*window); }))
        return false;
    MainWindowAccess::waitForDebugModules(*window);
    if (!dialogs.waitForAll())
        return false;
    if (reminded.isEmpty())
        return dialogs.records().isEmpty();
    const bool named = dialogs.last().text.startsWith(
        QStringLiteral("These services are still in debug mode: %1.\n").arg(reminded));
    dialogs.clear();
    return named;
}

void TestDebugPage::select(const QString &name)
{
    const auto items = moduleList()->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    moduleList()->setCurrentItem(items.first());
}

QListWidget *TestDebugPage::moduleList() const
{
    return window->findChild<QListWidget *>(QStringLiteral("debugLW"));
}

QPushButton *TestDebugPage::button(const char *name) const
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

void TestDebugPage::switchBy(const char *name)
{
    QSignalSpy finished(window->findChild<DebugPage *>(), &DebugPage::switchFinished);
    button(name)->click();
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(dialogs.waitForAll());
}

QString TestDebugPage::rowTip(const QString &name) const
{
    const auto items = moduleList()->findItems(name, Qt::MatchExactly);
    return items.isEmpty() ? QString() : items.first()->toolTip();
}

void TestDebugPage::rowsAndButtonsFollowTheState()
{
    addModule("active", "active.conf", "level = 9\n", {});
    addModule("off", "off.conf", "level = 0\n", {});
    const QString missing = addModule("unknown", "missing.conf", QByteArray(), {});
    const QString unmatched = addModule("unmatched", "unmatched.conf", "other = 1\n", {});
    addModule("rebooting", "rebooting.conf", "level = 9\n", {"reboot"});
    QVERIFY(buildWindow(QStringLiteral("active, rebooting")));
    writeAll(MainWindowAccess::rebootFlagFile(*window), "\n  xrebootingx  \n");
    MainWindowAccess::fillDebugModules(*window);

    QCOMPARE(moduleList()->count(), 5);
    QCOMPARE(MainWindowAccess::debugModules(*window).size(), 5);
    QVERIFY(!button("debugModePb")->isEnabled());
    QVERIFY(!button("rollbackModePb")->isEnabled());
    QVERIFY(!button("showChangesPb")->isEnabled());
    QCOMPARE(rowTip("active"), QStringLiteral("Debug mode is active"));
    QCOMPARE(rowTip("off"), QStringLiteral("Debug mode is not active"));
    // An unknown state names the change and the file it could not match.
    QCOMPARE(rowTip("unknown"), QStringLiteral("Debug mode in an unknown state\nChange 1: file %1 "
                                               "is missing or cannot be read.")
                                    .arg(missing));
    QCOMPARE(rowTip("unmatched"),
             QStringLiteral("Debug mode in an unknown state\nChange 1: file %1 holds neither "
                            "\"level = 0\" nor \"level = 9\".")
                 .arg(unmatched));
    QCOMPARE(rowTip("rebooting"), QStringLiteral("Reboot required"));

    select("active");
    QVERIFY(!button("debugModePb")->isEnabled());
    QVERIFY(button("rollbackModePb")->isEnabled());
    QVERIFY(button("showChangesPb")->isEnabled());
    select("off");
    QVERIFY(button("debugModePb")->isEnabled());
    QVERIFY(!button("rollbackModePb")->isEnabled());
    select("unknown");
    QVERIFY(button("debugModePb")->isEnabled());
    QVERIFY(button("rollbackModePb")->isEnabled());

    moduleList()->setCurrentRow(-1);
    dialogs.expectMessageBox(QMessageBox::Ok);
    QMetaObject::invokeMethod(window.get(), "activateDebugMode");
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(dialogs.last().text, QStringLiteral("Unexpected error while defining a module."));
}

// The window is built without waiting for the modules; the list, and the warnings in listing
// order, come once the worker has read them all.
void TestDebugPage::listArrivesAfterTheWindow()
{
    addModule("svc", "svc.conf", "level = 0\n", {});
    writeAll(dir->filePath(QStringLiteral("modules/broken.json")), "[]");
    const QString missing = dir->filePath(QStringLiteral("missing"));
    QSettings().setValue(QStringLiteral("debugjson"),
                         QStringList{missing, dir->filePath("modules")});
    dialogs.expectMessageBox(QMessageBox::Ok);
    dialogs.expectMessageBox(QMessageBox::Ok);
    window = std::make_unique<MainWindow>();
    MainWindowAccess::reportDirs(*window) = QStringList{dir->path()};
    QCOMPARE(moduleList()->count(), 0);
    QVERIFY(!button("showChangesPb")->isEnabled());

    window->show();
    QTRY_VERIFY(MainWindowAccess::isStarted(*window));
    MainWindowAccess::waitForDebugModules(*window);
    QCOMPARE(dialogs.records().size(), 2);
    QCOMPARE(dialogs.records().at(0).text, QStringLiteral("Can't read directory ") + missing);
    QCOMPARE(dialogs.records().at(1).text,
             QStringLiteral("File %1 \nnot contains valid JSON object.")
                 .arg(dir->filePath(QStringLiteral("modules/broken.json"))));
    QCOMPARE(moduleList()->count(), 1);
    QCOMPARE(rowTip("svc"), QStringLiteral("Debug mode is not active"));
}

// A broken module says where it breaks and may be silenced until it changes; the default module
// folder's absence is told in a box once, then in the status bar.
void TestDebugPage::moduleWarningsDoNotRepeat()
{
    const QString broken = dir->filePath(QStringLiteral("modules/broken.json"));
    writeAll(broken, "{\n  \"modulename\": \"x\",\n  oops\n}\n");
    SystemPaths paths;
    paths.defaultDebugModuleDir = dir->filePath(QStringLiteral("default"));
    QSettings().setValue(QStringLiteral("debugjson"),
                         QStringList{paths.defaultDebugModuleDir, dir->filePath("modules")});
    auto start = [&](int boxes) {
        dialogs.clear();
        window = std::make_unique<MainWindow>(paths);
        MainWindowAccess::reportDirs(*window) = QStringList{dir->path()};
        window->show();
        QTRY_VERIFY(MainWindowAccess::isStarted(*window));
        MainWindowAccess::waitForDebugModules(*window);
        QVERIFY(dialogs.waitForAll());
        QCOMPARE(dialogs.records().size(), boxes);
    };

    dialogs.expectMessageBox(QMessageBox::Ok);
    dialogs.expectMessageBox(QMessageBox::Ok, true);
    start(2);
    QCOMPARE(dialogs.records().at(0).text,
             QStringLiteral("Can't read directory ") + paths.defaultDebugModuleDir);
    const KroTest::DialogRecord module = dialogs.records().at(1);
    QCOMPARE(module.text, QStringLiteral("File %1 \nnot contains valid JSON object.").arg(broken));
    QVERIFY2(module.informativeText.startsWith(QStringLiteral("Line 3, column 3: ")),
             qPrintable(module.informativeText));
    QVERIFY(!module.checkBoxText.isEmpty());

    start(0);
    QCOMPARE(window->statusBar()->currentMessage(),
             QStringLiteral("Can't read directory ") + paths.defaultDebugModuleDir);

    writeAll(broken, "{\n  \"modulename\": \"x\",\n  oops\n}\n\n");
    dialogs.expectMessageBox(QMessageBox::Ok);
    start(1);
    QCOMPARE(dialogs.records().at(0).text, module.text);
}

void TestDebugPage::switchesOnAndOff()
{
    const QByteArray original = "[main]\n    level = 0\n";
    const QString config =
        addModule("svc", "svc.conf", original, {"systemctl restart svc"}, {"systemctl stop svc"});
    QVERIFY(buildWindow());
    select("svc");

    QSignalSpy finished(window->findChild<DebugPage *>(), &DebugPage::switchFinished);
    dialogs.expectMessageBox(QMessageBox::Ok);
    switchBy("debugModePb");
    QCOMPARE(dialogs.records().size(), 1);
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(dialogs.last().text, QStringLiteral("Debug mode activated.\n") + Reproduce);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).value<QObject *>(),
             static_cast<QObject *>(MainWindowAccess::debugModules(*window).first()));
    QCOMPARE(finished.at(0).at(1).toBool(), false);
    QCOMPARE(finished.at(0).at(2).toBool(), true);
    QCOMPARE(rowTip("svc"), QStringLiteral("Debug mode is active"));
    QVERIFY(!button("debugModePb")->isEnabled());
    QVERIFY(button("rollbackModePb")->isEnabled());

    // Closing while the switch runs waits for its end instead of leaving it half done.
    dialogs.expectMessageBox(QMessageBox::Ok);
    button("rollbackModePb")->click();
    window->close();
    QVERIFY(window->isVisible());
    QTRY_COMPARE(finished.count(), 2);
    QVERIFY(dialogs.waitForAll());
    QTRY_VERIFY(!window->isVisible());
    QCOMPARE(dialogs.last().text, QStringLiteral("Debug mode deactivated."));
    QCOMPARE(finished.at(1).at(1).toBool(), true);
    QCOMPARE(rowTip("svc"), QStringLiteral("Debug mode is not active"));
    QVERIFY(button("debugModePb")->isEnabled());
    QVERIFY(!button("rollbackModePb")->isEnabled());
    QCOMPARE(readAll(config), original);
    QCOMPARE(readAll(QStringLiteral(KRO_RECORDED_CALLS)),
             QByteArray("systemctl\n  restart\n  svc\nsystemctl\n  stop\n  svc\n"));
}

void TestDebugPage::stopsAtTheFirstFailureWithOneBox()
{
    addModule("svc", "svc.conf", "x = 1\n", {"kro-failing now"});
    const QString config =
        addModule("cmd", "cmd.conf", "level = 0\n", {"kro-failing now", "systemctl start cmd"});
    QVERIFY(buildWindow());

    // A change that cannot be made stops the switch: its commands never run.
    select("svc");
    dialogs.expectMessageBox(QMessageBox::Ok);
    switchBy("debugModePb");
    QCOMPARE(dialogs.records().size(), 1);
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Error!"));
    QCOMPARE(dialogs.last().text, QStringLiteral("Failed to find text to be replaced : level = 0"));
    QVERIFY(!QFile::exists(QStringLiteral(KRO_RECORDED_CALLS)));
    QVERIFY(button("debugModePb")->isEnabled());

    // A failing command stops the later ones; the changed file is told in the same box.
    select("cmd");
    dialogs.expectMessageBox(QMessageBox::Ok);
    switchBy("debugModePb");
    QCOMPARE(dialogs.records().size(), 2);
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Error!"));
    QVERIFY2(dialogs.last().text.startsWith(
                 QStringLiteral("Failed to execute command : kro-failing now\nThe program "
                                "\"kro-failing\" exited with status")),
             qPrintable(dialogs.last().text));
    QVERIFY(dialogs.last().text.endsWith(
        QStringLiteral("\n\nDebug mode activated with errors.\nMake sure you have completed the "
                       "required steps.\n")));
    QCOMPARE(readAll(QStringLiteral(KRO_RECORDED_CALLS)), QByteArray("kro-failing\n  now\n"));
    QCOMPARE(readAll(config), QByteArray("level = 9\n##commented level = 0\n"));
    QCOMPARE(rowTip("cmd"), QStringLiteral("Some errors detected"));
    QVERIFY(button("debugModePb")->isEnabled());
    QVERIFY(button("rollbackModePb")->isEnabled());
}

void TestDebugPage::addsModuleToRebootFlagOnce()
{
    addModule("sss", "sss.conf", "level = 0\n", {"systemctl restart sss", "reboot"});
    QVERIFY(buildWindow());
    writeAll(MainWindowAccess::rebootFlagFile(*window), "other\n");
    select("sss");

    for (int round = 0; round < 2; ++round) {
        dialogs.expectMessageBox(QMessageBox::Ok);
        switchBy("debugModePb");
        QCOMPARE(dialogs.last().text,
                 QStringLiteral("Remember to reboot after executing commands\n") + Reproduce);
        QCOMPARE(rowTip("sss"), QStringLiteral("Reboot required"));
        QCOMPARE(readAll(MainWindowAccess::rebootFlagFile(*window)), QByteArray("other\nsss\n"));
        QVERIFY(!QFile::exists(MainWindowAccess::rebootFlagWorkingCopy(*window)));
        dialogs.expectMessageBox(QMessageBox::Ok);
        switchBy("rollbackModePb");
        QCOMPARE(dialogs.last().text, QStringLiteral("Debug mode deactivated."));
    }
}

void TestDebugPage::leftOverWorkingCopy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("published");
    QTest::newRow("own file is reused") << "own" << QByteArray("old\nsss\n");
    QTest::newRow("link is not followed") << "link" << QByteArray("other\n");
    QTest::newRow("someone else's file is not published") << "foreign" << QByteArray("other\n");
}

void TestDebugPage::leftOverWorkingCopy()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, published);
    addModule("sss", "sss.conf", "level = 0\n", {"reboot"});
    QVERIFY(buildWindow());
    writeAll(MainWindowAccess::rebootFlagFile(*window), "other\n");
    const QString target = dir->filePath(QStringLiteral("target"));
    const QString working = MainWindowAccess::rebootFlagWorkingCopy(*window);
    if (kind == "link") {
        writeAll(target, "target\n");
        QVERIFY(QFile::link(target, working));
    } else {
        writeAll(working, "old\n");
    }
    if (kind == "foreign")
        QCOMPARE(::chown(QFile::encodeName(working).constData(), 1234, 1234), 0);

    select("sss");
    dialogs.expectMessageBox(QMessageBox::Ok);
    switchBy("debugModePb");
    QCOMPARE(readAll(MainWindowAccess::rebootFlagFile(*window)), published);
    if (kind == "link")
        QCOMPARE(readAll(target), QByteArray("target\n"));
    if (kind == "foreign")
        QCOMPARE(readAll(working), QByteArray("old\n"));
}

void TestDebugPage::asksBeforeEndingTheSession()
{
    const QString config = addModule("desk", "desk.conf", "level = 0\n", {"restart-session"});
    QVERIFY(buildWindow());
    select("desk");

    dialogs.expectMessageBox(QMessageBox::No);
    button("debugModePb")->click();
    QCOMPARE(dialogs.records().size(), 1);
    QCOMPARE(dialogs.last().windowTitle, QStringLiteral("Attention!"));
    QCOMPARE(
        dialogs.last().text,
        QStringLiteral("Executing this operation will terminate the current session. Continue?"));
    QCOMPARE(readAll(config), QByteArray("level = 0\n"));

    dialogs.expectMessageBox(QMessageBox::Yes);
    dialogs.expectMessageBox(QMessageBox::Ok);
    switchBy("debugModePb");
    QCOMPARE(dialogs.last().text, QStringLiteral("Debug mode activated.\n") + Reproduce);
    // Switching off runs other commands, which do not end the session.
    dialogs.expectMessageBox(QMessageBox::Ok);
    switchBy("rollbackModePb");
    QCOMPARE(dialogs.last().text, QStringLiteral("Debug mode deactivated."));
}

void TestDebugPage::changesWindowFollowsTheRow()
{
    addModule("first", "first.conf", "level = 0\n", {"a 1", "b 2"});
    addModule("second", "second.conf", "level = 0\n", {}, {"c 3"});
    QVERIFY(buildWindow());

    dialogs.expectMessageBox(QMessageBox::Ok);
    button("showChangesPb")->setEnabled(true);
    button("showChangesPb")->click();
    QCOMPARE(dialogs.last().text, QStringLiteral("Unexpected error while defining a module."));
    QVERIFY(MainWindowAccess::changesWidget(*window));
    QVERIFY(!MainWindowAccess::changesWidget(*window)->isVisible());

    select("first");
    button("showChangesPb")->click();
    ChangesWidget *changes = MainWindowAccess::changesWidget(*window);
    QVERIFY(changes->isVisible());
    QCOMPARE(changes->windowTitle(), QStringLiteral("first"));
    QCOMPARE(changes->findChild<QLabel *>("nameLbl")->text(), QStringLiteral("\"first\""));
    auto *table = changes->findChild<QTableWidget *>("changesTW");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("level = 0"));
    QCOMPARE(table->item(0, 2)->text(), QStringLiteral("level = 9"));
    QCOMPARE(changes->findChild<QListWidget *>("commandsLW")->count(), 2);
    QCOMPARE(changes->findChild<QListWidget *>("rollbackCommandsLW")->count(), 0);

    select("second");
    QCOMPARE(changes->windowTitle(), QStringLiteral("second"));
    QCOMPARE(changes->findChild<QListWidget *>("rollbackCommandsLW")->item(0)->text(),
             QStringLiteral("c 3"));

    changes->hide();
    select("first");
    QCOMPARE(changes->windowTitle(), QStringLiteral("second"));

    // Exit closes the changes window with the main window, so that no window keeps the
    // application running unseen.
    window->findChild<QPushButton *>(QStringLiteral("showChangesPb"))->click();
    QVERIFY(changes->isVisible());
    QVERIFY(window->close());
    QVERIFY(!changes->isVisible());
}

// One rule for every module that names its service's package, the shipped ones among them: where
// dpkg does not list the package as installed, the row says so, greyed, and nothing switches it.
void TestDebugPage::servicesNotInstalledAreShownGreyed()
{
    addModule("own", "own.conf", "level = 0\n", {});
    // Left in debug mode before its package went: no reminder offers a switch that cannot run.
    writeAll(dir->filePath(QStringLiteral("gone.conf")), "level = 9\n");
    writeAll(dir->filePath(QStringLiteral("modules/gone.json")),
             QStringLiteral("{\"modulename\": \"gone\", \"package\": \"kro-gone\", "
                            "\"filechanges\": [{\"filename\": \"%1\", \"oldtext\": \"level = "
                            "0\", \"newtext\": \"level = 9\"}]}")
                 .arg(dir->filePath(QStringLiteral("gone.conf")))
                 .toUtf8());
    writeAll(dir->filePath(QStringLiteral("status")),
             "Package: samba\nStatus: deinstall ok config-files\n\n"
             "Package: sssd\nStatus: install ok installed\n\n");
    QSettings().setValue(
        QStringLiteral("debugjson"),
        QStringList{QStringLiteral(KRO_SHIPPED_MODULES), dir->filePath("modules")});
    QVERIFY(buildWindow());
    QCOMPARE(moduleList()->count(), 5);
    for (const char *service : {"cups", "samba", "sssd", "gone"}) {
        select(service);
        QListWidgetItem *row = moduleList()->currentItem();
        QCOMPARE(row->data(Qt::AccessibleTextRole).toString(),
                 QString::fromLatin1(service) + " (not installed)");
        QVERIFY(row->toolTip().contains(QStringLiteral("is not installed")));
        QVERIFY(!button("debugModePb")->isEnabled() && !button("rollbackModePb")->isEnabled());
        QVERIFY(!button("reproducePb")->isEnabled());
        QVERIFY(button("showChangesPb")->isEnabled());
    }
    select("own");
    QVERIFY(button("debugModePb")->isEnabled() && button("reproducePb")->isEnabled());
    QVERIFY(moduleList()->currentItem()->data(Qt::AccessibleTextRole).isNull());
}

KRO_TEST_MAIN(TestDebugPage)
#include "tst_debugpage.moc"
