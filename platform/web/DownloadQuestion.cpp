#include "platform/web/DownloadQuestion.h"

#include "platform/host/Messages.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>

DownloadQuestion::DownloadQuestion(QWebEngineDownloadRequest* request, QWebEnginePage* page,
                                   std::function<void(QWebEngineDownloadRequest*, QWidget* owner)> onSaved)
    : download(request)
    , saved(std::move(onSaved))
{
    if (const QWebEngineView* view = QWebEngineView::forPage(page))
        owner = view->window();
    connect(page, &QObject::destroyed, this, &DownloadQuestion::end);
    // A download's own navigation ends stopped; a load that ends otherwise brought a new document.
    connect(page, &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            pageNavigates = true;
        else if (info.status() == QWebEngineLoadingInfo::LoadStoppedStatus)
            pageNavigates = false;
        else if (pageNavigates)
            end();
    });
}

void DownloadQuestion::ask(const QString& text)
{
    box = new QMessageBox(QMessageBox::Question, messageTitle(MessageKind::Confirmation), text, QMessageBox::NoButton,
                          owner);
    box->setObjectName(QStringLiteral("DownloadQuestion"));
    box->setTextFormat(Qt::PlainText);  // the name comes from the server
    QPushButton* yes = box->addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    box->setDefaultButton(yes);
    box->setEscapeButton(box->addButton(QStringLiteral("&Nein"), QMessageBox::NoRole));
    box->setWindowModality(Qt::ApplicationModal);
    connect(box, &QMessageBox::finished, this, [this, yes] { answer(box->clickedButton() == yes); });
    box->show();
}

void DownloadQuestion::answer(bool yes)
{
    if (box) {
        box->disconnect(this);
        box->hide();
        box->deleteLater();  // it may be the sender
    }
    deleteLater();
    QWebEngineDownloadRequest* const asked = download;
    download = nullptr;
    if (!asked)
        return;
    if (yes) {
        saved(asked, owner);
    } else if (asked->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        QFile::remove(QDir(asked->downloadDirectory()).filePath(asked->downloadFileName()));
    } else {
        asked->cancel();  // the engine removes what has arrived
    }
}
