#pragma once
// The "数据监控" page: live frame reports of the adapter, and the monitoring and
// offline-send switches. The receive thread only queues transfers; this page formats
// them on the GUI thread in batches and shows only the lines the view keeps.

#include "monitor/LoggedFrame.h"
#include "monitor/MonitorLog.h"

#include <QStringList>
#include <QWidget>

#include <atomic>
#include <list>
#include <memory>
#include <thread>

class CWrapWinUSB;
class MonitorReceiver;
class MonitorStatisticsLabel;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;
class SwitchButton;
struct IdFilter;

class DataMonitorWidget : public QWidget {
    Q_OBJECT
public:
    // Lines the view keeps; older ones scroll out (the cache keeps more).
    static constexpr int ViewLines = 128;
    // Longest wait between a transfer's arrival and its display.
    static constexpr int FlushIntervalMs = 30;

    DataMonitorWidget(CWrapWinUSB *link, QWidget *parent = nullptr);
    // Joins the receive thread and every save still running.
    ~DataMonitorWidget() override;

    // The main window's filter, lent for the program's life.
    void setIdFilter(IdFilter *filter);
    // Ends monitoring (stop request, receive thread joined) and empties the view.
    void closeWatch();
    bool isOfflineSendOn() const;
    void setOfflineSend(bool on);
    int cacheCount() const { return m_log.cacheSize(); }
    // Empties the cache; the view and the running number stay.
    void setCacheCount(int count);
    void retranslate();

    const MonitorLog &log() const { return m_log; }
    const MonitorReceiver *receiver() const { return m_receiver; }

signals:
    void AppendData(QString strData);
    void signalStartWatch();
    void signalStopWatch();
    void endSave();
    // For the trace window: the frames of each batch of lines shown (past the ID filter),
    // and the page's Clear.
    void framesShown(const QVector<LoggedFrame> &frames);
    void cleared();

public slots:
    void onSwichButtonOfflineSend(bool bSelect);
    void onSwichButtonDataWatch(bool bSelect);
    // Formats the transfers queued by the receive thread, at most `limit` of them (all
    // when negative), and shows their lines.
    void onShowOfflineData(int limit);
    void onAppendData(QString strData);
    void onPushButtonSaveWatchData();
    void onComboxFrameFormatIndexChanged(int index);
    void onCustomContextMenuRequested(const QPoint &);
    void onActionClear();
    void onEndSave();

private:
    void buildHeader(bool atLanguageChange);
    void fillNames();
    void onTransfersReady();
    void flush();
    void showPendingLines();
    void reapSaves(bool all);

    QPushButton *m_pPushButtonSave = nullptr;
    QLabel *m_pLabelOfflineSend = nullptr;
    SwitchButton *m_pWidgetOfflineSend = nullptr;
    QLabel *m_pLabelDataWatch = nullptr;
    SwitchButton *m_pWidgetDataWatch = nullptr;
    QTextEdit *m_pTextEditRecords = nullptr;
    QComboBox *m_pComboBoxFrameFormat = nullptr;
    QLabel *m_pLabelHeader = nullptr;
    MonitorStatisticsLabel *m_pLabelStatistics = nullptr;
    QMenu *m_pMenu = nullptr;
    QAction *m_pActionClear = nullptr;

    IdFilter *m_idFilter = nullptr;
    CWrapWinUSB *m_link = nullptr;
    MonitorReceiver *m_receiver = nullptr;
    QTimer *m_flushTimer = nullptr;
    MonitorLog m_log;
    // Blocks formatted since the last flush, trimmed to the lines the view will keep.
    QStringList m_pendingBlocks;
    int m_pendingLines = 0;
    bool m_flushing = false;

    struct SaveJob {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<SaveJob> m_saves;
};
