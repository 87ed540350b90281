#include "platform/web/PageDownloads.h"

#include "platform/files/PartFile.h"
#include "platform/files/TargetGuard.h"
#include "platform/host/HostRegistry.h"
#include "platform/host/Messages.h"
#include "platform/web/DownloadProgress.h"
#include "platform/web/DownloadQuestion.h"
#include "platform/web/KaveloPage.h"
#include "platform/web/PageFileNames.h"
#include "platform/web/PageRules.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QPointer>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <algorithm>
#include <exception>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct RunningDownload {
    QString target;  // where the file goes once it is complete
    QPointer<DownloadProgress> window;
};

// The program folders of the page, which no download may write into.
QStringList pageProgramFolders;

// The downloads whose window is open, by the engine's id. The engine writes
// to a side file until the end, so the names taken here are not yet on disk;
// and it starts a broken-off download again under its old id.
QHash<quint32, RunningDownload>& runningDownloads()
{
    static QHash<quint32, RunningDownload> running;
    return running;
}

// The one question at a time; it stays until it has gone.
QPointer<DownloadQuestion> openQuestion;
// Error boxes about page downloads on screen or about to come.
int noticesOpen = 0;
bool buttonDownload = false;

// Pages have one download at a time, its question or error box included.
bool pageDownloadBusy()
{
    if ((openQuestion && openQuestion->heldDownload()) || noticesOpen > 0)
        return true;
    const auto& running = runningDownloads();
    return std::any_of(running.cbegin(), running.cend(),
                       [](const RunningDownload& download) { return download.window && download.window->isRunning(); });
}

QString sizeText(qint64 bytes)
{
    return bytes > 0 ? downloadSizeText(bytes, QLocale()) : QStringLiteral("Größe unbekannt");
}

// An error box from an event of its own, never inside the engine's handlers.
void tell(const QString& text)
{
    ++noticesOpen;
    QTimer::singleShot(0, QCoreApplication::instance(), [text] {
        showMessage(MessageKind::Error, text);
        --noticesOpen;
    });
}

QString reserveText(const QStorageInfo& disk)
{
    return QStringLiteral("Auf dem Laufwerk müssen mindestens %1 frei bleiben.")
        .arg(downloadSizeText(freeSpaceReserve(disk.bytesTotal()), QLocale()));
}

// Whether the download folder's disk keeps its reserve after the bytes still
// to come; a disk that cannot be asked does not stop the download.
bool enoughFreeSpace(const QStorageInfo& disk, qint64 stillToCome)
{
    return !disk.isValid() || !disk.isReady()
           || leavesEnoughFreeSpace(disk.bytesAvailable(), disk.bytesTotal(), stillToCome);
}

// Breaks the download off, with a box, once the disk would fall below its
// reserve; looked at a few times a second as the bytes come in.
void watchFreeSpace(QWebEngineDownloadRequest* download, DownloadProgress* window)
{
    constexpr qint64 kLookEveryMs = 250;
    QObject::connect(
        download, &QWebEngineDownloadRequest::receivedBytesChanged, window,
        [download, since = QElapsedTimer()]() mutable {
            if (since.isValid() && since.elapsed() < kLookEveryMs)
                return;
            since.start();
            const QStorageInfo disk(download->downloadDirectory());
            const qint64 total = download->totalBytes();
            if (download->isFinished() || enoughFreeSpace(disk, total > 0 ? total - download->receivedBytes() : 0))
                return;
            download->cancel();
            tell(QStringLiteral("Der Download von %1 wurde abgebrochen.\r%2")
                     .arg(quotedPageText(download->downloadFileName()), reserveText(disk)));
        });
}

// Removes the engine folders that killed runs left in caches, with what a
// visitor fetched in them: those whose lock file nobody holds. A folder without
// one is a run's that is just being made.
void removeLeftEngineFolders(const QString& caches)
{
    const QStringList left = QDir(caches).entryList({QStringLiteral("kavelo-downloads-*")}, QDir::Dirs | QDir::Hidden);
    for (const QString& name : left) {
        const QString folder = QDir(caches).filePath(name);
        const int lock =
            ::open(QFile::encodeName(folder + QStringLiteral("/.lock")).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0)
            QDir(folder).removeRecursively();
        if (lock >= 0)
            ::close(lock);
    }
}

