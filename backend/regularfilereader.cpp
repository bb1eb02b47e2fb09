// SPDX-License-Identifier: GPL-2.0-or-later
// Reading whole files with a stat check before and after opening.
#include "regularfilereader.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RegularFileReader::Status statusOf(const struct stat &info)
{
    if (!S_ISREG(info.st_mode))
        return RegularFileReader::NotRegular;
    return info.st_size > RegularFileReader::MaxBytes ? RegularFileReader::TooLarge
                                                      : RegularFileReader::Read;
}

// Reads until the end or one byte past the limit, so that a file still growing is caught too.
RegularFileReader::Status readBounded(int fd, qint64 expectedSize, QByteArray &content)
{
    constexpr qint64 Chunk = 64 * 1024;
    QByteArray buffer;
    buffer.reserve(int(expectedSize + 1));
    char chunk[Chunk];
    while (buffer.size() <= RegularFileReader::MaxBytes) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return RegularFileReader::CannotOpen;
        if (count == 0)
            break;
        buffer.append(chunk, int(count));
    }
    if (buffer.size() > RegularFileReader::MaxBytes)
        return RegularFileReader::TooLarge;
    content = buffer;
    return RegularFileReader::Read;
}

} // namespace

RegularFileReader::Status RegularFileReader::read(const QString &path, QByteArray &content)
{
    const QByteArray name = QFile::encodeName(path);
    // The type is known before opening, so no device is ever opened; the descriptor is checked
    // again because the path may have been replaced in between. O_NONBLOCK keeps a fifo put there
    // meanwhile from blocking the open.
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return CannotOpen;
    if (statusOf(info) != Read)
        return statusOf(info);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return CannotOpen;
    Status status = ::fstat(fd, &info) == 0 ? statusOf(info) : CannotOpen;
    if (status == Read)
        status = readBounded(fd, info.st_size, content);
    ::close(fd);
    return status;
}
