#include "platform/PageDownloads.h"

#include "platform/DownloadProgress.h"
#include "platform/DownloadWait.h"
#include "platform/HostRegistry.h"
#include "platform/PageFileNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineView>
#include <exception>

namespace {

struct RunningDownload {
    QString target;
    QPointer<DownloadProgress> window;
};

// The downloads whose window is open, by the engine's id. The engine writes
// to a side file until the end, so the names taken here are not yet on disk;
// and it starts a broken-off download again under its old id.
QHash<quint32, RunningDownload>& running()
{
    static QHash<quint32, RunningDownload> running;
    return running;
}

}  // namespace

QString pageDownloadFolder()
{
    QString folder;
    try {
        folder = readHostValue(kInternetExplorerKey, kDownloadDirectoryValue);
    } catch (const std::exception&) {
        // A value that is no text names no folder.
    }
    if (folder.isEmpty())
        return QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

void acceptPageDownload(QWebEngineDownloadRequest* download)
{
    // No window opens while the window waits for a button download.
    if (buttonDownloadRunning()) {
        download->cancel();
        return;
    }
    auto& running = running();
    if (const auto known = running.constFind(download->id()); known != running.cend()) {
        const QFileInfo target(known->target);
        download->setDownloadDirectory(target.path());
        download->setDownloadFileName(target.fileName());
        if (known->window && known->window->isVisible()) {
            download->accept();
            known->window->follow(download);
        } else {
            download->cancel();  // the user has closed its window
        }
        return;
    }

    const QString folder = pageDownloadFolder();
    QDir().mkpath(folder);  // a folder that cannot be made lets the download fail visibly
    QSet<QString> taken;
    for (const RunningDownload& other : std::as_const(running))
        taken.insert(other.target);
    QString suggested = cleanFileName(QFileInfo(download->suggestedFileName()).fileName());
    if (suggested.isEmpty())
        suggested = QStringLiteral("Download");  // nothing but dots
    const QString name = freeFileName(folder, suggested, taken);
    download->setDownloadDirectory(folder);
    download->setDownloadFileName(name);

    QWidget* owner = nullptr;
    if (const QWebEngineView* view = QWebEngineView::forPage(download->page()))
        owner = view->window();
    auto* window = new DownloadProgress(download, owner);
    const quint32 id = download->id();
    running.insert(id, {QDir(folder).filePath(name), window});
    QObject::connect(window, &QObject::destroyed, QCoreApplication::instance(), [id] { running().remove(id); });
    download->accept();
    if (owner) {
        window->adjustSize();
        window->move(owner->frameGeometry().center() - window->rect().center());
    }
    window->show();
}
