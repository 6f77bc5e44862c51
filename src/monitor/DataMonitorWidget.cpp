#include "monitor/DataMonitorWidget.h"

#include "device/CWrapWinUSB.h"
#include "device/Exchange.h"
#include "filter/IdFilter.h"
#include "monitor/FrameLogFile.h"
#include "monitor/MonitorLogFile.h"
#include "monitor/MonitorReceiver.h"
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
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// Transfers formatted per pass of the event loop: a backlog is worked off in slices so
// the window keeps answering.
constexpr int MaxTransfersPerFlush = 2000;
} // namespace

DataMonitorWidget::DataMonitorWidget(CWrapWinUSB *link, QWidget *parent)
    : QWidget(parent), m_link(link)
{
    setObjectName(QStringLiteral("DataMonitorWidget"));
    resize(711, 424);
    QFont f = font();
    f.setPointSize(10);
    setFont(f);

    m_pPushButtonSave = new QPushButton(this);
    m_pPushButtonSave->setObjectName(QStringLiteral("m_pPushButtonSave"));
    m_pLabelOfflineSend = new QLabel(this);
    m_pLabelOfflineSend->setObjectName(QStringLiteral("m_pLabelOfflineSend"));
    m_pWidgetOfflineSend = new SwitchButton(this);
    m_pWidgetOfflineSend->setObjectName(QStringLiteral("m_pWidgetOfflineSend"));
    m_pLabelDataWatch = new QLabel(this);
    m_pLabelDataWatch->setObjectName(QStringLiteral("m_pLabelDataWatch"));
    m_pWidgetDataWatch = new SwitchButton(this);
    m_pWidgetDataWatch->setObjectName(QStringLiteral("m_pWidgetDataWatch"));
    m_pTextEditRecords = new QTextEdit(this);
    m_pTextEditRecords->setObjectName(QStringLiteral("m_pTextEditRecords"));
    m_pComboBoxFrameFormat = new QComboBox(this);
    m_pComboBoxFrameFormat->setObjectName(QStringLiteral("m_pComboBoxFrameFormat"));
    m_pLabelHeader = new QLabel(this);
    m_pLabelHeader->setObjectName(QStringLiteral("m_pLabelHeader"));
    m_pLabelStatistics = new MonitorStatisticsLabel(this);
    for (SwitchButton *sw : {m_pWidgetOfflineSend, m_pWidgetDataWatch})
        sw->setFixedSize(50, 21);
    m_pComboBoxFrameFormat->setFixedHeight(22);
    connect(m_pPushButtonSave, &QPushButton::clicked, this,
            &DataMonitorWidget::onPushButtonSaveWatchData);
    connect(m_pComboBoxFrameFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DataMonitorWidget::onComboxFrameFormatIndexChanged);

    fillNames();

    m_pMenu = new QMenu(this);
    m_pActionClear = m_pMenu->addAction(tr("清空"));

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
    bottom->addWidget(m_pPushButtonSave);
    bottom->addSpacing(30);
    bottom->addWidget(m_pLabelOfflineSend);
    bottom->addWidget(m_pWidgetOfflineSend);
    bottom->addSpacing(30);
    bottom->addWidget(m_pLabelDataWatch);
    bottom->addWidget(m_pWidgetDataWatch);
    bottom->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pTextEditRecords);
    layout->addWidget(m_pLabelStatistics);
    layout->addLayout(bottom);

    m_pComboBoxFrameFormat->addItem(QStringLiteral("HEX"));
    m_pComboBoxFrameFormat->addItem(QStringLiteral("ASC"));
    for (SwitchButton *sw : {m_pWidgetOfflineSend, m_pWidgetDataWatch})
        applyProgramSwitchStyle(sw);

    connect(m_pWidgetOfflineSend, &SwitchButton::checkedChanged, this,
            &DataMonitorWidget::onSwichButtonOfflineSend);
    connect(m_pWidgetDataWatch, &SwitchButton::checkedChanged, this,
            &DataMonitorWidget::onSwichButtonDataWatch);
    connect(this, &DataMonitorWidget::AppendData, this, &DataMonitorWidget::onAppendData);
    connect(m_pTextEditRecords, &QWidget::customContextMenuRequested, this,
            &DataMonitorWidget::onCustomContextMenuRequested);
    connect(m_pActionClear, &QAction::triggered, this, &DataMonitorWidget::onActionClear);
    connect(this, &DataMonitorWidget::endSave, this, &DataMonitorWidget::onEndSave);

    m_receiver = new MonitorReceiver(link, this);
    m_flushTimer = new QTimer(this);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(FlushIntervalMs);
    connect(m_receiver, &MonitorReceiver::transfersReady, this,
            &DataMonitorWidget::onTransfersReady, Qt::QueuedConnection);
    connect(m_flushTimer, &QTimer::timeout, this, &DataMonitorWidget::flush);

    setWindowTitle(tr("DataMonitorWidget"));
    m_pPushButtonSave->setText(tr("保存数据"));
    m_pLabelOfflineSend->setText(tr("离线发送"));
    m_pLabelDataWatch->setText(tr("数据监控"));
}

