// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadtarget.h"

namespace {

const QString PostMarker = QStringLiteral("post");
const QString DefaultFormField = QStringLiteral("file");

// A case id is free text: only what is safe in a file name on any server stays.
QString safeForName(const QString &text)
{
    QString safe;
    for (const QChar c : text)
        safe += c.isLetterOrNumber() && c.unicode() < 128 ? c
                : QStringLiteral("-._").contains(c)       ? c
                                                          : QLatin1Char('_');
    return safe;
}

} // namespace

UploadTarget UploadTarget::fromServer(const QString &server)
{
    UploadTarget target;
    const QUrl url(server.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return target;
    const QString scheme = url.scheme().toLower();
    const QString fragment = url.fragment();
    if (scheme == QLatin1String("https")) {
        target.kind = Method::HttpPut;
        if (fragment == PostMarker || fragment.startsWith(PostMarker + QLatin1Char('='))) {
            target.kind = Method::HttpPost;
            target.field = fragment.mid(PostMarker.size() + 1);
            if (target.field.isEmpty())
                target.field = DefaultFormField;
        }
    } else if (scheme == QLatin1String("sftp")) {
        target.kind = Method::Sftp;
    } else if (scheme == QLatin1String("ftp") || scheme == QLatin1String("ftps")) {
        target.kind = Method::Ftp;
    }
    target.url = url.adjusted(QUrl::RemoveFragment | QUrl::RemovePassword);
    return target;
}

QString UploadTarget::remoteName(const QString &fileName, const QString &caseId)
{
    const QString id = safeForName(caseId.trimmed());
    if (id.isEmpty() || fileName.contains(id))
        return fileName;
    return id + QLatin1Char('-') + fileName;
}

QUrl UploadTarget::destination(const QString &name) const
{
    if (kind == Method::HttpPost)
        return url;
    QUrl file = url;
    QString folder = url.path();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    file.setPath(folder + name);
    return file;
}
