#pragma once
// One channel of the adapter as a serial CAN device speaking the SLCAN (Lawicel) text
// protocol: the host's command lines in, the answer bytes out, and the frame lines the
// channel forwards. Plain logic: the adapter exchanges it needs go through SlcanDevice,
// and the terminal it talks over belongs to the bridge.
//
// Commands end in CR (LF is taken too; empty lines are ignored). Answers: CR for done,
// BEL for refused. Frame lines: t/T (data) or r/R (remote), the identifier in 3 or 8 hex
// digits, the length digit, the data, with Z1 four hex digits of milliseconds (0-59999),
// and CR.

#include "monitor/MonitorRecord.h"

#include <QByteArray>
#include <QString>

// What the adapter told about itself at start; empty versions are unknown.
struct SlcanIdentity {
    QString hardwareVersion; // "1.02": major in decimal, minor as two hex digits
    QString firmwareVersion;
    QByteArray serialNumber; // printable characters only
};

// The adapter exchanges a channel's commands ask for.
class SlcanDevice {
public:
    virtual ~SlcanDevice() = default;
    // Writes the bit-timing register of a row of the bit-rate table; true when taken.
    virtual bool writeBitRate(int channel, int tableRow) = 0;
    // The channel starts (true) or stops forwarding frames; false when it cannot start.
    virtual bool setForwarding(int channel, bool on) = 0;
};

class SlcanChannel {
public:
    static constexpr char Ok = '\r';
    static constexpr char Refused = '\a';
    static constexpr int MaxLineLength = 32; // the longest command has 26 characters
    static constexpr int BitRateCount = 9;   // S0 (10 kbit/s) to S8 (1 Mbit/s)
    static constexpr quint8 OverrunFlag = 0x08;

    SlcanChannel(int channel, const SlcanIdentity &identity, SlcanDevice *device);

    // Bytes from the host; returns the answers to send back, in order.
    QByteArray receive(const QByteArray &bytes);
    // The line for a frame the adapter reported, or empty when this channel does not
    // forward it: it is closed, the frame is another channel's, or the adapter sent it.
    QByteArray frameLine(const MonitorRecord &record, qint64 hostMs) const;
    // Frames for this channel were lost before reaching the host: F reports an overrun.
    void noteLostFrames() { m_flags |= OverrunFlag; }
    // The host went away: stop forwarding and forget a half-received command.
    void reset();

    bool isOpen() const { return m_open; }
    bool listenOnly() const { return m_listenOnly; }

    // The bit-rate table row for S0..S8, or -1 when the table has no such rate.
    static int tableRowForCommand(int digit);
    static QByteArray formatFrame(const MonitorRecord &record, bool withTime, qint64 hostMs);

private:
    QByteArray command(const QByteArray &line);
    QByteArray open(bool listenOnly);

    int m_channel;
    SlcanIdentity m_identity;
    SlcanDevice *m_device;
    QByteArray m_pending;
    bool m_discarding = false; // inside an overlong line
    bool m_open = false;
    bool m_listenOnly = false;
    bool m_timeStamps = false;
    quint8 m_flags = 0;
};
