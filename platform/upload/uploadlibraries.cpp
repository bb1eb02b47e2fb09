// SPDX-License-Identifier: GPL-2.0-or-later
#include "uploadlibraries.h"

#include <QLibrary>
#include <mutex>
#include <openssl/opensslv.h>

namespace {

UploadLibraries functions;
QString openError;
bool opened = false;

template <typename Function> bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    if (!function)
        openError = library.errorString();
    return function != nullptr;
}

bool resolveAll(QLibrary &curl, QLibrary &crypto)
{
    UploadLibraries &f = functions;
    return resolve(curl, "curl_global_init", f.curl_global_init) &&
           resolve(curl, "curl_easy_init", f.curl_easy_init) &&
           resolve(curl, "curl_easy_setopt", f.curl_easy_setopt) &&
           resolve(curl, "curl_easy_perform", f.curl_easy_perform) &&
           resolve(curl, "curl_easy_getinfo", f.curl_easy_getinfo) &&
           resolve(curl, "curl_easy_cleanup", f.curl_easy_cleanup) &&
           resolve(curl, "curl_easy_strerror", f.curl_easy_strerror) &&
           resolve(curl, "curl_slist_append", f.curl_slist_append) &&
           resolve(curl, "curl_slist_free_all", f.curl_slist_free_all) &&
           resolve(curl, "curl_mime_init", f.curl_mime_init) &&
           resolve(curl, "curl_mime_free", f.curl_mime_free) &&
           resolve(curl, "curl_mime_addpart", f.curl_mime_addpart) &&
           resolve(curl, "curl_mime_name", f.curl_mime_name) &&
           resolve(curl, "curl_mime_filename", f.curl_mime_filename) &&
           resolve(curl, "curl_mime_type", f.curl_mime_type) &&
           resolve(curl, "curl_mime_data_cb", f.curl_mime_data_cb) &&
           resolve(crypto, "EVP_MD_CTX_new", f.EVP_MD_CTX_new) &&
           resolve(crypto, "EVP_MD_CTX_free", f.EVP_MD_CTX_free) &&
           resolve(crypto, "EVP_DigestInit_ex", f.EVP_DigestInit_ex) &&
           resolve(crypto, "EVP_sha256", f.EVP_sha256) &&
           resolve(crypto, "EVP_DigestUpdate", f.EVP_DigestUpdate) &&
           resolve(crypto, "EVP_DigestFinal_ex", f.EVP_DigestFinal_ex);
}

void openOnce()
{
    // The sonames the headers were built against; never unloaded, as libcurl's global state
    // lives as long as the process.
    static QLibrary curl(QStringLiteral("curl"), 4);
    static QLibrary crypto(QStringLiteral("crypto"), OPENSSL_VERSION_MAJOR);
    opened =
        resolveAll(curl, crypto) && functions.curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!opened && openError.isEmpty())
        openError = QStringLiteral("curl_global_init failed");
}

} // namespace

const UploadLibraries *UploadLibraries::open(QString *error)
{
    static std::once_flag once;
    std::call_once(once, openOnce);
    if (!opened && error)
        *error = openError;
    return opened ? &functions : nullptr;
}

const UploadLibraries &uploadLibraries()
{
    return functions;
}
