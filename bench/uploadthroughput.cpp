// SPDX-License-Identifier: GPL-2.0-or-later
// Upload throughput to the loopback HTTPS (nginx, WebDAV PUT) and SFTP (sshd) servers the upload
// tests use, through the real window (Upload action, dialog answered at once, until the last byte),
// against `curl -T` of the same file to the same server in the same run: the ratio of the medians
// of five runs each, goal at least 0.9x. During the window's uploads, from the first byte to the
// end box, a probe timer ticks every 5 ms in the window's thread and the longest gap between two
// ticks is kept: goal at most 16 ms, median [min..max] over the runs, beside the longest gap of
// the same window idle for as long after each run (what the machine's load alone gives). Of
// each gap, the part the window's thread spent running (from /proc/thread-self/schedstat) is
// what the window did; the rest it waited for a processor.
// Needs root (the servers' user, sshd); scripts/run-benchmarks.sh runs it on a private bus:
//   scripts/with-private-bus.sh -- build/bench/bench_upload
#include "constants.h"
#include "eventwait.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "privatehome.h"
#include "stallprobe.h"
#include "upload.h"
#include "uploaddialog.h"
#include "uploadjob.h"
#include "uploadservers.h"
#include "uploadsettings.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {

const int ReportMiB = 512;
const int Runs = 5;
const int WaitLimitMs = 300000;
const double ThroughputGoal = 0.9;
const double GapGoalMs = 16;
const QString ReportName = QStringLiteral("sosreport-bench-upload.tar.xz");

void fail(const QString &what)
{
    QTextStream(stderr) << "bench_upload: " << what << '\n';
    std::exit(1);
}

// Random in 1 MiB blocks, each block different, so that nothing on the way compresses it.
void makeReport(const QString &path)
{
    QFile file(path);
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()),
                                          block.size() / 4);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write ") + path);
    for (int i = 0; i < ReportMiB; ++i) {
        block.replace(0, sizeof i, reinterpret_cast<const char *>(&i), sizeof i);
        if (file.write(block) != block.size())
            fail(QStringLiteral("cannot write ") + path);
    }
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

QString spread(const QVector<double> &values)
{
    return QStringLiteral("%1 [%2..%3]")
        .arg(median(values), 0, 'f', 1)
        .arg(*std::min_element(values.begin(), values.end()), 0, 'f', 1)
        .arg(*std::max_element(values.begin(), values.end()), 0, 'f', 1);
}

// Beside the stall probe: the longest time the window's thread ran between two of its own
// ticks, 5 ms apart, since the last reset.
class BusyProbe : public QObject
{
public:
    BusyProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 now = ranNs();
            longestMs = qMax(longestMs, (now - last) / 1e6);
            last = now;
        });
        timer.start(5);
        reset();
    }
    void reset()
    {
        longestMs = 0;
        last = ranNs();
    }
    double longest() const { return qMax(longestMs, (ranNs() - last) / 1e6); }

private:
    static qint64 ranNs()
    {
        QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
        return stat.open(QIODevice::ReadOnly) ? stat.readAll().split(' ').value(0).toLongLong() : 0;
    }

    QTimer timer;
    qint64 last = 0;
    double longestMs = 0;
};

double curlSeconds(const UploadServers &servers, UploadServers::Server server,
                   const QString &report)
{
    QStringList arguments{QStringLiteral("-sS"),
                          QStringLiteral("--fail"),
                          QStringLiteral("-T"),
                          report,
                          QStringLiteral("-u"),
                          servers.user() + ':' + servers.password(),
                          servers.folderUrl(server) + ReportName};
    if (server == UploadServers::Https)
        arguments << QStringLiteral("--cacert") << servers.caFile();
    QElapsedTimer timer;
    timer.start();
    if (QProcess::execute(QStringLiteral("curl"), arguments) != 0)
        fail(QStringLiteral("curl -T failed"));
    return timer.nsecsElapsed() / 1e9;
}

struct WindowRun
{
    double seconds = 0;
    double longestGapMs = 0;
    double longestBusyMs = 0;
};

