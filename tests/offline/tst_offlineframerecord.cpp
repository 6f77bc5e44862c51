// The offline frame record both ways, and the stored row text: every check with its
// message, the exact record bytes, and what a record read back shows.

#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineRowText.h"

#include <QJsonValue>
#include <QtTest>

namespace {
QByteArray hex(const char *t) { return QByteArray::fromHex(QByteArray(t).replace(' ', "")); }
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
    const auto row = [](const char *name, const char *stored, int index, int count,
                        const char *message, const char *record) {
        QTest::newRow(name) << Encode{stored, index, count, message, record};
    };
    const char *stdId = "标准帧ID取值超出范围,范围为0到0x7FF";
    const char *extId = "扩展帧ID取值超出范围,范围为0到0x1FFFFFFF";
    const char *interval = "时间间隔超出范围,取值范围为0到16777215";
    const char *length = "时间间隔超出范围,时间间隔数值最大个数为8位";
    const char *bytes = "帧数据超出范围,最多为8个字节";
    row("default row, first of three", "", 0, 3, "",
        "12A51201 03 000064 08 00000000 0000000000000000");
    row("standard 7ff", "0, 100, 0, 0, 0x7FF, ", 0, 1, "", "12A51201 01 000064 00 000007FF");
    row("standard 800", "0, 100, 0, 0, 00 00 08 00, ", 0, 1, stdId, "");
    row("extended 1fffffff", "0, 1, 0, 1, 1f ff ff ff, ", 0, 1, "",
        "12A51201 01 000001 80 1FFFFFFF");
    row("extended 20000000", "0, 1, 0, 1, 20 00 00 00, ", 0, 1, extId, "");
    row("interval 16777215", "0, 16777215, 0, 0, 0, ", 0, 1, "",
        "12A51201 01 FFFFFF 00 00000000");
    row("interval 16777216", "0, 16777216, 0, 0, 0, ", 0, 1, interval, "");
    row("interval of 9 characters", "0, 000000100, 0, 0, 0, ", 0, 1, length, "");
    row("odd digits pair from the right", "0, 100, 0, 0, 0, 1 2 3", 0, 1, "",
        "12A51201 01 000064 02 00000000 0123");
    row("remote keeps its bytes, code 0", "0, 100, 1, 0, 0, 00 00 00 00 00 00 00 00", 0, 1, "",
        "12A51201 01 000064 40 00000000 0000000000000000");
    // A channel-1 extended record: tst_connection's and the end-to-end session's.
    row("number and count keep 8 bits", "0, 100, 0, 0, 0, ", 299, 300, "",
        "12A5122C 2C 000064 00 00000000");
    row("nine data bytes", "0, 100, 0, 0, 0, 01 02 03 04 05 06 07 08 09", 0, 1, bytes, "");
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
    QTest::newRow("channel bit, three bytes")
        << Decode{"12A51202 02 FFFFFF 13 1A2B3C4D aabbcc0000000000", {},
                  "1, 16777215, 0, 0, 1a 2b 3c 4d, aa bb cc "};
    // A remote record read back shows no data: tst_offlinelistwidget's read-back records.
    QTest::newRow("code 15 shows 8 bytes of 9")
        << Decode{"12A51201 01 00000A 0F 00000001 010203040506070809", {},
                  "0, 10, 0, 0, 00 00 00 01, 01 02 03 04 05 06 07 08 "};
    QTest::newRow("empty pieces dropped, blanks trimmed")
        << Decode{"", QStringLiteral(",1,,  7 ,0,1,  7ff  ,aa ,extra"), "1, 7, 0, 1, 7ff, aa"};
    QTest::newRow("not a string")
        << Decode{"", 42, "0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00"};
}

void TestOfflineFrameRecord::decode()
{
    QFETCH(Decode, d);
    const QByteArray record = hex(d.record);
    const OfflineFrameRow row =
        record.isEmpty() ? offlineRowFromStored(d.element) : decodeOfflineRecord(record);
    QCOMPARE(offlineRowToStored(row), QString::fromUtf8(d.stored));
}

QTEST_APPLESS_MAIN(TestOfflineFrameRecord)
#include "tst_offlineframerecord.moc"
