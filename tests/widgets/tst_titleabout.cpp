// Title bar, image button and About dialog.

#include "widgets/AboutDialog.h"
#include "widgets/BrantelResources.h"
#include "widgets/PushButton.h"
#include "widgets/TitleWidget.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

namespace {

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void sendEvent(QWidget *w, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestTitleAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initBrantelResources(); }
    void titleBar_data();
    void titleBar();
    void imageButtonStates();
    void imageButtonClicks_data();
    void imageButtonClicks();
    void aboutTexts_data();
    void aboutTexts();
    void fileVersionQueryPath();
};

void TestTitleAbout::titleBar_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("toolTips");  // left to right
    QTest::addColumn<QStringList>("emitted");   // by each button when clicked
    QTest::newRow("close only") << 0 << QStringList{"关闭"} << QStringList{"closeWidget"};
    QTest::newRow("minimise and close")
        << 1 << QStringList{"最小化", "关闭"} << QStringList{"showMin", "closeWidget"};
    QTest::newRow("menu, minimise and close") << 2 << QStringList{"菜单", "最小化", "关闭"}
                                              << QStringList{"showMainMenu", "showMin", "closeWidget"};
}

// The buttons packed at the right end, each emitting its own signal only; a double click
// on the bar reports only the left button.
void TestTitleAbout::titleBar()
{
    QFETCH(int, code);
    QFETCH(QStringList, toolTips);
    QFETCH(QStringList, emitted);

    TitleWidget title(code);
    title.resize(400, 30);
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QStringList seen;
    connect(&title, &TitleWidget::showMainMenu, [&] { seen << "showMainMenu"; });
    connect(&title, &TitleWidget::showMin, [&] { seen << "showMin"; });
    connect(&title, &TitleWidget::closeWidget, [&] { seen << "closeWidget"; });
    connect(&title, &TitleWidget::LeftDoubleClick, [&] { seen << "LeftDoubleClick"; });

    QList<PushButton *> buttons = title.findChildren<PushButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](PushButton *a, PushButton *b) { return a->x() < b->x(); });
    QStringList tips;
    for (PushButton *b : buttons)
        tips << b->toolTip();
    QCOMPARE(tips, toolTips);
    QCOMPARE(buttons.last()->geometry().right(), title.width() - 2);
    for (int i = 0; i < buttons.size(); ++i) {
        QTest::mouseClick(buttons[i], Qt::LeftButton);
        QCOMPARE(seen, QStringList{emitted[i]});
        seen.clear();
    }

    QTest::mouseDClick(&title, Qt::RightButton, Qt::NoModifier, QPoint(150, 15));
    QTest::mouseDClick(&title, Qt::MiddleButton, Qt::NoModifier, QPoint(150, 15));
    QCOMPARE(seen, QStringList());
    QTest::mouseDClick(&title, Qt::LeftButton, Qt::NoModifier, QPoint(150, 15));
    QCOMPARE(seen, QStringList{"LeftDoubleClick"});
}

// Hover, press, release and leave each show their own picture.
void TestTitleAbout::imageButtonStates()
{
    const QString base = QStringLiteral(":/sysButton/Resources/sysButton/close");
    PushButton button;
    button.setImage(base);
    QCOMPARE(button.size(), QPixmap(base + ".png").size());
    const QImage normal = button.grab().toImage();

    sendEvent(&button, QEvent::Enter);
    QCOMPARE(button.imageName(), base + "_hover");
    const QImage hover = button.grab().toImage();
    sendMouse(&button, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton);
    QCOMPARE(button.imageName(), base + "_pressed");
    const QImage pressed = button.grab().toImage();
    sendMouse(&button, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton);
    QCOMPARE(button.imageName(), base + "_hover");
    sendEvent(&button, QEvent::Leave);
    QCOMPARE(button.imageName(), base);

    QVERIFY(normal != hover);
    QVERIFY(hover != pressed);
    QVERIFY(normal != pressed);
}

