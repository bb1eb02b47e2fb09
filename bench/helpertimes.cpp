// SPDX-License-Identifier: GPL-2.0-or-later
// The time of the helper's file work against the program alone on the same 256 MiB file, both
// with their output written back (the helper syncs what it makes): protecting against
// `ccrypt -e` as a filter, splitting into 10 MiB volumes against `zip -s 10m`. Rounds alternate
// which of the two goes first; medians are printed with min and max. Runs on a private bus with
// the real helper:
//   scripts/with-private-bus.sh -- build/bench/bench_helpertimes
#include "dbusservice.h"
#include "privatehome.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <unistd.h>

namespace {

const int Rounds = 5;
const qint64 ArchiveBytes = 256LL << 20;
const QByteArray Key = "bench";

void fail(const QString &what)
{
    QTextStream(stderr) << "bench_helpertimes: " << what << '\n';
    std::exit(1);
}

// Content that neither compresses nor reads as holes.
void writeSource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write ") + path);
    QVector<quint32> block(1 << 18);
    for (qint64 written = 0; written < ArchiveBytes; written += block.size() * 4) {
        QRandomGenerator::global()->fillRange(block.data(), block.size());
        file.write(reinterpret_cast<const char *>(block.constData()), block.size() * 4);
    }
}

// A fresh copy of the source, written back before anything is timed.
QString copyOf(const QDir &dir, const QString &source, const QString &name)
{
    const QString path = dir.filePath(name);
    if (!QFile::copy(source, path))
        fail(QStringLiteral("cannot copy to ") + path);
    ::sync();
    return path;
}

// Runs a shell line and answers its milliseconds.
double timedShell(const QString &line)
{
    QElapsedTimer timer;
    timer.start();
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), line});
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
        fail(QStringLiteral("failed: ") + line);
    return timer.nsecsElapsed() / 1e6;
}

double timedCall(const std::function<bool()> &call, const QString &what)
{
    QElapsedTimer timer;
    timer.start();
    if (!call())
        fail(what);
    return timer.nsecsElapsed() / 1e6;
}

struct Figures
{
    QVector<double> anchor;
    QVector<double> helper;
};

QString spread(QVector<double> values, int decimals)
{
    std::sort(values.begin(), values.end());
    return QStringLiteral("%1 [%2..%3]")
        .arg(values.at(values.size() / 2), 0, 'f', decimals)
        .arg(values.first(), 0, 'f', decimals)
        .arg(values.last(), 0, 'f', decimals);
}

void print(const QString &what, const QString &anchorName, const Figures &figures)
{
    QVector<double> ratios;
    for (int i = 0; i < figures.helper.size(); ++i)
        ratios.append(figures.helper.at(i) / figures.anchor.at(i));
    QTextStream(stdout) << what << ": helper " << spread(figures.helper, 0) << " ms, " << anchorName
                        << ' ' << spread(figures.anchor, 0) << " ms, ratio " << spread(ratios, 2)
                        << " (medians of " << figures.helper.size()
                        << " [min..max]; goal <= 1.1)\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    useHome(home.path());
    QCoreApplication app(argc, argv);
    // A folder on the disk, not in memory: writing back is part of what is timed.
    QTemporaryDir work(QDir::current().filePath(QStringLiteral("helpertimes-XXXXXX")));
    QDir dir(work.path());
    const QString source = dir.filePath(QStringLiteral("source"));
    writeSource(source);
    KroAdmin::DbusService service;

    Figures protect, split;
    for (int round = 0; round < Rounds; ++round) {
        const bool anchorFirst = round % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == anchorFirst) {
                const QString a = copyOf(dir, source, QStringLiteral("sosreport-a.tar.xz"));
                protect.anchor.append(timedShell(
                    QStringLiteral("ccrypt -e -K %1 < %2 > %2.cpt && sync %2.cpt").arg(Key, a)));
                const QString b = copyOf(dir, source, QStringLiteral("sosreport-b.tar.xz"));
                split.anchor.append(
                    timedShell(QStringLiteral("cd %1 && zip -q -j -n .xz -s 10m b.zip %2 && sync "
                                              "b.z*")
                                   .arg(dir.path(), b)));
            } else {
                const QString c = copyOf(dir, source, QStringLiteral("sosreport-c.tar.xz"));
                protect.helper.append(timedCall([&] { return service.protectReport(c, Key); },
                                                QStringLiteral("the helper did not protect")));
                const QString d = copyOf(dir, source, QStringLiteral("sosreport-d.tar.xz"));
                split.helper.append(timedCall([&] { return service.splitReport(d, 10); },
                                              QStringLiteral("the helper did not split")));
            }
        }
        // Only the source stays for the next round.
        for (const QString &name : dir.entryList(QDir::Files))
            if (name != QLatin1String("source"))
                dir.remove(name);
    }
    print(QStringLiteral("protecting 256 MiB"), QStringLiteral("ccrypt -e"), protect);
    print(QStringLiteral("splitting 256 MiB into 10 MiB volumes"), QStringLiteral("zip -s"), split);
    return 0;
}
