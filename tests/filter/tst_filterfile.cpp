// The identifier filter as plain logic: typed bounds to ranges, the filter test, and the
// filter file (layout, round trip, every failure, whole-file replacement).

#include "filter/FilterFile.h"

#include <QFile>
#include <QJsonParseError>
#include <QTemporaryDir>
#include <QtTest>

#if defined(Q_OS_LINUX)
#include <csignal>
#include <sys/resource.h>
#endif

Q_DECLARE_METATYPE(FilterFileResult::Error)

namespace {
// Rows written as "low,high" entries joined by "|".
QVector<FilterRowText> rowsOf(const QString &text)
{
    QVector<FilterRowText> rows;
    for (const QString &entry : text.split(QLatin1Char('|'), Qt::SkipEmptyParts))
        rows.append(splitFilterRow(entry));
    return rows;
}

QString textOf(const QVector<FilterRowText> &rows)
{
    QStringList entries;
    for (const FilterRowText &row : rows)
        entries << QLatin1Char('[') + row.low + QLatin1Char(',') + row.high + QLatin1Char(']');
    return entries.join(QLatin1Char('|'));
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestFilterFile : public QObject {
    Q_OBJECT
private slots:
    void filterTest_data();
    void filterTest();
    void typedBound_data();
    void typedBound();
    void documentLayout();
    void roundTrip_data();
    void roundTrip();
    void parse_data();
    void parse();
    void savingOverLongerFileLeavesOnlyTheNewDocument();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void missingFileCannotBeOpened();

private:
    QTemporaryDir m_dir;
};

void TestFilterFile::filterTest_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("shown");

    QTest::newRow("hide, no ranges") << 1 << "" << 0x123 << true;
    QTest::newRow("show only, no ranges") << 2 << "" << 0x123 << false;
    QTest::newRow("show only, low end") << 2 << "100,1FF" << 0x100 << true;
    QTest::newRow("show only, high end") << 2 << "100,1FF" << 0x1FF << true;
    QTest::newRow("show only, below") << 2 << "100,1FF" << 0xFF << false;
    QTest::newRow("show only, above") << 2 << "100,1FF" << 0x200 << false;
    QTest::newRow("show only, second range") << 2 << "1,2|300,3FF" << 0x301 << true;
    QTest::newRow("hide, inside") << 1 << "100,1FF" << 0x150 << false;
    QTest::newRow("hide, outside") << 1 << "100,1FF" << 0x1FFFFFFF << true;
    QTest::newRow("low above high holds nothing") << 2 << "200,100" << 0x150 << false;
    QTest::newRow("disabled ignores ranges") << 0 << "100,1FF" << 0x7 << true;
    QTest::newRow("no mode selected shows all") << -1 << "100,1FF" << 0x7 << true;
}

void TestFilterFile::filterTest()
{
    QFETCH(int, mode);
    QFETCH(QString, rows);
    QFETCH(int, id);
    QFETCH(bool, shown);
    QCOMPARE(filterFromRows(mode, rowsOf(rows)).accepts(id), shown);
}

void TestFilterFile::typedBound_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("prefixed") << "0x7FF" << 0x7FF;
    QTest::newRow("lower case") << "7ff" << 0x7FF;
    QTest::newRow("not hexadecimal") << "xyz" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("every 0x removed") << "0x0x10" << 0x10;
    QTest::newRow("largest extended id") << "1FFFFFFF" << 0x1FFFFFFF;
    QTest::newRow("beyond a signed int") << "FFFFFFFF" << 0;
}

void TestFilterFile::typedBound()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(hexBoundValue(text), value);
}

void TestFilterFile::documentLayout()
{
    // Indented by four blanks, members sorted, so "Data" comes first.
    FilterFileContent content;
    content.mode = 2;
    content.rows = rowsOf(QStringLiteral("100,1FF|7ff,7ff"));
    QCOMPARE(filterFileDocument(content),
             QByteArray("{\n    \"Data\": [\n        \"100,1FF\",\n        \"7ff,7ff\"\n"
                        "    ],\n    \"FilterName\": 2\n}\n"));
}

void TestFilterFile::roundTrip_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("readRows");

    QTest::newRow("show only") << 2 << "100,1FF|7ff,0x7FF" << "[100,1FF]|[7ff,0x7FF]";
    QTest::newRow("hide, empty cells") << 1 << ",|a," << "[,]|[a,]";
    QTest::newRow("disabled keeps no rows") << 0 << "1,2" << "";
    QTest::newRow("mode outside the list") << 5 << "1,2" << "[1,2]";
    QTest::newRow("text beyond ASCII") << 2 << QString::fromUtf8("通道,ü") << QString::fromUtf8("[通道,ü]");
}

void TestFilterFile::roundTrip()
{
    QFETCH(int, mode);
    QFETCH(QString, rows);
    QFETCH(QString, readRows);

    const QString path = m_dir.filePath(QStringLiteral("round.txt"));
    FilterFileContent written;
    written.mode = mode;
    written.rows = rowsOf(rows);
    QVERIFY(writeFilterFile(path, written).ok());

    FilterFileContent read;
    read.mode = 99;
    QVERIFY(readFilterFile(path, &read).ok());
    QCOMPARE(read.mode, mode);
    QCOMPARE(textOf(read.rows), readRows);
}

