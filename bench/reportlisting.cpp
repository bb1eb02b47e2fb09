// SPDX-License-Identifier: GPL-2.0-or-later
// Filling the reports table and painting it, from folders of 1,000, 10,000 and 100,000 report
// archives of three files each (archives with their checksums, volumes, protected files),
// against the floor of any listing with creation times: one pass over the folder's entries and
// one statx per file. A fill is timed from the refill until the table is complete and its
// viewport painted, as the user sees it; a first fill goes into a new window's empty table, a
// refill into the table the first fill left. Floor and fills alternate; medians with [min..max].
#include "mainwindow.h"
#include "mainwindowaccess.h"
#include "spread.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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

// Every fifth archive has three volumes, the rest are archives with two checksum files; every
// seventh archive is protected.
void fillFolder(const QString &folder, int archives)
{
    for (int group = 0; group < archives; ++group) {
        const QString base =
            folder + QStringLiteral("/sosreport-host%1-2024").arg(group, 6, 10, QLatin1Char('0'));
        const QString protectedSuffix = group % 7 == 0 ? QStringLiteral(".cpt") : QString();
        const QStringList names =
            group % 5 == 0 ? QStringList{QStringLiteral(".zip"), QStringLiteral(".z01"),
                                         QStringLiteral(".z02")}
                           : QStringList{QStringLiteral(".tar.xz"), QStringLiteral(".tar.xz.md5"),
                                         QStringLiteral(".tar.xz.sha256")};
        for (const QString &name : names) {
            // Checksums stay as sos wrote them.
            const bool checksum = name.endsWith(QLatin1String("md5")) || name.endsWith("sha256");
            QFile file(base + name + (checksum ? QString() : protectedSuffix));
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write %s", qPrintable(file.fileName()));
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

// Notes each paint of the table's viewport.
class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// Whether the window still runs sos to learn its options, which it does once and keeps: a fill
// timed beside it would share the processor with it.
bool isRunningSos(const MainWindow &window)
{
    const QList<QProcess *> processes = window.findChildren<QProcess *>();
    return std::any_of(processes.cbegin(), processes.cend(), [](const QProcess *process) {
        return process->state() != QProcess::NotRunning;
    });
}

// A shown window that has done its own start, reading nothing: no module folders, an empty
// report folder. The extended pane is built once the start-up work is done: waited for too, so
// that the first fill is not charged with it (for at most a few seconds, should the window
// build it later), and so are the runs of sos that learn its options.
MainWindow *startedWindow(const QString &emptyFolder)
{
    auto *window = new MainWindow;
    MainWindowAccess::reportDirs(*window) = QStringList{emptyFolder};
    MainWindowAccess::debugModuleDirs(*window).clear();
    window->show();
    while (!MainWindowAccess::isStarted(*window))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QElapsedTimer waited;
    waited.start();
    while (!window->findChild<QWidget *>(QStringLiteral("ExtSettWidget")) &&
           waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    while (isRunningSos(*window) && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    return window;
}

// One fill and its paint, from a window that has done the work an earlier fill left to the
// event loop (layout, painting), so that no fill is charged with another's. The fill is complete
// once the table holds every row and the window's start-up work is done; the first paint after
// that ends the time.
double timedFill(MainWindow *window, int rows)
{
    QCoreApplication::processEvents();
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    PaintCounter counter;
    table->viewport()->installEventFilter(&counter);
    QElapsedTimer timer;
    timer.start();
    QMetaObject::invokeMethod(window, "refillReportsTable");
    int paintsWhenComplete = -1;
    while (true) {
        if (paintsWhenComplete < 0 && table->rowCount() == rows &&
            MainWindowAccess::isFilled(*window)) {
            paintsWhenComplete = counter.paints;
            // A refill that changed no cell paints nothing of its own: the table is painted as
            // after any fill.
            table->viewport()->update();
        }
        if (paintsWhenComplete >= 0 && counter.paints > paintsWhenComplete)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double ms = milliseconds(timer);
    table->viewport()->removeEventFilter(&counter);
    return ms;
}

void measure(QTextStream &out, int archives, int rounds)
{
    QTemporaryDir folder;
    QTemporaryDir empty;
    fillFolder(folder.path(), archives);
    // Written back now, not while the fills are timed.
    ::sync();
    const QByteArray path = QFile::encodeName(folder.path());
    const int files = floorListing(path);

    QVector<double> floor, first, refill, firstRatio, refillRatio, refillToFirst;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        floorListing(path);
        floor.append(milliseconds(timer));

        MainWindow *window = startedWindow(empty.path());
        MainWindowAccess::reportDirs(*window) = QStringList{folder.path()};
        first.append(timedFill(window, archives));
        refill.append(timedFill(window, archives));
        delete window;
        firstRatio.append(first.constLast() / floor.constLast());
        refillRatio.append(refill.constLast() / floor.constLast());
        refillToFirst.append(refill.constLast() / first.constLast());
    }
    out << archives << " archives, " << files << " files (medians of " << rounds << " [min..max])\n"
        << "  floor (getdents + statx):    " << spread(floor) << " ms\n"
        << "  first fill and its paint:    " << spread(first) << " ms, ratio to floor "
        << spread(firstRatio) << " (goal <= 1.5)\n"
        << "  refill and its paint:        " << spread(refill) << " ms, ratio to floor "
        << spread(refillRatio) << ", ratio to first fill " << spread(refillToFirst)
        << " (goal <= 1)\n";
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
        const int archives = size.toInt();
        measure(out, archives, archives >= 100000 ? 5 : archives >= 10000 ? 9 : 15);
    }
    return 0;
}
