#pragma once
// The "离线列表" page: the frames the adapter sends by itself in offline mode.

#include <QByteArray>
#include <QJsonArray>
#include <QVector>
#include <QWidget>

class QTableWidget;

class OfflineListWidget : public QWidget {
    Q_OBJECT
public:
    explicit OfflineListWidget(QWidget *parent = nullptr);

    void initList(int channalCount, int capacity, int rowCount);
    void clearList();
    // Validates and encodes every row; on a failure shows it, selects the row, keeps none.
    bool toRecords(QVector<QByteArray> &records);
    void fromRecords(const QVector<QByteArray> &records);
    QJsonArray toJson() const;
    void fromJson(const QJsonArray &rows);
    int capacity() const { return m_nCapacity; }
    void retranslate();

private:
    QTableWidget *m_pTableWidgetOfflineData = nullptr;
    int m_nChannalCount = 0;
    int m_nCapacity = 0;
};
