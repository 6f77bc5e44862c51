// The main window on the real platform backend: adapters plugged into the emulated bus
// reach MainWidget::deviceChanged through libusb hot-plug and the name is read over
// libusb; pulling the adapter while the window's link is open with a bulk read pending
// (as while monitoring) ends the read, closes the link and clears the name.

#include "EmulatedUsbBus.h"
#include "BulkReader.h"

#include "app/MainWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestLibusbMainWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void arrivalAndRemoval();
};

void TestLibusbMainWidget::initTestCase()
{
    QVERIFY2(EmulatedUsbBus::inMockEnvironment(), "must run under umockdev-wrapper");
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QCOMPARE(DeviceBackends::platformDefaultName(), QStringLiteral("libusb"));
    QVERIFY(DeviceBackends::select(QStringLiteral("libusb")));
}

void TestLibusbMainWidget::arrivalAndRemoval()
{
    RecordingDialogs dialogs;
    EmulatedUsbBus bus;
    MainWidget window;
    auto *name = window.findChild<QLineEdit *>(QStringLiteral("m_pLineEditDevName"));
    QVERIFY(name);
    QVERIFY(name->text().isEmpty()); // nothing on the bus at start-up
    QSignalSpy changes(&window, &MainWidget::deviceChanged);

    SimFirmware::State state;
    state.serialNumber = "HL261206042";
    const std::string path = bus.plug(std::make_shared<SimFirmware>(state));
    QVERIFY2(!path.empty(), bus.error().c_str());
    QTRY_COMPARE_WITH_TIMEOUT(name->text(), QStringLiteral("HLW-C2+_HL261206042"), 3000);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), 0);

    // The window's own link, opened as a connection opens it.
    QVERIFY(window.link()->open());

    // A receive thread waiting on the bulk pipe when the adapter goes away.
    BulkReader reader(*window.link());
    QTest::qWait(100);
    bus.unplug(path);
    QTRY_COMPARE_WITH_TIMEOUT(changes.count(), 2, 3000);
    QCOMPARE(changes.at(1).at(0).toInt(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(reader.result(), 0, 2000);
    reader.join();
    QVERIFY(name->text().isEmpty());
    QCOMPARE(window.link()->isOpen(), 0);
    QVERIFY(dialogs.boxes.isEmpty());
}

int main(int argc, char **argv)
{
    EmulatedUsbBus::reexecUnderWrapper(argc, argv);
    if (!EmulatedUsbBus::inMockEnvironment())
        return 1;
    QApplication app(argc, argv);
    TestLibusbMainWidget test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_libusb_mainwidget.moc"
