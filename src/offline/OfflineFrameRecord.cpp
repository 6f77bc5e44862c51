#include "offline/OfflineFrameRecord.h"

#include "device/Protocol.h"

#include <QCoreApplication>

using namespace OfflineFrame;

namespace {

QString withoutWhitespace(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            out.append(c);
    }
    return out;
}

void appendBigEndian(QByteArray &out, uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.append(char((value >> shift) & 0xFF));
}

uint8_t byteAt(const QByteArray &bytes, int index)
{
    return index < bytes.size() ? uint8_t(bytes.at(index)) : 0;
}

OfflineEncodeResult failure(OfflineRowError error) { return {error, QByteArray()}; }

} // namespace

OfflineEncodeResult encodeOfflineRow(const OfflineFrameRow &row, int rowIndex, int rowCount)
{
    // A text that is no number, or does not fit in 32 bits, counts as identifier 0.
    const uint32_t id = withoutWhitespace(row.id).toUInt(nullptr, 16);
    if (row.extended != 0 && id > MaxExtendedId)
        return failure(OfflineRowError::ExtendedIdRange);
    if (row.extended == 0 && id > MaxStandardId)
        return failure(OfflineRowError::StandardIdRange);

    // The length is judged on the text as it stands, blanks included.
    if (row.interval.size() > MaxIntervalChars)
        return failure(OfflineRowError::IntervalLength);
    const uint32_t interval = row.interval.toUInt(nullptr, 10);
    if (interval > MaxInterval)
        return failure(OfflineRowError::IntervalRange);

    const QByteArray data = QByteArray::fromHex(withoutWhitespace(row.data).toLatin1());
    // Never cut silently, and never let the length code wrap.
    if (data.size() > MaxDataBytes)
        return failure(OfflineRowError::DataLength);

    uint8_t flags = 0;
    if (row.extended != 0)
        flags |= ExtendedFlag;
    if (row.remote != 0)
        flags |= RemoteFlag;
    else
        flags |= uint8_t(data.size()) & LengthCodeMask;
    if (row.channal != 0)
        flags |= ChannalFlag;

    OfflineEncodeResult result;
    QByteArray &out = result.record;
    out.reserve(HeadLength + data.size());
    out.append(char(Protocol::LeadByte));
    out.append(char(Protocol::command(CommandId::WriteOfflineFrame).code));
    out.append(char(LengthField));
    out.append(char((rowIndex + 1) & 0xFF));
    out.append(char(rowCount & 0xFF));
    appendBigEndian(out, interval, 3);
    out.append(char(flags));
    appendBigEndian(out, id, 4);
    out.append(data);
    return result;
}

OfflineFrameRow decodeOfflineRecord(const QByteArray &record)
{
    OfflineFrameRow row;
    const uint32_t interval = uint32_t(byteAt(record, 5)) << 16
        | uint32_t(byteAt(record, 6)) << 8 | byteAt(record, 7);
    row.interval = QString::number(interval);

    const uint8_t flags = byteAt(record, 8);
    row.channal = (flags & ChannalFlag) ? 1 : 0;
    row.extended = (flags & ExtendedFlag) ? 1 : 0;
    row.remote = (flags & RemoteFlag) ? 1 : 0;

    row.id = QString::asprintf("%02x %02x %02x %02x", byteAt(record, 9), byteAt(record, 10),
                               byteAt(record, 11), byteAt(record, 12));

    // The length code can claim up to 15, but a record carries at most eight bytes.
    const int carried = qBound(0, record.size() - HeadLength, MaxDataBytes);
    const int count = qMin(int(flags & LengthCodeMask), carried);
    row.data.clear();
    for (int i = 0; i < count; ++i)
        row.data += QString::asprintf("%02x ", byteAt(record, HeadLength + i));
    return row;
}

QString offlineRowMessage(OfflineRowError error)
{
    const char *text = nullptr;
    switch (error) {
    case OfflineRowError::None:
        return QString();
    case OfflineRowError::ExtendedIdRange:
        text = QT_TRANSLATE_NOOP("OfflineListWidget", "扩展帧ID取值超出范围,范围为0到0x1FFFFFFF");
        break;
    case OfflineRowError::StandardIdRange:
        text = QT_TRANSLATE_NOOP("OfflineListWidget", "标准帧ID取值超出范围,范围为0到0x7FF");
        break;
    case OfflineRowError::IntervalLength:
        text = QT_TRANSLATE_NOOP("OfflineListWidget", "时间间隔超出范围,时间间隔数值最大个数为8位");
        break;
    case OfflineRowError::IntervalRange:
        text = QT_TRANSLATE_NOOP("OfflineListWidget", "时间间隔超出范围,取值范围为0到16777215");
        break;
    case OfflineRowError::DataLength:
        text = QT_TRANSLATE_NOOP("OfflineListWidget", "帧数据超出范围,最多为8个字节");
        break;
    }
    return QCoreApplication::translate("OfflineListWidget", text);
}
