// libFuzzer target: arbitrary bytes as an offline record read back from the adapter and
// as the stored text of an offline row. A decoded record that encodes again must decode
// to the same row; a stored row must read the same after being stored again.

#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineRowText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

bool sameRow(const OfflineFrameRow &a, const OfflineFrameRow &b)
{
    return a.channal == b.channal && a.interval == b.interval && a.remote == b.remote
        && a.extended == b.extended && a.id == b.id && a.data == b.data;
}

void checkRecord(const QByteArray &record)
{
    const OfflineFrameRow row = decodeOfflineRecord(record);
    const OfflineEncodeResult again = encodeOfflineRow(row, 0, 1);
    if (!again.ok())
        return; // an identifier beyond its frame type's range is refused, not sent
    if (again.record.size() < OfflineFrame::HeadLength
        || again.record.size() > OfflineFrame::FullLength)
        std::abort();
    OfflineFrameRow back = decodeOfflineRecord(again.record.leftJustified(21, '\0'));
    OfflineFrameRow expected = row;
    if (row.remote)
        expected.data.clear(); // a remote frame carries no data
    if (!sameRow(back, expected))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    checkRecord(bytes);

    const QString text = QString::fromUtf8(bytes);
    const OfflineFrameRow row = offlineRowFromStored(QJsonValue(text));
    const OfflineFrameRow reread = offlineRowFromStored(QJsonValue(offlineRowToStored(row)));
    if (!sameRow(row, reread))
        std::abort();
    const OfflineEncodeResult encoded = encodeOfflineRow(row, int(size % 300), 300);
    if (encoded.ok())
        checkRecord(encoded.record.leftJustified(21, '\0'));
    return 0;
}
