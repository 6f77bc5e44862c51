#include "canparam/FilterBank.h"

#include "canparam/BaudRateTable.h"
#include "device/Protocol.h"

namespace FilterBank {

uint8_t flagsA(const DataListEntry &entry, int channalId)
{
    uint8_t flags = 0;
    if (entry.enabled)
        flags |= 0x80;
    if (channalId != 0)
        flags |= 0x08;
    return flags;
}

uint8_t flagsB(const DataListEntry &entry)
{
    uint8_t flags = 0;
    if (entry.workMode != 0)
        flags |= 0x10;
    if (entry.bitCount != 0)
        flags |= 0x01;
    return flags;
}

QByteArray request(int bank, int channalId, const DataListEntry &entry)
{
    return Protocol::writeFilterBank(bank, flagsA(entry, channalId), flagsB(entry),
                                     registerBytes(entry.idText), registerBytes(entry.maskText));
}

DataListEntry fromReply(const QByteArray &reply)
{
    const QByteArray r = reply.leftJustified(FilterRecordSize, '\0', true);
    DataListEntry entry;
    entry.enabled = (uint8_t(r.at(4)) & 0x80) != 0;
    entry.workMode = (uint8_t(r.at(5)) & 0x10) ? 1 : 0;
    entry.bitCount = (uint8_t(r.at(5)) & 0x01) ? 1 : 0;
    entry.idText = cellText(r.mid(6, 4));
    entry.maskText = cellText(r.mid(10, 4));
    return entry;
}

QString cellText(const QByteArray &fourBytes)
{
    return QString::fromLatin1(fourBytes.left(4).toHex(' '));
}

} // namespace FilterBank
