// SPDX-License-Identifier: GPL-2.0-or-later
#include "filemover.h"

#include "regularfile.h"
#include "workfolders.h"

#include <QFile>
#include <QFileInfo>
#include <QVector>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using RegularFile::errnoText;

// Configuration files are small; copying a huge one would hold up every other caller.
const off_t MaxSourceBytes = 16 * 1024 * 1024;

bool inGroup(uid_t uid, gid_t gid)
{
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    QByteArray buffer(size > 0 ? int(size) : 16384, '\0');
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), size_t(buffer.size()), &found) != 0 || !found)
        return false;
    int count = 64;
    QVector<gid_t> groups(count);
    if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(count);
        if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.cbegin(), groups.cbegin() + count, gid) != groups.cbegin() + count;
}

// Removing the source is the caller's right only when the caller may write its folder.
bool callerMayWrite(uid_t caller, const struct stat &dir)
{
    if (caller == 0 || (dir.st_mode & S_IWOTH))
        return true;
    if (dir.st_uid == caller)
        return dir.st_mode & S_IWUSR;
    return (dir.st_mode & S_IWGRP) && inGroup(caller, dir.st_gid);
}

bool copyContents(int from, int to)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            if (put < 0 && errno != EINTR)
                return false;
            done += put > 0 ? put : 0;
        }
    }
}

struct Source
{
    UniqueFd dir;
    UniqueFd file;
    QByteArray base;
    struct stat info
    {
    };
};

QString openSource(uid_t caller, const QFileInfo &path, Source &source)
{
    QString failure;
    source.base = QFile::encodeName(path.fileName());
    source.dir = RegularFile::openFolder(path.path(), failure);
    if (!source.dir.ok())
        return failure;
    source.file = RegularFile::open(source.dir.get(), source.base, O_RDONLY,
                                    QStringLiteral("the source"), source.info, failure);
    if (!source.file.ok())
        return failure;
    struct stat dir
    {
    };
    if (fstat(source.dir.get(), &dir) != 0)
        return errnoText("cannot read the source folder");
    if (source.info.st_nlink != 1)
        return QStringLiteral("the source has more than one name");
    if (source.info.st_size > MaxSourceBytes)
        return QStringLiteral("the source is larger than 16 MiB");
    if (source.info.st_uid != caller)
        return QStringLiteral("the source does not belong to the caller");
    if (!callerMayWrite(caller, dir))
        return QStringLiteral("the caller may not remove the source from its folder");
    return {};
}

// Owner and mode of the new file: those of the file it replaces, or the helper's own with
// the source's permissions minus group/other write and the set-id bits.
bool setOwnership(int fd, const struct stat *replaced, const struct stat &source)
{
    if (replaced)
        return fchown(fd, replaced->st_uid, replaced->st_gid) == 0 &&
               fchmod(fd, replaced->st_mode & 07777) == 0;
    return fchown(fd, geteuid(), getegid()) == 0 &&
           fchmod(fd, source.st_mode & 0777 & ~mode_t(S_IWGRP | S_IWOTH)) == 0;
}

// The new contents go to an unnamed file, so a helper killed while copying leaves nothing
// behind. Where the file system has no unnamed files, the copy is made under the stray name.
UniqueFd createUnnamed(int dir, const QByteArray &strayName, bool &named)
{
    named = false;
    UniqueFd file(openat(dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (file.ok() || (errno != EOPNOTSUPP && errno != EISDIR))
        return file;
    named = true;
    return UniqueFd(openat(dir, strayName.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
}

// The complete copy gets its name only to be renamed over the destination at once. Should the
// helper die between the two steps, the next move of the same file takes the stray name over.
QString putInPlace(int file, bool named, int dir, const QByteArray &strayName,
                   const QByteArray &base)
{
    if (!named) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(file);
        if (linkat(AT_FDCWD, self.constData(), dir, strayName.constData(), AT_SYMLINK_FOLLOW) != 0)
            return errnoText("cannot write the destination");
    }
    if (renameat(dir, strayName.constData(), dir, base.constData()) != 0)
        return errnoText("cannot replace the destination");
    return {};
}

// beforePlacing notes the complete copy before it takes the destination's name.
QString replace(const Source &source, int dir, const QByteArray &base, const struct stat *replaced,
                const std::function<bool(int copy)> &beforePlacing)
{
    const QByteArray strayName = '.' + base + ".kro-new";
    // Unlinking never follows a link, so whatever else holds the name is only taken away.
    if (unlinkat(dir, strayName.constData(), 0) != 0 && errno != ENOENT)
        return errnoText("cannot clear the destination folder");
    bool named = false;
    const UniqueFd target = createUnnamed(dir, strayName, named);
    if (!target.ok())
        return errnoText("cannot create a file in the destination folder");
    QString failure;
    if (!copyContents(source.file.get(), target.get()))
        failure = errnoText("cannot copy the source");
    else if (!setOwnership(target.get(), replaced, source.info))
        failure = errnoText("cannot set the owner and mode of the destination");
    else if (fsync(target.get()) != 0)
        failure = errnoText("cannot write the destination");
    else if (!beforePlacing(target.get()))
        failure = QStringLiteral("the helper cannot note the move");
    else
        failure = putInPlace(target.get(), named, dir, strayName, base);
    if (!failure.isEmpty())
        unlinkat(dir, strayName.constData(), 0);
    else
        fsync(dir);
    return failure;
}

// Unlinks the source name only while it still names the file that was copied.
QString removeSource(const Source &source)
{
    if (!RegularFile::stillNames(source.dir.get(), source.base, source.info))
        return QStringLiteral("the destination was replaced but the source changed meanwhile");
    if (unlinkat(source.dir.get(), source.base.constData(), 0) != 0)
        return errnoText("the destination was replaced but the source could not be removed");
    return {};
}

} // namespace
QString FileMover::move(WorkFolders &folders, uid_t caller, const QString &source,
                        const QString &destination)
{
    const QFileInfo from(source), to(destination);
    if (!from.isAbsolute() || !to.isAbsolute() || to.fileName().isEmpty())
        return QStringLiteral("both paths must be absolute file paths");
    Source opened;
    QString failure = openSource(caller, from, opened);
    if (!failure.isEmpty())
        return failure;
    const UniqueFd dir(
        ::open(QFile::encodeName(to.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.ok())
        return errnoText("cannot open the destination folder");
    const QByteArray base = QFile::encodeName(to.fileName());
    struct stat existing
    {
    };
    const bool exists = fstatat(dir.get(), base.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return errnoText("cannot read the destination");
    if (exists && !S_ISREG(existing.st_mode))
        return QStringLiteral("the destination is not a regular file");
    if (exists && existing.st_dev == opened.info.st_dev && existing.st_ino == opened.info.st_ino)
        return QStringLiteral("the source and the destination are the same file");
    // Should the helper be killed once the new file is in place, its next start removes the
    // source, so the user's file never stays beside its moved copy.
    QString note;
    const auto noteMove = [&](int copy) {
        struct stat placed
        {
        };
        note = fstat(copy, &placed) == 0 ? folders.noteMove(from.absoluteFilePath(), opened.info,
                                                            to.absoluteFilePath(), placed)
                                         : QString();
        return !note.isEmpty();
    };
    failure = replace(opened, dir.get(), base, exists ? &existing : nullptr, noteMove);
    if (failure.isEmpty())
        failure = removeSource(opened);
    folders.forget(note);
    return failure;
}
