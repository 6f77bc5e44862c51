#pragma once
// The simulated adapter: a process-wide registry of simulated devices and the backend
// that reaches them, so every link of the process (the main one and the short-lived one
// that reads the device name) talks to the same firmware model.

#include "device/SimFirmware.h"
#include "device/UsbBackend.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class SimRegistry {
public:
    static SimRegistry &instance();

    // Adds a plugged device (the arrival is announced to the listeners).
    std::shared_ptr<SimFirmware> add(SimFirmware::State state = {});
    void remove(const std::shared_ptr<SimFirmware> &device);
    void clear();
    std::vector<std::shared_ptr<SimFirmware>> devices() const;
    // The device a new link opens: the last plugged one, as with real enumeration.
    std::shared_ptr<SimFirmware> lastPlugged() const;

    // code 0 arrival, 1 removal, as the hot-plug sources report them.
    int addListener(std::function<void(int code)> listener);
    void removeListener(int id);

private:
    void announce(int code);

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<SimFirmware>> m_devices;
    std::vector<std::pair<int, std::function<void(int)>>> m_listeners;
    int m_nextListenerId = 1;
};

class SimBackend final : public UsbBackend {
public:
    bool open() override;
    void close() override;
    TransferStatus writeInterrupt(const uint8_t *data, uint32_t length, uint32_t *transferred,
                                  unsigned timeoutMs) override;
    TransferStatus readInterrupt(uint8_t *data, uint32_t length, uint32_t *transferred,
                                 unsigned timeoutMs) override;
    bool readBulk(uint8_t *data, uint32_t length, uint32_t *transferred) override;
    void cancelBulk() override;
    void resumeBulk() override;
    PipeIds pipes() const override;

private:
    std::shared_ptr<SimFirmware> m_device;
    std::atomic<bool> m_cancel{false};
};
