#include "dump/AdapterProbe.h"

#ifdef BRANTEL_HAVE_LIBUSB
#include "device/usb/LibusbBackend.h"

#include <libusb.h>

AdapterAccess probeAdapter()
{
    libusb_context *ctx = nullptr;
    if (libusb_init(&ctx) != LIBUSB_SUCCESS)
        return AdapterAccess::Unknown;
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(ctx, &list);
    libusb_device *chosen = nullptr;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor desc;
        if (libusb_get_device_descriptor(list[i], &desc) == LIBUSB_SUCCESS
            && desc.idVendor == LibusbBackend::VendorId
            && desc.idProduct == LibusbBackend::ProductId)
            chosen = list[i]; // the one the link opens: the last enumerated
    }
    AdapterAccess result = AdapterAccess::NotFound;
    libusb_device_handle *handle = nullptr;
    if (chosen) {
        const int rc = libusb_open(chosen, &handle);
        result = rc == LIBUSB_SUCCESS        ? AdapterAccess::Available
            : rc == LIBUSB_ERROR_ACCESS      ? AdapterAccess::AccessRefused
            : rc == LIBUSB_ERROR_NO_DEVICE   ? AdapterAccess::NotFound
                                             : AdapterAccess::Unknown;
    }
    // A kernel driver is detached by the link itself; only another program's claim
    // (through usbfs, which libusb does not count as a kernel driver) keeps us out.
    if (handle && libusb_kernel_driver_active(handle, 0) != 1) {
        const int rc = libusb_claim_interface(handle, 0);
        if (rc == LIBUSB_SUCCESS)
            libusb_release_interface(handle, 0);
        else if (rc == LIBUSB_ERROR_BUSY)
            result = AdapterAccess::InUse;
        else if (rc == LIBUSB_ERROR_ACCESS)
            result = AdapterAccess::AccessRefused;
    }
    if (handle)
        libusb_close(handle);
    if (count >= 0)
        libusb_free_device_list(list, 1);
    libusb_exit(ctx);
    return result;
}

#else

AdapterAccess probeAdapter()
{
    return AdapterAccess::Unknown;
}

#endif
