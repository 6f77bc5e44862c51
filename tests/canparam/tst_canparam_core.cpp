// The texts that give a channel page's four register bytes. The filter bank record both
// ways is pinned by tst_canparam_exchange, through the requests it sends and the rows it
// fills.

#include "canparam/BaudRateTable.h"

#include <QtTest>

class TestCanParamCore : public QObject {
    Q_OBJECT
private slots:
    void registerBytes_data();
    void registerBytes();
};

void TestCanParamCore::registerBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // empty: refused
    QTest::newRow("blanks anywhere") << " 12 3456\t78\n" << QByteArray::fromHex("12345678");
    QTest::newRow("upper X") << "0X1a2B3c4D" << QByteArray::fromHex("1a2b3c4d");
    QTest::newRow("seven digits") << "1234567" << QByteArray();
    QTest::newRow("two prefixes") << "0x0x12345678" << QByteArray();
}

void TestCanParamCore::registerBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(::registerBytes(text), bytes);
}

QTEST_APPLESS_MAIN(TestCanParamCore)
#include "tst_canparam_core.moc"
