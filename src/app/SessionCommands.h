#pragma once
// The exchanges of a device session that the main window runs: what a connection reads,
// the two operating modes, and the device's information fields. Each returns false (or
// leaves a field null) when its reply did not pass; the caller shows the message.

#include <QString>

class CWrapWinUSB;

namespace SessionCommands {

struct ModeState {
    bool offlineMode = false;
    int capacity = 0;      // offline records the device can hold
    int storedCount = 0;   // offline records it holds now
    bool relayMode = false;
    int sendType = 0;      // 0 cycle send, 1 timed send (other values name no item)
};

bool readChannalCount(CWrapWinUSB &link, int *count);
bool readModeState(CWrapWinUSB &link, ModeState *state);
bool setOfflineMode(CWrapWinUSB &link, bool on, int sendType);
bool setRelayMode(CWrapWinUSB &link, bool on);

constexpr int SerialWidth = 11;
constexpr int TypeWidth = 7;

// The information fields; each is one request and its reply, read in this order.
enum InfoField : unsigned {
    SerialNumber = 1,
    DeviceType = 2,
    HardwareVersion = 4,
    FirmwareVersion = 8,
    AllFields = 15,
};

// Each field is null when its own reply did not arrive whole (or was not asked for);
// all are null when the first request could not be written.
struct DeviceInfo {
    bool reached = false; // the first request was written
    QString serialNumber;
    QString deviceType;
    QString hardwareVersion;
    QString firmwareVersion;
    QString failure;      // why the fields asked for are null, one "; " apart
};
DeviceInfo readDeviceInfo(CWrapWinUSB &link, unsigned fields = AllFields);

} // namespace SessionCommands
