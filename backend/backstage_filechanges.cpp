// SPDX-License-Identifier: GPL-2.0-or-later
// Switches configuration files into debug mode and back through a private copy that the
// privileged service moves over the original, and runs a module's commands as administrator.
//
// Lines are compared with their surrounding white space removed, but every line the change does
// not edit is written back byte for byte. The marker goes in front of the whole line, before any
// indentation: the line stays a comment for parsers that only know comments at the start of a
// line, and taking the marker off gives back the original line exactly.
#include "backstage.h"

#include "dbusservice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QByteArray Marker = QByteArrayLiteral("##commented ");
const QString MarkerText = QString::fromLatin1(Marker);

// One line of the file: its bytes as read and the trimmed text the tests look at.
struct Line
{
    explicit Line(const QByteArray &bytes) : raw(bytes), text(Backstage::lineText(bytes)) {}
    QByteArray raw;
    QString text;
};

QByteArray indentation(const QByteArray &raw)
{
    int length = 0;
    while (length < raw.size() && (raw.at(length) == ' ' || raw.at(length) == '\t'))
        ++length;
    return raw.left(length);
}

void addMarker(Line &line)
{
    line = Line(Marker + line.raw);
}

// The marker stands right after the line's leading white space (wherever an earlier edit put
// it), so its first occurrence is the one to take off.
void removeMarker(Line &line)
{
    QByteArray raw = line.raw;
    raw.remove(raw.indexOf(Marker), Marker.size());
    line = Line(raw);
}

bool isRestorable(const Line &line, const QString &put)
{
    return line.text.startsWith(MarkerText) && line.text.contains(put);
}

bool switchOnPlain(QList<Line> &lines, const QString &search, const QByteArray &put)
{
    bool changed = false;
    QList<Line> output;
    output.reserve(lines.size() * 2);
    for (Line &line : lines) {
        if (line.text.startsWith(search)) {
            output.append(Line(indentation(line.raw) + put));
            addMarker(line);
            changed = true;
        }
        output.append(line);
    }
    lines.swap(output);
    return changed;
}

bool switchOnAnchored(QList<Line> &lines, const QString &search, const QByteArray &put,
                      const QString &anchor)
{
    bool changed = false;
    QList<Line> output;
    output.reserve(lines.size() * 2);
    for (Line &line : lines) {
        if (changed && line.text.startsWith(search))
            addMarker(line);
        output.append(line);
        if (line.text.startsWith(anchor)) {
            output.append(Line(put));
            changed = true;
        }
    }
    lines.swap(output);
    return changed;
}

bool rollbackPlain(QList<Line> &lines, const QString &search, const QString &put)
{
    bool changed = false;
    bool afterPutLine = false;
    QList<Line> output;
    output.reserve(lines.size());
    for (Line &line : lines) {
        if (line.text.startsWith(search)) {
            afterPutLine = true;
            continue;
        }
        if (afterPutLine) {
            if (isRestorable(line, put))
                removeMarker(line);
            else
                output.append(Line(indentation(line.raw) + put.toLocal8Bit()));
            changed = true;
            afterPutLine = false;
        }
        if (isRestorable(line, put)) {
            removeMarker(line);
            changed = true;
        }
        output.append(line);
    }
    lines.swap(output);
    return changed;
}

bool rollbackAnchored(QList<Line> &lines, const QString &search, const QString &put)
{
    bool changed = false;
    QList<Line> output;
    output.reserve(lines.size());
    for (Line &line : lines) {
        if (line.text.startsWith(search))
            continue;
        for (int pass = 0; pass < 2 && isRestorable(line, put); ++pass) {
            removeMarker(line);
            changed = true;
        }
        output.append(line);
    }
    lines.swap(output);
    return changed;
}

} // namespace

QString Backstage::lineText(const QByteArray &line)
{
    // The overload for a whole QByteArray would stop at the first NUL byte.
    return QString::fromLocal8Bit(line.constData(), line.size()).trimmed();
}

QList<QByteArray> Backstage::splitLines(const QByteArray &content)
{
    QList<QByteArray> lines = content.split('\n');
    // A final line feed ends the last line; it does not start another one.
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

bool Backstage::editLines(QList<QByteArray> &lines, const FileChange &change, bool rollback)
{
    const QString &search = rollback ? change.newtext : change.oldtext;
    const QString &put = rollback ? change.oldtext : change.newtext;
    QList<Line> edited;
    edited.reserve(lines.size());
    for (const QByteArray &raw : qAsConst(lines))
        edited.append(Line(raw));

    bool changed = false;
    if (rollback)
        changed = change.anchor.isEmpty() ? rollbackPlain(edited, search, put)
                                          : rollbackAnchored(edited, search, put);
    else
        changed = change.anchor.isEmpty()
                      ? switchOnPlain(edited, search, put.toLocal8Bit())
                      : switchOnAnchored(edited, search, put.toLocal8Bit(), change.anchor);

    lines.clear();
    lines.reserve(edited.size());
    for (const Line &line : qAsConst(edited))
        lines.append(line.raw);
    return changed;
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
    QList<QByteArray> lines = splitLines(content);
    if (!editLines(lines, change, rollback))
        return reportNothingChanged(change, rollback);

    const QFileInfo stale(temporary);
    if ((stale.exists() || stale.isSymLink()) && !QFile::remove(temporary)) {
        fileChangeErrorList.append(tr("Failed to delete temporary file : %1 ").arg(temporary));
        return CannotDeleteTemporary;
    }
    QFile copy(temporary);
    if (!writeLines(copy, lines)) {
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
    claimDbusService();
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
bool Backstage::writeLines(QFile &file, const QList<QByteArray> &lines)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    QByteArray content;
    for (const QByteArray &line : lines) {
        content.append(line);
        content.append('\n');
    }
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
    return command.contains(QLatin1String("reboot")) ||
           command.contains(QLatin1String("restart-session"));
}

QStringList Backstage::commandWords(const QString &command)
{
    static const QRegularExpression separators(QStringLiteral("[\\ \\t]"));
    return command.split(separators, Qt::SkipEmptyParts);
}

int Backstage::executeCommands(const QStringList &commands)
{
    failedCommandList.clear();
    claimDbusService();
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
