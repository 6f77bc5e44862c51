#pragma once
// Image button: shows <base>.png, <base>_hover.png or <base>_pressed.png by its state.

#include <QPushButton>

class PushButton : public QPushButton
{
    Q_OBJECT
public:
    enum State { Normal = 0, Hover = 1, Pressed = 2 };

    explicit PushButton(QWidget *parent = nullptr);

    // Stores the base name (a resource path without ".png") and fixes the button to the
    // base picture's size.
    void setImage(const QString &baseName);

    int state() const { return m_state; }
    QString imageName() const;

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    int m_state = Normal;
    QString m_baseName;
    bool m_pressed = false;
};
