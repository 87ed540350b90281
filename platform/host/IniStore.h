#pragma once

// An INI file in the format QSettings reads and writes (section and key names
// percent-escaped, texts quoted and escaped where needed), read and changed
// one value at a time. The file is taken as bytes and lines, split at "\n";
// a change replaces only the text of that value in its line (or adds a line,
// ending as the file's first line ends), and every other byte stays as it
// was: comments, blank lines, hand-made order, "\r\n" line ends, bytes that
// are no UTF-8 and lines the store cannot read. The file is replaced as a
// whole (a new file beside it, synced, then renamed), keeping its mode.

#include <QString>
#include <optional>

class IniStore {
public:
    explicit IniStore(QString fileName);

    // The text of a value as the file holds it now; nothing when the value or
    // the file is missing. A value QSettings would take for a list (an
    // unquoted comma) or for a typed value ("@ByteArray(...)") reads as the
    // text that stands in the file. A quote left open closes at its line's
    // end, as QSettings reads one in the file's last line (the line
    // Name="abc gives abc); QSettings would run on into the lines below it,
    // which are values of their own here. A backslash at a line's end is
    // dropped, and bytes that are no UTF-8 read as U+FFFD.
    std::optional<QString> value(const QString& section, const QString& name) const;
    // The value as the file holds it, byte for byte: all that stands after
    // its "=", up to a comment or the line's end.
    std::optional<QByteArray> storedValue(const QString& section, const QString& name) const;
    // All three false when the file could not be read or replaced. A value
    // whose line reads as that text already leaves the file untouched.
    bool setValue(const QString& section, const QString& name, const QString& value);
    // Puts bytes that storedValue gave in place of all that stands after the
    // value's "=", unless its line reads as their text already: a value that
    // setValue changed is again exactly what it was, also where its text lost
    // bytes that are no UTF-8.
    bool setStoredValue(const QString& section, const QString& name, const QByteArray& stored);
    bool removeValue(const QString& section, const QString& name);

private:
    bool change(const QString& section, const QString& name, const std::optional<QByteArray>& stored, bool keepBlanks);

    QString fileName;
};
