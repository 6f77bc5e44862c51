#include "device/DeviceBackends.h"
#include "device/PlatformBackends.h"
#include "device/win/WinUsbBackend.h"

// Arrival and removal come from the main window's WM_DEVICECHANGE messages, so this
// backend has no hot-plug source of its own.
void registerWinUsbBackend()
{
    DeviceBackends::registerBackend(BackendEntry{
        QStringLiteral("winusb"),
        [] { return std::unique_ptr<UsbBackend>(new WinUsbBackend); },
        {},
    });
}
