// Title bar, image button, About dialog and the images they show.

#include "widgets/AboutDialog.h"
#include "widgets/BrantelResources.h"
#include "widgets/PushButton.h"
#include "widgets/TitleWidget.h"

#include <QDate>
#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTranslator>
#include <QtTest>

#include <algorithm>

namespace {

QList<PushButton *> buttonsLeftToRight(TitleWidget *title)
{
    QList<PushButton *> buttons = title->findChildren<PushButton *>();
    std::sort(buttons.begin(), buttons.end(),
              [](PushButton *a, PushButton *b) { return a->x() < b->x(); });
    return buttons;
}

PushButton *buttonWithToolTip(TitleWidget *title, const QString &tip)
{
    for (PushButton *b : title->findChildren<PushButton *>()) {
        if (b->toolTip() == tip)
            return b;
    }
    return nullptr;
}

void sendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button)
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestTitleAbout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void resourcesLoad_data();
    void resourcesLoad();
    void resourceTreeHoldsExactlyTheProgramsFiles();

    void titleButtons_data();
    void titleButtons();
    void titleButtonEmits_data();
    void titleButtonEmits();
    void titleDoubleClick_data();
    void titleDoubleClick();
    void titleLook();

    void imageButtonStates();
    void imageButtonClicks_data();
    void imageButtonClicks();

    void aboutTexts_data();
    void aboutTexts();
    void aboutCloses_data();
    void aboutCloses();
    void aboutIsAWindowOverItsParent();
    void fileVersionQueryPath_data();
    void fileVersionQueryPath();
};

void TestTitleAbout::initTestCase()
{
    initBrantelResources();
}

void TestTitleAbout::resourcesLoad_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("maxSize");
    const QSize any(1000, 1000);
    const QSize button(40, 30);
    QTest::newRow("icon") << ":/App/Resources/app.ico" << any;
    QTest::newRow("delete icon") << ":/App/Resources/del.ico" << any;
    QTest::newRow("logo") << ":/App/Resources/company _logo.png" << QSize(186, 30);
    for (const char *name : {"menu", "min", "close"}) {
        for (const char *suffix : {"", "_hover", "_pressed"}) {
            const QString file = QStringLiteral(":/sysButton/Resources/sysButton/%1%2.png")
                                     .arg(QLatin1String(name), QLatin1String(suffix));
            QTest::newRow(qPrintable(file)) << file << button;
        }
    }
    for (const char *side : {"left", "right", "top", "bottom", "left_top", "right_top",
                             "left_bottom", "right_bottom"}) {
        const QString file =
            QStringLiteral(":/shadow/Resources/shadow/shadow_%1.png").arg(QLatin1String(side));
        QTest::newRow(qPrintable(file)) << file << QSize(2, 2);
    }
}

void TestTitleAbout::resourcesLoad()
{
    QFETCH(QString, path);
    QFETCH(QSize, maxSize);
    const QPixmap pixmap(path);
    QVERIFY(!pixmap.isNull());
    QVERIFY2(pixmap.width() <= maxSize.width() && pixmap.height() <= maxSize.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(pixmap.width()).arg(pixmap.height())));
}

void TestTitleAbout::resourceTreeHoldsExactlyTheProgramsFiles()
{
    QStringList expected{":/Language/Resources/brantel_en.qm",
                         ":/Language/Resources/brantel_zh.qm"};
    QStringList found;
    for (const char *root : {":/App", ":/sysButton", ":/shadow", ":/Language", ":/image"}) {
        QDirIterator it(QLatin1String(root), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
    }
    const QStringList images = {
        ":/App/Resources/app.ico", ":/App/Resources/del.ico", ":/App/Resources/company _logo.png"};
    expected << images;
    for (const char *name : {"menu", "min", "close"}) {
        for (const char *suffix : {"", "_hover", "_pressed"})
            expected << QStringLiteral(":/sysButton/Resources/sysButton/%1%2.png")
                            .arg(QLatin1String(name), QLatin1String(suffix));
    }
    for (const char *side : {"left", "right", "top", "bottom", "left_top", "right_top",
                             "left_bottom", "right_bottom"})
        expected << QStringLiteral(":/shadow/Resources/shadow/shadow_%1.png").arg(QLatin1String(side));
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
}

void TestTitleAbout::titleButtons_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("toolTips");  // left to right
    QTest::newRow("close only") << 0 << QStringList{"关闭"};
    QTest::newRow("minimise and close") << 1 << QStringList{"最小化", "关闭"};
    QTest::newRow("menu, minimise and close") << 2 << QStringList{"菜单", "最小化", "关闭"};
}

