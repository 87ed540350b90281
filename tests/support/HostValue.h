#pragma once

// Sets one value of the host store in a window test; the test fails when the
// store cannot be opened.

#include "platform/host/HostRegistry.h"

#include <QTest>

inline void setHostValue(const QString& keyPath, const QString& name, const QString& value)
{
    HostRegistryKey key;
    QVERIFY(key.open(keyPath));
    key.writeString(name, value);
}
