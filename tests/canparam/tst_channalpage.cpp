// The channel page and the panel: the baud-rate selector and register field, the settings
// object in both directions, defaults, texts refused before writing, and the channel tabs.

#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "widgets/BrantelResources.h"

#include <QComboBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

namespace {

const QString DefaultRow0 = QStringLiteral("1, 0, 1, 00 00 00 00, 00 00 00 00");
const QString DefaultRow = QStringLiteral("0, 0, 1, 00 00 00 00, 00 00 00 00");

QComboBox *selector(QWidget &page)
{
    return page.findChild<QComboBox *>(QStringLiteral("m_pComboBoxBautRate"));
}
QLineEdit *field(QWidget &page)
{
    return page.findChild<QLineEdit *>(QStringLiteral("m_pLineEditRegister"));
}
QStringList dataList(const ChannalPageWidget &page)
{
    QStringList rows;
    for (const QJsonValue &v : page.toJson().value(QStringLiteral("DataList")).toArray())
        rows << v.toString();
    return rows;
}
QStringList tabTitles(CANParamWidget &panel)
{
    auto *tabs = panel.findChild<QTabWidget *>(QStringLiteral("m_pTabWidgetChannal"));
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

} // namespace

class TestChannalPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }
    void defaultPage();
    void baudRate_data();
    void baudRate();
    void savedDefaultsReloadWithLeadingBlank();
    void fromJson_data();
    void fromJson();
    void resetDefaultsAfterEdits();
    void malformedTexts_data();
    void malformedTexts();
    void tabs_data();
    void tabs();
    void pagesKeepValuesAcrossTabChanges();
    void englishTexts();
};

void TestChannalPage::defaultPage()
{
    ChannalPageWidget page(0);
    QCOMPARE(selector(page)->count(), 16);
    QCOMPARE(selector(page)->currentText(), QStringLiteral("250K"));
    QCOMPARE(field(page)->text(), QStringLiteral("0x00120017"));
    QVERIFY(field(page)->isReadOnly());
    QCOMPARE(selector(page)->width(), 90);
    QCOMPARE(field(page)->width(), 90);
    auto *table = page.findChild<QTableWidget *>(QStringLiteral("m_pTableWidgetDataList"));
    QCOMPARE(table->rowCount(), 14);
    QCOMPARE(table->columnWidth(0), 30);
    QCOMPARE(table->columnWidth(3), 150);
    QVERIFY(table->horizontalHeader()->stretchLastSection());
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));
    QCOMPARE(dataList(page), QStringList{DefaultRow0} + QVector<QString>(13, DefaultRow).toList());
    QCOMPARE(page.toJson().value(QStringLiteral("BaudRate")).toString(), QStringLiteral("0x00120017"));
    QCOMPARE(ChannalPageWidget(1).toJson().value(QStringLiteral("ChannalID")).toInt(), 1);
}

void TestChannalPage::baudRate_data()
{
    QTest::addColumn<int>("chosen");     // row chosen in the selector first, or -1
    QTest::addColumn<QString>("digits"); // then given to setBaudRate, unless null
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("choose 50K") << 4 << QString() << "50K" << "0x0067002C" << true;
    QTest::newRow("choose custom") << 15 << QString() << "自定义" << "0x00000000" << false;
    QTest::newRow("500K") << -1 << "0012000b" << "500K" << "0x0012000B" << true;
    QTest::newRow("zero") << -1 << "00000000" << "自定义" << "0x00000000" << false;
    QTest::newRow("no row") << -1 << "00123456" << "自定义" << "0x00123456" << false;
    QTest::newRow("custom then a row") << 15 << "00120017" << "250K" << "0x00120017" << true;
    QTest::newRow("empty") << -1 << "" << "自定义" << "0x" << false;
}

void TestChannalPage::baudRate()
{
    QFETCH(int, chosen);
    QFETCH(QString, digits);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(bool, readOnly);
    ChannalPageWidget page(0);
    if (chosen >= 0)
        selector(page)->setCurrentIndex(chosen);
    if (!digits.isNull())
        page.setBaudRate(digits);
    QCOMPARE(selector(page)->currentText(), label);
    QCOMPARE(page.registerText(), text);
    QCOMPARE(field(page)->isReadOnly(), readOnly);
}

