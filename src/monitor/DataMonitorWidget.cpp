#include "monitor/DataMonitorWidget.h"

#include "device/CWrapWinUSB.h"
#include "monitor/FrameLogFile.h"
#include "monitor/MonitorCommands.h"
#include "monitor/MonitorSession.h"
#include "monitor/MonitorStatisticsLabel.h"
#include "widgets/Dialogs.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QVBoxLayout>

using W = DataMonitorWidget;

namespace {
template <typename T> T *makeChild(QWidget *parent, const char *name)
{
    auto *child = new T(parent);
    child->setObjectName(QLatin1String(name));
    return child;
}
} // namespace

DataMonitorWidget::DataMonitorWidget(CWrapWinUSB *link, QWidget *parent)
    : QWidget(parent), m_link(link), m_session(new MonitorSession(link, this))
{
    setObjectName(QStringLiteral("DataMonitorWidget"));
    resize(711, 424);
    QFont f = font();
    f.setPointSize(10);
    setFont(f);

    m_pPushButtonSave = makeChild<QPushButton>(this, "m_pPushButtonSave");
    m_pLabelOfflineSend = makeChild<QLabel>(this, "m_pLabelOfflineSend");
    m_pWidgetOfflineSend = makeChild<SwitchButton>(this, "m_pWidgetOfflineSend");
    m_pLabelDataWatch = makeChild<QLabel>(this, "m_pLabelDataWatch");
    m_pWidgetDataWatch = makeChild<SwitchButton>(this, "m_pWidgetDataWatch");
    m_pTextEditRecords = makeChild<QTextEdit>(this, "m_pTextEditRecords");
    m_pComboBoxFrameFormat = makeChild<QComboBox>(this, "m_pComboBoxFrameFormat");
    m_pLabelHeader = makeChild<QLabel>(this, "m_pLabelHeader");
    m_pLabelStatistics = new MonitorStatisticsLabel(m_session->statistics(), this);
    for (SwitchButton *sw : {m_pWidgetOfflineSend, m_pWidgetDataWatch}) {
        sw->setFixedSize(50, 21);
        applyProgramSwitchStyle(sw);
    }
    m_pComboBoxFrameFormat->setFixedHeight(22);
    connect(m_pPushButtonSave, &QPushButton::clicked, this, &W::onPushButtonSaveWatchData);
    connect(m_pComboBoxFrameFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &W::onComboxFrameFormatIndexChanged);

    m_pMenu = new QMenu(this);
    m_pActionClear = m_pMenu->addAction(QString());

    m_pTextEditRecords->setReadOnly(true);
    m_pTextEditRecords->setAcceptRichText(false);
    m_pTextEditRecords->setUndoRedoEnabled(false);
    m_pTextEditRecords->setAcceptDrops(false);
    m_pTextEditRecords->setContextMenuPolicy(Qt::CustomContextMenu);
    m_pTextEditRecords->document()->setMaximumBlockCount(ViewLines);
    QThread::currentThread()->setPriority(QThread::HighestPriority);

    buildHeader(false);
    m_pLabelHeader->setScaledContents(true);
    m_pLabelHeader->setAlignment(Qt::AlignBottom);

    auto *top = new QHBoxLayout;
    top->addWidget(m_pLabelHeader, 0, Qt::AlignBottom);
    top->addWidget(m_pComboBoxFrameFormat);
    top->addStretch();
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    // The save button and the two switches with their labels, a gap (null) between groups.
    for (QWidget *w : std::initializer_list<QWidget *>{m_pPushButtonSave, nullptr, m_pLabelOfflineSend,
                                                       m_pWidgetOfflineSend, nullptr,
                                                       m_pLabelDataWatch, m_pWidgetDataWatch})
        w ? bottom->addWidget(w) : bottom->addSpacing(30);
    bottom->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pTextEditRecords);
    layout->addWidget(m_pLabelStatistics);
    layout->addLayout(bottom);

    m_pComboBoxFrameFormat->addItems({QStringLiteral("HEX"), QStringLiteral("ASC")});

    connect(m_pWidgetOfflineSend, &SwitchButton::checkedChanged, this,
            &W::onSwichButtonOfflineSend);
    connect(m_pWidgetDataWatch, &SwitchButton::checkedChanged, this, &W::onSwichButtonDataWatch);
    connect(m_session, &MonitorSession::linesReady, this, &W::AppendData);
    connect(this, &W::AppendData, this, &W::onAppendData);
    connect(m_pTextEditRecords, &QWidget::customContextMenuRequested, this,
            &W::onCustomContextMenuRequested);
    connect(m_pActionClear, &QAction::triggered, this, &W::onActionClear);
    connect(m_session, &MonitorSession::saveFinished, this, &W::onSaveFinished);
    connect(this, &W::endSave, this, &W::onEndSave);
    setTexts();
}

