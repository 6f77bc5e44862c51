#pragma once
// The program's only path to the adapter. It knows nothing of the bytes' meaning: it
// opens the device through a backend, moves command packets over the interrupt pipes
// with a time-out, and lends the monitor a cancellable bulk read.

#include "device/UsbBackend.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

struct InterfaceGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};
    bool isNull() const;
};

// {9F543223-CEDE-4FA3-B376-A25CE9A30E74}
extern const InterfaceGuid DeviceInterfaceGuid;

class CWrapWinUSB {
public:
    // Every command read and write fails after this long instead of blocking.
    static constexpr unsigned CommandTimeoutMs = 1000;
    // How long dropStaleReplies() waits for one more leftover reply.
    static constexpr unsigned StaleReplyPollMs = 1;

    // A link over a backend of the selected kind (see DeviceBackends).
    CWrapWinUSB();
    explicit CWrapWinUSB(std::unique_ptr<UsbBackend> backend);
    ~CWrapWinUSB();
    CWrapWinUSB(const CWrapWinUSB &) = delete;
    CWrapWinUSB &operator=(const CWrapWinUSB &) = delete;

    bool open(const InterfaceGuid &guid = DeviceInterfaceGuid);
    // Cancels a pending bulk read and waits until no thread is inside the backend before
    // releasing the device. Safe on a closed link and repeatable.
    void close();
    int isOpen() const;

    // Command transfers. `status` (optional) says how the transfer ended: NotOpen on a
    // closed link, otherwise the backend's answer.
    bool writePipe(const uint8_t *buffer, uint32_t length, uint32_t *transferred,
                   TransferStatus *status = nullptr);
    bool readPipe(uint8_t *buffer, uint32_t length, uint32_t *transferred,
                  TransferStatus *status = nullptr);
    // Reads and throws away the replies an earlier exchange left on the command pipe
    // (one that stopped at a bad reply), so the next request is answered by its own.
    // Returns how many were dropped.
    int dropStaleReplies();

    // One bulk IN transfer for the monitor's receive thread. Fails at once on a closed
    // link and returns false as soon as close() starts.
    bool readBulk(uint8_t *buffer, uint32_t length, uint32_t *transferred);
    // Ends a pending bulk read without closing the link and returns once no thread is
    // inside one. Bulk reads fail at once from then on until resumeBulk() or the next
    // open(), so a stop that lands just before a read starts is not lost.
    void stopBulk();
    void resumeBulk();

    uint8_t bulkInPipeId() const;
    void *winUsbHandle() const;

private:
    // Counts the threads inside the backend so close() can wait for them.
    class Call;
    bool enter();
    void leave();

    std::unique_ptr<UsbBackend> m_backend;
    PipeIds m_pipes;
    std::atomic<int> m_open{0};
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    int m_callsInside = 0;
    int m_bulkInside = 0;
    bool m_closing = false;
    bool m_bulkStopped = false;
};