DataMonitorWidget::~DataMonitorWidget()
{
    m_receiver->stop();
    reapSaves(true);
}

void DataMonitorWidget::setIdFilter(IdFilter *filter)
{
    // Read on this thread only, when transfers are formatted: replacing it cannot race.
    m_idFilter = filter;
    m_log.setFilter(filter);
}

void DataMonitorWidget::setCacheCount(int count) { m_log.setCacheSize(count); }

void DataMonitorWidget::buildHeader(bool atLanguageChange)
{
    const QStringList columns{tr("传输方向"), tr("通道号"), tr("时间标识"), tr("帧格式"),
                              tr("帧类型"),   tr("帧ID"),   tr("帧数据")};
    m_pLabelHeader->setText(monitorHeader(columns, atLanguageChange));
}

void DataMonitorWidget::fillNames() { m_log.setNames(translatedMonitorNames()); }

void DataMonitorWidget::retranslate()
{
    setWindowTitle(tr("DataMonitorWidget"));
    buildHeader(true);
    fillNames();
    m_pPushButtonSave->setText(tr("保存数据"));
    m_pLabelOfflineSend->setText(tr("离线发送"));
    m_pLabelDataWatch->setText(tr("数据监控"));
    m_pActionClear->setText(tr("清空"));
    m_pLabelStatistics->refresh();
}

// --- monitoring -----------------------------------------------------------------------

void DataMonitorWidget::onSwichButtonDataWatch(bool bSelect)
{
    if (!m_link || !m_link->isOpen()) {
        Dialogs::information(this, tr("提示"), tr("设备未连接"));
        m_pWidgetDataWatch->setCheckedSilently(false);
        return;
    }
    if (bSelect) {
        emit signalStartWatch();
        m_receiver->start(); // before the device starts reporting, so nothing is missed
    } else {
        emit signalStopWatch();
    }
    // The write is not checked: the reply judges.
    if (!Protocol::exchange(*m_link, CommandId::SetMonitoring, Protocol::setMonitoring(bSelect))
             .passed)
        Dialogs::information(this, tr("提示"), tr("设置失败"));
}

void DataMonitorWidget::closeWatch()
{
    m_pWidgetDataWatch->setCheckedSilently(false);
    onSwichButtonDataWatch(false);
    m_receiver->stop();
    m_receiver->discardTransfers();
    m_flushTimer->stop();
    onActionClear();
}

