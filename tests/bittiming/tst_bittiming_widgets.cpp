// The channel page's bit-timing readout as the user types or picks a rate, and the
// calculator putting its chosen value into the custom register field.

#include "canparam/BitTiming.h"
#include "canparam/BitTimingDialog.h"
#include "canparam/BitTimingReadout.h"
#include "canparam/ChannalPageWidget.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QtTest>

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
    QTest::newRow("666K row") << 12 << "" << "666.667 kbit/s，采样点 66.7%";
    QTest::newRow("typed 500K without 0x") << 15 << "0012000B" << "500 kbit/s，采样点 66.7%";
    QTest::newRow("typed 80 %") << 15 << "0x0016000B" << "300 kbit/s，采样点 80.0%";
    QTest::newRow("typed too short") << 15 << "0x0012000" << "无效";
    QTest::newRow("typed reserved bit") << 15 << "0x0012800B" << "无效";
}

void TestBitTimingWidgets::readout()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    ChannalPageWidget page(0);
    auto *combo = page.findChild<QComboBox *>(QStringLiteral("m_pComboBoxBautRate"));
    auto *field = page.findChild<QLineEdit *>(QStringLiteral("m_pLineEditRegister"));
    auto *readout = page.findChild<BitTimingReadout *>(QStringLiteral("m_pLabelBitTiming"));
    QVERIFY(combo && field && readout);
    combo->setCurrentIndex(row);
    if (!typed.isEmpty()) {
        field->clear();
        QTest::keyClicks(field, typed); // live, key by key
    }
    QCOMPARE(readout->text(), shown);
}

void TestBitTimingWidgets::calculatorFillsCustomField()
{
    ChannalPageWidget page(1);
    page.show();
    page.onPushButtonCalculator();
    auto *dialog = page.findChild<BitTimingDialog *>();
    QVERIFY(dialog);
    dialog->setWanted(125.0, 87.5);
    const QString chosen = dialog->chosenRegister();
    const BitTiming timing = BitTiming::fromText(chosen);
    QVERIFY2(timing.isValid(), qPrintable(chosen));
    QCOMPARE(qRound(timing.bitRate()), 125000); // an exact value comes first
    QCOMPARE(qRound(1000 * timing.samplePoint()), 875);
    const QDir shots(QStringLiteral(BRANTEL_SCREENSHOT_DIR));
    shots.mkpath(QStringLiteral("."));
    dialog->grab().save(shots.filePath(QStringLiteral("bittiming-calculator.png")));
    dialog->accept();

    auto *combo = page.findChild<QComboBox *>(QStringLiteral("m_pComboBoxBautRate"));
    QCOMPARE(combo->currentIndex(), combo->count() - 1); // the custom row
    QCOMPARE(page.registerText(), chosen);
    QVERIFY(!page.findChild<QLineEdit *>(QStringLiteral("m_pLineEditRegister"))->isReadOnly());
    QCOMPARE(page.findChild<BitTimingReadout *>(QStringLiteral("m_pLabelBitTiming"))->text(),
             QStringLiteral("125 kbit/s，采样点 87.5%"));
    page.grab().save(shots.filePath(QStringLiteral("channel-bittiming.png")));
}

QTEST_MAIN(TestBitTimingWidgets)
#include "tst_bittiming_widgets.moc"
