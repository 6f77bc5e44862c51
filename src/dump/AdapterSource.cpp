#include "dump/AdapterSource.h"

#include "app/DeviceIdentity.h"
#include "device/Exchange.h"
#include "dump/AdapterProbe.h"
#include "dump/DumpCapture.h"
#include "dump/FrameWriter.h"

#include <QElapsedTimer>
#include <QVector>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr int PollMs = 50;
constexpr int BulkBufferSize = 64;

qint64 nowMicros()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

struct Arrival {
    qint64 micros;
    QByteArray bytes;
};

// Bulk transfers from the reader thread to the writing loop.
class ArrivalQueue {
public:
    void push(Arrival a)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_items.push_back(std::move(a));
        m_cond.notify_one();
    }
    void finish()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
        m_cond.notify_one();
    }
    // Waits up to PollMs; returns what arrived and whether the reader has ended.
    std::deque<Arrival> take(bool *finished)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cond.wait_for(lock, std::chrono::milliseconds(PollMs),
                        [this] { return !m_items.empty() || m_finished; });
        std::deque<Arrival> out;
        out.swap(m_items);
        *finished = m_finished;
        return out;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cond;
    std::deque<Arrival> m_items;
    bool m_finished = false;
};

ExchangeResult setMonitoring(CWrapWinUSB &link, bool start)
{
    return Protocol::exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(start));
}

} // namespace

int AdapterSource::open(QString *error)
{
    CWrapWinUSB &link = m_link;
    if (!m_options.simulate) {
        switch (probeAdapter()) {
        case AdapterAccess::NotFound:
            *error = QStringLiteral("no adapter found (USB 0471:1200)");
            return DumpExit::NoAdapter;
        case AdapterAccess::AccessRefused:
            *error = QStringLiteral("access to the adapter refused: install the udev rule "
                                    "/etc/udev/rules.d/60-brantel.rules "
                                    "(packaging/linux/60-brantel.rules) and plug it in again");
            return DumpExit::AccessRefused;
        case AdapterAccess::InUse:
            *error = QStringLiteral("the adapter is in use by another program");
            return DumpExit::InUse;
        case AdapterAccess::Available:
        case AdapterAccess::Unknown:
            break; // opening the link decides
        }
    }

    if (!link.open()) {
        *error = QStringLiteral("no adapter found (USB 0471:1200)");
        return DumpExit::NoAdapter;
    }
    link.close();
    const DeviceIdentity id = readDeviceIdentity(link);
    if (id.deviceType.isNull() || id.firmwareVersion.isNull()) {
        *error = QStringLiteral("the adapter did not tell its device type and firmware version: %1")
                     .arg(id.failure);
        return DumpExit::Failed;
    }
    if (!isSupportedDevice(id.deviceType, id.firmwareVersion)) {
        *error = QStringLiteral("incompatible adapter: device type \"%1\", firmware %2")
                     .arg(id.deviceType, id.firmwareVersion);
        return DumpExit::Incompatible;
    }
    if (!link.open()) {
        *error = QStringLiteral("the adapter did not start frame reporting: it could not be "
                                "opened again");
        return DumpExit::Failed;
    }
    const ExchangeResult started = setMonitoring(link, true);
    if (!started.passed) {
        // The request may have been taken with only its reply lost: never leave it on.
        setMonitoring(link, false);
        link.close();
        *error = QStringLiteral("the adapter did not start frame reporting: %1")
                     .arg(started.text());
        return DumpExit::Failed;
    }
    return DumpExit::Ok;
}

int AdapterSource::run(FrameWriter &writer, QString *error)
{
    CWrapWinUSB &link = m_link;
    const qint64 captureStart = nowMicros();
    m_summary->counts.clear(captureStart);
    writer.begin(captureStart);

    ArrivalQueue queue;
    std::thread reader([&link, &queue] {
        uint8_t buffer[BulkBufferSize];
        uint32_t got = 0;
        while (link.readBulk(buffer, sizeof buffer, &got))
            queue.push({nowMicros(), QByteArray(reinterpret_cast<const char *>(buffer), int(got))});
        queue.finish();
    });

    auto process = [&](const std::deque<Arrival> &arrivals) {
        QVector<MonitorRecord> records;
        for (const Arrival &a : arrivals) {
            if (!writer.wantsMore())
                return;
            const bool whole = decodeTransfer(a.bytes, &records);
            m_summary->counts.addTransfer(a.micros, !whole);
            for (const MonitorRecord &r : records) {
                if (!writer.take(LoggedFrame{a.micros, r}))
                    break;
            }
        }
    };

    QElapsedTimer elapsed;
    elapsed.start();
    bool readerEnded = false;
    while (true) {
        process(queue.take(&readerEnded));
        writer.flush();
        if (!writer.wantsMore() || readerEnded || DumpCapture::stopRequested()
            || (m_options.seconds > 0 && elapsed.elapsed() >= qint64(m_options.seconds * 1000)))
            break;
    }

    const bool lost = readerEnded;
    if (!lost)
        m_summary->reportingStopped = setMonitoring(link, false).passed;
    link.close(); // ends the pending bulk read
    reader.join();
    bool finished = false;
    process(queue.take(&finished)); // what arrived before reporting stopped
    if (lost) {
        *error = QStringLiteral("the adapter was lost during the capture");
        return DumpExit::Failed;
    }
    return DumpExit::Ok;
}
