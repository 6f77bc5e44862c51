#pragma once
// A USB bus emulated by umockdev on which simulated adapters can be plugged: real libusb
// in this process sees /dev/bus/usb nodes whose usbdevfs ioctls are answered by a
// SimFirmware. Works only under umockdev-wrapper. No GLib in this header, so that test
// files can include Qt freely.

#include "device/SimFirmware.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct UsbEndpoint {
    uint8_t address;    // bit 7: IN
    uint8_t attributes; // 2 bulk, 3 interrupt
};

class EmulatedUsbBus {
public:
    // The adapter's four endpoints: interrupt IN 0x81 / OUT 0x01, bulk IN 0x82 / OUT 0x02.
    static std::vector<UsbEndpoint> adapterEndpoints();

    EmulatedUsbBus();
    ~EmulatedUsbBus();

    // True when this process runs under umockdev-wrapper (tests/usb/umockdev-run.sh).
    static bool inMockEnvironment();

    // Plugs a device answering through `firmware`; returns its sysfs path, ending in
    // "-<device address>", or empty on failure (see error()). The "add" uevent reaches libusb's hot-plug monitor.
    std::string plug(std::shared_ptr<SimFirmware> firmware,
                     const std::vector<UsbEndpoint> &endpoints = adapterEndpoints(),
                     uint16_t vendorId = 0x0471, uint16_t productId = 0x1200);
    // Sends the "remove" uevent and takes the device off the bus; its firmware counts as
    // unplugged, so pending and later transfers fail as on a real disconnect.
    void unplug(const std::string &sysfsPath);

    // Where the device node of a plugged device lives inside the testbed.
    std::string nodeFile(const std::string &sysfsPath) const;

    std::string error() const { return m_error; }

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::string m_error;
};
