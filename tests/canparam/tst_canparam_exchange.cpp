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
QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }
enum Prepare { Nothing, CloseLink, ShortRegister, ShortMaskCell };
using Fault = SimFirmware::Fault;

// The simulated adapter, telling the test of every request as it is written.
std::function<void()> onWrite;
class WatchedBackend final : public UsbBackend {
public:
    bool open() override { return m_sim.open(); }
    void close() override { m_sim.close(); }
    TransferStatus writeInterrupt(const uint8_t *d, uint32_t n, uint32_t *done, unsigned ms) override
    {
        onWrite();
        return m_sim.writeInterrupt(d, n, done, ms);
    }
    TransferStatus readInterrupt(uint8_t *d, uint32_t n, uint32_t *done, unsigned ms) override
    {
        return m_sim.readInterrupt(d, n, done, ms);
    }
    bool readBulk(uint8_t *d, uint32_t n, uint32_t *done) override { return m_sim.readBulk(d, n, done); }
    void cancelBulk() override { m_sim.cancelBulk(); }
    void resumeBulk() override { m_sim.resumeBulk(); }
    PipeIds pipes() const override { return m_sim.pipes(); }

private:
    SimBackend m_sim;
};
} // namespace

class TestCanParamExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void readFillsBothPages();
    void writeSendsEveryPage();
    void failures_data();
    void failures();

private:
    void click(const char *name)
    {
        m_pressed = child<QPushButton>(m_window.get(), name);
        QTest::mouseClick(m_pressed, Qt::LeftButton);
        QVERIFY(m_pressed->isEnabled());
        QVERIFY(!m_enabledWhileWriting.contains(true));
    }
    QList<QByteArray> requests() const
    {
        QList<QByteArray> out;
        for (const auto &r : m_device->requests())
            out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size())).toHex();
        return out;
    }
    QString page0() const
    {
        ChannalPageWidget *p = m_panel->page(0);
        return p->registerText() + ' ' + p->toJson().value("DataList").toArray().at(2).toString();
    }

    std::shared_ptr<SimFirmware> m_device;
    std::unique_ptr<MainWidget> m_window;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    CANParamWidget *m_panel = nullptr;
    QPushButton *m_pressed = nullptr;
    QList<bool> m_enabledWhileWriting; // the pressed button's state at each request
};

void TestCanParamExchange::initTestCase()
{
    initBrantelResources();
    DeviceBackends::registerBackend(
        {QStringLiteral("watched"), [] { return std::make_unique<WatchedBackend>(); }, {}});
    QVERIFY(DeviceBackends::select(QStringLiteral("watched")));
    onWrite = [this] {
        if (m_pressed)
            m_enabledWhileWriting << m_pressed->isEnabled();
    };
}

void TestCanParamExchange::init()
{
    SimFirmware::State s;
    s.channels[0].banks[2] = {0x80, 0x11, {{0x1a, 0x2b, 0x3c, 0x4d}}, {{0x01, 0x02, 0x03, 0x04}}};
    s.channels[1].bitTiming = {{0x00, 0x12, 0x34, 0x56}};
    s.channels[1].banks[13] = {0x88, 0x10, {}, {}};
    m_device = SimRegistry::instance().add(s);
    m_window = std::make_unique<MainWidget>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_panel = m_window->findChild<CANParamWidget *>();
    QVERIFY(m_window->link()->open());
    m_panel->addChannalTabs(2);
    m_panel->page(0)->setBaudRate(QStringLiteral("0012000b"));
    m_device->clearRequests();
    m_enabledWhileWriting.clear();
}

void TestCanParamExchange::cleanup()
{
    m_pressed = nullptr;
    m_window.reset();
    m_dialogs.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

void TestCanParamExchange::readFillsBothPages()
{
    // A 9-byte baud-rate reply is taken whatever its status byte says.
    m_device->scriptFault(0xA4, Fault::WrongStatus);
    click("m_pushButtonReadCAN");
    QCOMPARE(requests(), (QList<QByteArray>{"12a40100", "12aa0100", "12a40101", "12aa0101"}));
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("读取成功")});
    QCOMPARE(page0(), QStringLiteral("0x00120017 1, 1, 1, 1a 2b 3c 4d, 01 02 03 04"));
    QCOMPARE(m_panel->page(1)->registerText(), QStringLiteral("0x00123456"));
    QCOMPARE(m_panel->page(1)->toJson().value("DataList").toArray().at(13).toString(),
             QStringLiteral("1, 1, 0, 00 00 00 00, 00 00 00 00"));
}

