// SPDX-License-Identifier: GPL-2.0-or-later
// Folders the helper makes for its own work beside reports: a report run's working folder, a
// split's volumes, a protected copy where no unnamed file can be made. Each is root's own (0700)
// with a name of the helper's, and the folder it lies in is noted in the helper's state folder
// before it is made, so that what a killed helper left is removed at its next start. Only a
// folder that is the helper's own by name, owner and mode is ever removed, and removing never
// follows a link. The last step of a move (removing its source) and the volumes a split puts
// beside its report are noted the same way.
#pragma once

#include "regularfile.h"

#include <QString>
#include <QVector>

class WorkFolders
{
public:
    // A file by its name in a folder and its status.
    struct Named
    {
        QByteArray name;
        struct stat info;
    };

    explicit WorkFolders(const QString &stateDir);

    // Removes the work folders left in the folders that the notes name, the sources of moves
    // that were done and the volumes of splits that were not, then the notes.
    void removeLeftovers();
    // Makes the state folder root's own (0700) when missing; false when it is not.
    bool makeStateDir() const;
    const QString &stateDir() const { return state; }

    // Notes that work folders may be made in folderPath; the note's name, empty on failure.
    QString note(const QString &folderPath);
    // Notes that source (holding sourceInfo's file) is to be removed once destination holds
    // placed's file; the note's name, empty on failure.
    QString noteMove(const QString &source, const struct stat &sourceInfo,
                     const QString &destination, const struct stat &placed);
    // Notes that the volumes are to be removed from folderPath while report still holds its
    // file there: the split did not end. The note's name, empty on failure.
    QString noteVolumes(const QString &folderPath, const Named &report,
                        const QVector<Named> &volumes);
    void forget(const QString &noteName);

    // What every work folder's name starts with.
    static const QByteArray RunPrefix;
    static const QByteArray SplitPrefix;
    static const QByteArray ProtectPrefix;

private:
    QString write(const QByteArray &line);
    void removeWorkFolders(const QString &folderPath);
    void finishMove(const QList<QByteArray> &fields);
    void removeVolumes(const QList<QByteArray> &fields);

    QString state;
    QString notes;
};

class WorkFolder
{
public:
    WorkFolder() = default;
    ~WorkFolder() { remove(); }
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    // Makes a fresh folder PREFIX + six random characters in the opened folder at folderPath.
    // Empty on success, otherwise why not.
    QString make(WorkFolders &folders, int folder, const QString &folderPath,
                 const QByteArray &prefix);
    // Removes the folder with all it holds, while its name still holds it, and its note.
    void remove();

    int descriptor() const { return work.get(); }
    const QByteArray &name() const { return workName; }
    QString path() const;

private:
    WorkFolders *folders = nullptr;
    UniqueFd parent;
    UniqueFd work;
    QByteArray workName;
    QString parentPath;
    QString noteName;
    struct stat info
    {
    };
};
