#include "monitor/MonitorStatisticsLabel.h"

#include "monitor/MonitorStatistics.h"

#include <QDateTime>
#include <QTimer>

MonitorStatisticsLabel::MonitorStatisticsLabel(const MonitorStatistics &statistics,
                                               QWidget *parent)
    : QLabel(parent), m_statistics(statistics)
{
    setObjectName(QStringLiteral("m_pLabelStatistics"));
    setWordWrap(true); // never widens the window: a narrow one shows two lines
    m_timer = new QTimer(this);
    m_timer->setInterval(RefreshMs);
    connect(m_timer, &QTimer::timeout, this, &MonitorStatisticsLabel::refresh);
    m_timer->start();
    refresh();
}

void MonitorStatisticsLabel::refresh()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
    setText(tr("通道0：%1 帧/秒    通道1：%2 帧/秒    清空后：%3 帧    丢弃的错误传输：%4    已过滤：%5 帧")
                .arg(qRound(m_statistics.framesPerSecond(0, now)))
                .arg(qRound(m_statistics.framesPerSecond(1, now)))
                .arg(m_statistics.shownFrames())
                .arg(m_statistics.malformedTransfers())
                .arg(m_statistics.filteredFrames()));
}
