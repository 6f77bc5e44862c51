// Which device-interface names are the adapter's: USB, vendor 0471 and product 1200,
// read only within the name's own length.

#include "device/BroadcastName.h"

#include <QtTest>

class TestBroadcastName : public QObject {
    Q_OBJECT
private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("buffer");
        QTest::addColumn<int>("visible"); // the name's length within the buffer; -1: all of it
        QTest::addColumn<bool>("expected");
        const auto row = [](const char *name, const char *buffer, bool expected, int visible = -1) {
            QTest::newRow(name) << QString::fromLatin1(buffer) << visible << expected;
        };
        row("adapter interface path", "\\\\?\\USB#VID_0471&PID_1200#HL261206001#{a5dcbf10}", true);
        row("USB after the ids, any separator", "VID:0471 PID:1200 USB", true);
        row("PID before VID", "USB#PID_1200&VID_0471", true);
        row("other vendor", "\\\\?\\USB#VID_0472&PID_1200#1", false);
        row("other product", "\\\\?\\USB#VID_0471&PID_1201#1", false);
        // Both keys go through one search: the first occurrence counts.
        row("only the first VID counts", "USB#VID_046D&PID_1200#VID_0471", false);
        row("no USB (HID interface)", "\\\\?\\HID#VID_0471&PID_1200#1", false);
        row("usb in lower case", "usb#VID_0471&PID_1200", false);
        row("keys in lower case", "USB#vid_0471&pid_1200", false);
        row("no VID", "USB#PID_1200", false);
        // The name is a view of a larger buffer whose hidden tail would complete a match: a
        // check that reads past the name's length would accept it.
        row("product cut by one", "USB#VID_0471&PID_1200", false, 20);
        row("cut inside PID", "USB#VID_0471&PID_1200", false, 15);
        row("cut right after VID", "USB#PID_1200&VID_0471", false, 16);
    }
    void matches()
    {
        QFETCH(QString, buffer);
        QFETCH(int, visible);
        const std::wstring wide = buffer.toStdWString();
        const std::wstring_view name(wide.data(), visible < 0 ? wide.size() : size_t(visible));
        QTEST(isAdapterBroadcastName(name), "expected");
    }
};

QTEST_APPLESS_MAIN(TestBroadcastName)
#include "tst_broadcastname.moc"
