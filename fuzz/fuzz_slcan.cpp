// libFuzzer target: arbitrary bytes as what a program writes to an SLCAN terminal, and as
// frame reports turned into lines. Every answer is CR, BEL or one line ending in CR, there
// is at most one answer per line end received, and a frame line is at most 31 characters
// with nothing before its CR that could end it early.

#include "slcan/SlcanChannel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
struct Device : SlcanDevice {
    bool writeBitRate(int, int) override { return true; }
    bool setForwarding(int, bool on) override { return on; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    Device device;
    SlcanChannel channel(0, SlcanIdentity{QStringLiteral("1.02"), QStringLiteral("1.15"), "HL1"},
                         &device);
    const QByteArray answers = channel.receive(bytes);
    if (answers.count('\r') + answers.count('\a') > bytes.count('\r') + bytes.count('\n'))
        std::abort();
    if (!answers.isEmpty() && !answers.endsWith('\r') && !answers.endsWith('\a'))
        std::abort();

    for (int at = 0; at + MonitorRecord::Size <= bytes.size(); at += MonitorRecord::Size) {
        const MonitorRecord r = decodeMonitorRecord(bytes.constData() + at);
        const QByteArray line = SlcanChannel::formatFrame(r, true, qint64(r.timeStamp) * 997);
        if (line.size() > 31 || line.indexOf('\r') != line.size() - 1 || line.contains('\a'))
            std::abort();
    }
    return 0;
}
