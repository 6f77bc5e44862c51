#pragma once
// The "CAN参数" page: one tab per CAN channel of the connected adapter.

#include <QWidget>

class QTabWidget;

class CANParamWidget : public QWidget {
    Q_OBJECT
public:
    explicit CANParamWidget(QWidget *parent = nullptr);

    void retranslate();

private:
    QTabWidget *m_pTabWidgetChannal = nullptr;
};
