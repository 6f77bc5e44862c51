// The display cache size: where Config.ini lives, what a stored value reads as, and the
// main window storing what was typed into its dialog, held to the size's range.

#include "app/MainWidget.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/CacheSizeConfig.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/SetCacheDialog.h"
#include "widgets/BrantelResources.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestCacheSize : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void location();
    void storedValue_data();
    void storedValue();
    void windowStoresTheSizeHeldToItsRange_data();
    void windowStoresTheSizeHeldToItsRange();

private:
    std::shared_ptr<SimFirmware> m_device;
};

void TestCacheSize::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestCacheSize::init() { m_device = SimRegistry::instance().add(); }

void TestCacheSize::cleanup()
{
    QFile::remove(cacheConfigPath());
    SimRegistry::instance().clear();
    m_device.reset();
}

void TestCacheSize::location()
{
    QTemporaryDir dir;
    QCOMPARE(cacheConfigPath(dir.path()), dir.filePath(QStringLiteral("Config.ini")));
    QCOMPARE(cacheConfigPath(dir.filePath(QStringLiteral("absent"))),
             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                 + QStringLiteral("/Config.ini"));
}

void TestCacheSize::storedValue_data()
{
    QTest::addColumn<QByteArray>("ini");  // null: no file
    QTest::addColumn<int>("size");

    QTest::newRow("no file") << QByteArray() << 4096;
    QTest::newRow("stored") << QByteArray("[CacheCount]\nsize=500\n") << 500;
    QTest::newRow("zero") << QByteArray("[CacheCount]\nsize=0\n") << 4096;
    QTest::newRow("negative") << QByteArray("[CacheCount]\nsize=-3\n") << 4096;
    QTest::newRow("above the maximum") << QByteArray("[CacheCount]\nsize=200000\n") << 100000;
    QTest::newRow("beyond an int") << QByteArray("[CacheCount]\nsize=4294967297\n") << 100000;
}

void TestCacheSize::storedValue()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, size);

    if (!ini.isNull()) {
        QFile file(cacheConfigPath());
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
    }
    QCOMPARE(readCacheSize(cacheConfigPath()), size);
    MainWidget window;
    QCOMPARE(window.findChild<DataMonitorWidget *>()->cacheCount(), size);
}

void TestCacheSize::windowStoresTheSizeHeldToItsRange_data()
{
    QTest::addColumn<QString>("typed");  // typed over the shown size
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("size");  // 0: nothing stored

    QTest::newRow("in range") << "250" << true << 250;
    QTest::newRow("letters cannot be typed") << "1a2b" << true << 12;
    QTest::newRow("empty raised to 1") << "" << true << 1;
    QTest::newRow("too large for an int raised to 1") << "99999999999" << true << 1;
    QTest::newRow("above lowered to 100000") << "100001" << true << 100000;
    QTest::newRow("closed changes nothing") << "250" << false << 0;
}

void TestCacheSize::windowStoresTheSizeHeldToItsRange()
{
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(int, size);

    MainWidget window;
    QFile::remove(cacheConfigPath());  // only what the action stores counts
    QString shown;
    QTimer::singleShot(0, [&] {
        auto *d = qobject_cast<SetCacheDialog *>(QApplication::activeModalWidget());
        if (!d)
            qFatal("the cache dialog is not open");
        auto *edit = d->findChild<QLineEdit *>(QStringLiteral("m_pLineEditCacheCount"));
        shown = edit->text();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        if (accept)
            QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("m_pushButtonUpdate")),
                              Qt::LeftButton);
        else
            d->reject();
    });
    window.findChild<QAction *>(QStringLiteral("m_pActionSet"))->trigger();

    QCOMPARE(shown, QStringLiteral("4096"));
    QCOMPARE(window.findChild<DataMonitorWidget *>()->cacheCount(), size ? size : 4096);
    QCOMPARE(QFile::exists(cacheConfigPath()), size != 0);
    if (size)
        QCOMPARE(readCacheSize(cacheConfigPath()), size);
}

QTEST_MAIN(TestCacheSize)
#include "tst_cachesize.moc"
