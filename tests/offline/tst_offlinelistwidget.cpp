// The offline list editor: the capacity on Add, Delete by selected text cells, the first
// failing row stopping the records, records read back, the settings array round trip and
// the English texts.

#include "offline/OfflineListWidget.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QMenu>
#include <QTableWidget>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

namespace {
using Cell = QPair<int, int>;

QByteArray hex(const char *text) { return QByteArray::fromHex(QByteArray(text).replace(' ', "")); }

// Rows told apart by their interval text: row i holds "i".
QJsonArray numberedRows(int n)
{
    QJsonArray rows;
    for (int i = 0; i < n; ++i)
        rows.append(QStringLiteral("0, %1, 0, 0, 00 00 00 00, 11").arg(i));
    return rows;
}

QStringList intervals(const OfflineListWidget &list)
{
    QStringList out;
    for (int r = 0; r < list.rowCount(); ++r)
        out << list.row(r).interval;
    return out;
}
} // namespace

class TestOfflineListWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }
    void init();
    void cleanup();
    void addKeepsToTheCapacity_data();
    void addKeepsToTheCapacity();
    void deleteRemovesRowsOfSelectedTextCells_data();
    void deleteRemovesRowsOfSelectedTextCells();
    void firstFailingRowStopsTheRecords_data();
    void firstFailingRowStopsTheRecords();
    void recordsOfEveryRow();
    void recordsReadBackResizeAndFill_data();
    void recordsReadBackResizeAndFill();
    void jsonRoundTripIsStable();
    void jsonLoadReplacesRows_data();
    void jsonLoadReplacesRows();
    void initListGivesFreshDefaultRows();
    void contextMenuOffersAddAndDelete();
    void englishTextsKeepEveryChoice();

private:
    QTableWidget *table() const
    {
        return m_list->findChild<QTableWidget *>(QStringLiteral("m_pTableWidgetOfflineData"));
    }
    QComboBox *combo(int row, int column) const
    {
        return qobject_cast<QComboBox *>(table()->cellWidget(row, column));
    }
    void trigger(const char *action)
    {
        m_list->findChild<QAction *>(QLatin1String(action))->trigger();
    }

    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<OfflineListWidget> m_list;
};

void TestOfflineListWidget::init()
{
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_list = std::make_unique<OfflineListWidget>();
}

void TestOfflineListWidget::cleanup()
{
    m_list.reset();
    m_dialogs.reset();
}

void TestOfflineListWidget::addKeepsToTheCapacity_data()
{
    QTest::addColumn<int>("capacity");   // -1: no initList, as before any connection
    QTest::addColumn<int>("initRows");
    QTest::addColumn<int>("loadedRows"); // -1: no settings loaded
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("fits");       // whether a write may go ahead

    QTest::newRow("room for one more") << 3 << 2 << -1 << 3 << QString() << true;
    QTest::newRow("full at 3") << 3 << 3 << -1 << 3 << QStringLiteral("最多支持3条数据") << true;
    QTest::newRow("5 loaded rows, capacity 3") << 3 << 0 << 5 << 5
                                               << QStringLiteral("最多支持3条数据") << false;
    QTest::newRow("before any connection") << -1 << 0 << -1 << 0
                                           << QStringLiteral("最多支持0条数据") << true;
}

