// SPDX-License-Identifier: GPL-2.0-or-later
#include "filemover.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QVector>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor when the move returns, whichever way it returns.
class Fd
{
public:
    explicit Fd(int fd = -1) : fd(fd) {}
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    void reset(int newFd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = newFd;
    }
    int get() const { return fd; }
    bool ok() const { return fd >= 0; }

private:
    int fd;
};

QString errnoText(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

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

int createTemporary(int dir, const QByteArray &base, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = '.' + base + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = openat(dir, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

struct Source
{
    Fd dir;
    Fd file;
    QByteArray base;
    struct stat info
    {
    };
};

QString openSource(uid_t caller, const QFileInfo &path, Source &source)
{
    source.base = QFile::encodeName(path.fileName());
    source.dir.reset(
        open(QFile::encodeName(path.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!source.dir.ok())
        return errnoText("cannot open the source folder");
    source.file.reset(openat(source.dir.get(), source.base.constData(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!source.file.ok())
        return errno == ELOOP ? QStringLiteral("the source is a symbolic link")
                              : errnoText("cannot open the source");
    struct stat dir
    {
    };
    if (fstat(source.file.get(), &source.info) != 0 || fstat(source.dir.get(), &dir) != 0)
        return errnoText("cannot read the source");
    if (!S_ISREG(source.info.st_mode))
        return QStringLiteral("the source is not a regular file");
    if (source.info.st_nlink != 1)
        return QStringLiteral("the source has more than one name");
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

QString replace(const Source &source, int dir, const QByteArray &base, const struct stat *replaced)
{
    QByteArray temporary;
    const Fd target(createTemporary(dir, base, temporary));
    if (!target.ok())
        return errnoText("cannot create a file in the destination folder");
    QString failure;
    if (!copyContents(source.file.get(), target.get()))
        failure = errnoText("cannot copy the source");
    else if (!setOwnership(target.get(), replaced, source.info))
        failure = errnoText("cannot set the owner and mode of the destination");
    else if (fsync(target.get()) != 0)
        failure = errnoText("cannot write the destination");
    else if (renameat(dir, temporary.constData(), dir, base.constData()) != 0)
        failure = errnoText("cannot replace the destination");
    if (!failure.isEmpty())
        unlinkat(dir, temporary.constData(), 0);
    else
        fsync(dir);
    return failure;
}

// Unlinks the source name only while it still names the file that was copied.
QString removeSource(const Source &source)
{
    struct stat now
    {
    };
    if (fstatat(source.dir.get(), source.base.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
        now.st_dev != source.info.st_dev || now.st_ino != source.info.st_ino)
        return QStringLiteral("the destination was replaced but the source changed meanwhile");
    if (unlinkat(source.dir.get(), source.base.constData(), 0) != 0)
        return errnoText("the destination was replaced but the source could not be removed");
    return {};
}

} // namespace

QString FileMover::move(uid_t caller, const QString &source, const QString &destination)
{
    const QFileInfo from(source), to(destination);
    if (!from.isAbsolute() || !to.isAbsolute() || to.fileName().isEmpty())
        return QStringLiteral("both paths must be absolute file paths");
    Source opened;
    QString failure = openSource(caller, from, opened);
    if (!failure.isEmpty())
        return failure;
    const Fd dir(
        open(QFile::encodeName(to.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
    failure = replace(opened, dir.get(), base, exists ? &existing : nullptr);
    return failure.isEmpty() ? removeSource(opened) : failure;
}
