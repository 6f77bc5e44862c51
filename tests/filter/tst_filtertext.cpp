// The filter test over ranges typed as the dialog keeps them. A show-only filter with no
// ranges hiding everything, and the low end and both sides of a show-only range, are pinned
// by tst_monitorformat's transfer table.

#include "filter/FilterText.h"

#include <QtTest>

class TestFilterText : public QObject {
    Q_OBJECT
private slots:
    void filterTest_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("rows"); // "low,high" entries joined by "|"
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("shown");
        QTest::newRow("hide, no ranges") << 1 << "" << 0x123 << true;
        QTest::newRow("show only, high end") << 2 << "100,1FF" << 0x1FF << true;
        QTest::newRow("show only, second range") << 2 << "1,2|0x0x300,3ff" << 0x3FF << true;
        QTest::newRow("hide, inside") << 1 << "100,1FF" << 0x150 << false;
        QTest::newRow("bound beyond a signed int reads as 0") << 2 << "FFFFFFFF,0" << 0 << true;
        QTest::newRow("low above high holds nothing") << 2 << "200,100" << 0x150 << false;
        QTest::newRow("disabled shows listed ids") << 0 << "100,1FF" << 0x150 << true;
        QTest::newRow("no mode selected shows listed ids") << -1 << "100,1FF" << 0x150 << true;
    }

    void filterTest()
    {
        QFETCH(int, mode);
        QFETCH(QString, rows);
        QFETCH(int, id);
        QVector<FilterRowText> texts;
        for (const QString &entry : rows.split(QLatin1Char('|'), Qt::SkipEmptyParts))
            texts.append(splitFilterRow(entry));
        QTEST(filterFromRows(mode, texts).accepts(id), "shown");
    }
};

QTEST_GUILESS_MAIN(TestFilterText)
#include "tst_filtertext.moc"
