// What the program learns of a plugged adapter before connecting, and the start-up
// language chosen from the system's.

#include "app/DeviceIdentity.h"
#include "app/LanguageChoice.h"
#include "device/CWrapWinUSB.h"
#include "device/SimulatedAdapter.h"

#include <QtTest>

Q_DECLARE_METATYPE(StartLanguage)

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { SimRegistry::instance().clear(); }
    void identityOfAPluggedDevice();
    void identityFieldsMissingWhenRepliesAreLost_data();
    void identityFieldsMissingWhenRepliesAreLost();
    void noIdentityWithoutDevice();
    void displayableName_data();
    void displayableName();
    void startLanguage_data();
    void startLanguage();
};

static DeviceIdentity readOverSim()
{
    CWrapWinUSB link(std::make_unique<SimBackend>());
    DeviceIdentity id = readDeviceIdentity(link);
    if (link.isOpen())
        qFatal("the identity read must close its link");
    return id;
}

void TestSession::identityOfAPluggedDevice()
{
    auto device = SimRegistry::instance().add();
    const DeviceIdentity id = readOverSim();
    QCOMPARE(id.name, QStringLiteral("HLW-C2+_HL261206001"));
    QCOMPARE(id.deviceType, QStringLiteral("HLW-C2+"));
    QCOMPARE(id.firmwareVersion, QStringLiteral("1.15"));
    QVERIFY(id.failure.isEmpty());
    QCOMPARE(device->requests().size(), size_t(3));
}

void TestSession::identityFieldsMissingWhenRepliesAreLost_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("nameKnown");
    QTest::addColumn<bool>("typeKnown");
    QTest::addColumn<bool>("versionKnown");
    QTest::addColumn<QString>("failure");
    // A lost reply leaves its field unknown instead of showing an earlier reply's bytes.
    QTest::newRow("serial lost") << 0x14 << false << true << true
                                 << "no reply within 1000 ms to ReadSerialNumber";
    QTest::newRow("type lost") << 0x15 << false << false << true
                               << "no reply within 1000 ms to ReadDeviceType";
    QTest::newRow("version lost") << 0x12 << true << true << false
                                  << "no reply within 1000 ms to ReadFirmwareVersion";
}

void TestSession::identityFieldsMissingWhenRepliesAreLost()
{
    QFETCH(int, code);
    QFETCH(bool, nameKnown);
    QFETCH(bool, typeKnown);
    QFETCH(bool, versionKnown);
    QFETCH(QString, failure);
    auto device = SimRegistry::instance().add();
    device->scriptFault(uint8_t(code), SimFirmware::Fault::NoReply);
    const DeviceIdentity id = readOverSim();
    QCOMPARE(!id.name.isEmpty(), nameKnown);
    QCOMPARE(!id.deviceType.isNull(), typeKnown);
    QCOMPARE(!id.firmwareVersion.isNull(), versionKnown);
    QCOMPARE(id.failure, failure);
    // Every request still went out: only the first write is checked.
    QCOMPARE(device->requests().size(), size_t(3));
}

void TestSession::noIdentityWithoutDevice()
{
    QVERIFY(readOverSim().name.isEmpty());
    auto device = SimRegistry::instance().add();
    device->setPlugged(false);
    QVERIFY(readOverSim().name.isEmpty());
}

void TestSession::displayableName_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("shown");
    QTest::newRow("19 characters") << "HLW-C2+_HL261206001" << "HLW-C2+_HL261206001";
    QTest::newRow("padding removed") << "HLW-C2+_HL26 1206001  " << "HLW-C2+_HL261206001";
    QTest::newRow("18 after removal") << "HLW C2+_HL261206001" << QString();
    QTest::newRow("tabs and line ends") << "HLW-C2+\t_HL2612\n06001" << "HLW-C2+_HL261206001";
    QTest::newRow("too long") << "HLW-C2+_HL2612060012" << QString();
    QTest::newRow("empty") << "" << QString();
}

void TestSession::displayableName()
{
    QFETCH(QString, read);
    QFETCH(QString, shown);
    const QString got = displayableDeviceName(read);
    QCOMPARE(got, shown);
    QCOMPARE(got.isNull(), shown.isNull());
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
    QTest::newRow("German") << "de_DE" << 0x0407 << StartLanguage::Unchanged;
    QTest::newRow("C locale") << "C" << 0x007F << StartLanguage::Unchanged;
}

void TestSession::startLanguage()
{
    QFETCH(QString, locale);
    QFETCH(int, langId);
    QFETCH(StartLanguage, expected);
    QCOMPARE(startLanguageForLocale(QLocale(locale)), expected);
    QCOMPARE(startLanguageForLangId(quint16(langId)), expected);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
