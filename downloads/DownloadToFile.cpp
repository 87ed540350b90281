#include "downloads/DownloadToFile.h"

#include "downloads/ContentRange.h"
#include "downloads/CurlLibrary.h"
#include "platform/files/PartFile.h"
#include "platform/network/CertificateTrust.h"
#include "platform/network/NetworkProxy.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

using EasyHandle = std::unique_ptr<CURL, decltype(CurlFunctions::easy_cleanup)>;
using MultiHandle = std::unique_ptr<CURLM, decltype(CurlFunctions::multi_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(CurlFunctions::slist_free_all)>;

constexpr long kReceiveBufferSize = 512L * 1024;
constexpr long kMaxRedirects = 10;
// How long the transfer waits for its sockets before it looks at the cancel flag again.
constexpr int kCancelPollMs = 100;

TransferResult failure(const QString& why)
{
    return {false, why, {}};
}

QString curlText(CURLcode code, const char* errorBuffer)
{
    return QString::fromUtf8(*errorBuffer != '\0' ? errorBuffer : libcurl().easy_strerror(code));
}

TransferResult curlFailure(CURLcode code, const char* errorBuffer)
{
    return failure(curlText(code, errorBuffer));
}

bool isHttp(const char* scheme)
{
    const QByteArray name = QByteArray(scheme ? scheme : "").toLower();
    return name == "http" || name == "https";
}

QString httpError(long status)
{
    return QStringLiteral("HTTP-Fehler %1").arg(status);
}

constexpr long kConnectionRefused = ECONNREFUSED;

// Why a transfer failed, in a few German words that tell a certificate
// problem from a typing error or a proxy in the way; libcurl's own text for
// the rest. viaProxy: the address was sent to a proxy.
QString failureReason(CURL* curl, CURLcode code, const char* errorBuffer, bool viaProxy)
{
    long status = 0;
    long osError = 0;
    const char* scheme = nullptr;
    libcurl().easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    libcurl().easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError);
    libcurl().easy_getinfo(curl, CURLINFO_SCHEME, &scheme);
    switch (code) {
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        return QStringLiteral("Server-Zertifikat nicht vertrauenswürdig");
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("Server nicht gefunden");
    case CURLE_COULDNT_RESOLVE_PROXY:
        return QStringLiteral("Proxy-Server nicht gefunden");
    case CURLE_COULDNT_CONNECT:
        if (osError == kConnectionRefused)
            return viaProxy ? QStringLiteral("Verbindung zum Proxy-Server abgelehnt")
                            : QStringLiteral("Verbindung abgelehnt");
        return viaProxy ? QStringLiteral("Keine Verbindung zum Proxy-Server")
                        : QStringLiteral("Keine Verbindung zum Server");
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("Zeitüberschreitung");
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("Übertragung vor dem Ende abgebrochen");
    case CURLE_TOO_MANY_REDIRECTS:
        return QStringLiteral("Zu viele Weiterleitungen");
    case CURLE_UNSUPPORTED_PROTOCOL:
        return QStringLiteral("Adresse mit nicht erlaubtem Protokoll");
    case CURLE_URL_MALFORMAT:
        return QStringLiteral("Ungültige Adresse");
    case CURLE_GOT_NOTHING:
        return QStringLiteral("Keine Antwort vom Server");
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return QStringLiteral("Verbindung unterbrochen");
    case CURLE_SSL_CONNECT_ERROR:
        return QStringLiteral("Sichere Verbindung fehlgeschlagen");
    case CURLE_OUT_OF_MEMORY:
        return QStringLiteral("Nicht genügend Arbeitsspeicher");
    case CURLE_HTTP_RETURNED_ERROR:
    case CURLE_WRITE_ERROR:  // the body of an answer that is no success was refused
        if (isHttp(scheme) && status >= 300)
            return httpError(status);
        break;
    default:
        break;
    }
    return curlText(code, errorBuffer);
}

// The headers of an attempt's answers, all together.
constexpr qsizetype kMaxHeaderBytes = qsizetype{256} * 1024;

// A Last-Modified date guards a range only when the file had been left alone
// for a while before the answer was made: a file changed twice within the same
// second would otherwise keep its date.
constexpr qint64 kSettledSeconds = 60;

bool isStrongETag(const QByteArray& tag)
{
    return tag.size() >= 2 && tag.startsWith('"') && tag.endsWith('"');
}

bool isSettled(const QByteArray& lastModified, const QByteArray& date)
{
    if (lastModified.isEmpty() || date.isEmpty())
        return false;
    const time_t modified = libcurl().getdate(lastModified.constData(), nullptr);
    const time_t answered = libcurl().getdate(date.constData(), nullptr);
    return modified != -1 && answered != -1 && modified <= answered - kSettledSeconds;
}

}  // namespace

