#include "trace/TraceWindow.h"

#include "dbc/DbcParser.h"
#include "trace/SignalPlot.h"
#include "trace/TraceModel.h"
#include "trace/TraceTable.h"
#include "widgets/Dialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QSettings>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
// The user's own settings (not Config.ini, which may sit beside a portable executable).
QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantel"),
                     QStringLiteral("Brantel"));
}
} // namespace

TraceWindow::TraceWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_table(std::make_unique<TraceTable>())
{
    setObjectName(QStringLiteral("TraceWindow"));
    m_model = new TraceModel(m_table.get(), this);
    m_pLabelDatabase = new QLabel(this);
    m_pLabelDatabase->setObjectName(QStringLiteral("m_pLabelDatabase"));
    m_pTreeViewTrace = new QTreeView(this);
    m_pTreeViewTrace->setObjectName(QStringLiteral("m_pTreeViewTrace"));
    m_pTreeViewTrace->setModel(m_model);
    m_pTreeViewTrace->setUniformRowHeights(true);
    m_pTreeViewTrace->setAlternatingRowColors(true);
    m_pTreeViewTrace->header()->setStretchLastSection(true);
    m_plot = new SignalPlot(this);

    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(m_pTreeViewTrace);
    splitter->addWidget(m_plot);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pLabelDatabase);
    layout->addWidget(splitter, 1);
    resize(1060, 680);

    m_timer = new QTimer(this);
    m_timer->setInterval(RefreshIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &TraceWindow::refresh);
    connect(m_model, &TraceModel::plotToggled, this, &TraceWindow::onPlotToggled);
    retranslate();
}

TraceWindow::~TraceWindow()
{
    // The view and the model read the table and the database, members that are gone before
    // the children would be deleted.
    delete m_pTreeViewTrace;
    delete m_model;
}

void TraceWindow::retranslate()
{
    setWindowTitle(tr("信号跟踪"));
    showDatabaseInfo();
    m_model->retranslate();
    m_plot->retranslate();
    // Room for the data, and never less than the header's own text needs.
    static const int widths[TraceModel::ColumnCount] = {180, 50, 80, 70, 80, 100, 40, 170, 60, 80, 100};
    QHeaderView *header = m_pTreeViewTrace->header();
    for (int c = 0; c < TraceModel::ColumnCount; ++c)
        header->resizeSection(c, qMax(widths[c], header->sectionSizeHint(c)));
}

void TraceWindow::showDatabaseInfo()
{
    if (!m_db) {
        m_pLabelDatabase->setText(tr("未加载DBC数据库"));
        return;
    }
    int signalCount = 0;
    for (const DbcMessage &m : m_db->messages())
        signalCount += m.signalList.size();
    m_pLabelDatabase->setText(tr("DBC数据库：%1（%2个报文，%3个信号）")
                                  .arg(QFileInfo(m_dbPath).fileName(),
                                       QString::number(m_db->messages().size()),
                                       QString::number(signalCount)));
    m_pLabelDatabase->setToolTip(QDir::toNativeSeparators(m_dbPath));
}

void TraceWindow::chooseDatabase()
{
    const QString path = Dialogs::instance().openFileName(this, tr("加载DBC"), m_dbPath,
                                                          tr("DBC文件(*.dbc)"));
    if (!path.isEmpty())
        loadDatabase(path);
}

bool TraceWindow::loadDatabase(const QString &path, bool quiet)
{
    auto db = std::make_unique<DbcDatabase>();
    QString error;
    if (!loadDbcFile(path, db.get(), &error)) {
        if (!quiet)
            Dialogs::warning(this, tr("失败"),
                             tr("加载DBC文件%1失败：%2").arg(QFileInfo(path).fileName(), error));
        return false;
    }
    // The ticks and plots belong to the old database's signals.
    m_plot->clearSignals();
    m_plotted.clear();
    m_table->setDatabase(db.get());
    m_db = std::move(db);
    m_dbPath = QFileInfo(path).absoluteFilePath();
    m_model->reset();
    userSettings().setValue(settingsKey(), m_dbPath);
    showDatabaseInfo();
    return true;
}

void TraceWindow::restoreDatabase()
{
    const QString path = userSettings().value(settingsKey()).toString();
    if (!path.isEmpty() && !loadDatabase(path, true))
        qWarning("The DBC file %s of the last run did not load; starting without a database",
                 qPrintable(QDir::toNativeSeparators(path)));
}

void TraceWindow::addFrames(const QVector<LoggedFrame> &frames) { m_table->addFrames(frames); }

void TraceWindow::clear()
{
    m_plot->clearSignals();
    m_plotted.clear();
    m_table->clear();
    m_model->reset();
}

void TraceWindow::refresh()
{
    m_model->refresh();
    m_plot->redraw(QDateTime::currentMSecsSinceEpoch() * 1000);
}

void TraceWindow::onPlotToggled(int tableRow, const DbcSignal *signal, bool on)
{
    const QPair<int, const DbcSignal *> key(tableRow, signal);
    if (on) {
        const QString legend = signal->unit.isEmpty()
            ? signal->name : QStringLiteral("%1 [%2]").arg(signal->name, signal->unit);
        PlotBuffer *buffer = m_plot->addSignal(legend);
        m_plotted.insert(key, buffer);
        m_table->setPlot(tableRow, signal, buffer);
    } else if (PlotBuffer *buffer = m_plotted.take(key)) {
        m_table->setPlot(tableRow, signal, nullptr);
        m_plot->removeSignal(buffer);
    }
}

void TraceWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
    m_timer->start();
}

void TraceWindow::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}
