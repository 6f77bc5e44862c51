// The channel page and the panel: the baud-rate selector and register field, the settings
// object read back, the channel tabs and the English texts.

#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "support/Child.h"
#include "widgets/BrantelResources.h"

#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>

class TestChannalPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }
    void baudRate_data();
    void baudRate();
    void fromJson_data();
    void fromJson();
    void englishTabsAndMessage();
};

void TestChannalPage::baudRate_data()
{
    QTest::addColumn<int>("chosen");     // row chosen in the selector first, or -1
    QTest::addColumn<QString>("digits"); // then given to setBaudRate, unless null
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("default") << -1 << QString() << "250K" << "0x00120017";
    QTest::newRow("choose 50K") << 4 << QString() << "50K" << "0x0067002C";
    QTest::newRow("choose 500K") << 11 << QString() << "500K" << "0x0012000B";
    QTest::newRow("400K") << -1 << "00160008" << "400K" << "0x00160008";
    QTest::newRow("no row") << -1 << "00123456" << "自定义" << "0x00123456";
    QTest::newRow("custom then a row") << 15 << "00120017" << "250K" << "0x00120017";
}

void TestChannalPage::baudRate()
{
    QFETCH(int, chosen);
    QFETCH(QString, digits);
    QFETCH(QString, label);
    QFETCH(QString, text);
    ChannalPageWidget page(0);
    auto *selector = child<QComboBox>(&page, "m_pComboBoxBautRate");
    if (chosen >= 0)
        selector->setCurrentIndex(chosen);
    if (!digits.isNull())
        page.setBaudRate(digits);
    QCOMPARE(selector->currentText(), label);
    QCOMPARE(page.registerText(), text);
    QCOMPARE(child<QLineEdit>(&page, "m_pLineEditRegister")->isReadOnly(), label != "自定义");
}

// Applied to a page whose row 1 reads "1, 0, 0, 12 34 56 78, ff ff ff ff"; resetting
// afterwards gives the default page.
void TestChannalPage::fromJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row1"); // saved again
    QTest::newRow("2 leaves the row unchecked")
        << QByteArray(R"({"BaudRate": "0x0012000b", "DataList": ["1", "2, 0, 1, a, b"]})")
        << "0x0012000B" << "0, 0, 1,  a,  b";
    QTest::newRow("work mode 1, indices naming no item")
        << QByteArray(R"({"BaudRate": "0x00-12-00-17", "DataList": [5, " 1 ,,1,3 ,,a,b"]})")
        << "0x00-12-00-17" << "1, 1, 0, a, b";
}

void TestChannalPage::fromJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, text);
    QFETCH(QString, row1);
    ChannalPageWidget page(0);
    page.setEntry(1, {true, 0, 0, QStringLiteral("12 34 56 78"), QStringLiteral("ff ff ff ff")});
    page.fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(page.registerText(), text);
    QCOMPARE(page.toJson().value("DataList").toArray().at(1).toString(), row1);
    page.resetDefaults();
    QCOMPARE(page.toJson(), ChannalPageWidget(0).toJson());
}

// Connecting again keeps the pages; a device with more channels still shows two.
void TestChannalPage::englishTabsAndMessage()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    CANParamWidget panel;
    panel.addChannalTabs(2);
    ChannalPageWidget *page = panel.page(1);
    panel.removeAllTabs();
    QVERIFY(!panel.page(0));
    panel.addChannalTabs(4);
    QCOMPARE(panel.page(1), page);
    page->setEntry(13, {false, 0, 1, QStringLiteral("12 34 56"), QString()});
    QCoreApplication::installTranslator(&english);
    panel.retranslate();
    const QString message = page->malformedTextMessage();
    QCoreApplication::removeTranslator(&english);
    auto *tabs = child<QTabWidget>(&panel, "m_pTabWidgetChannal");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(1), QStringLiteral("Channal1"));
    QCOMPARE(message, QStringLiteral("Channal1 row 14 ID Register must be 4 bytes (8 hexadecimal digits)"));
}

QTEST_MAIN(TestChannalPage)
#include "tst_channalpage.moc"
