// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportidentity.h"

#include <QFile>
#include <QMessageBox>

namespace {

bool statFile(const QString &path, struct stat &info)
{
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

ReportIdentity ReportIdentity::of(const QString &path)
{
    ReportIdentity identity;
    struct stat info;
    if (path.isEmpty() || !statFile(path, info))
        return identity;
    identity.filePath = path;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    return identity;
}

bool ReportIdentity::stillHolds() const
{
    struct stat info;
    return isValid() && statFile(filePath, info) && info.st_dev == device && info.st_ino == inode &&
           info.st_size == size && info.st_mtim.tv_sec == modified.tv_sec &&
           info.st_mtim.tv_nsec == modified.tv_nsec;
}

bool ReportIdentity::stillHoldsOrTell(QWidget *parent) const
{
    if (stillHolds())
        return true;
    QMessageBox::warning(parent, tr("Attention!"),
                         tr("The report was changed or removed in the meantime, so nothing was "
                            "done with it:\n%1")
                             .arg(filePath),
                         QMessageBox::Ok);
    return false;
}
