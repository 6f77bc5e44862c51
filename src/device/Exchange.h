#pragma once
// The one path of a request and its replies over the link. The command table decides
// whether an exchange passes; the result also says why it did not, so a log or a
// command-line tool can tell a silent device from an unplugged one or a refusal. The
// reason of every failed step goes to the "brantel.device" logging category (off unless
// QT_LOGGING_RULES="brantel.device.info=true").

#include "device/Protocol.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

#include <cstdint>

class CWrapWinUSB;

Q_DECLARE_LOGGING_CATEGORY(lcDevice)

struct ExchangeResult {
    enum Reason {
        Ok,
        NotOpen,       // the link is closed
        WriteFailed,
        WriteTimedOut, // the device did not take the request in time
        ShortWrite,    // fewer bytes went out than the request has
        NoReply,       // nothing arrived within the time-out
        ReadFailed,
        AdapterGone,   // the adapter was unplugged
        WrongLength,   // a reply of another length than the command's test wants
        WrongStatus,   // a reply whose status byte is not 0x81
    };

    CommandId command = CommandId::ReadHardwareVersion;
    Reason reason = Ok;
    // The table's verdict. A command whose replies are not tested passes with a reason
    // when its reply did not arrive; its reply is then empty.
    bool passed = true;
    // The request failed its write checks, so nothing was read.
    bool atRequest = false;
    QByteArray reply; // the bytes actually received
    uint32_t written = 0;
    uint32_t requestLength = 0;

    // The reason with the command's name ("no reply within 1000 ms to SetMonitoring");
    // empty for Ok.
    QString text() const;
};

namespace Protocol {

// Drops any reply an earlier, aborted exchange left behind, writes the request with the
// command's checks and, unless they failed, reads the first reply into a buffer of the
// command's size. A command whose write is not checked goes on to read after a failed
// write.
ExchangeResult exchange(CWrapWinUSB &link, CommandId id, const QByteArray &request);
// The next reply of a command that has several (filter banks, offline records).
ExchangeResult nextReply(CWrapWinUSB &link, CommandId id);

} // namespace Protocol
