#include "app/MainWidget.h"

#include "app/DeviceIdentity.h"
#include "app/DeviceInfoDialog.h"
#include "app/Dialogs.h"
#include "app/LanguageChoice.h"
#include "app/SessionCommands.h"
#include "app/SettingsFileActions.h"
#include "canparam/CANParamWidget.h"
#include "canparam/CanParamExchange.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "filter/FilterDialog.h"
#include "monitor/CacheSizeConfig.h"
#include "monitor/DataMonitorWidget.h"
#include "monitor/SetCacheDialog.h"
#include "offline/OfflineListWidget.h"
#include "offline/OfflineDataExchange.h"
#include "widgets/AboutDialog.h"
#include "widgets/SwitchButton.h"
#include "widgets/TextFit.h"
#include "widgets/TitleWidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#if defined(Q_OS_WIN)
#include "device/win/DeviceNotification.h"
#endif

namespace {
constexpr int EnglishMinimumWidth = 790;
constexpr int ChineseMinimumWidth = 720;
constexpr int SendTypeMinimumWidth = 95;
constexpr int DevNameMinimumWidth = 150;
} // namespace

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
    m_pDataMonitorWidget->setIdFilter(&m_idFilter);
    // The display cache size kept from an earlier run.
    m_pDataMonitorWidget->setCacheCount(readCacheSize(cacheConfigPath()));
    m_tabWidget->addTab(m_pCANParamWidget, tr("CAN参数"));
    m_tabWidget->addTab(m_pOfflineListWidget, tr("离线列表"));
    m_tabWidget->addTab(m_pDataMonitorWidget, tr("数据监控"));

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
    // without this an English system would start with Chinese tab titles.
    retranslateExtras();
    retranslateUi();
}

