// Fetches one address into one file as a download button does: up to
// <attempts> transfers with the 5-second pauses between them, each continuing
// where the one before broke off. Prints the number of transfers made.
// Usage: resume_driver <url> <file> <attempts>; exit status 0 on success.

#include "downloads/DownloadRun.h"
#include "downloads/DownloadToFile.h"

#include <QFileInfo>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <url> <file> <attempts>\n", argv[0]);
        return 2;
    }
    const QFileInfo target(QString::fromLocal8Bit(argv[2]));
    DownloadPlan plan;
    plan.url = QString::fromLocal8Bit(argv[1]);
    plan.folder = target.absolutePath() + QLatin1Char('/');
    plan.names.downloadName = target.fileName();
    plan.attempts = static_cast<Word>(QByteArray(argv[3]).toUShort());

    int transfers = 0;
    AttemptHooks hooks;
    hooks.transfer = [&transfers](FileTransfer& transfer) {
        ++transfers;
        const TransferResult result = transfer.attempt();
        if (!result.ok)
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
        return result;
    };
    const bool ok = runAttempts(plan, hooks).ok;
    std::printf("%d\n", transfers);
    return ok ? 0 : 1;
}