void TestCanParamExchange::writeSendsEveryPage()
{
    m_panel->page(1)->setEntry(5, {true, 1, 0, QStringLiteral("12 34 56 78"), QStringLiteral("0xFFFF0000")});
    click("m_pushButtonWriteCAN");
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("写入成功")});
    const QList<QByteArray> sent = requests();
    QCOMPARE(sent.size(), 30);
    QCOMPARE(sent.at(0), QByteArray("12230600000012000b"));
    QCOMPARE(sent.at(1), QByteArray("12240b00800100000000" "00000000"));
    QCOMPARE(sent.at(15), QByteArray("122306001000120017"));
    QCOMPARE(sent.at(21), QByteArray("12240b05881012345678" "ffff0000"));
}

void TestCanParamExchange::failures_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("prepare");
    QTest::addColumn<int>("code"); // the command whose next request suffers `fault`, or 0
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("replyIndex");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("sent");
    QTest::addColumn<QString>("after"); // page 0's register and row 2
    const QByteArray read = "m_pushButtonReadCAN", write = "m_pushButtonWriteCAN";
    const QString before = QStringLiteral("0x0012000B 0, 0, 1, 00 00 00 00, 00 00 00 00");
    const QString four = QStringLiteral("必须是4个字节(8位十六进制数)");
    const auto row = [](const char *tag, const QByteArray &button, Prepare prepare, int code,
                        Fault fault, int replyIndex, const QString &message, int sent,
                        const QString &after) {
        QTest::newRow(tag) << button << int(prepare) << code << int(fault) << replyIndex << message
                           << sent << after;
    };
    row("read: 8-byte baud reply", read, Nothing, 0xA4, Fault::TruncatedReply, 0,
        "获取通道0波特率失败", 1, before);
    row("read: short filter reply keeps the rows", read, Nothing, 0xAA, Fault::TruncatedReply, 5,
        "获取通道0验收码失败", 2, "0x00120017 0, 0, 1, 00 00 00 00, 00 00 00 00");
    row("read: filter request not sent", read, Nothing, 0xAA, Fault::WriteFails, 0,
        "发送获取过滤验收码请求失败", 1, "0x00120017 0, 0, 1, 00 00 00 00, 00 00 00 00");
    row("read: link closed", read, CloseLink, 0, Fault::NoReply, 0, "设备未连接", 0, before);
    row("write: 0x80 after bank 0", write, Nothing, 0x24, Fault::WrongStatus, 0,
        "设置通道0验收码失败", 2, before);
    row("write: 0x80 baud reply", write, Nothing, 0x23, Fault::WrongStatus, 0,
        "设置通道0波特率失败", 1, before);
    row("write: link closed", write, CloseLink, 0, Fault::NoReply, 0, "设备未连接", 0, before);
    row("write: malformed register, channel 1", write, ShortRegister, 0, Fault::NoReply, 0,
        "通道1寄存器" + four, 0, before);
    row("write: malformed mask cell, channel 0", write, ShortMaskCell, 0, Fault::NoReply, 0,
        "通道0第3行掩码寄存器" + four, 0, "0x0012000B 0, 0, 1, 00 00 00 00, 12 34 56");
}

void TestCanParamExchange::failures()
{
    QFETCH(QByteArray, button);
    QFETCH(int, prepare);
    QFETCH(int, code);
    QFETCH(int, fault);
    QFETCH(int, replyIndex);
    QFETCH(QString, message);
    QFETCH(int, sent);
    QFETCH(QString, after);
    if (prepare == CloseLink)
        m_window->link()->close();
    else if (prepare == ShortRegister)
        m_panel->page(1)->setBaudRate(QStringLiteral("0012"));
    else if (prepare == ShortMaskCell)
        m_panel->page(0)->setEntry(2, {false, 0, 1, QStringLiteral("00 00 00 00"), QStringLiteral("12 34 56")});
    if (code)
        m_device->scriptFault(uint8_t(code), Fault(fault), replyIndex);
    click(button.constData());
    QCOMPARE(m_dialogs->texts(), QStringList{message});
    QCOMPARE(requests().size(), sent);
    QCOMPARE(page0(), after);
}

QTEST_MAIN(TestCanParamExchange)
#include "tst_canparam_exchange.moc"
