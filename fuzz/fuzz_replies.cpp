// libFuzzer target: arbitrary bytes as a request to the firmware model and as replies
// judged by the command table; nothing may read out of bounds or crash.

#include "device/Protocol.h"
#include "device/SimFirmware.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SimFirmware firmware;
    firmware.handleRequest(data, size);
    SimFirmware::Bytes reply;
    while (firmware.tryTakeReply(reply)) {
    }
    firmware.clearRequests();

    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    for (int i = 0; i < Protocol::CommandCount; ++i) {
        const Protocol::Command &cmd = Protocol::allCommands()[i];
        Protocol::replyPasses(cmd.id, true, bytes);
        if (cmd.usedFirst >= 0)
            Protocol::latin1Field(bytes, cmd.usedFirst, cmd.usedCount);
    }
    Protocol::versionFromReply(bytes);
    return 0;
}
