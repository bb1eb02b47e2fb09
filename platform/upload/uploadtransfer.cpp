// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadtransfer.h"

#include "uploadsession.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <curl/curl.h>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sched.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Outcome = UploadResult::Outcome;

const long ConnectTimeoutS = 30;
// A server that takes nothing for a minute is gone.
const long StallLimitS = 60;
const int AnswerLimitBytes = 16 * 1024;
// A report is private: the server's copy is the uploading user's alone where the protocol says.
const long ServerFileMode = 0600;
const qint64 SumChunkBytes = 1 << 20;
const char *const Protocols = "https,sftp,ftp,ftps";
const char *const UserAgent = "kro-sosreport";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// SHA-256 by OpenSSL, which uses the processor's SHA instructions (Qt's own sums a few tens of
// MiB a second), of the file behind fd, read with its own offset so that the transfer's reads
// go on beside it; run on a thread of its own. Empty when abandoned or the file cannot be read.
QByteArray fileSum(int fd, const std::atomic_bool &abandoned)
{
    // Only what the transfer leaves of the processor: where the network is faster than the
    // processor, the sum comes after the last byte rather than slowing it down.
    const sched_param idle{};
    ::sched_setscheduler(0, SCHED_IDLE, &idle);
    const UploadLibraries &crypto = uploadLibraries();
    std::unique_ptr<EVP_MD_CTX, decltype(crypto.EVP_MD_CTX_free)> context(crypto.EVP_MD_CTX_new(),
                                                                          crypto.EVP_MD_CTX_free);
    uploadLibraries().EVP_DigestInit_ex(context.get(), uploadLibraries().EVP_sha256(), nullptr);
    QByteArray chunk(int(SumChunkBytes), Qt::Uninitialized);
    for (off_t offset = 0;;) {
        if (abandoned)
            return {};
        const ssize_t got = ::pread(fd, chunk.data(), size_t(chunk.size()), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return {};
        if (got == 0)
            break;
        uploadLibraries().EVP_DigestUpdate(context.get(), chunk.constData(), size_t(got));
        offset += got;
    }
    unsigned char sum[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    uploadLibraries().EVP_DigestFinal_ex(context.get(), sum, &size);
    return QByteArray(reinterpret_cast<const char *>(sum), int(size)).toHex();
}

} // namespace

namespace {

using Session = UploadTransfer::Session;

size_t readFile(char *buffer, size_t size, size_t count, void *data)
{
    auto *session = static_cast<Session *>(data);
    qint64 got = 0;
    if (!session->readInto(buffer, size * count, got)) {
        session->readFailed = true;
        return CURL_READFUNC_ABORT;
    }
    return size_t(got);
}

int seekFile(void *data, curl_off_t offset, int origin)
{
    auto *session = static_cast<Session *>(data);
    if (origin != SEEK_SET)
        return CURL_SEEKFUNC_CANTSEEK;
    return session->seekTo(offset) ? CURL_SEEKFUNC_OK : CURL_SEEKFUNC_FAIL;
}

size_t keepStatusLine(char *text, size_t size, size_t count, void *data)
{
    const QByteArray line(text, int(size * count));
    if (line.startsWith("HTTP/"))
        static_cast<Session *>(data)->statusLine = line.trimmed();
    return size * count;
}

int checkHostKey(CURL *, const curl_khkey *, const curl_khkey *found, curl_khmatch match,
                 void *data)
{
    auto *session = static_cast<Session *>(data);
    if (match == CURLKHMATCH_OK)
        return CURLKHSTAT_FINE;
    const QByteArray key =
        found->len ? QByteArray(found->key, int(found->len)) : QByteArray::fromBase64(found->key);
    session->result.hostKey = key;
    session->result.fingerprint =
        QStringLiteral("SHA256:") +
        QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256)
                                .toBase64(QByteArray::OmitTrailingEquals));
    if (match == CURLKHMATCH_MISMATCH) {
        session->hostKeyOutcome = Outcome::HostKeyChanged;
        return CURLKHSTAT_REJECT;
    }
    const QByteArray &accepted = session->request().acceptedHostKey;
    if (!accepted.isEmpty() && key == accepted)
        return CURLKHSTAT_FINE_ADD_TO_FILE;
    session->hostKeyOutcome = Outcome::HostKeyUnknown;
    return CURLKHSTAT_REJECT;
}

} // namespace

