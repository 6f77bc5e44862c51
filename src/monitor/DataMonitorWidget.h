#pragma once
// The "数据监控" page: the view of a monitor session (which receives, decodes, caches and
// counts), the monitoring and offline-send switches, the display format and Save Data.

#include "monitor/MonitorSession.h"
#include "widgets/SwitchButton.h"

#include <QWidget>

class CWrapWinUSB;
class MonitorStatisticsLabel;
class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;

class DataMonitorWidget : public QWidget {
    Q_OBJECT
public:
    // Lines the view keeps; older ones scroll out (the cache keeps more).
    static constexpr int ViewLines = MonitorSession::ViewLines;

    // The session, a child, joins its receive thread and every save when it goes.
    DataMonitorWidget(CWrapWinUSB *link, QWidget *parent = nullptr);

    // The session keeps its own copy; a later change of `filter` does not reach it.
    void setIdFilter(const IdFilter &filter) { m_session->setIdFilter(filter); }
    const IdFilter &idFilter() const { return m_session->idFilter(); }
    // Ends monitoring (stop request, receive thread joined) and empties the view.
    void closeWatch();
    bool isOfflineSendOn() const { return m_pWidgetOfflineSend->isChecked(); }
    // Shows the state of offline sending without a request.
    void showOfflineSend(bool on) { m_pWidgetOfflineSend->setCheckedSilently(on); }
    int cacheCount() const { return m_session->log().cacheSize(); }
    // Empties the cache; the view and the running number stay.
    void setCacheCount(int count) { m_session->setCacheSize(count); }
    // The column header takes its start-up spacing until the first language change.
    void retranslate(bool atLanguageChange = true);

    const MonitorSession &session() const { return *m_session; }

signals:
    void AppendData(QString strData);
    void signalStartWatch();
    void signalStopWatch();
    void endSave();

public slots:
    void onSwichButtonOfflineSend(bool bSelect);
    void onSwichButtonDataWatch(bool bSelect);
    // Adds at most `limit` transfers of the receive queue (all when negative).
    void onShowOfflineData(int limit) { m_session->processQueued(limit); }
    void onAppendData(QString strData);
    void onPushButtonSaveWatchData();
    void onComboxFrameFormatIndexChanged(int index) { m_session->setDisplayMode(index); }
    void onCustomContextMenuRequested(const QPoint &);
    void onActionClear();
    void onEndSave();

private:
    void setTexts();
    void buildHeader(bool atLanguageChange);
    void onSaveFinished(bool written, const QString &error);

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

    CWrapWinUSB *m_link = nullptr;
    MonitorSession *m_session = nullptr;
};