void TestChannalPage::savedDefaultsReloadWithLeadingBlank()
{
    ChannalPageWidget saved(0);
    ChannalPageWidget page(1);
    page.setBaudRate(QStringLiteral("00123456"));
    page.fromJson(saved.toJson());
    QCOMPARE(selector(page)->currentText(), QStringLiteral("250K"));
    QCOMPARE(page.entry(3).idText, QStringLiteral(" 00 00 00 00"));
    QCOMPARE(page.entry(3).maskText, QStringLiteral(" 00 00 00 00"));
    QCOMPARE(dataList(page).at(0), QStringLiteral("1, 0, 1,  00 00 00 00,  00 00 00 00"));
    // Still four bytes each, so the page can be written as it was reloaded.
    QVERIFY(page.malformedTextMessage().isEmpty());
}

void TestChannalPage::fromJson_data()
{
    QTest::addColumn<QString>("json");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row0");
    QTest::addColumn<QString>("row1");
    const QString edited = QStringLiteral("1, 1, 0, 12 34 56 78, ff ff ff ff");
    QTest::newRow("custom field holding a row value")
        << R"({"BaudRate": "0x00120017", "DataList": []})" << "250K" << "0x00120017"
        << DefaultRow0 << edited;
    QTest::newRow("no BaudRate") << R"({"DataList": []})" << "自定义" << "0x" << DefaultRow0 << edited;
    QTest::newRow("BaudRate not a string") << R"({"BaudRate": 17})" << "自定义" << "0x"
                                           << DefaultRow0 << edited;
    QTest::newRow("upper-case prefix stays")
        << R"({"BaudRate": "0X0012000b"})" << "自定义" << "0x0X0012000B" << DefaultRow0 << edited;
    QTest::newRow("2 and x leave rows unchecked")
        << R"({"BaudRate": "0x0012000b", "DataList": ["2, 1, 1, a, b", "x, 0, 0, c, d"]})"
        << "500K" << "0x0012000B" << "0, 1, 1,  a,  b" << "0, 0, 0,  c,  d";
    QTest::newRow("indices naming no item, short row")
        << R"({"BaudRate": "0x0012000b", "DataList": ["1, 3, 2", "0"]})" << "500K"
        << "0x0012000B" << DefaultRow0 << "0, 1, 0, 12 34 56 78, ff ff ff ff";
    QTest::newRow("element not a string")
        << R"({"BaudRate": "0x0012000b", "DataList": [5, null]})" << "500K" << "0x0012000B"
        << DefaultRow0 << edited;
}

void TestChannalPage::fromJson()
{
    QFETCH(QString, json);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, row0);
    QFETCH(QString, row1);
    ChannalPageWidget page(0);
    DataListEntry e;
    e.enabled = true;
    e.workMode = 1;
    e.bitCount = 0;
    e.idText = QStringLiteral("12 34 56 78");
    e.maskText = QStringLiteral("ff ff ff ff");
    page.setEntry(1, e);
    page.fromJson(QJsonDocument::fromJson(json.toUtf8()).object());
    QCOMPARE(selector(page)->currentText(), label);
    QCOMPARE(page.registerText(), text);
    QCOMPARE(dataList(page).at(0), row0);
    QCOMPARE(dataList(page).at(1), row1);
}

void TestChannalPage::resetDefaultsAfterEdits()
{
    ChannalPageWidget page(1);
    const QJsonObject defaults = page.toJson();
    page.fromJson(QJsonDocument::fromJson(
                      R"({"BaudRate": "0x00-12-00-17", "DataList": ["0, 1, 0, a, b", "1, 1, 0, c, d"]})")
                      .object());
    QCOMPARE(selector(page)->currentText(), QStringLiteral("250K"));
    page.resetDefaults();
    QCOMPARE(page.toJson(), defaults);
}

