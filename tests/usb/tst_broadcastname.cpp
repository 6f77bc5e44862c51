#include "device/BroadcastName.h"

#include <QtTest>

class TestBroadcastName : public QObject {
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
    void neverReadsPastTheName_data();
    void neverReadsPastTheName();
};

void TestBroadcastName::matches_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");

    const QString usbClass = QStringLiteral("#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    QTest::newRow("adapter interface path")
        << QStringLiteral("\\\\?\\USB#VID_0471&PID_1200#HL261206001") + usbClass << true;
    QTest::newRow("composite child path")
        << QStringLiteral("\\\\?\\USB#VID_0471&PID_1200&MI_00#7&2a3b&0&0000") + usbClass << true;
    QTest::newRow("fields end exactly at the end")
        << QStringLiteral("USB#VID_0471&PID_1200") << true;
    QTest::newRow("USB after the ids") << QStringLiteral("VID_0471&PID_1200#USB") << true;
    QTest::newRow("any separator after the key")
        << QStringLiteral("USB VID:0471 PID:1200") << true;
    QTest::newRow("PID before VID") << QStringLiteral("USB#PID_1200&VID_0471") << true;

    QTest::newRow("other vendor")
        << QStringLiteral("\\\\?\\USB#VID_0472&PID_1200#1") + usbClass << false;
    QTest::newRow("other product")
        << QStringLiteral("\\\\?\\USB#VID_0471&PID_1201#1") + usbClass << false;
    QTest::newRow("vendor and product swapped")
        << QStringLiteral("USB#VID_1200&PID_0471") << false;
    QTest::newRow("only the first VID counts")
        << QStringLiteral("USB#VID_046D&PID_1200#VID_0471") << false;
    QTest::newRow("only the first PID counts")
        << QStringLiteral("USB#VID_0471&PID_C52B#PID_1200") << false;
    QTest::newRow("no USB (HID interface)")
        << QStringLiteral("\\\\?\\HID#VID_0471&PID_1200#1") << false;
    QTest::newRow("usb in lower case") << QStringLiteral("usb#VID_0471&PID_1200") << false;
    QTest::newRow("keys in lower case") << QStringLiteral("USB#vid_0471&pid_1200") << false;
    QTest::newRow("volume name")
        << QStringLiteral("\\\\?\\STORAGE#Volume#{6b4a9c1e-0000-0000-0000-100000000000}")
        << false;
    QTest::newRow("no VID") << QStringLiteral("USB#PID_1200") << false;
    QTest::newRow("no PID") << QStringLiteral("USB#VID_0471") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("only USB") << QStringLiteral("USB") << false;
    QTest::newRow("VID at the very end") << QStringLiteral("USB#PID_1200#VID") << false;
    QTest::newRow("vendor digits cut") << QStringLiteral("USB#PID_1200&VID_047") << false;
    QTest::newRow("product digits cut") << QStringLiteral("USB#VID_0471&PID_120") << false;
    QTest::newRow("product digits missing") << QStringLiteral("USB#VID_0471&PID_") << false;
}

void TestBroadcastName::matches()
{
    QFETCH(QString, name);
    QFETCH(bool, expected);
    QCOMPARE(isAdapterBroadcastName(name), expected);
}

// The name is a view of a larger buffer whose hidden tail would complete a match: a
// test that reads past the name's length would accept it.
void TestBroadcastName::neverReadsPastTheName_data()
{
    QTest::addColumn<QString>("buffer");
    QTest::addColumn<int>("visible");

    const QString full = QStringLiteral("USB#VID_0471&PID_1200");
    QTest::newRow("product cut by one") << full << int(full.size() - 1);
    QTest::newRow("product cut to nothing") << full << int(full.size() - 4);
    QTest::newRow("cut inside PID") << full << int(full.indexOf(QLatin1String("PID")) + 2);
    const QString vendorLast = QStringLiteral("USB#PID_1200&VID_0471");
    QTest::newRow("vendor cut by one") << vendorLast << int(vendorLast.size() - 1);
    QTest::newRow("cut right after VID") << vendorLast << int(vendorLast.size() - 5);
}

void TestBroadcastName::neverReadsPastTheName()
{
    QFETCH(QString, buffer);
    QFETCH(int, visible);
    QVERIFY(isAdapterBroadcastName(buffer)); // the whole buffer would match
    const QString name = QString::fromRawData(buffer.constData(), visible);
    QVERIFY(!isAdapterBroadcastName(name));
}

QTEST_APPLESS_MAIN(TestBroadcastName)
#include "tst_broadcastname.moc"
