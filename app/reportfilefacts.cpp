// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportfilefacts.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>

FileTimes fileTimes(const QString &path)
{
    FileTimes times;
    struct statx info;
    if (::statx(AT_FDCWD, QFile::encodeName(path).constData(), 0,
                STATX_BTIME | STATX_MTIME | STATX_SIZE, &info) != 0)
        return times;
    times.hasCreated = (info.stx_mask & STATX_BTIME) != 0;
    times.created = info.stx_btime.tv_sec * 1000 + info.stx_btime.tv_nsec / 1000000;
    times.modified = info.stx_mtime.tv_sec * 1000 + info.stx_mtime.tv_nsec / 1000000;
    times.size = qint64(info.stx_size);
    return times;
}
