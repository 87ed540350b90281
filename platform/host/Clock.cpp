#include "platform/host/Clock.h"

namespace {
std::function<QDateTime()>& installed()
{
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime currentDateTime()
{
    const auto& clock = installed();
    return clock ? clock() : QDateTime::currentDateTime();
}

void setClock(std::function<QDateTime()> clock)
{
    installed() = std::move(clock);
}

QString dateStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("dd.MM.yyyy"));
}

QString timeStamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("HH:mm:ss"));
}
