#pragma once

// The rules that keep pages and visitors inside the shell: which addresses may
// be opened from the address box and from a page's new window, which files a
// page may upload, and how much of the disk a page's download must leave free.

#include <QString>
#include <QStringList>
#include <QUrl>

// An address as a user would type it; a text without a scheme is completed
// (a host name to http, a path to file), nothing at all gives the blank page.
QUrl addressUrl(const QString& address);

// http and https: the only schemes a visitor or a page may open by themselves.
bool isWebUrl(const QUrl& url);

// text without the characters that turn the direction of writing (U+061C,
// U+200E, U+200F, U+202A to U+202E, U+2066 to U+2069), with which a name such
// as "rechnung\u202Efdp.exe" reads as "rechnungexe.pdf".
QString withoutDirectionMarks(const QString& text);

// A page's text (an address, a file name) as a program box shows it: in
// quotes, without direction marks, and cut to 80 characters in its middle,
// so that the end (a file's extension) stays in view.
QString quotedPageText(const QString& text);

// The warning that an address was refused.
QString refusedAddressText(const QString& address);

// A text typed or picked in the address box may be opened when it leads to a
// web address, to the blank page (an empty text), or to one of the addresses
// set in the settings (which keep any scheme).
bool mayOpenTypedAddress(const QString& typed, const QStringList& configured);

// The folders whose files a page may upload: each candidate that is an
// existing folder, as its canonical path, once, and none of excluded.
QStringList uploadFolders(const QStringList& candidates, const QStringList& excluded);

// The canonical path of the file that text names, when that is a readable
// regular file lying directly in one of folders (canonical, as uploadFolders
// gives them) and not hidden; empty otherwise. A relative text is looked up in each folder in
// turn; links and ".." count by where they lead.
QString uploadableFile(const QString& text, const QStringList& folders);

// The files of folder that uploadableFile accepts, hidden ones left out, by name.
QStringList uploadableFiles(const QString& folder, const QStringList& folders);

// The free space a page's download must leave: 1 GiB or 5 % of the disk,
// whichever is smaller.
qint64 freeSpaceReserve(qint64 diskBytes);

// Whether the disk keeps its reserve after stillToCome more bytes (0 when the
// size is unknown, so that only the space already gone counts).
bool leavesEnoughFreeSpace(qint64 availableBytes, qint64 diskBytes, qint64 stillToCome);
