#pragma once
// One CAN channel's page: the bit-timing register and the fourteen filter banks. The page
// holds the values in its controls; the table, the record and the settings object it
// stands on are plain logic (BaudRateTable, FilterBank, ChannalObject).

#include "canparam/FilterBank.h"

#include <QJsonObject>
#include <QVector>
#include <QWidget>

class BitTimingReadout;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class ChannalPageWidget : public QWidget {
    Q_OBJECT
public:
    explicit ChannalPageWidget(int channalId, QWidget *parent = nullptr);

    int channalId() const { return m_channalId; }
    // Selects the row whose value the digits decode to (custom when none) and shows
    // "0x" and the digits in upper case.
    void setBaudRate(const QString &hexDigits);
    QString registerText() const;
    QJsonObject toJson() const;
    void fromJson(const QJsonObject &object);
    void resetDefaults();
    void retranslate();

    DataListEntry entry(int row) const;
    void setEntry(int row, const DataListEntry &entry);

    // The fourteen rows, bank 0 first; setEntries sets row k from entry k.
    QVector<DataListEntry> entries() const;
    void setEntries(const QVector<DataListEntry> &entries);

    // Empty when the register text and every ID and mask cell give four bytes; otherwise
    // the message naming this channel and, for a cell, its row.
    QString malformedTextMessage() const;

public slots:
    void onCurrentIndexChangedComboBoxBautRate(int index);
    // Opens the bit-timing calculator; its chosen value becomes the custom register.
    void onPushButtonCalculator();

private:
    void setupUi();
    QComboBox *comboAt(int row, int column) const;

    int m_channalId = 0;
    QLabel *m_pLabelBautRate = nullptr;
    QComboBox *m_pComboBoxBautRate = nullptr;
    QLineEdit *m_pLineEditRegister = nullptr;
    BitTimingReadout *m_pLabelBitTiming = nullptr;
    QPushButton *m_pPushButtonCalculator = nullptr;
    QTableWidget *m_pTableWidgetDataList = nullptr;
};
