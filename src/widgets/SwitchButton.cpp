#include "widgets/SwitchButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int TickMs = 5;
constexpr int PressStepDivisor = 50;
constexpr int ResizeStepDivisor = 30;
} // namespace

SwitchButton::SwitchButton(QWidget *parent)
    : QWidget(parent)
{
    setStep(PressStepDivisor);
    m_timer = new QTimer(this);
    m_timer->setInterval(TickMs);
    connect(m_timer, &QTimer::timeout, this, &SwitchButton::updateValue);
    setFont(QFont(QStringLiteral("Microsoft Yahei"), 10));
}

bool SwitchButton::isAnimating() const
{
    return m_timer->isActive();
}

void SwitchButton::setStep(int divisor)
{
    // At least one pixel per tick: a switch narrower than the divisor would otherwise
    // never reach its end and keep the timer running for ever.
    m_step = std::max(1, width() / divisor);
}

int SwitchButton::checkedEnd() const
{
    switch (m_buttonStyle) {
    case ButtonStyleRect:
        return width() - width() / 2;
    case ButtonStylePill:
        return width() - height();
    case ButtonStyleInset:
        return width() - height() + m_space;
    default:
        return m_endX;
    }
}

void SwitchButton::mousePressEvent(QMouseEvent *)
{
    m_checked = !m_checked;
    emit checkedChanged(m_checked);
    setStep(PressStepDivisor);
    m_endX = m_checked ? checkedEnd() : 0;
    m_timer->start();
}

void SwitchButton::updateValue()
{
    if (m_checked) {
        if (m_startX < m_endX) {
            m_startX += m_step;
        } else {
            m_startX = m_endX;
            m_timer->stop();
        }
    } else {
        if (m_startX > m_endX) {
            m_startX -= m_step;
        } else {
            m_startX = m_endX;
            m_timer->stop();
        }
    }
    update();
}

void SwitchButton::setChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    emit checkedChanged(checked);
    // The knob follows as after a press, so the switch never shows the old state.
    setStep(PressStepDivisor);
    m_endX = m_checked ? checkedEnd() : 0;
    m_timer->start();
}

void SwitchButton::setCheckedSilently(bool checked)
{
    m_checked = checked;
    m_endX = checked ? width() - height() : 0;
    update();
    m_timer->start();
}

void SwitchButton::setButtonStyle(SwitchButton::ButtonStyle buttonStyle)
{
    m_buttonStyle = buttonStyle;
    update();
}

void SwitchButton::setBgColor(QColor bgColorOff, QColor bgColorOn)
{
    m_bgColorOff = bgColorOff;
    m_bgColorOn = bgColorOn;
    update();
}

void SwitchButton::setSliderColor(QColor sliderColorOff, QColor sliderColorOn)
{
    m_sliderColorOff = sliderColorOff;
    m_sliderColorOn = sliderColorOn;
    update();
}

void SwitchButton::setTextColor(QColor textColorOff, QColor textColorOn)
{
    m_textColorOff = textColorOff;
    m_textColorOn = textColorOn;
    update();
}

void SwitchButton::setText(QString textOff, QString textOn)
{
    m_textOff = textOff;
    m_textOn = textOn;
    update();
}

void SwitchButton::setImage(QString imageOff, QString imageOn)
{
    m_imageOff = imageOff;
    m_imageOn = imageOn;
    update();
}

void SwitchButton::setSpace(int space)
{
    m_space = space;
    update();
}

void SwitchButton::setRectRadius(int rectRadius)
{
    m_rectRadius = rectRadius;
    update();
}

void SwitchButton::resizeEvent(QResizeEvent *)
{
    setStep(ResizeStepDivisor);
    m_startX = m_checked ? checkedEnd() : 0;
    m_endX = m_startX; // a slide under way would otherwise pull the knob off its end
    update();
}

void SwitchButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_buttonStyle == ButtonStyleImage) {
        drawImage(&painter);
        return;
    }
    drawBg(&painter);
    drawSlider(&painter);
    drawText(&painter);
}

void SwitchButton::drawBg(QPainter *painter)
{
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_checked ? m_bgColorOn : m_bgColorOff);
    const int w = width();
    const int h = height();
    if (m_buttonStyle == ButtonStyleRect) {
        painter->drawRoundedRect(rect(), m_rectRadius, m_rectRadius);
    } else if (m_buttonStyle == ButtonStylePill) {
        QPainterPath path;
        path.moveTo(h / 2, 0);
        path.arcTo(QRectF(0, 0, h, h), 90, 180);
        path.lineTo(w - h / 2, h);
        path.arcTo(QRectF(w - h, 0, h, h), 270, 180);
        path.lineTo(h / 2, 0);
        painter->drawPath(path);
    } else if (m_buttonStyle == ButtonStyleInset) {
        painter->drawRoundedRect(QRect(m_space, m_space, w - 2 * m_space, h - 2 * m_space),
                                 m_rectRadius, m_rectRadius);
    }
    painter->restore();
}

void SwitchButton::drawSlider(QPainter *painter)
{
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_checked ? m_sliderColorOn : m_sliderColorOff);
    const int w = width();
    const int h = height();
    if (m_buttonStyle == ButtonStyleRect) {
        painter->drawRoundedRect(QRect(m_startX + m_space, m_space, w / 2 - 2 * m_space,
                                       h - 2 * m_space),
                                 m_rectRadius, m_rectRadius);
    } else if (m_buttonStyle == ButtonStylePill) {
        const int d = h - 2 * m_space;
        painter->drawEllipse(QRect(m_startX + m_space, m_space, d, d));
    } else if (m_buttonStyle == ButtonStyleInset) {
        const int d = h - m_space;
        painter->drawEllipse(QRect(m_startX, m_space / 2, d, d));
    }
    painter->restore();
}

void SwitchButton::drawText(QPainter *painter)
{
    painter->save();
    const int w = width();
    const int h = height();
    if (m_checked) {
        painter->setPen(m_textColorOn);
        painter->drawText(QRect(0, 0, w / 2 + 2 * m_space, h), Qt::AlignCenter, m_textOn);
    } else {
        painter->setPen(m_textColorOff);
        painter->drawText(QRect(w / 2, 0, w / 2 - m_space, h), Qt::AlignCenter, m_textOff);
    }
    painter->restore();
}

void SwitchButton::drawImage(QPainter *painter)
{
    const QPixmap pixmap(m_checked ? m_imageOn : m_imageOff);
    if (pixmap.isNull())
        return;
    const QRect target(QPoint(0, 0), pixmap.size());
    painter->drawPixmap(target.translated(rect().center() - target.center()), pixmap);
}

void applyProgramSwitchStyle(SwitchButton *sw)
{
    sw->setButtonStyle(SwitchButton::ButtonStylePill);
    sw->setBgColor(QColor(225, 225, 225), QColor(98, 255, 98));
    sw->setSliderColor(QColor(100, 100, 100), QColor(255, 255, 255));
}
