// The display cache size: where Config.ini lives, what a stored value reads as, the
// dialog's input, and the main window storing the size held to its range.

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

namespace {
bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestCacheSize : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void location_data();
    void location();
    void storedValue_data();
    void storedValue();
    void dialogInput_data();
    void dialogInput();
    void windowStoresTheSizeHeldToItsRange_data();
    void windowStoresTheSizeHeldToItsRange();

private:
    QTemporaryDir m_dir;
};

void TestCacheSize::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestCacheSize::cleanup() { QFile::remove(cacheConfigPath()); }

void TestCacheSize::location_data()
{
    QTest::addColumn<QString>("executableDir");
    QTest::addColumn<QString>("path");

    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QTest::newRow("writable: beside the executable")
        << m_dir.path() << m_dir.filePath(QStringLiteral("Config.ini"));
    QTest::newRow("not writable: the user's configuration")
        << m_dir.filePath(QStringLiteral("absent")) << user + QStringLiteral("/Config.ini");
}

void TestCacheSize::location()
{
    QFETCH(QString, executableDir);
    QFETCH(QString, path);
    QCOMPARE(cacheConfigPath(executableDir), path);
}

void TestCacheSize::storedValue_data()
{
    QTest::addColumn<QByteArray>("ini");  // null: no file
    QTest::addColumn<int>("size");

    QTest::newRow("no file") << QByteArray() << 4096;
    QTest::newRow("stored") << QByteArray("[CacheCount]\nsize=500\n") << 500;
    QTest::newRow("no key") << QByteArray("[CacheCount]\nother=500\n") << 4096;
    QTest::newRow("other section") << QByteArray("[Other]\nsize=500\n") << 4096;
    QTest::newRow("zero") << QByteArray("[CacheCount]\nsize=0\n") << 4096;
    QTest::newRow("negative") << QByteArray("[CacheCount]\nsize=-3\n") << 4096;
    QTest::newRow("not a number") << QByteArray("[CacheCount]\nsize=abc\n") << 4096;
    QTest::newRow("beyond an int") << QByteArray("[CacheCount]\nsize=4294967297\n") << 100000;
    QTest::newRow("not a 64-bit number")
        << QByteArray("[CacheCount]\nsize=99999999999999999999\n") << 4096;
    QTest::newRow("above the maximum") << QByteArray("[CacheCount]\nsize=200000\n") << 100000;
    QTest::newRow("not an INI file") << QByteArray("\xff\xfe[[[=\n\0\x01", 9) << 4096;
}

void TestCacheSize::storedValue()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, size);

    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + ".ini");
    if (!ini.isNull())
        QVERIFY(writeBytes(path, ini));
    QCOMPARE(readCacheSize(path), size);

    // The main window starts with the stored size.
    if (!ini.isNull())
        QVERIFY(writeBytes(cacheConfigPath(), ini));
    std::shared_ptr<SimFirmware> device = SimRegistry::instance().add();
    {
        MainWidget window;
        QCOMPARE(window.findChild<DataMonitorWidget *>()->cacheCount(), size);
    }
    SimRegistry::instance().clear();
}

void TestCacheSize::dialogInput_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("typed");  // after the start text was removed; "" keeps it
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");

    QTest::newRow("opened with 4096") << 4096 << "" << "4096" << 4096;
    QTest::newRow("letters cannot be typed") << 4096 << "12ab3" << "123" << 123;
    QTest::newRow("only letters") << 4096 << "abc" << "" << 0;
    QTest::newRow("too large for an int") << 1 << "99999999999" << "99999999999" << 0;
}

void TestCacheSize::dialogInput()
{
    QFETCH(int, start);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, size);

    SetCacheDialog dialog(start);
    auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("m_pLineEditCacheCount"));
    QVERIFY(edit);
    if (!typed.isEmpty()) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
    }
    QCOMPARE(edit->text(), text);
    QCOMPARE(dialog.cacheSize(), size);
}

void TestCacheSize::windowStoresTheSizeHeldToItsRange_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("stored");

    QTest::newRow("in range") << "250" << true << 250 << true;
    QTest::newRow("unchanged 4096 stored again") << "4096" << true << 4096 << true;
    QTest::newRow("zero raised to 1") << "0" << true << 1 << true;
    QTest::newRow("empty raised to 1") << "" << true << 1 << true;
    QTest::newRow("above lowered to 100000") << "100001" << true << 100000 << true;
    QTest::newRow("closed changes nothing") << "250" << false << 4096 << false;
}

void TestCacheSize::windowStoresTheSizeHeldToItsRange()
{
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(int, size);
    QFETCH(bool, stored);

    std::shared_ptr<SimFirmware> device = SimRegistry::instance().add();
    {
        MainWidget window;
        auto *monitor = window.findChild<DataMonitorWidget *>();
        QCOMPARE(monitor->cacheCount(), 4096);
        // Only what the action stores counts.
        QFile::remove(cacheConfigPath());

        QString shown;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<SetCacheDialog *>(QApplication::activeModalWidget());
            if (!d)
                qFatal("the cache dialog is not open");
            auto *edit = d->findChild<QLineEdit *>(QStringLiteral("m_pLineEditCacheCount"));
            shown = edit->text();
            edit->setText(typed);
            if (accept)
                QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("m_pushButtonUpdate")),
                                  Qt::LeftButton);
            else
                d->reject();
        });
        window.findChild<QAction *>(QStringLiteral("m_pActionSet"))->trigger();

        QCOMPARE(shown, QStringLiteral("4096"));
        QCOMPARE(monitor->cacheCount(), size);
        QCOMPARE(QFile::exists(cacheConfigPath()), stored);
        if (stored)
            QCOMPARE(readCacheSize(cacheConfigPath()), size);
    }
    SimRegistry::instance().clear();
}

QTEST_MAIN(TestCacheSize)
#include "tst_cachesize.moc"
