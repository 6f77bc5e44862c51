#pragma once
// The simulated adapter seen through a probe: every command write reports to a test hook
// (to look at the window while the exchange blocks), one chosen write can fail before it
// reaches the firmware, and one chosen reply can be cut short or given another status
// byte on its way back: faults the firmware model cannot script.

#include "device/SimulatedAdapter.h"

#include <algorithm>
#include <functional>

class ProbeBackend final : public UsbBackend {
public:
    struct Script {
        std::function<void()> onWrite;
        int failedWrite = -1; // 0-based count of interrupt writes since reset()
        int writes = 0;
        int alteredRead = -1; // 0-based count of interrupt reads since reset()
        int length = -1;      // bytes the altered reply keeps, or -1
        int status = -1;      // byte 2 of the altered reply, or -1
        int reads = 0;
    };
    static Script &script()
    {
        static Script s;
        return s;
    }
    static void reset() { script() = Script(); }

    bool open() override { return m_sim.open(); }
    void close() override { m_sim.close(); }
    TransferStatus writeInterrupt(const uint8_t *data, uint32_t length, uint32_t *transferred,
                                  unsigned timeoutMs) override
    {
        Script &s = script();
        if (s.writes++ == s.failedWrite)
            return TransferStatus::Failed;
        if (s.onWrite)
            s.onWrite();
        return m_sim.writeInterrupt(data, length, transferred, timeoutMs);
    }
    TransferStatus readInterrupt(uint8_t *data, uint32_t length, uint32_t *transferred,
                                 unsigned timeoutMs) override
    {
        const TransferStatus status = m_sim.readInterrupt(data, length, transferred, timeoutMs);
        Script &s = script();
        if (status == TransferStatus::Ok && s.reads++ == s.alteredRead) {
            if (s.length >= 0)
                *transferred = std::min(*transferred, uint32_t(s.length));
            if (s.status >= 0 && *transferred > 2)
                data[2] = uint8_t(s.status);
        }
        return status;
    }
    bool readBulk(uint8_t *data, uint32_t length, uint32_t *transferred) override
    {
        return m_sim.readBulk(data, length, transferred);
    }
    void cancelBulk() override { m_sim.cancelBulk(); }
    void resumeBulk() override { m_sim.resumeBulk(); }
    PipeIds pipes() const override { return m_sim.pipes(); }

private:
    SimBackend m_sim;
};
