#include "device/Protocol.h"

namespace Protocol {

namespace {

constexpr unsigned Result = WriteResult;
constexpr unsigned ResultAndLength = WriteResult | WriteLength;
constexpr unsigned Count = ReplyCount;
constexpr unsigned Status = ReplyStatus;

const Command Table[CommandCount] = {
    // id                                  name                     code  off   write            buf test            n   used
    {CommandId::ReadHardwareVersion,   "ReadHardwareVersion",   0x01, 0x00, WriteUnchecked,  48, NoReplyTest,    0,  4, 2},
    {CommandId::ReadFirmwareVersion,   "ReadFirmwareVersion",   0x12, 0x00, WriteUnchecked,  48, NoReplyTest,    0,  4, 2},
    {CommandId::ReadChannalCount,      "ReadChannalCount",      0x13, 0x00, WriteUnchecked,   8, Count,          5,  4, 1},
    {CommandId::ReadSerialNumber,      "ReadSerialNumber",      0x14, 0x00, Result,          48, NoReplyTest,    0,  4, 11},
    {CommandId::ReadDeviceType,        "ReadDeviceType",        0x15, 0x00, WriteUnchecked,  48, NoReplyTest,    0,  4, 7},
    {CommandId::WriteBaudRate,         "WriteBaudRate",         0x23, 0x00, WriteUnchecked,  48, Status,         0, -1, 0},
    {CommandId::WriteFilterBank,       "WriteFilterBank",       0x24, 0x00, Result,          48, Status,         0, -1, 0},
    {CommandId::SetOfflineSend,        "SetOfflineSend",        0xA0, 0xA1, ResultAndLength,  8, Status,         0, -1, 0},
    {CommandId::SetMonitoring,         "SetMonitoring",         0xA2, 0xA3, WriteUnchecked,   8, Status,         0, -1, 0},
    {CommandId::ReadBaudRate,          "ReadBaudRate",          0xA4, 0x00, WriteUnchecked,  48, Count,          9,  5, 4},
    {CommandId::WriteOfflineFrame,     "WriteOfflineFrame",     0xA5, 0x00, Result,          48, Status,         0, -1, 0},
    {CommandId::ReadOfflineData,       "ReadOfflineData",       0xA6, 0x00, ResultAndLength, 48, Count,         21,  4, 17},
    {CommandId::ReadModeState,         "ReadModeState",         0xA7, 0x00, WriteUnchecked,  48, Count,          8,  3, 5},
    {CommandId::SetOfflineMode,        "SetOfflineMode",        0xA8, 0xA9, ResultAndLength,  8, Count | Status, 4, -1, 0},
    {CommandId::ReadAcceptanceFilters, "ReadAcceptanceFilters", 0xAA, 0x00, Result,          48, Count,         14,  4, 10},
    {CommandId::SetRelayMode,          "SetRelayMode",          0xB1, 0x00, ResultAndLength,  8, Count | Status, 4, -1, 0},
};

uint8_t code(CommandId id) { return command(id).code; }

QByteArray simpleRead(CommandId id, uint8_t argument = 0x00)
{
    return frame(code(id), QByteArray(1, char(argument)));
}

uint8_t channelByte(int channel) { return uint8_t(channel); }

} // namespace

const Command &command(CommandId id) { return Table[int(id)]; }

const Command *allCommands() { return Table; }

QByteArray frame(uint8_t c, const QByteArray &payload)
{
    QByteArray out;
    out.reserve(3 + payload.size());
    out.append(char(LeadByte));
    out.append(char(c));
    out.append(char(uint8_t(payload.size())));
    out.append(payload);
    return out;
}

QByteArray readHardwareVersion() { return simpleRead(CommandId::ReadHardwareVersion); }
QByteArray readFirmwareVersion() { return simpleRead(CommandId::ReadFirmwareVersion); }
QByteArray readChannalCount() { return simpleRead(CommandId::ReadChannalCount); }
QByteArray readSerialNumber() { return simpleRead(CommandId::ReadSerialNumber); }
QByteArray readDeviceType() { return simpleRead(CommandId::ReadDeviceType, 0x01); }
QByteArray readOfflineData() { return simpleRead(CommandId::ReadOfflineData); }
QByteArray readModeState() { return simpleRead(CommandId::ReadModeState); }

QByteArray readBaudRate(int channel)
{
    return simpleRead(CommandId::ReadBaudRate, channelByte(channel));
}

QByteArray readAcceptanceFilters(int channel)
{
    return simpleRead(CommandId::ReadAcceptanceFilters, channelByte(channel));
}

QByteArray writeBaudRate(int channel, const QByteArray &register4)
{
    QByteArray payload;
    payload.append(char(0x00));
    payload.append(char(channel == 0 ? 0x00 : 0x10)); // bit 4 is the channel
    payload.append(register4.left(4));
    return frame(code(CommandId::WriteBaudRate), payload);
}

QByteArray writeFilterBank(int bank, uint8_t flagsA, uint8_t flagsB, const QByteArray &id4,
                           const QByteArray &mask4)
{
    QByteArray payload;
    payload.append(char(uint8_t(bank)));
    payload.append(char(flagsA));
    payload.append(char(flagsB));
    payload.append(id4);
    payload.append(mask4);
    return frame(code(CommandId::WriteFilterBank), payload);
}

QByteArray setOfflineSend(bool on)
{
    const Command &cmd = command(CommandId::SetOfflineSend);
    return frame(on ? cmd.code : cmd.offCode, QByteArray(2, '\0'));
}

QByteArray setMonitoring(bool start)
{
    // Written as 5 bytes although the length byte says 1: the device expects the pad.
    const Command &cmd = command(CommandId::SetMonitoring);
    return frame(start ? cmd.code : cmd.offCode, QByteArray(1, '\0')) + QByteArray(1, '\0');
}

QByteArray setOfflineMode(bool on, int sendType)
{
    const Command &cmd = command(CommandId::SetOfflineMode);
    return frame(on ? cmd.code : cmd.offCode, QByteArray(1, char(uint8_t(sendType))))
        + QByteArray(1, '\0');
}

QByteArray setRelayMode(bool on)
{
    return frame(code(CommandId::SetRelayMode), QByteArray(1, char(on ? 1 : 0)));
}

QByteArray writeOfflineFrame(const QByteArray &record) { return record; }

QByteArray clearOfflineFrames()
{
    return frame(code(CommandId::WriteOfflineFrame), QByteArray(18, '\0'));
}

bool writePasses(CommandId id, bool writeOk, uint32_t written, uint32_t requestLength)
{
    const unsigned checks = command(id).writeChecks;
    if ((checks & WriteResult) && !writeOk)
        return false;
    if ((checks & WriteLength) && written != requestLength)
        return false;
    return true;
}

ReplyFault replyFault(CommandId id, const QByteArray &received)
{
    const Command &cmd = command(id);
    if ((cmd.replyTest & ReplyCount) && received.size() != cmd.replyLength)
        return ReplyFault::WrongLength;
    // A reply too short to carry the status byte counts as one of the wrong length.
    if ((cmd.replyTest & ReplyStatus) && received.size() <= StatusOffset)
        return ReplyFault::WrongLength;
    if ((cmd.replyTest & ReplyStatus) && uint8_t(received.at(StatusOffset)) != StatusOk)
        return ReplyFault::WrongStatus;
    return ReplyFault::None;
}

bool replyPasses(CommandId id, bool readOk, const QByteArray &received)
{
    if (command(id).replyTest == NoReplyTest)
        return true;
    return readOk && replyFault(id, received) == ReplyFault::None;
}

QString versionText(uint8_t major, uint8_t minor)
{
    return QStringLiteral("%1.%2").arg(major).arg(minor, 2, 16, QLatin1Char('0'));
}

QString versionFromReply(const QByteArray &reply)
{
    if (reply.size() < 6)
        return QString();
    return versionText(uint8_t(reply.at(5)), uint8_t(reply.at(4)));
}

QString latin1Field(const QByteArray &reply, int offset, int width)
{
    if (reply.size() < offset + width)
        return QString();
    return QString::fromLatin1(reply.constData() + offset, width);
}

} // namespace Protocol
