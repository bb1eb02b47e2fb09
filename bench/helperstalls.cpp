// SPDX-License-Identifier: GPL-2.0-or-later
// The longest stall of the window's event loop during each helper call: a probe timer ticks
// every 5 ms and the longest gap between two ticks is taken while the window starts (with an
// sssd module, whose package is asked for), fetches the plugin listing, protects a large
// archive and switches a debug module with file moves and commands. The anchor of each is the
// same work done by the blocking calls, as the window did it before. Goal: no gap over 50 ms.
// Runs on a private bus with the real helper and the stand-ins of build/bench:
//   scripts/with-private-bus.sh --stand-ins build/bench -- build/bench/bench_helperstalls
#include "backstage.h"
#include "constants.h"
#include "dbusservice.h"
#include "debugpage.h"
#include "eventwait.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "packagemanager.h"
#include "passworddialog.h"
#include "privatehome.h"
#include "stallprobe.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <cstdlib>
#include <functional>

namespace {

const int WaitLimitMs = 120000;
const double GoalMs = 50;
const qint64 ArchiveBytes = 256LL << 20;
const int ConfigLines = 100000;
const QString Password = QStringLiteral("bench");

void fail(const QString &what)
{
    QTextStream(stderr) << "bench_helperstalls: " << what << '\n';
    std::exit(1);
}

void waitFor(const std::function<bool()> &condition, const QString &what)
{
    if (!::waitFor(condition, WaitLimitMs))
        fail(what);
}

// Answers the window's password dialog and closes its message boxes, as a user would.
void answerDialogs(QTimer &answerer)
{
    QObject::connect(&answerer, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<PasswordDialog *>(modal)) {
            for (const char *entry : {"passwordLE", "confirmLE"})
                dialog->findChild<QLineEdit *>(QLatin1String(entry))->setText(Password);
            dialog->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            box->done(QMessageBox::Ok);
        }
    });
    answerer.start(10);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        fail(QStringLiteral("cannot write ") + path);
}

QByteArray configText()
{
    QByteArray text;
    for (int line = 0; line < ConfigLines; ++line)
        text += "option_" + QByteArray::number(line) + " = value\n";
    return text + "level = 0\n";
}

// A module with two changes on two large files and two slow commands, and an sssd module.
void writeModules(const QDir &dir)
{
    dir.mkpath(QStringLiteral("modules"));
    for (const char *name : {"first.conf", "second.conf"})
        writeFile(dir.filePath(QLatin1String(name)), configText());
    const QString change = QStringLiteral("{\"filename\": \"%1\", \"oldtext\": \"level = 0\", "
                                          "\"newtext\": \"level = 9\"}");
    writeFile(dir.filePath(QStringLiteral("modules/svc.json")),
              QStringLiteral("{\"modulename\": \"svc\", \"commands_debug\": [\"systemctl restart "
                             "a\", \"systemctl restart b\"], \"commands_rollback\": [\"systemctl "
                             "restart a\", \"systemctl restart b\"], \"filechanges\": [%1, %2]}")
                  .arg(change.arg(dir.filePath(QStringLiteral("first.conf"))),
                       change.arg(dir.filePath(QStringLiteral("second.conf"))))
                  .toUtf8());
    writeFile(dir.filePath(QStringLiteral("modules/sssd.json")),
              QStringLiteral("{\"modulename\": \"sssd\", \"filechanges\": [%1]}")
                  .arg(change.arg(dir.filePath(QStringLiteral("first.conf"))))
                  .toUtf8());
}

