#include "monitor/PcapngLog.h"

#include <QtEndian>

namespace {

constexpr quint32 SectionHeaderType = 0x0A0D0D0A;
constexpr quint32 InterfaceType = 0x00000001;
constexpr quint32 EnhancedPacketType = 0x00000006;
constexpr quint32 ByteOrderMagic = 0x1A2B3C4D;
constexpr quint16 LinkTypeSocketCan = 227;
constexpr quint16 OptionEnd = 0;
constexpr quint16 OptionIfName = 2;
constexpr quint16 OptionEpbFlags = 2;
constexpr quint32 FlagInbound = 1;
constexpr quint32 FlagOutbound = 2;
constexpr quint32 ExtendedFlag = 0x80000000u;
constexpr quint32 RemoteFlag = 0x40000000u;
constexpr int FrameSize = 16;
constexpr int MaxLength = 8;

void put16(QByteArray *out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out->append(b, 2);
}

void put32(QByteArray *out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out->append(b, 4);
}

void putOption(QByteArray *out, quint16 code, const QByteArray &value)
{
    put16(out, code);
    put16(out, quint16(value.size()));
    out->append(value);
    out->append(QByteArray((4 - value.size() % 4) % 4, '\0'));
}

// Wraps a block body in its type and its total length, which comes before and after it.
QByteArray block(quint32 type, const QByteArray &body)
{
    const quint32 total = quint32(body.size() + 12);
    QByteArray out;
    out.reserve(int(total));
    put32(&out, type);
    put32(&out, total);
    out.append(body);
    put32(&out, total);
    return out;
}

QByteArray interfaceDescription(int channel)
{
    QByteArray body;
    put16(&body, LinkTypeSocketCan);
    put16(&body, 0);      // reserved
    put32(&body, 0);      // no snapshot length limit
    putOption(&body, OptionIfName, "can" + QByteArray::number(channel));
    put32(&body, OptionEnd);
    return block(InterfaceType, body);
}

} // namespace

namespace PcapngLog {

QByteArray header()
{
    QByteArray shb;
    put32(&shb, ByteOrderMagic);
    put16(&shb, 1); // version 1.0
    put16(&shb, 0);
    put32(&shb, 0xFFFFFFFFu); // section length unknown: the capture streams
    put32(&shb, 0xFFFFFFFFu);
    QByteArray out = block(SectionHeaderType, shb);
    for (int channel = 0; channel < Channels; ++channel)
        out += interfaceDescription(channel);
    return out;
}

QByteArray socketCanFrame(const MonitorRecord &r)
{
    const quint32 id = r.extended ? (r.id & 0x1FFFFFFFu) | ExtendedFlag : r.id & 0x7FFu;
    const int length = qMin(r.dlc, MaxLength);
    QByteArray out(FrameSize, '\0');
    qToBigEndian(id | (r.remote ? RemoteFlag : 0u), out.data());
    out[4] = char(length);
    out[7] = char(r.dlc > MaxLength ? r.dlc : 0);
    for (int i = 0; !r.remote && i < length && i < r.data.size(); ++i)
        out[8 + i] = r.data.at(i);
    return out;
}

QByteArray packet(const LoggedFrame &frame)
{
    const quint64 micros = quint64(frame.hostMicros);
    QByteArray body;
    put32(&body, frame.record.channel ? 1 : 0); // interface: the channel
    put32(&body, quint32(micros >> 32));
    put32(&body, quint32(micros));
    put32(&body, FrameSize); // captured length
    put32(&body, FrameSize); // original length
    body += socketCanFrame(frame.record);
    put16(&body, OptionEpbFlags);
    put16(&body, 4);
    put32(&body, frame.record.sent ? FlagOutbound : FlagInbound);
    put32(&body, OptionEnd);
    return block(EnhancedPacketType, body);
}

QByteArray file(const QVector<LoggedFrame> &frames)
{
    QByteArray out = header();
    for (const LoggedFrame &f : frames)
        out += packet(f);
    return out;
}

} // namespace PcapngLog
