#include "device/win/DeviceNotification.h"

#include "device/BroadcastName.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <dbt.h>

namespace {

// GUID_DEVINTERFACE_USB_DEVICE {A5DCBF10-6530-11D2-901F-00C04FB951ED}
const GUID UsbDeviceInterface = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

} // namespace

void *registerAdapterNotifications(void *hwnd)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = UsbDeviceInterface;
    return RegisterDeviceNotificationW(static_cast<HANDLE>(hwnd), &filter,
                                       DEVICE_NOTIFY_WINDOW_HANDLE);
}

void unregisterAdapterNotifications(void *notification)
{
    if (notification)
        UnregisterDeviceNotification(static_cast<HDEVNOTIFY>(notification));
}

bool deviceInterfaceChange(const void *nativeMsg, int *code, std::wstring *name)
{
    const auto *msg = static_cast<const MSG *>(nativeMsg);
    if (!msg || msg->message != WM_DEVICECHANGE)
        return false;
    int event;
    if (msg->wParam == DBT_DEVICEARRIVAL)
        event = 0;
    else if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        event = 1;
    else
        return false;
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(msg->lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return false;
    const auto *iface = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header);
    // The name is NUL-terminated, but never read past the size the sender declared.
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t maxChars =
        header->dbch_size > offset ? (header->dbch_size - offset) / sizeof(wchar_t) : 0;
    size_t length = 0;
    while (length < maxChars && iface->dbcc_name[length] != L'\0')
        ++length;
    if (code)
        *code = event;
    if (name)
        name->assign(iface->dbcc_name, length);
    return true;
}

int adapterDeviceChange(const void *nativeMsg)
{
    int code = -1;
    std::wstring name;
    if (!deviceInterfaceChange(nativeMsg, &code, &name) || !isAdapterBroadcastName(name))
        return -1;
    return code;
}
