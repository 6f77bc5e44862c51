#include "trace/SignalPlot.h"

#include "trace/PlotBuffer.h"
#include "widgets/Dialogs.h"

#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <cmath>

using namespace QtCharts;

SignalPlot::SignalPlot(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SignalPlot"));
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignTop);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_axisX = new QValueAxis(m_chart);
    m_axisX->setRange(-PlotBuffer::WindowMicros / 1e6, 0);
    m_axisX->setTickCount(7);
    m_axisX->setLabelFormat(QStringLiteral("%d"));
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setRange(0, 1);
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    m_view = new QChartView(m_chart, this); // takes the chart
    m_view->setObjectName(QStringLiteral("m_pChartView"));
    m_view->setMinimumHeight(180);

    m_pPushButtonPause = new QPushButton(this);
    m_pPushButtonPause->setObjectName(QStringLiteral("m_pPushButtonPause"));
    m_pPushButtonPause->setCheckable(true);
    m_pPushButtonSavePng = new QPushButton(this);
    m_pPushButtonSavePng->setObjectName(QStringLiteral("m_pPushButtonSavePng"));
    connect(m_pPushButtonSavePng, &QPushButton::clicked, this, &SignalPlot::onSave);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pPushButtonPause);
    buttons->addWidget(m_pPushButtonSavePng);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    retranslate();
}

SignalPlot::~SignalPlot() = default;

void SignalPlot::retranslate()
{
    m_pPushButtonPause->setText(tr("暂停"));
    m_pPushButtonSavePng->setText(tr("保存为PNG"));
    m_axisX->setTitleText(tr("时间(s)"));
}

PlotBuffer *SignalPlot::addSignal(const QString &legend)
{
    auto *series = new QLineSeries;
    series->setName(legend);
    m_chart->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
    m_lines.push_back({std::make_unique<PlotBuffer>(), series});
    return m_lines.back().buffer.get();
}

void SignalPlot::removeSignal(PlotBuffer *buffer)
{
    for (auto it = m_lines.begin(); it != m_lines.end(); ++it) {
        if (it->buffer.get() == buffer) {
            m_chart->removeSeries(it->series);
            delete it->series;
            m_lines.erase(it);
            return;
        }
    }
}

void SignalPlot::clearSignals()
{
    while (!m_lines.empty())
        removeSignal(m_lines.back().buffer.get());
}

bool SignalPlot::isPaused() const { return m_pPushButtonPause->isChecked(); }

void SignalPlot::redraw(qint64 nowMicros)
{
    if (isPaused())
        return;
    double low = INFINITY, high = -INFINITY;
    QVector<QPointF> points;
    for (const Line &line : m_lines) {
        line.buffer->points(nowMicros, &points);
        for (const QPointF &p : qAsConst(points)) {
            low = qMin(low, p.y());
            high = qMax(high, p.y());
        }
        line.series->replace(points); // one update per line, not one per point
    }
    if (low > high) {
        low = 0;
        high = 1;
    } else if (low == high) {
        low -= 1;
        high += 1;
    } else {
        const double margin = (high - low) * 0.05;
        low -= margin;
        high += margin;
    }
    // A new range lays every line out again: only when the values call for it.
    if (low != m_shownLow || high != m_shownHigh) {
        m_shownLow = low;
        m_shownHigh = high;
        m_axisY->setRange(low, high);
        m_axisY->applyNiceNumbers();
    }
}

bool SignalPlot::savePng(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !m_view->grab().save(&file, "PNG") || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

void SignalPlot::onSave()
{
    const QString path = Dialogs::instance().saveFileName(this, tr("保存为PNG"), QString(),
                                                          tr("PNG图片(*.png)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!savePng(path, &error))
        Dialogs::warning(this, tr("失败"), tr("保存图片失败：%1").arg(error));
}
