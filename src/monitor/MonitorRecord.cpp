#include "monitor/MonitorRecord.h"

namespace {
quint32 le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}
}

MonitorRecord decodeMonitorRecord(const char *bytes)
{
    MonitorRecord r;
    r.timeStamp = le32(bytes);
    const auto flags = static_cast<unsigned char>(bytes[6]);
    r.extended = flags & 0x80;
    r.remote = flags & 0x40;
    r.channel = (flags & 0x10) ? 1 : 0;
    r.dlc = flags & 0x0F;
    const quint32 idDir = le32(bytes + 7);
    r.sent = idDir & 0x80000000u;
    r.id = idDir & 0x7FFFFFFFu;
    r.data = QByteArray(bytes + 11, 8);
    return r;
}

bool decodeTransfer(const QByteArray &transfer, QVector<MonitorRecord> *records)
{
    records->clear();
    if (transfer.size() % MonitorRecord::Size != 0)
        return false;
    for (int at = 0; at < transfer.size(); at += MonitorRecord::Size)
        records->append(decodeMonitorRecord(transfer.constData() + at));
    return true;
}
