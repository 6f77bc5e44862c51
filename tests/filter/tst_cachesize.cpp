// The display cache size: where Config.ini lives, what a stored value reads as, and the
// main window storing what was typed into its dialog, held to the size's range.

#include "app/MainWidget.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/CacheSizeConfig.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/SetCacheDialog.h"
#include "support/Child.h"
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
    void cleanup() { QFile::remove(cacheConfigPath()); }
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        initBrantelResources();
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
        SimRegistry::instance().add();
    }

    // Beside the program when that folder holds a Config.ini, else in the user's settings.
    void location()
    {
        QTemporaryDir dir;
        QCOMPARE(cacheConfigPath(dir.path()), dir.filePath("Config.ini"));
        QCOMPARE(cacheConfigPath(dir.filePath("absent")),
                 QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + "/Config.ini");
    }

    void storedValue_data()
    {
        QTest::addColumn<QByteArray>("ini");  // null: no file
        QTest::addColumn<int>("size");
        QTest::newRow("no file") << QByteArray() << 4096;
        QTest::newRow("stored") << QByteArray("[CacheCount]\nsize=500\n") << 500;
        QTest::newRow("zero") << QByteArray("[CacheCount]\nsize=0\n") << 4096;
        QTest::newRow("above the maximum") << QByteArray("[CacheCount]\nsize=200000\n") << 100000;
        QTest::newRow("beyond an int") << QByteArray("[CacheCount]\nsize=4294967297\n") << 100000;
    }

    // Read at the window's start.
    void storedValue()
    {
        QFETCH(QByteArray, ini);
        QFile file(cacheConfigPath());
        if (!ini.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
        file.close();
        MainWidget window;
        QTEST(window.findChild<DataMonitorWidget *>()->cacheCount(), "size");
    }

    void windowStoresTheSize_data()
    {
        QTest::addColumn<QString>("typed");  // typed over the shown 4096
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("size");  // 0: nothing stored
        QTest::newRow("letters cannot be typed") << "1a2b" << true << 12;
        QTest::newRow("empty raised to 1") << "" << true << 1;
        QTest::newRow("too large for an int raised to 1") << "99999999999" << true << 1;
        QTest::newRow("above lowered to 100000") << "100001" << true << 100000;
        QTest::newRow("closed changes nothing") << "250" << false << 0;
    }

    void windowStoresTheSize()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(int, size);

        MainWidget window;
        QFile::remove(cacheConfigPath()); // only what the action stores counts
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<SetCacheDialog *>(QApplication::activeModalWidget());
            auto *edit = child<QLineEdit>(d, "m_pLineEditCacheCount");
            QCOMPARE(edit->text(), QStringLiteral("4096"));
            edit->clear();
            QTest::keyClicks(edit, typed);
            accept ? child<QPushButton>(d, "m_pushButtonUpdate")->click() : d->reject();
        });
        child<QAction>(&window, "m_pActionSet")->trigger();

        QCOMPARE(window.findChild<DataMonitorWidget *>()->cacheCount(), size ? size : 4096);
        QCOMPARE(readCacheSize(cacheConfigPath()), size ? size : 4096);
        QCOMPARE(QFile::exists(cacheConfigPath()), size != 0);
    }
};

QTEST_MAIN(TestCacheSize)
#include "tst_cachesize.moc"
