// SPDX-License-Identifier: GPL-2.0-or-later
// One loaded debug module: its name, the commands that switch the service's debug mode on and
// off, the text changes it makes in configuration files, the sos plugins that collect the
// service's logs, the package the service comes with and the state last detected for it.
#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

// One text change of a configuration file.
struct FileChange
{
    QString filename;
    QString oldtext;
    QString newtext;
    QString anchor;
};

// What one change finds in its file.
enum class FileChangeState
{
    NoMatch = 0,
    FileMissing = 1,
    Unchanged = 2,
    Changed = 3
};

// The state of a whole module, combined from its changes.
enum class ModuleState
{
    Unknown = 0,
    NotActive = 2,
    PartlyUnchanged = 3,
    Mixed = 4,
    PartlyActive = 5,
    Active = 6
};

class DebugModuleObject : public QObject
{
    Q_OBJECT

public:
    // Words of a module's command lists that are no commands: the switch needs a reboot, or it
    // ends the user's session.
    inline static const QString RebootMarker = QStringLiteral("reboot");
    inline static const QString SessionMarker = QStringLiteral("restart-session");

    explicit DebugModuleObject(const QString &name, QObject *parent = nullptr);

    QString name() const { return moduleName; }
    // What the debug mode gives, in the module author's words (the file's "description").
    QString description() const { return moduleDescription; }
    QStringList debugCommands() const { return debugCommandList; }
    QStringList rollbackCommands() const { return rollbackCommandList; }
    QList<FileChange> fileChanges() const { return fileChangeList; }
    // Empty: a report about the service is collected with the default plugins.
    QStringList plugins() const { return pluginList; }
    ModuleState state() const { return moduleState; }
    // The package that installs the service; empty when the module names none.
    QString package() const { return packageName; }
    // False once the package is known to be missing: the module is shown but never switched.
    bool isInstalled() const { return installed; }

    void addDebugCommand(const QString &command);
    void addRollbackCommand(const QString &command);
    void addFileChange(const FileChange &change);
    void setPlugins(const QStringList &plugins) { pluginList = plugins; }
    void setState(ModuleState state) { moduleState = state; }
    void setDescription(const QString &text) { moduleDescription = text.trimmed(); }
    void setPackage(const QString &name) { packageName = name; }
    void setInstalled(bool isInstalled) { installed = isInstalled; }

signals:
    void debugButtonClicked();
    void rollbackButtonClicked();
    void showChangesButtonClicked();

private:
    const QString moduleName;
    QString moduleDescription;
    QStringList debugCommandList;
    QStringList rollbackCommandList;
    QList<FileChange> fileChangeList;
    QStringList pluginList;
    ModuleState moduleState = ModuleState::Unknown;
    QString packageName;
    bool installed = true;
};
