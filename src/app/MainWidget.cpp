#include "app/MainWidget.h"

#include "app/DeviceIdentity.h"
#include "app/DeviceInfoDialog.h"
#include "app/SessionCommands.h"
#include "app/SettingsFileActions.h"
#include "canparam/CanParamExchange.h"
#include "canparam/CANParamWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "filter/FilterDialog.h"
#include "monitor/CacheSizeConfig.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/SetCacheDialog.h"
#include "offline/OfflineDataExchange.h"
#include "offline/OfflineListWidget.h"
#include "trace/TraceWindow.h"
#include "widgets/AboutDialog.h"
#include "widgets/Dialogs.h"
#include "widgets/SwitchButton.h"
#include "widgets/TextFit.h"
#include "widgets/TitleWidget.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

#if defined(Q_OS_WIN)
#include "device/win/DeviceNotification.h"
#endif

MainWidget::MainWidget(QWidget *parent) : AbsFrameLessAutoSize(parent)
{
    setMainWindowKeys(true);
    setupUi();

    applyProgramSwitchStyle(m_pWidgetOfflineModeState);
    applyProgramSwitchStyle(m_pWidgetRelayModel);

    createMenu();

    m_translatorEn.load(QStringLiteral(":/Language/Resources/brantel_en.qm"));
    m_translatorZh.load(QStringLiteral(":/Language/Resources/brantel_zh.qm"));

    m_comboBoxSendType->addItem(tr("循环发送"));
    m_comboBoxSendType->addItem(tr("定时发送"));

    m_link = std::make_shared<CWrapWinUSB>();
    m_pDataMonitorWidget = new DataMonitorWidget(m_link.get());
    m_pCANParamWidget = new CANParamWidget;
    m_pOfflineListWidget = new OfflineListWidget;
    // The display cache size kept from an earlier run.
    m_pDataMonitorWidget->setCacheCount(readCacheSize(cacheConfigPath()));
    m_tabWidget->addTab(m_pCANParamWidget, tr("CAN参数"));
    m_tabWidget->addTab(m_pOfflineListWidget, tr("离线列表"));
    m_tabWidget->addTab(m_pDataMonitorWidget, tr("数据监控"));

    // The trace window shows what the monitor shows and is cleared with it.
    m_pTraceWindow = new TraceWindow(this);
    const MonitorSession *monitor = &m_pDataMonitorWidget->session();
    connect(monitor, &MonitorSession::framesReceived, m_pTraceWindow,
            [this](const QVector<ReceivedFrame> &frames) {
                m_pTraceWindow->addFrames(passedFrames(frames));
            });
    connect(monitor, &MonitorSession::cleared, m_pTraceWindow, &TraceWindow::clear);
    connect(m_pActionTrace, &QAction::triggered, this, [this] {
        m_pTraceWindow->show();
        m_pTraceWindow->raise();
        m_pTraceWindow->activateWindow();
    });
    connect(m_pActionLoadDbc, &QAction::triggered, m_pTraceWindow, &TraceWindow::chooseDatabase);
    m_pTraceWindow->restoreDatabase();

    showDeviceName();

    connect(m_pWidgetOfflineModeState, &SwitchButton::checkedChanged, this,
            &MainWidget::onSwichButtonOfflineModelState);
    connect(m_pWidgetRelayModel, &SwitchButton::checkedChanged, this,
            &MainWidget::onSwichButtonRelayModelState);
    connect(m_pTitleWidget, &TitleWidget::showMin, this, &QWidget::showMinimized);
    connect(m_pTitleWidget, &TitleWidget::showMainMenu, this, &MainWidget::onShowMainMenu);
    connect(m_pTitleWidget, &TitleWidget::closeWidget, this, &MainWidget::onCloseWidget);
    connect(m_pTitleWidget, &TitleWidget::LeftDoubleClick, this, &MainWidget::onLeftDoubleClick);
    connect(m_pActionAbout, &QAction::triggered, this, &MainWidget::onActionAbout);
    connect(m_pActionSet, &QAction::triggered, this, &MainWidget::onActionSet);
    connect(m_pActionFilter, &QAction::triggered, this, &MainWidget::onAcitonFilter);
    connect(m_pActionDevInfo, &QAction::triggered, this, &MainWidget::onActionDevInfo);
    connect(m_pDataMonitorWidget, &DataMonitorWidget::signalStartWatch, this,
            &MainWidget::onStartWatch);
    connect(m_pDataMonitorWidget, &DataMonitorWidget::signalStopWatch, this,
            &MainWidget::onStopWatch);
    connect(this, &MainWidget::deviceChanged, this, &MainWidget::onDeviceChanged);

    // Arrival and removal come from the backend's hot-plug source, or on Windows from
    // the device broadcasts that reach nativeEvent.
    m_pHotplugSource = DeviceBackends::createHotplugSource(this);
    if (m_pHotplugSource)
        connect(m_pHotplugSource, &HotplugSource::deviceChanged, this, &MainWidget::deviceChanged);
#if defined(Q_OS_WIN)
    if (!m_pHotplugSource)
        m_deviceNotification = registerAdapterNotifications(reinterpret_cast<void *>(winId()));
#endif

    applyStartLanguage();
    // The tabs, send types and menu texts were set before a translator was installed;
    // without this an English system would start with Chinese tab titles. Not yet a
    // language change: the monitor's header keeps its start-up spacing.
    retranslateExtras(false);
    retranslateUi();
}

