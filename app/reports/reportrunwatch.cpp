// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportrunwatch.h"

#include "constants.h"
#include "helperprotocol.h"

using namespace HelperProtocol;

namespace {

// What a failure box shows of the run's output.
const int TailLinesShown = 10;

} // namespace

bool ReportRunWatch::isRunning() const
{
    return state.value(RunningKey).toBool();
}

ReportRunWatch::Outcome ReportRunWatch::outcome() const
{
    if (state.isEmpty())
        return Unknown;
    if (isRunning())
        return Running;
    if (state.value(ExitStatusKey, -1).toInt() == 0 && !archive().isEmpty())
        return Succeeded;
    return stopRequested ? Stopped : Failed;
}

qint64 ReportRunWatch::processId() const
{
    return state.value(ProcessIdKey, -1).toLongLong();
}

QString ReportRunWatch::archive() const
{
    return state.value(ArchiveKey).toString();
}

bool ReportRunWatch::isStalled(int limitSeconds) const
{
    return !state.contains(IdleSecondsKey) || state.value(IdleSecondsKey).toInt() >= limitSeconds;
}

// sos tells when a plugin starts, not when it ends: a plugin counts as done once the next one
// starts, and the last once sos has saved the archive, so that 100 % means the report is there.
int ReportRunWatch::percent() const
{
    const int total = state.value(PluginsTotalKey).toInt();
    if (total <= 0)
        return -1;
    if (!archive().isEmpty())
        return 100;
    return qMax(0, state.value(PluginsStartedKey).toInt() - 1) * 100 / total;
}

QString ReportRunWatch::progressText() const
{
    const int seconds = state.value(SecondsKey).toInt();
    const QString elapsed =
        tr("Elapsed time: %1")
            .arg(QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0')));
    if (percent() < 0)
        return elapsed;
    return tr("Collecting: %1 of %2 plugins, %3")
               .arg(state.value(PluginsStartedKey).toInt())
               .arg(state.value(PluginsTotalKey).toInt())
               .arg(state.value(PluginKey).toString()) +
           '\n' + elapsed;
}

QString ReportRunWatch::failureText() const
{
    QStringList lines = QString::fromLocal8Bit(state.value(OutputTailKey).toByteArray())
                            .trimmed()
                            .split(QLatin1Char('\n'));
    if (lines.size() > TailLinesShown)
        lines = lines.mid(lines.size() - TailLinesShown);
    return tr("The report could not be collected (exit status %1).\n")
               .arg(state.value(ExitStatusKey, -1).toInt()) +
           lines.join(QLatin1Char('\n'));
}

QString ReportRunWatch::savedText() const
{
    return tr("Report saved: %1 (%2, md5 %3)")
        .arg(archive(), state.value(ArchiveSizeKey).toString(),
             state.value(ArchiveChecksumKey).toString());
}

QStringList ReportRunWatch::psArguments(qint64 pid)
{
    return {QStringLiteral("-o"), QStringLiteral("stat=,comm="), QStringLiteral("-p"),
            QString::number(pid)};
}

bool ReportRunWatch::psShowsRunning(const QByteArray &output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString stat = line.simplified().section(QLatin1Char(' '), 0, 0);
        if (!stat.isEmpty() && !stat.startsWith(QLatin1Char('Z')) &&
            line.contains(Kro::SosreportProgram))
            return true;
    }
    return false;
}
