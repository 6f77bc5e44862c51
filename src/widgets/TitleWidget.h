#pragma once
// The blue title bar of the frameless windows, with up to three image buttons.

#include <QWidget>

class QLabel;
class PushButton;

class TitleWidget : public QWidget
{
    Q_OBJECT
public:
    // buttonSet: 0 close only; 1 minimise and close; 2 menu, minimise and close.
    explicit TitleWidget(int buttonSet, QWidget *parent = nullptr);

    void setTitle(const QString &text);

signals:
    void showMin();
    void showMainMenu();
    void closeWidget();
    void LeftDoubleClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QLabel *m_pLabelIcon = nullptr;
    QLabel *m_pLabelTitle = nullptr;
    PushButton *m_pPushButtonMenu = nullptr;
    PushButton *m_pPushButtonMin = nullptr;
    PushButton *m_pPushButtonClose = nullptr;
};