void TestTitleAbout::imageButtonClicks_data()
{
    // Steps of "press|release L|R in|out".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left click") << QStringList{"press L in", "release L in"} << 1;
    QTest::newRow("right click") << QStringList{"press R in", "release R in"} << 0;
    QTest::newRow("release outside") << QStringList{"press L in", "release L out"} << 0;
    QTest::newRow("stray release after leaving")
        << QStringList{"press L in", "release L out", "press R in", "release R in"} << 0;
}

void TestTitleAbout::imageButtonClicks()
{
    QFETCH(QStringList, steps);
    QFETCH(int, clicks);

    PushButton button;
    button.setImage(QStringLiteral(":/sysButton/Resources/sysButton/min"));
    QSignalSpy spy(&button, &QPushButton::clicked);
    for (const QString &step : steps) {
        const QStringList p = step.split(' ');
        sendMouse(&button, p[0] == "press" ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease,
                  p[2] == "in" ? QPoint(2, 2) : QPoint(button.width() + 5, 2),
                  p[1] == "L" ? Qt::LeftButton : Qt::RightButton);
    }
    QCOMPARE(spy.count(), clicks);
}

void TestTitleAbout::aboutTexts_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("texts");  // version, site, OK, title
    QTest::addColumn<bool>("viaTitleBar");   // closed by the title bar's button, or by OK
    QTest::newRow("source texts, OK closes")
        << false << QStringList{"版本：", "官网：", "确定", "关于"} << false;
    QTest::newRow("English, title bar closes")
        << true << QStringList{"versions：", "website：", "OK", "About"} << true;
}

void TestTitleAbout::aboutTexts()
{
    QFETCH(bool, english);
    QFETCH(QStringList, texts);
    QFETCH(bool, viaTitleBar);

    QTranslator translator;
    if (english) {
        QVERIFY(translator.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
        QCoreApplication::installTranslator(&translator);
    }
    QWidget parent; // opened over a parent, as the main window does, in a window of its own
    parent.show();
    AboutDialog dialog(&parent);
    QCoreApplication::removeTranslator(&translator);
    const auto label = [&](const char *name) { return dialog.findChild<QLabel *>(name)->text(); };

    QCOMPARE(label("m_pLabelVersion"), texts[0] + QStringLiteral(BRANTEL_VERSION));
    QCOMPARE(label("m_pLabelProductName"), QStringLiteral("Brantel."));
    const QString copyright = label("m_pLabelCopyright");
    QVERIFY2(copyright.contains(QString::number(QDate::currentDate().year())), qPrintable(copyright));
    QVERIFY2(copyright.endsWith(QStringLiteral("Harlowen.")), qPrintable(copyright));
    QVERIFY(label("m_pLabelWebSite").startsWith(texts[1] + QStringLiteral("<a href=\"")));
    QVERIFY(label("m_pLabelWebSite").contains(AboutDialog::webSiteUrl()));
    QCOMPARE(dialog.findChild<QPushButton *>("m_pPushButtonOK")->text(), texts[2]);
    QVERIFY(!dialog.findChild<QLabel *>("m_pLabelLogo")->pixmap(Qt::ReturnByValue).isNull());

    TitleWidget *bar = dialog.findChild<TitleWidget *>();
    QCOMPARE(bar->findChildren<PushButton *>().size(), 1);
    const QList<QLabel *> barLabels = bar->findChildren<QLabel *>();
    QVERIFY(std::any_of(barLabels.begin(), barLabels.end(),
                        [&](QLabel *l) { return l->text() == texts[3]; }));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.isWindow());
    QTest::mouseClick(viaTitleBar ? bar->findChild<PushButton *>()
                                  : dialog.findChild<QPushButton *>("m_pPushButtonOK"),
                      Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

// Zero-padded lower-case hex for language and code page.
void TestTitleAbout::fileVersionQueryPath()
{
    QCOMPARE(AboutDialog::fileVersionQueryPath(0x4, 0x4b0),
             QStringLiteral("\\StringFileInfo\\000404b0\\FileVersion"));
}

QTEST_MAIN(TestTitleAbout)
#include "tst_titleabout.moc"
