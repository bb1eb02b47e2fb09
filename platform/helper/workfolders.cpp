// SPDX-License-Identifier: GPL-2.0-or-later
#include "workfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

QByteArray identity(const struct stat &info)
{
    return QByteArray::number(quint64(info.st_dev)) + ':' +
           QByteArray::number(quint64(info.st_ino));
}

struct stat fromIdentity(const QByteArray &text)
{
    struct stat info
    {
    };
    const QList<QByteArray> parts = text.split(':');
    info.st_dev = dev_t(parts.value(0).toULongLong());
    info.st_ino = ino_t(parts.value(1).toULongLong());
    return info;
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
    return write("work " + QFile::encodeName(folderPath).toHex());
}

QString WorkFolders::noteMove(const QString &source, const struct stat &sourceInfo,
                              const QString &destination, const struct stat &placed)
{
    return write("move " + QFile::encodeName(source).toHex() + ' ' + identity(sourceInfo) + ' ' +
                 QFile::encodeName(destination).toHex() + ' ' + identity(placed));
}

QString WorkFolders::noteVolumes(const QString &folderPath, const Named &report,
                                 const QVector<Named> &volumes)
{
    QByteArray line = "volumes " + QFile::encodeName(folderPath).toHex() + ' ' +
                      report.name.toHex() + ' ' + identity(report.info);
    for (const Named &volume : volumes)
        line += ' ' + volume.name.toHex() + ' ' + identity(volume.info);
    return write(line);
}

// Paths are written in hexadecimal, so that no name can break a note's fields.
QString WorkFolders::write(const QByteArray &line)
{
    if (!makeStateDir() || !makeOwnFolder(notes))
        return {};
    QByteArray name = QFile::encodeName(notes) + "/note-XXXXXX";
    const UniqueFd file(mkostemp(name.data(), O_CLOEXEC));
    if (!file.ok())
        return {};
    if (::write(file.get(), line.constData(), size_t(line.size())) != line.size() ||
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
        const QList<QByteArray> fields =
            note.open(QIODevice::ReadOnly) ? note.read(64 * 1024).split(' ') : QList<QByteArray>();
        if (fields.size() == 2 && fields.at(0) == "work")
            removeWorkFolders(QFile::decodeName(QByteArray::fromHex(fields.at(1))));
        else if (fields.size() == 5 && fields.at(0) == "move")
            finishMove(fields);
        else if (fields.size() >= 4 && fields.size() % 2 == 0 && fields.at(0) == "volumes")
            removeVolumes(fields);
        note.remove();
    }
}

void WorkFolders::removeWorkFolders(const QString &folderPath)
{
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
}

// A move is complete once its destination holds the new file: the source it was made from is
// then removed, while its name still holds the file that was copied.
void WorkFolders::finishMove(const QList<QByteArray> &fields)
{
    const QFileInfo source(QFile::decodeName(QByteArray::fromHex(fields.at(1))));
    const QFileInfo destination(QFile::decodeName(QByteArray::fromHex(fields.at(3))));
    QString failure;
    const UniqueFd destinationFolder = RegularFile::openFolder(destination.path(), failure);
    const UniqueFd sourceFolder = RegularFile::openFolder(source.path(), failure);
    const struct stat sourceInfo = fromIdentity(fields.at(2));
    if (!destinationFolder.ok() || !sourceFolder.ok() ||
        !RegularFile::stillNames(destinationFolder.get(), QFile::encodeName(destination.fileName()),
                                 fromIdentity(fields.at(4))) ||
        !RegularFile::stillNames(sourceFolder.get(), QFile::encodeName(source.fileName()),
                                 sourceInfo))
        return;
    qInfo("removing %s, moved to %s by a helper that was stopped", qPrintable(source.filePath()),
          qPrintable(destination.filePath()));
    unlinkat(sourceFolder.get(), QFile::encodeName(source.fileName()).constData(), 0);
}

// A split that did not end leaves its report: the volumes it had put beside it go.
void WorkFolders::removeVolumes(const QList<QByteArray> &fields)
{
    QString failure;
    const UniqueFd folder =
        RegularFile::openFolder(QFile::decodeName(QByteArray::fromHex(fields.at(1))), failure);
    if (!folder.ok() || !RegularFile::stillNames(folder.get(), QByteArray::fromHex(fields.at(2)),
                                                 fromIdentity(fields.at(3))))
        return;
    for (int field = 4; field + 1 < fields.size(); field += 2) {
        const QByteArray name = QByteArray::fromHex(fields.at(field));
        if (RegularFile::stillNames(folder.get(), name, fromIdentity(fields.at(field + 1)))) {
            qInfo("removing the volume %s of a split whose helper was stopped", name.constData());
            unlinkat(folder.get(), name.constData(), 0);
        }
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