size_t UploadCallbacks::keepAnswer(char *text, size_t size, size_t count, void *data)
{
    auto *session = static_cast<Session *>(data);
    const int room = AnswerLimitBytes - session->answer.size();
    session->answer.append(text, int(qMin(size * count, size_t(qMax(room, 0)))));
    return size * count;
}

int UploadCallbacks::reportProgress(void *data, curl_off_t, curl_off_t, curl_off_t,
                                    curl_off_t uploaded)
{
    auto *session = static_cast<Session *>(data);
    if (session->stopped())
        return 1;
    if (uploaded > 0 && session->reportDue()) {
        session->sinceReport.restart();
        session->reported = true;
        curl_off_t rate = 0;
        uploadLibraries().curl_easy_getinfo(session->curl, CURLINFO_SPEED_UPLOAD_T, &rate);
        session->progress(qMin(session->size, session->startedAt + qint64(uploaded)), session->size,
                          double(rate));
    }
    return 0;
}

namespace {

using UploadCallbacks::keepAnswer;
using UploadCallbacks::reportProgress;

Outcome httpOutcome(long status)
{
    if (status < 400)
        return Outcome::Done;
    if (status == 401)
        return Outcome::WrongPassword;
    if (status == 507)
        return Outcome::ServerFull;
    // nginx, for one, answers a full disk with 500.
    if (status >= 500)
        return Outcome::ServerFault;
    return Outcome::Refused;
}

// What a failed transfer means for the user. sent tells a server that went away in the middle
// from one never reached.
Outcome failureOutcome(CURLcode code, long response, qint64 sent)
{
    switch (code) {
    case CURLE_ABORTED_BY_CALLBACK:
        return Outcome::Stopped;
    case CURLE_READ_ERROR:
        return Outcome::FileUnreadable;
    case CURLE_LOGIN_DENIED:
        return Outcome::WrongPassword;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
        return sent > 0 ? Outcome::ConnectionLost : Outcome::Unreachable;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
        return Outcome::CertificateUntrusted;
    case CURLE_REMOTE_DISK_FULL:
        return Outcome::ServerFull;
    case CURLE_UPLOAD_FAILED:
        // FTP's "insufficient storage" and "exceeded storage allocation"; "local error in
        // processing" is a write that failed on the server's side.
        if (response == 452 || response == 552)
            return Outcome::ServerFull;
        return response == 451 ? Outcome::ServerFault : Outcome::Refused;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return Outcome::Refused;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_SSH:
        return Outcome::ConnectionLost;
    default:
        return Outcome::Failed;
    }
}

} // namespace

UploadTransfer::UploadTransfer(UploadRequest request, int intervalMs)
    : request(std::move(request)), intervalMs(intervalMs)
{
}

// HTTP servers seldom keep part of a PUT that broke off; one that did is sent the rest, and one
// that does not take the rest gets the whole file again.
UploadResult UploadTransfer::run(const Progress &progress)
{
    UploadResult missing;
    if (!UploadLibraries::open(&missing.detail))
        return missing;
    const bool put = request.target.method() == UploadTarget::Method::HttpPut;
    const qint64 part = put && request.resume ? serverPart() : 0;
    bool rangeRefused = false;
    UploadResult result = runFrom(qMax(part, qint64(0)), progress, rangeRefused);
    if (!rangeRefused)
        return result;
    result = runFrom(0, progress, rangeRefused);
    result.restarted = true;
    return result;
}

