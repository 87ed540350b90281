#pragma once

// The question whether a download that a page started may be saved. The
// engine goes on using its request after downloadRequested has returned, so
// no event loop may run inside that handler: the question comes from an
// event of its own, in a box that does not block either. Meanwhile the
// download waits, taken on and paused (a small file may arrive all the same).
// The question ends with the visitor's answer, or unanswered when its page
// goes or loads a new document, or when end() is called; unanswered and
// "Nein" cancel the download and remove a file that has already arrived.

#include <QObject>
#include <QPointer>
#include <functional>

class QMessageBox;
class QWebEngineDownloadRequest;
class QWebEnginePage;

class DownloadQuestion : public QObject {
public:
    // Holds download, taken on and paused, for page's question; "Ja" hands it
    // to saved, with the page's window. Deletes itself when the question ends.
    DownloadQuestion(QWebEngineDownloadRequest* download, QWebEnginePage* page,
                     std::function<void(QWebEngineDownloadRequest*, QWidget* owner)> saved);

    // The download held, until the question ends.
    QWebEngineDownloadRequest* heldDownload() const { return download; }
    // Shows the box over the page's window.
    void ask(const QString& text);
    // Ends the question unanswered.
    void end() { answer(false); }

private:
    void answer(bool yes);

    QPointer<QWebEngineDownloadRequest> download;
    QPointer<QWidget> owner;
    QPointer<QMessageBox> box;
    std::function<void(QWebEngineDownloadRequest*, QWidget* owner)> saved;
    bool pageNavigates = false;  // a load of the page began after the question
};
