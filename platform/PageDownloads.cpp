#include "platform/PageDownloads.h"

#include "platform/DownloadProgress.h"
#include "platform/HostRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineView>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

// Paths of the downloads still running: the engine writes to a side file
// until the end, so two downloads of one name would otherwise pick the same.
QSet<QString>& RunningTargets()
{
    static QSet<QString> targets;
    return targets;
}

}  // namespace

QString PageDownloadFolder()
{
    QString folder;
    try {
        folder = ReadHostValue(kInternetExplorerKey, kDownloadDirectoryValue);
    } catch (const std::exception&) {
        // A value that is no text names no folder.
    }
    if (folder.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

QString FreeFileName(const QString& folder, const QString& fileName, const QSet<QString>& taken)
{
    const QDir dir(folder);
    const auto isFree = [&](const QString& name) {
        return !taken.contains(dir.filePath(name)) && !QFileInfo::exists(dir.filePath(name));
    };
    if (isFree(fileName))
        return fileName;

    qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0)
        dot = fileName.size();  // no extension, or a name that starts with its dot
    else if (dot > 4 && fileName.left(dot).endsWith(u".tar"_s, Qt::CaseInsensitive))
        dot -= 4;
    const QString stem = fileName.left(dot);
    const QString extension = fileName.mid(dot);
    // Each existing entry blocks at most one candidate, so one of these is free.
    const qsizetype candidates = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System).size() + taken.size() + 1;
    for (qsizetype n = 1;; ++n) {
        const QString name = u"%1 (%2)%3"_s.arg(stem).arg(n).arg(extension);
        if (isFree(name) || n >= candidates)
            return name;
    }
}

void AcceptPageDownload(QWebEngineDownloadRequest* download)
{
    const QString folder = PageDownloadFolder();
    QDir().mkpath(folder);  // a folder that cannot be made lets the download fail visibly
    QString suggested = QFileInfo(download->suggestedFileName()).fileName();
    if (suggested.isEmpty())
        suggested = download->downloadFileName();
    const QString name = FreeFileName(folder, suggested, RunningTargets());
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(name);

    const QString target = QDir(folder).filePath(name);
    RunningTargets().insert(target);
    QObject::connect(download, &QWebEngineDownloadRequest::isFinishedChanged, download,
                     [target] { RunningTargets().remove(target); });

    QWidget* owner = nullptr;
    if (const QWebEngineView* view = QWebEngineView::forPage(download->page()))
        owner = view->window();
    auto* window = new DownloadProgress(download, owner);
    download->accept();
    window->show();
}
