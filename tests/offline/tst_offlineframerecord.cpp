// The offline frame record both ways, and the stored row text: every check with its
// message, the exact record bytes, and what a record read back shows.

#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineRowText.h"

#include <QJsonValue>
#include <QtTest>

namespace {
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
// A row in its stored form (channel, interval, remote, extended, id, data) written as
// record `index` of `count`: the message (empty: the row passes) and the record.
struct Encode { const char *stored; int index, count; const char *message, *record; };
// A record read back (empty: `element` is read as stored text), as the stored text shows it.
struct Decode { const char *record; QJsonValue element; const char *stored; };
} // namespace
Q_DECLARE_METATYPE(Encode)
Q_DECLARE_METATYPE(Decode)

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
    QTest::addColumn<Encode>("e");
    const char *stdId = "标准帧ID取值超出范围,范围为0到0x7FF";
    const char *length = "时间间隔超出范围,时间间隔数值最大个数为8位";
    const char *bytes = "帧数据超出范围,最多为8个字节";
    QTest::newRow("default row, first of three") << Encode{"", 0, 3, "", "12A51201 03 000064 08 00000000 0000000000000000"};
    QTest::newRow("standard 7ff") << Encode{"0, 100, 0, 0, 0x7FF, ", 0, 1, "", "12A51201 01 000064 00 000007FF"};
    QTest::newRow("standard 800") << Encode{"0, 100, 0, 0, 00 00 08 00, ", 0, 1, stdId, ""};
    QTest::newRow("extended 1fffffff") << Encode{"0, 1, 0, 1, 1f ff ff ff, ", 0, 1, "", "12A51201 01 000001 80 1FFFFFFF"};
    QTest::newRow("extended 20000000")
        << Encode{"0, 1, 0, 1, 20 00 00 00, ", 0, 1, "扩展帧ID取值超出范围,范围为0到0x1FFFFFFF", ""};
    QTest::newRow("interval 16777215") << Encode{"0, 16777215, 0, 0, 0, ", 0, 1, "", "12A51201 01 FFFFFF 00 00000000"};
    QTest::newRow("interval 16777216")
        << Encode{"0, 16777216, 0, 0, 0, ", 0, 1, "时间间隔超出范围,取值范围为0到16777215", ""};
    QTest::newRow("interval of 9 characters") << Encode{"0, 000000100, 0, 0, 0, ", 0, 1, length, ""};
    QTest::newRow("odd digits pair from the right")
        << Encode{"0, 100, 0, 0, 0, 1 2 3", 0, 1, "", "12A51201 01 000064 02 00000000 0123"};
    QTest::newRow("remote keeps its bytes, code 0") << Encode{"0, 100, 1, 0, 0, 00 00 00 00 00 00 00 00", 0, 1, "",
        "12A51201 01 000064 40 00000000 0000000000000000"};
    QTest::newRow("extended data frame on channel 1") << Encode{"1, 100, 0, 1, 1234, 01 02 03 04 05 06 07 08", 2, 3,
        "", "12A51203 03 000064 98 00001234 0102030405060708"};
    QTest::newRow("number and count keep 8 bits")
        << Encode{"0, 100, 0, 0, 0, ", 299, 300, "", "12A5122C 2C 000064 00 00000000"};
    QTest::newRow("nine data bytes") << Encode{"0, 100, 0, 0, 0, 01 02 03 04 05 06 07 08 09", 0, 1, bytes, ""};
}

void TestOfflineFrameRecord::encode()
{
    QFETCH(Encode, e);
    const OfflineEncodeResult result =
        encodeOfflineRow(offlineRowFromStored(QString::fromUtf8(e.stored)), e.index, e.count);
    QCOMPARE(offlineRowMessage(result.error), QString::fromUtf8(e.message));
    QCOMPARE(result.record.toHex(' '), hex(e.record).toHex(' '));
}

void TestOfflineFrameRecord::decode_data()
{
    QTest::addColumn<Decode>("d");
    QTest::newRow("channel bit, three bytes") << Decode{"12A51202 02 FFFFFF 13 1A2B3C4D aabbcc0000000000", {},
        "1, 16777215, 0, 0, 1a 2b 3c 4d, aa bb cc "};
    QTest::newRow("remote with code 0")
        << Decode{"12A51201 01 000001 40 00000123 1122334455667788", {}, "0, 1, 1, 0, 00 00 01 23, "};
    QTest::newRow("code 15 shows 8 bytes of 9") << Decode{"12A51201 01 00000A 0F 00000001 010203040506070809", {},
        "0, 10, 0, 0, 00 00 00 01, 01 02 03 04 05 06 07 08 "};
    QTest::newRow("empty pieces dropped, blanks trimmed")
        << Decode{"", QStringLiteral(",1,,  7 ,0,1,  7ff  ,aa ,extra"), "1, 7, 0, 1, 7ff, aa"};
    QTest::newRow("not a string") << Decode{"", 42, "0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00"};
}

void TestOfflineFrameRecord::decode()
{
    QFETCH(Decode, d);
    const QByteArray record = hex(d.record);
    QCOMPARE(offlineRowToStored(record.isEmpty() ? offlineRowFromStored(d.element) : decodeOfflineRecord(record)),
             QString::fromUtf8(d.stored));
}

QTEST_APPLESS_MAIN(TestOfflineFrameRecord)
#include "tst_offlineframerecord.moc"