// From the dialog's Upload button to the last byte out, and the longest gap of the window's event
// loop from there to the end box (the progress dialog's show and the box's included).
WindowRun windowRun(MainWindow &window, const UploadServers &servers, StallProbe &probe,
                    BusyProbe &busy)
{
    WindowRun run;
    bool ended = false;
    QElapsedTimer timer;
    QObject context;
    auto *upload = window.findChild<Upload *>();
    QObject::connect(upload, &Upload::started, &context, [&] {
        probe.reset();
        busy.reset();
        timer.start();
    });
    QObject::connect(upload->findChild<UploadJob *>(), &UploadJob::progressed, &context,
                     [&](qint64 sent, qint64 total) {
                         if (sent == total)
                             run.seconds = timer.nsecsElapsed() / 1e9;
                     });
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *dialog = qobject_cast<UploadDialog *>(modal)) {
            dialog->findChild<QLineEdit *>(QStringLiteral("passwordLE"))
                ->setText(servers.password());
            dialog->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (box->windowTitle() != QLatin1String("Report Uploaded"))
                fail(QStringLiteral("the upload failed: ") + box->text());
            run.longestGapMs = probe.longest();
            run.longestBusyMs = busy.longest();
            box->done(QMessageBox::Ok);
            ended = true;
        }
    });
    answerer.start(5);
    window.findChild<QAction *>(QStringLiteral("uploadAction"))->trigger();
    if (!waitFor([&ended] { return ended; }, WaitLimitMs))
        fail(QStringLiteral("the window's upload did not end"));
    return run;
}

void useServer(const UploadServers &servers, UploadServers::Server server)
{
    QSettings settings;
    settings.setValue(UploadSettings::ServerKey, servers.folderUrl(server));
    settings.setValue(UploadSettings::UserKey, servers.user());
    settings.setValue(UploadSettings::CaFileKey, servers.caFile());
}

} // namespace

int main(int argc, char *argv[])
{
    // Static, as the servers below: gone also when fail() exits.
    static QTemporaryDir home;
    useHome(home.path());
    QApplication app(argc, argv);
    if (::geteuid() != 0) {
        QTextStream(stdout) << "skipped: only root can make the servers' user and start sshd\n";
        return 0;
    }
    static std::unique_ptr<UploadServers> started;
    started = std::make_unique<UploadServers>();
    UploadServers &servers = *started;
    const QString reports = home.filePath(QStringLiteral("reports"));
    QDir().mkpath(reports);
    // No debug modules: the window has nothing to say about them.
    QDir().mkpath(home.filePath(QStringLiteral("modules")));
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{home.filePath("modules")});
    const QString report = reports + '/' + ReportName;
    makeReport(report);
    StallProbe probe;
    BusyProbe busy;
    QVector<double> gaps;
    QVector<double> busyParts;
    QVector<double> idleGaps;
    for (UploadServers::Server server : {UploadServers::Https, UploadServers::Sftp}) {
        const QString why = servers.start(server);
        if (!why.isEmpty())
            fail(why);
        if (server == UploadServers::Sftp &&
            !servers.trustSftpKey(home.filePath(QStringLiteral(".ssh/known_hosts"))))
            fail(QStringLiteral("cannot trust the SFTP server's key"));
        useServer(servers, server);
        MainWindow window;
        window.show();
        MainWindowAccess::useReportDirs(window, {reports});
        // The window's own start-up work is not the upload's.
        if (!waitFor([&window] { return MainWindowAccess::isFilled(window); }, WaitLimitMs))
            fail(QStringLiteral("the window did not start"));
        QVector<double> ours;
        QVector<double> anchor;
        for (int i = 0; i < Runs; ++i) {
            QFile::remove(servers.stored(ReportName));
            anchor.append(curlSeconds(servers, server, report));
            QFile::remove(servers.stored(ReportName));
            const WindowRun run = windowRun(window, servers, probe, busy);
            ours.append(run.seconds);
            gaps.append(run.longestGapMs);
            busyParts.append(run.longestBusyMs);
            // The anchor of the gap: the same window, idle for as long.
            probe.reset();
            waitFor([] { return false; }, int(run.seconds * 1000));
            idleGaps.append(probe.longest());
        }
        const double mib = ReportMiB;
        QTextStream(stdout) << (server == UploadServers::Https ? "https PUT" : "sftp") << ", "
                            << ReportMiB << " MiB: window " << mib / median(ours)
                            << " MiB/s, curl -T " << mib / median(anchor)
                            << " MiB/s: " << median(anchor) / median(ours)
                            << "x (goal >= " << ThroughputGoal << "x)\n";
    }
    QFile::remove(servers.stored(ReportName));
    QTextStream(stdout) << "longest event-loop gap of the window during an upload, median "
                           "[min..max] over "
                        << gaps.size() << " uploads: " << spread(gaps)
                        << " ms (goal <= " << GapGoalMs
                        << " ms); idle for as long: " << spread(idleGaps)
                        << " ms; the window's thread running for at most " << spread(busyParts)
                        << " ms of it\n";
    started.reset();
    return 0;
}
