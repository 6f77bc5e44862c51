#include "device/SimFirmware.h"

#include <algorithm>

namespace {

constexpr uint8_t Lead = 0x12;
constexpr uint8_t Ack = 0x81;
constexpr uint8_t Nak = 0x80;

SimFirmware::Bytes ack(uint8_t code, uint8_t status = Ack) { return {Lead, code, status, 0x00}; }

SimFirmware::Bytes withPayload(uint8_t code, const SimFirmware::Bytes &payload)
{
    SimFirmware::Bytes out{Lead, code, Ack, uint8_t(payload.size())};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

SimFirmware::Bytes fixedText(const std::string &text, size_t width)
{
    SimFirmware::Bytes out(width, ' ');
    std::copy_n(text.begin(), std::min(width, text.size()), out.begin());
    return out;
}

} // namespace

SimFirmware::SimFirmware() : SimFirmware(State{}) {}

SimFirmware::SimFirmware(State initial) : m_state(std::move(initial))
{
    m_state.channels.resize(std::max<size_t>(m_state.channels.size(), m_state.channelCount));
}

TransferStatus SimFirmware::handleRequest(const uint8_t *data, size_t length, int timeoutMs,
                                          size_t *accepted)
{
    if (accepted)
        *accepted = 0;
    bool unplugNow = false;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_plugged)
            return TransferStatus::Gone;
        const uint8_t code = length > 1 ? data[1] : 0;
        auto it = std::find_if(m_faults.begin(), m_faults.end(), [code](const ScriptedFault &f) {
            return f.code == 0 || f.code == code;
        });
        if (it != m_faults.end() && it->fault == Fault::WriteNeverCompletes) {
            // The device never takes the request: the write fails when its time is up.
            m_faults.erase(it);
            m_cond.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [this] { return !m_plugged; });
            return m_plugged ? TransferStatus::TimedOut : TransferStatus::Gone;
        }
        ScriptedFault f{0, Fault::NoReply, -1};
        const bool faulted = it != m_faults.end();
        if (faulted) {
            f = *it;
            m_faults.erase(it);
        }
        if (faulted && f.fault == Fault::WriteFails)
            return TransferStatus::Failed;
        if (faulted && f.fault == Fault::PartialWrite && length > 1)
            length -= 1;

        Bytes request(data, data + length);
        m_requests.push_back(request);
        std::vector<Bytes> replies = answer(request);
        if (accepted)
            *accepted = length;

        if (faulted) {
            const size_t k = size_t(std::max(0, f.replyIndex));
            switch (f.fault) {
            case Fault::NoReply:
                if (k < replies.size())
                    replies.resize(k);
                break;
            case Fault::ShortReply:
                if (k < replies.size())
                    replies[k].resize(2);
                break;
            case Fault::LongReply:
                if (k < replies.size())
                    replies[k].push_back(0x00);
                break;
            case Fault::WrongStatus:
                if (k < replies.size()) {
                    if (replies[k].size() < 3)
                        replies[k].resize(3);
                    replies[k][2] = Nak;
                }
                break;
            case Fault::RemoveMidExchange:
                replies.clear();
                unplugNow = true;
                break;
            case Fault::TruncatedReply:
                if (k < replies.size() && !replies[k].empty())
                    replies[k].pop_back();
                break;
            case Fault::WriteNeverCompletes:
            case Fault::WriteFails:
            case Fault::PartialWrite:
                break;
            }
        }
        for (Bytes &r : replies)
            m_replies.push_back(std::move(r));
    }
    m_cond.notify_all();
    if (unplugNow)
        setPlugged(false);
    return TransferStatus::Ok;
}

