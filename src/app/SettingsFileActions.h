#pragma once
// Save, Read and Default of the main window's bottom row: the settings file between the
// pages and a file the user names, with every message. Nothing goes to the device.

#include <QCoreApplication>

class CANParamWidget;
class OfflineListWidget;
class QComboBox;
class QWidget;

class SettingsFileActions {
    // The main window's buttons start these; their texts are the window's.
    Q_DECLARE_TR_FUNCTIONS(MainWidget)
public:
    SettingsFileActions(CANParamWidget &panel, OfflineListWidget &list, QComboBox &sendType,
                        QWidget *parent);

    void save();
    // Changes nothing in the window unless the whole file is accepted.
    void read();
    // Default parameters for every shown channel.
    void resetShownChannals();

private:
    CANParamWidget &m_panel;
    OfflineListWidget &m_list;
    QComboBox &m_sendType;
    QWidget *m_parent;
};
