// SPDX-License-Identifier: GPL-2.0-or-later
// Collecting from three machines with the window's "Collect from several machines..." (sos's
// collector, every node at once) against the anchor of running sos report on each of the same
// machines one after another over SSH with the same options, in the same run; and the longest
// gap of the window's event loop while it follows the collection up to the archive in the table
// (goal: at most 16 ms), beside the gap of the same window idle while the anchor runs and the
// longest event the window handled meanwhile, its own share of the gap. Each node makes the
// report a user gets there: sos report's default plugins, not a chosen few; each is held to a
// machine's share of the cores (NodeShares). Rounds alternate the arms; medians are printed
// with [min..max], and where the collection spent its time.
// The machines are real sshd instances on loopback addresses in namespaces of their own, as in
// the collection tests, running the machine's real sos report. Needs root; prints why it is
// skipped otherwise. Runs on a private bus with the helper:
//   scripts/with-private-bus.sh -- build/bench/bench_collect
#include "collectchoices.h"
#include "collectflow.h"
#include "constants.h"
#include "eventwait.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "privatehome.h"
#include "ptyprocess.h"
#include "spread.h"
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
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace {

const int LimitMs = 900000;
const double GoalMs = 16;
const int Nodes = 3;
const int Rounds = 3;
const QString CaseId = QStringLiteral("1");

// One round of both arms, in seconds unless named otherwise.
struct Round
{
    double anchor = 0;
    double idleGapMs = 0;
    double collected = 0;
    // Trigger to every node connecting: the dialog, starting the collector, its local checks.
    double start = 0;
    // Logging in and sos's own questions to each node (host name, package, plugins, presets),
    // up to the last node's report starting.
    double connecting = 0;
    // The last report starting to the last one copied back.
    double reports = 0;
    // The last copy to the collector's end: it packs the reports into one archive.
    double packing = 0;
    // The collector's end to the archive selected in the table: what the window does.
    double endMs = 0;
    double gapMs = 0;
    // The longest event the window's thread handled meanwhile, and what it was.
    double eventMs = 0;
    QString eventWhat;
};

// Each node stands for a machine of its own: where the cpu controller allows, each gets as many
// of this machine's cores as this machine keeps for itself (a quarter each with three nodes), and
// only time that this machine's own programs leave (the lowest weight), in both arms alike.
// Otherwise the nodes share the cores with each other and the window, which machines of their
// own never do.
class NodeShares
{
public:
    ~NodeShares()
    {
        for (const QString &group : qAsConst(groups))
            QDir().rmdir(group);
        QDir().rmdir(root);
    }
    // Puts process and what it starts later into a share of its own; false where it cannot.
    bool give(qint64 process)
    {
        const QString group = root + QStringLiteral("/node-%1").arg(groups.size() + 1);
        const int quota = PeriodUs * QThread::idealThreadCount() / (Nodes + 1);
        if (!QDir().mkpath(group))
            return false;
        groups << group;
        return write(group + "/cpu.cfs_period_us", PeriodUs) &&
               write(group + "/cpu.cfs_quota_us", quota) &&
               write(group + "/cpu.shares", LowestWeight) &&
               write(group + "/cgroup.procs", process);
    }

private:
    static constexpr int PeriodUs = 100000;
    static constexpr int LowestWeight = 2;
    static bool write(const QString &path, qint64 value)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(QByteArray::number(value)) > 0;
    }
    const QString root = QStringLiteral("/sys/fs/cgroup/cpu/kro-collect-bench-%1").arg(::getpid());
    QStringList groups;
};

// Times each event the window's thread handles while the collection is followed: the longest
// is the window's own share of a gap; the rest is the machine's load keeping the thread waiting.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!timing || depth > 0)
            return QApplication::notify(receiver, event);
        what = QStringLiteral("%1 event %2")
                   .arg(QLatin1String(receiver->metaObject()->className()))
                   .arg(int(event->type()));
        ++depth;
        outer.start();
        const bool done = QApplication::notify(receiver, event);
        --depth;
        note();
        return done;
    }
    void start()
    {
        timing = true;
        longestMs = 0;
    }
    // Stops timing, counting the event in progress up to now; returns the longest.
    double stop()
    {
        if (depth > 0)
            note();
        timing = false;
        return longestMs;
    }
    QString longestWhat;

