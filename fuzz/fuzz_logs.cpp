// libFuzzer target: arbitrary bytes as a candump log and as an ASC file. Nothing may
// crash, and every candump frame read must survive writing and reading again unchanged.

#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    for (const LoggedFrame &f : CandumpLog::parse(text)) {
        LoggedFrame again;
        if (!CandumpLog::parseLine(CandumpLog::formatLine(f), &again) || !sameLoggedFrame(f, again))
            std::abort();
        CandumpLog::formatConsoleLine(f);
    }
    QVector<LoggedFrame> frames;
    AscLog::parse(text, &frames);
    return 0;
}
