#include "platform/LoginAttempts.h"

#include "platform/HostRegistry.h"

#include <algorithm>

namespace {

const QString kKey = QStringLiteral("\\Software\\Kavelo\\Zugangskontrolle");
const QString kFailuresValue = QStringLiteral("Fehlversuche");
const QString kLastFailureValue = QStringLiteral("Letzter Fehlversuch");

constexpr int kFreeEntries = 3;
constexpr std::chrono::milliseconds kFirstWait = std::chrono::seconds(2);
constexpr std::chrono::milliseconds kLongestWait = std::chrono::seconds(60);

}  // namespace

LoginAttempts readLoginAttempts()
{
    LoginAttempts attempts;
    HostRegistryKey key;
    if (!key.open(kKey))
        return attempts;
    try {
        attempts.failures = std::max(0, key.readString(kFailuresValue).toInt());
        attempts.lastFailure = QDateTime::fromString(key.readString(kLastFailureValue), Qt::ISODateWithMs);
    } catch (const std::exception&) {
        return {};  // a value that is no text counts as nothing recorded
    }
    return attempts;
}

bool writeLoginAttempts(const LoginAttempts& attempts)
{
    HostRegistryKey key;
    if (!key.open(kKey))
        return false;
    try {
        key.writeString(kFailuresValue, QString::number(attempts.failures));
        key.writeString(kLastFailureValue, attempts.lastFailure.toUTC().toString(Qt::ISODateWithMs));
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void recordWrongEntry(const QDateTime& now)
{
    LoginAttempts attempts = readLoginAttempts();
    attempts.failures = std::min(attempts.failures + 1, 1000);
    attempts.lastFailure = now;
    writeLoginAttempts(attempts);
}

void recordRightEntry()
{
    if (readLoginAttempts().failures != 0)
        writeLoginAttempts({});
}

std::chrono::milliseconds loginWait(const LoginAttempts& attempts, const QDateTime& now)
{
    if (attempts.failures < kFreeEntries || !attempts.lastFailure.isValid())
        return {};
    std::chrono::milliseconds wait = kFirstWait;
    for (int i = kFreeEntries; i < attempts.failures && wait < kLongestWait; ++i)
        wait *= 2;
    wait = std::min(wait, kLongestWait);
    // A clock set back counts as no time passed.
    const std::chrono::milliseconds passed(std::max<qint64>(0, attempts.lastFailure.msecsTo(now)));
    return std::max(std::chrono::milliseconds(0), wait - passed);
}
