// The monitor pipeline at full bus load: the simulated adapter streams three-record
// transfers through the real link, receive thread and DataMonitorWidget (offscreen).
// Prints frames sent and accounted for, GUI event-loop lag, CPU, memory with a cache of
// 100,000 entries, the time and GUI stall of saving that cache, and the highest rate
// that still holds zero loss and p99 lag under 50 ms; the same figures for the literal
// design (formatting on the receive thread, one view append per transfer) as baseline.
// Never fails on timing.
//
// usage: monitor_pipeline [seconds at the physical maximum = 10] [seconds per search step = 3]

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimulatedAdapter.h"
#include "TraceLoad.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorReceiver.h"
#include "widgets/BrantelResources.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <vector>

namespace {

// Two channels at 1 Mbit/s with 47-bit frames.
constexpr double PhysicalMaximum = 42553;
constexpr int RecordsPerTransfer = 3;

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

template <typename Pred> bool waitUntil(Pred done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The lateness of a 10 ms timer: how long the GUI thread could not run its events.
class LagProbe {
public:
    LagProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_samples.push_back(std::max<qint64>(0, now - m_last - 10000000) / 1e6);
            m_last = now;
        });
    }
    void start()
    {
        m_samples.clear();
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    void stop() { m_timer.stop(); }
    double percentile(double p) const
    {
        if (m_samples.empty())
            return 0;
        std::vector<double> s = m_samples;
        std::sort(s.begin(), s.end());
        return s[std::min(s.size() - 1, size_t(p * (s.size() - 1) + 0.5))];
    }
    double max() const { return percentile(1.0); }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    std::vector<double> m_samples;
};

class SaveDialogs : public Dialogs {
public:
    QString path;
    QStringList texts;
    QMessageBox::StandardButton message(QWidget *, Kind, const QString &, const QString &text,
                                        QMessageBox::StandardButtons) override
    {
        texts << text;
        return QMessageBox::Ok;
    }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return path;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override
    {
        return {};
    }
};

struct Pipeline {
    virtual ~Pipeline() = default;
    virtual const char *name() const = 0;
    virtual qint64 numbered() const = 0;
    virtual bool drained() const = 0;
    // Drops what could not be shown in time, so the next run starts clean; may be called
    // from another thread while the GUI thread is busy.
    virtual qint64 discardBacklog() { return 0; }
};

// The program's own page: batched, formatted on the GUI thread.
struct Batched : Pipeline {
    explicit Batched(CWrapWinUSB *link) : page(link)
    {
        page.resize(711, 424);
        page.show();
        page.onSwichButtonDataWatch(true);
    }
    const char *name() const override { return "batched"; }
    qint64 numbered() const override { return page.log().runningNumber(); }
    bool drained() const override { return page.receiver()->queuedTransfers() == 0; }
    DataMonitorWidget page;
};

// The literal design: the receive thread formats each transfer and posts it; the view
// appends every block on its own.
struct Literal : Pipeline {
    explicit Literal(CWrapWinUSB *link) : m_link(link)
    {
        view.setReadOnly(true);
        view.setAcceptRichText(false);
        view.setUndoRedoEnabled(false);
        view.document()->setMaximumBlockCount(128);
        view.resize(711, 380);
        MonitorNames names; // as the page fills them in Chinese
        names.frameFormat[0] = QStringLiteral("数据帧");
        names.frameFormat[1] = QStringLiteral("远程帧");
        names.frameType[0] = QStringLiteral("标准帧");
        names.frameType[1] = QStringLiteral("扩展帧");
        names.direction[0] = QStringLiteral("接收");
        names.direction[1] = QStringLiteral("发送");
        m_log.setNames(names);
        m_log.setCacheSize(4096);
        view.show();
        Protocol::exchange(*link, CommandId::SetMonitoring, Protocol::setMonitoring(true));
        link->resumeBulk();
        m_thread = std::thread([this] {
            uint8_t buffer[64];
            uint32_t n = 0;
            while (!m_stop && m_link->readBulk(buffer, sizeof buffer, &n)) {
                const QString block = m_log.addTransfer(
                    QByteArray(reinterpret_cast<const char *>(buffer), int(n)), 0);
                m_numbered = m_log.runningNumber();
                if (block.isEmpty())
                    continue;
                ++m_posted;
                QMetaObject::invokeMethod(
                    &view,
                    [this, block] {
                        view.append(block);
                        ++m_appended;
                    },
                    Qt::QueuedConnection);
            }
        });
    }
    ~Literal() override
    {
        m_stop = true;
        m_link->stopBulk();
        m_thread.join();
        QCoreApplication::removePostedEvents(&view);
    }
    const char *name() const override { return "literal"; }
    qint64 numbered() const override { return m_numbered; }
    bool drained() const override { return m_appended >= m_posted; }
    qint64 discardBacklog() override
    {
        QCoreApplication::removePostedEvents(&view, QEvent::MetaCall);
        const qint64 dropped = m_posted - m_appended;
        m_appended = m_posted.load();
        return dropped;
    }

