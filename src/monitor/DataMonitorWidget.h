#pragma once
// The "数据监控" page: live frame reports of the adapter, and the monitoring and
// offline-send switches.

#include <QWidget>

class CWrapWinUSB;
class QComboBox;
class QLabel;
class QPushButton;
class QTextEdit;
class SwitchButton;
struct IdFilter;

class DataMonitorWidget : public QWidget {
    Q_OBJECT
public:
    DataMonitorWidget(CWrapWinUSB *link, QWidget *parent = nullptr);

    // The main window's filter, lent for the program's life.
    void setIdFilter(IdFilter *filter);
    // Ends monitoring (stop request, receive thread joined) and empties the view.
    void closeWatch();
    bool isOfflineSendOn() const;
    void setOfflineSend(bool on);
    int cacheCount() const { return m_nCacheCount; }
    void setCacheCount(int count) { m_nCacheCount = count; }
    void retranslate();

signals:
    void AppendData(QString strData);
    void signalStartWatch();
    void signalStopWatch();
    void endSave();

private:
    QPushButton *m_pPushButtonSave = nullptr;
    QLabel *m_pLabelOfflineSend = nullptr;
    SwitchButton *m_pWidgetOfflineSend = nullptr;
    QLabel *m_pLabelDataWatch = nullptr;
    SwitchButton *m_pWidgetDataWatch = nullptr;
    QTextEdit *m_pTextEditRecords = nullptr;
    QComboBox *m_pComboBoxFrameFormat = nullptr;
    QLabel *m_pLabelHeader = nullptr;

    IdFilter *m_idFilter = nullptr;
    CWrapWinUSB *m_link = nullptr;
    int m_nCacheCount = 4096;
};
