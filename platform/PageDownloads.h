#pragma once

// Downloads that a page starts (a link to a file, an attachment): refused
// when the visitor may not surf; otherwise one at a time, each after a
// question, saved into the host store's "Download Directory" as it is at that
// moment, under the name the server suggests, never over an existing file,
// with its progress window, and never past the disk's free-space reserve.

#include <QSet>
#include <QString>

class QWebEngineDownloadRequest;

// The host "Download Directory", or the user's download folder when that is empty.
QString PageDownloadFolder();

// fileName when no file in folder and no name in taken has it, else the first
// free of "name (1).ext", "name (2).ext", ... (a ".tar.*" ending stays whole).
QString FreeFileName(const QString& folder, const QString& fileName, const QSet<QString>& taken);

// The profile's downloadRequested handler.
void AcceptPageDownload(QWebEngineDownloadRequest* download);
