#pragma once

// The procedure behind a download button, without its window. The main window
// runs it as planDownload, runAttempts, its message, finishDownload.

#include "downloads/DownloadToFile.h"
#include "downloads/TargetNaming.h"
#include "settings/EinstellRecord.h"

#include <QString>
#include <functional>
#include <memory>

// The fields of download n (1 to 4) in the settings record, as members:
// record.*downloadFieldsOf(n).url. std::out_of_range for any other n.
struct DownloadFields {
    Text TEinstellRecord::*name;
    Text TEinstellRecord::*target;
    Text TEinstellRecord::*url;
    Word TEinstellRecord::*suffix;
    Word TEinstellRecord::*counter;
};
DownloadFields downloadFieldsOf(int n);

inline constexpr int kAttemptPauseMs = 5000;

// Blocks the calling thread; window messages wait until it returns.
void sleepWithoutEvents(int ms);
// The same, but ends early once cancel is set.
void sleepUnlessCancelled(int ms, const CancelFlag& cancel);

// What the attempts take from their surroundings. The window runs each
// transfer on a worker thread and waits in its own way; tests shorten the pause.
struct AttemptHooks {
    const CancelFlag* cancel = &downloadCancel();  // ends the attempts and pauses at once
    std::function<TransferResult(FileTransfer& transfer)> transfer = [](FileTransfer& file) { return file.attempt(); };
    std::function<void(int ms)> pause;                     // empty: sleepUnlessCancelled
    std::function<void(bool busy)> setBusy = [](bool) {};  // the hourglass cursor
};

struct DownloadPlan {
    int number = 0;
    QString url;
    QString urlTail;  // line 1 of the messages
    QString folder;
    TargetNames names;
    Word suffixMode = SuffixNone;
    Word attempts = 0;
    // Where the walks to the download's file and to the copy went, once: what
    // the guard judges there is what every attempt and the copy write.
    std::shared_ptr<const TargetPath> downloadPlace;
    std::shared_ptr<const TargetPath> copyPlace;  // null without a copy

    QString downloadPath() const { return folder + names.downloadName; }
};

// Splits the target of download n, forms its names from the moment now, which
// every attempt and the copy share, and walks to both files. A relative
// target lies in currentFolder.
DownloadPlan planDownload(const TEinstellRecord& record, int n, const QDateTime& now, const QString& currentFolder);

// At most plan.attempts transfers, until one succeeds or the cancel flag is
// set, with a pause after each failed one but the last; the cursor is busy
// from each start to its pause's end. An attempt that breaks off is continued
// by the next one where it ended. The result of the last attempt; without
// any attempt a failure that says so.
TransferResult runAttempts(const DownloadPlan& plan, const AttemptHooks& hooks = {});

struct FinishedDownload {
    bool counterMoved = false;  // the settings file must be written
    // Modes 6 and 7 after a success: the plain name, which readers of the file
    // take, still holds the old file.
    bool copyFailed = false;
};

// Why the guard refuses the download's file or its copy (see targetRefusal),
// empty when it does not.
QString downloadRefusal(const DownloadPlan& plan, const QStringList& programFolders);

// After the message: the copy, made whether or not the download succeeded and
// without a box when it fails, through a part file so that the old copy stays
// whole when the new one cannot be written; after a success only from the
// file that result wrote. Then, in the numbered modes and only after a
// success, the next counter value (0 after MaxVersions).
FinishedDownload finishDownload(const DownloadPlan& plan, const TransferResult& result, TEinstellRecord& record);
