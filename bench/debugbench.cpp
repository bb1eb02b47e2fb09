// SPDX-License-Identifier: GPL-2.0-or-later
// Measures reading a module list (the state of every module's changes, as the window fills its
// list) against a raw read of the bytes that its module files and the files named by its changes
// hold, at several numbers of modules and lines to show how it grows; and one change on a large
// file through the helper against the same edit made by sed -i. Each figure is a ratio against
// its anchor measured in the same run. Applying moves the edited copy through the privileged
// helper, so run it on a bus that has one.
#include "backstage.h"
#include "dbusservice.h"
#include "debugmoduleloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int Repeats = 5;

void writeConfig(const QString &path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray content;
    for (int i = 0; i < lines; ++i)
        content += i == lines / 2 ? QByteArray("    level = 0\n")
                                  : "    key_" + QByteArray::number(i) + " = some value\n";
    file.write(content);
}

// Best of a few runs, in milliseconds; prepare runs untimed before each.
template <typename Work, typename Prepare = void (*)()>
double bestOf(
    Work work, Prepare prepare = [] {})
{
    double best = 1e12;
    for (int i = 0; i < Repeats; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The cheapest way to have a file's bytes in memory: one open, a read of its size, one close.
qint64 rawRead(const QByteArray &path, QByteArray &buffer)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0)
        qFatal("cannot read %s", path.constData());
    buffer.resize(int(info.st_size));
    const qint64 got = ::read(fd, buffer.data(), size_t(info.st_size));
    ::close(fd);
    return got;
}

struct ModuleFigures
{
    double readMs;
    double oneByOneMs;
    double rawMs;
    qint64 bytes;
};

// Modules of five changes each, on five configuration files that all the modules share.
ModuleFigures readModules(const QString &dir, int modules, int configLines)
{
    QDir(dir).mkpath(QStringLiteral("modules"));
    QList<QByteArray> rawPaths;
    for (int m = 0; m < modules; ++m) {
        QString changes;
        for (int c = 0; c < 5; ++c) {
            changes += QStringLiteral("%1{\"filename\": \"%2/conf%3\", \"oldtext\": \"level = 0\","
                                      " \"newtext\": \"level = 9\"}")
                           .arg(c ? "," : "", dir)
                           .arg(c);
            rawPaths.append(QFile::encodeName(QStringLiteral("%1/conf%2").arg(dir).arg(c)));
        }
        const QString path = QStringLiteral("%1/modules/m%2.json").arg(dir).arg(m);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QStringLiteral("{\"modulename\": \"m%1\", \"filechanges\": [%2]}")
                       .arg(m)
                       .arg(changes)
                       .toUtf8());
        rawPaths.append(QFile::encodeName(path));
    }
    for (int c = 0; c < 5; ++c)
        writeConfig(QStringLiteral("%1/conf%2").arg(dir).arg(c), configLines);

    const QStringList dirs{dir + QStringLiteral("/modules")};
    const std::atomic_bool stop{false};
    const double readMs = bestOf([&] {
        const DebugModuleEntries entries = DebugModuleLoader::read(
            dirs, [](const QString &) { return true; }, stop);
        if (entries.size() != modules || entries.first().module->state() != ModuleState::NotActive)
            qFatal("the modules were not read");
        for (const DebugModuleEntry &entry : entries)
            delete entry.module;
    });
    // Each module by itself, sharing reads only between its own changes.
    Backstage backstage;
    const QStringList files = backstage.debugModuleFiles(dirs);
    const double oneByOneMs = bestOf([&] {
        for (const QString &file : files)
            delete backstage.readDebugModule(file);
    });
    qint64 bytes = 0;
    QByteArray buffer;
    const double rawMs = bestOf([&] {
        bytes = 0;
        for (const QByteArray &path : qAsConst(rawPaths))
            bytes += rawRead(path, buffer);
    });
    return {readMs, oneByOneMs, rawMs, bytes};
}

void printModules(QTextStream &out, int modules, int lines)
{
    QTemporaryDir dir;
    const ModuleFigures figures = readModules(dir.path(), modules, lines);
    out << "read " << modules << " modules x 5 changes, " << lines
        << "-line files: " << figures.readMs << " ms; raw read of the same " << figures.bytes / 1024
        << " KiB: " << figures.rawMs << " ms; ratio " << figures.readMs / figures.rawMs
        << " (each module by itself: " << figures.oneByOneMs / figures.rawMs << ")\n";
    out.flush();
}

double applyChange(Backstage &backstage, const QString &path, int lines)
{
    writeConfig(path, lines);
    const FileChange change{path, QStringLiteral("level = 0"), QStringLiteral("level = 9"), {}};
    bool on = false;
    return bestOf([&] {
        on = !on;
        if (backstage.applyFileChange(change, !on) != 0)
            qFatal("the change failed: is the helper on the bus?");
    });
}

double sedChange(const QString &path, int lines)
{
    return bestOf(
        [&] {
            QProcess::execute(QStringLiteral("sed"),
                              {QStringLiteral("-i"),
                               QStringLiteral("s/^\\(\\s*\\)\\(level = 0.*\\)$/\\1level = "
                                              "9\\n##commented \\1\\2/"),
                               path});
        },
        [&] { writeConfig(path, lines); });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    KroAdmin::DbusService service;
    Backstage backstage;
    backstage.setDbusService(&service);
    QTextStream out(stdout);

    for (int modules : {100, 200, 400})
        printModules(out, modules, 10000);
    for (int lines : {5000, 20000})
        printModules(out, 200, lines);
    for (int lines : {50000, 100000, 200000}) {
        const QString path = dir.filePath(QStringLiteral("big.conf"));
        const double applyMs = applyChange(backstage, path, lines);
        const double sedMs = sedChange(path, lines);
        out << "apply one change, " << lines << " lines: " << applyMs << " ms; sed -i: " << sedMs
            << " ms; ratio " << applyMs / sedMs << "\n";
        out.flush();
    }
    return 0;
}
