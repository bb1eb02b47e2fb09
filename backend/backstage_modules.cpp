// SPDX-License-Identifier: GPL-2.0-or-later
// Reading debug module files, finding them in their folders, and telling from the configuration
// files whether a module's debug mode is on.
#include "backstage.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QStringList stringElements(const QJsonObject &object, const QString &key)
{
    QStringList result;
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        return result;
    const QJsonArray array = value.toArray();
    for (const QJsonValue &element : array) {
        if (element.isString())
            result.append(element.toString());
    }
    return result;
}

// An element of "filechanges" counts only when its three required texts are all strings.
bool readFileChange(const QJsonValue &element, FileChange &change)
{
    if (!element.isObject())
        return false;
    const QJsonObject object = element.toObject();
    const QJsonValue filename = object.value(QLatin1String("filename"));
    const QJsonValue oldtext = object.value(QLatin1String("oldtext"));
    const QJsonValue newtext = object.value(QLatin1String("newtext"));
    if (!filename.isString() || !oldtext.isString() || !newtext.isString())
        return false;
    change.filename = filename.toString();
    change.oldtext = oldtext.toString();
    change.newtext = newtext.toString();
    const QJsonValue anchor = object.value(QLatin1String("anchor"));
    if (anchor.isString())
        change.anchor = anchor.toString();
    return true;
}

} // namespace

DebugModuleObject *Backstage::readDebugModule(const QString &path)
{
    QByteArray content;
    const RegularFileReader::Status status = RegularFileReader::read(path, content);
    if (status != RegularFileReader::Read) {
        const QString refusal = refusalText(path, status);
        emit warnMessage(tr("Error!"),
                         refusal.isEmpty() ? tr("Couldn't open file %1.").arg(path) : refusal);
        return nullptr;
    }
    const QJsonDocument document = QJsonDocument::fromJson(content);
    if (!document.isObject()) {
        emit warnMessage(tr("Error!"), tr("File %1 \nnot contains valid JSON object.").arg(path));
        return nullptr;
    }
    const QJsonObject root = document.object();
    const QString name = root.value(QLatin1String("modulename")).toString();
    if (name.isEmpty()) {
        emit warnMessage(
            tr("Error!"),
            tr("File %1 \nnot contains valid field '%2'.").arg(path, QStringLiteral("modulename")));
        return nullptr;
    }

    auto *module = new DebugModuleObject(name);
    module->setDescription(root.value(QLatin1String("description")).toString());
    for (const QString &command : stringElements(root, QStringLiteral("commands_debug")))
        module->addDebugCommand(command);
    for (const QString &command : stringElements(root, QStringLiteral("commands_rollback")))
        module->addRollbackCommand(command);
    const QJsonArray changes = root.value(QLatin1String("filechanges")).toArray();
    for (const QJsonValue &element : changes) {
        FileChange change;
        if (readFileChange(element, change))
            module->addFileChange(change);
    }
    module->setState(detectModuleState(module->fileChanges()));
    return module;
}

FileChangeState Backstage::detectFileChangeState(const FileChange &change)
{
    // A file that cannot be used for the change counts as missing.
    QByteArray content;
    if (RegularFileReader::read(change.filename, content) != RegularFileReader::Read)
        return FileChangeState::FileMissing;

    bool examining = change.anchor.isEmpty();
    bool hasNew = false;
    bool hasOld = false;
    for (const QByteArray &line : splitLines(content)) {
        const QString trimmed = lineText(line);
        if (!examining) {
            if (!trimmed.startsWith(change.anchor))
                continue;
            examining = true;
        }
        hasNew = hasNew || trimmed.startsWith(change.newtext);
        hasOld = hasOld || trimmed.startsWith(change.oldtext);
    }
    if (hasNew)
        return FileChangeState::Changed;
    return hasOld ? FileChangeState::Unchanged : FileChangeState::NoMatch;
}

ModuleState Backstage::detectModuleState(const QList<FileChange> &changes)
{
    const int total = changes.size();
    int changed = 0;
    int unchanged = 0;
    for (const FileChange &change : changes) {
        const FileChangeState state = detectFileChangeState(change);
        if (state == FileChangeState::Changed)
            ++changed;
        else if (state == FileChangeState::Unchanged)
            ++unchanged;
    }
    if (total == 0)
        return ModuleState::Unknown;
    if (changed == total)
        return ModuleState::Active;
    if (changed > 0)
        return unchanged == 0 ? ModuleState::PartlyActive : ModuleState::Mixed;
    if (unchanged == total)
        return ModuleState::NotActive;
    return unchanged > 0 ? ModuleState::PartlyUnchanged : ModuleState::Unknown;
}

QStringList Backstage::debugModuleFiles(const QStringList &dirs)
{
    QStringList result;
    for (const QString &path : dirs) {
        QDir dir(path);
        if (!dir.isReadable())
            emit warnMessage(tr("Getting debug modules list"),
                             tr("Can't read directory %1").arg(path));
        const QFileInfoList entries = dir.entryInfoList({QStringLiteral("*.json")}, QDir::Files,
                                                        QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &entry : entries)
            result.append(entry.absoluteFilePath());
    }
    return result;
}

QString Backstage::refusalText(const QString &path, RegularFileReader::Status status)
{
    if (status == RegularFileReader::NotRegular)
        return tr("File %1 is not a regular file").arg(path);
    if (status == RegularFileReader::TooLarge)
        return tr("File %1 is larger than %2 MiB").arg(path).arg(RegularFileReader::MaxBytes >> 20);
    return QString();
}
