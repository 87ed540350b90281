#pragma once

// How a download's target field becomes the names of the files one run writes:
// the split into folder, name and extension, the date and time stamps, the
// eight suffix modes, and the short form of the address shown in messages.

#include "settings/EinstellRecord.h"

#include <QDateTime>
#include <QString>

struct TargetParts {
    QString folder;          // up to and including the last "\", ":" or "/"; empty without one
    QString name;            // the rest of the field
    QString extension;       // from the name's last "." to its end; empty without "."
    qsizetype position = 0;  // 1-based first occurrence of the extension in the name; 0 when empty
};

TargetParts splitTarget(const QString& target);

// Puts text in front of the name's character at the 1-based position;
// position 0 puts it at the very beginning.
QString insertAt(const QString& name, qsizetype position, const QString& text);

// 2010_05_17 and 14_05 (24-hour clock).
QString fileDateStamp(const QDateTime& moment);
QString fileTimeStamp(const QDateTime& moment);

enum SuffixMode : Word {
    SuffixNone = 0,
    SuffixNumber = 1,
    SuffixDate = 2,
    SuffixDateTime = 3,
    SuffixBackupCopy = 4,
    SuffixNumberedCopy = 5,
    SuffixDateCopy = 6,
    SuffixDateTimeCopy = 7,
};

// The modes whose names take the running number, which advances after each success.
inline bool isNumberedMode(Word mode)
{
    return mode == SuffixNumber || mode == SuffixNumberedCopy;
}

struct TargetNames {
    QString downloadName;  // the file the transfer writes, inside the folder
    QString copyName;      // the extra copy inside the folder; empty when the mode keeps none
};

// The names of one run; a mode above 7 acts as SuffixNone.
TargetNames nameTargets(const TargetParts& parts, Word suffixMode, Word counter, const QDateTime& stamp);

// The text after the address's last "\" or ":", e.g. //host/path/file; the
// whole address when it has neither.
QString urlTail(const QString& url);