void TestTitleAbout::titleButtons()
{
    QFETCH(int, code);
    QFETCH(QStringList, toolTips);

    TitleWidget title(code);
    title.resize(400, 30);
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));

    QStringList shown;
    const QList<PushButton *> buttons = buttonsLeftToRight(&title);
    for (PushButton *b : buttons)
        shown << b->toolTip();
    QCOMPARE(shown, toolTips);
    // Packed at the right end, one pixel from the edge, on the top line.
    QCOMPARE(buttons.last()->geometry().right(), title.width() - 2);
    for (PushButton *b : buttons)
        QCOMPARE(b->y(), 0);
}

void TestTitleAbout::titleButtonEmits_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("signal");
    QTest::newRow("menu") << 2 << "菜单" << "showMainMenu";
    QTest::newRow("minimise") << 2 << "最小化" << "showMin";
    QTest::newRow("close") << 2 << "关闭" << "closeWidget";
    QTest::newRow("minimise, code 1") << 1 << "最小化" << "showMin";
    QTest::newRow("close, code 0") << 0 << "关闭" << "closeWidget";
}

void TestTitleAbout::titleButtonEmits()
{
    QFETCH(int, code);
    QFETCH(QString, toolTip);
    QFETCH(QString, signal);

    TitleWidget title(code);
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QSignalSpy menu(&title, &TitleWidget::showMainMenu);
    QSignalSpy min(&title, &TitleWidget::showMin);
    QSignalSpy close(&title, &TitleWidget::closeWidget);
    QSignalSpy dbl(&title, &TitleWidget::LeftDoubleClick);

    PushButton *button = buttonWithToolTip(&title, toolTip);
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(menu.count(), signal == "showMainMenu" ? 1 : 0);
    QCOMPARE(min.count(), signal == "showMin" ? 1 : 0);
    QCOMPARE(close.count(), signal == "closeWidget" ? 1 : 0);
    QCOMPARE(dbl.count(), 0);
}

void TestTitleAbout::titleDoubleClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("emits");
    QTest::newRow("left") << int(Qt::LeftButton) << 1;
    QTest::newRow("right") << int(Qt::RightButton) << 0;
    QTest::newRow("middle") << int(Qt::MiddleButton) << 0;
}

void TestTitleAbout::titleDoubleClick()
{
    QFETCH(int, button);
    QFETCH(int, emits);
    TitleWidget title(2);
    title.resize(400, 30);
    title.show();
    QVERIFY(QTest::qWaitForWindowExposed(&title));
    QSignalSpy spy(&title, &TitleWidget::LeftDoubleClick);
    QTest::mouseDClick(&title, Qt::MouseButton(button), Qt::NoModifier, QPoint(150, 15));
    QCOMPARE(spy.count(), emits);
}

void TestTitleAbout::titleLook()
{
    TitleWidget title(2);
    title.setTitle(QStringLiteral("Brantel"));
    title.resize(400, 60);
    QCOMPARE(title.height(), 30);

    const QImage image = title.grab().toImage();
    QCOMPARE(QColor(image.pixel(200, 25)), QColor(40, 119, 192));

    const QList<QLabel *> labels = title.findChildren<QLabel *>();
    auto text = std::find_if(labels.begin(), labels.end(),
                             [](QLabel *l) { return l->text() == QLatin1String("Brantel"); });
    QVERIFY(text != labels.end());
    QCOMPARE((*text)->palette().color(QPalette::Active, QPalette::WindowText), QColor(Qt::white));
    QCOMPARE((*text)->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(Qt::white));
    QVERIFY((*text)->font().bold());
    auto icon = std::find_if(labels.begin(), labels.end(),
                             [](QLabel *l) { return !l->pixmap(Qt::ReturnByValue).isNull(); });
    QVERIFY(icon != labels.end());
    QCOMPARE((*icon)->size(), QSize(20, 25));
}