std::vector<SimFirmware::Bytes> SimFirmware::answer(const Bytes &rq)
{
    if (rq.size() < 3 || rq[0] != Lead)
        return {ack(rq.size() > 1 ? rq[1] : 0, Nak)};
    const uint8_t code = rq[1];
    auto arg = [&rq](size_t i) -> int { return i < rq.size() ? rq[i] : -1; };
    auto validChannel = [this](int c) { return c >= 0 && c < int(m_state.channelCount); };
    State &s = m_state;

    switch (code) {
    case 0x01:
        return {withPayload(code, {s.hardwareMinor, s.hardwareMajor})};
    case 0x12:
        return {withPayload(code, {s.firmwareMinor, s.firmwareMajor})};
    case 0x13:
        return {withPayload(code, {s.channelCount})};
    case 0x14:
        return {withPayload(code, fixedText(s.serialNumber, 11))};
    case 0x15:
        return {withPayload(code, fixedText(s.deviceType, 7))};
    case 0x23: { // 12 23 06 00 F R0 R1 R2 R3
        const int channel = (arg(4) & 0x10) ? 1 : 0;
        if (rq.size() != 9 || !validChannel(channel))
            return {ack(code, Nak)};
        std::copy(rq.begin() + 5, rq.begin() + 9, s.channels[size_t(channel)].bitTiming.begin());
        return {ack(code)};
    }
    case 0x24: { // 12 24 0B bank flagsA flagsB id[4] mask[4]
        const int bank = arg(3);
        const int channel = (arg(4) & 0x08) ? 1 : 0;
        if (rq.size() != 14 || bank < 0 || bank >= FilterBankCount || !validChannel(channel))
            return {ack(code, Nak)};
        FilterBank &fb = s.channels[size_t(channel)].banks[size_t(bank)];
        fb.flagsA = rq[4];
        fb.flagsB = rq[5];
        std::copy(rq.begin() + 6, rq.begin() + 10, fb.id.begin());
        std::copy(rq.begin() + 10, rq.begin() + 14, fb.mask.begin());
        return {ack(code)};
    }
    case 0xA0:
    case 0xA1:
        s.offlineSending = code == 0xA0;
        return {ack(code)};
    case 0xA2:
    case 0xA3:
        s.monitoring = code == 0xA2;
        if (s.monitoring) {
            m_monitorStart = Clock::now();
            m_nextDue = m_monitorStart;
        }
        return {ack(code)};
    case 0xA4: {
        const int channel = arg(3);
        if (!validChannel(channel))
            return {ack(code, Nak)};
        const auto &reg = s.channels[size_t(channel)].bitTiming;
        return {withPayload(code, {uint8_t(channel), reg[0], reg[1], reg[2], reg[3]})};
    }
    case 0xA5: { // an offline frame record, 13 to 21 bytes
        if (rq.size() < 13 || rq.size() > size_t(OfflineRecordSize))
            return {ack(code, Nak)};
        const int number = rq[3];
        if (number == 0) { // the clearing record
            s.offlineRecords.clear();
            return {ack(code)};
        }
        const size_t index = size_t(number - 1);
        if (index >= s.capacity || index > s.offlineRecords.size())
            return {ack(code, Nak)};
        if (index == 0)
            s.offlineRecords.clear(); // a new list starts with frame 1
        Bytes record(rq);
        record.resize(OfflineRecordSize, 0x00);
        if (index == s.offlineRecords.size())
            s.offlineRecords.push_back(record);
        else
            s.offlineRecords[index] = record;
        return {ack(code)};
    }
    case 0xA6: {
        std::vector<Bytes> out;
        if (s.offlineRecords.empty()) {
            Bytes none(OfflineRecordSize, 0x00);
            none[0] = Lead;
            none[1] = code;
            none[2] = 0x12;
            out.push_back(none);
            return out;
        }
        const uint8_t count = uint8_t(s.offlineRecords.size());
        for (size_t i = 0; i < s.offlineRecords.size(); ++i) {
            Bytes r = s.offlineRecords[i];
            r[0] = Lead;
            r[1] = code;
            r[2] = 0x12;
            r[3] = uint8_t(i + 1);
            r[4] = count;
            out.push_back(r);
        }
        return out;
    }
    case 0xA7:
        return {{Lead, code, Ack, uint8_t(s.offlineMode ? 1 : 0), s.capacity,
                 uint8_t(s.offlineRecords.size()), uint8_t(s.relayMode ? 1 : 0), s.sendType}};
    case 0xA8:
    case 0xA9:
        if (rq.size() != 5 || arg(3) > 1)
            return {ack(code, Nak)};
        s.offlineMode = code == 0xA8;
        s.sendType = rq[3];
        return {ack(code)};
    case 0xAA: {
        const int channel = arg(3);
        if (!validChannel(channel))
            return {ack(code, Nak)};
        std::vector<Bytes> out;
        for (int b = 0; b < FilterBankCount; ++b) {
            const FilterBank &fb = s.channels[size_t(channel)].banks[size_t(b)];
            Bytes r{Lead, code, 0x0B, uint8_t(b), fb.flagsA, fb.flagsB};
            r.insert(r.end(), fb.id.begin(), fb.id.end());
            r.insert(r.end(), fb.mask.begin(), fb.mask.end());
            out.push_back(r);
        }
        return out;
    }
    case 0xB1:
        if (rq.size() != 4)
            return {ack(code, Nak)};
        s.relayMode = rq[3] != 0;
        return {ack(code)};
    default:
        return {ack(code, Nak)};
    }
}

