#include "dump/DumpCapture.h"

#include "app/DeviceIdentity.h"
#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "dump/AdapterProbe.h"
#include "monitor/AscLog.h"
#include "monitor/CandumpLog.h"
#include "monitor/MonitorFormatter.h"

#include <QCoreApplication>

#include <QElapsedTimer>
#include <QFile>
#include <QVector>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// Lock-free, so the handler may set it on any thread while the capture loop reads it.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the stop flag is set in a signal handler");

extern "C" void onStopSignal(int)
{
    g_stopRequested = true;
}

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

void say(QIODevice *err, const QString &line)
{
    err->write(QByteArrayLiteral("brantel-dump: ") + line.toUtf8() + '\n');
}

ExchangeResult setMonitoring(CWrapWinUSB &link, bool start)
{
    return Protocol::exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(start));
}

} // namespace

QString DumpSummary::text() const
{
    return QStringLiteral("%1 frames (channel 0: %2, channel 1: %3), %4 transfers, "
                          "%5 malformed transfers dropped, %6 frames filtered out%7")
        .arg(counts.shownFrames()).arg(counts.shownFrames(0)).arg(counts.shownFrames(1))
        .arg(counts.transfers()).arg(counts.malformedTransfers()).arg(counts.filteredFrames())
        .arg(reportingStopped ? QString()
                              : QStringLiteral("; the adapter did not confirm reporting off"));
}

void DumpCapture::installStopSignals()
{
#ifdef _WIN32
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
#else
    // No SA_RESTART needed: the writing loop polls the flag, it never blocks on a signal.
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

void DumpCapture::requestStop()
{
    g_stopRequested = true;
}

void DumpCapture::clearStopRequest()
{
    g_stopRequested = false;
}

int DumpCapture::run(QIODevice *out, QIODevice *err)
{
    m_summary = DumpSummary();
    QFile file;
    if (!m_options.output.isEmpty()) {
        file.setFileName(m_options.output);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            say(err, QStringLiteral("cannot write %1: %2").arg(m_options.output, file.errorString()));
            return DumpExit::Failed;
        }
        out = &file;
    }

    if (!m_options.simulate) {
        switch (probeAdapter()) {
        case AdapterAccess::NotFound:
            say(err, QStringLiteral("no adapter found (USB 0471:1200)"));
            return DumpExit::NoAdapter;
        case AdapterAccess::AccessRefused:
            say(err, QStringLiteral("access to the adapter refused: install the udev rule "
                                    "/etc/udev/rules.d/60-brantel.rules "
                                    "(packaging/linux/60-brantel.rules) and plug it in again"));
            return DumpExit::AccessRefused;
        case AdapterAccess::InUse:
            say(err, QStringLiteral("the adapter is in use by another program"));
            return DumpExit::InUse;
        case AdapterAccess::Available:
        case AdapterAccess::Unknown:
            break; // opening the link decides
        }
    }

    CWrapWinUSB link;
    if (!link.open()) {
        say(err, QStringLiteral("no adapter found (USB 0471:1200)"));
        return DumpExit::NoAdapter;
    }
    link.close();
    const DeviceIdentity id = readDeviceIdentity(link);
    if (id.deviceType.isNull() || id.firmwareVersion.isNull()) {
        say(err, QStringLiteral("the adapter did not tell its device type and firmware version: %1")
                     .arg(id.failure));
        return DumpExit::Failed;
    }
    if (!isSupportedDevice(id.deviceType, id.firmwareVersion)) {
        say(err, QStringLiteral("incompatible adapter: device type \"%1\", firmware %2")
                     .arg(id.deviceType, id.firmwareVersion));
        return DumpExit::Incompatible;
    }
    if (!link.open()) {
        say(err, QStringLiteral("the adapter did not start frame reporting: it could not be "
                                "opened again"));
        return DumpExit::Failed;
    }
    const ExchangeResult started = setMonitoring(link, true);
    if (!started.passed) {
        // The request may have been taken with only its reply lost: never leave it on.
        setMonitoring(link, false);
        link.close();
        say(err, QStringLiteral("the adapter did not start frame reporting: %1")
                     .arg(started.text()));
        return DumpExit::Failed;
    }

    const qint64 captureStart = nowMicros();
    m_summary.counts.clear(captureStart);
    const bool asc = m_options.format == DumpOptions::Format::Asc;
    bool writeFailed = false;
    auto write = [&](const QString &text) {
        const QByteArray bytes = text.toUtf8();
        if (!writeFailed && out->write(bytes) != bytes.size())
            writeFailed = true;
    };
    if (asc)
        write(AscLog::header(captureStart));

    ArrivalQueue queue;
    std::thread reader([&link, &queue] {
        uint8_t buffer[BulkBufferSize];
        uint32_t got = 0;
        while (link.readBulk(buffer, sizeof buffer, &got))
            queue.push({nowMicros(), QByteArray(reinterpret_cast<const char *>(buffer), int(got))});
        queue.finish();
    });

    const MonitorNames names = translatedMonitorNames();
    qint64 written = 0;
    bool countReached = false;
    auto process = [&](const std::deque<Arrival> &arrivals) {
        QVector<MonitorRecord> records;
        for (const Arrival &a : arrivals) {
            if (countReached)
                return;
            const bool whole = decodeTransfer(a.bytes, &records);
            m_summary.counts.addTransfer(a.micros, !whole);
            for (const MonitorRecord &r : records) {
                if (countReached)
                    break;
                const bool shown = m_options.accepts(r.id);
                m_summary.counts.addFrame(a.micros, r.channel, shown);
                if (!shown)
                    continue;
                const LoggedFrame f{a.micros, r};
                switch (m_options.format) {
                case DumpOptions::Format::Log: write(CandumpLog::formatLine(f)); break;
                case DumpOptions::Format::Candump: write(CandumpLog::formatConsoleLine(f)); break;
                case DumpOptions::Format::Asc: write(AscLog::formatLine(f, captureStart)); break;
                case DumpOptions::Format::Text:
                    write(formatMonitorLine(written + 1, r, names, DisplayHex));
                    break;
                }
                write(QStringLiteral("\n"));
                countReached = m_options.count > 0 && ++written >= m_options.count;
            }
        }
    };

    QElapsedTimer elapsed;
    elapsed.start();
    bool readerEnded = false;
    while (true) {
        process(queue.take(&readerEnded));
        if (auto *f = qobject_cast<QFile *>(out))
            f->flush(); // for a console or a pipe: lines appear as they arrive
        if (countReached || writeFailed || readerEnded || g_stopRequested
            || (m_options.seconds > 0 && elapsed.elapsed() >= qint64(m_options.seconds * 1000)))
            break;
    }

    const bool lost = readerEnded;
    if (!lost)
        m_summary.reportingStopped = setMonitoring(link, false).passed;
    link.close(); // ends the pending bulk read
    reader.join();
    bool finished = false;
    process(queue.take(&finished)); // what arrived before reporting stopped
    if (asc)
        write(AscLog::footer());
    if (auto *f = qobject_cast<QFile *>(out))
        writeFailed = !f->flush() || writeFailed;

    say(err, m_summary.text());
    if (writeFailed) {
        say(err, QStringLiteral("writing the frames failed: %1").arg(out->errorString()));
        return DumpExit::Failed;
    }
    if (lost) {
        say(err, QStringLiteral("the adapter was lost during the capture"));
        return DumpExit::Failed;
    }
    return DumpExit::Ok;
}