MainWidget::~MainWidget()
{
    // Monitoring ends while the link still stands. The pages borrow the link, a member
    // that would die before the child widgets do.
    if (m_bConnected && m_link->isOpen())
        m_pDataMonitorWidget->closeWatch();
    delete m_pDataMonitorWidget;
    delete m_pOfflineListWidget;
    delete m_pCANParamWidget;
    m_pDataMonitorWidget = nullptr;
    m_pOfflineListWidget = nullptr;
    m_pCANParamWidget = nullptr;
#if defined(Q_OS_WIN)
    if (m_deviceNotification)
        unregisterAdapterNotifications(m_deviceNotification);
#endif
    QCoreApplication::removeTranslator(&m_translatorEn);
    QCoreApplication::removeTranslator(&m_translatorZh);
}

void MainWidget::onShowMainMenu()
{
    m_pMainMenu->exec(mapToGlobal(QPoint(rect().right() - 120, rect().top() + 25)));
}

void MainWidget::onShowMin() {}

void MainWidget::onLeftDoubleClick()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWidget::onCloseWidget() { QCoreApplication::quit(); }

void MainWidget::onStartWatch() { m_pActionSet->setEnabled(false); }

void MainWidget::onStopWatch() { m_pActionSet->setEnabled(true); }

void MainWidget::onActionAbout()
{
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWidget::showDeviceName()
{
    const DeviceIdentity id = readDeviceIdentity();
    const QString name = displayableDeviceName(id.name);
    // A failed read keeps the field, and with it the values Connect checks for that name.
    if (name.isNull())
        return;
    m_pLineEditDevName->setText(name);
    // Wider for a name that would not fit: its two ends tell the model and the unit.
    m_pLineEditDevName->setFixedWidth(
        qMax(DevNameMinimumWidth, TextFit::lineEditWidthFor(m_pLineEditDevName, name)));
    m_strDevType = id.deviceType;
    m_strFirmwareVer = id.firmwareVersion;
}

void MainWidget::onDeviceChanged(int code)
{
    if (code == 0) {
        showDeviceName();
    } else if (code == 1) {
        m_link->close(); // waits until no thread is inside the link
        m_pLineEditDevName->clear();
        m_bConnected = false;
        m_pPushButtonConnect->setText(tr("连接"));
    }
}

bool MainWidget::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(result) // never written: the toolkit handles every message as usual
#if defined(Q_OS_WIN)
    const int code = eventType == "windows_generic_MSG" ? adapterDeviceChange(message) : -1;
    if (code >= 0)
        emit deviceChanged(code);
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
#endif
    return false;
}

void MainWidget::paintEvent(QPaintEvent *event) { AbsFrameLessAutoSize::paintEvent(event); }

void MainWidget::onPushButtonReadCAN()
{
    CanParamExchange::readCan(*m_link, *m_pCANParamWidget, m_pushButtonReadCAN, this);
}

void MainWidget::onPushButtonWriteCAN()
{
    CanParamExchange::writeCan(*m_link, *m_pCANParamWidget, m_pushButtonWriteCAN, this);
}

