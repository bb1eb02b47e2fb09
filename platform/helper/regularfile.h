// SPDX-License-Identifier: GPL-2.0-or-later
// Opening files as root in folders that other users may write to: a name is never followed
// through a symbolic link, and nothing but a regular file is ever opened for reading or
// writing, so that a planted link or device node cannot redirect or trigger anything.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <sys/stat.h>

// A descriptor that is closed when it goes out of scope.
class UniqueFd
{
public:
    explicit UniqueFd(int fd = -1) : fd(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd &) = delete;
    UniqueFd &operator=(const UniqueFd &) = delete;
    UniqueFd(UniqueFd &&other) noexcept : fd(other.release()) {}
    UniqueFd &operator=(UniqueFd &&other) noexcept;

    void reset(int newFd = -1);
    int release();
    int get() const { return fd; }
    bool ok() const { return fd >= 0; }

private:
    int fd;
};

namespace RegularFile {

// "what: <system error text>" for the current errno.
QString errnoText(const QString &what);

// The folder at path (followed as given: the caller names it), for use with the *at() calls.
UniqueFd openFolder(const QString &path, QString &failure);

// Opens the regular file name in folder with flags (O_RDONLY, O_RDWR, ...). The name is first
// opened as a path only, checked and then reopened, so a device is never opened at all. info
// receives its status. On failure the descriptor is invalid and failure says why, naming the
// file as subject ("the source", "the report").
UniqueFd open(int folder, const QByteArray &name, int flags, const QString &subject,
              struct stat &info, QString &failure);

// Whether name in folder still is the file described by info.
bool stillNames(int folder, const QByteArray &name, const struct stat &info);

// The names in the opened folder, without "." and "..".
QByteArrayList entriesOf(int folder);

// Removes everything in the opened folder, folders inside it with all they hold, never
// following a link. False when something stayed.
bool emptyFolder(int folder);

} // namespace RegularFile
