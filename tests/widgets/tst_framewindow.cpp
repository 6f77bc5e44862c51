// The frameless window base: hit testing, resize arithmetic, and the widget driven by
// mouse events.

#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/BrantelResources.h"
#include "widgets/FrameGeometry.h"

#include <QMouseEvent>
#include <QtTest>

#include <optional>

namespace {

const QRect kStart(100, 100, 400, 300);
const QSize kMin(200, 150);
const QSize kMax(800, 600);

// Sends a mouse event at a point given in the window's coordinates, with the matching
// global position.
void sendMouse(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, local, w->geometry().topLeft() + local, button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void hover(QWidget *w, QPoint local)
{
    sendMouse(w, QEvent::MouseMove, local, Qt::NoButton, Qt::NoButton);
}

void dragTo(QWidget *w, QPoint global, Qt::MouseButtons buttons = Qt::LeftButton)
{
    sendMouse(w, QEvent::MouseMove, global - w->geometry().topLeft(), Qt::NoButton, buttons);
}

} // namespace

class TestFrameWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void hitRegion_data();
    void hitRegion();
    void moveArea_data();
    void moveArea();
    void resizedGeometry_data();
    void resizedGeometry();

    void hoverSetsCursorAndRegion_data();
    void hoverSetsCursorAndRegion();
    void dragResizes_data();
    void dragResizes();
    void pressUsesRegionUnderPress();
    void pressInBandWithoutRegionResizesNothing();
    void dragMoves();
    void rightButtonStartsNeither_data();
    void rightButtonStartsNeither();
    void paintsShadowAndWhiteBody();
    void isFramelessWindow();
};

void TestFrameWindow::initTestCase()
{
    initBrantelResources();
}

void TestFrameWindow::hitRegion_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("region");

    const QSize s(100, 80);
    QTest::newRow("right edge, last column") << QPoint(99, 40) << s << 1 << 1;
    QTest::newRow("left edge") << QPoint(0, 40) << s << 1 << 2;
    QTest::newRow("bottom edge, last row") << QPoint(50, 79) << s << 1 << 3;
    QTest::newRow("top edge") << QPoint(50, 0) << s << 1 << 4;
    QTest::newRow("top-right corner") << QPoint(99, 0) << s << 1 << 5;
    QTest::newRow("top-left corner") << QPoint(0, 0) << s << 1 << 6;
    QTest::newRow("bottom-right corner") << QPoint(99, 79) << s << 1 << 7;
    QTest::newRow("bottom-left corner") << QPoint(0, 79) << s << 1 << 8;
    QTest::newRow("inside") << QPoint(50, 40) << s << 1 << 0;
    QTest::newRow("second column") << QPoint(1, 40) << s << 1 << 0;
    QTest::newRow("second-last column") << QPoint(98, 40) << s << 1 << 0;
    QTest::newRow("second-last row") << QPoint(50, 78) << s << 1 << 0;
    QTest::newRow("left edge next to top corner") << QPoint(0, 1) << s << 1 << 0;
    QTest::newRow("top edge next to left corner") << QPoint(1, 0) << s << 1 << 0;
    QTest::newRow("bottom edge next to left corner") << QPoint(1, 79) << s << 1 << 0;
    QTest::newRow("bottom edge beside that") << QPoint(2, 79) << s << 1 << 3;
    QTest::newRow("right edge next to bottom corner") << QPoint(99, 78) << s << 1 << 1;
    QTest::newRow("beyond the right side") << QPoint(100, 40) << s << 1 << 1;
    QTest::newRow("border 3, right band inner column") << QPoint(97, 40) << s << 3 << 1;
    QTest::newRow("border 3, inside the right band") << QPoint(96, 40) << s << 3 << 0;
    QTest::newRow("border 3, left band") << QPoint(2, 40) << s << 3 << 2;
    QTest::newRow("border 3, top-left corner") << QPoint(2, 2) << s << 3 << 6;
    QTest::newRow("border 3, bottom-right corner") << QPoint(97, 77) << s << 3 << 7;
}

void TestFrameWindow::hitRegion()
{
    QFETCH(QPoint, point);
    QFETCH(QSize, size);
    QFETCH(int, border);
    QFETCH(int, region);
    QCOMPARE(::hitRegion(point, size, border), region);
}

