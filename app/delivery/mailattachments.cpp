// SPDX-License-Identifier: GPL-2.0-or-later
#include "mailattachments.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const int KeptDays = 7;

bool isPlain(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('_') || c == QLatin1Char('+') || c == QLatin1Char('-');
}

bool allLinksDangle(const QString &dir)
{
    const QFileInfoList links = QDir(dir).entryInfoList(QDir::Files | QDir::System);
    return std::none_of(links.cbegin(), links.cend(),
                        [](const QFileInfo &link) { return link.exists(); });
}

} // namespace

QString MailAttachments::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/kro-sosreport/mail-attachments");
}

QString MailAttachments::plainName(const QString &fileName)
{
    QString name = fileName;
    for (QChar &c : name) {
        if (!isPlain(c))
            c = QLatin1Char('_');
    }
    // Not hidden, and never read as an option.
    if (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('-')))
        name.prepend(QStringLiteral("report"));
    return name;
}

QStringList MailAttachments::plainLinks(const QStringList &files)
{
    const QString base = folder();
    if (!QDir().mkpath(base) ||
        !QFile::setPermissions(base, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ExeOwner))
        return {};
    removeStale();
    QTemporaryDir dir(base + QStringLiteral("/XXXXXX"));
    if (!dir.isValid())
        return {};
    QStringList links;
    for (const QString &file : files) {
        const QString link = dir.filePath(plainName(QFileInfo(file).fileName()));
        if (!QFile::link(file, link))
            return {};
        links << link;
    }
    dir.setAutoRemove(false);
    return links;
}

void MailAttachments::removeStale()
{
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-KeptDays);
    const QFileInfoList dirs = QDir(folder()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &dir : dirs) {
        if (dir.isSymLink())
            continue;
        if (dir.lastModified() < oldest || allLinksDangle(dir.filePath()))
            QDir(dir.filePath()).removeRecursively();
    }
}
