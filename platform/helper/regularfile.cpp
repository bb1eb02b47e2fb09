// SPDX-License-Identifier: GPL-2.0-or-later
#include "regularfile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Deeper than any tree sos collects; a deeper one is left rather than exhausting descriptors.
const int MaxDepth = 200;

bool emptyFolderAt(int folder, int depth)
{
    if (depth >= MaxDepth)
        return false;
    bool emptied = true;
    for (const QByteArray &name : RegularFile::entriesOf(folder)) {
        if (unlinkat(folder, name.constData(), 0) == 0)
            continue;
        const UniqueFd inner(errno != EISDIR
                                 ? -1
                                 : openat(folder, name.constData(),
                                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!inner.ok() || !emptyFolderAt(inner.get(), depth + 1) ||
            unlinkat(folder, name.constData(), AT_REMOVEDIR) != 0)
            emptied = false;
    }
    return emptied;
}

} // namespace

UniqueFd &UniqueFd::operator=(UniqueFd &&other) noexcept
{
    reset(other.release());
    return *this;
}

void UniqueFd::reset(int newFd)
{
    if (fd >= 0)
        ::close(fd);
    fd = newFd;
}

int UniqueFd::release()
{
    const int released = fd;
    fd = -1;
    return released;
}

QString RegularFile::errnoText(const QString &what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

UniqueFd RegularFile::openFolder(const QString &path, QString &failure)
{
    UniqueFd folder(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder.ok())
        failure = errnoText(QStringLiteral("cannot open the folder %1").arg(path));
    return folder;
}

UniqueFd RegularFile::open(int folder, const QByteArray &name, int flags, const QString &subject,
                           struct stat &info, QString &failure)
{
    const UniqueFd path(openat(folder, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!path.ok()) {
        failure = errnoText(QStringLiteral("cannot open ") + subject);
        return UniqueFd();
    }
    if (fstat(path.get(), &info) != 0) {
        failure = errnoText(QStringLiteral("cannot read ") + subject);
        return UniqueFd();
    }
    if (S_ISLNK(info.st_mode)) {
        failure = subject + QStringLiteral(" is a symbolic link");
        return UniqueFd();
    }
    if (!S_ISREG(info.st_mode)) {
        failure = subject + QStringLiteral(" is not a regular file");
        return UniqueFd();
    }
    // Reopening through the descriptor reaches exactly the inode that was checked.
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(path.get());
    UniqueFd file(::open(self.constData(), flags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!file.ok())
        failure = errnoText(QStringLiteral("cannot open ") + subject);
    return file;
}

bool RegularFile::stillNames(int folder, const QByteArray &name, const struct stat &info)
{
    struct stat now
    {
    };
    return fstatat(folder, name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
           now.st_dev == info.st_dev && now.st_ino == info.st_ino;
}

QByteArrayList RegularFile::entriesOf(int folder)
{
    QByteArrayList names;
    DIR *dir = folder < 0 ? nullptr : fdopendir(fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (!dir)
        return names;
    rewinddir(dir);
    while (const dirent *entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    closedir(dir);
    return names;
}

bool RegularFile::emptyFolder(int folder)
{
    return emptyFolderAt(folder, 0);
}
