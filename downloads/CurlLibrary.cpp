#include "downloads/CurlLibrary.h"

#include <QLibrary>
#include <type_traits>

namespace {

// The library of the Debian package libcurl4, which the headers of libcurl4-openssl-dev describe.
const QString kCurlFile = QStringLiteral("libcurl.so.4");

// The library of the process, set up once and cleaned up when the process ends.
struct ProcessCurl {
    CurlLibrary library = loadCurlFrom(kCurlFile);

    ~ProcessCurl()
    {
        if (library.loaded())
            library.functions.global_cleanup();
    }
};

}  // namespace

CurlLibrary loadCurlFrom(const QString& fileName)
{
    CurlLibrary result;
    // dlopen() on Linux. The library stays loaded when this object goes:
    // QLibrary unloads only when asked to.
    QLibrary library(fileName);
    if (!library.load()) {
        result.error = QStringLiteral(
                           "Die Download-Bibliothek libcurl fehlt oder lässt sich nicht laden:\r%1\r"
                           "Ohne sie ist kein Download möglich (Debian-Paket libcurl4).")
                           .arg(library.errorString());
        return result;
    }

    QString missing;
    const auto resolve = [&library, &missing](auto& function, const char* symbol) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(symbol));
        if (!function && missing.isEmpty())
            missing = QString::fromLatin1(symbol);
    };
    CurlFunctions& f = result.functions;
    resolve(f.global_init, "curl_global_init");
    resolve(f.global_cleanup, "curl_global_cleanup");
    resolve(f.easy_init, "curl_easy_init");
    resolve(f.easy_cleanup, "curl_easy_cleanup");
    resolve(f.easy_setopt, "curl_easy_setopt");
    resolve(f.easy_getinfo, "curl_easy_getinfo");
    resolve(f.easy_strerror, "curl_easy_strerror");
    resolve(f.multi_init, "curl_multi_init");
    resolve(f.multi_cleanup, "curl_multi_cleanup");
    resolve(f.multi_add_handle, "curl_multi_add_handle");
    resolve(f.multi_remove_handle, "curl_multi_remove_handle");
    resolve(f.multi_perform, "curl_multi_perform");
    resolve(f.multi_poll, "curl_multi_poll");
    resolve(f.multi_info_read, "curl_multi_info_read");
    resolve(f.multi_strerror, "curl_multi_strerror");
    resolve(f.slist_append, "curl_slist_append");
    resolve(f.slist_free_all, "curl_slist_free_all");
    resolve(f.getdate, "curl_getdate");

    if (!missing.isEmpty())
        result.error = QStringLiteral("Die Download-Bibliothek libcurl (%1) ist zu alt: ihr fehlt die Funktion %2.")
                           .arg(library.fileName(), missing);
    else if (f.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        result.error = QStringLiteral("Die Download-Bibliothek libcurl konnte nicht gestartet werden.");
    if (!result.loaded())
        result.functions = {};
    return result;
}

const CurlLibrary& loadCurl()
{
    static const ProcessCurl curl;
    return curl.library;
}

const CurlFunctions& libcurl()
{
    return loadCurl().functions;
}
