#pragma once

// Fetches one address into one file with libcurl, synchronously on the
// calling thread. The body goes to a temporary file beside the target (beside
// the file it points at, when it is a link), which replaces that file only
// when the transfer has completely succeeded, so a failed or cut-off transfer
// leaves the file that was there untouched.

#include <QString>
#include <chrono>

// libcurl's process-wide set-up: one instance lives for the whole program
// (in main()) or test program. Throws std::runtime_error when it fails.
class CurlGlobal {
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;
};

struct TransferLimits {
    std::chrono::seconds connectTimeout{30};
    std::chrono::seconds stallTimeout{60};  // no data for this long fails the transfer
};

struct TransferResult {
    bool ok = false;
    QString error;  // why it failed, empty on success
};

// Redirects are followed (HTTP and HTTPS only, at most 10), certificates are
// verified, and for HTTP(S) only a final status 2xx counts as success.
TransferResult TransferToFile(const QString& url, const QString& fileName, const TransferLimits& limits = {});

// True only when the whole resource has been written into fileName.
bool DownloadToFile(const QString& url, const QString& fileName);