// What is known of the answer being received in one attempt.
struct FileTransfer::Answer {
    CURL* curl = nullptr;
    qint64 offset = 0;          // where the requested range starts; 0: the whole body was asked for
    bool answered = false;      // a status line has come
    bool bodyStarted = false;   // the body of a 2xx answer goes into the part
    bool rejected = false;      // a 206 that does not continue the part
    qsizetype headerBytes = 0;  // of every answer of this attempt, redirects and interim ones included
    bool headersTooLarge = false;
    bool viaProxy = false;  // the address goes to a proxy
    QByteArray etag;
    QByteArray lastModified;
    QByteArray date;
    QByteArray contentRange;

    // What proves that a later part of this body belongs to the same file: a
    // strong ETag, else a settled Last-Modified; empty when nothing does.
    QByteArray strongValidator() const
    {
        if (isStrongETag(etag))
            return etag;
        return isSettled(lastModified, date) ? lastModified : QByteArray();
    }
    // Whether this answer carries expected, which strongValidator() gave.
    bool carries(const QByteArray& expected) const
    {
        return expected == (isStrongETag(expected) ? etag : lastModified);
    }
};

FileTransfer::FileTransfer(const QString& address, std::shared_ptr<const TargetPath> target,
                           const TransferLimits& transferLimits, const CancelFlag& cancelFlag)
    : url(address)
    , place(std::move(target))
    , limits(transferLimits)
    , cancel(cancelFlag)
{
}

FileTransfer::~FileTransfer() = default;

TransferResult FileTransfer::attempt()
{
    if (cancel.isSet())
        return endAttempt(failure({}));
    if (const CurlLibrary& library = loadCurl(); !library.loaded())
        return failure(library.error);
    if (!part) {
        validator.clear();
        part = std::make_unique<PartFile>(place);
        if (!part->isOpen()) {
            const QString why = part->errorString();
            part.reset();
            return failure(why);
        }
    }
    if (validator.isEmpty() && part->size() != 0 && !part->restart())
        return endAttempt(failure(part->errorString()));

    answer = std::make_unique<Answer>();
    answer->offset = validator.isEmpty() ? 0 : part->size();
    received = part->size();
    TransferResult result = perform();
    if (answer->rejected && !cancel.isSet()) {
        // The rest did not fit the part: the whole body instead, in this attempt.
        validator.clear();
        if (!part->restart())
            return endAttempt(failure(part->errorString()));
        answer = std::make_unique<Answer>();
        received = 0;
        result = perform();
    }
    return endAttempt(result);
}

TransferResult FileTransfer::endAttempt(TransferResult result)
{
    const bool cancelled = !result.ok && cancel.isSet();
    if (cancelled)
        result.error = QStringLiteral("Download abgebrochen");
    // The part goes after a success (it was renamed: nothing is left to
    // remove), a break-off (its temporary file is removed) and a write error
    // (its contents are not to be trusted).
    if (result.ok || cancelled || (part && !part->errorString().isEmpty()))
        part.reset();
    if (!part) {
        validator.clear();
        received = 0;
        total = -1;
    }
    return result;
}

std::size_t FileTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    const std::size_t bytes = size * count;
    Answer& answer = *static_cast<FileTransfer*>(self)->answer;
    // A server that sends header lines without end would hold the attempt;
    // libcurl bounds only each line, or the whole at a size of its version.
    answer.headerBytes += static_cast<qsizetype>(bytes);
    if (answer.headerBytes > kMaxHeaderBytes) {
        answer.headersTooLarge = true;
        return 0;
    }
    const QByteArray line(data, static_cast<qsizetype>(bytes));
    if (line.startsWith("HTTP/")) {
        // A new answer: an interim one, a redirect, or the final one.
        answer.answered = true;
        answer.etag.clear();
        answer.lastModified.clear();
        answer.date.clear();
        answer.contentRange.clear();
        return bytes;
    }
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return bytes;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "etag")
        answer.etag = value;
    else if (name == "last-modified")
        answer.lastModified = value;
    else if (name == "date")
        answer.date = value;
    else if (name == "content-range")
        answer.contentRange = value;
    return bytes;
}

std::size_t FileTransfer::onBody(char* data, std::size_t size, std::size_t count, void* self)
{
    const std::size_t bytes = size * count;
    auto* transfer = static_cast<FileTransfer*>(self);
    if (!transfer->answer->bodyStarted && !transfer->startBody())
        return bytes + 1;  // any other count makes libcurl stop with a write error
    if (!transfer->part->append(data, static_cast<qint64>(bytes)))
        return bytes + 1;
    transfer->received += static_cast<qint64>(bytes);
    return bytes;
}