void TestOfflineListWidget::addKeepsToTheCapacity()
{
    QFETCH(int, capacity);
    QFETCH(int, initRows);
    QFETCH(int, loadedRows);
    QFETCH(int, rowsAfter);
    QFETCH(QString, message);
    QFETCH(bool, fits);

    if (capacity >= 0)
        m_list->initList(2, capacity, initRows);
    if (loadedRows >= 0)
        m_list->fromJson(numberedRows(loadedRows));
    trigger("m_pActionAdd");

    QCOMPARE(m_list->rowCount(), rowsAfter);
    QCOMPARE(m_dialogs->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(m_dialogs->boxes.first().title, QStringLiteral("提示"));
        QCOMPARE(m_dialogs->boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    } else {
        // The new row is a default row, and nothing gets selected.
        QVERIFY(m_list->row(rowsAfter - 1) == OfflineFrameRow());
        QCOMPARE(combo(rowsAfter - 1, 0)->count(), 2);
        QVERIFY(table()->selectedItems().isEmpty());
    }

    m_dialogs->boxes.clear();
    QCOMPARE(m_list->withinCapacity(), fits);
    QCOMPARE(m_dialogs->texts(), fits ? QStringList() : QStringList{message});
}

void TestOfflineListWidget::deleteRemovesRowsOfSelectedTextCells_data()
{
    QTest::addColumn<QList<Cell>>("cells");
    QTest::addColumn<QStringList>("left");

    QTest::newRow("the three text cells of row 2")
        << QList<Cell>{{2, 1}, {2, 4}, {2, 5}} << QStringList{"0", "1", "3", "4"};
    QTest::newRow("cells of rows 1 and 3") << QList<Cell>{{3, 5}, {1, 1}, {1, 4}}
                                           << QStringList{"0", "2", "4"};
    QTest::newRow("only combo cells") << QList<Cell>{{1, 0}, {1, 2}, {3, 3}}
                                      << QStringList{"0", "1", "2", "3", "4"};
    QTest::newRow("no selection") << QList<Cell>{} << QStringList{"0", "1", "2", "3", "4"};
}

void TestOfflineListWidget::deleteRemovesRowsOfSelectedTextCells()
{
    QFETCH(QList<Cell>, cells);
    QFETCH(QStringList, left);

    m_list->fromJson(numberedRows(5));
    for (const Cell &c : cells)
        table()->selectionModel()->select(table()->model()->index(c.first, c.second),
                                          QItemSelectionModel::Select);
    trigger("m_pActionDelete");
    QCOMPARE(intervals(*m_list), left);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestOfflineListWidget::firstFailingRowStopsTheRecords_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("message");

    // The third row fails too, with another message: it must never be looked at.
    QTest::newRow("standard identifier") << QStringLiteral("0, 100, 0, 0, 00 00 08 00, 11")
                                         << QStringLiteral("标准帧ID取值超出范围,范围为0到0x7FF");
    QTest::newRow("extended identifier") << QStringLiteral("0, 100, 0, 1, ff ff ff ff, 11")
        << QStringLiteral("扩展帧ID取值超出范围,范围为0到0x1FFFFFFF");
    QTest::newRow("interval value") << QStringLiteral("0, 99999999, 0, 0, 0, 11")
                                    << QStringLiteral("时间间隔超出范围,取值范围为0到16777215");
    QTest::newRow("nine data bytes") << QStringLiteral("1, 100, 0, 0, 0, 01 02 03 04 05 06 07 08 09")
                                     << QStringLiteral("帧数据超出范围,最多为8个字节");
}

void TestOfflineListWidget::firstFailingRowStopsTheRecords()
{
    QFETCH(QString, second);
    QFETCH(QString, message);

    m_list->initList(2, 10, 0);
    m_list->fromJson({QStringLiteral("0, 100, 0, 0, 1, 11"), second,
                      QStringLiteral("0, 123456789, 0, 0, 1, 11")});
    const QJsonArray before = m_list->toJson();
    QVector<QByteArray> records{QByteArray("stale")};

    QVERIFY(!m_list->toRecords(records));
    QVERIFY(records.isEmpty());
    QCOMPARE(m_dialogs->texts(), QStringList{message});
    QCOMPARE(m_dialogs->boxes.first().title, QStringLiteral("提示"));
    QCOMPARE(m_dialogs->boxes.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(m_list->toJson(), before);

    const QModelIndexList rows = table()->selectionModel()->selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().row(), 1);
    QCOMPARE(table()->selectedItems().size(), 3);

    // Delete now removes exactly that row.
    trigger("m_pActionDelete");
    QCOMPARE(intervals(*m_list), (QStringList{"100", "123456789"}));
}

void TestOfflineListWidget::recordsOfEveryRow()
{
    QVector<QByteArray> records{QByteArray("stale")};
    QVERIFY(m_list->toRecords(records));
    QVERIFY(records.isEmpty());

    m_list->initList(2, 10, 2);
    m_list->fromJson({QStringLiteral("1, 10, 0, 1, 1234, 11 22"),
                      QStringLiteral("0, 20, 1, 0, 7ff, ")});
    QVERIFY(m_list->toRecords(records));
    QCOMPARE(records, (QVector<QByteArray>{hex("12 A5 12 01 02 00 00 0A 92 00 00 12 34 11 22"),
                                           hex("12 A5 12 02 02 00 00 14 40 00 00 07 FF")}));
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestOfflineListWidget::recordsReadBackResizeAndFill_data()
{
    QTest::addColumn<int>("rowsBefore");
    QTest::newRow("5 rows shrink to 3") << 5;
    QTest::newRow("1 row grows to 3") << 1;
    QTest::newRow("3 rows stay") << 3;
}

void TestOfflineListWidget::recordsReadBackResizeAndFill()
{
    QFETCH(int, rowsBefore);
    m_list->initList(2, 10, 0);
    m_list->fromJson(numberedRows(rowsBefore));
    QComboBox *keptCombo = combo(0, 2);

    m_list->fromRecords({hex("12 A5 12 01 03 00 00 64 88 00 00 07 ff 01 02 03 04 05 06 07 08"),
                         hex("12 A5 12 02 03 00 01 00 50 00 00 01 23 11 22 33 44 55 66 77 88"),
                         hex("12 A5 12 03 03 00 00 01 12 1a 2b 3c 4d aa bb 00 00 00 00 00 00")});
    QCOMPARE(m_list->toJson(),
             (QJsonArray{QStringLiteral("0, 100, 0, 1, 00 00 07 ff, 01 02 03 04 05 06 07 08 "),
                         QStringLiteral("1, 256, 1, 0, 00 00 01 23, "),
                         QStringLiteral("1, 1, 0, 0, 1a 2b 3c 4d, aa bb ")}));
    QCOMPARE(combo(0, 2), keptCombo);

    // The remote frame read back saves and reloads with an empty data cell.
    m_list->fromJson(m_list->toJson());
    QCOMPARE(m_list->row(1).data, QString());
    QCOMPARE(m_list->row(1).remote, 1);
    QVERIFY(!table()->item(1, 5)->text().isNull());
}

void TestOfflineListWidget::jsonRoundTripIsStable()
{
    m_list->initList(2, 10, 0);
    const QJsonArray written{QStringLiteral("1, 12345678, 1, 1, 1f ff ff ff, 01 02 03"),
                             QStringLiteral("0,  100 , 0, 1,  7ff , 11 22 "),
                             QStringLiteral("0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00")};
    const QJsonArray stable{QStringLiteral("1, 12345678, 1, 1, 1f ff ff ff, 01 02 03"),
                            QStringLiteral("0, 100, 0, 1, 7ff, 11 22"),
                            QStringLiteral("0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00")};
    m_list->fromJson(written);
    for (int round = 0; round < 4; ++round) {
        QCOMPARE(m_list->toJson(), stable);
        m_list->fromJson(m_list->toJson());
    }
    QVector<QByteArray> records;
    QVERIFY(m_list->toRecords(records));
    QCOMPARE(records.first().mid(5, 4), hex("BC 61 4E D0"));
}

void TestOfflineListWidget::jsonLoadReplacesRows_data()
{
    QTest::addColumn<QJsonArray>("stored");
    QTest::addColumn<QJsonArray>("saved");

    const QString defaults = QStringLiteral("0, 100, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00");
    QTest::newRow("empty array") << QJsonArray() << QJsonArray();
    QTest::newRow("not a string, short row")
        << QJsonArray{7, QStringLiteral("1, 5"), QJsonValue()}
        << QJsonArray{defaults, QStringLiteral("1, 5, 0, 0, 00 00 00 00, 00 00 00 00 00 00 00 00"),
                      defaults};
    QTest::newRow("choices naming no item keep the default")
        << QJsonArray{QStringLiteral("2, 5, 3, -1, 1, 2")}
        << QJsonArray{QStringLiteral("0, 5, 0, 0, 1, 2")};
}

void TestOfflineListWidget::jsonLoadReplacesRows()
{
    QFETCH(QJsonArray, stored);
    QFETCH(QJsonArray, saved);
    m_list->initList(2, 10, 4);
    m_list->fromJson(stored);
    QCOMPARE(m_list->toJson(), saved);
}

void TestOfflineListWidget::initListGivesFreshDefaultRows()
{
    m_list->initList(1, 7, 0);
    m_list->fromJson(numberedRows(3));
    combo(0, 3)->setCurrentIndex(1);

    m_list->initList(2, 4, 2);
    QCOMPARE(m_list->rowCount(), 2);
    QVERIFY(m_list->row(0) == OfflineFrameRow());
    QVERIFY(m_list->row(1) == OfflineFrameRow());
    QCOMPARE(combo(1, 0)->count(), 2);

    m_list->initList(1, 9, 0);
    QCOMPARE(m_list->rowCount(), 0);
    QCOMPARE(m_list->capacity(), 9);
    trigger("m_pActionAdd");
    QCOMPARE(combo(0, 0)->count(), 1);
    QCOMPARE(combo(0, 0)->itemText(0), QStringLiteral("0"));

    m_list->clearList();
    QCOMPARE(m_list->rowCount(), 0);
    QCOMPARE(m_list->capacity(), 9);
    QCOMPARE(m_list->channalCount(), 1);
}

void TestOfflineListWidget::contextMenuOffersAddAndDelete()
{
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *a : menu->actions())
                shown << a->text();
            menu->close();
        }
    });
    emit table()->customContextMenuRequested(QPoint(1, 1));
    QCOMPARE(shown, (QStringList{QStringLiteral("添加"), QStringLiteral("删除")}));
}

