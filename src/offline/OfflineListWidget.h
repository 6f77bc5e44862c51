#pragma once
// The "离线列表" page: the frames the adapter sends by itself in offline mode.

#include <QWidget>

class QTableWidget;

class OfflineListWidget : public QWidget {
    Q_OBJECT
public:
    explicit OfflineListWidget(QWidget *parent = nullptr);

    void retranslate();

private:
    QTableWidget *m_pTableWidgetOfflineData = nullptr;
};
