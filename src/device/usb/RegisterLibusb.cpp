#include "device/DeviceBackends.h"
#include "device/PlatformBackends.h"
#include "device/usb/LibusbBackend.h"
#include "device/usb/LibusbHotplug.h"

void registerLibusbBackend()
{
    DeviceBackends::registerBackend(BackendEntry{
        QStringLiteral("libusb"),
        [] { return std::unique_ptr<UsbBackend>(new LibusbBackend); },
        [](QObject *parent) -> HotplugSource * { return new LibusbHotplug(parent); },
    });
}
