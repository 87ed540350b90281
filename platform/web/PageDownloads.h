#pragma once

// Downloads that a page starts (a link to a file, an attachment): refused
// when the visitor may not surf; otherwise one at a time, each after a
// question (see DownloadQuestion), at most a few per page load, saved into the
// host store's "Download Directory" as it is at that moment, under the name
// the server suggests (made fit to save), never over an existing file, with
// its progress window, and never past the disk's free-space reserve.

#include <QString>

class KaveloPage;
class QWebEngineDownloadRequest;

// The host "Download Directory", or the user's download folder when that is empty.
QString pageDownloadFolder();

// The window tells while it waits for a download button's transfer: pages
// then start no download.
void setButtonDownloadRunning(bool running);
bool buttonDownloadRunning();

// The downloadRequested handler of the profile whose one page is page;
// refuses every download while a download button's transfer runs. It decides
// at once and runs no event loop. The engine's own download->page() is no
// way to the page: it crashes for a download whose page has navigated away.
void acceptPageDownload(QWebEngineDownloadRequest* download, KaveloPage* page);

// Ends what pages have started: the open question, unanswered, and every
// running page download (the engine removes its partial file); closes their
// progress windows. Before the view's page or the profile goes, and at the
// program's end.
void endPageDownloads();
