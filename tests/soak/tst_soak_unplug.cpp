// Unplug soak through the real main window. Monitoring runs at the bus maximum; then the
// adapter is removed, plugged in again, connected and monitoring switched on again, round
// after round. Every frame the adapter reported before a removal must end up numbered in
// the monitor view; after each removal the process's threads and open descriptors must
// be back to their starting values, and its resident memory may grow by less than 5 MiB.
// Prints its figures ("soak: ..."). Built twice: against the simulated adapter in this
// process (1000 rounds), and (BRANTEL_SOAK_LIBUSB) through libusb against the same
// firmware on umockdev's emulated bus (100 rounds).

#ifdef BRANTEL_SOAK_LIBUSB
#include "support/UmockdevMain.h"
#else
#include "device/SimulatedAdapter.h"
#endif

#include "app/MainWidget.h"
#include "device/DeviceBackends.h"
#include "device/SimFirmware.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <functional>

namespace {

#ifdef BRANTEL_SOAK_LIBUSB
constexpr int Rounds = 100;
const char *const Kind = "libusb on umockdev";
#else
constexpr int Rounds = 1000;
const char *const Kind = "simulated adapter";
#endif
// Two channels at 1 Mbit/s, 47-bit frames: 42,553 frames/s, three per transfer.
constexpr double BusMaximumTransfers = 42553.0 / 3;
// Frames streamed in each round before the removal (about 24 ms at the maximum).
constexpr quint64 FramesPerRound = 1000;
constexpr qint64 RssGrowthLimitKiB = 5 * 1024;
// The monitor caches the last 4096 transfers (at most three frames each). Until it is
// full it grows by design, so resident memory is compared from then on.
constexpr quint64 CacheFullFrames = 3 * 4096;

int entries(const char *dir)
{ return int(QDir(QLatin1String(dir)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size()); }
int threadCount() { return entries("/proc/self/task"); }
int descriptorCount() { return entries("/proc/self/fd"); }

qint64 residentKiB() // 0 when unknown
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    return QRegularExpression(QStringLiteral("VmRSS:\\s*(\\d+)")).match(QString::fromLatin1(status.readAll())).captured(1).toLongLong();
}

// Lets the event loop run until `done` holds; false when it did not within the bound.
bool settle(const std::function<bool()> &done) { return QTest::qWaitFor(done, 20000); }

// The adapter on its bus: plugged and unplugged with the same firmware, which counts
// every frame it ever reported.
struct Adapter {
#ifdef BRANTEL_SOAK_LIBUSB
    void plug()
    {
        firmware->setPlugged(true);
        if ((m_path = m_bus.plug(firmware)).empty())
            qFatal("plug: %s", m_bus.error().c_str());
    }
    void unplug() { m_bus.unplug(m_path); }
    std::shared_ptr<SimFirmware> firmware = std::make_shared<SimFirmware>();
    EmulatedUsbBus m_bus;
    std::string m_path;
#else
    void plug() { (firmware ? firmware : firmware = SimRegistry::instance().add())->setPlugged(true); }
    void unplug() { firmware->setPlugged(false); }
    ~Adapter() { SimRegistry::instance().clear(); }
    std::shared_ptr<SimFirmware> firmware;
#endif
};

} // namespace

class TestSoakUnplug : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initBrantelResources();
        DeviceBackends::registerBuiltins();
#ifdef BRANTEL_SOAK_LIBUSB
        QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
#else
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
#endif
    }
    void unplugWhileMonitoring();
};

