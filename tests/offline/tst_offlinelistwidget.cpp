// The offline list editor: the capacity on Add, Delete by selected text cells, records read
// back, the settings array round trip, and the first failing row stopping the records.

#include "offline/OfflineListWidget.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"

#include <QAction>
#include <QTableWidget>
#include <QtTest>

namespace {
using Cell = QPair<int, int>;
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
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

class TestOfflineListWidget : public QObject {
    Q_OBJECT
private slots:
    void addKeepsToTheCapacity_data();
    void addKeepsToTheCapacity();
    void editRecordsAndSettings();
};

// Rows loaded from a settings array, capacity 3: whether a write may go ahead, and the
// messages of Add and of the capacity check.
void TestOfflineListWidget::addKeepsToTheCapacity_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("room for one more") << 2 << true << QStringList();
    QTest::newRow("full at 3") << 3 << true << QStringList{u("最多支持3条数据")};
    QTest::newRow("5 loaded") << 5 << false << QStringList{u("最多支持3条数据"), u("最多支持3条数据")};
}

void TestOfflineListWidget::addKeepsToTheCapacity()
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
void TestOfflineListWidget::editRecordsAndSettings()
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

QTEST_MAIN(TestOfflineListWidget)
#include "tst_offlinelistwidget.moc"
