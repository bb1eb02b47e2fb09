// SPDX-License-Identifier: GPL-2.0-or-later
// Switches configuration files into debug mode and back through a private copy that the
// privileged service moves over the original, and runs a module's commands as administrator.
#include "backstage.h"

#include "dbusservice.h"
#include "lineeditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

QString Backstage::lineText(const QByteArray &line)
{
    return LineText(LineRef{line.constData(), line.size()}).text();
}

QList<QByteArray> Backstage::splitLines(const QByteArray &content)
{
    QList<QByteArray> lines;
    forEachLine(content,
                [&lines](LineRef line) { lines.append(QByteArray(line.data, line.size)); });
    return lines;
}

bool Backstage::editLines(QList<QByteArray> &lines, const FileChange &change, bool rollback)
{
    LineEditing::ListSink sink;
    LineEditor<LineEditing::ListSink> editor(change, rollback, sink);
    for (const QByteArray &line : qAsConst(lines))
        editor.take(LineRef{line.constData(), line.size()});
    lines.swap(sink.lines);
    return editor.changed();
}

// The file is read here rather than copied, so that only a regular file of bounded size is ever
// read, and the private copy is written only when there is something to change.
int Backstage::prepareFileChange(const FileChange &change, bool rollback, QString *copyPath)
{
    if (!QFile::exists(change.filename)) {
        fileChangeErrorList.append(tr("File %1 not found").arg(change.filename));
        return ConfigMissing;
    }
    const QString temporary =
        QDir::homePath() + QDir::separator() + QFileInfo(change.filename).fileName() + ".tmp";
    QByteArray content;
    const RegularFileReader::Status status = RegularFileReader::read(change.filename, content);
    if (status != RegularFileReader::Read) {
        const QString refusal = refusalText(change.filename, status);
        fileChangeErrorList.append(refusal.isEmpty()
                                       ? tr("Failed to create temporary file : %1 ").arg(temporary)
                                       : refusal);
        return status == RegularFileReader::NotRegular ? NotRegularFile
               : status == RegularFileReader::TooLarge ? FileTooLarge
                                                       : CannotCopy;
    }
    LineEditing::ContentSink edited(content.size() + 256);
    LineEditor<LineEditing::ContentSink> editor(change, rollback, edited);
    forEachLine(content, [&editor](LineRef line) { editor.take(line); });
    content.clear();
    if (!editor.changed())
        return reportNothingChanged(change, rollback);

    const QFileInfo stale(temporary);
    if ((stale.exists() || stale.isSymLink()) && !QFile::remove(temporary)) {
        fileChangeErrorList.append(tr("Failed to delete temporary file : %1 ").arg(temporary));
        return CannotDeleteTemporary;
    }
    QFile copy(temporary);
    if (!writeContent(copy, edited.content)) {
        // Whatever part of the copy was written must not stay behind.
        QFile::remove(temporary);
        fileChangeErrorList.append(tr("Failed to write temporary file : %1 ").arg(temporary));
        return CannotWriteTemporary;
    }
    *copyPath = temporary;
    return Success;
}

int Backstage::applyFileChange(const FileChange &change, bool rollback)
{
    QString copy;
    const int prepared = prepareFileChange(change, rollback, &copy);
    if (prepared != Success)
        return prepared;
    routeServiceMessagesToWarnings();
    if (!dbusService->move(copy, change.filename)) {
        // A copy the helper did not take holds the file's content: it must not stay behind.
        QFile::remove(copy);
        fileChangeErrorList.append(
            tr("Failed to replace file %1 with temporary file %2 ").arg(change.filename, copy));
        return MoveFailed;
    }
    return Success;
}

int Backstage::reportNothingChanged(const FileChange &change, bool rollback)
{
    const bool anchored = !change.anchor.isEmpty();
    if (!rollback && !anchored) {
        fileChangeErrorList.append(
            tr("Failed to find text to be replaced : %1 ").arg(change.oldtext));
        return OldTextMissing;
    }
    if (!rollback) {
        fileChangeErrorList.append(tr("Failed to find anchor text : %1 ").arg(change.anchor));
        return AnchorMissing;
    }
    if (!anchored) {
        fileChangeErrorList.append(
            tr("Failed to find text to be replaced : %1 ").arg(change.newtext));
        return NothingToRestore;
    }
    fileChangeErrorList.append(tr("Failed to uncomment text : %1 ").arg(change.newtext));
    return NothingToUncomment;
}

// A copy that could not be written completely must never replace the configuration file. The
// copy may hold what only the user could read, so no one else may read it.
bool Backstage::writeContent(QFile &file, const QByteArray &content)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    const bool written = file.write(content) == content.size() && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

int Backstage::applyFileChanges(const QList<FileChange> &changes, bool rollback)
{
    fileChangeErrorList.clear();
    int failures = 0;
    for (const FileChange &change : changes) {
        if (applyFileChange(change, rollback) != Success)
            ++failures;
    }
    return failures;
}

bool Backstage::isLeftToUser(const QString &command)
{
    return command.contains(DebugModuleObject::RebootMarker) ||
           command.contains(DebugModuleObject::SessionMarker);
}

QStringList Backstage::commandWords(const QString &command)
{
    static const QRegularExpression separators(QStringLiteral("[\\ \\t]"));
    return command.split(separators, Qt::SkipEmptyParts);
}

int Backstage::executeCommands(const QStringList &commands)
{
    failedCommandList.clear();
    routeServiceMessagesToWarnings();
    for (const QString &command : commands) {
        if (isLeftToUser(command))
            continue;
        QStringList words = commandWords(command);
        // A line of nothing but blanks names no program: it cannot run, so it is reported.
        if (words.isEmpty() || dbusService->execSmthWithArgs(words.takeFirst(), words) != 0)
            failedCommandList.append(command);
    }
    return failedCommandList.size();
}