    QTextEdit view;

private:
    CWrapWinUSB *m_link;
    MonitorLog m_log; // used by the receive thread only
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_numbered{0};
    std::atomic<qint64> m_posted{0};
    std::atomic<qint64> m_appended{0};
};

struct Result {
    double offered = 0;   // frames the bus carried during the run
    qint64 sent = 0;      // frame reports the adapter put on the bulk pipe
    qint64 numbered = 0;  // frames the running number accounts for
    double p50 = 0, p99 = 0, maxLag = 0;
    double cpuPerSecond = 0;
    bool drained = false;
    qint64 unshown = 0; // transfers still waiting for the view 1 s after the stream stopped
    bool holds() const
    {
        return drained && unshown == 0 && numbered == sent && sent >= 0.99 * offered && p99 < 50;
    }
};

Result run(Pipeline &p, SimFirmware &device, double framesPerSecond, double seconds)
{
    Result r;
    LagProbe lag;
    if (!waitUntil([&] { return p.drained(); }, 10000)) // nothing left over from before
        p.discardBacklog();
    runFor(100);
    const qint64 sent0 = qint64(device.streamedRecords());
    const qint64 numbered0 = p.numbered();
    const double cpu0 = cpuSeconds();
    QElapsedTimer wall;
    device.setStreamRate(framesPerSecond / RecordsPerTransfer, RecordsPerTransfer);
    wall.start();
    lag.start();
    // A GUI thread that cannot keep up may not get back to its own timers for a long
    // time: this thread ends the stream on time and, a second later, drops whatever the
    // view still has to show.
    std::atomic<double> elapsed{0};
    std::atomic<qint64> unshown{0};
    std::thread watchdog([&] {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        device.setStreamRate(0);
        elapsed = wall.nsecsElapsed() / 1e9;
        for (int i = 0; i < 100 && !p.drained(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!p.drained())
            unshown = p.discardBacklog();
    });
    runFor(int(seconds * 1000));
    watchdog.join();
    lag.stop();
    r.cpuPerSecond = (cpuSeconds() - cpu0) / (wall.nsecsElapsed() / 1e9);
    r.unshown = unshown;
    r.drained = waitUntil([&] { return p.drained(); }, 10000);
    runFor(100); // the last flush
    if (!r.drained)
        p.discardBacklog();
    r.offered = framesPerSecond * elapsed.load();
    r.sent = qint64(device.streamedRecords()) - sent0;
    r.numbered = p.numbered() - numbered0;
    r.p50 = lag.percentile(0.50);
    r.p99 = lag.percentile(0.99);
    r.maxLag = lag.max();
    return r;
}

void print(const char *design, double rate, const Result &r)
{
    std::printf("%-8s %8.0f frames/s: sent %9lld, numbered %9lld (lost %lld), delivered %5.1f%% "
                "of the bus, lag p50 %5.1f ms p99 %6.1f ms max %6.1f ms, CPU %.2f s/s, "
                "unshown %lld%s\n",
                design, rate, static_cast<long long>(r.sent), static_cast<long long>(r.numbered),
                static_cast<long long>(r.sent - r.numbered), 100.0 * r.sent / std::max(1.0, r.offered),
                r.p50, r.p99, r.maxLag, r.cpuPerSecond, static_cast<long long>(r.unshown),
                r.holds() ? "" : "  (does not hold)");
    std::fflush(stdout);
}

// Upwards from the physical maximum while the rate holds, or (for a design that does not
// hold there) downwards by halves until one does.
double highestRate(Pipeline &p, SimFirmware &device, double seconds, bool upwards)
{
    const std::vector<double> factors = upwards
        ? std::vector<double>{1, 2, 4, 6, 8, 12, 16, 24, 32}
        : std::vector<double>{0.5, 0.25, 0.125, 0.0625, 0.03125, 0.015625};
    double best = 0;
    for (double factor : factors) {
        const double rate = factor * PhysicalMaximum;
        const Result r = run(p, device, rate, seconds);
        print(p.name(), rate, r);
        if (upwards && !r.holds())
            break;
        if (r.holds()) {
            best = rate;
            if (!upwards)
                break;
        }
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initBrantelResources();
    const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    const double stepSeconds = argc > 2 ? std::atof(argv[2]) : 3.0;

    SaveDialogs dialogs;
    Dialogs::setInstance(&dialogs);
    QTemporaryDir dir;
    dialogs.path = dir.filePath(QStringLiteral("monitor.txt"));

    auto device = SimRegistry::instance().add();
    CWrapWinUSB link(std::make_unique<SimBackend>());
    if (!link.open()) {
        std::fprintf(stderr, "cannot open the simulated adapter\n");
        return 1;
    }
    std::printf("%d cores online; %.0f s at the physical maximum, %.0f s per search step\n",
                int(sysconf(_SC_NPROCESSORS_ONLN)), seconds, stepSeconds);

    double batchedBest = 0, literalBest = 0;
    Result batched, literal;
    {
        Batched p(&link);
        p.page.setCacheCount(100000);
        batched = run(p, *device, PhysicalMaximum, seconds);
        print(p.name(), PhysicalMaximum, batched);
        const TransferCache &cache = p.page.log().cache();
        qint64 cachedFrames = 0;
        bool contiguous = true;
        for (int i = 0; i < cache.size(); ++i) {
            const qint64 frames = cache.at(i).records.size() / MonitorRecord::Size;
            if (i > 0 && cache.at(i).firstNumber != cache.at(i - 1).firstNumber + frames)
                contiguous = false;
            cachedFrames += frames;
        }
        std::printf("cache: %d entries holding %lld frames, numbers %lld..%lld %s\n",
                    cache.size(), static_cast<long long>(cachedFrames),
                    static_cast<long long>(cache.isEmpty() ? 0 : cache.first().firstNumber),
                    static_cast<long long>(p.page.log().runningNumber()),
                    contiguous && !cache.isEmpty()
                            && cache.first().firstNumber + cachedFrames - 1
                                == p.page.log().runningNumber()
                        ? "without a gap"
                        : "WITH GAPS");
        std::printf("resident memory with the cache full: %.1f MiB\n", residentMiB());

        // Save the full cache while monitoring goes on at the physical maximum.
        device->setStreamRate(PhysicalMaximum / RecordsPerTransfer, RecordsPerTransfer);
        runFor(500);
        LagProbe lag;
        bool saved = false;
        QObject::connect(&p.page, &DataMonitorWidget::endSave, [&saved] { saved = true; });
        QElapsedTimer t;
        const int entries = p.page.log().cache().size();
        lag.start();
        t.start();
        QMetaObject::invokeMethod(&p.page, "onPushButtonSaveWatchData");
        waitUntil([&] { return saved; }, 30000);
        const double saveMs = t.nsecsElapsed() / 1e6;
        runFor(200); // the first appends after the copy
        lag.stop();
        device->setStreamRate(0);
        std::printf("save of %d entries (%.1f MiB) while monitoring: %.0f ms, longest GUI "
                    "stall %.1f ms%s\n",
                    entries, QFileInfo(dialogs.path).size() / (1024.0 * 1024.0), saveMs, lag.max(),
                    saved ? "" : " (did not finish)");
        p.page.setCacheCount(4096);
        batchedBest = highestRate(p, *device, stepSeconds, true);
        waitUntil([&] { return p.drained(); }, 10000);
        // The same page again at the maximum, then with the trace window open on a large
        // database and four signals plotted.
        double gui0 = TraceLoad::threadCpuSeconds();
        const Result plain = run(p, *device, PhysicalMaximum, seconds);
        const double plainGui = TraceLoad::threadCpuSeconds() - gui0;
        print("plain", PhysicalMaximum, plain);
        {
            TraceLoad trace(p.page);
            std::printf("trace window: %s%s\n", qPrintable(trace.description()),
                        trace.ready() ? "" : " (NOT READY)");
            gui0 = TraceLoad::threadCpuSeconds();
            const Result traced = run(p, *device, PhysicalMaximum, seconds);
            const double tracedGui = TraceLoad::threadCpuSeconds() - gui0;
            print("trace", PhysicalMaximum, traced);
            std::printf("trace window after the run: %s; GUI thread CPU %.2f s plain, %.2f s with "
                        "the trace (%+.2f s, %+.0f%%); process CPU %+.2f s/s\n",
                        qPrintable(trace.state()), plainGui, tracedGui, tracedGui - plainGui,
                        100.0 * (tracedGui - plainGui) / std::max(1e-9, plainGui),
                        traced.cpuPerSecond - plain.cpuPerSecond);
        }
        waitUntil([&] { return p.drained(); }, 10000);
        p.page.closeWatch();
    }
    {
        Literal p(&link);
        literal = run(p, *device, PhysicalMaximum, seconds);
        print(p.name(), PhysicalMaximum, literal);
        literalBest = literal.holds() ? highestRate(p, *device, stepSeconds, true)
                                      : highestRate(p, *device, stepSeconds, false);
    }
    std::printf("highest rate holding zero loss and p99 lag < 50 ms: batched %.0f frames/s "
                "(%.1f x the physical maximum), literal %.0f frames/s\n",
                batchedBest, batchedBest / PhysicalMaximum, literalBest);
    std::printf("ratio literal/batched at the physical maximum: CPU %.1f, p99 lag %.1f; "
                "highest rate batched/literal %.1f\n",
                literal.cpuPerSecond / std::max(1e-9, batched.cpuPerSecond),
                literal.p99 / std::max(1e-3, batched.p99),
                literalBest > 0 ? batchedBest / literalBest : 0.0);
    link.close();
    Dialogs::setInstance(nullptr);
    SimRegistry::instance().clear();
    return 0;
}
