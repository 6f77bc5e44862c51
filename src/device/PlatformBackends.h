#pragma once
// Registration hooks of the real backends, each defined only where it is built.

#if defined(BRANTEL_HAVE_LIBUSB)
// Registers the libusb-1.0 backend (and its hot-plug source) under the name "libusb".
void registerLibusbBackend();
#endif

#if defined(BRANTEL_HAVE_WINUSB)
// Registers the native WinUSB backend under the name "winusb".
void registerWinUsbBackend();
#endif
