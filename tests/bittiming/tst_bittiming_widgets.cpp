// The channel page's bit-timing readout as the user types or picks a rate, and the
// calculator putting its chosen value into the custom register field.

#include "canparam/BitTiming.h"
#include "canparam/BitTimingDialog.h"
#include "canparam/BitTimingReadout.h"
#include "canparam/ChannalPageWidget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "support/Child.h"

class TestBitTimingWidgets : public QObject {
    Q_OBJECT
private slots:
    void readout_data();
    void readout();
    void calculatorFillsCustomField();
};

void TestBitTimingWidgets::readout_data()
{
    QTest::addColumn<int>("row");      // rate row chosen first
    QTest::addColumn<QString>("typed"); // then typed into the custom field, if any
    QTest::addColumn<QString>("shown");

    QTest::newRow("250K row") << 9 << "" << "250 kbit/s，采样点 66.7%";
    QTest::newRow("typed 80 %") << 15 << "0x0016000B" << "300 kbit/s，采样点 80.0%";
    QTest::newRow("typed reserved bit") << 15 << "0x0012800B" << "无效";
}

void TestBitTimingWidgets::readout()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ChannalPageWidget page(0);
    child<QComboBox>(&page, "m_pComboBoxBautRate")->setCurrentIndex(row);
    auto *field = child<QLineEdit>(&page, "m_pLineEditRegister");
    if (!typed.isEmpty()) {
        field->clear();
        QTest::keyClicks(field, typed); // live, key by key
    }
    QCOMPARE(child<BitTimingReadout>(&page, "m_pLabelBitTiming")->text(), shown);
}

void TestBitTimingWidgets::calculatorFillsCustomField()
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

QTEST_MAIN(TestBitTimingWidgets)
#include "tst_bittiming_widgets.moc"