void TestFrameWindow::moveArea_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("moves");
    // 100 x 80 window, border 1: the move area spans (2, 2) to (97, 77).
    QTest::newRow("centre") << QPoint(50, 40) << true;
    QTest::newRow("inner top-left") << QPoint(2, 2) << true;
    QTest::newRow("inner bottom-right") << QPoint(97, 77) << true;
    QTest::newRow("second column") << QPoint(1, 40) << false;
    QTest::newRow("second row") << QPoint(50, 1) << false;
    QTest::newRow("second-last column") << QPoint(98, 40) << false;
    QTest::newRow("second-last row") << QPoint(50, 78) << false;
    QTest::newRow("corner") << QPoint(0, 0) << false;
}

void TestFrameWindow::moveArea()
{
    QFETCH(QPoint, point);
    QFETCH(bool, moves);
    QCOMPARE(isInMoveArea(point, QSize(100, 80), 1), moves);
}

void TestFrameWindow::resizedGeometry_data()
{
    QTest::addColumn<int>("region");
    QTest::addColumn<QRect>("current");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<bool>("applies");
    QTest::addColumn<QRect>("expected");

    // Window at (100, 100), 400 x 300, limits 200 x 150 to 800 x 600.
    const QRect r = kStart;
    QTest::newRow("right grows") << 1 << r << QPoint(600, 250) << true << QRect(100, 100, 500, 300);
    QTest::newRow("right at minimum") << 1 << r << QPoint(300, 250) << true << QRect(100, 100, 200, 300);
    QTest::newRow("right below minimum") << 1 << r << QPoint(299, 250) << false << QRect();
    QTest::newRow("right at maximum") << 1 << r << QPoint(900, 250) << true << QRect(100, 100, 800, 300);
    QTest::newRow("right above maximum") << 1 << r << QPoint(901, 250) << false << QRect();
    QTest::newRow("left grows") << 2 << r << QPoint(50, 250) << true << QRect(50, 100, 450, 300);
    QTest::newRow("left shrinks") << 2 << r << QPoint(250, 250) << true << QRect(250, 100, 250, 300);
    QTest::newRow("left below minimum") << 2 << r << QPoint(301, 250) << false << QRect();
    QTest::newRow("left above maximum") << 2 << r << QPoint(-301, 250) << false << QRect();
    QTest::newRow("bottom grows") << 3 << r << QPoint(300, 500) << true << QRect(100, 100, 400, 400);
    QTest::newRow("bottom below minimum") << 3 << r << QPoint(300, 249) << false << QRect();
    QTest::newRow("bottom above maximum") << 3 << r << QPoint(300, 701) << false << QRect();
    QTest::newRow("top grows") << 4 << r << QPoint(300, 50) << true << QRect(100, 50, 400, 350);
    QTest::newRow("top below minimum") << 4 << r << QPoint(300, 251) << false << QRect();
    QTest::newRow("top above maximum") << 4 << r << QPoint(300, -201) << false << QRect();
    QTest::newRow("top-right free") << 5 << r << QPoint(600, 50) << true << QRect(100, 50, 500, 350);
    QTest::newRow("top-right clamps to minimum height")
        << 5 << r << QPoint(600, 330) << true << QRect(100, 250, 500, 150);
    QTest::newRow("top-right clamps to maximum height")
        << 5 << r << QPoint(600, -300) << true << QRect(100, -200, 500, 600);
    QTest::newRow("top-left free") << 6 << r << QPoint(50, 50) << true << QRect(50, 50, 450, 350);
    QTest::newRow("top-left pins bottom-right at minimum")
        << 6 << r << QPoint(450, 350) << true << QRect(300, 250, 200, 150);
    QTest::newRow("top-left pins bottom-right at maximum")
        << 6 << r << QPoint(-400, -300) << true << QRect(-300, -200, 800, 600);
    QTest::newRow("top-left clamps width only")
        << 6 << r << QPoint(480, 50) << true << QRect(300, 50, 200, 350);
    QTest::newRow("top-left during a drag")
        << 6 << QRect(80, 80, 420, 320) << QPoint(60, 60) << true << QRect(60, 60, 440, 340);
    QTest::newRow("bottom-right free") << 7 << r << QPoint(650, 520) << true << QRect(100, 100, 550, 420);
    QTest::newRow("bottom-right leaves limits to the window")
        << 7 << r << QPoint(150, 120) << true << QRect(100, 100, 50, 20);
    QTest::newRow("bottom-left free") << 8 << r << QPoint(50, 500) << true << QRect(50, 100, 450, 400);
    QTest::newRow("bottom-left clamps to minimum width")
        << 8 << r << QPoint(450, 500) << true << QRect(300, 100, 200, 400);
    QTest::newRow("bottom-left clamps to maximum width")
        << 8 << r << QPoint(-400, 500) << true << QRect(-300, 100, 800, 400);
    QTest::newRow("no region") << 0 << r << QPoint(600, 600) << false << QRect();
    QTest::newRow("unknown region") << 9 << r << QPoint(600, 600) << false << QRect();
}

