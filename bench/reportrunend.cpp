// SPDX-License-Identifier: GPL-2.0-or-later
// Follows report runs through the real window, the helper and a stand-in sosreport on a private
// bus, and measures: the time from the stand-in's end to the unlocked window (median of 15 runs),
// the longest time the GUI thread spends in one poll tick or one handling of the helper's answer,
// and the process CPU per poll during a held run against the CPU of one synchronous ps run (the
// old way of following a run). Run it by hand:
//   scripts/with-private-bus.sh --stand-ins build/bench -- build/bench/bench_reportrunend
#include "constants.h"
#include "eventwait.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "privatehome.h"

#include <QApplication>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPair>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>
#include <time.h>

namespace {

const int Runs = 15;
const int HeldPolls = 10;
const int WaitLimitMs = 20000;

double wallSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double usageMs(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// CPU of this process and of its waited-for children, such as ps.
double cpuMs()
{
    return usageMs(RUSAGE_SELF) + usageMs(RUSAGE_CHILDREN);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Times the window's poll slots as the event loop delivers them, and notes when it unlocks.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (!window)
            return QApplication::notify(receiver, event);
        const bool tick =
            receiver == MainWindowAccess::checkTimer(*window) && event->type() == QEvent::Timer;
        // The window's client owns the watchers of its calls to the helper, the only calls here.
        const bool reply =
            event->type() == QEvent::MetaCall && qobject_cast<QDBusPendingCallWatcher *>(receiver);
        QElapsedTimer timer;
        timer.start();
        const bool done = QApplication::notify(receiver, event);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (receiver == window && event->type() == QEvent::EnabledChange && window->isEnabled())
            unlockedAt = wallSeconds();
        if (tick)
            longestTickMs = std::max(longestTickMs, ms);
        if (reply)
            longestReplyMs = std::max(longestReplyMs, ms);
        replies += reply ? 1 : 0;
        return done;
    }

    MainWindow *window = nullptr;
    double unlockedAt = 0;
    double longestTickMs = 0;
    double longestReplyMs = 0;
    int replies = 0;
};

// Waits for the condition as long as a run may take.
bool waitFor(const std::function<bool()> &condition)
{
    return ::waitFor(condition, WaitLimitMs);
}

void pause(int ms)
{
    ::waitFor([] { return false; }, ms);
}

void fail(const QString &what)
{
    QTextStream(stderr) << "bench_reportrunend: " << what << '\n';
    std::exit(1);
}

// The CPU of one synchronous ps run with waitForFinished, as the window polled before.
double psCpuMs()
{
    QVector<double> costs;
    for (int round = 0; round < Runs; ++round) {
        const double before = cpuMs();
        QProcess ps;
        ps.start(Kro::PsProgram, QStringList{QStringLiteral("--no-headers"), QStringLiteral("-p"),
                                             QString::number(QCoreApplication::applicationPid())});
        ps.waitForFinished();
        costs.append(cpuMs() - before);
    }
    return median(costs);
}

class RunBench
{
public:
    RunBench(TimingApplication &app, MainWindow &window, const QDir &output)
        : app(app), window(window), output(output)
    {
    }

    // Starts a run that waits for release until the stand-in has begun.
    void startHeldRun()
    {
        QFile(output.filePath(QStringLiteral(".hold"))).open(QIODevice::WriteOnly);
        QFile::remove(output.filePath(QStringLiteral(".arguments")));
        QFile::remove(output.filePath(QStringLiteral(".ended")));
        QMetaObject::invokeMethod(&window, "collectReports");
        // The window locks once the helper has started the run.
        if (!waitFor([this] { return !window.isEnabled(); }))
            fail(QStringLiteral("the window did not start a run"));
        if (!waitFor(
                [this] { return QFile::exists(output.filePath(QStringLiteral(".arguments"))); }))
            fail(QStringLiteral("the stand-in sosreport did not start"));
    }

    // Releases the run and returns the seconds from the stand-in's end to the unlocked window.
    double releaseAndTimeUnlock()
    {
        QFile::remove(output.filePath(QStringLiteral(".hold")));
        if (!waitFor([this] { return window.isEnabled(); }))
            fail(QStringLiteral("the window stayed locked"));
        QFile ended(output.filePath(QStringLiteral(".ended")));
        if (!waitFor([&ended] { return ended.exists(); }) || !ended.open(QIODevice::ReadOnly))
            fail(QStringLiteral("the stand-in left no end time"));
        return app.unlockedAt - ended.readAll().trimmed().toDouble();
    }

    // CPU of this process per poll interval over HeldPolls answers of the helper during a held
    // run, then over as long a time with the poll timer stopped: the window's cost without polls.
    QPair<double, double> cpuPerPollMs()
    {
        startHeldRun();
        const int firstReply = app.replies + 1;
        waitFor([&] { return app.replies >= firstReply; });
        double before = cpuMs();
        waitFor([&] { return app.replies >= firstReply + HeldPolls; });
        const double polling = (cpuMs() - before) / HeldPolls;
        QTimer *checkTimer = MainWindowAccess::checkTimer(window);
        checkTimer->stop();
        before = cpuMs();
        pause(HeldPolls * checkTimer->interval());
        const double idle = (cpuMs() - before) / HeldPolls;
        checkTimer->start();
        releaseAndTimeUnlock();
        return qMakePair(polling, idle);
    }

    // Runs released at a random point of the poll interval, after the first poll.
    QVector<double> endToUnlockSeconds()
    {
        QVector<double> times;
        for (int run = 0; run < Runs; ++run) {
            startHeldRun();
            pause(1000 + QRandomGenerator::global()->bounded(1000));
            times.append(releaseAndTimeUnlock());
        }
        return times;
    }

private:
    TimingApplication &app;
    MainWindow &window;
    QDir output;
};

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    useHome(home.path());
    TimingApplication app(argc, argv);
    // No debug modules: the window would stop to warn about a missing module folder.
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{home.path()});
    QDir output(QStringLiteral(KRO_RUNEND_OUTPUT));
    output.removeRecursively();
    output.mkpath(QStringLiteral("."));

    MainWindow window;
    window.show();
    // The window's own question about runs is answered before a run is started.
    if (!waitFor([&window] { return MainWindowAccess::isStarted(window); }))
        fail(QStringLiteral("the window did not start up"));
    // Only the stand-in's folder: the /tmp that the window always adds would blur the timings.
    MainWindowAccess::useReportDirs(window, QStringList{output.path()});
    app.window = &window;

    const double psMs = psCpuMs();
    RunBench bench(app, window, output);
    const QPair<double, double> cpu = bench.cpuPerPollMs();
    const double pollMs = cpu.first - cpu.second;
    const QVector<double> ends = bench.endToUnlockSeconds();

    QTextStream out(stdout);
    out << "end of sosreport to unlocked window: " << median(ends) << " s (median of " << Runs
        << ", max " << *std::max_element(ends.begin(), ends.end()) << " s; goal <= 1.1 s)\n"
        << "longest poll tick:                   " << app.longestTickMs << " ms\n"
        << "longest handling of a helper answer: " << app.longestReplyMs
        << " ms, the end's included (goal <= 16 ms)\n"
        << "CPU per poll interval:               " << cpu.first << " ms (mean of " << HeldPolls
        << " polls), without polling " << cpu.second << " ms\n"
        << "CPU per poll:                        " << pollMs
        << " ms (the difference; goal <= 5 ms)\n"
        << "anchor, one synchronous ps:          " << psMs << " ms CPU (median of " << Runs << ")\n"
        << "ratio CPU per poll / ps:             " << pollMs / psMs << '\n';
    return 0;
}
