#include "downloads/DownloadToFile.h"

#include "downloads/PartFile.h"

#include <curl/curl.h>
#include <QUrl>
#include <memory>
#include <stdexcept>

CurlGlobal::CurlGlobal()
{
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK)
        throw std::runtime_error("Die Download-Bibliothek libcurl konnte nicht gestartet werden.");
}

CurlGlobal::~CurlGlobal()
{
    curl_global_cleanup();
}

namespace {

using EasyHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

constexpr long kReceiveBufferSize = 512L * 1024;
constexpr long kMaxRedirects = 10;

std::size_t writeBody(char* data, std::size_t size, std::size_t count, void* partFile)
{
    const std::size_t bytes = size * count;
    const bool written = static_cast<PartFile*>(partFile)->append(data, static_cast<qint64>(bytes));
    return written ? bytes : 0;  // a short count makes libcurl stop with a write error
}

TransferResult failure(const QString& why)
{
    return {false, why};
}

TransferResult curlFailure(CURLcode code, const char* errorBuffer)
{
    return failure(QString::fromUtf8(*errorBuffer != '\0' ? errorBuffer : curl_easy_strerror(code)));
}

bool isHttp(const char* scheme)
{
    const QByteArray name = QByteArray(scheme ? scheme : "").toLower();
    return name == "http" || name == "https";
}

}  // namespace

TransferResult TransferToFile(const QString& url, const QString& fileName, const TransferLimits& limits)
{
    char errorBuffer[CURL_ERROR_SIZE] = {};  // must outlive the handle
    const EasyHandle handle(curl_easy_init(), &curl_easy_cleanup);
    if (!handle)
        return failure(QStringLiteral("curl_easy_init fehlgeschlagen"));
    PartFile part(fileName);
    if (!part.isOpen())
        return failure(part.errorString());

    const QByteArray address = QUrl(url, QUrl::TolerantMode).toEncoded();
    CURL* const curl = handle.get();
    CURLcode code = CURLE_OK;
    const auto check = [&code](CURLcode result) {
        if (code == CURLE_OK)
            code = result;
    };
    check(curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer));
    check(curl_easy_setopt(curl, CURLOPT_URL, address.constData()));
    check(curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file"));
    check(curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L));
    check(curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects));
    check(curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    check(curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L));
    check(curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L));
    check(curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L));
    check(curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L));
    check(curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kavelo"));
    check(curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                           static_cast<long>(std::chrono::milliseconds(limits.connectTimeout).count())));
    // A stall: less than one byte a second over the whole stall time.
    check(curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L));
    check(curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallTimeout.count())));
    check(curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize));
    check(curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeBody));
    check(curl_easy_setopt(curl, CURLOPT_WRITEDATA, &part));
    if (code != CURLE_OK)
        return curlFailure(code, errorBuffer);

    code = curl_easy_perform(curl);
    if (code != CURLE_OK) {
        if (code == CURLE_WRITE_ERROR && !part.errorString().isEmpty())
            return failure(part.errorString());
        return curlFailure(code, errorBuffer);
    }

    long status = 0;
    const char* scheme = nullptr;
    check(curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status));
    check(curl_easy_getinfo(curl, CURLINFO_SCHEME, &scheme));
    if (code != CURLE_OK)
        return curlFailure(code, errorBuffer);
    if (isHttp(scheme) && (status < 200 || status > 299))
        return failure(QStringLiteral("HTTP-Status %1").arg(status));

    if (!part.commit())
        return failure(part.errorString());
    return {true, {}};
}

bool DownloadToFile(const QString& url, const QString& fileName)
{
    return TransferToFile(url, fileName).ok;
}
