// The offline frame record both ways, and the list editor: the capacity on Add, Delete by
// selected text cells, records read back, the settings array round trip, and the first
// failing row stopping the records.

#include "offline/OfflineFrameRecord.h"
#include "offline/OfflineListWidget.h"
#include "offline/OfflineRowText.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"

#include <QAction>
#include <QJsonValue>
#include <QTableWidget>
#include <QtTest>

namespace {
QByteArray hex(const char *t) { return QByteArray::fromHex(QByteArray(t).replace(' ', "")); }
// A row in its stored form (channel, interval, remote, extended, id, data) written as
// record `index` of `count`: the message (empty: the row passes) and the record.
struct Encode { const char *stored; int index, count; const char *message, *record; };
// A record read back (empty: `element` is read as stored text), as the stored text shows it.
struct Decode { const char *record; QJsonValue element; const char *stored; };

using Cell = QPair<int, int>;
QString u(const char *text) { return QString::fromUtf8(text); }

// Rows told apart by their interval text: row i holds "i".
QJsonArray numberedRows(int n)
{
    QJsonArray rows;
    for (int i = 0; i < n; ++i)
        rows.append(QStringLiteral("0, %1, 0, 0, 0, 11").arg(i));
    return rows;
}
QString intervals(const OfflineListWidget &list)
{
    QStringList out;
    for (int r = 0; r < list.rowCount(); ++r)
        out << list.row(r).interval;
    return out.join(' ');
}
void select(OfflineListWidget &list, const QList<Cell> &cells)
{
    auto *table = child<QTableWidget>(&list, "m_pTableWidgetOfflineData");
    for (const Cell &c : cells)
        table->selectionModel()->select(table->model()->index(c.first, c.second),
                                        QItemSelectionModel::Select);
    child<QAction>(&list, "m_pActionDelete")->trigger();
}
} // namespace
Q_DECLARE_METATYPE(Encode)
Q_DECLARE_METATYPE(Decode)

class TestOffline : public QObject {
    Q_OBJECT
private slots:
    void encode_data();
    void encode();
    void decode_data();
    void decode();
    void addKeepsToTheCapacity_data();
    void addKeepsToTheCapacity();
    void editRecordsAndSettings();
};

void TestOffline::encode_data()
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

void TestOffline::encode()
{
    QFETCH(Encode, e);
    const OfflineEncodeResult result =
        encodeOfflineRow(offlineRowFromStored(QString::fromUtf8(e.stored)), e.index, e.count);
    QCOMPARE(offlineRowMessage(result.error), QString::fromUtf8(e.message));
    QCOMPARE(result.record.toHex(' '), hex(e.record).toHex(' '));
}

void TestOffline::decode_data()
{
    QTest::addColumn<Decode>("d");
    QTest::newRow("channel bit, three bytes")
        << Decode{"12A51202 02 FFFFFF 13 1A2B3C4D aabbcc0000000000", {},
                  "1, 16777215, 0, 0, 1a 2b 3c 4d, aa bb cc "};
    // A remote record read back shows no data: editRecordsAndSettings' read-back records.
    QTest::newRow("code 15 shows 8 bytes of 9")
        << Decode{"12A51201 01 00000A 0F 00000001 010203040506070809", {},
                  "0, 10, 0, 0, 00 00 00 01, 01 02 03 04 05 06 07 08 "};
    QTest::newRow("empty pieces dropped, blanks trimmed")
        << Decode{"", QStringLiteral(",1,,  7 ,0,1,  7ff  ,aa ,extra"), "1, 7, 0, 1, 7ff, aa"};
    QTest::newRow("not a string")
        << Decode{"", 42, "0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00"};
}

void TestOffline::decode()
{
    QFETCH(Decode, d);
    const QByteArray record = hex(d.record);
    const OfflineFrameRow row =
        record.isEmpty() ? offlineRowFromStored(d.element) : decodeOfflineRecord(record);
    QCOMPARE(offlineRowToStored(row), QString::fromUtf8(d.stored));
}

// Rows loaded from a settings array, capacity 3: whether a write may go ahead, and the
// messages of Add and of the capacity check.
void TestOffline::addKeepsToTheCapacity_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("room for one more") << 2 << true << QStringList();
    QTest::newRow("full at 3") << 3 << true << QStringList{u("最多支持3条数据")};
    QTest::newRow("5 loaded") << 5 << false << QStringList{u("最多支持3条数据"), u("最多支持3条数据")};
}

void TestOffline::addKeepsToTheCapacity()
{
    QFETCH(int, rows);
    QFETCH(bool, fits);
    QFETCH(QStringList, texts);
    RecordingDialogs dialogs;
    OfflineListWidget list;
    list.initList(2, 3, 0);
    list.fromJson(numberedRows(rows));
    child<QAction>(&list, "m_pActionAdd")->trigger();
    QCOMPARE(list.rowCount(), texts.isEmpty() ? rows + 1 : rows);
    QCOMPARE(list.withinCapacity(), fits);
    QCOMPARE(dialogs.texts(), texts);
}

// One list through Delete, records read back, the settings round trip and a failing write.
void TestOffline::editRecordsAndSettings()
{
    RecordingDialogs dialogs;
    OfflineListWidget list;
    list.initList(2, 10, 0);
    list.fromJson(numberedRows(5));
    select(list, {{3, 5}, {1, 1}, {1, 4}, {2, 0}, {2, 2}}); // row 2: combo cells only
    QCOMPARE(intervals(list), QStringLiteral("0 2 4"));

    // Records read back replace the rows; saved and loaded again they give the same records.
    const QVector<QByteArray> read{hex("12A51201 02 000064 88 000007ff 0102030405060708"),
                                   hex("12A51202 02 000100 50 00000123 1122334455667788")};
    list.fromRecords(read);
    QCOMPARE(list.toJson(), (QJsonArray{u("0, 100, 0, 1, 00 00 07 ff, 01 02 03 04 05 06 07 08 "),
                                        u("1, 256, 1, 0, 00 00 01 23, ")}));
    list.fromJson(list.toJson());
    QVector<QByteArray> records;
    QVERIFY(list.toRecords(records));
    QCOMPARE(records, (QVector<QByteArray>{read[0], hex("12A51202 02 000100 50 00000123")}));

    // The second row yields nine data bytes; the third fails too, with another message.
    list.fromJson({u("0, 100, 0, 0, 1, 11"), u("1, 100, 0, 0, 0, 01 02 03 04 05 06 07 08 09"),
                   u("0, 123456789, 0, 0, 1, 11")});
    QVERIFY(!list.toRecords(records));
    QVERIFY(records.isEmpty());
    QCOMPARE(dialogs.texts(), QStringList{u("帧数据超出范围,最多为8个字节")});
    select(list, {}); // Delete now removes exactly the selected failing row
    QCOMPARE(intervals(list), QStringLiteral("100 123456789"));
}

QTEST_MAIN(TestOffline)
#include "tst_offline.moc"
