#include "device/CWrapWinUSB.h"

#include "device/DeviceBackends.h"

#include <chrono>

const InterfaceGuid DeviceInterfaceGuid = {
    0x9F543223, 0xCEDE, 0x4FA3, {0xB3, 0x76, 0xA2, 0x5C, 0xE9, 0xA3, 0x0E, 0x74}};

bool InterfaceGuid::isNull() const
{
    if (data1 != 0 || data2 != 0 || data3 != 0)
        return false;
    for (uint8_t b : data4)
        if (b != 0)
            return false;
    return true;
}

// Scoped entry into the backend; `ok` is false when the link is closed or closing.
class CWrapWinUSB::Call {
public:
    explicit Call(CWrapWinUSB &link) : m_link(link), ok(link.enter()) {}
    ~Call()
    {
        if (ok)
            m_link.leave();
    }

private:
    CWrapWinUSB &m_link;

public:
    const bool ok;
};

CWrapWinUSB::CWrapWinUSB() : CWrapWinUSB(DeviceBackends::createBackend()) {}

CWrapWinUSB::CWrapWinUSB(std::unique_ptr<UsbBackend> backend) : m_backend(std::move(backend)) {}

CWrapWinUSB::~CWrapWinUSB() { close(); }

bool CWrapWinUSB::open(const InterfaceGuid &guid)
{
    if (guid.isNull() || !m_backend)
        return false;
    close(); // reopening must not leak the previous device
    if (!m_backend->open())
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pipes = m_backend->pipes();
    m_bulkStopped = false;
    m_open = 1;
    return true;
}

void CWrapWinUSB::close()
{
    if (!m_backend)
        return;
    std::unique_lock<std::mutex> lock(m_mutex);
    m_closing = true;
    // A reader may enter the backend just after a cancel; cancel again until all left.
    while (m_callsInside > 0) {
        lock.unlock();
        m_backend->cancelBulk();
        lock.lock();
        m_idle.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_callsInside == 0; });
    }
    m_backend->close();
    m_open = 0;
    m_pipes = PipeIds{};
    m_closing = false;
}

int CWrapWinUSB::isOpen() const { return m_open.load(); }

bool CWrapWinUSB::enter()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_open || m_closing)
        return false;
    ++m_callsInside;
    return true;
}

void CWrapWinUSB::leave()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (--m_callsInside == 0)
        m_idle.notify_all();
}

bool CWrapWinUSB::writePipe(const uint8_t *buffer, uint32_t length, uint32_t *transferred,
                            TransferStatus *status)
{
    *transferred = 0;
    Call call(*this);
    const TransferStatus s = call.ok
        ? m_backend->writeInterrupt(buffer, length, transferred, CommandTimeoutMs)
        : TransferStatus::NotOpen;
    if (status)
        *status = s;
    return s == TransferStatus::Ok;
}

bool CWrapWinUSB::readPipe(uint8_t *buffer, uint32_t length, uint32_t *transferred,
                           TransferStatus *status)
{
    *transferred = 0;
    Call call(*this);
    const TransferStatus s = call.ok
        ? m_backend->readInterrupt(buffer, length, transferred, CommandTimeoutMs)
        : TransferStatus::NotOpen;
    if (status)
        *status = s;
    return s == TransferStatus::Ok;
}

int CWrapWinUSB::dropStaleReplies()
{
    // An exchange has at most 255 replies; the bound keeps a babbling device from
    // holding the GUI thread.
    constexpr int MaxDropped = 512;
    uint8_t buffer[64];
    int dropped = 0;
    Call call(*this);
    while (call.ok && dropped < MaxDropped) {
        uint32_t n = 0;
        if (m_backend->readInterrupt(buffer, sizeof buffer, &n, StaleReplyPollMs)
            != TransferStatus::Ok)
            break;
        ++dropped;
    }
    return dropped;
}

bool CWrapWinUSB::readBulk(uint8_t *buffer, uint32_t length, uint32_t *transferred)
{
    *transferred = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_open || m_closing || m_bulkStopped)
            return false;
        ++m_callsInside;
        ++m_bulkInside;
    }
    const bool ok = m_backend->readBulk(buffer, length, transferred);
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_bulkInside;
    if (--m_callsInside == 0 || m_bulkInside == 0)
        m_idle.notify_all();
    return ok;
}

void CWrapWinUSB::stopBulk()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_bulkStopped = true;
    if (!m_open || m_closing)
        return; // close() cancels and waits by itself
    ++m_callsInside; // keeps the backend open while we cancel
    // As in close(): a reader may enter the backend just after a cancel.
    while (m_bulkInside > 0) {
        lock.unlock();
        m_backend->cancelBulk();
        lock.lock();
        m_idle.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_bulkInside == 0; });
    }
    if (--m_callsInside == 0)
        m_idle.notify_all();
}

void CWrapWinUSB::resumeBulk()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_open && !m_closing && m_bulkInside == 0)
        m_backend->resumeBulk();
    m_bulkStopped = false;
}

uint8_t CWrapWinUSB::bulkInPipeId() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pipes.bulkIn;
}

void *CWrapWinUSB::winUsbHandle() const
{
    Call call(const_cast<CWrapWinUSB &>(*this));
    return call.ok ? m_backend->nativeHandle() : nullptr;
}