void TestFrameWindow::resizedGeometry()
{
    QFETCH(int, region);
    QFETCH(QRect, current);
    QFETCH(QPoint, cursor);
    QFETCH(bool, applies);
    QFETCH(QRect, expected);

    const std::optional<QRect> result = ::resizedGeometry(region, current, cursor, kStart, kMin, kMax);
    QCOMPARE(result.has_value(), applies);
    if (applies)
        QCOMPARE(*result, expected);
}

void TestFrameWindow::hoverSetsCursorAndRegion_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("region");
    // After hovering the left edge (region 2) first.
    QTest::newRow("right edge") << QPoint(399, 150) << int(Qt::SizeHorCursor) << 1;
    QTest::newRow("bottom edge") << QPoint(200, 299) << int(Qt::SizeVerCursor) << 3;
    QTest::newRow("top-right") << QPoint(399, 0) << int(Qt::SizeBDiagCursor) << 5;
    QTest::newRow("bottom-right") << QPoint(399, 299) << int(Qt::SizeFDiagCursor) << 7;
    QTest::newRow("inside keeps the region") << QPoint(200, 150) << int(Qt::ArrowCursor) << 2;
}

void TestFrameWindow::hoverSetsCursorAndRegion()
{
    QFETCH(QPoint, point);
    QFETCH(int, cursor);
    QFETCH(int, region);

    AbsFrameLessAutoSize w;
    w.setGeometry(kStart);
    hover(&w, QPoint(0, 150));
    QCOMPARE(w.region(), 2);
    hover(&w, point);
    QCOMPARE(int(w.cursor().shape()), cursor);
    QCOMPARE(w.region(), region);
}

void TestFrameWindow::dragResizes_data()
{
    QTest::addColumn<QPoint>("press");   // window coordinates
    QTest::addColumn<QPoint>("target");  // global
    QTest::addColumn<QRect>("expected");

    QTest::newRow("right") << QPoint(399, 150) << QPoint(600, 250) << QRect(100, 100, 500, 300);
    QTest::newRow("left") << QPoint(0, 150) << QPoint(50, 250) << QRect(50, 100, 450, 300);
    QTest::newRow("bottom") << QPoint(200, 299) << QPoint(300, 500) << QRect(100, 100, 400, 400);
    QTest::newRow("top") << QPoint(200, 0) << QPoint(300, 50) << QRect(100, 50, 400, 350);
    QTest::newRow("top-right") << QPoint(399, 0) << QPoint(600, 50) << QRect(100, 50, 500, 350);
    QTest::newRow("top-left") << QPoint(0, 0) << QPoint(50, 50) << QRect(50, 50, 450, 350);
    QTest::newRow("bottom-right") << QPoint(399, 299) << QPoint(650, 520) << QRect(100, 100, 550, 420);
    QTest::newRow("bottom-left") << QPoint(0, 299) << QPoint(50, 500) << QRect(50, 100, 450, 400);
    QTest::newRow("right edge refused below minimum")
        << QPoint(399, 150) << QPoint(250, 250) << kStart;
    QTest::newRow("top edge refused above maximum")
        << QPoint(200, 0) << QPoint(300, -300) << kStart;
    QTest::newRow("top-left clamps at minimum")
        << QPoint(0, 0) << QPoint(450, 350) << QRect(300, 250, 200, 150);
}

// Hover, left press, drag to the target and release, then drag on: the release ends it.
void TestFrameWindow::dragResizes()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, target);
    QFETCH(QRect, expected);

    AbsFrameLessAutoSize w;
    w.setMinimumSize(kMin);
    w.setMaximumSize(kMax);
    w.setGeometry(kStart);

    hover(&w, press);
    sendMouse(&w, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    dragTo(&w, target);
    QCOMPARE(w.geometry(), expected);

    sendMouse(&w, QEvent::MouseButtonRelease, target - w.geometry().topLeft(), Qt::LeftButton,
              Qt::NoButton);
    dragTo(&w, target + QPoint(40, 40), Qt::NoButton);
    QCOMPARE(w.geometry(), expected);
}

