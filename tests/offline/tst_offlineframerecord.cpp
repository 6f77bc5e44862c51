// The offline frame record both ways, and the stored row text: every check with its
// message, the exact record bytes, and what a record read back shows.

#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineRowText.h"

#include <QJsonValue>
#include <QtTest>

namespace {
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
} // namespace

class TestOfflineFrameRecord : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
};

void TestOfflineFrameRecord::encode_data()
{
    // Rows in their stored form: channel, interval, remote, extended, id, data.
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message"); // empty: the row passes
    QTest::addColumn<QByteArray>("record");
    const auto add = [](const char *name, const char *stored, int index, int count,
                        const char *message, const char *record) {
        QTest::newRow(name) << QString::fromUtf8(stored) << index << count
                            << QString::fromUtf8(message) << hex(record);
    };
    const char *stdId = "标准帧ID取值超出范围,范围为0到0x7FF";
    const char *length = "时间间隔超出范围,时间间隔数值最大个数为8位";
    const char *bytes = "帧数据超出范围,最多为8个字节";
    add("default row, first of three", "", 0, 3, "", "12A51201 03 000064 08 00000000 0000000000000000");
    add("standard 7ff", "0, 100, 0, 0, 0x7FF, ", 0, 1, "", "12A51201 01 000064 00 000007FF");
    add("standard 800", "0, 100, 0, 0, 00 00 08 00, ", 0, 1, stdId, "");
    add("extended 1fffffff", "0, 1, 0, 1, 1f ff ff ff, ", 0, 1, "", "12A51201 01 000001 80 1FFFFFFF");
    add("extended 20000000", "0, 1, 0, 1, 20 00 00 00, ", 0, 1,
        "扩展帧ID取值超出范围,范围为0到0x1FFFFFFF", "");
    add("interval 16777215", "0, 16777215, 0, 0, 0, ", 0, 1, "", "12A51201 01 FFFFFF 00 00000000");
    add("interval 16777216", "0, 16777216, 0, 0, 0, ", 0, 1,
        "时间间隔超出范围,取值范围为0到16777215", "");
    add("interval of 9 characters", "0, 000000100, 0, 0, 0, ", 0, 1, length, "");
    add("odd digits pair from the right", "0, 100, 0, 0, 0, 1 2 3", 0, 1, "",
        "12A51201 01 000064 02 00000000 0123");
    add("remote keeps its bytes, code 0", "0, 100, 1, 0, 0, 00 00 00 00 00 00 00 00", 0, 1, "",
        "12A51201 01 000064 40 00000000 0000000000000000");
    add("extended data frame on channel 1", "1, 100, 0, 1, 1234, 01 02 03 04 05 06 07 08", 2, 3, "",
        "12A51203 03 000064 98 00001234 0102030405060708");
    add("number and count keep 8 bits", "0, 100, 0, 0, 0, ", 299, 300, "", "12A5122C 2C 000064 00 00000000");
    add("nine data bytes", "0, 100, 0, 0, 0, 01 02 03 04 05 06 07 08 09", 0, 1, bytes, "");
}

void TestOfflineFrameRecord::encode()
{
    QFETCH(QString, stored);
    QFETCH(int, index);
    QFETCH(int, count);
    QFETCH(QString, message);
    QFETCH(QByteArray, record);
    const OfflineEncodeResult result = encodeOfflineRow(offlineRowFromStored(stored), index, count);
    QCOMPARE(offlineRowMessage(result.error), message);
    QCOMPARE(result.record.toHex(' '), record.toHex(' '));
}

// A record read back, as the stored row text shows it; stored text read and written again.
void TestOfflineFrameRecord::decode_data()
{
    QTest::addColumn<QByteArray>("record"); // empty: `element` is read as stored text
    QTest::addColumn<QJsonValue>("element");
    QTest::addColumn<QString>("stored");
    const auto add = [](const char *name, const char *record, QJsonValue element, const char *stored) {
        QTest::newRow(name) << hex(record) << element << QString::fromUtf8(stored);
    };
    add("channel bit, three bytes", "12A51202 02 FFFFFF 13 1A2B3C4D aabbcc0000000000", {},
        "1, 16777215, 0, 0, 1a 2b 3c 4d, aa bb cc ");
    add("remote with code 0", "12A51201 01 000001 40 00000123 1122334455667788", {},
        "0, 1, 1, 0, 00 00 01 23, ");
    add("code 15 shows 8 bytes of 9", "12A51201 01 00000A 0F 00000001 010203040506070809", {},
        "0, 10, 0, 0, 00 00 00 01, 01 02 03 04 05 06 07 08 ");
    add("empty pieces dropped, blanks trimmed", "", QStringLiteral(",1,,  7 ,0,1,  7ff  ,aa ,extra"),
        "1, 7, 0, 1, 7ff, aa");
    add("not a string", "", 42, "0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00");
}

void TestOfflineFrameRecord::decode()
{
    QFETCH(QByteArray, record);
    QFETCH(QJsonValue, element);
    QFETCH(QString, stored);
    QCOMPARE(offlineRowToStored(record.isEmpty() ? offlineRowFromStored(element)
                                                 : decodeOfflineRecord(record)), stored);
}

QTEST_APPLESS_MAIN(TestOfflineFrameRecord)
#include "tst_offlineframerecord.moc"
