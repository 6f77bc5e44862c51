// The two catalogues against the sources: every text the code passes to tr() has a
// finished entry in both, and the compiled catalogues give the few texts that other
// parts (dialog titles found by name, the monitor's empty label) depend on.

#include "widgets/BrantelResources.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

class TestCatalogues : public QObject {
    Q_OBJECT
private slots:
    void everyTextHasAFinishedEntry_data();
    void everyTextHasAFinishedEntry();
    void entriesOthersDependOn_data();
    void entriesOthersDependOn();
};

void TestCatalogues::everyTextHasAFinishedEntry_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::newRow("en") << "brantel_en.ts";
    QTest::newRow("zh") << "brantel_zh.ts";
}

void TestCatalogues::everyTextHasAFinishedEntry()
{
    QFETCH(QString, catalogue);
    // lupdate over a copy adds every text the sources ask for and the copy lacks, unfinished.
    QTemporaryDir dir;
    const QString copy = dir.filePath(catalogue);
    QVERIFY(QFile::copy(QStringLiteral(BRANTEL_SOURCE_DIR "/Resources/") + catalogue, copy));
    QCOMPARE(QProcess::execute(QStringLiteral(BRANTEL_LUPDATE),
                               {"-silent", BRANTEL_SOURCE_DIR, "-ts", copy}), 0);
    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.count("<message>") > 150);
    // (The monitor's placeholder label, left to its source text in English, is no tr() text:
    // lupdate marks it vanished.)
    QCOMPARE(text.count("type=\"unfinished\""), 0);
}

void TestCatalogues::entriesOthersDependOn_data()
{
    QTest::addColumn<QString>("qm");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("shown"); // null: no entry, the source text is shown
    QTest::newRow("cache title") << "en" << "SetCacheDialog" << "设置缓存" << "Set cache";
    QTest::newRow("filter title") << "en" << "FilterDialog" << "ID过滤设置" << "ID Filter Settings";
    QTest::newRow("info title") << "en" << "DeviceInfoDialog" << "设备信息" << "Device Info";
    QTest::newRow("trace title") << "en" << "TraceWindow" << "信号跟踪" << "Signal trace";
    QTest::newRow("set failed") << "en" << "DataMonitorWidget" << "设置失败" << "Set failed";
    QTest::newRow("label, en") << "en" << "DataMonitorWidget" << "TextLabel" << QString();
    QTest::newRow("label, zh") << "zh" << "DataMonitorWidget" << "TextLabel" << "\"\"";
    QTest::newRow("filter files, zh") << "zh" << "FilterDialog" << "TXT文件(*.txt)" << "TEX文件(*.txt)";
}

void TestCatalogues::entriesOthersDependOn()
{
    QFETCH(QString, qm);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, shown);
    initBrantelResources();
    QTranslator translator;
    QVERIFY(translator.load(":/Language/Resources/brantel_" + qm + ".qm"));
    QCOMPARE(translator.translate(context.toUtf8(), source.toUtf8()), shown);
}

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
