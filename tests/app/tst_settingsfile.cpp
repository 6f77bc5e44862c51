// The settings file: what a file must hold to be applied, the send type it carries, the
// order of its keys, and saves that replace the whole file or fail without harming it.

#include "app/SettingsFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void composedKeysInOrderAndReadBack();
    void saveReplacesALongerFile();
    void failedSaveKeepsTheOldFile();
};

void TestSettingsFile::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("sendType");
    QTest::addColumn<int>("channals");
    QTest::addColumn<int>("rows");
    const int ok = SettingsFile::Content::Ok;
    const int missing = SettingsFile::Content::MissingKeys;
    const int notJson = SettingsFile::Content::NotJson;
    QTest::newRow("complete") << QByteArray(R"({"CANParam":[{},{}],"SendType":1,"OfflineDatas":["a"]})")
                              << ok << 1 << 2 << 1;
    QTest::newRow("no SendType: cycle send")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[]})") << ok << 0 << 0 << 0;
    QTest::newRow("SendType names no item")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":2})") << ok << -1 << 0 << 0;
    QTest::newRow("SendType negative")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":-1})") << ok << -1 << 0 << 0;
    QTest::newRow("SendType fraction")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":0.5})") << ok << -1 << 0 << 0;
    QTest::newRow("SendType not a number")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":"1"})") << ok << 0 << 0 << 0;
    QTest::newRow("empty object") << QByteArray("{}") << missing << 0 << 0 << 0;
    QTest::newRow("no OfflineDatas") << QByteArray(R"({"CANParam":[],"SendType":1})") << missing
                                     << 0 << 0 << 0;
    QTest::newRow("no CANParam") << QByteArray(R"({"OfflineDatas":[]})") << missing << 0 << 0 << 0;
    QTest::newRow("array at the top") << QByteArray("[1,2]") << missing << 0 << 0 << 0;
    QTest::newRow("broken") << QByteArray(R"({"CANParam":[)") << notJson << 0 << 0 << 0;
    QTest::newRow("empty file") << QByteArray() << notJson << 0 << 0 << 0;
}

void TestSettingsFile::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(int, sendType);
    QFETCH(int, channals);
    QFETCH(int, rows);
    const SettingsFile::Content c = SettingsFile::parse(text);
    QCOMPARE(int(c.status), status);
    QCOMPARE(c.parserError.isEmpty(), status != SettingsFile::Content::NotJson);
    if (status != SettingsFile::Content::Ok)
        return;
    QCOMPARE(c.sendType, sendType);
    QCOMPARE(c.canParam.size(), channals);
    QCOMPARE(c.offlineDatas.size(), rows);
}

void TestSettingsFile::composedKeysInOrderAndReadBack()
{
    QJsonObject channal{{"ChannalID", 0}, {"BaudRate", "00120017"}};
    const QByteArray text =
        SettingsFile::compose(QJsonArray{channal}, 1, QJsonArray{QStringLiteral("row")});
    const int a = text.indexOf("\"CANParam\"");
    const int b = text.indexOf("\"OfflineDatas\"");
    const int c = text.indexOf("\"SendType\"");
    QVERIFY(a >= 0 && a < b && b < c);
    QVERIFY(text.contains('\n')); // indented, one key per line
    const SettingsFile::Content back = SettingsFile::parse(text);
    QCOMPARE(int(back.status), int(SettingsFile::Content::Ok));
    QCOMPARE(back.canParam.at(0).toObject(), channal);
    QCOMPARE(back.sendType, 1);
    QCOMPARE(back.offlineDatas.at(0).toString(), QStringLiteral("row"));
}

void TestSettingsFile::saveReplacesALongerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.txt"));
    QString error;
    QVERIFY(SettingsFile::save(path, QByteArray(4000, 'x'), &error));
    const QByteArray text = SettingsFile::compose({}, 0, {});
    QVERIFY(SettingsFile::save(path, text, &error));
    QByteArray back;
    QVERIFY(SettingsFile::load(path, &back, &error));
    QCOMPARE(back, text);
}

void TestSettingsFile::failedSaveKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.txt"));
    const QByteArray old = SettingsFile::compose({}, 1, {});
    QString error;
    QVERIFY(SettingsFile::save(path, old, &error));

    // A file size limit makes the write fail the way a full disk does (even for root).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = SettingsFile::save(path, QByteArray(256 * 1024, ' '), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());

    QVERIFY(!SettingsFile::save(dir.filePath(QStringLiteral("missing/settings.txt")), old, &error));
    QVERIFY(!error.isEmpty());

    QByteArray back;
    QVERIFY(SettingsFile::load(path, &back, &error));
    QCOMPARE(back, old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.txt")});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
