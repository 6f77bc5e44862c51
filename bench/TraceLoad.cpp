#include "TraceLoad.h"

#include "dbc/DbcDatabase.h"
#include "monitor/DataMonitorWidget.h"
#include "trace/SignalPlot.h"
#include "trace/TraceModel.h"
#include "trace/TraceWindow.h"

#include <QDateTime>
#include <QFile>
#include <QTimer>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>

#include <time.h>

namespace {

constexpr int Messages = 120;
constexpr int SignalsPerMessage = 10;

// The demo traffic's data frames (channel, identifier, extended): see SimFirmware::demoFrame.
struct DemoId {
    int channel;
    quint32 id;
    bool extended;
};
const DemoId Demo[] = {{0, 0x0C1, false}, {1, 0x18FEF100, true}, {0, 0x3E8, false}, {1, 0x7A0, false}};

// Each message: S0-S7 one byte each, little-endian; S8 bytes 0-1 big-endian; S9 the low
// nibble of byte 0 with a value table.
QByteArray generatedDbc()
{
    QByteArray text = "VERSION \"\"\n\nNS_ :\n\nBS_:\n\nBU_: A B\n\n";
    for (int m = 0; m < Messages; ++m) {
        const bool demo = m < int(std::size(Demo));
        const quint32 id = demo ? Demo[m].id : 0x100 + quint32(m);
        const quint32 written = demo && Demo[m].extended ? 0x80000000u | id : id;
        text += "BO_ " + QByteArray::number(written) + " M" + QByteArray::number(m) + ": 8 A\n";
        for (int s = 0; s < 8; ++s)
            text += " SG_ S" + QByteArray::number(s) + " : " + QByteArray::number(s * 8)
                + "|8@1+ (0.5,0) [0|0] \"u\" B\n";
        text += " SG_ S8 : 7|16@0+ (1,0) [0|0] \"rpm\" B\n";
        text += " SG_ S9 : 0|4@1+ (1,0) [0|0] \"\" B\n";
        text += "VAL_ " + QByteArray::number(written) + " S9 0 \"Zero\" 1 \"One\" 2 \"Two\" ;\n\n";
    }
    return text;
}

// Ticks the named signal of a row, seeding the row with one frame when it is not there yet.
bool tick(TraceWindow &w, const DemoId &d, const QString &signal)
{
    TraceModel *model = w.model();
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex row = model->index(r, 0);
        if (model->index(r, TraceModel::Channel).data().toInt() != d.channel
            || model->index(r, TraceModel::Id).data().toString().toUInt(nullptr, 16) != d.id)
            continue;
        for (int s = 0; s < model->rowCount(row); ++s) {
            const QModelIndex index = model->index(s, TraceModel::Name, row);
            if (index.data().toString() == signal)
                return model->setData(index, Qt::Checked, Qt::CheckStateRole);
        }
    }
    return false;
}

} // namespace

TraceLoad::TraceLoad(DataMonitorWidget &page)
{
    // The window remembers its database in the user's settings: not the real ones here.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    const QString path = m_dir.filePath(QStringLiteral("bench.dbc"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(generatedDbc()) < 0)
        return;
    file.close();
    m_window = std::make_unique<TraceWindow>();
    if (!m_window->loadDatabase(path, true))
        return;
    // Fed and refreshed as the program does, with the CPU of each counted.
    QObject::connect(&page, &DataMonitorWidget::framesShown, m_window.get(),
                     [this](const QVector<LoggedFrame> &frames) {
                         const double t0 = threadCpuSeconds();
                         m_window->addFrames(frames);
                         m_feedCpu += threadCpuSeconds() - t0;
                     });
    m_window->resize(1060, 680);
    m_window->show();
    for (QTimer *timer : m_window->findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (QObject::disconnect(timer, &QTimer::timeout, m_window.get(), &TraceWindow::refresh)) {
            QObject::connect(timer, &QTimer::timeout, m_window.get(), [this] {
                const double t0 = threadCpuSeconds();
                m_window->refresh();
                m_refreshCpu += threadCpuSeconds() - t0;
                ++m_refreshes;
            });
        }
    }
    // One frame of each demo message, so that the rows are there to be ticked.
    QVector<LoggedFrame> seed;
    for (const DemoId &d : Demo) {
        LoggedFrame f;
        f.record.channel = d.channel;
        f.record.id = d.id;
        f.record.extended = d.extended;
        f.record.dlc = 8;
        f.record.data = QByteArray(8, '\0');
        seed.append(f);
    }
    m_window->addFrames(seed);
    m_window->refresh();
    m_ready = tick(*m_window, Demo[0], QStringLiteral("S8")) && tick(*m_window, Demo[0], QStringLiteral("S4"))
        && tick(*m_window, Demo[1], QStringLiteral("S1")) && tick(*m_window, Demo[2], QStringLiteral("S0"));
    // A full minute behind each line, as after a minute of traffic: every 10 ms a frame of
    // each plotted message, its bytes alternating between 00 and FF (two points a bucket).
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
    QVector<LoggedFrame> past;
    for (qint64 t = now - 60000000, i = 0; t < now; t += 10000, ++i) {
        for (LoggedFrame f : qAsConst(seed).mid(0, 3)) {
            f.hostMicros = t;
            f.record.data.fill(i % 2 ? '\xFF' : '\0');
            past.append(f);
        }
    }
    m_window->addFrames(past);
}

TraceLoad::~TraceLoad() = default;

QString TraceLoad::description() const
{
    return QStringLiteral("database of %1 messages, %2 signals; %3 signals plotted")
        .arg(Messages).arg(Messages * SignalsPerMessage).arg(m_window ? m_window->plot()->signalCount() : 0);
}

QString TraceLoad::state() const
{
    if (!m_window)
        return QString();
    QStringList lines;
    for (auto *s : m_window->findChild<QtCharts::QChartView *>()->chart()->series())
        lines << QString::number(static_cast<QtCharts::QLineSeries *>(s)->count());
    return QStringLiteral("%1 rows, lines of %2 points; its own CPU: feeding %3 s, %4 refreshes %5 s")
        .arg(m_window->model()->rowCount()).arg(lines.join(QStringLiteral(", ")))
        .arg(m_feedCpu, 0, 'f', 3).arg(m_refreshes).arg(m_refreshCpu, 0, 'f', 3);
}

double TraceLoad::threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