// Decides, when the body of the final answer begins, whether it continues
// the part (a 206 from exactly its end) or replaces it (any other 2xx).
bool FileTransfer::startBody()
{
    Answer& current = *answer;
    long status = 0;
    const char* scheme = nullptr;
    libcurl().easy_getinfo(current.curl, CURLINFO_RESPONSE_CODE, &status);
    libcurl().easy_getinfo(current.curl, CURLINFO_SCHEME, &scheme);
    const bool http = isHttp(scheme);
    if (http && (status < 200 || status > 299))
        return false;

    if (http && status == 206) {
        // Only the rest of the same file continues the part: the range asked
        // for, under the validator it was asked with. A server that ignored
        // If-Range gives itself away by another validator or none.
        const std::optional<ContentRange> range = parseContentRange(current.contentRange);
        const bool fits =
            range && range->first == current.offset && (range->total < 0 || range->last == range->total - 1);
        if (current.offset == 0 || !fits || !current.carries(validator)) {
            current.rejected = true;
            return false;
        }
        total = range->total;
    } else {
        if (part->size() != 0 && !part->restart())
            return false;
        validator = http ? current.strongValidator() : QByteArray();
        curl_off_t length = -1;
        libcurl().easy_getinfo(current.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        total = length;
    }
    received = part->size();
    current.bodyStarted = true;
    return true;
}

namespace {

// Runs the transfer of curl to its end, looking at the cancel flag between
// the waits for its sockets; CURLE_ABORTED_BY_CALLBACK when it was set.
CURLcode drive(CURL* curl, const CancelFlag& cancel, char* errorBuffer)
{
    const auto multiFailure = [errorBuffer](CURLMcode code) {
        std::strncpy(errorBuffer, libcurl().multi_strerror(code), CURL_ERROR_SIZE - 1);
        return CURLE_FAILED_INIT;
    };
    const MultiHandle multi(libcurl().multi_init(), libcurl().multi_cleanup);
    if (!multi)
        return CURLE_OUT_OF_MEMORY;
    if (const CURLMcode added = libcurl().multi_add_handle(multi.get(), curl); added != CURLM_OK)
        return multiFailure(added);

    CURLcode result = CURLE_OK;
    int running = 1;
    while (true) {
        if (const CURLMcode code = libcurl().multi_perform(multi.get(), &running); code != CURLM_OK) {
            result = multiFailure(code);
            break;
        }
        if (running == 0) {
            int left = 0;
            while (const CURLMsg* message = libcurl().multi_info_read(multi.get(), &left))
                if (message->msg == CURLMSG_DONE)
                    result = message->data.result;
            break;
        }
        if (cancel.isSet()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (const CURLMcode code = libcurl().multi_poll(multi.get(), nullptr, 0, kCancelPollMs, nullptr);
            code != CURLM_OK) {
            result = multiFailure(code);
            break;
        }
    }
    libcurl().multi_remove_handle(multi.get(), curl);
    return result;
}

// The program's proxy, never libcurl's own reading of the environment: the
// proxy of the first address's scheme, which redirects keep, and the hosts
// that go direct, which libcurl checks at every redirect. Besides, further
// authorities from SSL_CERT_FILE and SSL_CERT_DIR, as OpenSSL's tools take
// them; libcurl alone would read only its built-in bundle and folder.
CURLcode useNetwork(CURL* curl, const QUrl& target)
{
    const NetworkProxy& proxy = programProxy();
    CURLcode code =
        libcurl().easy_setopt(curl, CURLOPT_PROXY, proxy.curlProxy(target).toUtf8().constData());  // "": direct
    if (code == CURLE_OK)
        code = libcurl().easy_setopt(curl, CURLOPT_NOPROXY, proxy.curlNoProxy().constData());
    const AddedAuthorities added = addedAuthorities();
    if (code == CURLE_OK && !added.file.isEmpty())
        code = libcurl().easy_setopt(curl, CURLOPT_CAINFO, QFile::encodeName(added.file).constData());
    if (code == CURLE_OK && !added.folders.isEmpty())
        code = libcurl().easy_setopt(curl, CURLOPT_CAPATH,
                                     QFile::encodeName(added.folders.join(QDir::listSeparator())).constData());
    return code;
}

}  // namespace

TransferResult FileTransfer::perform()
{
    char errorBuffer[CURL_ERROR_SIZE] = {};  // must outlive the handle
    const EasyHandle handle(libcurl().easy_init(), libcurl().easy_cleanup);
    if (!handle)
        return failure(QStringLiteral("curl_easy_init fehlgeschlagen"));

    const QUrl target(url, QUrl::TolerantMode);
    const QByteArray address = target.toEncoded();
    CURL* const curl = handle.get();
    answer->curl = curl;
    CURLcode code = CURLE_OK;
    const auto check = [&code](CURLcode result) {
        if (code == CURLE_OK)
            code = result;
    };
    check(libcurl().easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer));
    check(libcurl().easy_setopt(curl, CURLOPT_URL, address.constData()));
    check(libcurl().easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps,file"));
    check(libcurl().easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L));
    check(libcurl().easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects));
    check(libcurl().easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"));
    check(libcurl().easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L));
    check(libcurl().easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L));
    check(useNetwork(curl, target));
    answer->viaProxy = !programProxy().proxyFor(target).isEmpty();
    check(libcurl().easy_setopt(curl, CURLOPT_FAILONERROR, 1L));
    check(libcurl().easy_setopt(curl, CURLOPT_NOSIGNAL, 1L));
    check(libcurl().easy_setopt(curl, CURLOPT_USERAGENT, "Kavelo"));
    check(libcurl().easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS,
                                static_cast<long>(std::chrono::milliseconds(limits.connectTimeout).count())));
    // A stall: less than lowSpeedBytes a second over the whole stall time.
    check(libcurl().easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.lowSpeedBytes));
    check(libcurl().easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.stallTimeout.count())));
    check(libcurl().easy_setopt(curl, CURLOPT_BUFFERSIZE, kReceiveBufferSize));
    check(libcurl().easy_setopt(curl, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));  // a proxy's answer is no answer here
    check(libcurl().easy_setopt(curl, CURLOPT_HEADERFUNCTION, &FileTransfer::onHeader));
    check(libcurl().easy_setopt(curl, CURLOPT_HEADERDATA, this));
    check(libcurl().easy_setopt(curl, CURLOPT_WRITEFUNCTION, &FileTransfer::onBody));
    check(libcurl().easy_setopt(curl, CURLOPT_WRITEDATA, this));

    // The rest of the part, but only of the same file: on any change the
    // server sends the whole body with 200.
    const QByteArray range = QByteArray::number(answer->offset) + '-';
    HeaderList headers(nullptr, libcurl().slist_free_all);
    if (answer->offset > 0) {
        headers.reset(libcurl().slist_append(nullptr, ("If-Range: " + validator).constData()));
        if (!headers)
            return failure(QStringLiteral("curl_slist_append fehlgeschlagen"));
        check(libcurl().easy_setopt(curl, CURLOPT_RANGE, range.constData()));
        check(libcurl().easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get()));
    }
    if (code != CURLE_OK)
        return curlFailure(code, errorBuffer);

    code = drive(curl, cancel, errorBuffer);
    TransferResult result = outcome(code, errorBuffer);
    // An answer came but no body of it: a 2xx still tells what the part
    // holds; after any other answer the next attempt starts afresh.
    if (!result.ok && !cancel.isSet() && answer->answered && !answer->bodyStarted && !startBody())
        validator.clear();
    return result;
}

