#include "app/SessionCommands.h"

#include "device/Protocol.h"

namespace SessionCommands {

using namespace Protocol;

namespace {
constexpr int FieldOffset = 4;
constexpr int SerialWidth = 11;
constexpr int TypeWidth = 7;

uint8_t byteAt(const QByteArray &reply, int i) { return uint8_t(reply.at(i)); }

// One request and its one reply, both with the command's checks.
bool exchange(CWrapWinUSB &link, CommandId id, const QByteArray &request, QByteArray *reply)
{
    return sendRequest(link, id, request) && readReply(link, id, reply);
}
} // namespace

bool readChannalCount(CWrapWinUSB &link, int *count)
{
    QByteArray reply;
    if (!exchange(link, CommandId::ReadChannalCount, Protocol::readChannalCount(), &reply))
        return false;
    *count = byteAt(reply, 4);
    return true;
}

bool readModeState(CWrapWinUSB &link, ModeState *state)
{
    QByteArray reply;
    if (!exchange(link, CommandId::ReadModeState, Protocol::readModeState(), &reply))
        return false;
    state->offlineMode = byteAt(reply, 3) != 0;
    state->capacity = byteAt(reply, 4);
    state->storedCount = byteAt(reply, 5);
    state->relayMode = byteAt(reply, 6) != 0;
    state->sendType = byteAt(reply, 7);
    return true;
}

bool setOfflineMode(CWrapWinUSB &link, bool on, int sendType)
{
    return exchange(link, CommandId::SetOfflineMode, Protocol::setOfflineMode(on, sendType),
                    nullptr);
}

bool setRelayMode(CWrapWinUSB &link, bool on)
{
    return exchange(link, CommandId::SetRelayMode, Protocol::setRelayMode(on), nullptr);
}

DeviceInfo readDeviceInfo(CWrapWinUSB &link)
{
    DeviceInfo info;
    if (!sendRequest(link, CommandId::ReadSerialNumber, Protocol::readSerialNumber()))
        return info;
    info.reached = true;
    // Only the first write is checked; each field is judged on its own reply, so a lost
    // reply leaves its field empty instead of showing an earlier reply's bytes.
    QByteArray reply;
    readReply(link, CommandId::ReadSerialNumber, &reply);
    info.serialNumber = latin1Field(reply, FieldOffset, SerialWidth);

    sendRequest(link, CommandId::ReadDeviceType, Protocol::readDeviceType());
    readReply(link, CommandId::ReadDeviceType, &reply);
    info.deviceType = latin1Field(reply, FieldOffset, TypeWidth);

    sendRequest(link, CommandId::ReadHardwareVersion, Protocol::readHardwareVersion());
    readReply(link, CommandId::ReadHardwareVersion, &reply);
    info.hardwareVersion = versionFromReply(reply);

    sendRequest(link, CommandId::ReadFirmwareVersion, Protocol::readFirmwareVersion());
    readReply(link, CommandId::ReadFirmwareVersion, &reply);
    info.firmwareVersion = versionFromReply(reply);
    return info;
}

} // namespace SessionCommands
