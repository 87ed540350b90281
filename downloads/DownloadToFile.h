#pragma once

// Fetches one address into one file with libcurl (loaded by the first
// attempt, see CurlLibrary.h), synchronously on the calling thread. The body
// goes to a temporary file beside the target (beside the file it points at,
// when it is a link), which replaces that file only when the transfer has
// completely succeeded, so a failed or cut-off transfer leaves the file that
// was there untouched.

#include "downloads/CancelFlag.h"
#include "platform/files/TargetPath.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

class PartFile;

struct TransferLimits {
    std::chrono::seconds connectTimeout{30};
    // Less than lowSpeedBytes a second over stallTimeout fails the transfer: a
    // server that trickles a few bytes a second would hold a job for good.
    std::chrono::seconds stallTimeout{60};
    long lowSpeedBytes = 1024;
};

struct TransferResult {
    bool ok = false;
    QString error;                        // why it failed, empty on success
    std::optional<FileIdentity> written;  // the file a success wrote
};

struct TransferProgress {
    qint64 received = 0;  // bytes of the body in the temporary file
    qint64 total = -1;    // the size of the whole body; -1 while unknown
};

// The transfers of one address into one file, one attempt at a time.
// Redirects are followed (HTTP and HTTPS only, at most 10), certificates are
// verified, and for HTTP(S) only a final status 2xx counts as success.
//
// An attempt that breaks off after part of the body keeps that part, and the
// next attempt asks only for the rest, when the answer the part came from had
// a strong validator: a strong ETag, or a Last-Modified at least a minute
// before its Date. The range request is guarded by If-Range with it. A 206
// answer with the same validator and a Content-Range from exactly the part's
// end to the body's end is appended; a 206 that does not fit is dropped and
// the whole body asked for at once, and a 200 starts the file afresh. The
// part is dropped when the transfer object goes, when the cancel flag is set,
// or when an attempt succeeds and the file is renamed.
class FileTransfer {
public:
    // Every attempt writes where the walk to the target went.
    FileTransfer(const QString& url, std::shared_ptr<const TargetPath> target, const TransferLimits& limits = {},
                 const CancelFlag& cancel = downloadCancel());
    ~FileTransfer();
    FileTransfer(const FileTransfer&) = delete;
    FileTransfer& operator=(const FileTransfer&) = delete;

    // One attempt; without libcurl it fails with loadCurl()'s reason. It may
    // run on a worker thread while another thread reads progress(); the object
    // must not otherwise be shared meanwhile.
    TransferResult attempt();
    TransferProgress progress() const { return {received.load(), total.load()}; }

private:
    struct Answer;
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    bool startBody();
    TransferResult perform();
    TransferResult outcome(int code, const char* errorBuffer);
    TransferResult endAttempt(TransferResult result);

    QString url;
    std::shared_ptr<const TargetPath> place;
    TransferLimits limits;
    const CancelFlag& cancel;

    std::unique_ptr<PartFile> part;
    QByteArray validator;  // of the answer whose body the part holds; empty: it cannot be resumed
    std::unique_ptr<Answer> answer;
    std::atomic<qint64> received{0};
    std::atomic<qint64> total{-1};
};

// One attempt of a fresh transfer, to the file that fileName leads to now.
TransferResult transferToFile(const QString& url, const QString& fileName, const TransferLimits& limits = {},
                              const CancelFlag& cancel = downloadCancel());
