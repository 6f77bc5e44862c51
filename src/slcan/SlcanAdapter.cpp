#include "slcan/SlcanAdapter.h"

#include "app/DeviceIdentity.h"
#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "dump/AdapterProbe.h"
#include "dump/DumpCapture.h"

namespace {

constexpr int SerialOffset = 4;
constexpr int SerialWidth = 11;
constexpr int MaxChannels = 2;

// The reply of a command without a reply test; empty when none arrived.
QByteArray query(CWrapWinUSB &link, CommandId id, const QByteArray &request)
{
    return Protocol::exchange(link, id, request).reply;
}

// Only printable ASCII goes into an answer line: a CR or BEL in the field would end it.
QByteArray printable(const QString &field)
{
    QByteArray out;
    for (QChar c : field.trimmed()) {
        if (c.unicode() > 0x20 && c.unicode() < 0x7F)
            out.append(char(c.unicode()));
    }
    return out;
}

} // namespace

namespace SlcanAdapter {

int connect(CWrapWinUSB &link, bool probeBus, SlcanIdentity *identity, int *channels,
            QString *message)
{
    switch (probeBus ? probeAdapter() : AdapterAccess::Unknown) {
    case AdapterAccess::NotFound:
        *message = QStringLiteral("no adapter found (USB 0471:1200)");
        return DumpExit::NoAdapter;
    case AdapterAccess::AccessRefused:
        *message = QStringLiteral("access to the adapter refused: install the udev rule "
                                  "/etc/udev/rules.d/60-brantel.rules "
                                  "(packaging/linux/60-brantel.rules) and plug it in again");
        return DumpExit::AccessRefused;
    case AdapterAccess::InUse:
        *message = QStringLiteral("the adapter is in use by another program");
        return DumpExit::InUse;
    case AdapterAccess::Available:
    case AdapterAccess::Unknown:
        break; // opening the link decides
    }
    if (!link.open()) {
        *message = QStringLiteral("no adapter found (USB 0471:1200)");
        return DumpExit::NoAdapter;
    }
    link.close();
    const DeviceIdentity id = readDeviceIdentity(link);
    if (id.deviceType.isNull() || id.firmwareVersion.isNull()) {
        *message = QStringLiteral("the adapter did not tell its device type and firmware "
                                  "version: %1").arg(id.failure);
        return DumpExit::Failed;
    }
    if (!isSupportedDevice(id.deviceType, id.firmwareVersion)) {
        *message = QStringLiteral("incompatible adapter: device type \"%1\", firmware %2")
                       .arg(id.deviceType, id.firmwareVersion);
        return DumpExit::Incompatible;
    }
    if (!link.open()) {
        *message = QStringLiteral("the adapter could not be opened again");
        return DumpExit::Failed;
    }
    const ExchangeResult count =
        Protocol::exchange(link, CommandId::ReadChannalCount, Protocol::readChannalCount());
    if (!count.passed || quint8(count.reply.at(4)) < 1) {
        link.close();
        *message = QStringLiteral("the adapter did not tell its channel count: %1")
                       .arg(count.passed ? QStringLiteral("0 channels") : count.text());
        return DumpExit::Failed;
    }
    // Two at most, as the window shows.
    *channels = qMin(int(quint8(count.reply.at(4))), MaxChannels);
    identity->hardwareVersion = Protocol::versionFromReply(
        query(link, CommandId::ReadHardwareVersion, Protocol::readHardwareVersion()));
    identity->firmwareVersion = id.firmwareVersion;
    identity->serialNumber = printable(Protocol::latin1Field(
        query(link, CommandId::ReadSerialNumber, Protocol::readSerialNumber()), SerialOffset,
        SerialWidth));
    return DumpExit::Ok;
}

bool writeBitRate(CWrapWinUSB &link, int channel, const QByteArray &register4)
{
    return Protocol::exchange(link, CommandId::WriteBaudRate,
                              Protocol::writeBaudRate(channel, register4)).passed;
}

bool setReporting(CWrapWinUSB &link, bool on, QString *why)
{
    const ExchangeResult result =
        Protocol::exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(on));
    if (result.passed)
        return true;
    if (on)
        Protocol::exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(false));
    if (why)
        *why = result.text();
    return false;
}

bool answers(CWrapWinUSB &link)
{
    return Protocol::exchange(link, CommandId::ReadChannalCount, Protocol::readChannalCount())
        .passed;
}

} // namespace SlcanAdapter