// The engine writes each download into a folder of this run that only the
// runner may enter (removed at the end, or by the next run after a kill),
// beside the user's other caches; the complete file is then moved to its
// target through the same walk and guard as a download button's. Whatever
// stands in the download folder meanwhile never steers what the engine writes.
QString engineFolder(quint32 id)
{
    static std::unique_ptr<QTemporaryDir> own;
    if (!own) {
        const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        QDir().mkpath(caches);
        removeLeftEngineFolders(caches);
        own = std::make_unique<QTemporaryDir>(caches + QStringLiteral("/kavelo-downloads-XXXXXX"));
        // Held while the run lives; closed with the program.
        const int lock = ::open(QFile::encodeName(own->filePath(QStringLiteral(".lock"))).constData(),
                                O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (lock >= 0)
            ::flock(lock, LOCK_EX | LOCK_NB);
    }
    QString folder = own->filePath(QString::number(id));
    QDir().mkpath(folder);
    return folder;
}

// Puts the complete file of download at target; a box says why not.
bool putInPlace(const QWebEngineDownloadRequest& download, const QString& target)
{
    const QString written = QDir(download.downloadDirectory()).filePath(download.downloadFileName());
    const auto place = std::make_shared<const TargetPath>(walkTargetPath(target));
    QString why = targetRefusal(target, *place, pageProgramFolders);
    if (why.isEmpty()) {
        if (const QString failure = moveIntoPlace(written, place); !failure.isEmpty())
            why = QStringLiteral("Die Datei %1 konnte nicht gespeichert werden:\r%2")
                      .arg(QDir::toNativeSeparators(target), failure);
    }
    QFile::remove(written);
    if (!why.isEmpty())
        tell(why);
    return why.isEmpty();
}

// Saves the download that the visitor agreed to at target, with its progress window over owner.
void save(QWebEngineDownloadRequest* download, QWidget* owner, const QString& target)
{
    download->resume();
    const quint32 id = download->id();
    auto* window = new DownloadProgress(
        download, QFileInfo(target).path(),
        [target](const QWebEngineDownloadRequest& complete) { return putInPlace(complete, target); }, owner);
    runningDownloads().insert(id, {target, window});
    QObject::connect(window, &QObject::destroyed, QCoreApplication::instance(),
                     [id] { runningDownloads().remove(id); });
    watchFreeSpace(download, window);
    if (owner) {
        window->adjustSize();
        window->move(owner->frameGeometry().center() - window->rect().center());
    }
    window->show();
}

// Asks about the held download, unless the disk has no room for it; the size
// is known once the download has been taken on.
void askAbout(DownloadQuestion& question)
{
    QWebEngineDownloadRequest* download = question.heldDownload();
    if (!download)
        return;  // ended meanwhile
    // The pause inside downloadRequested may come before the engine has
    // started the transfer; once more now, while the visitor decides.
    download->pause();
    const QStorageInfo disk(download->downloadDirectory());
    const qint64 size = download->totalBytes();
    const QString name = quotedPageText(download->downloadFileName());
    if (!enoughFreeSpace(disk, std::max<qint64>(size, 0))) {
        question.end();
        tell(QStringLiteral("Für den Download von %1 (%2) ist nicht genug Speicherplatz frei.\r%3")
                 .arg(name, sizeText(size), reserveText(disk)));
        return;
    }
    question.ask(QStringLiteral("Die Seite möchte eine Datei herunterladen:\n\n%1\n%2\n\n"
                                "Soll die Datei im Download-Ordner gespeichert werden?")
                     .arg(name, sizeText(size)));
}

}  // namespace

void setButtonDownloadRunning(bool running)
{
    buttonDownload = running;
}

bool buttonDownloadRunning()
{
    return buttonDownload;
}

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

void acceptPageDownload(QWebEngineDownloadRequest* download, KaveloPage* page)
{
    // No window opens while the window waits for a button download.
    if (buttonDownloadRunning()) {
        download->cancel();
        return;
    }
    auto& running = runningDownloads();
    if (const auto known = running.constFind(download->id()); known != running.cend()) {
        download->setDownloadDirectory(engineFolder(download->id()));
        download->setDownloadFileName(QFileInfo(known->target).fileName());
        if (known->window && known->window->isVisible()) {
            download->accept();
            known->window->follow(download);
            watchFreeSpace(download, known->window);
        } else {
            download->cancel();  // the user has closed its window
        }
        return;
    }

    // One question at a time, and a few per page load: a page that keeps
    // starting downloads neither piles up questions nor holds the visitor.
    if (!page->surfingAllowed() || pageDownloadBusy() || !page->takeDownloadQuestion()) {
        download->cancel();
        return;
    }
    const QString folder = pageDownloadFolder();
    QSet<QString> taken;
    for (const RunningDownload& other : std::as_const(running))
        taken.insert(other.target);
    QString suggested = cleanFileName(download->suggestedFileName());
    if (suggested.isEmpty())
        suggested = QStringLiteral("Download");  // nothing but dots
    const QString name = freeFileName(folder, suggested, taken);
    const QString target = QDir(folder).filePath(name);
    // The download buttons' guard, now and once more when the file is complete:
    // a page would gladly drop a qt.conf beside the executable, or a program
    // into the autostart folder.
    pageProgramFolders = page->programFolders();
    if (const QString refusal = targetRefusal(target, walkTargetPath(target), pageProgramFolders); !refusal.isEmpty()) {
        download->cancel();
        tell(refusal);
        return;
    }
    QDir().mkpath(folder);  // a folder that cannot be made lets the download fail visibly
    download->setDownloadDirectory(engineFolder(download->id()));
    download->setDownloadFileName(name);

    // Taken on and paused at once, so that little comes in before the answer;
    // asked about from the next event, once the engine has its answer.
    download->accept();
    download->pause();
    auto* question = new DownloadQuestion(
        download, page, [target](QWebEngineDownloadRequest* saved, QWidget* owner) { save(saved, owner, target); });
    openQuestion = question;
    QTimer::singleShot(0, question, [question] { askAbout(*question); });
}

void endPageDownloads()
{
    if (openQuestion)
        openQuestion->end();
    const QList<RunningDownload> running = runningDownloads().values();
    for (const RunningDownload& download : running) {
        if (download.window)
            download.window->close();  // cancels a running download
    }
}
