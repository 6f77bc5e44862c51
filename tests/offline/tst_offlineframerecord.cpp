// The offline frame record both ways, and the stored row text: every check with its
// message, the exact record bytes, and what a record read back shows.

#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineRowText.h"

#include <QJsonValue>
#include <QtTest>

namespace {
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

OfflineFrameRow makeRow(int channal, const char *interval, int remote, int extended,
                        const char *id, const char *data)
{
    return {channal, QString::fromUtf8(interval), remote, extended, QString::fromUtf8(id),
            QString::fromUtf8(data)};
}
} // namespace

Q_DECLARE_METATYPE(OfflineFrameRow)

class TestOfflineFrameRecord : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void storedText_data();
    void storedText();
};

void TestOfflineFrameRecord::encode_data()
{
    QTest::addColumn<OfflineFrameRow>("row");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");   // empty: the row passes
    QTest::addColumn<QByteArray>("record");

    const QString stdId = QStringLiteral("标准帧ID取值超出范围,范围为0到0x7FF");
    const QString extId = QStringLiteral("扩展帧ID取值超出范围,范围为0到0x1FFFFFFF");
    const QString chars = QStringLiteral("时间间隔超出范围,时间间隔数值最大个数为8位");
    const QString range = QStringLiteral("时间间隔超出范围,取值范围为0到16777215");
    const QString bytes = QStringLiteral("帧数据超出范围,最多为8个字节");

    QTest::newRow("default row, one-row list") << OfflineFrameRow() << 0 << 1 << QString()
        << hex("12 A5 12 01 01 00 00 64 08 00 00 00 00  00 00 00 00 00 00 00 00");
    QTest::newRow("standard 7ff passes") << makeRow(0, "100", 0, 0, "00 00 07 ff", "") << 0 << 1
        << QString() << hex("12 A5 12 01 01 00 00 64 00 00 00 07 FF");
    QTest::newRow("standard 800 fails") << makeRow(0, "100", 0, 0, "00 00 08 00", "") << 0 << 1
        << stdId << QByteArray();
    QTest::newRow("extended 800 passes") << makeRow(0, "100", 0, 1, "00 00 08 00", "") << 0 << 1
        << QString() << hex("12 A5 12 01 01 00 00 64 80 00 00 08 00");
    QTest::newRow("extended 1fffffff passes") << makeRow(0, "1", 0, 1, "1f ff ff ff", "") << 0 << 1
        << QString() << hex("12 A5 12 01 01 00 00 01 80 1F FF FF FF");
    QTest::newRow("extended 20000000 fails") << makeRow(0, "1", 0, 1, "20 00 00 00", "") << 0 << 1
        << extId << QByteArray();
    QTest::newRow("id 7ff") << makeRow(0, "100", 0, 0, "7ff", "") << 0 << 1 << QString()
        << hex("12 A5 12 01 01 00 00 64 00 00 00 07 FF");
    QTest::newRow("id 0x7FF") << makeRow(0, "100", 0, 0, "0x7FF", "") << 0 << 1 << QString()
        << hex("12 A5 12 01 01 00 00 64 00 00 00 07 FF");
    QTest::newRow("id not hexadecimal counts as 0") << makeRow(0, "100", 0, 0, "zz 12", "")
        << 0 << 1 << QString() << hex("12 A5 12 01 01 00 00 64 00 00 00 00 00");
    QTest::newRow("interval 16777215") << makeRow(0, "16777215", 0, 0, "0", "") << 0 << 1
        << QString() << hex("12 A5 12 01 01 FF FF FF 00 00 00 00 00");
    QTest::newRow("interval 16777216") << makeRow(0, "16777216", 0, 0, "0", "") << 0 << 1
        << range << QByteArray();
    QTest::newRow("interval of 9 characters") << makeRow(0, "000000100", 0, 0, "0", "") << 0 << 1
        << chars << QByteArray();
    QTest::newRow("interval with a leading blank") << makeRow(0, " 100", 0, 0, "0", "") << 0 << 1
        << QString() << hex("12 A5 12 01 01 00 00 64 00 00 00 00 00");
    QTest::newRow("interval not a number counts as 0") << makeRow(0, "abc", 0, 0, "0", "")
        << 0 << 1 << QString() << hex("12 A5 12 01 01 00 00 00 00 00 00 00 00");
    QTest::newRow("identifier is checked before the interval")
        << makeRow(0, "000000100", 0, 0, "800", "") << 0 << 1 << stdId << QByteArray();
    QTest::newRow("two data bytes") << makeRow(0, "100", 0, 0, "0", "11 22") << 0 << 1 << QString()
        << hex("12 A5 12 01 01 00 00 64 02 00 00 00 00 11 22");
    QTest::newRow("odd digits pair from the right") << makeRow(0, "100", 0, 0, "0", "1 2 3")
        << 0 << 1 << QString() << hex("12 A5 12 01 01 00 00 64 02 00 00 00 00 01 23");
    QTest::newRow("remote frame keeps its bytes, code 0") << makeRow(0, "100", 1, 0, "0",
        "00 00 00 00 00 00 00 00") << 0 << 1 << QString()
        << hex("12 A5 12 01 01 00 00 64 40 00 00 00 00  00 00 00 00 00 00 00 00");
    QTest::newRow("extended data frame on channel 1") << makeRow(1, "100", 0, 1, "1234",
        "01 02 03 04 05 06 07 08") << 2 << 3 << QString()
        << hex("12 A5 12 03 03 00 00 64 98 00 00 12 34  01 02 03 04 05 06 07 08");
    QTest::newRow("frame number and count keep their low 8 bits")
        << makeRow(0, "100", 0, 0, "0", "") << 299 << 300 << QString()
        << hex("12 A5 12 2C 2C 00 00 64 00 00 00 00 00");
    QTest::newRow("nine data bytes refused") << makeRow(0, "100", 0, 0, "0",
        "01 02 03 04 05 06 07 08 09") << 0 << 1 << bytes << QByteArray();
    QTest::newRow("nine bytes of a remote frame refused") << makeRow(0, "100", 1, 0, "0",
        "010203040506070809") << 0 << 1 << bytes << QByteArray();
}

