#include "app/DeviceIdentity.h"

#include "device/CWrapWinUSB.h"
#include "device/Protocol.h"

#include <QRegularExpression>

namespace {
constexpr int FieldOffset = 4;
constexpr int SerialWidth = 11;
constexpr int TypeWidth = 7;
constexpr int NameLength = TypeWidth + 1 + SerialWidth;
} // namespace

DeviceIdentity readDeviceIdentity()
{
    CWrapWinUSB link;
    return readDeviceIdentity(link);
}

DeviceIdentity readDeviceIdentity(CWrapWinUSB &link)
{
    using namespace Protocol;
    DeviceIdentity id;
    struct Closer {
        CWrapWinUSB &link;
        ~Closer() { link.close(); }
    } closer{link};

    if (!link.open(DeviceInterfaceGuid))
        return id;
    if (!sendRequest(link, CommandId::ReadSerialNumber, Protocol::readSerialNumber()))
        return id;
    // Only the first write is checked; later exchanges are taken as they come, but each
    // field is judged on its own reply so a lost reply never shows an older one's bytes.
    QByteArray reply;
    readReply(link, CommandId::ReadSerialNumber, &reply);
    const QString serial = latin1Field(reply, FieldOffset, SerialWidth);

    sendRequest(link, CommandId::ReadDeviceType, Protocol::readDeviceType());
    readReply(link, CommandId::ReadDeviceType, &reply);
    id.deviceType = latin1Field(reply, FieldOffset, TypeWidth);

    sendRequest(link, CommandId::ReadFirmwareVersion, Protocol::readFirmwareVersion());
    readReply(link, CommandId::ReadFirmwareVersion, &reply);
    id.firmwareVersion = versionFromReply(reply);

    if (!serial.isNull() && !id.deviceType.isNull())
        id.name = id.deviceType + QLatin1Char('_') + serial;
    return id;
}

QString displayableDeviceName(const QString &name)
{
    static const QRegularExpression whiteSpace(QStringLiteral("\\s"));
    QString compact = name;
    compact.remove(whiteSpace);
    return compact.size() == NameLength ? compact : QString();
}

bool isSupportedDevice(const QString &deviceType, const QString &firmwareVersion)
{
    const int plus = deviceType.indexOf(QLatin1Char('+'));
    if (plus < 0 || plus != deviceType.size() - 1)
        return false;
    // toInt() gives 0 for anything that is not a decimal number, as the rule wants.
    const int major = firmwareVersion.left(1).toInt();
    if (major == 1 && firmwareVersion.right(2).toInt() < 15)
        return false;
    return true;
}
