#pragma once
// The command protocol: every request is 0x12, a command code, a payload length and the
// payload; replies are judged by the bytes actually received. The table below is the
// single description of every command; request builders and reply tests read it.

#include <QByteArray>
#include <QString>

#include <cstdint>

enum class CommandId {
    ReadHardwareVersion,
    ReadFirmwareVersion,
    ReadChannalCount,
    ReadSerialNumber,
    ReadDeviceType,
    WriteBaudRate,
    WriteFilterBank,
    SetOfflineSend,
    SetMonitoring,
    ReadBaudRate,
    WriteOfflineFrame,
    ReadOfflineData,
    ReadModeState,
    SetOfflineMode,
    ReadAcceptanceFilters,
    SetRelayMode,
};

namespace Protocol {

constexpr uint8_t LeadByte = 0x12;
constexpr uint8_t StatusOk = 0x81;
constexpr int StatusOffset = 2;

enum WriteCheck : unsigned {
    WriteUnchecked = 0,
    WriteResult = 1,      // the write must succeed
    WriteLength = 2,      // ... and transfer exactly the request's length
};

enum ReplyTest : unsigned {
    NoReplyTest = 0,
    ReplyCount = 1,       // exactly `replyLength` bytes received
    ReplyStatus = 2,      // byte 2 is 0x81 (a reply shorter than 3 bytes never passes)
};

struct Command {
    CommandId id;
    const char *name;
    uint8_t code;         // the "on"/"start" code where the command has two
    uint8_t offCode;      // the "off"/"stop" code, or 0
    unsigned writeChecks; // WriteCheck bits
    int replyBuffer;      // size of the buffer each reply is read into
    unsigned replyTest;   // ReplyTest bits
    int replyLength;      // bytes a reply must have when ReplyCount applies, else 0
    int usedFirst;        // first reply byte the program uses, or -1
    int usedCount;        // number of reply bytes used
};

// The sixteen commands, in table order.
const Command &command(CommandId id);
constexpr int CommandCount = 16;
const Command *allCommands();

// Request builders. Channels are 0 or 1; registers are four bytes, most significant first.
QByteArray frame(uint8_t code, const QByteArray &payload);
QByteArray readHardwareVersion();
QByteArray readFirmwareVersion();
QByteArray readChannalCount();
QByteArray readSerialNumber();
QByteArray readDeviceType();
QByteArray writeBaudRate(int channel, const QByteArray &register4);
// The 14-byte filter bank record; the register texts are encoded by the channel page.
QByteArray writeFilterBank(int bank, uint8_t flagsA, uint8_t flagsB, const QByteArray &id4,
                           const QByteArray &mask4);
QByteArray setOfflineSend(bool on);
QByteArray setMonitoring(bool start);
QByteArray readBaudRate(int channel);
// An offline frame record (built by the offline list) goes out as it is.
QByteArray writeOfflineFrame(const QByteArray &record);
// The record that empties the device's list: frame number 0, frame count 0, all zero.
QByteArray clearOfflineFrames();
QByteArray readOfflineData();
QByteArray readModeState();
QByteArray setOfflineMode(bool on, int sendType);
QByteArray readAcceptanceFilters(int channel);
QByteArray setRelayMode(bool on);

// Checks of one exchange as the table states them.
bool writePasses(CommandId id, bool writeOk, uint32_t written, uint32_t requestLength);
bool replyPasses(CommandId id, bool readOk, const QByteArray &received);
// Which of the command's reply tests a reply that arrived fails (the count first).
enum class ReplyFault { None, WrongLength, WrongStatus };
ReplyFault replyFault(CommandId id, const QByteArray &received);

// Version text: major in decimal, ".", minor as two lower-case hex digits (1.15).
QString versionText(uint8_t major, uint8_t minor);
// From a version reply (minor at byte 4, major at byte 5); empty when it did not arrive whole.
QString versionFromReply(const QByteArray &reply);
// A Latin-1 field at full width, padding included; null when the reply is too short.
QString latin1Field(const QByteArray &reply, int offset, int width);

} // namespace Protocol