void MainWidget::onActionSet()
{
    SetCacheDialog dialog(m_pDataMonitorWidget->cacheCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int size = clampCacheSize(dialog.cacheSize());
    m_pDataMonitorWidget->setCacheCount(size);
    writeCacheSize(cacheConfigPath(), size);
}

void MainWidget::onAcitonFilter()
{
    const IdFilter &current = m_pDataMonitorWidget->idFilter();
    FilterDialog dialog(current.mode, current.ranges, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The monitor's own copy is replaced on the GUI thread, where it is applied.
    m_pDataMonitorWidget->setIdFilter(dialog.filterSettings());
}

// --- connection -------------------------------------------------------------------

void MainWidget::hint(const QString &text) { Dialogs::information(this, tr("提示"), text); }

void MainWidget::onClickedPushButtonConnect()
{
    if (m_bConnected)
        disconnectDevice();
    else
        connectDevice();
}

void MainWidget::connectDevice()
{
    if (m_pLineEditDevName->text().isEmpty()) {
        hint(tr("设备不存在"));
        return;
    }
    if (!isSupportedDevice(m_strDevType, m_strFirmwareVer)) {
        hint(tr("程序不支持此硬件"));
        return;
    }
    if (!m_link->open(DeviceInterfaceGuid)) {
        m_link->close();
        hint(tr("连接失败"));
        return;
    }
    m_bConnected = true;
    m_pPushButtonConnect->setText(tr("断开连接"));

    int channals = 0;
    if (!SessionCommands::readChannalCount(*m_link, &channals)) {
        closeConnection();
        hint(tr("读取通道个数失败"));
        return;
    }
    m_nChannalCount = channals;
    // Replaces the tabs a removal left, so a reconnection shows each channel once.
    m_pCANParamWidget->addChannalTabs(m_nChannalCount);

    SessionCommands::ModeState mode;
    if (!SessionCommands::readModeState(*m_link, &mode)) {
        closeConnection();
        hint(tr("获取离线模式数据失败"));
        return;
    }
    m_nOfflineCount = mode.storedCount;
    m_pWidgetOfflineModeState->setCheckedSilently(mode.offlineMode);
    m_pWidgetRelayModel->setCheckedSilently(mode.relayMode);
    // A send type that names no item leaves the combo box as it was.
    if (mode.sendType >= 0 && mode.sendType < m_comboBoxSendType->count())
        m_comboBoxSendType->setCurrentIndex(mode.sendType);
    m_pOfflineListWidget->initList(m_nChannalCount, mode.capacity, mode.storedCount);
}

// The link closed again, never left open while not connected.
void MainWidget::closeConnection()
{
    m_link->close();
    m_bConnected = false;
    m_pPushButtonConnect->setText(tr("连接"));
}

void MainWidget::disconnectDevice()
{
    m_pDataMonitorWidget->closeWatch();
    closeConnection();
    m_pCANParamWidget->removeAllTabs();
    m_pOfflineListWidget->clearList();
}

// --- operating modes ----------------------------------------------------------------

void MainWidget::onSwichButtonOfflineModelState(bool on)
{
    if (!m_bConnected) {
        hint(tr("设备未连接."));
        return;
    }
    if (!SessionCommands::setOfflineMode(*m_link, on, m_comboBoxSendType->currentIndex())) {
        hint(tr("设置离线模式失败."));
        return;
    }
    // The two modes exclude each other, on the device as on the screen.
    if (on && m_pWidgetRelayModel->isChecked()) {
        m_pWidgetRelayModel->setCheckedSilently(false);
        onSwichButtonRelayModelState(false);
    }
}

void MainWidget::onSwichButtonRelayModelState(bool on)
{
    if (!m_bConnected) {
        hint(tr("设备未连接."));
        return;
    }
    if (!SessionCommands::setRelayMode(*m_link, on)) {
        hint(tr("设置中继失败"));
        return;
    }
    if (on && m_pWidgetOfflineModeState->isChecked()) {
        m_pWidgetOfflineModeState->setCheckedSilently(false);
        onSwichButtonOfflineModelState(false);
    }
}

// --- device information -------------------------------------------------------------

void MainWidget::onActionDevInfo()
{
    if (!m_link->isOpen()) {
        hint(tr("设备未连接"));
        return;
    }
    DeviceInfoDialog dialog(m_nChannalCount, m_link.get(), this);
    dialog.exec();
}

// --- settings file ------------------------------------------------------------------

void MainWidget::onPushButtonSaveToFile()
{
    if (!m_bConnected) {
        hint(tr("设备未连接."));
        return;
    }
    SettingsFileActions(*m_pCANParamWidget, *m_pOfflineListWidget, *m_comboBoxSendType, this)
        .save();
}

void MainWidget::onPushButtonReadFromFile()
{
    if (!m_bConnected) {
        hint(tr("设备未连接."));
        return;
    }
    SettingsFileActions(*m_pCANParamWidget, *m_pOfflineListWidget, *m_comboBoxSendType, this)
        .read();
}

void MainWidget::onPushButonDefault()
{
    SettingsFileActions(*m_pCANParamWidget, *m_pOfflineListWidget, *m_comboBoxSendType, this)
        .resetShownChannals();
}

// --- offline data -------------------------------------------------------------------

void MainWidget::onPushButtonReadOffline()
{
    OfflineDataExchange::readOffline(*m_link, *m_pOfflineListWidget, m_pushButtonReadOffline,
                                     this);
}

void MainWidget::onPushButtonWriteOffline()
{
    OfflineDataExchange::writeOffline(*m_link, *m_pOfflineListWidget, *m_pDataMonitorWidget,
                                      m_pushButtonWriteOffline, this);
}
