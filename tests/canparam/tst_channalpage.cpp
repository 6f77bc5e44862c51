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

namespace {
// A row chosen in the selector first (-1: none), then digits given to setBaudRate (null:
// none); the selector's label and the register text shown.
struct Baud { int chosen; const char *digits; const char *label; const char *text; };
} // namespace
Q_DECLARE_METATYPE(Baud)

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
    QTest::addColumn<Baud>("b");
    QTest::newRow("default") << Baud{-1, {}, "250K", "0x00120017"};
    QTest::newRow("choose 50K") << Baud{4, {}, "50K", "0x0067002C"};
    QTest::newRow("choose 500K") << Baud{11, {}, "500K", "0x0012000B"};
    QTest::newRow("400K") << Baud{-1, "00160008", "400K", "0x00160008"};
    QTest::newRow("no row") << Baud{-1, "00123456", "自定义", "0x00123456"};
    QTest::newRow("custom then a row") << Baud{15, "00120017", "250K", "0x00120017"};
}

void TestChannalPage::baudRate()
{
    QFETCH(Baud, b);
    ChannalPageWidget page(0);
    auto *selector = child<QComboBox>(&page, "m_pComboBoxBautRate");
    if (b.chosen >= 0)
        selector->setCurrentIndex(b.chosen);
    if (b.digits)
        page.setBaudRate(QString::fromUtf8(b.digits));
    QCOMPARE(selector->currentText(), QString::fromUtf8(b.label));
    QCOMPARE(page.registerText(), QString::fromUtf8(b.text));
    const bool custom = qstrcmp(b.label, "自定义") == 0;
    QCOMPARE(child<QLineEdit>(&page, "m_pLineEditRegister")->isReadOnly(), !custom);
}

// Applied to a page whose row 1 reads "1, 0, 0, 12 34 56 78, ff ff ff ff": the register
// text and row 1 saved again; resetting afterwards gives the default page.
void TestChannalPage::fromJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("saved");
    QTest::newRow("2 leaves the row unchecked")
        << QByteArray(R"({"BaudRate": "0x0012000b", "DataList": ["1", "2, 0, 1, a, b"]})")
        << "0x0012000B 0, 0, 1,  a,  b";
    QTest::newRow("work mode 1, indices naming no item")
        << QByteArray(R"({"BaudRate": "0x00-12-00-17", "DataList": [5, " 1 ,,1,3 ,,a,b"]})")
        << "0x00-12-00-17 1, 1, 0, a, b";
}

void TestChannalPage::fromJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, saved);
    ChannalPageWidget page(0);
    page.setEntry(1, {true, 0, 0, QStringLiteral("12 34 56 78"), QStringLiteral("ff ff ff ff")});
    page.fromJson(QJsonDocument::fromJson(json).object());
    const QString row1 = page.toJson().value("DataList").toArray().at(1).toString();
    QCOMPARE(page.registerText() + ' ' + row1, saved);
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
    QCOMPARE(message, QStringLiteral("Channal1 row 14 ID Register must be 4 bytes "
                                     "(8 hexadecimal digits)"));
}

QTEST_MAIN(TestChannalPage)
#include "tst_channalpage.moc"
