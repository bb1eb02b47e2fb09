// SPDX-License-Identifier: GPL-2.0-or-later
#include "rebootflag.h"

#include <QFile>
#include <QTextStream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only a regular file of our own, reached without following a link, may be filled and published.
bool isOwnRegularFile(const struct stat &info)
{
    return S_ISREG(info.st_mode) && info.st_uid == ::getuid();
}

} // namespace

RebootFlag::RebootFlag(const QString &publishedFile, const QString &workingCopy)
    : publishedFile(publishedFile), workingCopy(workingCopy)
{
}

bool RebootFlag::isPending(const QString &moduleName) const
{
    QFile file(publishedFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    QString line;
    while (stream.readLineInto(&line)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && trimmed.contains(moduleName))
            return true;
    }
    return false;
}

bool RebootFlag::prepareWorkingCopy() const
{
    const QByteArray workingPath = QFile::encodeName(workingCopy);
    struct stat info;
    if (::lstat(workingPath.constData(), &info) == 0)
        return isOwnRegularFile(info);
    if (errno != ENOENT)
        return false;
    const int fd =
        ::open(workingPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    QFile copy;
    if (!copy.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    QFile published(publishedFile);
    if (published.open(QIODevice::ReadOnly))
        copy.write(published.readAll());
    return copy.flush();
}

bool RebootFlag::addToWorkingCopy(const QString &moduleName) const
{
    const int fd = ::open(QFile::encodeName(workingCopy).constData(),
                          O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    QFile copy;
    if (::fstat(fd, &info) != 0 || !isOwnRegularFile(info) ||
        !copy.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    QTextStream stream(&copy);
    stream << moduleName << '\n';
    stream.flush();
    return stream.status() == QTextStream::Ok && copy.flush();
}
