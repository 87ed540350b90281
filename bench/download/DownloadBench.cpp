// Fetches one address into one file with DownloadToFile, as the program does.
// Usage: download_bench <url> <file>; exit status 0 on success.

#include "downloads/DownloadToFile.h"

#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <url> <file>\n", argv[0]);
        return 2;
    }
    const CurlGlobal curl;
    const TransferResult result = transferToFile(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    if (!result.ok)
        std::fprintf(stderr, "%s\n", qPrintable(result.error));
    return result.ok ? 0 : 1;
}