void print(const QString &call, double asyncMs, double blockingMs)
{
    QTextStream(stdout) << call << ": longest gap " << asyncMs << " ms, blocking way " << blockingMs
                        << " ms, ratio " << asyncMs / blockingMs << ", gap / goal "
                        << asyncMs / GoalMs << " (goal <= 1)\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    useHome(home.path());
    QApplication app(argc, argv);
    QDir dir(home.path());
    writeModules(dir);
    dir.mkpath(QStringLiteral("reports"));
    QFile archive(dir.filePath(QStringLiteral("reports/sosreport-big.tar.xz")));
    if (!archive.open(QIODevice::WriteOnly) || !archive.resize(ArchiveBytes))
        fail(QStringLiteral("cannot make the archive"));
    archive.close();
    QFile::copy(archive.fileName(), dir.filePath(QStringLiteral("sosreport-anchor.tar.xz")));
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{dir.filePath("modules")});
    QSettings().setValue(Kro::PluginAskAgainKey, true);
    StallProbe probe;
    QTimer answerer;
    answerDialogs(answerer);
    KroAdmin::DbusService blocking;

    // Start-up, with the package question for the sssd module.
    QElapsedTimer blockingTime;
    blockingTime.start();
    KroAdmin::PackageManager::isPackageInstalled(QStringLiteral("sssd"), QStringLiteral("ii\\s%1"));
    const double packageMs = blockingTime.nsecsElapsed() / 1e6;
    probe.reset();
    MainWindow window;
    window.show();
    MainWindowAccess::useReportDirs(window, QStringList{dir.filePath("reports")});
    // The package's answer comes well within this time.
    QElapsedTimer shown;
    shown.start();
    waitFor([&shown] { return shown.elapsed() > 1500; }, QString());
    print(QStringLiteral("start-up with an sssd module"), probe.longest(), packageMs);

    // The plugin listing, asked for once the pane is built (building it is no helper call).
    probe.reset();
    window.findChild<QCheckBox *>(QStringLiteral("extCheckBox"))->setChecked(true);
    const double paneMs = probe.longest();
    probe.reset();
    waitFor([] { return !QApplication::overrideCursor(); }, QStringLiteral("no plugin listing"));
    const double listingMs = probe.longest();
    QTextStream(stdout) << "building the settings pane (before the listing is asked): " << paneMs
                        << " ms\n";
    probe.reset();
    blocking.execSmthWithArgs(Kro::SosreportProgram, {Kro::ListPluginsOption});
    print(QStringLiteral("plugin listing"), listingMs, probe.longest());

    // Protecting a large archive.
    auto *table = window.findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    table->setCurrentCell(0, 0);
    probe.reset();
    QMetaObject::invokeMethod(&window, "encryptCurrentReport");
    waitFor([&] { return table->item(0, 0)->text().endsWith(QStringLiteral(".cpt")); },
            QStringLiteral("the archive was not protected"));
    const double protectMs = probe.longest();
    probe.reset();
    blocking.protectReport(dir.filePath(QStringLiteral("sosreport-anchor.tar.xz")),
                           Password.toUtf8());
    print(QStringLiteral("protecting a 256 MiB archive"), protectMs, probe.longest());

    // A debug switch: two file moves and two commands; the anchor switches back blocking.
    auto *modules = window.findChild<QListWidget *>(QStringLiteral("debugLW"));
    const QList<QListWidgetItem *> rows = modules->findItems("svc", Qt::MatchExactly);
    if (rows.isEmpty())
        fail(QStringLiteral("no module to switch"));
    modules->setCurrentItem(rows.first());
    bool switched = false;
    QObject::connect(window.findChild<DebugPage *>(), &DebugPage::switchFinished,
                     [&switched] { switched = true; });
    probe.reset();
    window.findChild<QPushButton *>(QStringLiteral("debugModePb"))->click();
    waitFor([&switched] { return switched; }, QStringLiteral("the switch did not end"));
    const double switchMs = probe.longest();
    Backstage backstage;
    backstage.setDbusService(&blocking);
    DebugModuleObject *module =
        MainWindowAccess::debugModules(window).value(modules->row(rows.first()));
    probe.reset();
    backstage.applyFileChanges(module->fileChanges(), true);
    backstage.executeCommands(module->rollbackCommands());
    print(QStringLiteral("debug switch, 2 moves and 2 commands"), switchMs, probe.longest());
    return 0;
}
