// SPDX-License-Identifier: GPL-2.0-or-later
#include "readaccess.h"

#include "regularfile.h"

#include <QByteArray>
#include <QtEndian>
#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

// The kernel's form of an access control list (linux/posix_acl_xattr.h), little-endian.
const quint32 Version = 2;
const quint32 NoId = quint32(-1);
enum Tag : quint16
{
    UserObj = 0x01,
    User = 0x02,
    GroupObj = 0x04,
    Mask = 0x10,
    Other = 0x20
};
const quint16 Read = 4;

void append(QByteArray &list, quint16 tag, quint16 permissions, quint32 id)
{
    char entry[8];
    qToLittleEndian(tag, entry);
    qToLittleEndian(permissions, entry + 2);
    qToLittleEndian(id, entry + 4);
    list.append(entry, sizeof entry);
}

} // namespace

QString ReadAccess::grant(int fd, uid_t user)
{
    struct stat info
    {
    };
    if (fstat(fd, &info) != 0)
        return RegularFile::errnoText(QStringLiteral("cannot read the report"));
    if (info.st_uid == user)
        return fchmod(fd, (info.st_mode & 07777) | S_IRUSR) == 0
                   ? QString()
                   : RegularFile::errnoText(
                         QStringLiteral("cannot change the report's permissions"));
    // A list made anew from the permission bits, entries in the order the kernel wants: the
    // mask adds only read, so the group keeps exactly its own permissions, and entries some
    // earlier call left for other users are dropped.
    const quint16 owner = (info.st_mode >> 6) & 7, group = (info.st_mode >> 3) & 7,
                  others = info.st_mode & 7;
    QByteArray list(4, '\0');
    qToLittleEndian(Version, list.data());
    append(list, UserObj, owner, NoId);
    append(list, User, Read, quint32(user));
    append(list, GroupObj, group, NoId);
    append(list, Mask, group | Read, NoId);
    append(list, Other, others, NoId);
    if (fsetxattr(fd, "system.posix_acl_access", list.constData(), size_t(list.size()), 0) == 0)
        return {};
    if (errno == EOPNOTSUPP)
        return QStringLiteral("the report's file system cannot give one user read access");
    return RegularFile::errnoText(QStringLiteral("cannot give you read access to the report"));
}
