#include "platform/Clock.h"

namespace {
std::function<QDateTime()>& installed()
{
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime CurrentDateTime()
{
    const auto& clock = installed();
    return clock ? clock() : QDateTime::currentDateTime();
}

void SetClock(std::function<QDateTime()> clock)
{
    installed() = std::move(clock);
}

QString DateStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("dd.MM.yyyy"));
}

QString TimeStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("HH:mm:ss"));
}
