#pragma once
// The "CAN参数" page: one tab per CAN channel of the connected adapter. Both channel
// pages live as long as the panel, shown or not, so they keep their values across
// connections.

#include <QWidget>

class ChannalPageWidget;
class QTabWidget;

class CANParamWidget : public QWidget {
    Q_OBJECT
public:
    // The panel holds two pages; a device reporting more channels shows these two.
    static constexpr int PageCount = 2;

    explicit CANParamWidget(QWidget *parent = nullptr);

    // Shows pages 0 to n-1 (at most two) as tabs "通道0", "通道1", replacing the tabs
    // shown before, and stores n as the channel count.
    void addChannalTabs(int n);
    // Removes every tab; the pages and the channel count stay.
    void removeAllTabs();
    int channalCount() const { return m_nChannalCount; }
    // The page shown at tab i, or null.
    ChannalPageWidget *page(int i) const;
    void retranslate();

private:
    QTabWidget *m_pTabWidgetChannal = nullptr;
    ChannalPageWidget *m_pages[PageCount] = {};
    int m_nChannalCount = 0;
};
