#include "device/SimulatedAdapter.h"

#include <algorithm>
#include <cstring>

SimRegistry &SimRegistry::instance()
{
    static SimRegistry registry;
    return registry;
}

std::shared_ptr<SimFirmware> SimRegistry::add(SimFirmware::State state)
{
    auto device = std::make_shared<SimFirmware>(std::move(state));
    device->setPlugListener([this](bool plugged) { announce(plugged ? 0 : 1); });
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_devices.push_back(device);
    }
    announce(0);
    return device;
}

void SimRegistry::remove(const std::shared_ptr<SimFirmware> &device)
{
    if (!device)
        return;
    device->setPlugged(false); // announces the removal while still listed
    device->setPlugListener({});
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.erase(std::remove(m_devices.begin(), m_devices.end(), device), m_devices.end());
}

void SimRegistry::clear()
{
    for (const auto &device : devices())
        remove(device);
}

std::vector<std::shared_ptr<SimFirmware>> SimRegistry::devices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_devices;
}

std::shared_ptr<SimFirmware> SimRegistry::lastPlugged() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_devices.rbegin(); it != m_devices.rend(); ++it)
        if ((*it)->isPlugged())
            return *it;
    return nullptr;
}

int SimRegistry::addListener(std::function<void(int)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listeners.emplace_back(m_nextListenerId, std::move(listener));
    return m_nextListenerId++;
}

void SimRegistry::removeListener(int id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listeners.erase(std::remove_if(m_listeners.begin(), m_listeners.end(),
                                     [id](const auto &l) { return l.first == id; }),
                      m_listeners.end());
}

void SimRegistry::announce(int code)
{
    // Listeners run under the lock so that removeListener() returning means no call of
    // that listener is still running; they must only post, never call back in here.
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &l : m_listeners)
        l.second(code);
}

bool SimBackend::open()
{
    m_device = SimRegistry::instance().lastPlugged();
    m_cancel = false;
    return m_device != nullptr;
}

void SimBackend::close() { m_device.reset(); }

TransferStatus SimBackend::writeInterrupt(const uint8_t *data, uint32_t length,
                                          uint32_t *transferred, unsigned timeoutMs)
{
    if (!m_device)
        return TransferStatus::Failed;
    size_t accepted = 0;
    const TransferStatus status = m_device->handleRequest(data, length, int(timeoutMs), &accepted);
    *transferred = uint32_t(accepted);
    return status;
}

TransferStatus SimBackend::readInterrupt(uint8_t *data, uint32_t length, uint32_t *transferred,
                                         unsigned timeoutMs)
{
    SimFirmware::Bytes reply;
    if (!m_device)
        return TransferStatus::Failed;
    const TransferStatus status = m_device->takeReply(reply, int(timeoutMs));
    if (status != TransferStatus::Ok)
        return status;
    if (reply.size() > length) // a real host controller reports an overflow
        return TransferStatus::Failed;
    std::memcpy(data, reply.data(), reply.size());
    *transferred = uint32_t(reply.size());
    return TransferStatus::Ok;
}

bool SimBackend::readBulk(uint8_t *data, uint32_t length, uint32_t *transferred)
{
    SimFirmware::Bytes transfer;
    if (!m_device || m_device->takeBulk(transfer, m_cancel) != SimFirmware::BulkResult::Ok)
        return false;
    const uint32_t n = std::min<uint32_t>(length, uint32_t(transfer.size()));
    std::memcpy(data, transfer.data(), n);
    *transferred = n;
    return true;
}

void SimBackend::cancelBulk()
{
    m_cancel = true;
    if (auto device = m_device) // close() cannot run now: the facade waits for us
        device->notifyWaiters();
}

void SimBackend::resumeBulk() { m_cancel = false; }

PipeIds SimBackend::pipes() const
{
    return m_device ? PipeIds{0x82, 0x02, 0x81, 0x01} : PipeIds{};
}
