#pragma once

// libcurl, loaded when the first transfer needs it rather than with the
// program: the library and the ones it pulls in (TLS, LDAP, SSH, ...) would
// otherwise be mapped, relocated and set up before main() in every run, also
// in the many that download nothing. The headers still come from libcurl's
// development package; the calls go through a table of its functions.

#include <curl/curl.h>
#include <QString>

struct CurlFunctions {
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_global_cleanup) global_cleanup = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&curl_easy_strerror) easy_strerror = nullptr;
    decltype(&curl_multi_init) multi_init = nullptr;
    decltype(&curl_multi_cleanup) multi_cleanup = nullptr;
    decltype(&curl_multi_add_handle) multi_add_handle = nullptr;
    decltype(&curl_multi_remove_handle) multi_remove_handle = nullptr;
    decltype(&curl_multi_perform) multi_perform = nullptr;
    decltype(&curl_multi_poll) multi_poll = nullptr;
    decltype(&curl_multi_info_read) multi_info_read = nullptr;
    decltype(&curl_multi_strerror) multi_strerror = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;
    decltype(&curl_getdate) getdate = nullptr;
};

struct CurlLibrary {
    CurlFunctions functions;  // all set when loaded, all null otherwise
    QString error;            // why it could not be loaded, in German; empty when loaded

    bool loaded() const { return error.isEmpty(); }
};

// libcurl as this process has it: loaded and set up (curl_global_init) by the
// first call, from any thread; every later call returns the same result.
// curl_global_cleanup runs when the process ends.
const CurlLibrary& loadCurl();

// The functions of the loaded library; only after loadCurl() has succeeded.
const CurlFunctions& libcurl();

// Loads and sets up libcurl from the library file fileName, each call anew.
// loadCurl() uses it once, with the file the development headers belong to.
CurlLibrary loadCurlFrom(const QString& fileName);
