// SPDX-License-Identifier: GPL-2.0-or-later
// libcurl and the libcrypto it uses, opened on the first upload instead of linked: linked in,
// their two dozen libraries join every symbol lookup of the window's start and slow its first
// paint by a third, for a feature most runs never use. Inside kro_upload only.
#pragma once

#include <QString>
#include <curl/curl.h>
#include <openssl/evp.h>

// The functions of both libraries that the uploads call, named as the libraries name them.
struct UploadLibraries
{
    decltype(&::curl_global_init) curl_global_init = nullptr;
    decltype(&::curl_easy_init) curl_easy_init = nullptr;
    decltype(&::curl_easy_setopt) curl_easy_setopt = nullptr;
    decltype(&::curl_easy_perform) curl_easy_perform = nullptr;
    decltype(&::curl_easy_getinfo) curl_easy_getinfo = nullptr;
    decltype(&::curl_easy_cleanup) curl_easy_cleanup = nullptr;
    decltype(&::curl_easy_strerror) curl_easy_strerror = nullptr;
    decltype(&::curl_slist_append) curl_slist_append = nullptr;
    decltype(&::curl_slist_free_all) curl_slist_free_all = nullptr;
    decltype(&::curl_mime_init) curl_mime_init = nullptr;
    decltype(&::curl_mime_free) curl_mime_free = nullptr;
    decltype(&::curl_mime_addpart) curl_mime_addpart = nullptr;
    decltype(&::curl_mime_name) curl_mime_name = nullptr;
    decltype(&::curl_mime_filename) curl_mime_filename = nullptr;
    decltype(&::curl_mime_type) curl_mime_type = nullptr;
    decltype(&::curl_mime_data_cb) curl_mime_data_cb = nullptr;
    decltype(&::EVP_MD_CTX_new) EVP_MD_CTX_new = nullptr;
    decltype(&::EVP_MD_CTX_free) EVP_MD_CTX_free = nullptr;
    decltype(&::EVP_DigestInit_ex) EVP_DigestInit_ex = nullptr;
    decltype(&::EVP_sha256) EVP_sha256 = nullptr;
    decltype(&::EVP_DigestUpdate) EVP_DigestUpdate = nullptr;
    decltype(&::EVP_DigestFinal_ex) EVP_DigestFinal_ex = nullptr;

    // Opens both libraries and initialises libcurl on the first call, from any thread; later
    // calls answer at once. Null, with the loader's words in *error, when either is missing.
    static const UploadLibraries *open(QString *error);
};

// The functions, once open() has succeeded.
const UploadLibraries &uploadLibraries();
