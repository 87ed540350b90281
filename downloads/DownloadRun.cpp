#include "downloads/DownloadRun.h"

#include "downloads/DownloadToFile.h"
#include "platform/Clock.h"
#include "settings/AnsiText.h"
#include "settings/SettingsFile.h"

#include <QFileInfo>
#include <QThread>
#include <filesystem>
#include <stdexcept>
#include <system_error>

DownloadFields DownloadFieldsOf(int n)
{
    TEinstellRecord& r = EinstellDaten;
    switch (n) {
    case 1:
        return {r.Download1Name, r.Download1Target, r.Download1Url, r.Download1Suffix, r.Download1Counter};
    case 2:
        return {r.Download2Name, r.Download2Target, r.Download2Url, r.Download2Suffix, r.Download2Counter};
    case 3:
        return {r.Download3Name, r.Download3Target, r.Download3Url, r.Download3Suffix, r.Download3Counter};
    case 4:
        return {r.Download4Name, r.Download4Target, r.Download4Url, r.Download4Suffix, r.Download4Counter};
    default:
        throw std::out_of_range("download number outside 1 to 4");
    }
}

void SleepWithoutEvents(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

DownloadPlan PlanDownload(int n)
{
    const DownloadFields fields = DownloadFieldsOf(n);
    const TargetParts parts = SplitTarget(TextToString(fields.target));
    DownloadPlan plan;
    plan.number = n;
    plan.url = TextToString(fields.url);
    plan.urlTail = UrlTail(plan.url);
    plan.folder = parts.folder;
    plan.suffixMode = fields.suffix;
    plan.attempts = EinstellDaten.DownloadAttempts;
    plan.names = NameTargets(parts, fields.suffix, fields.counter, CurrentDateTime());
    return plan;
}

bool RunAttempts(const DownloadPlan& plan, const AttemptHooks& hooks)
{
    bool success = false;
    for (int attempt = 1; !success && attempt <= plan.attempts; ++attempt) {
        hooks.setBusy(true);
        success = DownloadToFile(plan.url, plan.downloadPath());
        if (!success && attempt < plan.attempts)
            hooks.pause(kAttemptPauseMs);
        hooks.setBusy(false);
    }
    return success;
}

void FinishDownload(const DownloadPlan& plan, bool success)
{
    const QString& copyName = plan.names.copyName;
    if (!copyName.isEmpty() && copyName != plan.names.downloadName) {
        std::error_code ignored;  // a failed copy goes unreported
        std::filesystem::copy_file(QFileInfo(plan.downloadPath()).filesystemFilePath(),
                                   QFileInfo(plan.folder + copyName).filesystemFilePath(),
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    }

    const bool numbered = plan.suffixMode == SuffixNumber || plan.suffixMode == SuffixNumberedCopy;
    if (!numbered || !success)
        return;
    Word& counter = DownloadFieldsOf(plan.number).counter;
    const int next = counter + 1;
    counter = next > EinstellDaten.MaxVersions ? 0 : static_cast<Word>(next);
    SaveSettings();
}
