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

    // Beside the program when that folder is writable, else in the user's settings.
    void location()
    {
        QTemporaryDir dir;
        QCOMPARE(cacheConfigPath(dir.path()), dir.filePath("Config.ini"));
        const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QCOMPARE(cacheConfigPath(dir.filePath("absent")), user + "/Config.ini");
    }

    void storedAndSet_data()
    {
        QTest::addColumn<QString>("stored"); // the size stored before the start; null: no file
        QTest::addColumn<int>("read");       // the size the window starts with
        QTest::addColumn<QString>("typed");  // then typed into the dialog
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("size");       // shown and stored at the end; 0: no file
        QTest::newRow("no file; dialog closed") << QString() << 4096 << "250" << false << 0;
        QTest::newRow("stored; letters cannot be typed") << "500" << 500 << "1a2b" << true << 12;
        QTest::newRow("zero; empty raised to 1") << "0" << 4096 << "" << true << 1;
        QTest::newRow("above the maximum; beyond an int raised to 1")
            << "200000" << 100000 << "99999999999" << true << 1;
        QTest::newRow("beyond an int; above lowered to the maximum")
            << "4294967297" << 100000 << "100001" << true << 100000;
    }

    // Read at the window's start; the dialog shows that size, and the window stores what
    // was typed, held to the range.
    void storedAndSet()
    {
        QFETCH(QString, stored);
        QFETCH(int, read);
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(int, size);
        QFile file(cacheConfigPath());
        const QByteArray ini = "[CacheCount]\nsize=" + stored.toLatin1() + '\n';
        if (!stored.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(ini) == ini.size());
        file.close();
        MainWidget window;
        auto *page = window.findChild<DataMonitorWidget *>();
        QCOMPARE(page->cacheCount(), read);
        QFile::remove(cacheConfigPath()); // only what the action stores counts
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<SetCacheDialog *>(QApplication::activeModalWidget());
            auto *edit = child<QLineEdit>(d, "m_pLineEditCacheCount");
            QCOMPARE(edit->text(), QString::number(read));
            edit->clear();
            QTest::keyClicks(edit, typed);
            accept ? child<QPushButton>(d, "m_pushButtonUpdate")->click() : d->reject();
        });
        child<QAction>(&window, "m_pActionSet")->trigger();

        QCOMPARE(page->cacheCount(), size ? size : read);
        QCOMPARE(readCacheSize(cacheConfigPath()), size ? size : 4096);
        QCOMPARE(QFile::exists(cacheConfigPath()), size != 0);
    }
};

QTEST_MAIN(TestCacheSize)
#include "tst_cachesize.moc"
