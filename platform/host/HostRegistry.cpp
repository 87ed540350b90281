#include "platform/host/HostRegistry.h"

#include "platform/host/PrivateFile.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

#ifndef Q_OS_WIN
// Looked up at every opening, so that a changed XDG_CONFIG_HOME takes effect.
QString storeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kavelo");
}

// The text of a value as it stands in the INI file. QSettings takes a
// hand-edited value with an unquoted comma ("/a, b") for a list, and one that
// starts with "@" for a typed value; the store holds texts only.
QString rawIniText(const QString& fileName, const QString& section, const QString& name)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const auto unescaped = [](const QString& key) { return QUrl::fromPercentEncoding(key.trimmed().toUtf8()); };
    QString current;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = unescaped(line.mid(1, line.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && current == section && unescaped(line.left(equals)) == name)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}
#endif

}  // namespace

HostRegistryKey::HostRegistryKey() = default;
HostRegistryKey::~HostRegistryKey() = default;

bool HostRegistryKey::open(const QString& keyPath)
{
    close();
#ifdef Q_OS_WIN
    store = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER") + keyPath, QSettings::NativeFormat);
#else
    const QString folder = storeFolder();
    if (!QDir().mkpath(folder))
        return false;
    const QString file = folder + QStringLiteral("/host-registry.ini");
    // The store holds the folders: its owner's alone, also one an earlier version made.
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    if (ensurePrivateFile(file) && QFile::permissions(file) != ownerOnly)
        QFile::setPermissions(file, ownerOnly);
    store = std::make_unique<QSettings>(file, QSettings::IniFormat);
    // The whole key path names one INI section; QSettings escapes its backslashes and blanks.
    store->beginGroup(keyPath);
    this->keyPath = keyPath;
#endif
    if (store->status() != QSettings::NoError || !store->isWritable()) {
        store.reset();
        return false;
    }
    return true;
}

QString HostRegistryKey::readString(const QString& name) const
{
    if (!store)
        return {};
    const QVariant value = store->value(name);
    if (!value.isValid())
        return {};
    if (value.typeId() == QMetaType::QString)
        return value.toString();
#ifdef Q_OS_WIN
    fail(QStringLiteral("Der Registrierungswert \"%1\" ist kein Text.").arg(name));
#else
    return rawIniText(store->fileName(), keyPath, name);
#endif
}

void HostRegistryKey::writeString(const QString& name, const QString& value)
{
    if (store) {
        store->setValue(name, value);
        store->sync();
        if (store->status() == QSettings::NoError)
            return;
    }
    fail(QStringLiteral("Der Registrierungswert \"%1\" kann nicht geschrieben werden.").arg(name));
}

void HostRegistryKey::close()
{
    store.reset();
}

QString readHostValue(const QString& keyPath, const QString& name)
{
    HostRegistryKey key;
    return key.open(keyPath) ? key.readString(name) : QString();
}

void lendHostValue(const QString& keyPath, const QString& name, const QString& value, const std::function<void()>& use)
{
    HostRegistryKey key;
    if (!key.open(keyPath)) {
        use();
        return;
    }
    const QString previous = key.readString(name);
    key.writeString(name, value);
    try {
        use();
    } catch (...) {
        key.writeString(name, previous);
        throw;
    }
    key.writeString(name, previous);
}
