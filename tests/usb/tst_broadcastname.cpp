#include "device/BroadcastName.h"

#include <QtTest>

class TestBroadcastName : public QObject {
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
};

void TestBroadcastName::matches_data()
{
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<int>("visible");  // the name's length within the buffer; -1: all of it
    QTest::addColumn<bool>("expected");

    const QString usbClass = QStringLiteral("#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    const QString full = QStringLiteral("USB#VID_0471&PID_1200");
    const QString vendorLast = QStringLiteral("USB#PID_1200&VID_0471");
    QTest::newRow("adapter interface path")
        << QStringLiteral("\\\\?\\USB#VID_0471&PID_1200#HL261206001") + usbClass << -1 << true;
    QTest::newRow("fields end exactly at the end") << full << -1 << true;
    QTest::newRow("USB after the ids") << QStringLiteral("VID_0471&PID_1200#USB") << -1 << true;
    QTest::newRow("any separator after the key")
        << QStringLiteral("USB VID:0471 PID:1200") << -1 << true;
    QTest::newRow("PID before VID") << vendorLast << -1 << true;

    QTest::newRow("other vendor")
        << QStringLiteral("\\\\?\\USB#VID_0472&PID_1200#1") + usbClass << -1 << false;
    QTest::newRow("other product")
        << QStringLiteral("\\\\?\\USB#VID_0471&PID_1201#1") + usbClass << -1 << false;
    QTest::newRow("only the first VID counts")
        << QStringLiteral("USB#VID_046D&PID_1200#VID_0471") << -1 << false;
    QTest::newRow("only the first PID counts")
        << QStringLiteral("USB#VID_0471&PID_C52B#PID_1200") << -1 << false;
    QTest::newRow("no USB (HID interface)")
        << QStringLiteral("\\\\?\\HID#VID_0471&PID_1200#1") << -1 << false;
    QTest::newRow("usb in lower case") << QStringLiteral("usb#VID_0471&PID_1200") << -1 << false;
    QTest::newRow("keys in lower case") << QStringLiteral("USB#vid_0471&pid_1200") << -1 << false;
    QTest::newRow("no VID") << QStringLiteral("USB#PID_1200") << -1 << false;
    QTest::newRow("no PID") << QStringLiteral("USB#VID_0471") << -1 << false;
    QTest::newRow("empty") << QString() << -1 << false;
    QTest::newRow("VID at the very end") << QStringLiteral("USB#PID_1200#VID") << -1 << false;
    QTest::newRow("vendor digits cut") << QStringLiteral("USB#PID_1200&VID_047") << -1 << false;
    QTest::newRow("product digits missing") << QStringLiteral("USB#VID_0471&PID_") << -1 << false;

    // The name is a view of a larger buffer whose hidden tail would complete a match: a
    // check that reads past the name's length would accept it.
    QTest::newRow("product cut by one") << full << int(full.size() - 1) << false;
    QTest::newRow("cut inside PID") << full << int(full.indexOf(QLatin1String("PID")) + 2) << false;
    QTest::newRow("vendor cut by one") << vendorLast << int(vendorLast.size() - 1) << false;
    QTest::newRow("cut right after VID") << vendorLast << int(vendorLast.size() - 5) << false;
}

void TestBroadcastName::matches()
{
    QFETCH(QString, buffer);
    QFETCH(int, visible);
    QFETCH(bool, expected);
    const std::wstring wide = buffer.toStdWString();
    const std::wstring_view name(wide.data(), visible < 0 ? wide.size() : size_t(visible));
    QCOMPARE(isAdapterBroadcastName(name), expected);
}

QTEST_APPLESS_MAIN(TestBroadcastName)
#include "tst_broadcastname.moc"
