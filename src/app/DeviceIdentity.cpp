#include "app/DeviceIdentity.h"

#include "app/SessionCommands.h"
#include "device/CWrapWinUSB.h"

#include <QRegularExpression>

namespace {
constexpr int NameLength = SessionCommands::TypeWidth + 1 + SessionCommands::SerialWidth;
} // namespace

DeviceIdentity readDeviceIdentity()
{
    CWrapWinUSB link;
    return readDeviceIdentity(link);
}

DeviceIdentity readDeviceIdentity(CWrapWinUSB &link)
{
    using namespace SessionCommands;
    DeviceIdentity id;
    struct Closer {
        CWrapWinUSB &link;
        ~Closer() { link.close(); }
    } closer{link};

    if (!link.open(DeviceInterfaceGuid)) {
        id.failure = QStringLiteral("the adapter could not be opened");
        return id;
    }
    const DeviceInfo info = readDeviceInfo(link, SerialNumber | DeviceType | FirmwareVersion);
    id.deviceType = info.deviceType;
    id.firmwareVersion = info.firmwareVersion;
    id.failure = info.failure;
    if (!info.serialNumber.isNull() && !id.deviceType.isNull())
        id.name = id.deviceType + QLatin1Char('_') + info.serialNumber;
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
