// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportfiletimes.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FileTimes FileTimesReader::read(const QString &path)
{
    const int nameStart = path.lastIndexOf(QLatin1Char('/')) + 1;
    if (folder.isNull() || path.leftRef(nameStart) != folder) {
        closeFolder();
        folder = path.left(nameStart);
        if (nameStart > 0)
            folderFd =
                ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    FileTimes times;
    struct statx info;
    // As QFile::encodeName encodes it, without a copy of the name first.
    const QByteArray name =
        folderFd >= 0 ? path.midRef(nameStart).toLocal8Bit() : QFile::encodeName(path);
    if (::statx(folderFd >= 0 ? folderFd : AT_FDCWD, name.constData(), 0,
                STATX_BTIME | STATX_MTIME | STATX_SIZE, &info) != 0)
        return times;
    times.hasCreated = (info.stx_mask & STATX_BTIME) != 0;
    times.created = info.stx_btime.tv_sec * 1000 + info.stx_btime.tv_nsec / 1000000;
    times.modified = info.stx_mtime.tv_sec * 1000 + info.stx_mtime.tv_nsec / 1000000;
    times.size = qint64(info.stx_size);
    return times;
}

void FileTimesReader::closeFolder()
{
    if (folderFd >= 0)
        ::close(folderFd);
    folderFd = -1;
}