void TestOfflineListWidget::englishTextsKeepEveryChoice()
{
    m_list->initList(2, 10, 0);
    m_list->fromJson({QStringLiteral("1, 1, 1, 0, 1, 2"), QStringLiteral("0, 1, 0, 1, 1, 2")});
    const QJsonArray before = m_list->toJson();

    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    QCoreApplication::installTranslator(&english);
    m_list->retranslate();
    QCoreApplication::removeTranslator(&english);

    QStringList header;
    for (int c = 0; c < 6; ++c)
        header << table()->horizontalHeaderItem(c)->text();
    QCOMPARE(header, (QStringList{"Channal", "Timing interval(us100)", "Frame format",
                                  "Frame type", "Frame ID", "Frame data"}));
    for (int r = 0; r < 2; ++r) {
        QCOMPARE(combo(r, 2)->itemText(0), QStringLiteral("Data frame"));
        QCOMPARE(combo(r, 2)->itemText(1), QStringLiteral("Remote frame"));
        QCOMPARE(combo(r, 3)->itemText(0), QStringLiteral("Standard frame"));
        QCOMPARE(combo(r, 3)->itemText(1), QStringLiteral("Extended frame"));
    }
    QCOMPARE(m_list->toJson(), before);
    QCOMPARE(m_list->findChild<QAction *>("m_pActionAdd")->text(), QStringLiteral("Add"));
    QCOMPARE(m_list->findChild<QAction *>("m_pActionDelete")->text(), QStringLiteral("Delete"));
}

QTEST_MAIN(TestOfflineListWidget)
#include "tst_offlinelistwidget.moc"
