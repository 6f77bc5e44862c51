// Field check on Windows: opens the adapter through the WinUSB backend, asks for the
// firmware version and prints the raw reply. Exit status 0 only when a reply came.

#include "device/win/WinUsbBackend.h"

#include <cstdio>

int main()
{
    WinUsbBackend backend;
    if (!backend.open()) {
        std::printf("adapter not found or not openable\n");
        return 1;
    }
    const PipeIds p = backend.pipes();
    std::printf("pipes: interrupt out %02x in %02x, bulk out %02x in %02x\n", p.interruptOut,
                p.interruptIn, p.bulkOut, p.bulkIn);

    const uint8_t request[] = {0x12, 0x12, 0x01, 0x00}; // ReadFirmwareVersion
    uint32_t written = 0;
    if (backend.writeInterrupt(request, sizeof request, &written, 1000) != TransferStatus::Ok) {
        std::printf("request failed (%u bytes written)\n", written);
        return 2;
    }
    uint8_t reply[48] = {};
    uint32_t got = 0;
    if (backend.readInterrupt(reply, sizeof reply, &got, 1000) != TransferStatus::Ok) {
        std::printf("no reply within 1 s\n");
        return 3;
    }
    std::printf("reply (%u bytes):", got);
    for (uint32_t i = 0; i < got; ++i)
        std::printf(" %02x", reply[i]);
    std::printf("\n");
    if (got >= 6)
        std::printf("firmware %u.%02x\n", reply[5], reply[4]);
    backend.close();
    return 0;
}