// from: where the body of a PUT that carries the rest of the file begins, 0 for all of it.
UploadResult UploadTransfer::runFrom(qint64 from, const Progress &progress, bool &rangeRefused)
{
    Session session(*this, progress);
    session.result.destination = request.target.destination(request.remoteName).toString();
    session.fd = ::open(QFile::encodeName(request.file).constData(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (session.fd < 0 || ::fstat(session.fd, &info) != 0) {
        session.result.outcome = Outcome::FileUnreadable;
        session.result.detail = QString::fromLocal8Bit(strerror(errno));
        return session.result;
    }
    session.size = session.result.size = info.st_size;
    session.curl = uploadLibraries().curl_easy_init();
    if (!session.curl || !configure(session))
        return session.result;
    if (from > 0 && from < session.size && !sendRest(session, from))
        return session.result;
    // The checksum is made beside the transfer, which does not wait for it.
    std::atomic_bool abandoned{false};
    std::future<QByteArray> sum =
        std::async(std::launch::async, fileSum, session.fd, std::cref(abandoned));
    session.sinceReport.start();
    const CURLcode code = uploadLibraries().curl_easy_perform(session.curl);
    finish(session, code);
    rangeRefused = session.rangeRefused;
    abandoned = session.result.outcome != Outcome::Done;
    session.result.sha256 = sum.get();
    return session.result;
}

// A PUT of the file from byte from on, as the rest of the server's copy.
bool UploadTransfer::sendRest(Session &session, qint64 from) const
{
    session.base = from;
    if (!session.seekTo(0)) {
        session.result.outcome = Outcome::FileUnreadable;
        return false;
    }
    const QByteArray range = "Content-Range: bytes " + QByteArray::number(from) + '-' +
                             QByteArray::number(session.size - 1) + '/' +
                             QByteArray::number(session.size);
    session.headers = uploadLibraries().curl_slist_append(nullptr, range.constData());
    uploadLibraries().curl_easy_setopt(session.curl, CURLOPT_HTTPHEADER, session.headers);
    uploadLibraries().curl_easy_setopt(session.curl, CURLOPT_INFILESIZE_LARGE,
                                       curl_off_t(session.size - from));
    return true;
}

// What every connection to the server has: its address, the user and the checks of its
// identity. False when the extra CA file cannot be read.
bool UploadTransfer::configureConnection(Session &session) const
{
    CURL *curl = session.curl;
    const QByteArray url = request.target.destination(request.remoteName).toEncoded();
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, Protocols);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_USERAGENT, UserAgent);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, session.error);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, ConnectTimeoutS);
    if (!request.user.isEmpty()) {
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_USERNAME,
                                           request.user.toUtf8().constData());
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_PASSWORD,
                                           request.password.toUtf8().constData());
    }
    // Stop is heard also while connecting; what the server says is kept, never printed.
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, reportProgress);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &session);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, keepAnswer);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_WRITEDATA, &session);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, keepAnswer);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_HEADERDATA, &session);
    configureSecurity(session);
    return session.result.outcome != Outcome::CaFileUnreadable;
}

bool UploadTransfer::configure(Session &session) const
{
    CURL *curl = session.curl;
    if (!configureConnection(session))
        return false;
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, StallLimitS);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, keepStatusLine);
    if (request.target.method() == UploadTarget::Method::HttpPost) {
        session.mime = uploadLibraries().curl_mime_init(curl);
        curl_mimepart *part = uploadLibraries().curl_mime_addpart(session.mime);
        uploadLibraries().curl_mime_name(part, request.target.formField().toUtf8().constData());
        uploadLibraries().curl_mime_filename(part, request.remoteName.toUtf8().constData());
        uploadLibraries().curl_mime_type(part, "application/octet-stream");
        uploadLibraries().curl_mime_data_cb(part, session.size, readFile, seekFile, nullptr,
                                            &session);
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_MIMEPOST, session.mime);
    } else {
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE,
                                           curl_off_t(session.size));
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_READFUNCTION, readFile);
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_READDATA, &session);
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_SEEKFUNCTION, seekFile);
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_SEEKDATA, &session);
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_NEW_FILE_PERMS, ServerFileMode);
        // libcurl asks the server for the size of its copy and sends the rest.
        if (request.resume && request.target.canResume())
            uploadLibraries().curl_easy_setopt(curl, CURLOPT_RESUME_FROM_LARGE, curl_off_t(-1));
    }
    return true;
}

