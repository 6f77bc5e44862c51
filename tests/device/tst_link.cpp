// The link over the simulated adapter: a safe close while another thread waits in a
// command or bulk read, and bulk reads stopped and resumed. Why an exchange fails is
// tst_protocol's.

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "device/SimulatedAdapter.h"

#include <QtTest>

#include <atomic>
#include <thread>

using namespace Protocol;
using Id = CommandId;

class TestLink : public QObject {
    Q_OBJECT
    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<CWrapWinUSB> m_link;
    uint8_t m_buffer[64];
    uint32_t m_n = 0;
    bool readBulk() { return m_link->readBulk(m_buffer, 64, &m_n); }

private slots:
    void init()
    {
        SimRegistry::instance().clear();
        m_device = SimRegistry::instance().add();
        m_link = std::make_unique<CWrapWinUSB>(std::make_unique<SimBackend>());
    }
    void cleanup()
    {
        m_link.reset();
        SimRegistry::instance().clear();
    }

    void openAndRefuse()
    {
        m_n = 99;
        QVERIFY(!m_link->open(InterfaceGuid{}));
        QVERIFY(!m_link->readPipe(m_buffer, 8, &m_n)); // never opened
        QCOMPARE(m_n, 0u);
        QVERIFY(!m_link->writePipe(m_buffer, 4, &m_n));
        QVERIFY(m_link->open());
        m_link->close();
        m_link->close();
        QCOMPARE(m_link->isOpen(), 0);
        QVERIFY(!readBulk()); // fails at once, never waits
        SimRegistry::instance().clear();
        QVERIFY(!m_link->open());
        QVERIFY(!CWrapWinUSB(nullptr).open()); // no backend of the selected kind
    }

    // A pending bulk read is cancelled by close(); a command read is not, so close() waits
    // until its reader has left the backend before the device is released under it.
    void closeEndsPendingReads()
    {
        QVERIFY(m_link->open());
        std::atomic<int> bulk{-1};
        std::thread bulkReader([&] { bulk = readBulk() ? 1 : 0; });
        QTest::qWait(50);
        const int pending = bulk.load(); // nothing is streaming: it waits
        m_link->close();
        const bool ended = QTest::qWaitFor([&] { return bulk.load() == 0; }, 5000);
        bulkReader.join(); // before any check can return
        QCOMPARE(pending, -1);
        QVERIFY(ended);

        QVERIFY(m_link->open());
        std::atomic<bool> inside{false}, left{false};
        // Nothing was asked: the read waits for its time-out.
        std::thread commandReader([&] {
            inside = true;
            m_link->readPipe(m_buffer, 8, &m_n);
            left = true;
        });
        QTRY_VERIFY(inside);
        QTest::qWait(500); // well inside its 1000 ms, even on a busy machine
        const bool waiting = !left;
        m_link->close();
        const bool leftBeforeClose = left;
        commandReader.join(); // before any check can return
        QVERIFY(waiting);
        QVERIFY(leftBeforeClose);
    }

    void stopBulkEndsReadWithoutClosing()
    {
        QVERIFY(m_link->open());
        m_device->setStreamRate(2000);
        QVERIFY(exchange(*m_link, Id::SetMonitoring, setMonitoring(true)).passed);
        std::atomic<int> transfers{0};
        std::thread reader([&] { while (readBulk()) ++transfers; });
        const bool streamed = QTest::qWaitFor([&] { return transfers > 10; }, 5000);
        m_link->stopBulk(); // returns once the reader is out of the backend
        reader.join(); // before any check can return
        QVERIFY(streamed);
        QCOMPARE(m_link->isOpen(), 1);
        // Commands still pass; bulk reads fail at once until resumed.
        QVERIFY(exchange(*m_link, Id::SetMonitoring, setMonitoring(false)).passed);
        QVERIFY(!readBulk());
        m_device->queueBulk({1, 2, 3});
        m_link->resumeBulk();
        QVERIFY(readBulk());
        QCOMPARE(m_n, 3u);
        // A stop with no reader inside holds for the next read; a new open lifts it.
        m_device->queueBulk({4});
        m_link->stopBulk();
        QVERIFY(!readBulk());
        QVERIFY(m_link->open());
        QVERIFY(readBulk());
        QCOMPARE(int(m_buffer[0]), 4);
    }

    // A receive loop keeps reading while the GUI side closes and reopens the link, as a
    // removal and a new connection do; it must never touch a closed device.
    void repeatedOpenCloseWithBusyReader()
    {
        m_device->setStreamRate(5000);
        QVERIFY(m_link->open());
        QVERIFY(exchange(*m_link, Id::SetMonitoring, setMonitoring(true)).passed);
        std::atomic<bool> stop{false};
        std::atomic<int> transfers{0};
        std::thread reader([&] {
            while (!stop)
                readBulk() ? void(++transfers) : std::this_thread::yield();
        });
        bool reopened = true;
        for (int i = 0; i < 50; ++i) {
            reopened = m_link->open() && reopened; // closes first
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        // The reader still gets transfers after the churn (a busy machine may starve it during).
        const bool delivered = QTest::qWaitFor([&] { return transfers > 0; }, 5000);
        stop = true;
        m_link->close();
        reader.join(); // before any check can return
        QVERIFY(reopened && delivered);
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
