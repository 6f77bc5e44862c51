// The main window's controls, menu, texts and languages: how it is built and how it
// reads in Chinese and English. Its slots and device exchanges are in MainWidget.cpp.

#include "app/MainWidget.h"

#include "app/LanguageChoice.h"
#include "canparam/CANParamWidget.h"
#include "monitor/DataMonitorWidget.h"
#include "offline/OfflineListWidget.h"
#include "trace/TraceWindow.h"
#include "widgets/SwitchButton.h"
#include "widgets/TitleWidget.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr int EnglishMinimumWidth = 790;
constexpr int ChineseMinimumWidth = 720;
constexpr int SendTypeMinimumWidth = 95;
} // namespace

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
    // Beside the described menu, after it.
    m_pMainMenu->addSeparator();
    m_pActionTrace = m_pMainMenu->addAction(tr("信号跟踪"));
    m_pActionLoadDbc = m_pMainMenu->addAction(tr("加载DBC..."));
    m_pActionTrace->setObjectName(QStringLiteral("m_pActionTrace"));
    m_pActionLoadDbc->setObjectName(QStringLiteral("m_pActionLoadDbc"));
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
    m_pActionTrace->setText(tr("信号跟踪"));
    m_pActionLoadDbc->setText(tr("加载DBC..."));
    m_pCANParamWidget->retranslate();
    m_pOfflineListWidget->retranslate();
    m_pDataMonitorWidget->retranslate();
    m_pTraceWindow->retranslate();
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
