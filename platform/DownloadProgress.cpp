#include "platform/DownloadProgress.h"

#include "platform/ProgramFont.h"

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

using namespace Qt::StringLiterals;

namespace {

using Reason = QWebEngineDownloadRequest::DownloadInterruptReason;

// The engine's reasons in the program's language, grouped as a user tells them apart.
QString ReasonText(const QWebEngineDownloadRequest& download)
{
    const Reason reason = download.interruptReason();
    if (reason == Reason::FileNoSpace)
        return u"Nicht genug Speicherplatz"_s;
    if (reason == Reason::FileAccessDenied)
        return u"Kein Schreibrecht im Download-Ordner"_s;
    if (reason >= Reason::FileFailed && reason < Reason::NetworkFailed)
        return u"Die Datei konnte nicht gespeichert werden"_s;
    if (reason >= Reason::NetworkFailed && reason < Reason::ServerFailed)
        return u"Netzwerkfehler"_s;
    if (reason >= Reason::ServerFailed && reason < Reason::UserCanceled)
        return u"Fehler des Servers"_s;
    return download.interruptReasonString();
}

}  // namespace

QString DownloadSizeText(qint64 bytes, const QLocale& locale)
{
    constexpr qint64 kKilo = 1024;
    constexpr qint64 kMega = kKilo * kKilo;
    if (bytes < kMega)
        return u"%1 KB"_s.arg((bytes + kKilo - 1) / kKilo);
    return u"%1 MB"_s.arg(locale.toString(static_cast<double>(bytes) / kMega, 'f', 1));
}

DownloadProgress::DownloadProgress(QWebEngineDownloadRequest* download, QWidget* parent)
    : QWidget(parent, Qt::Dialog)
    , sizeLabel(new QLabel)
    , stateLabel(new QLabel)
    , bar(new QProgressBar)
    , button(new QPushButton(u"Abbrechen"_s))
{
    setObjectName(u"DownloadProgress"_s);
    setFont(ProgramFont());  // a window of its own does not take its owner's font
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Download"_s);
    sizeLabel->setObjectName(u"Size"_s);
    stateLabel->setObjectName(u"State"_s);
    bar->setTextVisible(false);

    auto* fileLabel = new QLabel(u"Datei: %1"_s.arg(download->downloadFileName()));
    auto* folderLabel = new QLabel(u"Ordner: %1"_s.arg(QDir::toNativeSeparators(download->downloadDirectory())));
    fileLabel->setObjectName(u"FileName"_s);
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
    follow(download);
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
        sizeLabel->setText(u"%1 von %2"_s.arg(DownloadSizeText(received, locale), DownloadSizeText(total, locale)));
        bar->setRange(0, 1000);
        bar->setValue(static_cast<int>(received * 1000 / total));
    } else {
        sizeLabel->setText(u"%1 empfangen"_s.arg(DownloadSizeText(received, locale)));
        bar->setRange(0, 0);  // size unknown: a running bar
    }
}

void DownloadProgress::showState()
{
    switch (download->state()) {
    case QWebEngineDownloadRequest::DownloadRequested:
    case QWebEngineDownloadRequest::DownloadInProgress:
        stateLabel->setText(u"Download läuft …"_s);
        return;
    case QWebEngineDownloadRequest::DownloadCompleted:
        showProgress();
        bar->setRange(0, 1);
        bar->setValue(1);
        stateLabel->setText(u"Download abgeschlossen"_s);
        button->setText(u"Schließen"_s);
        QTimer::singleShot(kCompletedShownMs, this, &DownloadProgress::close);
        return;
    case QWebEngineDownloadRequest::DownloadCancelled:
        close();
        return;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        bar->setRange(0, 1);
        bar->setValue(0);
        stateLabel->setText(u"Download abgebrochen: %1"_s.arg(ReasonText(*download)));
        button->setText(u"Schließen"_s);
        return;
    }
}