MainWidget::~MainWidget()
{
    // Monitoring ends while the link still stands. The pages borrow the link and the
    // ID filter, which are members and would die before the child widgets do.
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

void MainWidget::setupUi()
{
    resize(706, 393);
    setWindowIcon(QIcon(QStringLiteral(":/App/Resources/app.ico")));
    QFont f = font();
    f.setPointSize(10);
    setFont(f);

    auto makeButton = [this](const char *name) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    auto makeLabel = [this](const char *name) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    auto makeSwitch = [this](const char *name) {
        auto *s = new SwitchButton(this);
        s->setObjectName(QLatin1String(name));
        s->setFixedSize(50, 21);
        return s;
    };

    m_pLabelDevName = makeLabel("m_pLabelDevName");
    m_pLineEditDevName = new QLineEdit(this);
    m_pLineEditDevName->setObjectName(QStringLiteral("m_pLineEditDevName"));
    m_pLineEditDevName->setReadOnly(true);
    m_pLineEditDevName->setFixedWidth(DevNameMinimumWidth);
    m_pPushButtonConnect = makeButton("m_pPushButtonConnect");
    m_tabWidget = new QTabWidget(this);
    m_tabWidget->setObjectName(QStringLiteral("m_tabWidget"));
    m_pPushButtonSavetofile = makeButton("m_pPushButtonSavetofile");
    m_pPushButtonReadfromfile = makeButton("m_pPushButtonReadfromfile");
    m_pPushButtonDefault = makeButton("m_pPushButtonDefault");
    m_pWidgetOfflineModeState = makeSwitch("m_pWidgetOfflineModeState");
    m_pLabelOfflineMode = makeLabel("m_pLabelOfflineMode");
    m_pLabelRelayModel = makeLabel("m_pLabelRelayModel");
    m_pWidgetRelayModel = makeSwitch("m_pWidgetRelayModel");
    m_pushButtonReadCAN = makeButton("m_pushButtonReadCAN");
    m_pushButtonWriteCAN = makeButton("m_pushButtonWriteCAN");
    m_pushButtonReadOffline = makeButton("m_pushButtonReadOffline");
    m_pushButtonWriteOffline = makeButton("m_pushButtonWriteOffline");
    m_labelSendType = makeLabel("m_labelSendType");
    m_comboBoxSendType = new QComboBox(this);
    m_comboBoxSendType->setObjectName(QStringLiteral("m_comboBoxSendType"));
    // Sized by its texts, never narrower than SendTypeMinimumWidth (retranslateExtras).
    m_comboBoxSendType->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    m_pTitleWidget = new TitleWidget(2, this);
    m_pTitleWidget->setTitle(tr("Brantel"));

    auto *topRow = new QHBoxLayout;
    topRow->addSpacing(5);
    topRow->addWidget(m_pLabelDevName);
    topRow->addWidget(m_pLineEditDevName);
    topRow->addWidget(m_pPushButtonConnect);
    topRow->addSpacing(5);
    topRow->addWidget(m_labelSendType);
    topRow->addWidget(m_comboBoxSendType);
    topRow->addSpacing(5);
    topRow->addWidget(m_pLabelOfflineMode);
    topRow->addWidget(m_pWidgetOfflineModeState);
    topRow->addSpacing(5);
    topRow->addWidget(m_pLabelRelayModel);
    topRow->addWidget(m_pWidgetRelayModel);
    topRow->addSpacing(5); // the switch's rounded end stays clear of the window's border
    topRow->addStretch();

    auto *bottomRow = new QHBoxLayout;
    bottomRow->addStretch();
    bottomRow->addWidget(m_pPushButtonSavetofile);
    bottomRow->addWidget(m_pPushButtonReadfromfile);
    bottomRow->addSpacing(10);
    bottomRow->addWidget(m_pushButtonReadCAN);
    bottomRow->addWidget(m_pushButtonWriteCAN);
    bottomRow->addSpacing(10);
    bottomRow->addWidget(m_pushButtonReadOffline);
    bottomRow->addWidget(m_pushButtonWriteOffline);
    bottomRow->addSpacing(10);
    bottomRow->addWidget(m_pPushButtonDefault);
    bottomRow->addStretch();

    // No spacing of its own: the gaps are the explicit ones above, which is what lets the
    // top row fit the minimum widths of both languages.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(m_pTitleWidget);
    layout->addSpacing(5);
    layout->addLayout(topRow);
    layout->addSpacing(10);
    layout->addWidget(m_tabWidget);
    layout->addLayout(bottomRow);
    layout->addSpacing(5);

    connect(m_pPushButtonConnect, &QPushButton::clicked, this, &MainWidget::onClickedPushButtonConnect);
    connect(m_pPushButtonSavetofile, &QPushButton::clicked, this, &MainWidget::onPushButtonSaveToFile);
    connect(m_pPushButtonReadfromfile, &QPushButton::clicked, this, &MainWidget::onPushButtonReadFromFile);
    connect(m_pPushButtonDefault, &QPushButton::clicked, this, &MainWidget::onPushButonDefault);
    connect(m_pushButtonReadCAN, &QPushButton::clicked, this, &MainWidget::onPushButtonReadCAN);
    connect(m_pushButtonWriteCAN, &QPushButton::clicked, this, &MainWidget::onPushButtonWriteCAN);
    connect(m_pushButtonReadOffline, &QPushButton::clicked, this, &MainWidget::onPushButtonReadOffline);
    connect(m_pushButtonWriteOffline, &QPushButton::clicked, this, &MainWidget::onPushButtonWriteOffline);
    connect(m_tabWidget, &QTabWidget::currentChanged, this, &MainWidget::onCurrentChangedTabWidget);
    m_tabWidget->setCurrentIndex(-1);
    retranslateUi();
}

void MainWidget::createMenu()
{
    m_pMainMenu = new QMenu(this);
    m_pMainMenu->setObjectName(QStringLiteral("m_pMainMenu"));
    m_pActionSet = m_pMainMenu->addAction(tr("设置缓存"));
    m_pActionFilter = m_pMainMenu->addAction(tr("过滤"));
    m_pActionDevInfo = m_pMainMenu->addAction(tr("设备信息"));
    QMenu *language = m_pMainMenu->addMenu(tr("Language"));
    m_pActionSimplifiedChinese = language->addAction(tr("简体中文"));
    m_pActionEnglish = language->addAction(tr("English"));
    m_pActionSet->setObjectName(QStringLiteral("m_pActionSet"));
    m_pActionFilter->setObjectName(QStringLiteral("m_pActionFilter"));
    m_pActionDevInfo->setObjectName(QStringLiteral("m_pActionDevInfo"));
    m_pActionSimplifiedChinese->setObjectName(QStringLiteral("m_pActionSimplifiedChinese"));
    m_pActionEnglish->setObjectName(QStringLiteral("m_pActionEnglish"));
    m_pActionSimplifiedChinese->setCheckable(true);
    m_pActionEnglish->setCheckable(true);
    connect(m_pActionSimplifiedChinese, &QAction::triggered, this,
            &MainWidget::onActionSimplifiedChinese);
    connect(m_pActionEnglish, &QAction::triggered, this, &MainWidget::onActionEnglish);
    m_pMainMenu->addSeparator();
    m_pActionAbout = m_pMainMenu->addAction(tr("关于"));
    m_pActionAbout->setObjectName(QStringLiteral("m_pActionAbout"));
}

void MainWidget::applyStartLanguage()
{
    switch (systemStartLanguage()) {
    case StartLanguage::English:
        m_pActionEnglish->setChecked(true);
        QCoreApplication::installTranslator(&m_translatorEn);
        fitMinimumWidth(EnglishMinimumWidth);
        break;
    case StartLanguage::SimplifiedChinese:
        // The source texts are Chinese: nothing to install until the user asks.
        m_pActionSimplifiedChinese->setChecked(true);
        fitMinimumWidth(ChineseMinimumWidth);
        break;
    case StartLanguage::Unchanged:
        break;
    }
}

void MainWidget::retranslateUi()
{
    setWindowTitle(tr("MainWidget"));
    m_pLabelDevName->setText(tr("设备名称："));
    m_pPushButtonConnect->setText(m_bConnected ? tr("断开连接") : tr("连接"));
    m_pPushButtonSavetofile->setText(tr("保存"));
    m_pPushButtonReadfromfile->setText(tr("读取"));
    m_pPushButtonDefault->setText(tr("默认值"));
    m_pLabelOfflineMode->setText(tr("离线模式"));
    m_pLabelRelayModel->setText(tr("中继模式"));
    m_pushButtonReadCAN->setText(tr("读CAN参数"));
    m_pushButtonWriteCAN->setText(tr("写CAN参数"));
    m_pushButtonReadOffline->setText(tr("读离线数据"));
    m_pushButtonWriteOffline->setText(tr("写离线数据"));
    m_labelSendType->setText(tr("发送方式"));
}

void MainWidget::retranslateExtras()
{
    m_pTitleWidget->setTitle(tr("Brantel"));
    m_tabWidget->setTabText(0, tr("CAN参数"));
    m_tabWidget->setTabText(1, tr("离线列表"));
    m_tabWidget->setTabText(2, tr("数据监控"));
    m_comboBoxSendType->setItemText(0, tr("循环发送"));
    m_comboBoxSendType->setItemText(1, tr("定时发送"));
    // Wider where a language's texts need it; set here because a combo box does not
    // recompute its own contents-based minimum when item texts change.
    m_comboBoxSendType->setMinimumWidth(
        qMax(SendTypeMinimumWidth, m_comboBoxSendType->sizeHint().width()));
    m_pActionSet->setText(tr("设置缓存"));
    m_pActionFilter->setText(tr("过滤"));
    m_pActionDevInfo->setText(tr("设备信息"));
    m_pActionAbout->setText(tr("关于"));
    m_pCANParamWidget->retranslate();
    m_pOfflineListWidget->retranslate();
    m_pDataMonitorWidget->retranslate();
}

void MainWidget::installLanguage(QTranslator &preferred, int minimumWidth)
{
    // Installed last means searched first; removing it first keeps it installed once.
    QCoreApplication::removeTranslator(&preferred);
    QCoreApplication::installTranslator(&preferred);
    retranslateExtras();
    retranslateUi();
    fitMinimumWidth(minimumWidth);
}

void MainWidget::fitMinimumWidth(int describedWidth)
{
    if (describedWidth > 0)
        m_nDescribedMinimumWidth = describedWidth;
    // The described width is a lower bound: the window grows where a language's texts or
    // a page need more, rather than squeezing a control below its text.
    layout()->activate();
    setMinimumWidth(qMax(m_nDescribedMinimumWidth, layout()->totalMinimumSize().width()));
}

bool MainWidget::event(QEvent *event)
{
    const bool handled = AbsFrameLessAutoSize::event(event);
    if (event->type() == QEvent::LayoutRequest)
        fitMinimumWidth();
    return handled;
}

void MainWidget::onActionEnglish()
{
    m_pActionSimplifiedChinese->setChecked(false);
    installLanguage(m_translatorEn, EnglishMinimumWidth);
}

void MainWidget::onActionSimplifiedChinese()
{
    m_pActionEnglish->setChecked(false);
    installLanguage(m_translatorZh, ChineseMinimumWidth);
}

void MainWidget::onCurrentChangedTabWidget(int index)
{
    const bool params = index == 0;
    const bool offline = index == 1;
    m_pPushButtonSavetofile->setVisible(params || offline);
    m_pPushButtonReadfromfile->setVisible(params || offline);
    m_pushButtonReadCAN->setVisible(params);
    m_pushButtonWriteCAN->setVisible(params);
    m_pushButtonReadOffline->setVisible(offline);
    m_pushButtonWriteOffline->setVisible(offline);
    m_pPushButtonDefault->setVisible(params);
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
    FilterDialog dialog(m_idFilter.mode, m_idFilter.ranges, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Replaced by value on the GUI thread, where the monitor applies it.
    m_idFilter = dialog.filterSettings();
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
