// The main window as a controller: which bottom-row buttons each tab shows, the language
// switch, the cache-size action following the monitor, and hot-plug of the adapter.

#include "app/LanguageChoice.h"
#include "app/MainWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "monitor/DataMonitorWidget.h"
#include "trace/TraceModel.h"
#include "trace/TraceWindow.h"
#include "widgets/BrantelResources.h"
#include "widgets/SwitchButton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QtMath>
#include <QtTest>

#include <optional>

namespace {

// The widest of a control's texts against the room its style leaves for text; empty when
// the control is not one of the kinds checked or has no text.
struct TextRoom {
    int text = 0;
    int room = 0;
};

std::optional<TextRoom> textRoom(QWidget *w)
{
    const QFontMetrics fm = w->fontMetrics();
    const auto advance = [&fm](const QString &t) { return fm.size(Qt::TextShowMnemonic, t).width(); };
    if (auto *label = qobject_cast<QLabel *>(w)) {
        if (label->text().isEmpty() || label->wordWrap())
            return std::nullopt;
        const int room = label->contentsRect().width() - 2 * label->margin();
        if (Qt::mightBeRichText(label->text())) { // measured as laid out, not as markup
            QTextDocument doc;
            doc.setDefaultFont(label->font());
            doc.setDocumentMargin(0);
            doc.setHtml(label->text());
            return TextRoom{qCeil(doc.idealWidth()), room};
        }
        return TextRoom{advance(label->text()), room};
    }
    if (auto *button = qobject_cast<QPushButton *>(w)) {
        if (button->text().isEmpty())
            return std::nullopt;
        QStyleOptionButton opt;
        opt.initFrom(button);
        opt.text = button->text();
        const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
        return TextRoom{advance(button->text()), contents.width()};
    }
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        if (edit->text().isEmpty() || edit->parent() && qobject_cast<QComboBox *>(edit->parent()))
            return std::nullopt;
        QStyleOptionFrame opt;
        opt.initFrom(edit);
        const QMargins m = edit->textMargins();
        const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
        return TextRoom{advance(edit->text()), contents.width() - m.left() - m.right() - 2 * 2};
    }
    if (auto *combo = qobject_cast<QComboBox *>(w)) {
        QStyleOptionComboBox opt;
        opt.initFrom(combo);
        opt.editable = combo->isEditable();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                           QStyle::SC_ComboBoxEditField, combo);
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i)
            widest = qMax(widest, advance(combo->itemText(i)));
        return widest ? std::optional<TextRoom>(TextRoom{widest, field.width()}) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

class TestMainWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsInTheSystemLanguage();
    void controlsHaveTheirNamesAndSizes();
    void menuOrder();
    void bottomRowFollowsTab_data();
    void bottomRowFollowsTab();
    void languageSwitch();
    void choosingTheCheckedLanguageAgainUnchecksIt();
    void connectTextFollowsConnectionInBothLanguages();
    void cacheSizeActionFollowsMonitor();
    void hotplugShowsAndClearsDeviceName();
    void noTextIsClipped_data();
    void noTextIsClipped();
    void traceFollowsMonitor();
    void keysDoNotCloseOrPress_data();
    void keysDoNotCloseOrPress();

private:
    template <typename T> T *child(const char *name)
    {
        T *w = m_window->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QPushButton *button(const char *name) { return child<QPushButton>(name); }

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
    QTemporaryDir m_config;
};

