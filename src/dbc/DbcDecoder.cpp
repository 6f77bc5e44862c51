#include "dbc/DbcDecoder.h"

#include <QtEndian>

#include <cstring>

namespace {

quint64 rawBits(const DbcSignal &signal, quint64 little, quint64 big)
{
    const quint64 word = signal.littleEndian ? little : big;
    const quint64 mask = signal.length == 64 ? ~quint64(0) : (quint64(1) << signal.length) - 1;
    quint64 raw = (word >> signal.shift) & mask;
    if (signal.isSigned && signal.valueType == DbcSignal::ValueType::Integer
        && signal.length < 64 && (raw >> (signal.length - 1)) & 1)
        raw |= ~mask;
    return raw;
}

double physicalValue(const DbcSignal &signal, quint64 raw)
{
    double value;
    switch (signal.valueType) {
    case DbcSignal::ValueType::Float32: {
        const quint32 bits = quint32(raw);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        value = f;
        break;
    }
    case DbcSignal::ValueType::Float64:
        std::memcpy(&value, &raw, sizeof value);
        break;
    default:
        value = signal.isSigned ? double(qint64(raw)) : double(raw);
    }
    return value * signal.factor + signal.offset;
}

} // namespace

void decodeDbcMessage(const DbcMessage &message, const char *data, int length,
                      QVector<DbcValue> *values)
{
    values->clear();
    length = qBound(0, length, 8);
    uchar bytes[8] = {};
    if (length > 0)
        std::memcpy(bytes, data, size_t(length));
    const quint64 little = qFromLittleEndian<quint64>(bytes);
    const quint64 big = qFromBigEndian<quint64>(bytes);

    bool muxKnown = false;
    qint64 muxValue = 0;
    if (message.multiplexer >= 0) {
        const DbcSignal &mux = message.signalList.at(message.multiplexer);
        muxKnown = mux.endByte <= length;
        if (muxKnown)
            muxValue = qint64(rawBits(mux, little, big));
    }

    for (const DbcSignal &signal : message.signalList) {
        if (signal.endByte > length)
            continue;
        if (signal.role == DbcSignal::Role::Multiplexed
            && (!muxKnown || muxValue != signal.multiplexValue))
            continue;
        DbcValue value;
        value.signal = &signal;
        value.raw = rawBits(signal, little, big);
        value.physical = physicalValue(signal, value.raw);
        if (signal.valueType == DbcSignal::ValueType::Integer && !signal.valueTable.isEmpty())
            value.text = signal.valueTable.value(qint64(value.raw));
        values->append(std::move(value));
    }
}

const DbcMessage *decodeDbcFrame(const DbcDatabase &db, const MonitorRecord &frame,
                                 QVector<DbcValue> *values)
{
    values->clear();
    const DbcMessage *message = frame.remote ? nullptr : db.message(frame.id, frame.extended);
    if (message)
        decodeDbcMessage(*message, frame.data.constData(),
                         qMin(frame.shownLength(), int(frame.data.size())), values);
    return message;
}