void TestSoakUnplug::unplugWhileMonitoring()
{
    RecordingDialogs dialogs;
    Adapter adapter;
    MainWidget window;
    auto *name = child<QLineEdit>(&window, "m_pLineEditDevName");
    auto *connect = child<QPushButton>(&window, "m_pPushButtonConnect");
    auto *watch = child<SwitchButton>(&window, "m_pWidgetDataWatch");
    auto *view = child<QTextEdit>(&window, "m_pTextEditRecords");
    // The running number of the newest line: frames numbered since the view was cleared.
    const auto numbered = [view]
    { return view->document()->lastBlock().text().section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty).toULongLong(); };

    QElapsedTimer clock;
    clock.start();
    // Starting values: the window is up, no adapter yet.
    const int threads0 = threadCount(), fds0 = descriptorCount();
    const qint64 rssStart = residentKiB();
    qint64 rss0 = 0, monitoringNs = 0;
    quint64 streamed = 0;
    for (int round = 0; round < Rounds; ++round) {
        adapter.plug();
        QVERIFY2(settle([&] { return !name->text().isEmpty(); }), "no device name after plug-in");
        connect->click();
        QVERIFY2(window.isConnected(), "no connection");
        adapter.firmware->setStreamRate(BusMaximumTransfers, 3);
        // A removal may leave the switch on: off first, as a user would.
        for (int clicks = watch->isChecked() ? 2 : 1; clicks > 0; --clicks)
            QTest::mouseClick(watch, Qt::LeftButton);
        QVERIFY(watch->isChecked());
        QElapsedTimer monitoring;
        monitoring.start();
        QVERIFY2(settle([&] { return adapter.firmware->streamedRecords() >= streamed + FramesPerRound; }),
                 "the adapter does not stream");

        adapter.firmware->clearRequests(); // the model's log of requests, not the program's memory
        adapter.unplug();
        monitoringNs += monitoring.nsecsElapsed();
        QVERIFY2(settle([&] { return !window.isConnected(); }), "removal not noticed");
        streamed = adapter.firmware->streamedRecords();
        settle([&] { return numbered() >= streamed; });
        QVERIFY2(numbered() == streamed, qPrintable(QStringLiteral("round %1: %2 frames reported, %3 numbered").arg(round).arg(streamed).arg(numbered())));
        // The receive thread ends and the device's descriptors close shortly after the
        // removal, not at once.
        settle([&] { return threadCount() <= threads0 && descriptorCount() <= fds0; });
        QVERIFY2(threadCount() == threads0 && descriptorCount() == fds0, qPrintable(QStringLiteral("round %1: %2 threads, %3 descriptors; %4, %5 at the start")
                                .arg(round).arg(threadCount()).arg(descriptorCount()).arg(threads0).arg(fds0)));
        if (rss0 == 0 && streamed >= CacheFullFrames)
            rss0 = residentKiB();
    }
    const qint64 rss = residentKiB();
    qInfo("soak: %s: %d removals while monitoring, %llu frames reported and numbered, none "
          "lost, in %.0f s; adapter set to %.0f frames/s, %.0f frames/s reached while monitoring",
          Kind, Rounds, static_cast<unsigned long long>(streamed), clock.elapsed() / 1000.0,
          BusMaximumTransfers * 3, streamed / (monitoringNs / 1e9));
    qInfo("soak: %s: threads %d and open descriptors %d after every removal, as at the start", Kind, threads0, fds0);
    qInfo("soak: %s: resident memory %.1f MiB at the start, %.1f MiB once the monitor cache was "
          "full, %.1f MiB at the end (%+.2f MiB)",
          Kind, rssStart / 1024.0, rss0 / 1024.0, rss / 1024.0, (rss - rss0) / 1024.0);
    QVERIFY2(rss0 > 0, "the monitor cache never filled");
    QVERIFY2(rss - rss0 < RssGrowthLimitKiB, "resident memory grew by 5 MiB or more");
    QVERIFY(dialogs.boxes.isEmpty());
}

#ifdef BRANTEL_SOAK_LIBUSB
BRANTEL_UMOCKDEV_MAIN(TestSoakUnplug)
#else
QTEST_MAIN(TestSoakUnplug)
#endif
#include "tst_soak_unplug.moc"