void TestMainWidget::initTestCase()
{
    // The trace window keeps its DBC file in the user's settings: a scratch directory here.
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestMainWidget::init()
{
    m_device = SimRegistry::instance().add();
    m_window = std::make_unique<MainWidget>();
}

void TestMainWidget::cleanup()
{
    m_window.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

// CTest runs this function once more under LANG=en_US.UTF-8 and LANG=zh_CN.UTF-8.
void TestMainWidget::startsInTheSystemLanguage()
{
    QAction *english = child<QAction>("m_pActionEnglish");
    QAction *chinese = child<QAction>("m_pActionSimplifiedChinese");
    QTabWidget *tabs = child<QTabWidget>("m_tabWidget");
    switch (systemStartLanguage()) {
    case StartLanguage::English:
        QVERIFY(english->isChecked() && !chinese->isChecked());
        QVERIFY(m_window->minimumWidth() >= 790); // wider where the texts need it
        QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("Connect"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Offline list"));
        QCOMPARE(child<QComboBox>("m_comboBoxSendType")->itemText(0), QStringLiteral("Cycle send"));
        break;
    case StartLanguage::SimplifiedChinese:
        QVERIFY(chinese->isChecked() && !english->isChecked());
        QCOMPARE(m_window->minimumWidth(), 720);
        QCOMPARE(tabs->tabText(1), QStringLiteral("离线列表"));
        // Source texts until the user picks the catalogue.
        QCOMPARE(QCoreApplication::translate("MainWidget", "设置离线数据失败"),
                 QStringLiteral("设置离线数据失败"));
        break;
    case StartLanguage::Unchanged:
        QVERIFY(!chinese->isChecked() && !english->isChecked());
        QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("连接"));
        break;
    }
}

void TestMainWidget::controlsHaveTheirNamesAndSizes()
{
    QVERIFY(child<QLineEdit>("m_pLineEditDevName")->width() >= 150);
    QVERIFY(child<QLineEdit>("m_pLineEditDevName")->isReadOnly());
    QCOMPARE(child<QComboBox>("m_comboBoxSendType")->minimumWidth(), 95);
    QCOMPARE(child<QComboBox>("m_comboBoxSendType")->itemText(1), QStringLiteral("定时发送"));
    for (const char *name : {"m_pWidgetOfflineModeState", "m_pWidgetRelayModel"}) {
        QCOMPARE(child<SwitchButton>(name)->size(), QSize(50, 21));
        QCOMPARE(child<SwitchButton>(name)->buttonStyle(), SwitchButton::ButtonStylePill);
    }
    for (const char *name : {"m_pPushButtonConnect", "m_pPushButtonSavetofile",
                             "m_pPushButtonReadfromfile", "m_pPushButtonDefault",
                             "m_pushButtonReadCAN", "m_pushButtonWriteCAN",
                             "m_pushButtonReadOffline", "m_pushButtonWriteOffline"})
        button(name);
    QTabWidget *tabs = child<QTabWidget>("m_tabWidget");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(2), QStringLiteral("数据监控"));
    QCOMPARE(tabs->currentIndex(), 0);
    // The simulated adapter's name is read at start-up.
    QCOMPARE(child<QLineEdit>("m_pLineEditDevName")->text(), QStringLiteral("HLW-C2+_HL261206001"));
}

void TestMainWidget::menuOrder()
{
    QMenu *menu = child<QMenu>("m_pMainMenu");
    QStringList entries;
    for (QAction *a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("|") : a->text());
    QCOMPARE(entries, (QStringList{"设置缓存", "过滤", "设备信息", "Language", "|", "关于", "|",
                                    "信号跟踪", "加载DBC..."}));
    QMenu *language = menu->actions().at(3)->menu();
    QVERIFY(language);
    QCOMPARE(language->actions().size(), 2);
    for (QAction *a : language->actions()) {
        QVERIFY(a->isCheckable());
        QVERIFY(a->shortcut().isEmpty());
    }
}

void TestMainWidget::bottomRowFollowsTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("file");
    QTest::addColumn<bool>("can");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<bool>("defaults");
    QTest::newRow("CAN参数") << 0 << true << true << false << true;
    QTest::newRow("离线列表") << 1 << true << false << true << false;
    QTest::newRow("数据监控") << 2 << false << false << false << false;
}

void TestMainWidget::bottomRowFollowsTab()
{
    QFETCH(int, tab);
    QFETCH(bool, file);
    QFETCH(bool, can);
    QFETCH(bool, offline);
    QFETCH(bool, defaults);
    QTabWidget *tabs = child<QTabWidget>("m_tabWidget");
    tabs->setCurrentIndex(tab == 0 ? 2 : 0); // make sure the slot runs for `tab`
    tabs->setCurrentIndex(tab);
    QCOMPARE(!button("m_pPushButtonSavetofile")->isHidden(), file);
    QCOMPARE(!button("m_pPushButtonReadfromfile")->isHidden(), file);
    QCOMPARE(!button("m_pushButtonReadCAN")->isHidden(), can);
    QCOMPARE(!button("m_pushButtonWriteCAN")->isHidden(), can);
    QCOMPARE(!button("m_pushButtonReadOffline")->isHidden(), offline);
    QCOMPARE(!button("m_pushButtonWriteOffline")->isHidden(), offline);
    QCOMPARE(!button("m_pPushButtonDefault")->isHidden(), defaults);
}

