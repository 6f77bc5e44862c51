// Read CAN and Write CAN from the main window's buttons against the simulated adapter:
// the exact requests in its log, the pages they fill, the failure messages, texts refused
// before anything is sent, and the pressed button disabled only while the exchange runs.

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "device/SimulatedAdapter.h"
#include "support/Child.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QJsonArray>
#include <QPushButton>
#include <QtTest>

namespace {
enum Prepare { Nothing, CloseLink, ShortRegister, ShortMaskCell };
using Fault = SimFirmware::Fault;
// `code`: the command whose request number `replyIndex` suffers `fault`, or 0.
// `after`: page 0's register and row 2.
struct Failure {
    const char *button;
    Prepare prepare;
    int code;
    Fault fault;
    int replyIndex;
    QString message;
    int sent;
    QString after;
};

// The pressed button's enabled changes, each with the number of requests sent by then.
class EnableWatch final : public QObject {
public:
    EnableWatch(QWidget *button, const SimFirmware &device) : m_device(device)
    {
        button->installEventFilter(this);
    }
    QList<QPair<bool, int>> changes;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const int sent = int(m_device.requests().size());
        if (event->type() == QEvent::EnabledChange)
            changes << qMakePair(static_cast<QWidget *>(watched)->isEnabled(), sent);
        return false;
    }

private:
    const SimFirmware &m_device;
};
} // namespace
Q_DECLARE_METATYPE(Failure)

class TestCanParamExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void readFillsBothPages();
    void writeSendsEveryPage();
    void failures_data();
    void failures();

private:
    // Over an open link the button is disabled before the first request and enabled again
    // after the last; a closed link is refused before that.
    void click(const char *name)
    {
        auto *button = child<QPushButton>(m_window.get(), name);
        EnableWatch watch(button, *m_device);
        QTest::mouseClick(button, Qt::LeftButton);
        QList<QPair<bool, int>> expected;
        if (m_window->link()->isOpen())
            expected = {{false, 0}, {true, requests().size()}};
        QCOMPARE(watch.changes, expected);
        QVERIFY(button->isEnabled());
    }
    QList<QByteArray> requests() const
    {
        QList<QByteArray> out;
        for (const auto &r : m_device->requests())
            out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex();
        return out;
    }
    // A page's register and one of its filter rows.
    QString page(int index, int row = 2) const
    {
        ChannalPageWidget *p = m_panel->page(index);
        return p->registerText() + ' ' + p->toJson().value("DataList").toArray().at(row).toString();
    }

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
    RecordingDialogs m_dialogs;
    CANParamWidget *m_panel = nullptr;
};

void TestCanParamExchange::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBuiltins();
    QVERIFY(DeviceBackends::select(DeviceBackends::simulatedName()));
}

void TestCanParamExchange::init()
{
    // The previous case's window goes first, with the devices it talked to.
    m_window.reset();
    SimRegistry::instance().clear();
    SimFirmware::State s;
    s.channels[0].banks[2] = {0x80, 0x11, {{0x1a, 0x2b, 0x3c, 0x4d}}, {{0x01, 0x02, 0x03, 0x04}}};
    s.channels[1].bitTiming = {{0x00, 0x12, 0x34, 0x56}};
    s.channels[1].banks[13] = {0x88, 0x10, {}, {}};
    m_device = SimRegistry::instance().add(s);
    m_window = std::make_unique<MainWidget>();
    m_dialogs.boxes.clear();
    m_panel = m_window->findChild<CANParamWidget *>();
    QVERIFY(m_window->link()->open());
    m_panel->addChannalTabs(2);
    m_panel->page(0)->setBaudRate(QStringLiteral("0012000b"));
    m_device->clearRequests();
}

void TestCanParamExchange::readFillsBothPages()
{
    click("m_pushButtonReadCAN");
    // The requests and their order: tst_connection and the end-to-end session.
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("读取成功")});
    QCOMPARE(page(0), QStringLiteral("0x00120017 1, 1, 1, 1a 2b 3c 4d, 01 02 03 04"));
    QCOMPARE(page(1, 13), QStringLiteral("0x00123456 1, 1, 0, 00 00 00 00, 00 00 00 00"));
}

void TestCanParamExchange::writeSendsEveryPage()
{
    m_panel->page(1)->setEntry(5, {true, 1, 0, QStringLiteral("12 34 56 78"),
                                   QStringLiteral("0xFFFF0000")});
    click("m_pushButtonWriteCAN");
    QCOMPARE(m_dialogs.texts(), QStringList{QStringLiteral("写入成功")});
    const QList<QByteArray> s = requests(); // register, then 14 banks, per channel
    QCOMPARE(s.size(), 30);
    QCOMPARE((QList<QByteArray>{s[0], s[1], s[15], s[21]}),
             (QList<QByteArray>{"12230600000012000b", "12240b0080010000000000000000",
                                "122306001000120017", "12240b05881012345678ffff0000"}));
}

void TestCanParamExchange::failures_data()
{
    QTest::addColumn<Failure>("f");
    const char *read = "m_pushButtonReadCAN", *write = "m_pushButtonWriteCAN";
    const QString before = QStringLiteral("0x0012000B 0, 0, 1, 00 00 00 00, 00 00 00 00");
    const QString readBaud = QStringLiteral("0x00120017 0, 0, 1, 00 00 00 00, 00 00 00 00");
    const QString four = QStringLiteral("必须是4个字节(8位十六进制数)");
    const auto row = [](const char *name, const Failure &f) { QTest::newRow(name) << f; };
    const Fault none = Fault::NoReply; // with code 0: no fault
    row("read: short filter reply keeps the rows",
        {read, Nothing, 0xAA, Fault::TruncatedReply, 5, "获取通道0验收码失败", 2, readBaud});
    row("read: filter request not sent",
        {read, Nothing, 0xAA, Fault::WriteFails, 0, "发送获取过滤验收码请求失败", 1, readBaud});
    row("read: link closed", {read, CloseLink, 0, none, 0, "设备未连接", 0, before});
    row("write: 0x80 after bank 0",
        {write, Nothing, 0x24, Fault::WrongStatus, 0, "设置通道0验收码失败", 2, before});
    row("write: link closed", {write, CloseLink, 0, none, 0, "设备未连接", 0, before});
    row("write: malformed register, channel 1",
        {write, ShortRegister, 0, none, 0, "通道1寄存器" + four, 0, before});
    row("write: malformed mask cell, channel 0",
        {write, ShortMaskCell, 0, none, 0, "通道0第3行掩码寄存器" + four, 0,
         "0x0012000B 0, 0, 1, 00 00 00 00, 12 34 56"});
}

void TestCanParamExchange::failures()
{
    QFETCH(Failure, f);
    if (f.prepare == CloseLink)
        m_window->link()->close();
    else if (f.prepare == ShortRegister)
        m_panel->page(1)->setBaudRate(QStringLiteral("0012"));
    else if (f.prepare == ShortMaskCell)
        m_panel->page(0)->setEntry(2, {false, 0, 1, QStringLiteral("00 00 00 00"),
                                       QStringLiteral("12 34 56")});
    if (f.code)
        m_device->scriptFault(uint8_t(f.code), f.fault, f.replyIndex);
    click(f.button);
    QCOMPARE(m_dialogs.texts(), QStringList{f.message});
    QCOMPARE(requests().size(), f.sent);
    QCOMPARE(page(0), f.after);
}

QTEST_MAIN(TestCanParamExchange)
#include "tst_canparam_exchange.moc"
