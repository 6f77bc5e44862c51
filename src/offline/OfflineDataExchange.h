#pragma once
// Read offline data and Write offline data as the main window's buttons start them: the
// exchange with the adapter, the offline-send switch around a write, and every message.

#include <QCoreApplication>

class CWrapWinUSB;
class DataMonitorWidget;
class OfflineListWidget;
class QWidget;

class OfflineDataExchange {
    // The main window's buttons start these exchanges; their texts are the window's.
    Q_DECLARE_TR_FUNCTIONS(MainWidget)
public:
    // `button` is disabled for the length of the exchange; `parent` owns the message
    // boxes. Both return true on success.
    static bool readOffline(CWrapWinUSB &link, OfflineListWidget &list, QWidget *button,
                            QWidget *parent);
    static bool writeOffline(CWrapWinUSB &link, OfflineListWidget &list,
                             DataMonitorWidget &monitor, QWidget *button, QWidget *parent);
};
