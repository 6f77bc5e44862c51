#pragma once
// Device arrival/removal broadcasts for the main window on Windows. Qt-free; the window
// passes its native handle and forwards WM_DEVICECHANGE messages.

#include <string>

// Registers `hwnd` (an HWND) for device-interface broadcasts of the USB device class.
// Returns the notification handle (HDEVNOTIFY), or null on failure.
void *registerAdapterNotifications(void *hwnd);
void unregisterAdapterNotifications(void *notification);

// Reads a native MSG: true for a WM_DEVICECHANGE arrival (code 0) or removal-complete
// (code 1) of a device interface, with the interface's name. Anything else is false.
bool deviceInterfaceChange(const void *nativeMsg, int *code, std::wstring *name);

// What the main window does with a native MSG: 0 when the adapter's interface arrived,
// 1 when it was removed, -1 for every other message and every other device.
int adapterDeviceChange(const void *nativeMsg);
