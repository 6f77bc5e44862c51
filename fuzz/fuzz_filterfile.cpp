// libFuzzer target: arbitrary bytes as a filter file, parsed and turned into the filter
// the dialog would accept; nothing may crash, and what parses must survive a round trip.

#include "filter/FilterFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    FilterFileContent content;
    if (!parseFilterFile(bytes, &content).ok())
        return 0;
    const IdFilter filter = filterFromRows(content.mode, content.rows);
    for (const IdRange &range : filter.ranges)
        filter.accepts(range.low);

    FilterFileContent again;
    if (!parseFilterFile(filterFileDocument(content), &again).ok() || again.mode != content.mode
        || again.rows.size() != content.rows.size())
        std::abort();
    return 0;
}
