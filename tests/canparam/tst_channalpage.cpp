// The channel page and the panel: the baud-rate selector and register field with its
// bit-timing readout, the calculator, the settings object read back, the channel tabs and
// the English texts.

#include "canparam/BitTiming.h"
#include "canparam/BitTimingDialog.h"
#include "canparam/BitTimingReadout.h"
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
// A row chosen in the selector first (-1: none), then digits given to setBaudRate or, with
// `typed`, typed key by key into the field (null: none); the selector's label, the register
// text and the bit-timing readout shown.
struct Baud { int chosen; const char *digits; bool typed; const char *label, *text, *shown; };
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
    void calculatorFillsCustomField();
};

void TestChannalPage::baudRate_data()
{
    QTest::addColumn<Baud>("b");
    const char *r250 = "250 kbit/s，采样点 66.7%";
    QTest::newRow("default") << Baud{-1, {}, false, "250K", "0x00120017", r250};
    // 45 x 16 quanta, sample point after 9.
    QTest::newRow("choose 50K")
        << Baud{4, {}, false, "50K", "0x0067002C", "50 kbit/s，采样点 56.3%"};
    QTest::newRow("choose 500K")
        << Baud{11, {}, false, "500K", "0x0012000B", "500 kbit/s，采样点 66.7%"};
    QTest::newRow("400K")
        << Baud{-1, "00160008", false, "400K", "0x00160008", "400 kbit/s，采样点 80.0%"};
    // Bits 10-15 are reserved.
    QTest::newRow("no row") << Baud{-1, "00123456", false, "自定义", "0x00123456", "无效"};
    QTest::newRow("custom then a row") << Baud{15, "00120017", false, "250K", "0x00120017", r250};
    QTest::newRow("typed 80 %")
        << Baud{15, "0x0016000B", true, "自定义", "0x0016000B", "300 kbit/s，采样点 80.0%"};
    QTest::newRow("typed reserved bit")
        << Baud{15, "0x0012800B", true, "自定义", "0x0012800B", "无效"};
}

void TestChannalPage::baudRate()
{
    QFETCH(Baud, b);
    ChannalPageWidget page(0);
    auto *selector = child<QComboBox>(&page, "m_pComboBoxBautRate");
    auto *field = child<QLineEdit>(&page, "m_pLineEditRegister");
    if (b.chosen >= 0)
        selector->setCurrentIndex(b.chosen);
    if (b.typed) {
        field->clear();
        QTest::keyClicks(field, QString::fromUtf8(b.digits)); // the readout follows each key
    } else if (b.digits) {
        page.setBaudRate(QString::fromUtf8(b.digits));
    }
    QCOMPARE(selector->currentText(), QString::fromUtf8(b.label));
    QCOMPARE(page.registerText(), QString::fromUtf8(b.text));
    const bool custom = qstrcmp(b.label, "自定义") == 0;
    QCOMPARE(field->isReadOnly(), !custom);
    const QString shown = child<BitTimingReadout>(&page, "m_pLabelBitTiming")->text();
    QCOMPARE(shown, QString::fromUtf8(b.shown));
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

void TestChannalPage::calculatorFillsCustomField()
{
    ChannalPageWidget page(1);
    page.show();
    page.onPushButtonCalculator();
    auto *dialog = page.findChild<BitTimingDialog *>();
    dialog->setWanted(125.0, 87.5);
    const QString chosen = dialog->chosenRegister();
    const BitTiming timing = BitTiming::fromText(chosen);
    QVERIFY2(timing.isValid(), qPrintable(chosen));
    QCOMPARE(qRound(timing.bitRate()), 125000); // an exact value comes first
    QCOMPARE(qRound(1000 * timing.samplePoint()), 875);
    dialog->accept();

    auto *combo = child<QComboBox>(&page, "m_pComboBoxBautRate");
    QCOMPARE(combo->currentIndex(), combo->count() - 1); // the custom row
    QCOMPARE(page.registerText(), chosen);
    QVERIFY(!child<QLineEdit>(&page, "m_pLineEditRegister")->isReadOnly());
    QCOMPARE(child<BitTimingReadout>(&page, "m_pLabelBitTiming")->text(),
             QStringLiteral("125 kbit/s，采样点 87.5%"));
}

QTEST_MAIN(TestChannalPage)
#include "tst_channalpage.moc"
