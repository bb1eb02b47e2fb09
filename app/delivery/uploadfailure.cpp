// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadfailure.h"

#include <QUrl>

namespace {

using Outcome = UploadResult::Outcome;

QString againText(bool resumable)
{
    return resumable ? UploadFailure::tr("Upload the report again to the same server to go on "
                                         "where it stopped.")
                     : UploadFailure::tr("Uploading it again starts from the beginning.");
}

// The server kept the part it took: the next upload adds the rest.
QString keptText(bool resumable)
{
    return resumable ? QLatin1Char(' ') + againText(true) : QString();
}

} // namespace

QString UploadFailure::title(const UploadResult &result)
{
    return result.outcome == Outcome::Stopped ? tr("Upload Stopped") : tr("Upload Failed");
}

QString UploadFailure::text(const UploadResult &result, bool resumable)
{
    const QString server = QUrl(result.destination).host();
    switch (result.outcome) {
    case Outcome::Stopped:
        return tr("The upload was stopped.") + QLatin1Char(' ') + againText(resumable);
    case Outcome::ConnectionLost:
        return tr("The connection to %1 broke off during the upload.").arg(server) +
               QLatin1Char(' ') + againText(resumable);
    case Outcome::WrongPassword:
        return tr("%1 did not accept the user name or the password. Check both and upload "
                  "again.")
            .arg(server);
    case Outcome::Unreachable:
        return tr("%1 cannot be reached. Check the server's address and the network "
                  "connection, or try again later.")
            .arg(server);
    case Outcome::CertificateUntrusted:
        return tr("The certificate of %1 is not trusted, so nothing was sent. If the server "
                  "belongs to your company, ask its administrator for the CA file and choose "
                  "it as the extra CA file.")
            .arg(server);
    case Outcome::HostKeyChanged:
        return tr("The key of %1 differs from the one known for it (%2), so nothing was sent. "
                  "Ask the server's administrator whether the key was changed.")
            .arg(server, result.fingerprint);
    case Outcome::ServerFull:
        return tr("%1 has no room left for the report. Ask the server's administrator to free "
                  "some space, then upload again.")
                   .arg(server) +
               keptText(resumable);
    case Outcome::ServerFault:
        return tr("%1 could not store the report: it failed on its side, most often because "
                  "its disk is full. Ask the server's administrator to check its free space, "
                  "then upload again.")
                   .arg(server) +
               keptText(resumable);
    case Outcome::Refused:
        return tr("%1 refused to store the report. Check the folder in the server's address "
                  "and that your user may write there.")
            .arg(server);
    case Outcome::FileUnreadable:
        return tr("The report file cannot be read, so nothing was sent.");
    case Outcome::CaFileUnreadable:
        return tr("The extra CA file cannot be read:\n%1\nChoose a readable certificate file, "
                  "or clear the field to trust only the system's certificates.")
            .arg(result.detail);
    case Outcome::Done:
    case Outcome::HostKeyUnknown:
    case Outcome::Failed:
        break;
    }
    return tr("The upload to %1 failed.").arg(server);
}
