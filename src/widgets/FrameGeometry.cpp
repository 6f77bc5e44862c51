#include "widgets/FrameGeometry.h"

int hitRegion(QPoint p, QSize s, int b)
{
    const int x = p.x();
    const int y = p.y();
    const int w = s.width();
    const int h = s.height();
    // The far bands are the last b pixels (x >= w - b): a widget only sees points up to
    // w - 1, so a strict "x > w - b" would leave the right and bottom bands unreachable.
    const bool farX = x >= w - b;
    const bool farY = y >= h - b;
    const bool nearX = x < b;
    const bool nearY = y < b;
    const bool midX = b < x && x < w - b;
    const bool midY = b < y && y < h - b;

    if (farX && midY)
        return FrameRegion::Right;
    if (nearX && midY)
        return FrameRegion::Left;
    if (farY && midX)
        return FrameRegion::Bottom;
    if (nearY && midX)
        return FrameRegion::Top;
    if (nearY && farX)
        return FrameRegion::TopRight;
    if (nearY && nearX)
        return FrameRegion::TopLeft;
    if (x > b && farY)
        return FrameRegion::BottomRight;
    if (nearX && farY)
        return FrameRegion::BottomLeft;
    return FrameRegion::None;
}

bool isInMoveArea(QPoint p, QSize s, int b)
{
    return p.x() >= b + 1 && p.x() <= s.width() - b - 2
        && p.y() >= b + 1 && p.y() <= s.height() - b - 2;
}

Qt::CursorShape cursorForRegion(int region)
{
    switch (region) {
    case FrameRegion::Right:
    case FrameRegion::Left:
        return Qt::SizeHorCursor;
    case FrameRegion::Bottom:
    case FrameRegion::Top:
        return Qt::SizeVerCursor;
    case FrameRegion::TopRight:
    case FrameRegion::BottomLeft:
        return Qt::SizeBDiagCursor;
    case FrameRegion::TopLeft:
    case FrameRegion::BottomRight:
        return Qt::SizeFDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

namespace {

// A corner drag keeps the opposite edge where it was at the press: the moving edge is
// clamped so that the extent stays within the window's limits.
void clampNearEdge(int &nearEdge, int &extent, int pinnedEdge, int minimum, int maximum)
{
    if (pinnedEdge - nearEdge >= maximum) {
        nearEdge = pinnedEdge - maximum;
        extent = maximum;
    } else if (pinnedEdge - nearEdge <= minimum) {
        nearEdge = pinnedEdge - minimum;
        extent = minimum;
    }
}

} // namespace

std::optional<QRect> resizedGeometry(int region, QRect current, QPoint c, QRect atPress,
                                     QSize minSize, QSize maxSize)
{
    const int X = current.x();
    const int Y = current.y();
    const int W = current.width();
    const int H = current.height();
    const int pressX = atPress.x();
    const int pressY = atPress.y();
    const int pressRight = atPress.x() + atPress.width();
    const int pressBottom = atPress.y() + atPress.height();
    const auto widthOk = [&](int w) { return w >= minSize.width() && w <= maxSize.width(); };
    const auto heightOk = [&](int h) { return h >= minSize.height() && h <= maxSize.height(); };

    switch (region) {
    case FrameRegion::Right: {
        const int w = c.x() - X;
        if (!widthOk(w))
            return std::nullopt;
        return QRect(X, Y, w, H);
    }
    case FrameRegion::Left: {
        const int w = X + W - c.x();
        if (!widthOk(w))
            return std::nullopt;
        return QRect(c.x(), Y, w, H);
    }
    case FrameRegion::Bottom: {
        const int h = c.y() - Y;
        if (!heightOk(h))
            return std::nullopt;
        return QRect(X, Y, W, h);
    }
    case FrameRegion::Top: {
        const int h = Y + H - c.y();
        if (!heightOk(h))
            return std::nullopt;
        return QRect(X, c.y(), W, h);
    }
    case FrameRegion::TopRight: {
        int h = Y + H - c.y();
        const int w = c.x() - X;
        int top = c.y();
        if (h >= maxSize.height()) {
            h = maxSize.height();
            top = pressBottom - h;
        } else if (h <= minSize.height()) {
            h = minSize.height();
            top = pressBottom - h;
        }
        return QRect(pressX, top, w, h);
    }
    case FrameRegion::TopLeft: {
        int w = X + W - c.x();
        int h = Y + H - c.y();
        int left = c.x();
        int top = c.y();
        clampNearEdge(left, w, pressRight, minSize.width(), maxSize.width());
        clampNearEdge(top, h, pressBottom, minSize.height(), maxSize.height());
        return QRect(left, top, w, h);
    }
    case FrameRegion::BottomRight:
        return QRect(pressX, pressY, c.x() - X, c.y() - Y);
    case FrameRegion::BottomLeft: {
        int w = X + W - c.x();
        const int h = c.y() - pressY;
        int left = c.x();
        clampNearEdge(left, w, pressRight, minSize.width(), maxSize.width());
        return QRect(left, pressY, w, h);
    }
    default:
        return std::nullopt;
    }
}
