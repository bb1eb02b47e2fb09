// SPDX-License-Identifier: GPL-2.0-or-later
// Collecting from three machines with the window's "Collect from several machines..." (sos's
// collector, every node at once) against the anchor of running sos report on each of the same
// machines one after another over SSH with the same options, in the same run; and the longest
// gap of the window's event loop while it follows the collection (goal: at most 16 ms). The
// machines are real sshd instances on loopback addresses in namespaces of their own, as in the
// collection tests, running the machine's real sos report. Needs root; prints why it is skipped
// otherwise. Runs on a private bus with the helper:
//   scripts/with-private-bus.sh -- build/bench/bench_collect
#include "collectchoices.h"
#include "collectflow.h"
#include "constants.h"
#include "eventwait.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "privatehome.h"
#include "sshnodes.h"
#include "stallprobe.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>

namespace {

const int LimitMs = 600000;
const double GoalMs = 16;
const int Nodes = 3;
// Plugins that take a few seconds on each machine, so that the reports outweigh the logging in.
const QStringList Plugins{"date", "host", "kernel", "release"};

[[noreturn]] void fail(const QString &what)
{
    QTextStream(stderr) << "bench_collect: " << what << '\n';
    std::exit(1);
}

QString nodeName(int index)
{
    return QStringLiteral("node-%1").arg(index + 1);
}

// The anchor: sos report on each machine in turn, as one would without the collector.
double oneAfterAnother()
{
    QElapsedTimer time;
    time.start();
    for (int i = 0; i < Nodes; ++i) {
        QProcess ssh;
        ssh.start(QStringLiteral("ssh"),
                  {"-o", "StrictHostKeyChecking=no", "-o", "BatchMode=yes", nodeName(i),
                   "sosreport", "--batch", "-o", Plugins.join(','), "--case-id", "1"});
        if (!ssh.waitForFinished(LimitMs) || ssh.exitCode() != 0)
            fail(QStringLiteral("sos report on %1 failed: %2")
                     .arg(nodeName(i), QString::fromLocal8Bit(ssh.readAllStandardError())));
    }
    return time.elapsed() / 1000.0;
}

// Accepts the window's collection dialog and closes its message boxes, as a user would.
void answerDialogs(QTimer &answerer)
{
    QObject::connect(&answerer, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            box->done(QMessageBox::Ok);
        else if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    answerer.start(10);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home(QStringLiteral("/tmp/kro-collect-bench-XXXXXX"));
    useHome(home.path());
    if (!SshNodes::usePrivateSshHome(home.path())) {
        QTextStream(stdout) << "skipped: needs root, sshd and mount namespaces\n";
        return 0;
    }
    QApplication app(argc, argv);
    const QString reports = home.filePath(QStringLiteral("reports"));
    QDir().mkpath(reports);
    QSettings().setValue(Kro::ReportDirsKey, QStringList{reports});
    // An empty module folder: the window warns about no missing one.
    QDir().mkpath(home.filePath(QStringLiteral("modules")));
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{home.filePath("modules")});
    SshNodes nodes(QStringLiteral(KRO_COLLECT_SCRIPTS "/sshnode.sh"), home.path(), home.path());
    if (!nodes.makeKeys())
        fail(QStringLiteral("cannot make the SSH keys"));
    CollectChoices choices;
    for (int i = 0; i < Nodes; ++i) {
        if (!nodes.start(nodeName(i), 2 + i))
            fail(QStringLiteral("sshd did not start"));
        choices.hosts << nodeName(i);
    }
    choices.plugins = Plugins;
    choices.caseId = QStringLiteral("1");
    choices.save();

    QTextStream(stderr) << "bench_collect: running sos report on each machine in turn\n";
    const double anchor = oneAfterAnother();
    QTextStream(stderr) << "bench_collect: collecting through the window\n";

    QTimer answerer;
    answerDialogs(answerer);
    MainWindow window;
    window.show();
    ::waitFor([&window] { return MainWindowAccess::isStarted(window); }, LimitMs);
    Collection &collection = MainWindowAccess::collectFlow(window)->collection();
    bool ended = false;
    QString archive;
    QString told;
    QObject::connect(&collection, &Collection::finished,
                     [&](Collection::Outcome, const QString &path, const QString &text) {
                         ended = true;
                         archive = path;
                         told = text;
                     });
    StallProbe probe;
    // The gap while the window follows the nodes, from their first news to their last, apart
    // from opening the dialogs the user answers.
    bool following = false;
    double followingGap = 0;
    QObject::connect(&collection, &Collection::nodeChanged, [&] {
        if (!following)
            probe.reset();
        following = true;
        followingGap = qMax(followingGap, probe.longest());
    });
    QElapsedTimer time;
    time.start();
    window.findChild<QAction *>(QStringLiteral("collectAction"))->trigger();
    if (!::waitFor([&ended] { return ended; }, LimitMs) || archive.isEmpty())
        fail(QStringLiteral("the collection failed: ") + told);
    const double collected = time.elapsed() / 1000.0;
    const double gap = probe.longest();

    QTextStream(stdout) << "sos report on " << Nodes << " machines one after another: " << anchor
                        << " s; collected from all at once: " << collected
                        << " s; ratio collect / one after another " << collected / anchor << '\n'
                        << "following the nodes: longest gap " << followingGap << " ms, gap / goal "
                        << followingGap / GoalMs << " (goal <= 1); with the dialogs opened " << gap
                        << " ms\n";
    return 0;
}
