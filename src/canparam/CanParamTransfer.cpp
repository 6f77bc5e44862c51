#include "canparam/CanParamTransfer.h"

#include "canparam/BaudRateTable.h"
#include "device/Exchange.h"

namespace CanParamTransfer {

namespace {
constexpr int RegisterOffset = 5;
constexpr int RegisterSize = 4;
} // namespace

ReadResult readChannal(CWrapWinUSB &link, int channal, QString *registerDigits,
                       QVector<DataListEntry> *rows)
{
    const ExchangeResult baud =
        Protocol::exchange(link, CommandId::ReadBaudRate, Protocol::readBaudRate(channal));
    if (!baud.passed)
        return ReadResult::BaudRateFailed;
    *registerDigits = QString::fromLatin1(baud.reply.mid(RegisterOffset, RegisterSize).toHex());

    ExchangeResult bank = Protocol::exchange(link, CommandId::ReadAcceptanceFilters,
                                             Protocol::readAcceptanceFilters(channal));
    if (bank.atRequest)
        return ReadResult::FilterRequestFailed;
    // Handed over only once all fourteen have arrived, so a failed read leaves the rows.
    QVector<DataListEntry> received;
    for (int k = 0; k < FilterBankCount; ++k) {
        if (k > 0)
            bank = Protocol::nextReply(link, CommandId::ReadAcceptanceFilters);
        if (!bank.passed)
            return ReadResult::FiltersFailed;
        received.append(FilterBank::fromReply(bank.reply));
    }
    *rows = received;
    return ReadResult::Ok;
}

WriteResult writeChannal(CWrapWinUSB &link, int channal, const QString &registerText,
                         const QVector<DataListEntry> &rows)
{
    if (!Protocol::exchange(link, CommandId::WriteBaudRate,
                            Protocol::writeBaudRate(channal, registerBytes(registerText)))
             .passed)
        return WriteResult::BaudRateFailed;
    for (int k = 0; k < rows.size(); ++k) {
        if (!Protocol::exchange(link, CommandId::WriteFilterBank,
                                FilterBank::request(k, channal, rows.at(k)))
                 .passed)
            return WriteResult::FiltersFailed;
    }
    return WriteResult::Ok;
}

} // namespace CanParamTransfer
