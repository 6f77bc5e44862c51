// Title bar, image button and About dialog.

#include "support/Child.h"
#include "widgets/AboutDialog.h"
#include "widgets/BrantelResources.h"
#include "widgets/PushButton.h"
#include "widgets/TitleWidget.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

class TestTitleAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initBrantelResources(); }
    void titleBar();
    void imageButtonClicks();
    void englishAbout();
};

// The buttons packed at the right end, each emitting its own signal only; a double click
// on the bar reports only the left button.
void TestTitleAbout::titleBar()
{
    TitleWidget title(2);
    title.resize(400, 30);
    QStringList seen;
    connect(&title, &TitleWidget::showMainMenu, [&] { seen << "menu"; });
    connect(&title, &TitleWidget::showMin, [&] { seen << "min"; });
    connect(&title, &TitleWidget::closeWidget, [&] { seen << "close"; });
    connect(&title, &TitleWidget::LeftDoubleClick, [&] { seen << "double"; });
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QList<PushButton *> buttons = title.findChildren<PushButton *>();
    std::sort(buttons.begin(), buttons.end(), [](auto *a, auto *b) { return a->x() < b->x(); });
    QCOMPARE(buttons.last()->geometry().right(), title.width() - 2);
    for (PushButton *b : buttons)
        QTest::mouseClick(b, Qt::LeftButton);
    QTest::mouseDClick(&title, Qt::RightButton, Qt::NoModifier, QPoint(150, 15));
    QTest::mouseDClick(&title, Qt::LeftButton, Qt::NoModifier, QPoint(150, 15));
    QCOMPARE(seen, (QStringList{"menu", "min", "close", "double"}));
}

// Only a left press released over the button clicks it.
void TestTitleAbout::imageButtonClicks()
{
    PushButton b;
    b.setImage(QStringLiteral(":/sysButton/Resources/sysButton/min"));
    QSignalSpy spy(&b, &QPushButton::clicked);
    const auto click = [&b](Qt::MouseButton button, QPoint release) {
        QTest::mousePress(&b, button, {}, QPoint(2, 2));
        QTest::mouseRelease(&b, button, {}, release);
    };
    click(Qt::RightButton, {2, 2});
    click(Qt::LeftButton, {b.width() + 5, 2});
    QCOMPARE(spy.count(), 0);
    click(Qt::LeftButton, {2, 2});
    QCOMPARE(spy.count(), 1);
}

void TestTitleAbout::englishAbout()
{
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
    QCoreApplication::installTranslator(&english);
    QWidget parent; // opened over the main window, in a window of its own
    AboutDialog dialog(&parent);
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(child<QLabel>(&dialog, "m_pLabelVersion")->text(),
             QStringLiteral("versions：" BRANTEL_VERSION));
    QVERIFY(child<QLabel>(&dialog, "m_pLabelWebSite")->text().contains(AboutDialog::webSiteUrl()));
    QCOMPARE(AboutDialog::fileVersionQueryPath(0x4, 0x4b0),
             QStringLiteral("\\StringFileInfo\\000404b0\\FileVersion"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog) && dialog.isWindow());
    QTest::mouseClick(child<QPushButton>(&dialog, "m_pPushButtonOK"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestTitleAbout)
#include "tst_titleabout.moc"
