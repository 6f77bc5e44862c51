#pragma once
// The signal trace window: a table of the messages the monitor shows, each unfolding into
// its signals decoded with the loaded DBC database, and a live plot of the ticked ones.
// Not modal; refreshed at most ten times a second while shown. The database file is
// chosen through the dialog seam, remembered in the user's settings and loaded again at
// start.

#include "monitor/LoggedFrame.h"

#include <QHash>
#include <QPair>
#include <QWidget>

#include <memory>

class DbcDatabase;
class PlotBuffer;
class QLabel;
class QTimer;
class QTreeView;
class SignalPlot;
class TraceModel;
class TraceTable;
struct DbcSignal;

class TraceWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int RefreshIntervalMs = 100;

    explicit TraceWindow(QWidget *parent = nullptr);
    ~TraceWindow() override;

    // Asks for a DBC file and loads it; a failure is shown in a warning box.
    void chooseDatabase();
    // Loads `path` and remembers it; false (a warning box unless `quiet`) when it does not load.
    bool loadDatabase(const QString &path, bool quiet = false);
    // Loads the file remembered from an earlier run; one that no longer loads is only
    // logged, as a box at every start would be a nuisance.
    void restoreDatabase();
    void retranslate();

    TraceModel *model() const { return m_model; }
    SignalPlot *plot() const { return m_plot; }

    // Where the last file is remembered.
    static QString settingsKey() { return QStringLiteral("trace/dbcFile"); }

public slots:
    void addFrames(const QVector<LoggedFrame> &frames);
    void clear();
    // Brings the table and the plot up to date (the timer calls it).
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void onPlotToggled(int tableRow, const DbcSignal *signal, bool on);
    void showDatabaseInfo();

    std::unique_ptr<TraceTable> m_table;
    std::unique_ptr<DbcDatabase> m_db;
    QString m_dbPath;
    TraceModel *m_model = nullptr;
    QLabel *m_pLabelDatabase = nullptr;
    QTreeView *m_pTreeViewTrace = nullptr;
    SignalPlot *m_plot = nullptr;
    QTimer *m_timer = nullptr;
    QHash<QPair<int, const DbcSignal *>, PlotBuffer *> m_plotted;
};