bool SimFirmware::tryTakeReply(Bytes &out)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_plugged || m_replies.empty())
        return false;
    out = std::move(m_replies.front());
    m_replies.pop_front();
    return true;
}

TransferStatus SimFirmware::takeReply(Bytes &out, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!m_cond.wait_until(lock, deadline, [this] { return !m_plugged || !m_replies.empty(); }))
        return TransferStatus::TimedOut;
    if (!m_plugged)
        return TransferStatus::Gone;
    out = std::move(m_replies.front());
    m_replies.pop_front();
    return TransferStatus::Ok;
}

bool SimFirmware::bulkDue(Bytes &out, Clock::time_point now)
{
    if (!m_bulkQueue.empty()) {
        out = std::move(m_bulkQueue.front());
        m_bulkQueue.pop_front();
        return true;
    }
    if (!m_state.monitoring || m_rate <= 0 || now < m_nextDue)
        return false;
    out = nextStreamedTransfer(now);
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(1.0 / m_rate));
    m_nextDue += period;
    if (now - m_nextDue > std::chrono::seconds(1))
        m_nextDue = now; // after a long stall, do not burst the backlog
    return true;
}

bool SimFirmware::tryTakeBulk(Bytes &out)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_plugged && bulkDue(out, Clock::now());
}

SimFirmware::BulkResult SimFirmware::takeBulk(Bytes &out, const std::atomic<bool> &cancel)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (!m_plugged)
            return BulkResult::Unplugged;
        if (cancel.load())
            return BulkResult::Cancelled;
        const auto now = Clock::now();
        if (bulkDue(out, now))
            return BulkResult::Ok;
        if (m_state.monitoring && m_rate > 0)
            m_cond.wait_until(lock, m_nextDue);
        else
            m_cond.wait(lock);
    }
}

void SimFirmware::notifyWaiters()
{
    // Taking the lock orders the waiter's flag check before this wake-up.
    { std::lock_guard<std::mutex> lock(m_mutex); }
    m_cond.notify_all();
}

SimFirmware::State SimFirmware::state() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void SimFirmware::setState(const State &s)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state = s;
        m_state.channels.resize(std::max<size_t>(m_state.channels.size(), m_state.channelCount));
    }
    m_cond.notify_all();
}

void SimFirmware::setPlugged(bool plugged)
{
    std::function<void(bool)> listener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_plugged == plugged)
            return;
        m_plugged = plugged;
        m_replies.clear();
        m_bulkQueue.clear();
        if (!plugged) { // power is gone: nothing runs on the device any more
            m_state.monitoring = false;
            m_state.offlineSending = false;
        }
        listener = m_plugListener;
    }
    m_cond.notify_all();
    if (listener)
        listener(plugged);
}

bool SimFirmware::isPlugged() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_plugged;
}

void SimFirmware::setPlugListener(std::function<void(bool)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_plugListener = std::move(listener);
}

void SimFirmware::scriptFault(uint8_t commandCode, Fault fault, int replyIndex, int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < count; ++i)
        m_faults.push_back({commandCode, fault, replyIndex});
}

void SimFirmware::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
}

std::vector<SimFirmware::Bytes> SimFirmware::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void SimFirmware::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

void SimFirmware::queueBulk(const Bytes &transfer)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bulkQueue.push_back(transfer);
    }
    m_cond.notify_all();
}

