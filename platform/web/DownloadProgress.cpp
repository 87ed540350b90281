#include "platform/web/DownloadProgress.h"

#include "widgets/ProgramFont.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <utility>

namespace {

using Reason = QWebEngineDownloadRequest::DownloadInterruptReason;

// The engine's reasons in the program's language, grouped as a user tells them apart.
QString reasonText(const QWebEngineDownloadRequest& download)
{
    const Reason reason = download.interruptReason();
    if (reason == Reason::FileNoSpace)
        return QStringLiteral("Nicht genug Speicherplatz");
    if (reason == Reason::FileAccessDenied)
        return QStringLiteral("Kein Schreibrecht im Download-Ordner");
    if (reason >= Reason::FileFailed && reason < Reason::NetworkFailed)
        return QStringLiteral("Die Datei konnte nicht gespeichert werden");
    if (reason >= Reason::NetworkFailed && reason < Reason::ServerFailed)
        return QStringLiteral("Netzwerkfehler");
    if (reason >= Reason::ServerFailed && reason < Reason::UserCanceled)
        return QStringLiteral("Fehler des Servers");
    return download.interruptReasonString();
}

}  // namespace

QString downloadSizeText(qint64 bytes, const QLocale& locale)
{
    constexpr qint64 kKilo = 1024;
    constexpr qint64 kMega = kKilo * kKilo;
    if (bytes < kMega)
        return QStringLiteral("%1 KB").arg((bytes + kKilo - 1) / kKilo);
    return QStringLiteral("%1 MB").arg(locale.toString(static_cast<double>(bytes) / kMega, 'f', 1));
}

DownloadProgress::DownloadProgress(QWebEngineDownloadRequest* request, const QString& folder, Place putInPlace,
                                   QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , place(std::move(putInPlace))
    , sizeLabel(new QLabel)
    , stateLabel(new QLabel)
    , bar(new QProgressBar)
    , button(new QPushButton(QStringLiteral("Abbrechen")))
{
    setObjectName(QStringLiteral("DownloadProgress"));
    setFont(programFont());  // a window of its own does not take its owner's font
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Download"));
    sizeLabel->setObjectName(QStringLiteral("Size"));
    stateLabel->setObjectName(QStringLiteral("State"));
    bar->setTextVisible(false);

    auto* fileLabel = new QLabel(QStringLiteral("Datei: %1").arg(request->downloadFileName()));
    auto* folderLabel = new QLabel(QStringLiteral("Ordner: %1").arg(QDir::toNativeSeparators(folder)));
    fileLabel->setObjectName(QStringLiteral("FileName"));
    for (QLabel* label : {fileLabel, folderLabel, stateLabel})
        label->setTextFormat(Qt::PlainText);  // a page's name is never markup
    for (QLabel* label : {fileLabel, folderLabel}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setMinimumWidth(320);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget : std::initializer_list<QWidget*>{fileLabel, folderLabel, bar, sizeLabel, stateLabel})
        layout->addWidget(widget);
    layout->addLayout(buttons);

    connect(button, &QPushButton::clicked, this, &DownloadProgress::close);
    follow(request);
}

void DownloadProgress::follow(QWebEngineDownloadRequest* next)
{
    if (download)
        disconnect(download, nullptr, this, nullptr);
    download = next;
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, &DownloadProgress::showProgress);
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this, &DownloadProgress::showProgress);
    connect(download, &QWebEngineDownloadRequest::stateChanged, this, &DownloadProgress::showState);
    showProgress();
    showState();
}

bool DownloadProgress::isRunning() const
{
    return download && !download->isFinished();
}

// Closing while the file still comes in is the user's cancel.
void DownloadProgress::closeEvent(QCloseEvent* event)
{
    if (download && !download->isFinished())
        download->cancel();
    event->accept();
}

void DownloadProgress::showProgress()
{
    const QLocale locale;
    const qint64 received = download->receivedBytes();
    const qint64 total = download->totalBytes();
    if (total > 0) {
        sizeLabel->setText(
            QStringLiteral("%1 von %2").arg(downloadSizeText(received, locale), downloadSizeText(total, locale)));
        bar->setRange(0, 1000);
        bar->setValue(static_cast<int>(received * 1000 / total));
    } else {
        sizeLabel->setText(QStringLiteral("%1 empfangen").arg(downloadSizeText(received, locale)));
        bar->setRange(0, 0);  // size unknown: a running bar
    }
}

void DownloadProgress::showState()
{
    switch (download->state()) {
    case QWebEngineDownloadRequest::DownloadRequested:
    case QWebEngineDownloadRequest::DownloadInProgress:
        stateLabel->setText(QStringLiteral("Download läuft …"));
        return;
    case QWebEngineDownloadRequest::DownloadCompleted:
        if (std::exchange(placed, true))
            return;
        showProgress();
        button->setText(QStringLiteral("Schließen"));
        bar->setRange(0, 1);
        if (!place(*download)) {
            bar->setValue(0);
            stateLabel->setText(QStringLiteral("Die Datei wurde nicht gespeichert."));
            return;
        }
        bar->setValue(1);
        stateLabel->setText(QStringLiteral("Download abgeschlossen"));
        QTimer::singleShot(kCompletedShownMs, this, &DownloadProgress::close);
        return;
    case QWebEngineDownloadRequest::DownloadCancelled:
        close();
        return;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        bar->setRange(0, 1);
        bar->setValue(0);
        stateLabel->setText(QStringLiteral("Download abgebrochen: %1").arg(reasonText(*download)));
        button->setText(QStringLiteral("Schließen"));
        return;
    }
}
