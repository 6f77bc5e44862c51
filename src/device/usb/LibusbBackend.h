#pragma once
// The adapter over libusb-1.0 (Linux, macOS). Qt-free, like every backend.

#include "device/UsbBackend.h"

#include <atomic>
#include <cstdint>
#include <mutex>

struct libusb_context;
struct libusb_device_handle;
struct libusb_transfer;

class LibusbBackend final : public UsbBackend {
public:
    static constexpr uint16_t VendorId = 0x0471;
    static constexpr uint16_t ProductId = 0x1200;
    // The rule that grants the logged-in user access; named in the hint on EACCES.
    static constexpr const char *UdevRuleFile = "/etc/udev/rules.d/60-brantel.rules";

    LibusbBackend() = default;
    ~LibusbBackend() override;
    LibusbBackend(const LibusbBackend &) = delete;
    LibusbBackend &operator=(const LibusbBackend &) = delete;

    bool open() override;
    void close() override;
    TransferStatus writeInterrupt(const uint8_t *data, uint32_t length, uint32_t *transferred,
                                  unsigned timeoutMs) override;
    TransferStatus readInterrupt(uint8_t *data, uint32_t length, uint32_t *transferred,
                                 unsigned timeoutMs) override;
    // Cancelled by cancelBulk(); once cancelled, bulk reads fail until resumeBulk() or
    // the next open(), so a cancel that races with the start of a read is never lost.
    bool readBulk(uint8_t *data, uint32_t length, uint32_t *transferred) override;
    void cancelBulk() override;
    void resumeBulk() override;
    PipeIds pipes() const override { return m_pipes; }

private:
    bool openDevice();
    TransferStatus interruptTransfer(uint8_t endpoint, uint8_t *data, uint32_t length,
                                     uint32_t *transferred, unsigned timeoutMs);

    libusb_context *m_ctx = nullptr;
    libusb_device_handle *m_handle = nullptr;
    bool m_claimed = false;
    bool m_reattachDriver = false;
    PipeIds m_pipes;

    // Bulk read state: m_bulkMutex orders submit against cancel.
    std::mutex m_bulkMutex;
    libusb_transfer *m_bulkTransfer = nullptr;
    bool m_bulkPending = false;
    bool m_bulkCancelled = false;
    std::atomic<bool> m_bulkDone{false};
};
