#pragma once
// What the program learns of a plugged adapter before connecting: its name (device
// type, "_", serial number) and the values the connection check needs.

#include <QString>

class CWrapWinUSB;

struct DeviceIdentity {
    QString name;             // empty when the device could not be reached
    QString deviceType;       // 7 characters, null when its reply did not arrive whole
    QString firmwareVersion;  // e.g. "1.15", null when its reply did not arrive whole
    QString failure;          // why a field is null, for a log or a one-line error
};

// Reads the identity through a short-lived link of its own (not the shared one).
DeviceIdentity readDeviceIdentity();
// The same exchanges over a given, closed link; opened and closed again here. The
// fields are those of the information dialog, hardware version left out.
DeviceIdentity readDeviceIdentity(CWrapWinUSB &link);

// The name as the device-name field shows it: every white-space character removed; null
// unless exactly 19 characters remain.
QString displayableDeviceName(const QString &name);

// Connect's compatibility check on the values of the last identity read: the device
// type's first "+" is its last character, and a firmware of major version 1 has a minor
// of at least 15 (its last two characters read as decimal, anything else counting as 0).
bool isSupportedDevice(const QString &deviceType, const QString &firmwareVersion);
