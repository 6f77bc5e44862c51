// Read CAN and Write CAN from the main window's buttons against the simulated adapter:
// the exact requests in its log, the pages they fill, the failure messages, texts refused
// before anything is sent, and the pressed button disabled only while the exchange runs.

#include "ProbeBackend.h"

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QJsonArray>
#include <QPushButton>
#include <QtTest>

namespace {

QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }

enum Prepare { Nothing, CloseLink, ShortRegister, ShortMaskCell };

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
        m_pressed = m_window->findChild<QPushButton *>(QLatin1String(name));
        QTest::mouseClick(m_pressed, Qt::LeftButton);
        QVERIFY(m_pressed->isEnabled());
        QVERIFY(!m_enabledWhileWriting.contains(true));
    }
    QList<QByteArray> requests() const
    {
        QList<QByteArray> out;
        for (const auto &r : m_device->requests())
            out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
        return out;
    }
    QString row(int page, int r) const
    {
        return m_panel->page(page)->toJson().value(QStringLiteral("DataList")).toArray().at(r).toString();
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
    DeviceBackends::registerBuiltins();
    DeviceBackends::registerBackend(
        {QStringLiteral("probe"), [] { return std::make_unique<ProbeBackend>(); }, {}});
    QVERIFY(DeviceBackends::select(QStringLiteral("probe")));
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
    ProbeBackend::reset(); // the name read at start-up is not counted
    m_enabledWhileWriting.clear();
    ProbeBackend::script().onWrite = [this] {
        if (m_pressed)
            m_enabledWhileWriting << m_pressed->isEnabled();
    };
}

void TestCanParamExchange::cleanup()
{
    ProbeBackend::reset();
    m_window.reset();
    m_dialogs.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

void TestCanParamExchange::readFillsBothPages()
{
    // A 9-byte baud-rate reply is taken whatever its status byte says.
    m_device->scriptFault(0xA4, SimFirmware::Fault::WrongStatus);
    click("m_pushButtonReadCAN");
    QCOMPARE(requests(), (QList<QByteArray>{hex("12a40100"), hex("12aa0100"), hex("12a40101"),
                                            hex("12aa0101")}));
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("读取成功")});
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("提示"));
    QCOMPARE(m_panel->page(0)->registerText(), QStringLiteral("0x00120017"));
    QCOMPARE(row(0, 2), QStringLiteral("1, 1, 1, 1a 2b 3c 4d, 01 02 03 04"));
    QCOMPARE(m_panel->page(1)->registerText(), QStringLiteral("0x00123456"));
    QCOMPARE(row(1, 13), QStringLiteral("1, 1, 0, 00 00 00 00, 00 00 00 00"));
}

void TestCanParamExchange::writeSendsEveryPage()
{
    m_panel->page(0)->setBaudRate(QStringLiteral("00120017"));
    m_panel->page(1)->setBaudRate(QStringLiteral("0012000b"));
    m_panel->page(1)->setEntry(5, {true, 1, 0, QStringLiteral("12 34 56 78"), QStringLiteral("0xFFFF0000")});
    click("m_pushButtonWriteCAN");
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("写入成功")});
    const QList<QByteArray> sent = requests();
    QCOMPARE(sent.size(), 30);
    QCOMPARE(sent.at(0).toHex(' '), hex("122306000000120017").toHex(' '));
    QCOMPARE(sent.at(1).toHex(' '), hex("12240b00800100000000" "00000000").toHex(' '));
    QCOMPARE(sent.at(15).toHex(' '), hex("12230600100012000b").toHex(' '));
    QCOMPARE(sent.at(21).toHex(' '), hex("12240b05881012345678" "ffff0000").toHex(' '));
}

