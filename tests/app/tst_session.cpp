// What the program learns of a plugged adapter before connecting, the start-up language
// chosen from the system's, and the settings file on its own (the send type a file
// carries, what it must hold to be applied, a save cut short); the window's tests cover
// the rest of the settings file.

#include "app/DeviceIdentity.h"
#include "app/LanguageChoice.h"
#include "app/SettingsFile.h"
#include "device/CWrapWinUSB.h"
#include "device/SimulatedAdapter.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

Q_DECLARE_METATYPE(StartLanguage)

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SimRegistry::instance().clear(); }
    void identity_data();
    void identity();
    void displayableName_data();
    void displayableName();
    void startLanguage_data();
    void startLanguage();
    void settingsParse_data();
    void settingsParse();
    void settingsSaveCutShortKeepsTheOldFile();
};

void TestSession::identity_data()
{
    QTest::addColumn<int>("code"); // the request left unanswered; -1: no device, -2: unplugged
    QTest::addColumn<QString>("known"); // name|type|version
    QTest::addColumn<QString>("failure");
    // A lost reply leaves its field unknown instead of showing an earlier reply's bytes.
    const QString timeout = "no reply within 1000 ms to ", name = "HLW-C2+_HL261206001";
    QTest::newRow("all answered") << 0 << name + "|HLW-C2+|1.15" << "";
    QTest::newRow("serial lost") << 0x14 << "|HLW-C2+|1.15" << timeout + "ReadSerialNumber";
    QTest::newRow("type lost") << 0x15 << "||1.15" << timeout + "ReadDeviceType";
    QTest::newRow("version lost") << 0x12 << name + "|HLW-C2+|" << timeout + "ReadFirmwareVersion";
    QTest::newRow("no device") << -1 << "||" << "";
    QTest::newRow("unplugged") << -2 << "||" << "";
}

void TestSession::identity()
{
    QFETCH(int, code); QFETCH(QString, known); QFETCH(QString, failure);
    std::shared_ptr<SimFirmware> device = code == -1 ? nullptr : SimRegistry::instance().add();
    if (code == -2)
        device->setPlugged(false);
    else if (code > 0)
        device->scriptFault(uint8_t(code), SimFirmware::Fault::NoReply);
    CWrapWinUSB link(std::make_unique<SimBackend>());
    const DeviceIdentity id = readDeviceIdentity(link);
    QVERIFY(!link.isOpen());
    QCOMPARE(QStringList({id.name, id.deviceType, id.firmwareVersion}).join('|'), known);
    // Only the first write is checked: all three requests go out.
    QVERIFY(code < 0 || (id.failure == failure && device->requests().size() == 3));
}

void TestSession::displayableName_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("shown"); // null: refused
    QTest::newRow("padding removed") << "HLW-C2+_HL26 1206001  " << "HLW-C2+_HL261206001";
    QTest::newRow("18 after removal") << "HLW C2+_HL261206001" << QString();
    QTest::newRow("tabs and line ends") << "HLW-C2+\t_HL2612\n06001" << "HLW-C2+_HL261206001";
    QTest::newRow("too long") << "HLW-C2+_HL2612060012" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestSession::displayableName()
{
    QFETCH(QString, read); QFETCH(QString, shown);
    QCOMPARE(displayableDeviceName(read), shown);
    QCOMPARE(displayableDeviceName(read).isNull(), shown.isNull());
}

void TestSession::startLanguage_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("langId");
    QTest::addColumn<StartLanguage>("expected");
    QTest::newRow("English (US)") << "en_US" << 0x0409 << StartLanguage::English;
    QTest::newRow("Chinese (PRC)") << "zh_CN" << 0x0804 << StartLanguage::SimplifiedChinese;
    QTest::newRow("English (UK)") << "en_GB" << 0x0809 << StartLanguage::Unchanged;
    QTest::newRow("Chinese (Taiwan)") << "zh_TW" << 0x0404 << StartLanguage::Unchanged;
    QTest::newRow("C locale") << "C" << 0x007F << StartLanguage::Unchanged;
}

void TestSession::startLanguage()
{
    QFETCH(QString, locale); QFETCH(int, langId); QFETCH(StartLanguage, expected);
    QCOMPARE(startLanguageForLocale(QLocale(locale)), expected);
    QCOMPARE(startLanguageForLangId(quint16(langId)), expected);
}

void TestSession::settingsParse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("sendType"); // -1: none to apply
    using C = SettingsFile::Content;
    const QByteArray head = R"({"CANParam":[{},{}],"OfflineDatas":["a"],"SendType":)";
    // Only 0 and 1 apply; a string reads as 0.
    const QPair<const char *, int> types[] = {
        {"1", 1}, {"-1", -1}, {"2", -1}, {"0.5", -1}, {"\"1\"", 0}};
    for (const auto &t : types)
        QTest::addRow("SendType %s", t.first) << head + t.first + '}' << int(C::Ok) << t.second;
    QTest::newRow("no CANParam") << QByteArray(R"({"OfflineDatas":[]})") << int(C::MissingKeys)
                                 << 0;
    QTest::newRow("empty file") << QByteArray() << int(C::NotJson) << 0;
}

void TestSession::settingsParse()
{
    QFETCH(QByteArray, text); QFETCH(int, status); QFETCH(int, sendType);
    const SettingsFile::Content c = SettingsFile::parse(text);
    QCOMPARE(int(c.status), status);
    QCOMPARE(c.parserError.isEmpty(), status != SettingsFile::Content::NotJson);
    if (status == SettingsFile::Content::Ok)
        QCOMPARE(c.sendType, sendType);
}

// A text larger than the write buffer meets a file size limit (as a full disk, even for
// root) part-way: the save fails and the old file stays whole.
void TestSession::settingsSaveCutShortKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.txt"));
    QString error;
    QVERIFY(SettingsFile::save(path, "old", &error));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small{64 * 1024, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = SettingsFile::save(path, QByteArray(256 * 1024, ' '), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!ok && !error.isEmpty());
    QByteArray back;
    QVERIFY(SettingsFile::load(path, &back, &error) && back == "old");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("settings.txt")});
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
