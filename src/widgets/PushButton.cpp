#include "widgets/PushButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

PushButton::PushButton(QWidget *parent)
    : QPushButton(parent)
{
}

void PushButton::setImage(const QString &baseName)
{
    m_baseName = baseName;
    const QPixmap pixmap(baseName + QStringLiteral(".png"));
    setFixedSize(pixmap.size());
}

QString PushButton::imageName() const
{
    switch (m_state) {
    case Hover:
        return m_baseName + QStringLiteral("_hover");
    case Pressed:
        return m_baseName + QStringLiteral("_pressed");
    default:
        return m_baseName;
    }
}

void PushButton::enterEvent(QEvent *)
{
    m_state = Hover;
    update();
}

void PushButton::leaveEvent(QEvent *)
{
    m_state = Normal;
    update();
}

void PushButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_state = Pressed;
    update();
}

void PushButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    // A press dragged off the button is abandoned for good, so a later release (of any
    // button) over it cannot click it.
    m_pressed = false;
    if (!rect().contains(event->pos()))
        return;
    m_state = Hover;
    update();
    emit clicked(false);
}

void PushButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), QPixmap(imageName() + QStringLiteral(".png")));
}
