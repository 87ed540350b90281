#include "downloads/DownloadRun.h"

#include "downloads/DownloadToFile.h"
#include "platform/files/PartFile.h"
#include "platform/files/TargetGuard.h"
#include "settings/AnsiText.h"
#include "settings/Defaults.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QThread>
#include <algorithm>
#include <stdexcept>

namespace {

// A target's folder as given when it is absolute, else inside currentFolder.
QString resolvedFolder(const QString& folder, const QString& currentFolder)
{
    if (QDir::isAbsolutePath(folder))
        return folder;
    const QString base = currentFolder.endsWith(QLatin1Char('/')) ? currentFolder : currentFolder + QLatin1Char('/');
    return base + folder;
}

}  // namespace

DownloadFields downloadFieldsOf(int n)
{
    using R = TEinstellRecord;
    switch (n) {
    case 1:
        return {&R::Download1Name, &R::Download1Target, &R::Download1Url, &R::Download1Suffix, &R::Download1Counter};
    case 2:
        return {&R::Download2Name, &R::Download2Target, &R::Download2Url, &R::Download2Suffix, &R::Download2Counter};
    case 3:
        return {&R::Download3Name, &R::Download3Target, &R::Download3Url, &R::Download3Suffix, &R::Download3Counter};
    case 4:
        return {&R::Download4Name, &R::Download4Target, &R::Download4Url, &R::Download4Suffix, &R::Download4Counter};
    default:
        throw std::out_of_range("download number outside 1 to 4");
    }
}

void sleepWithoutEvents(int ms)
{
    QThread::msleep(static_cast<unsigned long>(ms));
}

void sleepUnlessCancelled(int ms, const CancelFlag& cancel)
{
    constexpr int kSliceMs = 50;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = ms; left > 0 && !cancel.isSet(); left = ms - clock.elapsed())
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, kSliceMs)));
}

DownloadPlan planDownload(const TEinstellRecord& record, int n, const QDateTime& now, const QString& currentFolder)
{
    const DownloadFields fields = downloadFieldsOf(n);
    const TargetParts parts = splitTarget(homeResolved(textToString(record.*fields.target)));
    DownloadPlan plan;
    plan.number = n;
    plan.url = textToString(record.*fields.url);
    plan.urlTail = urlTail(plan.url);
    plan.folder = resolvedFolder(parts.folder, currentFolder);
    plan.suffixMode = record.*fields.suffix;
    plan.attempts = record.DownloadAttempts;
    plan.names = nameTargets(parts, record.*fields.suffix, record.*fields.counter, now);
    plan.downloadPlace = std::make_shared<const TargetPath>(walkTargetPath(plan.downloadPath()));
    if (!plan.names.copyName.isEmpty() && plan.names.copyName != plan.names.downloadName)
        plan.copyPlace = std::make_shared<const TargetPath>(walkTargetPath(plan.folder + plan.names.copyName));
    return plan;
}

QString downloadRefusal(const DownloadPlan& plan, const QStringList& programFolders)
{
    if (plan.names.downloadName.isEmpty())
        return {};
    QString refusal = targetRefusal(plan.downloadPath(), *plan.downloadPlace, programFolders);
    if (refusal.isEmpty() && plan.copyPlace)
        refusal = targetRefusal(plan.folder + plan.names.copyName, *plan.copyPlace, programFolders);
    return refusal;
}

TransferResult runAttempts(const DownloadPlan& plan, const AttemptHooks& hooks)
{
    const CancelFlag& cancel = *hooks.cancel;
    FileTransfer transfer(plan.url, plan.downloadPlace, {}, cancel);
    TransferResult result{false, QStringLiteral("keine Download-Versuche eingestellt"), {}};
    if (plan.names.downloadName.isEmpty())
        return {false, QStringLiteral("kein Dateiname im Download-Ziel eingestellt"), {}};
    if (cancel.isSet())
        result.error = QStringLiteral("Download abgebrochen");
    for (int attempt = 1; !result.ok && attempt <= plan.attempts && !cancel.isSet(); ++attempt) {
        hooks.setBusy(true);
        const auto idle = qScopeGuard([&hooks] { hooks.setBusy(false); });  // also when a hook throws
        result = hooks.transfer(transfer);
        if (!result.ok && attempt < plan.attempts) {
            if (hooks.pause)
                hooks.pause(kAttemptPauseMs);
            else
                sleepUnlessCancelled(kAttemptPauseMs, cancel);
        }
    }
    return result;
}

FinishedDownload finishDownload(const DownloadPlan& plan, const TransferResult& result, TEinstellRecord& record)
{
    FinishedDownload finished;
    const bool success = result.ok;
    if (plan.copyPlace && !copyThroughPartFile(*plan.downloadPlace, result.written, plan.copyPlace))
        finished.copyFailed = success && (plan.suffixMode == SuffixDateCopy || plan.suffixMode == SuffixDateTimeCopy);

    if (!isNumberedMode(plan.suffixMode) || !success)
        return finished;
    Word& counter = record.*downloadFieldsOf(plan.number).counter;
    const int next = counter + 1;
    counter = next > record.MaxVersions ? 0 : static_cast<Word>(next);
    finished.counterMoved = true;
    return finished;
}
