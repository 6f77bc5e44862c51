#include "slcan/SlcanAdapter.h"

#include "app/DeviceIdentity.h"
#include "device/CWrapWinUSB.h"
#include "device/Protocol.h"
#include "dump/AdapterProbe.h"
#include "dump/DumpCapture.h"

namespace {

constexpr int SerialOffset = 4;
constexpr int SerialWidth = 11;
constexpr int MaxChannels = 2;

bool exchange(CWrapWinUSB &link, CommandId id, const QByteArray &request,
              QByteArray *reply = nullptr)
{
    QByteArray received;
    const bool ok = Protocol::sendRequest(link, id, request)
        && Protocol::readReply(link, id, &received) && Protocol::replyPasses(id, true, received);
    if (reply)
        *reply = received;
    return ok;
}

// The reply of a command without a reply test; empty when none arrived.
QByteArray query(CWrapWinUSB &link, CommandId id, const QByteArray &request)
{
    QByteArray reply;
    if (!Protocol::sendRequest(link, id, request) || !Protocol::readReply(link, id, &reply))
        return QByteArray();
    return reply;
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
        *message = QStringLiteral("the adapter did not tell its device type and firmware version");
        return DumpExit::Failed;
    }
    if (!isSupportedDevice(id.deviceType, id.firmwareVersion)) {
        *message = QStringLiteral("incompatible adapter: device type \"%1\", firmware %2")
                       .arg(id.deviceType, id.firmwareVersion);
        return DumpExit::Incompatible;
    }
    QByteArray reply;
    if (!link.open()
        || !exchange(link, CommandId::ReadChannalCount, Protocol::readChannalCount(), &reply)
        || quint8(reply.at(4)) < 1) {
        link.close();
        *message = QStringLiteral("the adapter did not tell its channel count");
        return DumpExit::Failed;
    }
    *channels = qMin(int(quint8(reply.at(4))), MaxChannels); // two at most, as the window shows
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
    return exchange(link, CommandId::WriteBaudRate, Protocol::writeBaudRate(channel, register4));
}

bool setReporting(CWrapWinUSB &link, bool on)
{
    if (exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(on)))
        return true;
    if (on)
        exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(false));
    return false;
}

bool answers(CWrapWinUSB &link)
{
    return exchange(link, CommandId::ReadChannalCount, Protocol::readChannalCount());
}

} // namespace SlcanAdapter