void TestMainWidget::languageSwitch()
{
    QAction *english = child<QAction>("m_pActionEnglish");
    QAction *chinese = child<QAction>("m_pActionSimplifiedChinese");
    QTabWidget *tabs = child<QTabWidget>("m_tabWidget");

    english->trigger();
    QVERIFY(english->isChecked());
    QVERIFY(!chinese->isChecked());
    QVERIFY(m_window->minimumWidth() >= 790); // wider where the texts need it
    QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("Connect"));
    QCOMPARE(button("m_pushButtonReadOffline")->text(), QStringLiteral("Read offline data"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("CAN Param"));
    QCOMPARE(child<QComboBox>("m_comboBoxSendType")->itemText(1), QStringLiteral("Delayed TX"));
    QCOMPARE(child<QAction>("m_pActionSet")->text(), QStringLiteral("Set cache"));

    chinese->trigger();
    QVERIFY(chinese->isChecked());
    QVERIFY(!english->isChecked());
    QCOMPARE(m_window->minimumWidth(), 720);
    QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("连接"));
    QCOMPARE(tabs->tabText(0), QStringLiteral("CAN参数"));
    // The Chinese catalogue now takes precedence, with its own few differing texts.
    QCOMPARE(QCoreApplication::translate("MainWidget", "设置离线数据失败"),
             QStringLiteral("设置里离线数据失败"));

    english->trigger();
    QCOMPARE(QCoreApplication::translate("MainWidget", "设置离线数据失败"),
             QStringLiteral("Failed to set offline data"));
}

void TestMainWidget::choosingTheCheckedLanguageAgainUnchecksIt()
{
    QAction *english = child<QAction>("m_pActionEnglish");
    english->trigger();
    english->trigger();
    QVERIFY(!english->isChecked());
    QVERIFY(!child<QAction>("m_pActionSimplifiedChinese")->isChecked());
    QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("Connect"));
}

void TestMainWidget::connectTextFollowsConnectionInBothLanguages()
{
    m_window->m_bConnected = true;
    child<QAction>("m_pActionEnglish")->trigger();
    QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("Disconnect"));
    child<QAction>("m_pActionSimplifiedChinese")->trigger();
    QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("断开连接"));
}

void TestMainWidget::cacheSizeActionFollowsMonitor()
{
    QAction *set = child<QAction>("m_pActionSet");
    DataMonitorWidget *monitor = child<DataMonitorWidget>("DataMonitorWidget");
    QVERIFY(set->isEnabled());
    emit monitor->signalStartWatch();
    QVERIFY(!set->isEnabled());
    emit monitor->signalStartWatch();
    QVERIFY(!set->isEnabled());
    emit monitor->signalStopWatch();
    QVERIFY(set->isEnabled());
}

void TestMainWidget::hotplugShowsAndClearsDeviceName()
{
    QLineEdit *name = child<QLineEdit>("m_pLineEditDevName");
    QSignalSpy changes(m_window.get(), &MainWidget::deviceChanged);
    QVERIFY(m_window->link()->open());
    m_window->m_bConnected = true;
    m_window->m_pPushButtonConnect->setText(QStringLiteral("断开连接"));

    m_device->setPlugged(false);
    QTRY_COMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), 1);
    QVERIFY(name->text().isEmpty());
    QVERIFY(!m_window->isConnected());
    QCOMPARE(m_window->link()->isOpen(), 0);
    QCOMPARE(button("m_pPushButtonConnect")->text(), QStringLiteral("连接"));

    SimFirmware::State other;
    other.serialNumber = "HL261206777";
    auto second = SimRegistry::instance().add(other);
    QTRY_COMPARE(changes.count(), 2);
    QCOMPARE(changes.at(1).at(0).toInt(), 0);
    QCOMPARE(name->text(), QStringLiteral("HLW-C2+_HL261206777"));

    // A device whose name is not 19 characters leaves the field as it was.
    SimFirmware::State odd;
    odd.serialNumber = "SHORT";
    SimRegistry::instance().add(odd);
    QTRY_COMPARE(changes.count(), 3);
    QCOMPARE(name->text(), QStringLiteral("HLW-C2+_HL261206777"));
}

void TestMainWidget::noTextIsClipped_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "m_pActionEnglish";
    QTest::newRow("Chinese") << "m_pActionSimplifiedChinese";
}

