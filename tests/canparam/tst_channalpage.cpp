// The channel page and the panel: the baud-rate selector and register field, the settings
// object read back, defaults, the channel tabs and the English texts.

#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "widgets/BrantelResources.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTranslator>
#include <QtTest>

namespace {

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
    void fromJson_data();
    void fromJson();
    void tabs_data();
    void tabs();
    void englishTexts();
};

void TestChannalPage::defaultPage()
{
    ChannalPageWidget page(0);
    QCOMPARE(selector(page)->currentText(), QStringLiteral("250K"));
    QCOMPARE(field(page)->text(), QStringLiteral("0x00120017"));
    QVERIFY(field(page)->isReadOnly());
    QStringList rows{QStringLiteral("1, 0, 1, 00 00 00 00, 00 00 00 00")};
    for (int r = 1; r < 14; ++r)
        rows << QStringLiteral("0, 0, 1, 00 00 00 00, 00 00 00 00");
    QCOMPARE(dataList(page), rows);
}

void TestChannalPage::baudRate_data()
{
    QTest::addColumn<int>("chosen");     // row chosen in the selector first, or -1
    QTest::addColumn<QString>("digits"); // then given to setBaudRate, unless null
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("choose 50K") << 4 << QString() << "50K" << "0x0067002C";
    QTest::newRow("choose custom") << 15 << QString() << "自定义" << "0x00000000";
    QTest::newRow("500K") << -1 << "0012000b" << "500K" << "0x0012000B";
    QTest::newRow("zero") << -1 << "00000000" << "自定义" << "0x00000000";
    QTest::newRow("no row") << -1 << "00123456" << "自定义" << "0x00123456";
    QTest::newRow("custom then a row") << 15 << "00120017" << "250K" << "0x00120017";
    QTest::newRow("odd leading digit") << -1 << "012000b" << "500K" << "0x012000B";
    QTest::newRow("five bytes") << -1 << "0012001700" << "自定义" << "0x0012001700";
}

void TestChannalPage::baudRate()
{
    QFETCH(int, chosen);
    QFETCH(QString, digits);
    QFETCH(QString, label);
    QFETCH(QString, text);
    ChannalPageWidget page(0);
    if (chosen >= 0)
        selector(page)->setCurrentIndex(chosen);
    if (!digits.isNull())
        page.setBaudRate(digits);
    QCOMPARE(selector(page)->currentText(), label);
    QCOMPARE(page.registerText(), text);
    QCOMPARE(field(page)->isReadOnly(), label != QStringLiteral("自定义"));
}

// Applied to a page at "00123456" whose row 1 reads "1, 1, 0, 12 34 56 78, ff ff ff ff";
// resetting afterwards gives the default page, register text included.
void TestChannalPage::fromJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row1"); // saved again
    QTest::newRow("saved default page")
        << QJsonDocument(ChannalPageWidget(0).toJson()).toJson() << "250K" << "0x00120017"
        << "0, 0, 1,  00 00 00 00,  00 00 00 00";
    QTest::newRow("no BaudRate") << QByteArray("{}") << "自定义" << "0x"
                                 << "1, 1, 0, 12 34 56 78, ff ff ff ff";
    QTest::newRow("2 leaves the row unchecked")
        << QByteArray(R"({"BaudRate": "0x0012000b", "DataList": ["1", "2, 0, 1, a, b"]})")
        << "500K" << "0x0012000B" << "0, 0, 1,  a,  b";
    QTest::newRow("x leaves it unchecked, indices naming no item")
        << QByteArray(R"({"BaudRate": "0X0012000b", "DataList": [5, "x, 3, 2"]})") << "自定义"
        << "0x0X0012000B" << "0, 1, 0, 12 34 56 78, ff ff ff ff";
    QTest::newRow("non-digits skipped, blanks around numbers, empty parts dropped")
        << QByteArray(R"({"BaudRate": "0x00-12-00-17", "DataList": [[], " 1 ,,0 , 0 ,,a,b"]})")
        << "250K" << "0x00-12-00-17" << "1, 0, 0, a, b";
}

void TestChannalPage::fromJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, row1);
    ChannalPageWidget page(0);
    page.setBaudRate(QStringLiteral("00123456"));
    page.setEntry(1, {true, 1, 0, QStringLiteral("12 34 56 78"), QStringLiteral("ff ff ff ff")});
    page.fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(selector(page)->currentText(), label);
    QCOMPARE(page.registerText(), text);
    QCOMPARE(dataList(page).at(1), row1);
    page.resetDefaults();
    QCOMPARE(page.toJson(), ChannalPageWidget(0).toJson());
}

void TestChannalPage::tabs_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("none") << 0 << QStringList();
    QTest::newRow("two") << 2 << QStringList{"通道0", "通道1"};
    QTest::newRow("more than two shows two") << 4 << QStringList{"通道0", "通道1"};
}

void TestChannalPage::tabs()
{
    QFETCH(int, count);
    QFETCH(QStringList, titles);
    CANParamWidget panel;
    QVERIFY(!panel.page(0));
    panel.addChannalTabs(2);
    ChannalPageWidget *second = panel.page(1);
    second->setBaudRate(QStringLiteral("00123456"));
    panel.removeAllTabs();
    QVERIFY(!panel.page(0));
    QCOMPARE(panel.channalCount(), 2);
    panel.addChannalTabs(2); // a removal leaves the tabs shown; connecting again replaces them
    panel.addChannalTabs(count);
    QCOMPARE(tabTitles(panel), titles);
    QCOMPARE(panel.channalCount(), count);
    QVERIFY(!panel.page(titles.size()));
    if (count > 1)
        QCOMPARE(panel.page(1), second);
    QCOMPARE(second->registerText(), QStringLiteral("0x00123456"));
}

void TestChannalPage::englishTexts()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    CANParamWidget panel;
    panel.addChannalTabs(2);
    ChannalPageWidget *page = panel.page(1);
    selector(*page)->setCurrentIndex(15);
    page->setEntry(13, {false, 0, 1, QStringLiteral("12 34 56"), QString()});
    QCoreApplication::installTranslator(&english);
    panel.retranslate();
    const QString message = page->malformedTextMessage();
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(tabTitles(panel), (QStringList{"Channal0", "Channal1"}));
    QCOMPARE(selector(*page)->currentText(), QStringLiteral("Custom"));
    QCOMPARE(page->registerText(), QStringLiteral("0x00000000"));
    QCOMPARE(message, QStringLiteral("Channal1 row 14 ID Register must be 4 bytes (8 hexadecimal digits)"));
    auto *table = page->findChild<QTableWidget *>(QStringLiteral("m_pTableWidgetDataList"));
    QCOMPARE(qobject_cast<QComboBox *>(table->cellWidget(13, 1))->itemText(1),
             QStringLiteral("List pattern"));
}

QTEST_MAIN(TestChannalPage)
#include "tst_channalpage.moc"
