#pragma once

#include "device/SimFirmware.h"

#include <QStringList>

// The requests the adapter model has logged, oldest first, as upper-case hex.
inline QStringList requestsHex(const SimFirmware &device)
{
    QStringList out;
    for (const SimFirmware::Bytes &r : device.requests())
        out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex().toUpper();
    return out;
}
