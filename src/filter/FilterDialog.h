#pragma once
// "ID过滤设置": edits the monitor's identifier filter and saves it to, or reads it from, a
// filter file. The main window's filter changes only when the dialog is accepted.

#include "filter/FilterText.h"
#include "filter/IdFilter.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class FilterDialog : public QDialog {
    Q_OBJECT
public:
    FilterDialog(int mode, QVector<IdRange> ranges, QWidget *parent = nullptr);

    IdFilter filterSettings() const;

public slots:
    void onCurrentIndexChanedModel(int index);
    void onPushButtonAdd();
    void onPushButtonClear();
    void onPushButtonOK();
    void onCellClicked(int row, int column);
    void onPushButtonSave();
    void onPushButtonRead();

private:
    enum Column { LowColumn = 0, HighColumn = 1, RemarkColumn = 2, DeleteColumn = 3 };

    void setupUi();
    QStringList *modeList(int mode);
    void appendRow(const FilterRowText &row, bool deletable);
    void setRow(int row, const FilterRowText &text);
    QVector<FilterRowText> tableRows() const;

    QLabel *m_labelModel = nullptr;
    QComboBox *m_comboBoxCurrentModel = nullptr;
    QLabel *m_labelLow = nullptr;
    QLineEdit *m_lineEditIDMin = nullptr;
    QLabel *m_labelMax = nullptr;
    QLineEdit *m_lineEditIDMax = nullptr;
    QPushButton *m_pushButtonAdd = nullptr;
    QTableWidget *m_tableWidgetCondition = nullptr;
    QPushButton *m_pushButtonSave = nullptr;
    QPushButton *m_pushButtonRead = nullptr;
    QPushButton *m_pushButtonClear = nullptr;
    QPushButton *m_pushButtonOK = nullptr;

    // Rows added with Add during this run, per mode, to refill the table on a mode switch.
    QStringList m_listRejected;
    QStringList m_listAccepted;
};
