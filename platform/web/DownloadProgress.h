#pragma once

// The small window of one download started from a page, as the host browser
// shows one: the file name, the size received of the total, a progress bar
// and "Abbrechen". It closes itself shortly after the file is complete and
// has been put in its place, and says so when the download breaks off or the
// file cannot be put there. Closing it cancels a running download.

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QWebEngineDownloadRequest;

class DownloadProgress : public QWidget {
    Q_OBJECT
public:
    // Follows the download, which the engine writes into a folder of the
    // run's own; place puts the complete file into folder, the one the window
    // names, and says whether it could. Deletes itself when closed.
    using Place = std::function<bool(const QWebEngineDownloadRequest& complete)>;
    DownloadProgress(QWebEngineDownloadRequest* download, const QString& folder, Place place,
                     QWidget* parent = nullptr);

    // The engine starts a broken-off download again as a new request of the same file.
    void follow(QWebEngineDownloadRequest* download);
    // The file is still coming in.
    bool isRunning() const;

    // How long "Download abgeschlossen" stays before the window closes.
    static constexpr int kCompletedShownMs = 2000;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showProgress();
    void showState();

    QPointer<QWebEngineDownloadRequest> download;
    Place place;
    bool placed = false;
    QLabel* sizeLabel;
    QLabel* stateLabel;
    QProgressBar* bar;
    QPushButton* button;
};

// A size as the window shows it: whole KB below one MB, else MB with one
// decimal in the locale's notation ("512 KB", "1,5 MB").
QString downloadSizeText(qint64 bytes, const QLocale& locale);
