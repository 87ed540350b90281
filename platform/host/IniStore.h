#pragma once

// An INI file in the format QSettings reads and writes (section and key names
// percent-escaped, texts quoted and escaped where needed), read and changed
// one value at a time. A change rewrites only the lines of that value, so
// comments, blank lines and the order of hand-edited content stay byte for
// byte; the file is replaced as a whole (a new file beside it, synced, then
// renamed), keeping its mode.

#include <QString>
#include <optional>

class IniStore {
public:
    explicit IniStore(QString fileName);

    // The text of a value as the file holds it now; nothing when the value or
    // the file is missing. A value QSettings would take for a list (an
    // unquoted comma) or for a typed value ("@ByteArray(...)") reads as the
    // text that stands in the file.
    std::optional<QString> value(const QString& section, const QString& name) const;
    // Both false when the file could not be read or replaced.
    bool setValue(const QString& section, const QString& name, const QString& value);
    bool removeValue(const QString& section, const QString& name);

private:
    bool change(const QString& section, const QString& name, const std::optional<QString>& value);

    QString fileName;
};
