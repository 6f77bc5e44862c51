// The settings file: what a file must hold to be applied, the send type it carries, and
// saves that fail without harming the old file (the window's tests cover the rest).

#include "app/SettingsFile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
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
    // Empty objects, missing keys, broken text and the plain send types are checked
    // through the window; these are the rest.
    QTest::newRow("complete") << QByteArray(R"({"CANParam":[{},{}],"SendType":1,"OfflineDatas":["a"]})")
                              << ok << 1 << 2 << 1;
    QTest::newRow("SendType negative")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":-1})") << ok << -1 << 0 << 0;
    QTest::newRow("SendType fraction")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":0.5})") << ok << -1 << 0 << 0;
    QTest::newRow("SendType not a number")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":"1"})") << ok << 0 << 0 << 0;
    QTest::newRow("no CANParam") << QByteArray(R"({"OfflineDatas":[]})") << missing << 0 << 0 << 0;
    QTest::newRow("array at the top") << QByteArray("[1,2]") << missing << 0 << 0 << 0;
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
    // A text larger than the write buffer, and one the buffer would take whole.
    for (const int size : {256 * 1024, 300}) {
        small.rlim_cur = rlim_t(size / 4);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool ok = SettingsFile::save(path, QByteArray(size, ' '), &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY2(!ok, qPrintable(QString::number(size)));
        QVERIFY(!error.isEmpty());
    }

    QVERIFY(!SettingsFile::save(dir.filePath(QStringLiteral("missing/settings.txt")), old, &error));
    QVERIFY(!error.isEmpty());

    QByteArray back;
    QVERIFY(SettingsFile::load(path, &back, &error));
    QCOMPARE(back, old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.txt")});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
