// libFuzzer target: arbitrary bytes as a channel's settings object, as a filter bank reply
// and as a register text; nothing may read out of bounds or crash, and a register text
// either gives exactly four bytes or is refused.

#include "canparam/BaudRateTable.h"
#include "canparam/ChannalObject.h"
#include "canparam/FilterBank.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVector>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QVector<DataListEntry> rows(FilterBankCount);
    const QString digits = ChannalObject::applyJson(QJsonDocument::fromJson(bytes).object(), &rows);
    BaudRateTable::rowFor(BaudRateTable::decodeHex(digits));
    for (const DataListEntry &e : rows)
        ChannalObject::dataListString(e);

    const DataListEntry entry = FilterBank::fromReply(bytes);
    if (FilterBank::request(0, 1, entry).size() != FilterRecordSize)
        std::abort(); // a read-back row must always be writable again

    const QByteArray value = registerBytes(QString::fromUtf8(bytes));
    if (!value.isEmpty() && value.size() != 4)
        std::abort();
    return 0;
}
