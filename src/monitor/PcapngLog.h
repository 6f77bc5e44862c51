#pragma once
// pcapng captures for Wireshark, tshark and every libpcap reader: a section header, one
// interface description per channel (can0, can1; link type 227, SocketCAN frames, time
// stamps in microseconds) and one enhanced packet per frame. Blocks are little-endian.
//
// Each packet is the 16-byte SocketCAN frame: the identifier in network byte order with
// 0x80000000 for an extended and 0x40000000 for a remote frame, the length (at most 8),
// two zero bytes, the raw DLC when it is above 8 (else 0), and eight data bytes, of which
// the ones past the length are zero. A remote frame's length is its DLC and its data
// bytes are all zero. The packet's flags option marks it inbound (received) or outbound
// (sent by the adapter).

#include "monitor/LoggedFrame.h"

#include <QByteArray>
#include <QVector>

namespace PcapngLog {

constexpr int Channels = 2;

// The blocks that open a capture: the section header and both interface descriptions.
QByteArray header();
// One enhanced packet block for a frame.
QByteArray packet(const LoggedFrame &frame);
// The 16-byte SocketCAN frame of a record.
QByteArray socketCanFrame(const MonitorRecord &record);
// A whole capture: the header and one packet per frame.
QByteArray file(const QVector<LoggedFrame> &frames);

} // namespace PcapngLog
