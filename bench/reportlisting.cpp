// SPDX-License-Identifier: GPL-2.0-or-later
// Measures how long the reports table takes to list a folder of 10,000 report files (archives,
// volumes, protected files, checksums) against a bare directory listing of the same folder.
// Run it by hand; it prints the medians and their ratio.
#include "backstage.h"
#include "constants.h"
#include "helperprotocol.h"
#include "mainwindow.h"
#include "mainwindowaccess.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

namespace {

const int FileCount = 10000;
const int Rounds = 15;

// Every fifth group is a three-volume archive, the rest are archives with two checksum files;
// every seventh is protected.
void fillFolder(const QString &folder)
{
    int made = 0;
    for (int group = 0; made < FileCount; ++group) {
        const QString base =
            folder + QStringLiteral("/sosreport-host%1-2024").arg(group, 5, 10, QLatin1Char('0'));
        const QString protectedSuffix =
            group % 7 == 0 ? HelperProtocol::ProtectedSuffix : QString();
        QStringList names;
        if (group % 5 == 0)
            names = QStringList{base + QStringLiteral(".zip"), base + QStringLiteral(".z01"),
                                base + QStringLiteral(".z02")};
        else
            names =
                QStringList{base + QStringLiteral(".tar.xz"), base + QStringLiteral(".tar.xz.md5"),
                            base + QStringLiteral(".tar.xz.sha256")};
        for (const QString &name : names) {
            QFile file(name + protectedSuffix);
            file.open(QIODevice::WriteOnly);
            ++made;
        }
    }
}

double medianMs(const std::function<void()> &work)
{
    QVector<double> times;
    for (int round = 0; round < Rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.append(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(Rounds / 2);
}

// The window reads its settings when it is built: a private home keeps the user's out.
void useHome(const QString &home)
{
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    useHome(home.path());
    QApplication app(argc, argv);
    // No debug modules: the window would stop to warn about a missing module folder.
    QSettings().setValue(Kro::DebugModuleDirsKey, QStringList{home.path()});
    QTemporaryDir folder;
    fillFolder(folder.path());

    MainWindow window;
    window.show();
    // Only this folder: the /tmp that the window always adds would blur the timings.
    MainWindowAccess::reportDirs(window) = QStringList{folder.path()};

    int listed = 0;
    const double bare = medianMs([&] {
        listed = QDir(folder.path())
                     .entryList(QStringList{QStringLiteral("sosreport*")}, QDir::Files,
                                QDir::Name | QDir::IgnoreCase)
                     .size();
    });
    Backstage backstage;
    QMultiMap<QString, QString> volumes;
    const double scan =
        medianMs([&] { backstage.reportFiles(QStringList{folder.path()}, volumes); });
    const double table =
        medianMs([&] { QMetaObject::invokeMethod(&window, "refillReportsTable"); });

    QTextStream out(stdout);
    out << "files: " << listed << ", table rows: "
        << window.findChild<QTableWidget *>(QStringLiteral("tableWidget"))->rowCount() << '\n'
        << "bare QDir listing: " << bare << " ms (median of " << Rounds << ")\n"
        << "scan only:         " << scan << " ms\n"
        << "reports table:     " << table << " ms\n"
        << "ratio:             " << table / bare << '\n';
    return 0;
}