void DataMonitorWidget::buildHeader(bool atLanguageChange)
{
    const QStringList columns{tr("传输方向"), tr("通道号"), tr("时间标识"), tr("帧格式"),
                              tr("帧类型"),   tr("帧ID"),   tr("帧数据")};
    m_pLabelHeader->setText(monitorHeader(columns, atLanguageChange));
}

void DataMonitorWidget::setTexts()
{
    setWindowTitle(tr("DataMonitorWidget"));
    m_pPushButtonSave->setText(tr("保存数据"));
    m_pLabelOfflineSend->setText(tr("离线发送"));
    m_pLabelDataWatch->setText(tr("数据监控"));
    m_pActionClear->setText(tr("清空"));
}

void DataMonitorWidget::retranslate(bool atLanguageChange)
{
    setTexts();
    buildHeader(atLanguageChange);
    m_session->setNames(translatedMonitorNames());
    m_pLabelStatistics->refresh();
}

void DataMonitorWidget::onSwichButtonDataWatch(bool bSelect)
{
    if (!m_link || !m_link->isOpen()) {
        Dialogs::information(this, tr("提示"), tr("设备未连接"));
        m_pWidgetDataWatch->setCheckedSilently(false);
        return;
    }
    if (bSelect)
        emit signalStartWatch();
    else
        emit signalStopWatch();
    if (!m_session->setMonitoring(bSelect))
        Dialogs::information(this, tr("提示"), tr("设置失败"));
}

void DataMonitorWidget::closeWatch()
{
    m_pWidgetDataWatch->setCheckedSilently(false);
    onSwichButtonDataWatch(false);
    m_session->end();
    m_pTextEditRecords->clear();
    m_pLabelStatistics->refresh();
}

void DataMonitorWidget::onAppendData(QString strData)
{
    QScrollBar *bar = m_pTextEditRecords->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextDocument *doc = m_pTextEditRecords->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!doc->isEmpty())
        cursor.insertBlock();
    cursor.insertText(strData); // plain text: each "\n" starts a new block
    cursor.endEditBlock();
    if (atBottom)
        bar->setValue(bar->maximum());
}

void DataMonitorWidget::onCustomContextMenuRequested(const QPoint &)
{
    m_pMenu->exec(QCursor::pos());
}

void DataMonitorWidget::onActionClear()
{
    m_session->clear();
    m_pTextEditRecords->clear();
    m_pLabelStatistics->refresh();
}

void DataMonitorWidget::onSwichButtonOfflineSend(bool bSelect)
{
    if (!m_link || !m_link->isOpen()) {
        Dialogs::information(this, tr("提示"), tr("设备未连接"));
        m_pWidgetOfflineSend->setCheckedSilently(false);
        return;
    }
    if (!MonitorCommands::setOfflineSend(*m_link, bSelect))
        Dialogs::information(this, tr("提示"), tr("设置离线发送失败"));
}

void DataMonitorWidget::onPushButtonSaveWatchData()
{
    m_session->showPendingLines();
    if (m_pTextEditRecords->document()->isEmpty()) {
        Dialogs::information(this, tr("提示"), tr("没有监控数据"));
        return;
    }
    QString type;
    const QString path = Dialogs::instance().saveFileName(
        this, tr("保存监控数据"), QString(), tr("TXT文件(*.txt)") + frameLogFileFilters(), &type);
    if (path.isEmpty())
        return;
    const MonitorSaveFormat format = saveFormatForFilter(type);
    m_session->save(pathForFormat(path, format), format);
}

void DataMonitorWidget::onSaveFinished(bool written, const QString &error)
{
    if (written)
        emit endSave();
    else
        Dialogs::warning(this, tr("失败"), tr("写监控数据失败.") + error);
}

void DataMonitorWidget::onEndSave() { Dialogs::information(this, tr("提示"), tr("保存成功")); }
