// SPDX-License-Identifier: GPL-2.0-or-later
// Measures how reading debug modules and applying a file change grow with their input, and
// compares one change on a large file with the same edit made by sed -i. Applying moves the
// edited copy through the privileged helper, so run it on a bus that has one.
#include "backstage.h"
#include "dbusservice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

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

double readModules(Backstage &backstage, const QString &dir, int modules, int configLines)
{
    QDir(dir).mkpath(QStringLiteral("modules"));
    QStringList paths;
    for (int c = 0; c < 5; ++c)
        writeConfig(QStringLiteral("%1/conf%2").arg(dir).arg(c), configLines);
    for (int m = 0; m < modules; ++m) {
        QString changes;
        for (int c = 0; c < 5; ++c)
            changes += QStringLiteral("%1{\"filename\": \"%2/conf%3\", \"oldtext\": \"level = 0\","
                                      " \"newtext\": \"level = 9\"}")
                           .arg(c ? "," : "", dir)
                           .arg(c);
        const QString path = QStringLiteral("%1/modules/m%2.json").arg(dir).arg(m);
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QStringLiteral("{\"modulename\": \"m%1\", \"filechanges\": [%2]}")
                       .arg(m)
                       .arg(changes)
                       .toUtf8());
        paths.append(path);
    }
    return bestOf([&] {
        for (const QString &path : qAsConst(paths))
            delete backstage.readDebugModule(path);
    });
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

    for (int modules : {100, 200, 400}) {
        QTemporaryDir moduleDir;
        out << "read " << modules << " modules x 5 changes, 10000-line files: "
            << readModules(backstage, moduleDir.path(), modules, 10000) << " ms\n";
    }
    for (int lines : {5000, 20000}) {
        QTemporaryDir moduleDir;
        out << "read 200 modules x 5 changes, " << lines
            << "-line files: " << readModules(backstage, moduleDir.path(), 200, lines) << " ms\n";
    }
    for (int lines : {50000, 100000, 200000}) {
        const QString path = dir.filePath(QStringLiteral("big.conf"));
        out << "apply one change, " << lines << " lines: " << applyChange(backstage, path, lines)
            << " ms; sed -i: " << sedChange(path, lines) << " ms\n";
    }
    return 0;
}
