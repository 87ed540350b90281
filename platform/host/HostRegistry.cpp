#include "platform/host/HostRegistry.h"

#include "platform/host/IniStore.h"
#include "platform/host/PrivateFile.h"

#include <QFile>
#include <QStandardPaths>
#include <stdexcept>

namespace {

// Looked up at every opening, so that a changed XDG_CONFIG_HOME takes effect.
QString storeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kavelo");
}

[[noreturn]] void failWriting(const QString& name)
{
    throw std::runtime_error(
        QStringLiteral("Der Registrierungswert „%1“ kann nicht geschrieben werden.").arg(name).toStdString());
}

}  // namespace

HostRegistryKey::HostRegistryKey() = default;
HostRegistryKey::~HostRegistryKey() = default;

bool HostRegistryKey::open(const QString& path)
{
    close();
    const QString folder = storeFolder();
    if (!ensurePrivateFolder(folder))
        return false;
    const QString file = folder + QStringLiteral("/host-registry.ini");
    // The store holds the folders: its owner's alone, also one an earlier version made.
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    if (ensurePrivateFile(file) && QFile::permissions(file) != ownerOnly)
        QFile::setPermissions(file, ownerOnly);
    // Opened for both, without changing it: a folder of that name, or a file
    // that may not be read or written, is no store.
    if (!QFile(file).open(QIODevice::ReadWrite))
        return false;
    store = std::make_unique<IniStore>(file);
    // The whole key path names one INI section, as QSettings' group did.
    keyPath = path;
    return true;
}

QString HostRegistryKey::readString(const QString& name) const
{
    return store ? store->value(keyPath, name).value_or(QString()) : QString();
}

bool HostRegistryKey::hasValue(const QString& name) const
{
    return store && store->value(keyPath, name).has_value();
}

void HostRegistryKey::writeString(const QString& name, const QString& value)
{
    if (!store || !store->setValue(keyPath, name, value))
        failWriting(name);
}

void HostRegistryKey::removeValue(const QString& name)
{
    if (!store || !store->removeValue(keyPath, name))
        failWriting(name);
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