void TestOfflineFrameRecord::encode()
{
    QFETCH(OfflineFrameRow, row);
    QFETCH(int, index);
    QFETCH(int, count);
    QFETCH(QString, message);
    QFETCH(QByteArray, record);

    const OfflineEncodeResult result = encodeOfflineRow(row, index, count);
    QCOMPARE(offlineRowMessage(result.error), message);
    QCOMPARE(result.ok(), message.isEmpty());
    QCOMPARE(result.record.toHex(' '), record.toHex(' '));
}

void TestOfflineFrameRecord::decode_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<OfflineFrameRow>("row");

    QTest::newRow("flags 0x88, eight bytes")
        << hex("12 A5 12 01 02 00 00 64 88 00 00 07 ff  01 02 03 04 05 06 07 08")
        << makeRow(0, "100", 0, 1, "00 00 07 ff", "01 02 03 04 05 06 07 08 ");
    QTest::newRow("channel bit, three bytes, big interval")
        << hex("12 A5 12 02 02 FF FF FF 13 1A 2B 3C 4D  aa bb cc 00 00 00 00 00")
        << makeRow(1, "16777215", 0, 0, "1a 2b 3c 4d", "aa bb cc ");
    QTest::newRow("remote frame, code 0: no data whatever follows")
        << hex("12 A5 12 01 01 00 00 01 40 00 00 01 23  11 22 33 44 55 66 77 88")
        << makeRow(0, "1", 1, 0, "00 00 01 23", "");
    QTest::newRow("length code above 8 shows the eight bytes carried")
        << hex("12 A5 12 01 01 00 00 0A 0F 00 00 00 01  01 02 03 04 05 06 07 08")
        << makeRow(0, "10", 0, 0, "00 00 00 01", "01 02 03 04 05 06 07 08 ");
    QTest::newRow("short record shows only the bytes it has")
        << hex("12 A5 12 01 01 00 00 0A 08 00 00 00 01  01 02")
        << makeRow(0, "10", 0, 0, "00 00 00 01", "01 02 ");
    QTest::newRow("head bytes play no part")
        << hex("00 00 00 00 00 00 00 64 00 00 00 00 00  00 00 00 00 00 00 00 00")
        << makeRow(0, "100", 0, 0, "00 00 00 00", "");
}

void TestOfflineFrameRecord::decode()
{
    QFETCH(QByteArray, record);
    QFETCH(OfflineFrameRow, row);
    const OfflineFrameRow got = decodeOfflineRecord(record);
    QCOMPARE(offlineRowToStored(got), offlineRowToStored(row));
}

void TestOfflineFrameRecord::storedText_data()
{
    QTest::addColumn<QJsonValue>("element");
    QTest::addColumn<OfflineFrameRow>("row");

    const OfflineFrameRow defaults;
    QTest::newRow("default row") << QJsonValue(offlineRowToStored(defaults)) << defaults;
    QTest::newRow("default text as written")
        << QJsonValue(QStringLiteral("0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00"))
        << defaults;
    QTest::newRow("every field") << QJsonValue(QStringLiteral("1, 12345678, 1, 1, 1f ff ff ff, 01 02 "))
        << makeRow(1, "12345678", 1, 1, "1f ff ff ff", "01 02");
    QTest::newRow("empty last field") << QJsonValue(QStringLiteral("0, 1, 1, 0, 00 00 01 23, "))
        << makeRow(0, "1", 1, 0, "00 00 01 23", "");
    QTest::newRow("empty pieces dropped, blanks trimmed")
        << QJsonValue(QStringLiteral(",1,,  7 ,0,1,  7ff  ,aa,extra"))
        << makeRow(1, "7", 0, 1, "7ff", "aa");
    QTest::newRow("choice not a number gives 0") << QJsonValue(QStringLiteral("x, 5, 1y, 1, 1, 2"))
        << makeRow(0, "5", 0, 1, "1", "2");
    QTest::newRow("short element keeps defaults") << QJsonValue(QStringLiteral("1, 200"))
        << makeRow(1, "200", 0, 0, "00 00 00 00", "00 00 00 00 00 00 00 00");
    QTest::newRow("not a string") << QJsonValue(42) << defaults;
}

void TestOfflineFrameRecord::storedText()
{
    QFETCH(QJsonValue, element);
    QFETCH(OfflineFrameRow, row);
    const OfflineFrameRow got = offlineRowFromStored(element);
    QCOMPARE(offlineRowToStored(got), offlineRowToStored(row));
    QVERIFY(got == row);
}

QTEST_MAIN(TestOfflineFrameRecord)
#include "tst_offlineframerecord.moc"
