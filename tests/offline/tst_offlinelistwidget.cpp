// The offline list editor: the capacity on Add, Delete by selected text cells, the first
// failing row stopping the records, records read back, the settings array round trip and
// the English texts.

#include "offline/OfflineListWidget.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QAction>
#include <QComboBox>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

namespace {
using Cell = QPair<int, int>;
QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }
QString u(const char *text) { return QString::fromUtf8(text); }
const QString Defaults = QStringLiteral("0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00");

// Rows told apart by their interval text: row i holds "i".
QJsonArray numberedRows(int n)
{
    QJsonArray rows;
    for (int i = 0; i < n; ++i)
        rows.append(QStringLiteral("0, %1, 0, 0, 0, 11").arg(i));
    return rows;
}
} // namespace

class TestOfflineListWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }
    void init()
    {
        m_dialogs = std::make_unique<RecordingDialogs>();
        m_list = std::make_unique<OfflineListWidget>();
        m_table = m_list->findChild<QTableWidget *>(QStringLiteral("m_pTableWidgetOfflineData"));
    }
    void cleanup()
    {
        m_list.reset();
        m_dialogs.reset();
    }
    void addKeepsToTheCapacity_data();
    void addKeepsToTheCapacity();
    void deleteRemovesRowsOfSelectedTextCells_data();
    void deleteRemovesRowsOfSelectedTextCells();
    void firstFailingRowStopsTheRecords();
    void recordsReadBackResizeAndFill_data();
    void recordsReadBackResizeAndFill();
    void jsonLoadAndSave_data();
    void jsonLoadAndSave();
    void initListGivesFreshDefaultRows();
    void englishTextsKeepEveryChoice();

private:
    QComboBox *combo(int row, int column) const
    {
        return qobject_cast<QComboBox *>(m_table->cellWidget(row, column));
    }
    void trigger(const char *action) { m_list->findChild<QAction *>(action)->trigger(); }
    QStringList intervals() const
    {
        QStringList out;
        for (int r = 0; r < m_list->rowCount(); ++r)
            out << m_list->row(r).interval;
        return out;
    }

    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<OfflineListWidget> m_list;
    QTableWidget *m_table = nullptr;
};

void TestOfflineListWidget::addKeepsToTheCapacity_data()
{
    QTest::addColumn<int>("capacity");   // -1: no initList, as before any connection
    QTest::addColumn<int>("rows");       // loaded from a settings array
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("fits");      // whether a write may go ahead

    QTest::newRow("room for one more") << 3 << 2 << QString() << true;
    QTest::newRow("full at 3") << 3 << 3 << u("最多支持3条数据") << true;
    QTest::newRow("5 loaded, capacity 3") << 3 << 5 << u("最多支持3条数据") << false;
    QTest::newRow("before any connection") << -1 << 0 << u("最多支持0条数据") << true;
}

void TestOfflineListWidget::addKeepsToTheCapacity()
{
    QFETCH(int, capacity);
    QFETCH(int, rows);
    QFETCH(QString, message);
    QFETCH(bool, fits);

    if (capacity >= 0)
        m_list->initList(2, capacity, 0);
    m_list->fromJson(numberedRows(rows));
    trigger("m_pActionAdd");

    QCOMPARE(m_dialogs->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(m_list->rowCount(), message.isEmpty() ? rows + 1 : rows);
    if (message.isEmpty())
        QCOMPARE(m_list->toJson().last().toString(), Defaults);
    m_dialogs->boxes.clear();
    QCOMPARE(m_list->withinCapacity(), fits);
    QCOMPARE(m_dialogs->texts(), fits ? QStringList() : QStringList{message});
}

void TestOfflineListWidget::deleteRemovesRowsOfSelectedTextCells_data()
{
    QTest::addColumn<QList<Cell>>("cells");
    QTest::addColumn<QString>("left");

    QTest::newRow("text cells of row 2") << QList<Cell>{{2, 1}, {2, 4}, {2, 5}} << "0 1 3 4";
    QTest::newRow("rows 1 and 3") << QList<Cell>{{3, 5}, {1, 1}, {1, 4}} << "0 2 4";
    QTest::newRow("only combo cells") << QList<Cell>{{1, 0}, {1, 2}, {3, 3}} << "0 1 2 3 4";
    QTest::newRow("no selection") << QList<Cell>{} << "0 1 2 3 4";
}

void TestOfflineListWidget::deleteRemovesRowsOfSelectedTextCells()
{
    QFETCH(QList<Cell>, cells);
    QFETCH(QString, left);

    m_list->fromJson(numberedRows(5));
    for (const Cell &c : cells)
        m_table->selectionModel()->select(m_table->model()->index(c.first, c.second),
                                          QItemSelectionModel::Select);
    trigger("m_pActionDelete");
    QCOMPARE(intervals().join(' '), left);
}

// The second row yields nine data bytes; the third fails too, with another message, so
// looking at it would show.
void TestOfflineListWidget::firstFailingRowStopsTheRecords()
{
    m_list->initList(2, 10, 0);
    m_list->fromJson({u("0, 100, 0, 0, 1, 11"), u("1, 100, 0, 0, 0, 01 02 03 04 05 06 07 08 09"),
                      u("0, 123456789, 0, 0, 1, 11")});
    const QJsonArray before = m_list->toJson();
    QVector<QByteArray> records{QByteArray("stale")};

    QVERIFY(!m_list->toRecords(records));
    QVERIFY(records.isEmpty());
    QCOMPARE(m_dialogs->texts(), QStringList{u("帧数据超出范围,最多为8个字节")});
    QCOMPARE(m_dialogs->boxes.first().title, u("提示"));
    QCOMPARE(m_list->toJson(), before);
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().row(), 1);

    // Delete now removes exactly that row.
    trigger("m_pActionDelete");
    QCOMPARE(intervals(), (QStringList{"100", "123456789"}));
}