void SimFirmware::setStreamRate(double transfersPerSecond, int recordsPerTransfer)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_rate = transfersPerSecond;
        m_recordsPerTransfer = std::min(std::max(recordsPerTransfer, 0), 3);
        m_nextDue = Clock::now();
    }
    m_cond.notify_all();
}

uint64_t SimFirmware::streamedRecords() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_streamedRecords;
}

SimFirmware::Bytes SimFirmware::frameReport(uint32_t timeStamp, bool extended, bool remote,
                                            int channel, uint32_t id, bool sent,
                                            const Bytes &data)
{
    Bytes r(FrameReportSize, 0x00);
    for (int i = 0; i < 4; ++i)
        r[size_t(i)] = uint8_t(timeStamp >> (8 * i));
    const size_t dlc = std::min<size_t>(data.size(), 8);
    r[6] = uint8_t((extended ? 0x80 : 0) | (remote ? 0x40 : 0) | (channel ? 0x10 : 0)
                   | (remote ? 0 : dlc));
    const uint32_t word = (id & 0x7FFFFFFF) | (sent ? 0x80000000u : 0u);
    for (int i = 0; i < 4; ++i)
        r[size_t(7 + i)] = uint8_t(word >> (8 * i));
    std::copy_n(data.begin(), dlc, r.begin() + 11);
    return r;
}

SimFirmware::Bytes SimFirmware::demoFrame(uint64_t n, uint32_t stamp) const
{
    // Stored offline frames go out as sent frames while offline sending is on.
    if (m_state.offlineSending && !m_state.offlineRecords.empty() && n % 2 == 1) {
        const Bytes &rec = m_state.offlineRecords[(n / 2) % m_state.offlineRecords.size()];
        const uint8_t flags = rec[8];
        const uint32_t id = uint32_t(rec[9]) << 24 | uint32_t(rec[10]) << 16
            | uint32_t(rec[11]) << 8 | rec[12];
        const bool remote = flags & 0x40;
        const size_t dlc = remote ? 0 : std::min<size_t>(flags & 0x0F, 8);
        return frameReport(stamp, flags & 0x80, remote, (flags & 0x10) ? 1 : 0, id, true,
                           Bytes(rec.begin() + 13, rec.begin() + 13 + long(dlc)));
    }
    const uint8_t k = uint8_t(n);
    const uint16_t rpm = uint16_t(800 + (n * 37) % 5200);
    switch (n % 5) {
    case 0: // engine speed, channel 0
        return frameReport(stamp, false, false, 0, 0x0C1, false,
                           {uint8_t(rpm >> 8), uint8_t(rpm), 0x00, 0x7D, k, 0x00, 0xFF, 0xFF});
    case 1: // vehicle speed, extended identifier on channel 1
        return frameReport(stamp, true, false, 1, 0x18FEF100, false,
                           {0xFF, uint8_t(k / 2), 0x1C, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
    case 2: // body status, short frame
        return frameReport(stamp, false, false, 0, 0x3E8, false, {uint8_t(k & 0x0F), 0x01});
    case 3: // a remote request on channel 1
        return frameReport(stamp, false, true, 1, 0x555, false, {});
    default: // a text-like payload, readable in character mode
        return frameReport(stamp, false, false, 1, 0x7A0, false,
                           {'C', 'A', 'N', '-', uint8_t('0' + k % 10), ' ', 'O', 'K'});
    }
}

SimFirmware::Bytes SimFirmware::nextStreamedTransfer(Clock::time_point now)
{
    // Time stamps count 100 µs ticks since monitoring began.
    const auto ticks = std::chrono::duration_cast<std::chrono::microseconds>(now - m_monitorStart)
                           .count() / 100;
    const int records = m_recordsPerTransfer > 0 ? m_recordsPerTransfer
                                                 : int(m_streamed % 3) + 1;
    Bytes transfer;
    for (int i = 0; i < records; ++i) {
        const Bytes r = demoFrame(m_streamed * 3 + uint64_t(i), uint32_t(ticks));
        transfer.insert(transfer.end(), r.begin(), r.end());
    }
    ++m_streamed;
    m_streamedRecords += uint64_t(records);
    return transfer;
}
