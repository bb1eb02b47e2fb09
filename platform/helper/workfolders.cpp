// SPDX-License-Identifier: GPL-2.0-or-later
#include "workfolders.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using RegularFile::errnoText;

const QByteArray WorkFolders::RunPrefix = ".kro-run-";
const QByteArray WorkFolders::SplitPrefix = ".kro-split-";
const QByteArray WorkFolders::ProtectPrefix = ".kro-protect-";

namespace {

bool makeOwnFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info
    {
    };
    return ::lstat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == geteuid() && ::chmod(name.constData(), 0700) == 0;
}

bool hasOwnPrefix(const QByteArray &name)
{
    for (const QByteArray &prefix :
         {WorkFolders::RunPrefix, WorkFolders::SplitPrefix, WorkFolders::ProtectPrefix})
        if (name.startsWith(prefix) && name.size() > prefix.size())
            return true;
    return false;
}

// The helper's own work folder: a folder, not a link, owned by the helper's user, mode 0700.
UniqueFd openOwn(int folder, const QByteArray &name, struct stat &info)
{
    UniqueFd work(
        openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!work.ok() || fstat(work.get(), &info) != 0 || info.st_uid != geteuid() ||
        (info.st_mode & 07777) != 0700)
        return UniqueFd();
    return work;
}

// Removes name from folder with all it holds, while name still holds the folder that was opened.
void removeOwn(int folder, const QByteArray &name, int work, const struct stat &info)
{
    RegularFile::emptyFolder(work);
    if (RegularFile::stillNames(folder, name, info))
        unlinkat(folder, name.constData(), AT_REMOVEDIR);
}

} // namespace

WorkFolders::WorkFolders(const QString &stateDir)
    : state(stateDir), notes(QDir(stateDir).filePath(QStringLiteral("work")))
{
}

bool WorkFolders::makeStateDir() const
{
    return makeOwnFolder(state);
}

QString WorkFolders::note(const QString &folderPath)
{
    if (!makeStateDir() || !makeOwnFolder(notes))
        return {};
    QByteArray name = QFile::encodeName(notes) + "/note-XXXXXX";
    const UniqueFd file(mkostemp(name.data(), O_CLOEXEC));
    const QByteArray path = QFile::encodeName(folderPath);
    if (!file.ok())
        return {};
    if (write(file.get(), path.constData(), size_t(path.size())) != path.size() ||
        fsync(file.get()) != 0) {
        unlink(name.constData());
        return {};
    }
    return QFile::decodeName(name);
}

void WorkFolders::forget(const QString &noteName)
{
    if (!noteName.isEmpty())
        QFile::remove(noteName);
}

void WorkFolders::removeLeftovers()
{
    struct stat notesInfo
    {
    };
    if (lstat(QFile::encodeName(notes).constData(), &notesInfo) != 0 ||
        !S_ISDIR(notesInfo.st_mode) || notesInfo.st_uid != geteuid())
        return;
    const QStringList noteNames = QDir(notes).entryList(QDir::Files | QDir::Hidden);
    for (const QString &noteName : noteNames) {
        QFile note(QDir(notes).filePath(noteName));
        const QString folderPath =
            note.open(QIODevice::ReadOnly) ? QFile::decodeName(note.read(64 * 1024)) : QString();
        QString failure;
        const UniqueFd folder = RegularFile::openFolder(folderPath, failure);
        for (const QByteArray &name : RegularFile::entriesOf(folder.get())) {
            struct stat info
            {
            };
            if (!hasOwnPrefix(name))
                continue;
            const UniqueFd work = openOwn(folder.get(), name, info);
            if (work.ok()) {
                qInfo("removing %s/%s left by a helper that was stopped", qPrintable(folderPath),
                      name.constData());
                removeOwn(folder.get(), name, work.get(), info);
            }
        }
        note.remove();
    }
}

QString WorkFolder::make(WorkFolders &workFolders, int folder, const QString &folderPath,
                         const QByteArray &prefix)
{
    remove();
    parent.reset(fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (!parent.ok())
        return errnoText(QStringLiteral("cannot share the folder"));
    noteName = workFolders.note(folderPath);
    if (noteName.isEmpty())
        return QStringLiteral("the helper cannot note its work folder");
    folders = &workFolders;
    parentPath = folderPath;
    // Made through the opened folder, so the folder's path is never resolved again.
    QByteArray path = "/proc/self/fd/" + QByteArray::number(parent.get()) + '/' + prefix + "XXXXXX";
    if (!mkdtemp(path.data()))
        return errnoText(QStringLiteral("cannot make a work folder"));
    workName = path.mid(path.lastIndexOf('/') + 1);
    work = openOwn(parent.get(), workName, info);
    if (!work.ok())
        return QStringLiteral("the work folder was replaced");
    return {};
}

void WorkFolder::remove()
{
    if (work.ok())
        removeOwn(parent.get(), workName, work.get(), info);
    work.reset();
    if (folders)
        folders->forget(noteName);
    folders = nullptr;
    noteName.clear();
}

QString WorkFolder::path() const
{
    return parentPath + QLatin1Char('/') + QFile::decodeName(workName);
}
