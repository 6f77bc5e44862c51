// The main window as a controller: its controls and menu, which bottom-row buttons each
// tab shows, the languages, the trace window following the monitor, hot-plug of the
// adapter, and keys.

#include "app/LanguageChoice.h"
#include "app/MainWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "support/Child.h"
#include "trace/TraceModel.h"
#include "trace/TraceWindow.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

class TestMainWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The trace window keeps its DBC file in the user's settings: a scratch directory here.
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        initBrantelResources();
        DeviceBackends::registerBuiltins();
        QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
    }
    void init() { m_device = SimRegistry::instance().add(); m_window = std::make_unique<MainWidget>(); }
    void cleanup() { m_window.reset(); SimRegistry::instance().clear(); m_device.reset(); }
    void startsInTheSystemLanguage();
    void controlsAndMenu();
    void bottomRowFollowsTab();
    void languageSwitch();
    void hotplugShowsDeviceName();
    void traceFollowsMonitor();
    void keysDoNotCloseOrPress();

private:
    template <typename T> T *c(const char *name) { return child<T>(m_window.get(), name); }
    QString buttonText(const char *name) { return c<QPushButton>(name)->text(); }

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
    QTemporaryDir m_config;
};

// CTest runs this function once more under LANG=en_US.UTF-8 and LANG=zh_CN.UTF-8.
void TestMainWidget::startsInTheSystemLanguage()
{
    const bool english = c<QAction>("m_pActionEnglish")->isChecked(), chinese = c<QAction>("m_pActionSimplifiedChinese")->isChecked();
    const StartLanguage start = systemStartLanguage();
    QCOMPARE(qMakePair(english, chinese), qMakePair(start == StartLanguage::English, start == StartLanguage::SimplifiedChinese));
    QCOMPARE(buttonText("m_pPushButtonConnect"), english ? QStringLiteral("Connect") : QStringLiteral("连接"));
    QCOMPARE(c<QTabWidget>("m_tabWidget")->tabText(1), english ? "Offline list" : "离线列表");
    QVERIFY(english ? m_window->minimumWidth() >= 790 : !chinese || m_window->minimumWidth() == 720);
    if (chinese) // source texts until the user picks the catalogue
        QCOMPARE(QCoreApplication::translate("MainWidget", "设置离线数据失败"), "设置离线数据失败");
}

void TestMainWidget::controlsAndMenu()
{
    QLineEdit *name = c<QLineEdit>("m_pLineEditDevName"); // read at start-up
    QVERIFY(name->isReadOnly() && name->width() >= 150 && name->text() == QStringLiteral("HLW-C2+_HL261206001"));
    QCOMPARE(c<SwitchButton>("m_pWidgetRelayModel")->size(), QSize(50, 21));
    QMenu *menu = c<QMenu>("m_pMainMenu");
    QStringList entries;
    for (QAction *a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("|") : a->text());
    QCOMPARE(entries.join(','), "设置缓存,过滤,设备信息,Language,|,关于,|,信号跟踪,加载DBC...");
    const QList<QAction *> languages = menu->actions().at(3)->menu()->actions();
    QCOMPARE(languages.size(), 2);
    for (QAction *a : languages)
        QVERIFY(a->isCheckable() && a->shortcut().isEmpty());
}

// Which bottom-row buttons each tab shows: file, CAN, offline, defaults.
void TestMainWidget::bottomRowFollowsTab()
{
    const char *buttons[] = {"m_pPushButtonSavetofile", "m_pPushButtonReadfromfile",
        "m_pushButtonReadCAN", "m_pushButtonWriteCAN", "m_pushButtonReadOffline",
        "m_pushButtonWriteOffline", "m_pPushButtonDefault"};
    const char *shown[] = {"1111001", "1100110", "0000000"};
    for (int tab : {2, 1, 0}) { // from tab 0, so that every step runs the slot
        c<QTabWidget>("m_tabWidget")->setCurrentIndex(tab);
        for (int i = 0; i < 7; ++i)
            QCOMPARE(!c<QPushButton>(buttons[i])->isHidden(), shown[tab][i] == '1');
    }
}