private:
    void note()
    {
        const double ms = outer.nsecsElapsed() / 1e6;
        if (ms > longestMs) {
            longestMs = ms;
            longestWhat = what;
        }
    }

    bool timing = false;
    int depth = 0;
    QElapsedTimer outer;
    QString what;
    double longestMs = 0;
};

[[noreturn]] void fail(const QString &what)
{
    QTextStream(stderr) << "bench_collect: " << what << '\n';
    std::exit(1);
}

QString nodeName(int index)
{
    return QStringLiteral("node-%1").arg(index + 1);
}

QString spread(const QVector<Round> &rounds, double Round::*field)
{
    QVector<double> values;
    for (const Round &round : rounds)
        values << round.*field;
    return spread(values);
}

// The anchor: sos report on each machine in turn, as one would without the collector, with the
// options the collector gives each node. The window stays open and idle meanwhile: its longest
// gap then is what the machine's load alone costs it.
void oneAfterAnother(Round &round, StallProbe &probe)
{
    QElapsedTimer time;
    time.start();
    probe.reset();
    for (int i = 0; i < Nodes; ++i) {
        QProcess ssh;
        ssh.start(QStringLiteral("ssh"),
                  {"-o", "StrictHostKeyChecking=no", "-o", "BatchMode=yes", nodeName(i),
                   "sosreport", "--batch", "--case-id=" + CaseId});
        if (!::waitFor([&ssh] { return ssh.state() == QProcess::NotRunning; }, LimitMs) ||
            ssh.exitCode() != 0)
            fail(QStringLiteral("sos report on %1 failed: %2")
                     .arg(nodeName(i), QString::fromLocal8Bit(ssh.readAllStandardError())));
    }
    round.idleGapMs = probe.longest();
    round.anchor = time.elapsed() / 1000.0;
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

// Collects through the window, noting when the nodes reach each state.
void collect(MainWindow &window, Round &round, StallProbe &probe)
{
    CollectFlow *flow = MainWindowAccess::collectFlow(window);
    Collection &collection = flow->collection();
    auto *app = static_cast<TimingApplication *>(QCoreApplication::instance());
    QElapsedTimer time;
    time.start();
    double connecting = 0, collectorEnded = 0, ready = 0;
    // When each node first reported, and first had its report copied.
    QVector<double> reporting(Nodes), copied(Nodes);
    bool ended = false;
    QString archive, told;
    QObject context;
    QObject::connect(&collection, &Collection::nodeChanged, &context, [&](int index) {
        const double now = time.elapsed() / 1000.0;
        if (connecting == 0) {
            probe.reset();
            app->start();
            connecting = now;
            // The collector runs now; its end is timed apart from the window's work after it.
            QObject::connect(collection.findChild<PtyProcess *>(),
                             qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &context,
                             [&] { collectorEnded = time.elapsed() / 1000.0; });
        }
        const CollectOutput::State state = collection.output()->nodes().at(index).state;
        if (state == CollectOutput::State::Collecting && reporting[index] == 0)
            reporting[index] = now;
        else if (state >= CollectOutput::State::Copying && copied[index] == 0)
            copied[index] = now;
    });
    // After the window's own slot: the archive is in the table, the end box not yet open.
    QObject::connect(flow, &CollectFlow::archiveReady, &context, [&](const QString &path) {
        ready = time.elapsed() / 1000.0;
        round.gapMs = probe.longest();
        round.eventMs = app->stop();
        round.eventWhat = app->longestWhat;
        archive = path;
    });
    QObject::connect(&collection, &Collection::finished, &context,
                     [&](Collection::Outcome, const QString &, const QString &text) {
                         ended = true;
                         told = text;
                     });
    window.findChild<QAction *>(QStringLiteral("collectAction"))->trigger();
    if (!::waitFor([&ended] { return ended; }, LimitMs) || archive.isEmpty())
        fail(QStringLiteral("the collection failed: ") + told);
    round.collected = ready;
    round.start = connecting;
    const double lastReporting = *std::max_element(reporting.begin(), reporting.end());
    const double lastCopied = *std::max_element(copied.begin(), copied.end());
    round.connecting = lastReporting - connecting;
    round.reports = lastCopied - lastReporting;
    round.packing = collectorEnded - lastCopied;
    round.endMs = (ready - collectorEnded) * 1000;
}

void print(const QVector<Round> &rounds, bool ownShares)
{
    QVector<double> ratios, gapRatios, eventRatios;
    const Round *worst = &rounds.first();
    for (const Round &round : rounds) {
        ratios << round.collected / round.anchor;
        gapRatios << round.gapMs / GoalMs;
        eventRatios << round.eventMs / GoalMs;
        worst = round.eventMs > worst->eventMs ? &round : worst;
    }
    QTextStream out(stdout);
    out << "sos report (default plugins) on " << Nodes << " machines, medians of " << Rounds
        << " rounds [min..max]; each node "
        << (ownShares ? QStringLiteral("limited to %1 of this machine's %2 cores, lowest weight")
                            .arg(QThread::idealThreadCount() / (Nodes + 1.0))
                            .arg(QThread::idealThreadCount())
                      : QStringLiteral("sharing all cores (no cpu controller)"))
        << "\n"
        << "  one after another (anchor): " << spread(rounds, &Round::anchor) << " s\n"
        << "  collected from all at once: " << spread(rounds, &Round::collected) << " s\n"
        << "  ratio collect / one after another: " << spread(ratios) << " (goal < 1)\n"
        << "  collect spent: start " << spread(rounds, &Round::start) << " s, logging in and "
        << "reading each node's sos " << spread(rounds, &Round::connecting) << " s, reports "
        << "and copies " << spread(rounds, &Round::reports) << " s, packing "
        << spread(rounds, &Round::packing) << " s, window after the collector "
        << spread(rounds, &Round::endMs) << " ms\n"
        << "following the nodes up to the archive in the table: longest gap "
        << spread(rounds, &Round::gapMs) << " ms, gap / goal " << spread(gapRatios)
        << " (goal <= 1); idle window during the anchor " << spread(rounds, &Round::idleGapMs)
        << " ms\n"
        << "  of which the window's own work, its longest event: "
        << spread(rounds, &Round::eventMs) << " ms, event / goal " << spread(eventRatios)
        << " (goal <= 1; longest " << worst->eventWhat << ")\n";
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
    TimingApplication app(argc, argv);
    const QString reports = home.filePath(QStringLiteral("reports"));
    QDir().mkpath(reports);
    QSettings().setValue(Kro::ReportDirsKey, QStringList{reports});
    // An empty module folder: the window warns about no missing one.
    QDir().mkpath(home.filePath(QStringLiteral("modules")));
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{home.filePath("modules")});
    NodeShares shares;
    SshNodes nodes(QStringLiteral(KRO_COLLECT_SCRIPTS "/sshnode.sh"), home.path(), home.path());
    if (!nodes.makeKeys())
        fail(QStringLiteral("cannot make the SSH keys"));
    CollectChoices choices;
    bool ownShares = true;
    for (int i = 0; i < Nodes; ++i) {
        if (!nodes.start(nodeName(i), 2 + i))
            fail(QStringLiteral("sshd did not start"));
        ownShares = shares.give(nodes.lastNodeProcess()) && ownShares;
        choices.hosts << nodeName(i);
    }
    choices.caseId = CaseId;
    choices.save();

    QTimer answerer;
    answerDialogs(answerer);
    MainWindow window;
    window.show();
    ::waitFor([&window] { return MainWindowAccess::isStarted(window); }, LimitMs);
    StallProbe probe;
    QVector<Round> rounds(Rounds);
    for (int i = 0; i < Rounds; ++i) {
        QTextStream(stderr) << "bench_collect: round " << i + 1 << ", one after another\n";
        oneAfterAnother(rounds[i], probe);
        QTextStream(stderr) << "bench_collect: round " << i + 1 << ", collecting\n";
        collect(window, rounds[i], probe);
    }
    print(rounds, ownShares);
    return 0;
}
