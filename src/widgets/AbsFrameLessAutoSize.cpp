#include "widgets/AbsFrameLessAutoSize.h"

#include "widgets/FrameGeometry.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVector>

namespace {

constexpr int ShadowWidth = 2;

enum ShadowPiece { Left, Right, Top, Bottom, LeftTop, RightTop, LeftBottom, RightBottom };

// Loaded on first paint and shared by every window: the pictures never change.
const QVector<QPixmap> &shadowPixmaps()
{
    static const QVector<QPixmap> pixmaps = [] {
        static const char *const names[] = {
            "shadow_left", "shadow_right", "shadow_top", "shadow_bottom",
            "shadow_left_top", "shadow_right_top", "shadow_left_bottom", "shadow_right_bottom",
        };
        QVector<QPixmap> list;
        for (const char *name : names)
            list.append(QPixmap(QStringLiteral(":/shadow/Resources/shadow/%1.png")
                                    .arg(QLatin1String(name))));
        return list;
    }();
    return pixmaps;
}

} // namespace

AbsFrameLessAutoSize::AbsFrameLessAutoSize(QWidget *parent)
    : QDialog(parent, Qt::WindowFlags())
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_MouseTracking);
    setSizeGripEnabled(true);
    // Frameless only; a dialog given a parent keeps its dialog type, since without a window
    // type it would be embedded in the parent as a child widget instead of opening a window.
    setWindowFlags(parent ? Qt::Dialog | Qt::FramelessWindowHint : Qt::FramelessWindowHint);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void AbsFrameLessAutoSize::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (m_mainWindowKeys && (enter || event->matches(QKeySequence::Cancel))) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AbsFrameLessAutoSize::showEvent(QShowEvent *event)
{
    // Showing a dialog makes its first auto-default button the default one, and a focused
    // auto-default button takes Enter; without auto-default buttons Enter presses nothing
    // and a button is pressed only by a click or by Space on the focused one.
    if (m_mainWindowKeys) {
        for (QPushButton *button : findChildren<QPushButton *>())
            button->setAutoDefault(false);
    }
    QDialog::showEvent(event);
}

void AbsFrameLessAutoSize::mousePressEvent(QMouseEvent *event)
{
    m_pressWidth = width();
    m_pressHeight = height();
    m_resizing = false;
    setFocus();

    if (event->button() != Qt::LeftButton)
        return;

    m_pressX = x();
    m_pressY = y();
    if (isInMoveArea(event->pos(), size(), m_borderWidth)) {
        m_pressGlobalX = event->globalX();
        m_pressGlobalY = event->globalY();
        m_moving = true;
    } else {
        // Resize by the band under the press itself, never by a region left over from
        // earlier hovering (that would move an edge far from the cursor).
        m_region = hitRegion(event->pos(), size(), m_borderWidth);
        m_resizing = true;
    }
}

void AbsFrameLessAutoSize::mouseMoveEvent(QMouseEvent *event)
{
    if (m_resizing)
        resizeToCursor(event->globalPos());
    else
        updateRegion(event->pos());

    if (m_moving) {
        move(m_pressX + (event->globalX() - m_pressGlobalX),
             m_pressY + (event->globalY() - m_pressGlobalY));
    }
}

void AbsFrameLessAutoSize::mouseReleaseEvent(QMouseEvent *event)
{
    m_resizing = false;
    if (event->button() == Qt::LeftButton)
        m_moving = false;
}

void AbsFrameLessAutoSize::updateRegion(const QPoint &pos)
{
    const int hit = hitRegion(pos, size(), m_borderWidth);
    setCursor(cursorForRegion(hit));
    if (hit != FrameRegion::None)
        m_region = hit;
}

void AbsFrameLessAutoSize::resizeToCursor(const QPoint &globalCursor)
{
    const std::optional<QRect> rect =
        resizedGeometry(m_region, geometry(), globalCursor,
                        QRect(m_pressX, m_pressY, m_pressWidth, m_pressHeight),
                        minimumSize(), maximumSize());
    if (rect)
        setGeometry(*rect);
}

void AbsFrameLessAutoSize::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const int w = width();
    const int h = height();
    const int s = ShadowWidth;
    const QVector<QPixmap> &px = shadowPixmaps();

    painter.drawPixmap(QRect(0, 0, s, s), px[LeftTop]);
    painter.drawPixmap(QRect(w - s, 0, s, s), px[RightTop]);
    painter.drawPixmap(QRect(0, h - s, s, s), px[LeftBottom]);
    painter.drawPixmap(QRect(w - s, h - s, s, s), px[RightBottom]);

    const auto scaled = [](const QPixmap &pm, int sw, int sh) {
        return pm.scaled(sw, sh, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    };
    painter.drawPixmap(QRect(0, s, s, h - 2 * s), scaled(px[Left], s, h - 2 * s));
    painter.drawPixmap(QRect(w - s, s, s, h - 2 * s), scaled(px[Right], s, h - 2 * s));
    painter.drawPixmap(QRect(s, 0, w - 2 * s, s), scaled(px[Top], w - 2 * s, s));
    painter.drawPixmap(QRect(s, h - s, w - 2 * s, s), scaled(px[Bottom], w - 2 * s, s));

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(s, s), QPoint(w - s - 1, h - s - 1)));
}