// English, Chinese, English again, then English once more unchecks it and keeps its texts;
// the Connect text follows the connection in either language.
void TestMainWidget::languageSwitch()
{
    QAction *english = c<QAction>("m_pActionEnglish"), *chinese = c<QAction>("m_pActionSimplifiedChinese");
    QLabel *header = c<QLabel>("m_pLabelHeader");
    const auto headerText = [header] { return header->text().replace("&nbsp;", "~"); };
    // Start-up spacing before DLC in every start-up language; a switch gives the other.
    QVERIFY2(headerText().contains("ID~~~~DLC"), qPrintable(header->text()));
    english->trigger();
    QCOMPARE(headerText(), "<font size='3'>~~~~~Direction~Channal~Time ~~  FrameFormat ~FrameType"
                           "~~~     FrameID~~~DLC ~~~FrameData</font>");
    // Wider where the texts need it.
    QVERIFY(english->isChecked() && !chinese->isChecked() && m_window->minimumWidth() >= 790);
    QCOMPARE(QStringList({buttonText("m_pushButtonReadOffline"), c<QTabWidget>("m_tabWidget")->tabText(0),
                          c<QComboBox>("m_comboBoxSendType")->itemText(1), c<QAction>("m_pActionSet")->text()}),
             QStringList({"Read offline data", "CAN Param", "Delayed TX", "Set cache"}));
    m_window->m_bConnected = true;
    chinese->trigger();
    QCOMPARE(buttonText("m_pPushButtonConnect"), QStringLiteral("断开连接"));
    QCOMPARE(headerText(), "<font size='3'>~~~~~传输方向~通道号~时间标识 ~~帧格式 ~帧类型~~~帧ID~~~DLC "
                           "~~~帧数据</font>");
    QVERIFY(chinese->isChecked() && !english->isChecked() && m_window->minimumWidth() == 720);
    QCOMPARE(c<QTabWidget>("m_tabWidget")->tabText(0), QStringLiteral("CAN参数"));
    // The Chinese catalogue now takes precedence, with its own few differing texts.
    QCOMPARE(QCoreApplication::translate("MainWidget", "设置离线数据失败"), "设置里离线数据失败");
    english->trigger();
    QCOMPARE(QCoreApplication::translate("MainWidget", "设置离线数据失败"), "Failed to set offline data");
    for (int i = 0; i < 2; ++i) { // a second trigger unchecks English and keeps its texts
        QCOMPARE(buttonText("m_pPushButtonConnect"), QStringLiteral("Disconnect"));
        QVERIFY(english->isChecked() == (i == 0) && !chinese->isChecked());
        english->trigger();
    }
}

// Removal (covered with the rest of a session end to end) and arrival: a device whose name
// is not 19 characters leaves the field as it was.
void TestMainWidget::hotplugShowsDeviceName()
{
    QLineEdit *name = c<QLineEdit>("m_pLineEditDevName");
    QSignalSpy changes(m_window.get(), &MainWidget::deviceChanged);
    m_device->setPlugged(false);
    QTRY_COMPARE(changes.count(), 1);
    QVERIFY(changes.at(0).at(0).toInt() == 1 && name->text().isEmpty());
    SimFirmware::State other;
    for (const char *serial : {"HL261206777", "SHORT"}) { // the second leaves the first's name
        other.serialNumber = serial;
        SimRegistry::instance().add(other);
        QTRY_COMPARE(changes.count(), qstrlen(serial) == 5 ? 3 : 2);
        QCOMPARE(changes.last().at(0).toInt(), 0);
        QCOMPARE(name->text(), QStringLiteral("HLW-C2+_HL261206777"));
    }
}

// The trace window gets the frames the monitor shows, past its ID filter, and is cleared
// with it.
void TestMainWidget::traceFollowsMonitor()
{
    auto *monitor = m_window->findChild<DataMonitorWidget *>();
    monitor->setIdFilter({IdFilter::ShowOnlyListed, {{0x3E8, 0x3E8}}});
    c<QPushButton>("m_pPushButtonConnect")->click();
    m_device->setStreamRate(200);
    QTest::mouseClick(c<SwitchButton>("m_pWidgetDataWatch"), Qt::LeftButton);
    TraceWindow *trace = m_window->findChild<TraceWindow *>();
    QTRY_VERIFY_WITH_TIMEOUT(monitor->session().log().runningNumber() >= 3, 5000);
    trace->refresh();
    QCOMPARE(trace->model()->rowCount(), 1); // the whole range 3E8..3E8 shown, nothing else
    QCOMPARE(trace->model()->index(0, TraceModel::Id).data().toString(), QStringLiteral("3E8"));
    QVERIFY(trace->model()->index(0, TraceModel::Count).data().toInt() >= 3);
    monitor->onActionClear();
    QCOMPARE(trace->model()->rowCount(), 0);
}

// The window stays open and no button is pressed by a key the user did not aim at it.
void TestMainWidget::keysDoNotCloseOrPress()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    int presses = 0;
    for (QPushButton *b : m_window->findChildren<QPushButton *>())
        connect(b, &QPushButton::clicked, this, [&presses] { ++presses; });
    const QPair<const char *, Qt::Key> keys[] = {
        {"the window", Qt::Key_Escape}, {"m_pLineEditDevName", Qt::Key_Return},
        {"m_comboBoxSendType", Qt::Key_Enter}, {"m_pushButtonReadCAN", Qt::Key_Return}};
    for (const auto &k : keys) {
        QWidget *target = k.first[0] == 'm' ? c<QWidget>(k.first) : m_window.get();
        target->setFocus();
        QTest::keyClick(target, k.second);
        QVERIFY2(m_window->isVisible() && presses == 0, k.first);
    }
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