void TestCanParamExchange::failures_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("prepare");
    QTest::addColumn<int>("failedWrite");
    QTest::addColumn<int>("alteredRead");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("sent");
    QTest::addColumn<QString>("page0"); // page 0's register and row 2 afterwards

    // Reads count from 0: channel 0's baud-rate reply, its 14 filter replies, then
    // channel 1's baud-rate reply (read 15). Writes count the same way.
    const QByteArray read = "m_pushButtonReadCAN", write = "m_pushButtonWriteCAN";
    const QString before = QStringLiteral("0x0012000B 00 00 00 00");
    const QString four = QStringLiteral("必须是4个字节(8位十六进制数)");
    QTest::newRow("read: 8-byte baud reply, channel 1")
        << read << int(Nothing) << -1 << 15 << 8 << -1 << "获取通道1波特率失败" << 3
        << "0x00120017 1a 2b 3c 4d";
    QTest::newRow("read: short filter reply keeps the rows")
        << read << int(Nothing) << -1 << 6 << 13 << -1 << "获取通道0验收码失败" << 2
        << "0x00120017 00 00 00 00";
    QTest::newRow("read: filter request not sent")
        << read << int(Nothing) << 1 << -1 << -1 << -1 << "发送获取过滤验收码请求失败" << 1
        << "0x00120017 00 00 00 00";
    QTest::newRow("read: link closed")
        << read << int(CloseLink) << -1 << -1 << -1 << -1 << "设备未连接" << 0 << before;
    QTest::newRow("write: 0x80 after bank 5 of channel 0")
        << write << int(Nothing) << -1 << 6 << -1 << 0x80 << "设置通道0验收码失败" << 7 << before;
    QTest::newRow("write: 0x80 baud reply, channel 1")
        << write << int(Nothing) << -1 << 15 << -1 << 0x80 << "设置通道1波特率失败" << 16 << before;
    QTest::newRow("write: bank 2 request not sent")
        << write << int(Nothing) << 3 << -1 << -1 << -1 << "设置通道0验收码失败" << 3 << before;
    QTest::newRow("write: link closed")
        << write << int(CloseLink) << -1 << -1 << -1 << -1 << "设备未连接" << 0 << before;
    QTest::newRow("write: malformed register, channel 1")
        << write << int(ShortRegister) << -1 << -1 << -1 << -1 << "通道1寄存器" + four << 0 << before;
    QTest::newRow("write: malformed mask cell, channel 0")
        << write << int(ShortMaskCell) << -1 << -1 << -1 << -1 << "通道0第3行掩码寄存器" + four
        << 0 << before;
}

void TestCanParamExchange::failures()
{
    QFETCH(QByteArray, button);
    QFETCH(int, prepare);
    QFETCH(QString, message);
    QFETCH(int, sent);
    QFETCH(QString, page0);
    if (prepare == CloseLink)
        m_window->link()->close();
    else if (prepare == ShortRegister)
        m_panel->page(1)->setBaudRate(QStringLiteral("0012"));
    else if (prepare == ShortMaskCell)
        m_panel->page(0)->setEntry(2, {false, 0, 1, QStringLiteral("00 00 00 00"), QStringLiteral("12 34 56")});
    QFETCH(int, failedWrite);
    QFETCH(int, alteredRead);
    QFETCH(int, length);
    QFETCH(int, status);
    ProbeBackend::Script &script = ProbeBackend::script();
    script.failedWrite = failedWrite;
    script.alteredRead = alteredRead;
    script.length = length;
    script.status = status;

    click(button.constData());
    QCOMPARE(m_dialogs->texts(), QStringList{message});
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("提示"));
    QCOMPARE(requests().size(), sent);
    QCOMPARE(m_enabledWhileWriting.size(), sent);
    if (sent == 7) // nothing after the refused bank
        QCOMPARE(requests().last().toHex(' '), hex("12240b05000100000000" "00000000").toHex(' '));
    QCOMPARE(m_panel->page(0)->registerText() + ' ' + m_panel->page(0)->entry(2).idText, page0);
}

QTEST_MAIN(TestCanParamExchange)
#include "tst_canparam_exchange.moc"
