// SPDX-License-Identifier: GPL-2.0-or-later
// The questions an upload asks the server on a connection of its own: how much of a file it
// already has, and why a transfer broke off.
#include "uploadsession.h"

#include <QUrl>
#include <memory>

namespace {

using Outcome = UploadResult::Outcome;
using Session = UploadTransfer::Session;

// Asking a server must not hold the upload or its end box back for long.
const long ProbeLimitS = 15;

// The bytes free for the user in the answer of an SFTP server to "statvfs", or -1 without one.
qint64 freeBytes(const QByteArray &answer)
{
    qint64 blocks = -1;
    qint64 blockSize = -1;
    for (const QByteArray &line : answer.split('\n')) {
        const QList<QByteArray> field = line.split(':');
        if (field.size() != 2)
            continue;
        if (field.first() == "f_bavail")
            blocks = field.last().trimmed().toLongLong();
        else if (field.first() == "f_frsize")
            blockSize = field.last().trimmed().toLongLong();
    }
    return blocks >= 0 && blockSize > 0 ? blocks * blockSize : -1;
}

const UploadTransfer::Progress &noProgress()
{
    static const UploadTransfer::Progress none = [](qint64, qint64, double) {
    };
    return none;
}

} // namespace

// A connection that asks and sends nothing.
bool UploadTransfer::startQuestion(Session &question) const
{
    question.curl = uploadLibraries().curl_easy_init();
    if (!question.curl || !configureConnection(question))
        return false;
    uploadLibraries().curl_easy_setopt(question.curl, CURLOPT_NOBODY, 1L);
    uploadLibraries().curl_easy_setopt(question.curl, CURLOPT_TIMEOUT, ProbeLimitS);
    return true;
}

// On a connection of its own, after an SFTP or FTP upload broke off: a server that still answers
// stopped taking the report itself; one whose folder has no room for the rest (as SFTP's
// statvfs tells) is full.
Outcome UploadTransfer::whyBrokenOff(qint64 size) const
{
    Session probe(*this, noProgress());
    if (!startQuestion(probe))
        return Outcome::ConnectionLost;
    CURL *curl = probe.curl;
    const auto freeList = uploadLibraries().curl_slist_free_all;
    std::unique_ptr<curl_slist, decltype(freeList)> quote(nullptr, freeList);
    if (request.target.method() == UploadTarget::Method::Sftp) {
        QString folder = request.target.destination(request.remoteName).path(QUrl::FullyDecoded);
        folder.truncate(folder.lastIndexOf(QLatin1Char('/')) + 1);
        folder.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('"'), QLatin1String("\\\""));
        // "*": a server without the statvfs extension still answers the rest.
        quote.reset(uploadLibraries().curl_slist_append(
            nullptr, ("*statvfs \"" + folder.toUtf8() + '"').constData()));
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_QUOTE, quote.get());
    }
    const CURLcode code = uploadLibraries().curl_easy_perform(curl);
    if (code != CURLE_OK && code != CURLE_REMOTE_FILE_NOT_FOUND)
        return Outcome::ConnectionLost;
    curl_off_t copy = 0;
    uploadLibraries().curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &copy);
    const qint64 room = freeBytes(probe.answer);
    return room >= 0 && room < size - qMax(qint64(copy), qint64(0)) ? Outcome::ServerFull
                                                                    : Outcome::ServerFault;
}

qint64 UploadTransfer::serverPart() const
{
    Session probe(*this, noProgress());
    if (!startQuestion(probe))
        return -1;
    long status = 0;
    curl_off_t size = -1;
    if (uploadLibraries().curl_easy_perform(probe.curl) != CURLE_OK ||
        uploadLibraries().curl_easy_getinfo(probe.curl, CURLINFO_RESPONSE_CODE, &status) !=
            CURLE_OK ||
        status != 200 ||
        uploadLibraries().curl_easy_getinfo(probe.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T,
                                            &size) != CURLE_OK)
        return -1;
    return qint64(size);
}