void TestOfflineListWidget::recordsReadBackResizeAndFill_data()
{
    QTest::addColumn<int>("rowsBefore");
    QTest::newRow("5 rows shrink to 3") << 5;
    QTest::newRow("1 row grows to 3") << 1;
}

void TestOfflineListWidget::recordsReadBackResizeAndFill()
{
    QFETCH(int, rowsBefore);
    m_list->initList(2, 10, 0);
    m_list->fromJson(numberedRows(rowsBefore));
    QComboBox *keptCombo = combo(0, 2);

    m_list->fromRecords({hex("12A51201 03 000064 88 000007ff 0102030405060708"),
                         hex("12A51202 03 000100 50 00000123 1122334455667788"),
                         hex("12A51203 03 000001 12 1a2b3c4d aabb000000000000")});
    const QJsonArray shown{u("0, 100, 0, 1, 00 00 07 ff, 01 02 03 04 05 06 07 08 "),
                           u("1, 256, 1, 0, 00 00 01 23, "), u("1, 1, 0, 0, 1a 2b 3c 4d, aa bb ")};
    QCOMPARE(m_list->toJson(), shown);
    QCOMPARE(combo(0, 2), keptCombo);

    // The remote frame read back saves and reloads with an empty data cell.
    m_list->fromJson(m_list->toJson());
    QCOMPARE(m_list->toJson().at(1).toString(), u("1, 256, 1, 0, 00 00 01 23, "));
}

void TestOfflineListWidget::jsonLoadAndSave_data()
{
    QTest::addColumn<QJsonArray>("stored");
    QTest::addColumn<QJsonArray>("saved");
    QTest::addColumn<QByteArray>("firstRecord");   // empty: no rows

    QTest::newRow("empty array") << QJsonArray() << QJsonArray() << QByteArray();
    QTest::newRow("8-digit interval, blanks at the ends")
        << QJsonArray{u("1, 12345678, 1, 1, 1f ff ff ff, 01 02 03"), u("0,  100 , 0, 1,  7ff , 11 ")}
        << QJsonArray{u("1, 12345678, 1, 1, 1f ff ff ff, 01 02 03"), u("0, 100, 0, 1, 7ff, 11")}
        << hex("12A51201 02 BC614E D0 1FFFFFFF 010203");
    QTest::newRow("not a string, short row")
        << QJsonArray{7, u("1, 5"), QJsonValue()}
        << QJsonArray{Defaults, u("1, 5, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00"), Defaults}
        << hex("12A51201 03 000064 08 00000000 0000000000000000");
    QTest::newRow("choices naming no item keep the default")
        << QJsonArray{u("2, 5, 3, -1, 1, 2")} << QJsonArray{u("0, 5, 0, 0, 1, 2")}
        << hex("12A51201 01 000005 01 00000001 02");
}

// Loading replaces every row; saving and loading again changes nothing, however often.
void TestOfflineListWidget::jsonLoadAndSave()
{
    QFETCH(QJsonArray, stored);
    QFETCH(QJsonArray, saved);
    QFETCH(QByteArray, firstRecord);

    m_list->initList(2, 10, 4);
    m_list->fromJson(stored);
    for (int round = 0; round < 3; ++round) {
        QCOMPARE(m_list->toJson(), saved);
        m_list->fromJson(m_list->toJson());
    }
    QVector<QByteArray> records;
    QVERIFY(m_list->toRecords(records));
    QCOMPARE(records.size(), saved.size());
    QCOMPARE(records.value(0).toHex(' '), firstRecord.toHex(' '));
}

void TestOfflineListWidget::initListGivesFreshDefaultRows()
{
    m_list->initList(1, 7, 0);
    m_list->fromJson(numberedRows(3));
    m_list->initList(2, 4, 2);
    QCOMPARE(m_list->toJson(), (QJsonArray{Defaults, Defaults}));
    QCOMPARE(combo(1, 0)->count(), 2);

    m_list->initList(1, 9, 0);
    QCOMPARE(m_list->rowCount(), 0);
    trigger("m_pActionAdd");
    QCOMPARE(combo(0, 0)->count(), 1);

    m_list->clearList();
    QCOMPARE(m_list->rowCount(), 0);
    QCOMPARE(m_list->capacity(), 9);
}

void TestOfflineListWidget::englishTextsKeepEveryChoice()
{
    m_list->initList(2, 10, 0);
    m_list->fromJson({u("1, 1, 1, 0, 1, 2"), u("0, 1, 0, 1, 1, 2")});
    const QJsonArray before = m_list->toJson();

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    QCoreApplication::installTranslator(&english);
    m_list->retranslate();
    QCoreApplication::removeTranslator(&english);

    QStringList texts;
    for (int c = 0; c < 6; ++c)
        texts << m_table->horizontalHeaderItem(c)->text();
    for (int r = 0; r < 2; ++r) {
        for (int c : {2, 3})
            texts << combo(r, c)->itemText(0) << combo(r, c)->itemText(1);
    }
    texts << m_list->findChild<QAction *>("m_pActionAdd")->text()
          << m_list->findChild<QAction *>("m_pActionDelete")->text();
    QCOMPARE(texts.join('|'),
             u("Channal|Timing interval(us100)|Frame format|Frame type|Frame ID|Frame data|"
               "Data frame|Remote frame|Standard frame|Extended frame|"
               "Data frame|Remote frame|Standard frame|Extended frame|Add|Delete"));
    QCOMPARE(m_list->toJson(), before);
}

QTEST_MAIN(TestOfflineListWidget)
#include "tst_offlinelistwidget.moc"
