#pragma once
// The "CAN参数" page: one tab per CAN channel of the connected adapter.

#include <QWidget>

class ChannalPageWidget;
class QTabWidget;

class CANParamWidget : public QWidget {
    Q_OBJECT
public:
    explicit CANParamWidget(QWidget *parent = nullptr);

    void addChannalTabs(int n);
    void removeAllTabs();
    int channalCount() const { return m_nChannalCount; }
    // The page shown at tab i, or null.
    ChannalPageWidget *page(int i) const;
    void retranslate();

private:
    QTabWidget *m_pTabWidgetChannal = nullptr;
    int m_nChannalCount = 0;
};
