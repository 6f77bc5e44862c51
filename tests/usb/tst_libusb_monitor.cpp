// Monitoring through the libusb backend: frame reports that the emulated adapter puts on
// its bulk pipe appear in the monitor view in order and numbered; ending monitoring
// stops the pending bulk transfer without closing the link, and monitoring again
// resumes it.

#include "EmulatedUsbBus.h"

#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/MonitorReceiver.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QApplication>
#include <QTextEdit>
#include <QtTest>

class TestLibusbMonitor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void framesAppearInOrder();
};

void TestLibusbMonitor::initTestCase()
{
    QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
}

void TestLibusbMonitor::framesAppearInOrder()
{
    RecordingDialogs dialogs;
    EmulatedUsbBus bus;
    auto firmware = std::make_shared<SimFirmware>();
    QVERIFY2(!bus.plug(firmware).empty(), bus.error().c_str());
    // Transfers of one, two and three records; identifiers 1, 2, 3, ... in order.
    const auto queue = [&firmware](uint32_t firstId, int transfers) {
        uint32_t id = firstId;
        for (int t = 0; t < transfers; ++t) {
            SimFirmware::Bytes transfer;
            for (int r = 0; r <= t % 3; ++r, ++id) {
                const SimFirmware::Bytes rec =
                    SimFirmware::frameReport(id, false, false, 0, id, false, {uint8_t(id)});
                transfer.insert(transfer.end(), rec.begin(), rec.end());
            }
            firmware->queueBulk(transfer);
        }
        return int(id - firstId);
    };
    const int frames = queue(1, 30);

    CWrapWinUSB link;
    QVERIFY(link.open());
    DataMonitorWidget page(&link);
    auto *view = page.findChild<QTextEdit *>("m_pTextEditRecords");
    page.onSwichButtonDataWatch(true);
    QTRY_COMPARE_WITH_TIMEOUT(view->document()->blockCount(), frames, 10000);
    const QStringList lines = view->toPlainText().split(QLatin1Char('\n'));
    for (int i = 0; i < frames; ++i) {
        QCOMPARE(lines[i].left(9).trimmed().toInt(), i + 1);
        // The identifier column: four hexadecimal bytes, most significant first.
        QVERIFY2(lines[i].contains(QStringLiteral("00 00 00 %1").arg(i + 1, 2, 16, QLatin1Char('0'))),
                 qPrintable(lines[i]));
    }

    page.closeWatch();
    QVERIFY(!page.session().receiver().isRunning());
    QCOMPARE(link.isOpen(), 1);
    QVERIFY(view->toPlainText().isEmpty());
    // Monitoring again on the same open link: the bulk pipe works once more.
    const int more = queue(100, 3);
    page.onSwichButtonDataWatch(true);
    QTRY_COMPARE_WITH_TIMEOUT(page.session().log().runningNumber(), qint64(more), 10000);
    QCOMPARE(page.session().receiver().threadsStarted(), 2);
    page.closeWatch();

    std::vector<int> codes;
    for (const SimFirmware::Bytes &r : firmware->requests())
        codes.push_back(r.size() > 1 ? r[1] : -1);
    QCOMPARE(codes, (std::vector<int>{0xA2, 0xA3, 0xA2, 0xA3}));
    QVERIFY(dialogs.boxes.isEmpty());
}

int main(int argc, char **argv)
{
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
    QApplication app(argc, argv);
    TestLibusbMonitor test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_libusb_monitor.moc"
