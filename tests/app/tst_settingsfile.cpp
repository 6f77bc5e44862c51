// The settings file on its own: the send type a file carries, what it must hold to be
// applied, and a save cut short (the window's tests cover the rest).

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
    void saveCutShortKeepsTheOldFile();
};

void TestSettingsFile::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("sendType"); // -1: none to apply
    using C = SettingsFile::Content;
    QTest::newRow("complete") << QByteArray(R"({"CANParam":[{},{}],"SendType":1,"OfflineDatas":["a"]})")
                              << int(C::Ok) << 1;
    QTest::newRow("SendType negative") << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":-1})")
                                       << int(C::Ok) << -1;
    QTest::newRow("SendType fraction") << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":0.5})")
                                       << int(C::Ok) << -1;
    QTest::newRow("SendType not a number")
        << QByteArray(R"({"CANParam":[],"OfflineDatas":[],"SendType":"1"})") << int(C::Ok) << 0;
    QTest::newRow("no CANParam") << QByteArray(R"({"OfflineDatas":[]})") << int(C::MissingKeys) << 0;
    QTest::newRow("array at the top") << QByteArray("[1,2]") << int(C::MissingKeys) << 0;
    QTest::newRow("empty file") << QByteArray() << int(C::NotJson) << 0;
}

void TestSettingsFile::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(int, status);
    QFETCH(int, sendType);
    const SettingsFile::Content c = SettingsFile::parse(text);
    QCOMPARE(int(c.status), status);
    QCOMPARE(c.parserError.isEmpty(), status != SettingsFile::Content::NotJson);
    if (status == SettingsFile::Content::Ok)
        QCOMPARE(c.sendType, sendType);
}

// A text larger than the write buffer meets a file size limit (as a full disk, even for
// root) part-way: the save fails and the old file stays whole.
void TestSettingsFile::saveCutShortKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.txt"));
    QString error;
    QVERIFY(SettingsFile::save(path, "old", &error));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = SettingsFile::save(path, QByteArray(256 * 1024, ' '), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!ok);
    QVERIFY(!error.isEmpty());
    QByteArray back;
    QVERIFY(SettingsFile::load(path, &back, &error));
    QCOMPARE(back, QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.txt")});
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