void DataMonitorWidget::onTransfersReady()
{
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void DataMonitorWidget::flush()
{
    m_flushing = true;
    onShowOfflineData(MaxTransfersPerFlush);
    m_flushing = false;
    showPendingLines();
    if (m_receiver->queuedTransfers() > 0) // a backlog: the next slice right away
        m_flushTimer->start(0);
    else
        m_flushTimer->setInterval(FlushIntervalMs);
}

void DataMonitorWidget::onShowOfflineData(int limit)
{
    const QVector<MonitorReceiver::Transfer> transfers = m_receiver->takeTransfers(limit);
    QVector<LoggedFrame> shown;
    QVector<MonitorRecord> records;
    for (const MonitorReceiver::Transfer &t : transfers) {
        m_pLabelStatistics->addTransfer(t.bytes, t.hostTimeMs * 1000, m_idFilter);
        const QString block = m_log.addTransfer(t.bytes, t.hostTimeMs);
        if (block.isEmpty())
            continue;
        emit AppendData(block);
        decodeTransfer(t.bytes, &records);
        for (const MonitorRecord &r : qAsConst(records)) {
            if (!m_idFilter || m_idFilter->accepts(qint32(r.id)))
                shown.append({t.hostTimeMs * 1000, r});
        }
    }
    if (!shown.isEmpty())
        emit framesShown(shown);
}

void DataMonitorWidget::onAppendData(QString strData)
{
    m_pendingLines += strData.count(QLatin1Char('\n')) + 1;
    m_pendingBlocks.append(strData);
    // Blocks the view would scroll out before it is drawn are never added to it.
    while (m_pendingBlocks.size() > 1) {
        const int firstLines = m_pendingBlocks.first().count(QLatin1Char('\n')) + 1;
        if (m_pendingLines - firstLines < ViewLines)
            break;
        m_pendingLines -= firstLines;
        m_pendingBlocks.removeFirst();
    }
    if (!m_flushing && !m_flushTimer->isActive())
        m_flushTimer->start();
}

void DataMonitorWidget::showPendingLines()
{
    if (m_pendingBlocks.isEmpty())
        return;
    QString text = m_pendingBlocks.join(QLatin1Char('\n'));
    for (int extra = m_pendingLines - ViewLines; extra > 0; --extra)
        text.remove(0, text.indexOf(QLatin1Char('\n')) + 1);
    m_pendingBlocks.clear();
    m_pendingLines = 0;

    QScrollBar *bar = m_pTextEditRecords->verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    QTextDocument *doc = m_pTextEditRecords->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    if (!doc->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text); // plain text: each "\n" starts a new block
    cursor.endEditBlock();
    if (atBottom)
        bar->setValue(bar->maximum());
}

void DataMonitorWidget::onComboxFrameFormatIndexChanged(int index)
{
    m_log.setDisplayMode(index);
}

void DataMonitorWidget::onCustomContextMenuRequested(const QPoint &)
{
    m_pMenu->exec(QCursor::pos());
}

void DataMonitorWidget::onActionClear()
{
    m_pendingBlocks.clear();
    m_pendingLines = 0;
    m_pTextEditRecords->clear();
    m_log.clear();
    m_pLabelStatistics->clear();
    emit cleared();
}

// --- offline send ---------------------------------------------------------------------

bool DataMonitorWidget::isOfflineSendOn() const { return m_pWidgetOfflineSend->isChecked(); }

void DataMonitorWidget::setOfflineSend(bool on) { m_pWidgetOfflineSend->setChecked(on); }

void DataMonitorWidget::onSwichButtonOfflineSend(bool bSelect)
{
    if (!m_link || !m_link->isOpen()) {
        Dialogs::information(this, tr("提示"), tr("设备未连接"));
        m_pWidgetOfflineSend->setCheckedSilently(false);
        return;
    }
    if (!Protocol::exchange(*m_link, CommandId::SetOfflineSend, Protocol::setOfflineSend(bSelect))
             .passed)
        Dialogs::information(this, tr("提示"), tr("设置离线发送失败"));
}

// --- saving ---------------------------------------------------------------------------

void DataMonitorWidget::onPushButtonSaveWatchData()
{
    showPendingLines();
    if (m_pTextEditRecords->document()->isEmpty()) {
        Dialogs::information(this, tr("提示"), tr("没有监控数据"));
        return;
    }
    const QString path = Dialogs::instance().saveFileName(this, tr("保存监控数据"), QString(),
                                                          tr("TXT文件(*.txt)") + frameLogFileFilters());
    if (path.isEmpty())
        return;
    reapSaves(false);
    // The thread writes the cache as it is now; the monitor goes on meanwhile.
    const TransferCache entries = m_log.cache();
    auto done = std::make_shared<std::atomic<bool>>(false);
    const MonitorSaveFormat format = saveFormatForPath(path);
    m_saves.push_back({std::thread([this, path, entries, format, done] {
                           QString error;
                           const bool written = format == MonitorSaveFormat::Text
                               ? writeMonitorLog(path, entries, &error)
                               : writeFrameLog(path, entries, format, &error);
                           if (written) {
                               emit endSave();
                           } else {
                               QMetaObject::invokeMethod(
                                   this,
                                   [this, error] {
                                       Dialogs::warning(this, tr("失败"),
                                                        tr("写监控数据失败.") + error);
                                   },
                                   Qt::QueuedConnection);
                           }
                           *done = true;
                       }),
                       done});
}

void DataMonitorWidget::onEndSave() { Dialogs::information(this, tr("提示"), tr("保存成功")); }

void DataMonitorWidget::reapSaves(bool all)
{
    for (auto it = m_saves.begin(); it != m_saves.end();) {
        if (all || *it->done) {
            it->thread.join();
            it = m_saves.erase(it);
        } else {
            ++it;
        }
    }
}