void TestTitleAbout::imageButtonStates()
{
    PushButton button;
    button.setImage(QStringLiteral(":/sysButton/Resources/sysButton/close"));
    QCOMPARE(button.size(), QPixmap(QStringLiteral(":/sysButton/Resources/sysButton/close.png")).size());
    QCOMPARE(button.imageName(), QStringLiteral(":/sysButton/Resources/sysButton/close"));

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.state(), int(PushButton::Hover));
    QCOMPARE(button.imageName(), QStringLiteral(":/sysButton/Resources/sysButton/close_hover"));

    sendMouse(&button, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton);
    QCOMPARE(button.state(), int(PushButton::Pressed));
    QCOMPARE(button.imageName(), QStringLiteral(":/sysButton/Resources/sysButton/close_pressed"));

    sendMouse(&button, QEvent::MouseButtonRelease, QPoint(3, 3), Qt::LeftButton);
    QCOMPARE(button.state(), int(PushButton::Hover));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(button.state(), int(PushButton::Normal));

    // Each state shows a different picture.
    QImage pictures[3];
    int i = 0;
    for (QEvent::Type t : {QEvent::Leave, QEvent::Enter}) {
        QEvent e(t);
        QApplication::sendEvent(&button, &e);
        pictures[i++] = button.grab().toImage();
    }
    sendMouse(&button, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton);
    pictures[2] = button.grab().toImage();
    QVERIFY(pictures[0] != pictures[1]);
    QVERIFY(pictures[1] != pictures[2]);
    QVERIFY(pictures[0] != pictures[2]);
}

void TestTitleAbout::imageButtonClicks_data()
{
    // Sequence of (event, button, inside) steps, encoded as strings for readability.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left click") << QStringList{"press L in", "release L in"} << 1;
    QTest::newRow("right click") << QStringList{"press R in", "release R in"} << 0;
    QTest::newRow("release outside") << QStringList{"press L in", "release L out"} << 0;
    QTest::newRow("stray release after leaving")
        << QStringList{"press L in", "release L out", "press R in", "release R in"} << 0;
    QTest::newRow("two clicks")
        << QStringList{"press L in", "release L in", "press L in", "release L in"} << 2;
    QTest::newRow("release without press") << QStringList{"release L in"} << 0;
}

void TestTitleAbout::imageButtonClicks()
{
    QFETCH(QStringList, steps);
    QFETCH(int, clicks);

    PushButton button;
    button.setImage(QStringLiteral(":/sysButton/Resources/sysButton/min"));
    QSignalSpy spy(&button, &QPushButton::clicked);
    for (const QString &step : steps) {
        const QStringList parts = step.split(' ');
        const QEvent::Type type =
            parts[0] == "press" ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease;
        const Qt::MouseButton mouseButton = parts[1] == "L" ? Qt::LeftButton : Qt::RightButton;
        const QPoint pos = parts[2] == "in" ? QPoint(2, 2) : QPoint(button.width() + 5, 2);
        sendMouse(&button, type, pos, mouseButton);
    }
    QCOMPARE(spy.count(), clicks);
    for (const QList<QVariant> &args : spy)
        QCOMPARE(args.at(0).toBool(), false);
}

void TestTitleAbout::aboutTexts_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("maker");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("title");
    QTest::newRow("source texts") << false << "版本：" << "Brantel." << "Harlowen." << "官网："
                                  << "确定" << "关于";
    QTest::newRow("English") << true << "versions：" << "Brantel." << "Harlowen." << "website："
                             << "OK" << "About";
}

