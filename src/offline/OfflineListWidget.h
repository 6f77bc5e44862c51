#pragma once
// The "离线列表" page: the frames the adapter sends by itself in offline mode, one per
// row, edited in place; the checks and the records live in OfflineFrameRecord.

#include "offline/OfflineFrameRecord.h"

#include <QByteArray>
#include <QJsonArray>
#include <QVector>
#include <QWidget>

class QAction;
class QComboBox;
class QMenu;
class QTableWidget;

class OfflineListWidget : public QWidget {
    Q_OBJECT
public:
    explicit OfflineListWidget(QWidget *parent = nullptr);

    // Fresh default rows, replacing whatever the table held.
    void initList(int channalCount, int capacity, int rowCount);
    void clearList();
    // Validates and encodes every row; on a failure shows it, selects the row, keeps none.
    bool toRecords(QVector<QByteArray> &records);
    void fromRecords(const QVector<QByteArray> &records);
    // Before a write: false, after the capacity message, when the table holds more rows
    // than the adapter stores (rows loaded from a file are not bounded by Add).
    bool withinCapacity();
    QJsonArray toJson() const;
    void fromJson(const QJsonArray &rows);
    int capacity() const { return m_nCapacity; }
    int channalCount() const { return m_nChannalCount; }
    void retranslate();

    int rowCount() const;
    OfflineFrameRow row(int index) const;

public slots:
    void onCustomContextMenuRequested(const QPoint &pos);
    void onActionAdd();
    void onActionDelete();

private:
    void insertDefaultRow(int index);
    void setRow(int index, const OfflineFrameRow &row);
    QComboBox *comboAt(int row, int column) const;
    void removeAllRows();
    void showCapacityMessage();

    QTableWidget *m_pTableWidgetOfflineData = nullptr;
    QMenu *m_pMenu = nullptr;
    QAction *m_pActionAdd = nullptr;
    QAction *m_pActionDelete = nullptr;
    int m_nChannalCount = 0;
    int m_nCapacity = 0;
};