void TestFilterFile::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<FilterFileResult::Error>("error");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("rows");

    auto parserText = [](const QByteArray &bytes) {
        QJsonParseError e;
        QJsonDocument::fromJson(bytes, &e);
        return e.errorString();
    };
    const QByteArray trailing = "{\"Data\": [], \"FilterName\": 1} x";
    const QByteArray broken = "{\"Data\": [";

    QTest::newRow("entry without a comma")
        << QByteArray("{\"Data\": [\"7ff\"], \"FilterName\": 2}") << FilterFileResult::None
        << "" << 2 << "[7ff,7ff]";
    QTest::newRow("split at the first comma")
        << QByteArray("{\"Data\": [\"1,2,3\", 4], \"FilterName\": 1}") << FilterFileResult::None
        << "" << 1 << "[1,2,3]|[,]";
    QTest::newRow("mode not a number, data not an array")
        << QByteArray("{\"Data\": \"1,2\", \"FilterName\": \"2\"}") << FilterFileResult::None
        << "" << 0 << "";
    QTest::newRow("data not an array") << QByteArray("{\"Data\": {}, \"FilterName\": 2}")
                                       << FilterFileResult::None << "" << 2 << "";
    QTest::newRow("text after the object") << trailing << FilterFileResult::ParseFailed
                                           << parserText(trailing) << 0 << "";
    QTest::newRow("cut short") << broken << FilterFileResult::ParseFailed << parserText(broken)
                               << 0 << "";
    QTest::newRow("empty") << QByteArray() << FilterFileResult::ParseFailed
                           << parserText(QByteArray()) << 0 << "";
    QTest::newRow("array") << QByteArray("[1, 2]") << FilterFileResult::NotAnObject << ""
                           << 0 << "";
    QTest::newRow("no Data") << QByteArray("{\"FilterName\": 1}")
                             << FilterFileResult::MissingMember << "" << 0 << "";
    QTest::newRow("no FilterName") << QByteArray("{\"Data\": []}")
                                   << FilterFileResult::MissingMember << "" << 0 << "";
}

void TestFilterFile::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(FilterFileResult::Error, error);
    QFETCH(QString, detail);
    QFETCH(int, mode);
    QFETCH(QString, rows);

    FilterFileContent content;
    const FilterFileResult result = parseFilterFile(bytes, &content);
    QCOMPARE(result.error, error);
    if (error == FilterFileResult::ParseFailed)
        QVERIFY(!detail.isEmpty());
    QCOMPARE(result.detail, detail);
    QCOMPARE(content.mode, mode);
    QCOMPARE(textOf(content.rows), rows);
}

void TestFilterFile::savingOverLongerFileLeavesOnlyTheNewDocument()
{
    const QString path = m_dir.filePath(QStringLiteral("longer.txt"));
    QVERIFY(writeBytes(path, QByteArray(10000, '#')));
    FilterFileContent content;
    content.mode = 1;
    content.rows = rowsOf(QStringLiteral("1,2"));
    QVERIFY(writeFilterFile(path, content).ok());
    QCOMPARE(contentOf(path), filterFileDocument(content));
}

void TestFilterFile::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fileSizeLimit");  // 0: none

    QTest::newRow("directory missing") << "missing/filter.txt" << 0;
#if defined(Q_OS_LINUX)
    // The process may write no file beyond 16 bytes: the new document cannot be written.
    QTest::newRow("write fails") << "old.txt" << 16;
#endif
}

void TestFilterFile::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, name);
    QFETCH(int, fileSizeLimit);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QByteArray old = "old";
    const bool hadOld = writeBytes(path, old);
    FilterFileContent content;
    content.mode = 2;
    content.rows = rowsOf(QStringLiteral("100,1FF|200,2FF"));

    FilterFileResult result;
#if defined(Q_OS_LINUX)
    rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    if (fileSizeLimit > 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = rlim_t(fileSizeLimit);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    }
    result = writeFilterFile(path, content);
    setrlimit(RLIMIT_FSIZE, &saved);
#else
    result = writeFilterFile(path, content);
#endif
    QCOMPARE(result.error, FilterFileResult::WriteFailed);
    QVERIFY(!result.detail.isEmpty());
    if (hadOld)
        QCOMPARE(contentOf(path), old);
    QCOMPARE(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files).size(), hadOld ? 1 : 0);
}

void TestFilterFile::missingFileCannotBeOpened()
{
    FilterFileContent content;
    content.mode = 1;
    const FilterFileResult result =
        readFilterFile(m_dir.filePath(QStringLiteral("absent.txt")), &content);
    QCOMPARE(result.error, FilterFileResult::OpenFailed);
    QVERIFY(!result.detail.isEmpty());
    QCOMPARE(content.mode, 1);
}

QTEST_GUILESS_MAIN(TestFilterFile)
#include "tst_filterfile.moc"
