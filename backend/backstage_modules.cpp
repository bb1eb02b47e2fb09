// SPDX-License-Identifier: GPL-2.0-or-later
// Reading debug module files, finding them in their folders, and telling from the configuration
// files whether a module's debug mode is on.
#include "backstage.h"

#include "changestatedetector.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

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

// "plugins" may be left out; when given, each element is a name that sos takes after -o, so that
// no element can pass as an option or as several plugins.
bool readPlugins(const QJsonObject &root, QStringList &plugins)
{
    const QJsonValue value = root.value(QLatin1String("plugins"));
    if (value.isUndefined())
        return true;
    if (!value.isArray())
        return false;
    // Matched whole: "$" alone would also let a name end in a line break.
    static const QRegularExpression pluginName(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_]+")));
    const QJsonArray array = value.toArray();
    for (const QJsonValue &element : array) {
        if (!element.isString() || !pluginName.match(element.toString()).hasMatch())
            return false;
        plugins.append(element.toString());
    }
    plugins.removeDuplicates();
    return true;
}

} // namespace

DebugModuleObject *Backstage::readDebugModule(const QString &path)
{
    Warning failure;
    DebugModuleObject *module = parseDebugModule(path, failure);
    if (!module) {
        emit warnMessage(failure.title, failure.text);
        return nullptr;
    }
    module->setState(detectModuleState(module->fileChanges()));
    return module;
}

DebugModuleObject *Backstage::parseDebugModule(const QString &path, Warning &failure)
{
    failure.title = tr("Error!");
    failure.subject = path;
    QByteArray content;
    const RegularFileReader::Status status = RegularFileReader::read(path, content);
    if (status != RegularFileReader::Read) {
        const QString refusal = refusalText(path, status);
        failure.text = refusal.isEmpty() ? tr("Couldn't open file %1.").arg(path) : refusal;
        return nullptr;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (!document.isObject()) {
        failure.text = tr("File %1 \nnot contains valid JSON object.").arg(path);
        if (error.error != QJsonParseError::NoError)
            failure.detail = parseErrorPlace(content, error);
        return nullptr;
    }
    const QJsonObject root = document.object();
    const QString name = root.value(QLatin1String("modulename")).toString();
    if (name.isEmpty()) {
        failure.text =
            tr("File %1 \nnot contains valid field '%2'.").arg(path, QStringLiteral("modulename"));
        return nullptr;
    }
    QStringList plugins;
    if (!readPlugins(root, plugins)) {
        failure.text = tr("File %1 \nfield 'plugins' must be a list of sos plugin "
                          "names (letters, digits and underscores).")
                           .arg(path);
        return nullptr;
    }

    // Without its package the service cannot be switched: a package given in any other form
    // would have the module offered where the service is missing.
    const QJsonValue package = root.value(QLatin1String("package"));
    if (!package.isUndefined() && package.toString().trimmed().isEmpty()) {
        failure.text = tr("File %1 \nfield 'package' must be the name of a package.").arg(path);
        return nullptr;
    }

    auto *module = new DebugModuleObject(name);
    module->setPackage(package.toString().trimmed());
    module->setPlugins(plugins);
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
    return module;
}

FileChangeState Backstage::detectFileChangeState(const FileChange &change)
{
    ChangeStateDetector detector;
    const int index = detector.add(change);
    detector.run();
    return detector.state(index);
}

ModuleState Backstage::detectModuleState(const QList<FileChange> &changes)
{
    ChangeStateDetector detector;
    for (const FileChange &change : changes)
        detector.add(change);
    detector.run();
    return detector.moduleState(0, changes.size());
}

QStringList Backstage::debugModuleFiles(const QStringList &dirs)
{
    QVector<Warning> warnings;
    const QStringList files = listDebugModuleFiles(dirs, warnings);
    for (const Warning &warning : qAsConst(warnings))
        emit warnMessage(warning.title, warning.text);
    return files;
}

QStringList Backstage::listDebugModuleFiles(const QStringList &dirs, QVector<Warning> &warnings)
{
    QStringList result;
    for (const QString &path : dirs) {
        QDir dir(path);
        if (!dir.isReadable())
            warnings.append({tr("Getting debug modules list"),
                             tr("Can't read directory %1").arg(path), path, QString()});
        const QFileInfoList entries = dir.entryInfoList({QStringLiteral("*.json")}, QDir::Files,
                                                        QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &entry : entries)
            result.append(entry.absoluteFilePath());
    }
    return result;
}

// The parser counts bytes from the start, up to just past the character it stopped at; an editor
// shows lines and characters, from 1.
QString Backstage::parseErrorPlace(const QByteArray &content, const QJsonParseError &error)
{
    const QByteArray before = content.left(qMax(0, error.offset - 1));
    const int lineStart = before.lastIndexOf('\n') + 1;
    const int column = QString::fromUtf8(before.mid(lineStart)).size() + 1;
    return tr("Line %1, column %2: %3")
        .arg(before.count('\n') + 1)
        .arg(column)
        .arg(error.errorString());
}

QString Backstage::refusalText(const QString &path, RegularFileReader::Status status)
{
    if (status == RegularFileReader::NotRegular)
        return tr("File %1 is not a regular file").arg(path);
    if (status == RegularFileReader::TooLarge)
        return tr("File %1 is larger than %2 MiB").arg(path).arg(RegularFileReader::MaxBytes >> 20);
    return QString();
}