void TestChannalPage::malformedTexts_data()
{
    QTest::addColumn<int>("channalId");
    QTest::addColumn<QString>("custom"); // typed into the custom register field, unless null
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("message");
    const QString four = QStringLiteral("必须是4个字节(8位十六进制数)");
    QTest::newRow("good texts") << 0 << "0x 0012 0017" << 13 << "0x12345678" << " 1a 2b 3c 4d" << "";
    QTest::newRow("short register") << 1 << "0x0012" << 0 << "00 00 00 00" << "00 00 00 00"
                                    << "通道1寄存器" + four;
    QTest::newRow("long register") << 0 << "0x100120017" << 0 << "00000000" << "00000000"
                                   << "通道0寄存器" + four;
    QTest::newRow("short ID") << 1 << QString() << 4 << "12 34 56" << "00000000"
                              << "通道1第5行ID寄存器" + four;
    QTest::newRow("mask not hex") << 0 << QString() << 13 << "00000000" << "0000000g"
                                  << "通道0第14行掩码寄存器" + four;
}

void TestChannalPage::malformedTexts()
{
    QFETCH(int, channalId);
    QFETCH(QString, custom);
    QFETCH(int, row);
    QFETCH(QString, id);
    QFETCH(QString, mask);
    QFETCH(QString, message);
    ChannalPageWidget page(channalId);
    if (!custom.isNull()) {
        selector(page)->setCurrentIndex(15);
        field(page)->setText(custom);
    }
    DataListEntry e;
    e.idText = id;
    e.maskText = mask;
    page.setEntry(row, e);
    QCOMPARE(page.malformedTextMessage(), message);
}

void TestChannalPage::tabs_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("one") << 1 << QStringList{"通道0"};
    QTest::newRow("two") << 2 << QStringList{"通道0", "通道1"};
    QTest::newRow("more than two shows two") << 4 << QStringList{"通道0", "通道1"};
    QTest::newRow("negative") << -1 << QStringList();
}

void TestChannalPage::tabs()
{
    QFETCH(int, count);
    QFETCH(QStringList, titles);
    CANParamWidget panel;
    QCOMPARE(panel.channalCount(), 0);
    QVERIFY(!panel.page(0));
    panel.addChannalTabs(2); // a removal left these shown; connecting again replaces them
    panel.addChannalTabs(count);
    QCOMPARE(tabTitles(panel), titles);
    QCOMPARE(panel.channalCount(), count);
    for (int i = 0; i < titles.size(); ++i)
        QCOMPARE(panel.page(i)->channalId(), i);
    QVERIFY(!panel.page(titles.size()));
}

void TestChannalPage::pagesKeepValuesAcrossTabChanges()
{
    CANParamWidget panel;
    panel.addChannalTabs(2);
    ChannalPageWidget *second = panel.page(1);
    second->setBaudRate(QStringLiteral("00123456"));
    panel.removeAllTabs();
    QVERIFY(!panel.page(0));
    QCOMPARE(panel.channalCount(), 2);
    QCOMPARE(panel.findChildren<ChannalPageWidget *>().size(), 2);
    panel.addChannalTabs(2);
    QCOMPARE(panel.page(1), second);
    QCOMPARE(second->registerText(), QStringLiteral("0x00123456"));
}

void TestChannalPage::englishTexts()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    CANParamWidget panel;
    panel.addChannalTabs(2);
    ChannalPageWidget *page = panel.page(0);
    selector(*page)->setCurrentIndex(15);
    field(*page)->setText(QStringLiteral("0x12"));
    QCoreApplication::installTranslator(&english);
    panel.retranslate();
    const QString message = page->malformedTextMessage();
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(tabTitles(panel), (QStringList{"Channal0", "Channal1"}));
    QCOMPARE(selector(*page)->currentText(), QStringLiteral("Custom"));
    QCOMPARE(page->registerText(), QStringLiteral("0x12"));
    QCOMPARE(message, QStringLiteral("Channal0 Register must be 4 bytes (8 hexadecimal digits)"));
    auto *table = page->findChild<QTableWidget *>(QStringLiteral("m_pTableWidgetDataList"));
    QCOMPARE(table->horizontalHeaderItem(4)->text(), QStringLiteral("Mask Register"));
    QCOMPARE(qobject_cast<QComboBox *>(table->cellWidget(13, 1))->itemText(1),
             QStringLiteral("List pattern"));
}

QTEST_MAIN(TestChannalPage)
#include "tst_channalpage.moc"
