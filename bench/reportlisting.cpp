// SPDX-License-Identifier: GPL-2.0-or-later
// Filling the reports table from folders of 1,000, 10,000 and 100,000 report files (archives,
// volumes, protected files, checksums), against the floor of any listing with creation times:
// one pass over the folder's entries and one statx per file. A first fill goes into a new
// window's empty table, a refill into the table the first fill left.
#include "mainwindow.h"
#include "mainwindowaccess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every fifth group is a three-volume archive, the rest are archives with two checksum files;
// every seventh is protected.
void fillFolder(const QString &folder, int count)
{
    int made = 0;
    for (int group = 0; made < count; ++group) {
        const QString base =
            folder + QStringLiteral("/sosreport-host%1-2024").arg(group, 6, 10, QLatin1Char('0'));
        const QString protectedSuffix = group % 7 == 0 ? QStringLiteral(".cpt") : QString();
        const QStringList names =
            group % 5 == 0 ? QStringList{QStringLiteral(".zip"), QStringLiteral(".z01"),
                                         QStringLiteral(".z02")}
                           : QStringList{QStringLiteral(".tar.xz"), QStringLiteral(".tar.xz.md5"),
                                         QStringLiteral(".tar.xz.sha256")};
        for (const QString &name : names) {
            QFile file(base + name + protectedSuffix);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(file.fileName()));
            ++made;
        }
    }
}

// One pass over the entries and one statx per report file: what any listing with creation times
// costs at least.
int floorListing(const QByteArray &folder)
{
    DIR *dir = opendir(folder.constData());
    int files = 0;
    while (dirent *entry = readdir(dir)) {
        if (strncasecmp(entry->d_name, "sosreport", 9) != 0)
            continue;
        struct statx info;
        if (statx(dirfd(dir), entry->d_name, 0, STATX_BTIME | STATX_MTIME, &info) == 0)
            ++files;
    }
    closedir(dir);
    return files;
}

double milliseconds(QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// A shown window that has done its own start, reading nothing: no module folders, an empty
// report folder.
MainWindow *startedWindow(const QString &emptyFolder)
{
    auto *window = new MainWindow;
    MainWindowAccess::reportDirs(*window) = QStringList{emptyFolder};
    MainWindowAccess::debugModuleDirs(*window).clear();
    window->show();
    while (!MainWindowAccess::isStarted(*window))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return window;
}

// One fill, from a window that has done the work an earlier fill left to the event loop
// (layout, painting), so that no fill is charged with another's.
double timedFill(MainWindow *window)
{
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    QMetaObject::invokeMethod(window, "refillReportsTable");
    return milliseconds(timer);
}

void measure(QTextStream &out, int count, int rounds)
{
    QTemporaryDir folder;
    QTemporaryDir empty;
    fillFolder(folder.path(), count);
    // Written back now, not while the fills are timed.
    ::sync();
    const QByteArray path = QFile::encodeName(folder.path());
    floorListing(path);

    QVector<double> floor, first, refill;
    int rows = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        floorListing(path);
        floor.append(milliseconds(timer));

        MainWindow *window = startedWindow(empty.path());
        MainWindowAccess::reportDirs(*window) = QStringList{folder.path()};
        first.append(timedFill(window));
        refill.append(timedFill(window));
        rows = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"))->rowCount();
        delete window;
    }
    out << count << " files, " << rows << " rows (medians of " << rounds << ")\n"
        << "  floor (getdents + statx): " << median(floor) << " ms\n"
        << "  first fill: " << median(first) << " ms, ratio to floor "
        << median(first) / median(floor) << " (goal <= 2)\n"
        << "  refill:     " << median(refill) << " ms, ratio to floor "
        << median(refill) / median(floor) << ", ratio to first fill "
        << median(refill) / median(first) << " (goal <= 1)\n";
    out.flush();
}

// The window reads its settings when it is built: a private home keeps the user's out.
void useHome(const QString &home)
{
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    useHome(home.path());
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList sizes = app.arguments().mid(1);
    for (const QString &size : sizes.isEmpty() ? QStringList{"1000", "10000", "100000"} : sizes) {
        const int count = size.toInt();
        measure(out, count, count >= 100000 ? 3 : count >= 10000 ? 7 : 15);
    }
    return 0;
}