// TLS servers are checked against the system's certificates, plus the extra CA file when one is
// given; SFTP servers against the user's known hosts. Nothing here can turn a check off.
void UploadTransfer::configureSecurity(Session &session) const
{
    CURL *curl = session.curl;
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (request.target.method() == UploadTarget::Method::Ftp)
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_TRY));
    if (!request.caFile.isEmpty()) {
        const QByteArray extra = readAll(request.caFile);
        if (extra.isEmpty()) {
            session.result.outcome = Outcome::CaFileUnreadable;
            session.result.detail = request.caFile;
            return;
        }
        char *systemBundle = nullptr;
        uploadLibraries().curl_easy_getinfo(curl, CURLINFO_CAINFO, &systemBundle);
        QByteArray bundle = systemBundle ? readAll(QFile::decodeName(systemBundle)) : QByteArray();
        bundle += '\n' + extra;
        curl_blob blob{bundle.data(), size_t(bundle.size()), CURL_BLOB_COPY};
        uploadLibraries().curl_easy_setopt(curl, CURLOPT_CAINFO_BLOB, &blob);
    }
    QString knownHosts = request.knownHostsFile;
    if (knownHosts.isEmpty()) {
        const QString sshFolder = QDir::home().filePath(QStringLiteral(".ssh"));
        QDir().mkpath(sshFolder);
        knownHosts = sshFolder + QStringLiteral("/known_hosts");
    }
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_SSH_KNOWNHOSTS,
                                       QFile::encodeName(knownHosts).constData());
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_SSH_KEYFUNCTION, checkHostKey);
    uploadLibraries().curl_easy_setopt(curl, CURLOPT_SSH_KEYDATA, &session);
}

void UploadTransfer::finish(Session &session, int code) const
{
    UploadResult &result = session.result;
    long response = 0;
    uploadLibraries().curl_easy_getinfo(session.curl, CURLINFO_RESPONSE_CODE, &response);
    curl_off_t sent = 0;
    uploadLibraries().curl_easy_getinfo(session.curl, CURLINFO_SIZE_UPLOAD_T, &sent);
    const bool http = request.target.method() == UploadTarget::Method::HttpPut ||
                      request.target.method() == UploadTarget::Method::HttpPost;
    if (code == CURLE_OK)
        result.outcome = http ? httpOutcome(response) : Outcome::Done;
    else if (session.readFailed)
        result.outcome = Outcome::FileUnreadable;
    else if (session.hostKeyOutcome != Outcome::Done)
        result.outcome = session.hostKeyOutcome;
    else
        result.outcome = failureOutcome(CURLcode(code), response, qint64(sent));
    // nginx answers 501; others 400, 405 or 416.
    session.rangeRefused =
        session.base > 0 && code == CURLE_OK &&
        (response == 400 || response == 405 || response == 416 || response == 501);
    // SFTP and FTP servers that cannot write close the connection like one that went away.
    if (result.outcome == Outcome::ConnectionLost && request.target.canResume())
        result.outcome = whyBrokenOff(session.size);
    result.resumedAt = session.startedAt;
    if (http)
        result.serverAnswer =
            QString::fromUtf8(session.statusLine + '\n' + session.answer).trimmed();
    if (code != CURLE_OK)
        result.detail = QString::fromUtf8(
            session.error[0] ? session.error
                             : uploadLibraries().curl_easy_strerror(CURLcode(code)));
    if (result.outcome == Outcome::Done)
        session.progress(session.size, session.size, 0);
}