// The result of a transfer that has ended with code, while its handle still lives.
TransferResult FileTransfer::outcome(int curlCode, const char* errorBuffer)
{
    const auto code = static_cast<CURLcode>(curlCode);
    const auto rejected = [this] {
        return failure(QStringLiteral("Teilantwort passt nicht: %1").arg(QString::fromLatin1(answer->contentRange)));
    };
    if (code != CURLE_OK) {
        if (code == CURLE_WRITE_ERROR && !part->errorString().isEmpty())
            return failure(part->errorString());
        if (code == CURLE_WRITE_ERROR && answer->rejected)
            return rejected();
        // libcurl refuses a header of more than 100 KiB as if memory had run out.
        if ((code == CURLE_OUT_OF_MEMORY && answer->answered && !answer->bodyStarted)
            || (code == CURLE_WRITE_ERROR && answer->headersTooLarge))
            return failure(QStringLiteral("Kopfzeilen der Antwort zu groß"));
        return failure(failureReason(answer->curl, code, errorBuffer, answer->viaProxy));
    }

    long status = 0;
    const char* scheme = nullptr;
    if (libcurl().easy_getinfo(answer->curl, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK
        || libcurl().easy_getinfo(answer->curl, CURLINFO_SCHEME, &scheme) != CURLE_OK)
        return failure(QStringLiteral("curl_easy_getinfo fehlgeschlagen"));
    if (isHttp(scheme) && (status < 200 || status > 299))
        return failure(httpError(status));
    // An empty body never reached onBody.
    if (!answer->bodyStarted && !startBody())
        return rejected();
    if (total >= 0 && part->size() != total)
        return failure(QStringLiteral("unvollständig: %1 von %2 Bytes").arg(part->size()).arg(total.load()));

    if (!part->commit())
        return failure(part->errorString());
    return {true, {}, part->written()};
}

TransferResult transferToFile(const QString& url, const QString& fileName, const TransferLimits& limits,
                              const CancelFlag& cancel)
{
    return FileTransfer(url, std::make_shared<const TargetPath>(walkTargetPath(fileName)), limits, cancel).attempt();
}