// At its smallest, connected, on every tab, no label, button, combo box or line edit of the
// window or its pages is narrower than its text.
void TestMainWidget::noTextIsClipped()
{
    QFETCH(QString, language);
    m_window->findChild<QAction *>(language)->trigger();
    // Connected, so that the channel pages with their fields and tables are there too.
    button("m_pPushButtonConnect")->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<QWidget *>(QStringLiteral("ChannalPageWidget")), 10000);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->resize(m_window->minimumSize());
    QTabWidget *tabs = child<QTabWidget>("m_tabWidget");
    QStringList clipped;
    const auto check = [&clipped](QWidget *root, const QString &where) {
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        for (QWidget *w : root->findChildren<QWidget *>()) {
            const std::optional<TextRoom> fit = w->isVisible() ? textRoom(w) : std::nullopt;
            if (fit && fit->room < fit->text)
                clipped << QStringLiteral("%1 %2 (%3 < %4)").arg(where, w->objectName())
                                   .arg(fit->room).arg(fit->text);
        }
    };
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        check(m_window.get(), tabs->tabText(tab));
    }
    // The trace window at its smallest, with a database's name in its label.
    auto *trace = m_window->findChild<TraceWindow *>();
    QTemporaryDir dir;
    QFile dbc(dir.filePath(QStringLiteral("a_database_with_a_long_name.dbc")));
    QVERIFY(dbc.open(QIODevice::WriteOnly) && dbc.write("BO_ 193 Engine: 8 ECU\n") > 0);
    dbc.close();
    QVERIFY(trace->loadDatabase(dbc.fileName()));
    trace->show();
    QVERIFY(QTest::qWaitForWindowExposed(trace));
    trace->resize(trace->minimumSizeHint());
    check(trace, trace->windowTitle());
    clipped.removeDuplicates();
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("; "))));
    QVERIFY(m_window->minimumWidth() >= (language == "m_pActionEnglish" ? 790 : 720));
}

// The trace window gets the frames the monitor shows, past its ID filter, and is cleared
// with it.
void TestMainWidget::traceFollowsMonitor()
{
    m_window->m_idFilter = IdFilter{IdFilter::ShowOnlyListed, {{0x3E8, 0x3E8}}};
    button("m_pPushButtonConnect")->click();
    QVERIFY(m_window->isConnected());
    m_device->setStreamRate(200);
    auto *monitor = m_window->findChild<DataMonitorWidget *>();
    QTest::mouseClick(child<SwitchButton>("m_pWidgetDataWatch"), Qt::LeftButton);
    TraceWindow *trace = m_window->findChild<TraceWindow *>();
    QTRY_VERIFY_WITH_TIMEOUT(monitor->log().runningNumber() >= 3, 5000);
    trace->refresh();
    QCOMPARE(trace->model()->rowCount(), 1);
    QCOMPARE(trace->model()->index(0, TraceModel::Id).data().toString(), QStringLiteral("3E8"));
    QVERIFY(trace->model()->index(0, TraceModel::Count).data().toInt() >= 3);
    monitor->onActionClear();
    QCOMPARE(trace->model()->rowCount(), 0);
}

void TestMainWidget::keysDoNotCloseOrPress_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("Escape on the window") << "" << int(Qt::Key_Escape);
    QTest::newRow("Return in the device name") << "m_pLineEditDevName" << int(Qt::Key_Return);
    QTest::newRow("Enter on the send type") << "m_comboBoxSendType" << int(Qt::Key_Enter);
    QTest::newRow("Escape on Connect") << "m_pPushButtonConnect" << int(Qt::Key_Escape);
    QTest::newRow("Return on Read CAN") << "m_pushButtonReadCAN" << int(Qt::Key_Return);
}

// The window stays open and no button is pressed by a key the user did not aim at it.
void TestMainWidget::keysDoNotCloseOrPress()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    int presses = 0;
    for (QPushButton *b : m_window->findChildren<QPushButton *>())
        connect(b, &QPushButton::clicked, this, [&presses] { ++presses; });
    QWidget *target = focus.isEmpty() ? m_window.get() : child<QWidget>(qPrintable(focus));
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QVERIFY(m_window->isVisible());
    QCOMPARE(presses, 0);
}

QTEST_MAIN(TestMainWidget)
#include "tst_mainwidget.moc"