// A resize follows the band pressed, not whatever edge was hovered last.
void TestFrameWindow::pressUsesRegionUnderPress()
{
    AbsFrameLessAutoSize w;
    w.setMinimumSize(kMin);
    w.setGeometry(kStart);
    hover(&w, QPoint(0, 150));
    QCOMPARE(w.region(), 2);

    sendMouse(&w, QEvent::MouseButtonPress, QPoint(399, 150), Qt::LeftButton, Qt::LeftButton);
    dragTo(&w, QPoint(620, 250));
    QCOMPARE(w.geometry(), QRect(100, 100, 520, 300));
}

void TestFrameWindow::pressInBandWithoutRegionResizesNothing()
{
    AbsFrameLessAutoSize w;
    w.setGeometry(kStart);
    hover(&w, QPoint(0, 150));
    // Column 1 is outside the move area but in no edge region.
    sendMouse(&w, QEvent::MouseButtonPress, QPoint(1, 150), Qt::LeftButton, Qt::LeftButton);
    dragTo(&w, QPoint(20, 260));
    QCOMPARE(w.geometry(), kStart);
}

void TestFrameWindow::dragMoves()
{
    AbsFrameLessAutoSize w;
    w.setGeometry(kStart);
    sendMouse(&w, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton, Qt::LeftButton);
    dragTo(&w, QPoint(330, 270));
    QCOMPARE(w.geometry(), QRect(130, 120, 400, 300));
    dragTo(&w, QPoint(290, 240));
    QCOMPARE(w.geometry(), QRect(90, 90, 400, 300));

    sendMouse(&w, QEvent::MouseButtonRelease, QPoint(200, 150), Qt::LeftButton, Qt::NoButton);
    dragTo(&w, QPoint(400, 400), Qt::NoButton);
    QCOMPARE(w.geometry(), QRect(90, 90, 400, 300));
}

void TestFrameWindow::rightButtonStartsNeither_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::newRow("inside") << QPoint(200, 150);
    QTest::newRow("right edge") << QPoint(399, 150);
    QTest::newRow("top-left corner") << QPoint(0, 0);
}

void TestFrameWindow::rightButtonStartsNeither()
{
    QFETCH(QPoint, press);
    AbsFrameLessAutoSize w;
    w.setGeometry(kStart);
    hover(&w, press);
    sendMouse(&w, QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    dragTo(&w, QPoint(650, 520), Qt::RightButton);
    QCOMPARE(w.geometry(), kStart);
    sendMouse(&w, QEvent::MouseButtonRelease, press, Qt::RightButton, Qt::NoButton);
    dragTo(&w, QPoint(40, 30), Qt::NoButton);
    QCOMPARE(w.geometry(), kStart);
}

// The shadow pictures are found and drawn around an opaque white body.
void TestFrameWindow::paintsShadowAndWhiteBody()
{
    AbsFrameLessAutoSize w;
    w.resize(120, 90);
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(120, 90));

    // (The size grip sits in the bottom-right corner.)
    for (const QPoint p : {QPoint(2, 2), QPoint(60, 45), QPoint(117, 2), QPoint(2, 87)})
        QCOMPARE(image.pixel(p), qRgba(255, 255, 255, 255));

    const QPoint shadowPoints[] = {QPoint(0, 45), QPoint(1, 45), QPoint(119, 45), QPoint(60, 0),
                                   QPoint(60, 89), QPoint(0, 0), QPoint(119, 89)};
    for (const QPoint p : shadowPoints) {
        const int alpha = qAlpha(image.pixel(p));
        QVERIFY2(alpha > 0 && alpha < 255, qPrintable(QStringLiteral("(%1, %2) alpha %3")
                                                          .arg(p.x()).arg(p.y()).arg(alpha)));
    }
    // Darker next to the body than at the outer edge.
    QVERIFY(qAlpha(image.pixel(1, 45)) > qAlpha(image.pixel(0, 45)));
    QVERIFY(qAlpha(image.pixel(118, 45)) > qAlpha(image.pixel(119, 45)));
}

void TestFrameWindow::isFramelessWindow()
{
    QWidget parent;
    AbsFrameLessAutoSize top;
    AbsFrameLessAutoSize child(&parent);
    for (AbsFrameLessAutoSize *w : {&top, &child}) {
        QVERIFY(w->isWindow());
        QVERIFY(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(w->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(w->hasMouseTracking());
    }
}

QTEST_MAIN(TestFrameWindow)
#include "tst_framewindow.moc"