void TestTitleAbout::aboutTexts()
{
    QFETCH(bool, english);
    QFETCH(QString, version);
    QFETCH(QString, product);
    QFETCH(QString, maker);
    QFETCH(QString, site);
    QFETCH(QString, ok);
    QFETCH(QString, title);

    QTranslator translator;
    if (english) {
        QVERIFY(translator.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
        QCoreApplication::installTranslator(&translator);
    }
    AboutDialog dialog;
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(dialog.size(), QSize(550, 200));
    QCOMPARE(dialog.findChild<QLabel *>("m_pLabelVersion")->text(),
             version + QStringLiteral(BRANTEL_VERSION));
    QCOMPARE(dialog.findChild<QLabel *>("m_pLabelProductName")->text(), product);
    const QString copyright = dialog.findChild<QLabel *>("m_pLabelCopyright")->text();
    QVERIFY2(copyright.contains(QString::number(QDate::currentDate().year())), qPrintable(copyright));
    QVERIFY2(copyright.endsWith(maker), qPrintable(copyright));
    QLabel *webSite = dialog.findChild<QLabel *>("m_pLabelWebSite");
    QVERIFY(webSite->text().startsWith(site + QStringLiteral("<a href=\"")));
    QVERIFY(webSite->text().contains(AboutDialog::webSiteUrl()));
    QVERIFY(webSite->openExternalLinks());
    QCOMPARE(dialog.findChild<QPushButton *>("m_pPushButtonOK")->text(), ok);

    TitleWidget *bar = dialog.findChild<TitleWidget *>();
    QVERIFY(bar);
    QCOMPARE(bar->findChildren<PushButton *>().size(), 1);
    bool titled = false;
    for (QLabel *l : bar->findChildren<QLabel *>())
        titled = titled || l->text() == title;
    QVERIFY(titled);

    QLabel *logo = dialog.findChild<QLabel *>("m_pLabelLogo");
    QCOMPARE(logo->size(), QSize(186, 30));
    QVERIFY(!logo->pixmap(Qt::ReturnByValue).isNull());
}

void TestTitleAbout::aboutCloses_data()
{
    QTest::addColumn<bool>("viaTitleBar");
    QTest::newRow("OK button") << false;
    QTest::newRow("title bar close") << true;
}

void TestTitleAbout::aboutCloses()
{
    QFETCH(bool, viaTitleBar);
    AboutDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (viaTitleBar) {
        TitleWidget *bar = dialog.findChild<TitleWidget *>();
        QTest::mouseClick(bar->findChild<PushButton *>(), Qt::LeftButton);
    } else {
        QTest::mouseClick(dialog.findChild<QPushButton *>("m_pPushButtonOK"), Qt::LeftButton);
    }
    QVERIFY(!dialog.isVisible());
}

void TestTitleAbout::aboutIsAWindowOverItsParent()
{
    QWidget parent;
    parent.resize(700, 400);
    parent.show();
    AboutDialog dialog(&parent);
    QVERIFY(dialog.isWindow());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.size(), QSize(550, 200));
    QVERIFY(dialog.windowHandle() != parent.windowHandle());
}

void TestTitleAbout::fileVersionQueryPath_data()
{
    QTest::addColumn<uint>("language");
    QTest::addColumn<uint>("codePage");
    QTest::addColumn<QString>("path");
    QTest::newRow("Chinese, Unicode") << 0x804u << 0x4b0u << "\\StringFileInfo\\080404b0\\FileVersion";
    QTest::newRow("US English, Western") << 0x409u << 0x4e4u << "\\StringFileInfo\\040904e4\\FileVersion";
    QTest::newRow("neutral") << 0u << 0u << "\\StringFileInfo\\00000000\\FileVersion";
    QTest::newRow("four digits") << 0xffffu << 0x1u << "\\StringFileInfo\\ffff0001\\FileVersion";
}

void TestTitleAbout::fileVersionQueryPath()
{
    QFETCH(uint, language);
    QFETCH(uint, codePage);
    QFETCH(QString, path);
    QCOMPARE(AboutDialog::fileVersionQueryPath(language, codePage), path);
}

QTEST_MAIN(TestTitleAbout)
#include "tst_titleabout.moc"
