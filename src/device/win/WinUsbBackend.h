#pragma once
// The adapter over the native WinUSB driver (Windows only). Qt-free: handles are kept
// as plain pointers so that this header does not drag <windows.h> into its includers.

#include "device/UsbBackend.h"

#include <cstdint>
#include <mutex>
#include <string>

class WinUsbBackend final : public UsbBackend {
public:
    // Matches the adapter's device interface {9F543223-CEDE-4FA3-B376-A25CE9A30E74}.
    struct Guid {
        uint32_t data1;
        uint16_t data2;
        uint16_t data3;
        uint8_t data4[8];
    };
    static const Guid AdapterInterface;

    explicit WinUsbBackend(const Guid &interfaceGuid = AdapterInterface);
    ~WinUsbBackend() override;
    WinUsbBackend(const WinUsbBackend &) = delete;
    WinUsbBackend &operator=(const WinUsbBackend &) = delete;

    bool open() override;
    // Releases the WinUSB interface, then the device file.
    void close() override;
    TransferStatus writeInterrupt(const uint8_t *data, uint32_t length, uint32_t *transferred,
                                  unsigned timeoutMs) override;
    TransferStatus readInterrupt(uint8_t *data, uint32_t length, uint32_t *transferred,
                                 unsigned timeoutMs) override;
    // Overlapped read of the bulk IN pipe. Once cancelBulk() ran, bulk reads fail until
    // resumeBulk() or the next open(), so a cancel that lands just before a read starts
    // is not lost.
    bool readBulk(uint8_t *data, uint32_t length, uint32_t *transferred) override;
    void cancelBulk() override;
    void resumeBulk() override;
    PipeIds pipes() const override { return m_pipes; }
    // The WINUSB_INTERFACE_HANDLE.
    void *nativeHandle() const override { return m_winusb; }

    // The device path of the last device with the interface, or empty when the search
    // fails (no device, or any step of the enumeration fails).
    static std::wstring findDevicePath(const Guid &interfaceGuid);

private:
    bool queryPipes();
    bool setPipeTimeout(uint8_t pipeId, unsigned timeoutMs, unsigned &current);

    Guid m_guid;
    void *m_file = nullptr;   // HANDLE from CreateFileW
    void *m_winusb = nullptr; // WINUSB_INTERFACE_HANDLE
    void *m_bulkEvent = nullptr;
    PipeIds m_pipes;
    // Pipe time-outs as last set on the device, so each exchange does not re-set them.
    unsigned m_outTimeout = 0;
    unsigned m_inTimeout = 0;

    std::mutex m_bulkMutex;
    bool m_bulkPending = false;
    bool m_bulkCancelled = false;
};
