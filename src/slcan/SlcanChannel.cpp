#include "slcan/SlcanChannel.h"

#include "canparam/BaudRateTable.h"

namespace {

constexpr int MaxLength = 8;
constexpr qint64 TimeStampWrap = 60000; // milliseconds, as SLCAN devices count

// The table labels of S0..S8, in kbit/s.
const char *const BitRateLabels[SlcanChannel::BitRateCount] = {
    "10K", "20K", "50K", "100K", "125K", "250K", "500K", "800K", "1000K"};

char hexDigit(unsigned v)
{
    return "0123456789ABCDEF"[v & 0xF];
}

void appendHex(QByteArray *out, quint32 value, int digits)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out->append(hexDigit(value >> shift));
}

// "V0102" from "1.02": major in two decimal digits, then the minor's two digits.
QByteArray versionAnswer(char letter, const QString &version)
{
    const int dot = version.indexOf(QLatin1Char('.'));
    bool ok = false;
    const int major = version.left(dot).toInt(&ok);
    if (dot < 0 || !ok || major > 99 || version.size() != dot + 3)
        return QByteArray(1, SlcanChannel::Refused);
    return letter + QByteArray::number(major).rightJustified(2, '0')
        + version.mid(dot + 1).toLatin1() + SlcanChannel::Ok;
}

} // namespace

SlcanChannel::SlcanChannel(int channel, const SlcanIdentity &identity, SlcanDevice *device)
    : m_channel(channel), m_identity(identity), m_device(device)
{
}

int SlcanChannel::tableRowForCommand(int digit)
{
    if (digit < 0 || digit >= BitRateCount)
        return -1;
    for (int row = 0; row < BaudRateTable::RowCount; ++row) {
        if (BaudRateTable::label(row) == QLatin1String(BitRateLabels[digit]))
            return row;
    }
    return -1;
}

QByteArray SlcanChannel::receive(const QByteArray &bytes)
{
    QByteArray answers;
    for (char c : bytes) {
        if (c != '\r' && c != '\n') {
            if (m_pending.size() < MaxLineLength)
                m_pending.append(c);
            else
                m_discarding = true;
            continue;
        }
        if (m_discarding)
            answers.append(Refused);
        else if (!m_pending.isEmpty())
            answers += command(m_pending);
        m_pending.clear();
        m_discarding = false;
    }
    return answers;
}

QByteArray SlcanChannel::command(const QByteArray &line)
{
    const QByteArray refused(1, Refused);
    const char letter = line.at(0);
    if (line.size() == 1) {
        switch (letter) {
        case 'O': return open(false);
        case 'L': return open(true);
        case 'C':
            if (m_open)
                m_device->setForwarding(m_channel, false);
            m_open = false;
            return QByteArray(1, Ok);
        case 'V': return versionAnswer('V', m_identity.hardwareVersion);
        case 'v': return versionAnswer('v', m_identity.firmwareVersion);
        case 'N':
            if (m_identity.serialNumber.isEmpty())
                return refused;
            return 'N' + m_identity.serialNumber + Ok;
        case 'F': {
            QByteArray answer("F");
            appendHex(&answer, m_flags, 2);
            m_flags = 0; // reading the flags clears them
            return answer + Ok;
        }
        default: return refused;
        }
    }
    // Bit rate and time stamps are settings of a closed channel.
    if (line.size() != 2 || m_open || line.at(1) < '0' || line.at(1) > '9')
        return refused;
    const int digit = line.at(1) - '0';
    if (letter == 'S') {
        const int row = tableRowForCommand(digit);
        return row >= 0 && m_device->writeBitRate(m_channel, row) ? QByteArray(1, Ok) : refused;
    }
    if (letter == 'Z' && digit <= 1) {
        m_timeStamps = digit == 1;
        return QByteArray(1, Ok);
    }
    return refused; // transmit commands among them: the adapter cannot send a live frame
}

QByteArray SlcanChannel::open(bool listenOnly)
{
    if (m_open || !m_device->setForwarding(m_channel, true))
        return QByteArray(1, Refused);
    m_open = true;
    m_listenOnly = listenOnly;
    return QByteArray(1, Ok);
}

void SlcanChannel::reset()
{
    if (m_open)
        m_device->setForwarding(m_channel, false);
    m_open = false;
    m_pending.clear();
    m_discarding = false;
}

QByteArray SlcanChannel::frameLine(const MonitorRecord &record, qint64 hostMs) const
{
    if (!m_open || record.channel != m_channel || record.sent)
        return QByteArray();
    return formatFrame(record, m_timeStamps, hostMs);
}

QByteArray SlcanChannel::formatFrame(const MonitorRecord &r, bool withTime, qint64 hostMs)
{
    QByteArray line;
    line.reserve(32);
    line.append(r.extended ? (r.remote ? 'R' : 'T') : (r.remote ? 'r' : 't'));
    if (r.extended)
        appendHex(&line, r.id & 0x1FFFFFFFu, 8);
    else
        appendHex(&line, r.id & 0x7FFu, 3);
    // The length digit of classic CAN is 0 to 8: a DLC above 8 is sent as 8.
    const int length = qMin(r.dlc, MaxLength);
    line.append(char('0' + length));
    for (int i = 0; !r.remote && i < length; ++i) {
        const auto b = static_cast<unsigned char>(i < r.data.size() ? r.data.at(i) : 0);
        line.append(hexDigit(b >> 4));
        line.append(hexDigit(b));
    }
    if (withTime)
        appendHex(&line, quint32(((hostMs % TimeStampWrap) + TimeStampWrap) % TimeStampWrap), 4);
    line.append(Ok);
    return line;
}
