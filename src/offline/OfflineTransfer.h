#pragma once
// Moving the offline frame list between the PC and the adapter: the records the device
// holds, and replacing them with the list's records (the clearing record for none).

#include <QByteArray>
#include <QVector>

class CWrapWinUSB;

namespace OfflineTransfer {

enum class ReadResult {
    Ok,
    RequestFailed, // the request did not go out whole
    ReadFailed,    // a record failed to arrive, or did not arrive whole
    NoData,        // the device holds no records
};

// On Ok `records` holds the device's records in the order received; otherwise it is
// left as it was.
ReadResult readRecords(CWrapWinUSB &link, QVector<QByteArray> *records);

enum class WriteResult {
    Ok,
    WriteFailed, // a record could not be written; nothing more was sent
    Refused,     // a reply failed or did not carry the success status; nothing more sent
};

// Writes the records one request each, stopping at the first failure. An empty list
// sends the clearing record instead.
WriteResult writeRecords(CWrapWinUSB &link, const QVector<QByteArray> &records);

} // namespace OfflineTransfer
