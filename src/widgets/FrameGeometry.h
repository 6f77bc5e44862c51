#pragma once
// Hit testing and resize arithmetic of the frameless window, kept free of widgets so that
// the rules can be exercised directly.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

#include <optional>

namespace FrameRegion {
enum : int {
    None = 0,
    Right = 1,
    Left = 2,
    Bottom = 3,
    Top = 4,
    TopRight = 5,
    TopLeft = 6,
    BottomRight = 7,
    BottomLeft = 8,
};
}

// Which edge or corner band of a widget of size s the point p (widget coordinates) lies in,
// or FrameRegion::None. The bands are `border` pixels wide along each side.
int hitRegion(QPoint p, QSize s, int border);

// True when a press at p drags the window instead of resizing it.
bool isInMoveArea(QPoint p, QSize s, int border);

Qt::CursorShape cursorForRegion(int region);

// The geometry a resize drag of `region` asks for with the cursor at `cursor` (global),
// `current` being the window's geometry now and `atPress` its geometry when the drag began.
// Empty when an edge drag would leave the size limits (the window then stays as it is) or
// when the region is not a resize region.
std::optional<QRect> resizedGeometry(int region, QRect current, QPoint cursor, QRect atPress,
                                     QSize minSize, QSize maxSize);
