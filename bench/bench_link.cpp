// How many bulk transfers per second the link and the simulated adapter deliver to one
// receive thread, against the 14,200 transfers/s two busy 1 Mbit/s channels can produce.
// Prints figures; never fails on timing.

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimulatedAdapter.h"

#include <QElapsedTimer>

#include <cstdio>

int main()
{
    auto device = SimRegistry::instance().add();
    CWrapWinUSB link(std::make_unique<SimBackend>());
    if (!link.open())
        return 1;
    Protocol::exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(true));

    for (double rate : {14200.0, 1e9}) {
        device->setStreamRate(rate);
        uint8_t buffer[64];
        uint32_t n = 0;
        long transfers = 0, records = 0;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1000) {
            if (link.readBulk(buffer, sizeof buffer, &n)) {
                ++transfers;
                records += n / 19;
            }
        }
        const double s = timer.nsecsElapsed() / 1e9;
        std::printf("asked %.0f transfers/s: got %.0f transfers/s, %.0f frames/s\n", rate,
                    transfers / s, records / s);
    }
    link.close();
    SimRegistry::instance().clear();
    return 0;
}
