#pragma once
// One bulk read on a thread of its own, as the monitor's receive thread does it. On
// every way out of a test the link is closed and the thread joined, so a failed check
// never leaves it running.

#include "device/CWrapWinUSB.h"

#include <atomic>
#include <thread>

class BulkReader {
public:
    explicit BulkReader(CWrapWinUSB &link)
        : m_link(link), m_thread([this] {
              uint8_t buf[64];
              uint32_t n = 0;
              m_result = m_link.readBulk(buf, sizeof buf, &n) ? 1 : 0;
          })
    {
    }
    ~BulkReader()
    {
        if (m_thread.joinable()) {
            m_link.close();
            m_thread.join();
        }
    }
    // -1 while the read is pending, then 1 (data) or 0 (failed).
    int result() const { return m_result.load(); }
    void join() { m_thread.join(); }

private:
    CWrapWinUSB &m_link;
    std::atomic<int> m_result{-1};
    std::thread m_thread;
};
