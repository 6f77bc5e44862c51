#pragma once
// The live plot of the trace window: one line per ticked signal over the last minute,
// redrawn from its decimated buffer on the window's timer; a pause button freezes the
// picture (the buffers go on filling) and the chart can be saved as a PNG image.

#include <QWidget>

#include <memory>
#include <vector>

class PlotBuffer;
class QPushButton;
namespace QtCharts {
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;
} // namespace QtCharts

class SignalPlot : public QWidget {
    Q_OBJECT
public:
    explicit SignalPlot(QWidget *parent = nullptr);
    ~SignalPlot() override;

    // A new line named `legend`; its buffer is owned by the plot and lives until
    // removeSignal() or clearSignals().
    PlotBuffer *addSignal(const QString &legend);
    void removeSignal(PlotBuffer *buffer);
    void clearSignals();
    int signalCount() const { return int(m_lines.size()); }

    // Draws the minute that ends at `nowMicros` (host time, µs); nothing while paused.
    void redraw(qint64 nowMicros);
    bool isPaused() const;
    // Writes the chart as it is shown; false with the reason in `error`.
    bool savePng(const QString &path, QString *error) const;
    void retranslate();

private:
    void onSave();

    struct Line {
        std::unique_ptr<PlotBuffer> buffer;
        QtCharts::QLineSeries *series;
    };
    QtCharts::QChart *m_chart = nullptr;
    QtCharts::QChartView *m_view = nullptr;
    QtCharts::QValueAxis *m_axisX = nullptr;
    QtCharts::QValueAxis *m_axisY = nullptr;
    QPushButton *m_pPushButtonPause = nullptr;
    QPushButton *m_pPushButtonSavePng = nullptr;
    std::vector<Line> m_lines;
    double m_shownLow = 0, m_shownHigh = 1;  // the value range last given to the axis
};
