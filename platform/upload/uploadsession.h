// SPDX-License-Identifier: GPL-2.0-or-later
// What libcurl's callbacks share during one connection of an UploadTransfer, and the callbacks
// that more than one kind of connection uses. Inside kro_upload only.
#pragma once

#include "uploadlibraries.h"
#include "uploadtransfer.h"

#include <QElapsedTimer>
#include <cerrno>
#include <curl/curl.h>
#include <unistd.h>

struct UploadTransfer::Session
{
    Session(const UploadTransfer &owner, const Progress &progress)
        : owner(owner), progress(progress)
    {
    }
    ~Session()
    {
        if (fd >= 0)
            ::close(fd);
        if (mime)
            uploadLibraries().curl_mime_free(mime);
        if (headers)
            uploadLibraries().curl_slist_free_all(headers);
        if (curl)
            uploadLibraries().curl_easy_cleanup(curl);
    }

    bool stopped() const { return owner.stopRequested; }
    // The first bytes out are shown at once, later ones a few times a second.
    bool reportDue() const { return !reported || sinceReport.elapsed() >= owner.intervalMs; }
    const UploadRequest &request() const { return owner.request; }

    const UploadTransfer &owner;
    const Progress &progress;
    CURL *curl = nullptr;
    curl_mime *mime = nullptr;
    curl_slist *headers = nullptr;
    int fd = -1;
    qint64 size = 0;
    qint64 startedAt = 0;
    // Where the body begins in the file: non-zero for a PUT that carries the rest of a file.
    qint64 base = 0;
    // The server answered a PUT carrying the rest of a file as one that does not take parts.
    bool rangeRefused = false;
    bool readFailed = false;
    QByteArray statusLine;
    QByteArray answer;
    QElapsedTimer sinceReport;
    bool reported = false;
    UploadResult result;
    UploadResult::Outcome hostKeyOutcome = UploadResult::Outcome::Done;
    char error[CURL_ERROR_SIZE] = {};

    bool readInto(char *buffer, size_t bytes, qint64 &got)
    {
        ssize_t n;
        do
            n = ::read(fd, buffer, bytes);
        while (n < 0 && errno == EINTR);
        got = n;
        return n >= 0;
    }

    // offset counts from base.
    bool seekTo(qint64 offset)
    {
        if (::lseek(fd, base + offset, SEEK_SET) != base + offset)
            return false;
        startedAt = base + offset;
        return true;
    }
};

namespace UploadCallbacks {

// Keeps the start of what the server sends.
size_t keepAnswer(char *text, size_t size, size_t count, void *data);
// Shows progress and ends the transfer once stopped.
int reportProgress(void *data, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded);

} // namespace UploadCallbacks
