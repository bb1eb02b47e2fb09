// SPDX-License-Identifier: GPL-2.0-or-later
// Upload throughput to the loopback HTTPS (nginx, WebDAV PUT) and SFTP (sshd) servers the upload
// tests use, through the real window (Upload action, dialog answered at once, until the last byte),
// against `curl -T` of the same file to the same server in the same run: the ratio of the medians
// of five runs each, goal at least 0.9x. During the window's uploads a probe timer ticks every
// 5 ms in the window's thread and the longest gap between two ticks is kept: goal at most 16 ms,
// beside the longest gap of the same window idle for as long (what the machine's load alone
// gives).
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
    double idleGapMs = 0;
};

// From the dialog's Upload button to the last byte out, and the longest gap of the window's event
// loop meanwhile (the progress dialog's first show included, the end box not).
WindowRun windowRun(MainWindow &window, const UploadServers &servers, StallProbe &probe)
{
    WindowRun run;
    bool ended = false;
    QElapsedTimer timer;
    QObject context;
    auto *upload = window.findChild<Upload *>();
    QObject::connect(upload, &Upload::started, &context, [&] {
        probe.reset();
        timer.start();
    });
    QObject::connect(upload->findChild<UploadJob *>(), &UploadJob::progressed, &context,
                     [&](qint64 sent, qint64 total) {
                         run.longestGapMs = probe.longest();
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
    double longestGapMs = 0;
    double idleGapMs = 0;
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
        QVector<double> ours;
        QVector<double> anchor;
        for (int i = 0; i < Runs; ++i) {
            QFile::remove(servers.stored(ReportName));
            anchor.append(curlSeconds(servers, server, report));
            QFile::remove(servers.stored(ReportName));
            const WindowRun run = windowRun(window, servers, probe);
            ours.append(run.seconds);
            longestGapMs = qMax(longestGapMs, run.longestGapMs);
            // The anchor of the gap: the same window, idle for as long.
            probe.reset();
            waitFor([] { return false; }, int(run.seconds * 1000));
            idleGapMs = qMax(idleGapMs, probe.longest());
        }
        const double mib = ReportMiB;
        QTextStream(stdout) << (server == UploadServers::Https ? "https PUT" : "sftp") << ", "
                            << ReportMiB << " MiB: window " << mib / median(ours)
                            << " MiB/s, curl -T " << mib / median(anchor)
                            << " MiB/s: " << median(anchor) / median(ours)
                            << "x (goal >= " << ThroughputGoal << "x)\n";
    }
    QFile::remove(servers.stored(ReportName));
    QTextStream(stdout) << "longest event-loop gap of the window during the uploads: "
                        << longestGapMs << " ms (goal <= " << GapGoalMs
                        << " ms), idle for as long: " << idleGapMs << " ms\n";
    started.reset();
    return 0;
}
