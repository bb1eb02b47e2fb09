// SPDX-License-Identifier: GPL-2.0-or-later
// Where a report is uploaded to: the server's URL as the settings give it, the way the file
// travels there (its scheme, and for https a fragment "#post" or "#post=FIELD" that asks for a
// multipart form instead of a PUT), and the URL the file ends up at. The URL names a folder:
// the report is stored in it under its own name (PUT, SFTP, FTP); a form is posted to the URL
// itself with the name as the file's name.
#pragma once

#include <QString>
#include <QUrl>

class UploadTarget
{
public:
    enum class Method
    {
        None,
        HttpPut,
        HttpPost,
        Sftp,
        Ftp,
    };

    UploadTarget() = default;
    // An invalid target (method None) when the text is no URL of a supported scheme.
    static UploadTarget fromServer(const QString &server);
    // The name a report is stored under: the archive's own, led by the case id when one is set
    // and the name does not carry it yet (sos puts it in when it collected with it).
    static QString remoteName(const QString &fileName, const QString &caseId);

    bool isValid() const { return kind != Method::None; }
    Method method() const { return kind; }
    // The URL the file goes to: the folder's URL with the name for PUT, SFTP and FTP, the form's
    // for POST. Never has a fragment or a password.
    QUrl destination(const QString &name) const;
    // The form field that carries the file (POST only).
    QString formField() const { return field; }
    // Whether a broken-off upload can go on where it stopped: SFTP and FTP append to the file
    // on the server; HTTP servers keep nothing of a broken-off PUT.
    bool canResume() const { return kind == Method::Sftp || kind == Method::Ftp; }

private:
    QUrl url;
    Method kind = Method::None;
    QString field;
};
