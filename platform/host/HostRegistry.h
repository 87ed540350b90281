#pragma once

// The host browser's settings store under the current user: an INI file at
// $XDG_CONFIG_HOME/Kavelo/host-registry.ini (default ~/.config/...), with the
// key paths and value names of the registry it stands for. The browser view reads the same store. The
// INI file keeps the format QSettings gave it; a write changes only the line
// of its value, so what a person wrote into it by hand (comments too) stays.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class IniStore;

inline const QString kInternetExplorerKey = QStringLiteral("\\Software\\Microsoft\\Internet Explorer");
inline const QString kInternetExplorerMainKey = QStringLiteral("\\Software\\Microsoft\\Internet Explorer\\Main");
inline const QString kDownloadDirectoryValue = QStringLiteral("Download Directory");
inline const QString kStartPageValue = QStringLiteral("Start Page");
inline const QString kSearchPageValue = QStringLiteral("Search Page");

class HostRegistryKey {
public:
    HostRegistryKey();
    ~HostRegistryKey();
    HostRegistryKey(const HostRegistryKey&) = delete;
    HostRegistryKey& operator=(const HostRegistryKey&) = delete;

    // Opens the key for reading and writing, creating it when missing; false
    // when the store cannot be read or written.
    bool open(const QString& keyPath);
    // A value that does not exist reads as empty text; any value reads as the
    // text it holds.
    QString readString(const QString& name) const;
    // Whether the value exists, also as an empty text.
    bool hasValue(const QString& name) const;
    // Both throw std::runtime_error with a German text when the value cannot
    // be written. Removing a value that does not exist is no error.
    void writeString(const QString& name, const QString& value);
    void removeValue(const QString& name);
    // The value as the store holds it, byte for byte (empty when it is
    // missing), and such bytes written back, throwing as writeString does: a
    // value put back this way is exactly what it was, also with bytes that
    // are no UTF-8, which its text reads as U+FFFD.
    QByteArray readStored(const QString& name) const;
    void writeStored(const QString& name, const QByteArray& stored);
    void close();

private:
    std::unique_ptr<IniStore> store;
    QString keyPath;
};

// Reads one value in one step (empty when the key cannot be opened or the value is missing).
QString readHostValue(const QString& keyPath, const QString& name);

// Writes value into the host value for the one call of use and puts the value
// that was there back afterwards byte for byte, also when use throws. A store
// that cannot be opened is no error: use runs all the same and meets the
// host's own value.
void lendHostValue(const QString& keyPath, const QString& name, const QString& value, const std::function<void()>& use);
