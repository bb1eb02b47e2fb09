// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportfile.h"

#include "reportnames.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using RegularFile::errnoText;

QString ReportFile::open(uid_t caller, const QString &path)
{
    const QFileInfo report(path);
    if (!report.isAbsolute() || !report.fileName().startsWith(ReportNames::Prefix))
        return QStringLiteral("%1 is not a report archive").arg(path);
    QString failure;
    const UniqueFd opened = RegularFile::openFolder(report.path(), failure);
    if (!opened.ok())
        return failure;
    return openIn(opened.get(), caller, report.fileName());
}

QString ReportFile::openIn(int openedFolder, uid_t caller, const QString &fileName)
{
    if (!fileName.startsWith(ReportNames::Prefix) || fileName.contains(QLatin1Char('/')))
        return QStringLiteral("%1 is not a report archive").arg(fileName);
    folder.reset(fcntl(openedFolder, F_DUPFD_CLOEXEC, 0));
    if (!folder.ok())
        return errnoText(QStringLiteral("cannot share the folder"));
    QString failure;
    name = QFile::encodeName(fileName);
    file = RegularFile::open(folder.get(), name, O_RDONLY, QStringLiteral("the report"), info,
                             failure);
    if (!file.ok())
        return failure;
    if (info.st_nlink != 1)
        return QStringLiteral("the report has more than one name");
    if (info.st_uid != 0 && info.st_uid != caller)
        return QStringLiteral("the report belongs to another user");
    return {};
}

QString ReportFile::makeReadable()
{
    if (fchmod(file.get(), (info.st_mode & 07777) | S_IROTH) != 0)
        return errnoText(QStringLiteral("cannot change the report's permissions"));
    return {};
}

int ReportFile::createProtectedCopy(QString &failure)
{
    if (QFile::decodeName(name).endsWith(ReportNames::ProtectedExtension)) {
        failure = QStringLiteral("the report is protected already");
        return -1;
    }
    copyName = name + QFile::encodeName(ReportNames::ProtectedSuffix);
    copy.reset(openat(folder.get(), copyName.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
    if (!copy.ok() || fstat(copy.get(), &copyInfo) != 0) {
        failure = errno == EEXIST ? QStringLiteral("a protected copy of the report exists already")
                                  : errnoText(QStringLiteral("cannot create the protected copy"));
        copy.reset();
        return -1;
    }
    return copy.get();
}

QString ReportFile::keepProtectedCopy()
{
    QString failure = fsync(copy.get()) == 0
                          ? shareOwnership(copy.get())
                          : errnoText(QStringLiteral("cannot write the protected copy"));
    if (!failure.isEmpty()) {
        discardProtectedCopy();
        return failure;
    }
    return remove();
}

QString ReportFile::shareOwnership(int fd) const
{
    if (fchown(fd, info.st_uid, info.st_gid) != 0 || fchmod(fd, info.st_mode & 0777) != 0)
        return errnoText(QStringLiteral("cannot give the report's owner and mode"));
    return {};
}

QString ReportFile::remove()
{
    if (!RegularFile::stillNames(folder.get(), name, info))
        return QStringLiteral("the report was replaced in the meantime");
    if (unlinkat(folder.get(), name.constData(), 0) != 0)
        return errnoText(QStringLiteral("the report cannot be removed"));
    fsync(folder.get());
    return {};
}

void ReportFile::discardProtectedCopy()
{
    if (copy.ok() && RegularFile::stillNames(folder.get(), copyName, copyInfo))
        unlinkat(folder.get(), copyName.constData(), 0);
    copy.reset();
}
