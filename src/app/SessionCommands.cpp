#include "app/SessionCommands.h"

#include "device/Exchange.h"

namespace SessionCommands {

namespace {
constexpr int FieldOffset = 4;

uint8_t byteAt(const QByteArray &reply, int i) { return uint8_t(reply.at(i)); }

struct InfoStep {
    InfoField field;
    CommandId id;
    QByteArray (*request)();
    QString DeviceInfo::*target;
    int width; // of a Latin-1 field; 0 for a version
};

const InfoStep InfoSteps[] = {
    {SerialNumber, CommandId::ReadSerialNumber, Protocol::readSerialNumber,
     &DeviceInfo::serialNumber, SerialWidth},
    {DeviceType, CommandId::ReadDeviceType, Protocol::readDeviceType, &DeviceInfo::deviceType,
     TypeWidth},
    {HardwareVersion, CommandId::ReadHardwareVersion, Protocol::readHardwareVersion,
     &DeviceInfo::hardwareVersion, 0},
    {FirmwareVersion, CommandId::ReadFirmwareVersion, Protocol::readFirmwareVersion,
     &DeviceInfo::firmwareVersion, 0},
};
} // namespace

bool readChannalCount(CWrapWinUSB &link, int *count)
{
    const ExchangeResult r =
        Protocol::exchange(link, CommandId::ReadChannalCount, Protocol::readChannalCount());
    if (!r.passed)
        return false;
    *count = byteAt(r.reply, 4);
    return true;
}

bool readModeState(CWrapWinUSB &link, ModeState *state)
{
    const ExchangeResult r =
        Protocol::exchange(link, CommandId::ReadModeState, Protocol::readModeState());
    if (!r.passed)
        return false;
    state->offlineMode = byteAt(r.reply, 3) != 0;
    state->capacity = byteAt(r.reply, 4);
    state->storedCount = byteAt(r.reply, 5);
    state->relayMode = byteAt(r.reply, 6) != 0;
    state->sendType = byteAt(r.reply, 7);
    return true;
}

bool setOfflineMode(CWrapWinUSB &link, bool on, int sendType)
{
    return Protocol::exchange(link, CommandId::SetOfflineMode,
                              Protocol::setOfflineMode(on, sendType))
        .passed;
}

bool setRelayMode(CWrapWinUSB &link, bool on)
{
    return Protocol::exchange(link, CommandId::SetRelayMode, Protocol::setRelayMode(on)).passed;
}

DeviceInfo readDeviceInfo(CWrapWinUSB &link, unsigned fields)
{
    DeviceInfo info;
    QStringList failures;
    for (const InfoStep &step : InfoSteps) {
        if (!(fields & step.field))
            continue;
        // Only the serial number's write is checked; the later replies are taken as they
        // come, but each field is judged on its own reply, so a lost reply leaves its
        // field empty instead of showing an earlier reply's bytes.
        const ExchangeResult r = Protocol::exchange(link, step.id, step.request());
        if (r.atRequest) {
            failures << r.text();
            break;
        }
        info.reached = true;
        QString &field = info.*step.target;
        field = step.width > 0 ? Protocol::latin1Field(r.reply, FieldOffset, step.width)
                               : Protocol::versionFromReply(r.reply);
        if (field.isNull())
            failures << (r.reason != ExchangeResult::Ok
                             ? r.text()
                             : QStringLiteral("a reply of %1 bytes to %2 is too short")
                                   .arg(r.reply.size())
                                   .arg(QLatin1String(Protocol::command(step.id).name)));
    }
    info.failure = failures.join(QStringLiteral("; "));
    return info;
}

} // namespace SessionCommands
