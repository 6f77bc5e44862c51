#pragma once
// Read CAN and Write CAN as the main window's buttons start them: every shown channel's
// page goes through CanParamTransfer on the GUI thread, and each stops at its first
// failure with the message the user sees.

#include <QCoreApplication>

class CANParamWidget;
class CWrapWinUSB;
class QWidget;

class CanParamExchange {
    // The main window's buttons start these exchanges; their texts are the window's.
    Q_DECLARE_TR_FUNCTIONS(MainWidget)
public:
    // `button` is disabled for the length of the exchange; `parent` owns the message boxes.
    // Both return true when every shown channel was exchanged.
    static bool readCan(CWrapWinUSB &link, CANParamWidget &panel, QWidget *button,
                        QWidget *parent);
    // Refuses, before the first request, a page whose register text or a filter cell does
    // not give four bytes.
    static bool writeCan(CWrapWinUSB &link, CANParamWidget &panel, QWidget *button,
                         QWidget *parent);
};
