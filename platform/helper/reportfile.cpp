// SPDX-License-Identifier: GPL-2.0-or-later
#include "reportfile.h"

#include "readaccess.h"
#include "reportnames.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

using RegularFile::errnoText;

namespace {

const char *const AccessListName = "system.posix_acl_access";

} // namespace

QString ReportFile::open(uid_t caller, const QString &path, const QString &sosTmpDir)
{
    const QFileInfo report(path);
    if (!report.isAbsolute() || !ReportNames::isReportName(report.fileName()))
        return QStringLiteral("%1 is not a report archive").arg(path);
    if (ReportNames::isPrivateMap(report.fileName()))
        return QStringLiteral("%1 is sos's private map of hidden names, which stays on this "
                              "machine")
            .arg(path);
    QString failure;
    const UniqueFd opened = RegularFile::openFolder(report.path(), failure);
    if (!opened.ok())
        return failure;
    if (!ReportNames::isReportFolder(opened.get(), caller, sosTmpDir))
        return QStringLiteral("%1 is not a report folder").arg(report.path());
    return openIn(opened.get(), report.path(), caller, report.fileName());
}

QString ReportFile::openIn(int openedFolder, const QString &folderPath, uid_t caller,
                           const QString &fileName)
{
    if (!ReportNames::isReportName(fileName))
        return QStringLiteral("%1 is not a report archive").arg(fileName);
    folder.reset(fcntl(openedFolder, F_DUPFD_CLOEXEC, 0));
    if (!folder.ok())
        return errnoText(QStringLiteral("cannot share the folder"));
    folderAt = folderPath;
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

QString ReportFile::makeReadable(uid_t caller)
{
    return ReadAccess::grant(file.get(), caller);
}

int ReportFile::createProtectedCopy(WorkFolders &workFolders, QString &failure)
{
    folders = &workFolders;
    if (ReportNames::isProtected(QFile::decodeName(name))) {
        failure = QStringLiteral("the report is protected already");
        return -1;
    }
    copyName = name + QFile::encodeName(ReportNames::ProtectedSuffix);
    struct stat existing
    {
    };
    if (fstatat(folder.get(), copyName.constData(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        failure = QStringLiteral("a protected copy of the report exists already");
        return -1;
    }
    // Unnamed until it is complete: no one sees a partial copy, and a killed helper leaves none.
    copy.reset(openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!copy.ok() && (errno == EOPNOTSUPP || errno == EISDIR)) {
        failure = copyFolder.make(workFolders, folder.get(), folderAt, WorkFolders::ProtectPrefix);
        if (!failure.isEmpty())
            return -1;
        copy.reset(openat(copyFolder.descriptor(), copyName.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
    }
    if (!copy.ok()) {
        failure = errnoText(QStringLiteral("cannot create the protected copy"));
        discardProtectedCopy();
        return -1;
    }
    return copy.get();
}

QString ReportFile::keepProtectedCopy()
{
    QString failure = fsync(copy.get()) == 0
                          ? shareOwnership(copy.get())
                          : errnoText(QStringLiteral("cannot write the protected copy"));
    struct stat copyInfo
    {
    };
    QString note;
    if (failure.isEmpty() && fstat(copy.get(), &copyInfo) == 0) {
        const QString path = folderAt + QLatin1Char('/');
        note = folders->noteMove(path + QFile::decodeName(name), info,
                                 path + QFile::decodeName(copyName), copyInfo);
    }
    if (failure.isEmpty())
        failure = note.isEmpty() ? QStringLiteral("the helper cannot note the protected copy")
                                 : nameCopy();
    discardProtectedCopy();
    if (failure.isEmpty())
        failure = remove();
    folders->forget(note);
    return failure;
}

// Linking never replaces an existing name nor follows a link at it.
QString ReportFile::nameCopy()
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(copy.get());
    const int linked = copyFolder.descriptor() >= 0
                           ? linkat(copyFolder.descriptor(), copyName.constData(), folder.get(),
                                    copyName.constData(), 0)
                           : linkat(AT_FDCWD, self.constData(), folder.get(), copyName.constData(),
                                    AT_SYMLINK_FOLLOW);
    if (linked != 0)
        return errno == EEXIST ? QStringLiteral("a protected copy of the report exists already")
                               : errnoText(QStringLiteral("cannot name the protected copy"));
    fsync(folder.get());
    return {};
}

QString ReportFile::shareOwnership(int fd) const
{
    if (fchown(fd, info.st_uid, info.st_gid) != 0 || fchmod(fd, info.st_mode & 0777) != 0)
        return errnoText(QStringLiteral("cannot give the report's owner and mode"));
    // The user given read access to the report keeps it on what replaces the report, and the
    // group gets back exactly its own bits, which the mode shows as the list's mask.
    char list[1024];
    const ssize_t size = fgetxattr(file.get(), AccessListName, list, sizeof list);
    if (size < 0)
        return errno == ENODATA || errno == EOPNOTSUPP
                   ? QString()
                   : errnoText(QStringLiteral("cannot read the report's access list"));
    if (fsetxattr(fd, AccessListName, list, size_t(size), 0) != 0)
        return errnoText(QStringLiteral("cannot give the report's access list"));
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
    copy.reset();
    copyFolder.remove();
}
