#include "device/Exchange.h"

#include "device/CWrapWinUSB.h"

Q_LOGGING_CATEGORY(lcDevice, "brantel.device", QtWarningMsg)

QString ExchangeResult::text() const
{
    const QString name = QLatin1String(Protocol::command(command).name);
    const QString timeout = QString::number(CWrapWinUSB::CommandTimeoutMs);
    switch (reason) {
    case Ok:
        return QString();
    case NotOpen:
        return QStringLiteral("no open link for %1").arg(name);
    case WriteFailed:
        return QStringLiteral("writing %1 failed").arg(name);
    case WriteTimedOut:
        return QStringLiteral("%1 not taken within %2 ms").arg(name, timeout);
    case ShortWrite:
        return QStringLiteral("%1 written short: %2 of %3 bytes")
            .arg(name).arg(written).arg(requestLength);
    case NoReply:
        return QStringLiteral("no reply within %1 ms to %2").arg(timeout, name);
    case ReadFailed:
        return QStringLiteral("reading the reply to %1 failed").arg(name);
    case AdapterGone:
        return QStringLiteral("the adapter was removed during %1").arg(name);
    case WrongLength: {
        const int expected = Protocol::command(command).replyLength;
        return QStringLiteral("a reply of %1 bytes to %2, %3 expected")
            .arg(reply.size())
            .arg(name, expected > 0 ? QString::number(expected) : QStringLiteral("3 or more"));
    }
    case WrongStatus:
        return QStringLiteral("status 0x%1 instead of 0x81 in the reply to %2")
            .arg(uint8_t(reply.size() > Protocol::StatusOffset ? reply.at(Protocol::StatusOffset)
                                                               : 0),
                 2, 16, QLatin1Char('0'))
            .arg(name);
    }
    return QString();
}

namespace {

ExchangeResult::Reason transportReason(TransferStatus status, bool writing)
{
    switch (status) {
    case TransferStatus::Ok: return ExchangeResult::Ok;
    case TransferStatus::NotOpen: return ExchangeResult::NotOpen;
    case TransferStatus::Gone: return ExchangeResult::AdapterGone;
    case TransferStatus::TimedOut:
        return writing ? ExchangeResult::WriteTimedOut : ExchangeResult::NoReply;
    case TransferStatus::Failed: break;
    }
    return writing ? ExchangeResult::WriteFailed : ExchangeResult::ReadFailed;
}

// A failure the command table lets pass is logged too: it explains an empty field.
void logFailure(const ExchangeResult &r, bool judged)
{
    if (r.reason == ExchangeResult::Ok)
        return;
    if (judged)
        qCInfo(lcDevice).noquote() << r.text();
    else
        qCInfo(lcDevice).noquote() << r.text() << "(not judged)";
}

ExchangeResult readOne(CWrapWinUSB &link, ExchangeResult r)
{
    QByteArray buffer(Protocol::command(r.command).replyBuffer, '\0');
    uint32_t n = 0;
    TransferStatus status = TransferStatus::Failed;
    const bool ok = link.readPipe(reinterpret_cast<uint8_t *>(buffer.data()),
                                  uint32_t(buffer.size()), &n, &status);
    buffer.truncate(ok ? int(qMin<uint32_t>(n, uint32_t(buffer.size()))) : 0);
    r.reply = buffer;
    r.passed = Protocol::replyPasses(r.command, ok, buffer);
    switch (ok ? Protocol::replyFault(r.command, buffer) : Protocol::ReplyFault::None) {
    case Protocol::ReplyFault::None: r.reason = transportReason(status, false); break;
    case Protocol::ReplyFault::WrongLength: r.reason = ExchangeResult::WrongLength; break;
    case Protocol::ReplyFault::WrongStatus: r.reason = ExchangeResult::WrongStatus; break;
    }
    logFailure(r, !r.passed);
    return r;
}

} // namespace

namespace Protocol {

ExchangeResult exchange(CWrapWinUSB &link, CommandId id, const QByteArray &request)
{
    link.dropStaleReplies();
    ExchangeResult r;
    r.command = id;
    r.requestLength = uint32_t(request.size());
    TransferStatus status = TransferStatus::Failed;
    const bool ok = link.writePipe(reinterpret_cast<const uint8_t *>(request.constData()),
                                   r.requestLength, &r.written, &status);
    if (!ok || r.written != r.requestLength)
        r.reason = ok ? ExchangeResult::ShortWrite : transportReason(status, true);
    if (!writePasses(id, ok, r.written, r.requestLength)) {
        r.passed = false;
        r.atRequest = true;
        logFailure(r, true);
        return r;
    }
    logFailure(r, false);
    return readOne(link, r);
}

ExchangeResult nextReply(CWrapWinUSB &link, CommandId id)
{
    ExchangeResult r;
    r.command = id;
    return readOne(link, r);
}

} // namespace Protocol
