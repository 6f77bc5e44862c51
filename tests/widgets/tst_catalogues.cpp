// The two catalogues against the sources: every text the code passes to tr() has a
// finished entry in both, and the compiled catalogues give the few texts that other
// parts (dialog titles found by name, the monitor's empty label) depend on.

#include "widgets/BrantelResources.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
// "context\nsource" -> the translation element's type attribute ("" when finished).
QHash<QString, QString> readCatalogue(const QString &path)
{
    QHash<QString, QString> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation"))
            entries.insert(context + '\n' + source, xml.attributes().value("type").toString());
    }
    return entries;
}
} // namespace

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
    // What the sources ask for, as lupdate collects it.
    QTemporaryDir dir;
    const QString scanned = dir.filePath("scanned.ts");
    QCOMPARE(QProcess::execute(QStringLiteral(BRANTEL_LUPDATE),
                               {"-silent", BRANTEL_SOURCE_DIR, "-ts", scanned}), 0);
    const QHash<QString, QString> code = readCatalogue(scanned);
    QVERIFY(code.size() > 150);
    const QHash<QString, QString> entries =
        readCatalogue(QStringLiteral(BRANTEL_SOURCE_DIR "/Resources/") + catalogue);
    for (auto it = code.begin(); it != code.end(); ++it)
        QVERIFY2(entries.contains(it.key()), qPrintable(it.key()));
    // The monitor's placeholder label is deliberately left to its source text in English.
    const QString placeholder = QStringLiteral("DataMonitorWidget\nTextLabel");
    for (auto it = entries.begin(); it != entries.end(); ++it)
        QVERIFY2(it.value().isEmpty() || (catalogue == "brantel_en.ts" && it.key() == placeholder),
                 qPrintable(it.key() + ' ' + it.value()));
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
