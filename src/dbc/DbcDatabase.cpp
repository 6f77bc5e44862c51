#include "dbc/DbcDatabase.h"

#include <climits>

namespace {
constexpr int MaxStartBit = 65535;
constexpr quint32 ExtendedBit = 0x80000000u;
} // namespace

bool placeDbcSignal(DbcSignal *signal)
{
    const int start = signal->startBit;
    const int length = signal->length;
    signal->endByte = INT_MAX;  // until placed: beyond every frame
    signal->shift = 0;
    if (length < 1 || length > 64 || start < 0 || start > MaxStartBit)
        return false;
    int last;  // the last bit, counted from the start of the data in reading order
    if (signal->littleEndian) {
        last = start + length - 1;
        signal->shift = start;
    } else {
        // Big-endian bits run from the start bit down to bit 0 of its byte, then on from
        // bit 7 of the next byte. Counted most significant first from the start of the
        // data, the signal is one unbroken run ending at `last`.
        last = start / 8 * 8 + (7 - start % 8) + length - 1;
        signal->shift = 63 - last;
    }
    signal->endByte = last / 8 + 1;
    if (signal->endByte > 8)
        signal->shift = 0;  // never decoded from a classic frame's eight bytes
    return true;
}

DbcDatabase::DbcDatabase(QVector<DbcMessage> messages) : m_messages(std::move(messages))
{
    for (int i = 0; i < m_messages.size(); ++i) {
        DbcMessage &message = m_messages[i];
        message.multiplexer = -1;
        for (int s = 0; s < message.signalList.size(); ++s) {
            placeDbcSignal(&message.signalList[s]);
            if (message.multiplexer < 0
                && message.signalList[s].role == DbcSignal::Role::Multiplexer)
                message.multiplexer = s;
        }
        const quint32 key = message.id | (message.extended ? ExtendedBit : 0);
        if (!m_index.contains(key))
            m_index.insert(key, i);
    }
}

const DbcMessage *DbcDatabase::message(quint32 id, bool extended) const
{
    const auto it = m_index.constFind(id | (extended ? ExtendedBit : 0));
    return it == m_index.constEnd() ? nullptr : &m_messages[*it];
}
