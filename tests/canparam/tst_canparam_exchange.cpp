// Read CAN and Write CAN from the main window's buttons against the simulated adapter:
// the exact requests in its log, the pages they fill, every failure message, texts
// refused before anything is sent, and the button disabled only while the exchange runs.

#include "ProbeBackend.h"

#include "app/MainWidget.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/DeviceBackends.h"
#include "support/RecordingDialogs.h"
#include "widgets/BrantelResources.h"

#include <QPushButton>
#include <QtTest>

namespace {

QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }

QList<QByteArray> asList(const std::vector<SimFirmware::Bytes> &requests)
{
    QList<QByteArray> out;
    for (const auto &r : requests)
        out << QByteArray(reinterpret_cast<const char *>(r.data()), int(r.size()));
    return out;
}

SimFirmware::State adapterState()
{
    SimFirmware::State s;
    SimFirmware::FilterBank &bank = s.channels[0].banks[2];
    bank.flagsA = 0x80;
    bank.flagsB = 0x11;
    bank.id = {{0x1a, 0x2b, 0x3c, 0x4d}};
    bank.mask = {{0x01, 0x02, 0x03, 0x04}};
    s.channels[1].bitTiming = {{0x00, 0x12, 0x34, 0x56}};
    s.channels[1].banks[13].flagsA = 0x88;
    s.channels[1].banks[13].flagsB = 0x10;
    return s;
}

enum Prepare { Nothing, CloseLink, ShortRegister, ShortMaskCell };

} // namespace

class TestCanParamExchange : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void readFillsBothPages();
    void writeSendsEveryPageAndReadsBack();
    void failures_data();
    void failures();

private:
    QPushButton *button(const char *name)
    {
        return m_window->findChild<QPushButton *>(QLatin1String(name));
    }
    void click(const QString &op)
    {
        m_pressed = button(op == QLatin1String("read") ? "m_pushButtonReadCAN"
                                                        : "m_pushButtonWriteCAN");
        QTest::mouseClick(m_pressed, Qt::LeftButton);
    }
    QList<QByteArray> requests() const { return asList(m_device->requests()); }
    void checkButtons();

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
    ProbeBackend::reset();
    m_device = SimRegistry::instance().add(adapterState());
    m_window = std::make_unique<MainWidget>();
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_panel = m_window->findChild<CANParamWidget *>();
    QVERIFY(m_panel);
    QVERIFY(m_window->link()->open());
    m_panel->addChannalTabs(2);
    m_panel->page(0)->setBaudRate(QStringLiteral("0012000b"));
    m_device->clearRequests();
    ProbeBackend::reset(); // the name read at start-up is not counted
    m_enabledWhileWriting.clear();
    ProbeBackend::script().onWrite = [this] { m_enabledWhileWriting << m_pressed->isEnabled(); };
}

void TestCanParamExchange::cleanup()
{
    ProbeBackend::reset();
    m_window.reset();
    m_dialogs.reset();
    SimRegistry::instance().clear();
    m_device.reset();
}

// The pressed button is disabled while requests go out and enabled again once the slot
// has returned, however it ended.
void TestCanParamExchange::checkButtons()
{
    QVERIFY(!m_enabledWhileWriting.contains(true));
    QVERIFY(button("m_pushButtonReadCAN")->isEnabled());
    QVERIFY(button("m_pushButtonWriteCAN")->isEnabled());
}

void TestCanParamExchange::readFillsBothPages()
{
    // A 9-byte baud-rate reply is taken whatever its status byte says.
    m_device->scriptFault(0xA4, SimFirmware::Fault::WrongStatus);
    click(QStringLiteral("read"));
    QCOMPARE(requests(), (QList<QByteArray>{hex("12a40100"), hex("12aa0100"), hex("12a40101"),
                                            hex("12aa0101")}));
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("读取成功")});
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("提示"));
    QCOMPARE(m_dialogs->boxes.at(0).buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    checkButtons();

    ChannalPageWidget *first = m_panel->page(0);
    ChannalPageWidget *second = m_panel->page(1);
    QCOMPARE(first->registerText(), QStringLiteral("0x00120017"));
    QCOMPARE(first->toJson().value(QStringLiteral("DataList")).toArray().at(2).toString(),
             QStringLiteral("1, 1, 1, 1a 2b 3c 4d, 01 02 03 04"));
    QCOMPARE(second->registerText(), QStringLiteral("0x00123456"));
    QCOMPARE(second->toJson().value(QStringLiteral("DataList")).toArray().at(13).toString(),
             QStringLiteral("1, 1, 0, 00 00 00 00, 00 00 00 00"));
}

void TestCanParamExchange::writeSendsEveryPageAndReadsBack()
{
    ChannalPageWidget *second = m_panel->page(1);
    m_panel->page(0)->setBaudRate(QStringLiteral("00120017"));
    second->setBaudRate(QStringLiteral("0012000b"));
    DataListEntry e;
    e.enabled = true;
    e.workMode = 1;
    e.bitCount = 0;
    e.idText = QStringLiteral("12 34 56 78");
    e.maskText = QStringLiteral("0xFFFF0000");
    second->setEntry(5, e);
    click(QStringLiteral("write"));
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("写入成功")});
    const QList<QByteArray> sent = requests();
    QCOMPARE(sent.size(), 30);
    QCOMPARE(sent.at(0).toHex(' '), hex("122306000000120017").toHex(' '));
    QCOMPARE(sent.at(1).toHex(' '), hex("12240b00800100000000" "00000000").toHex(' '));
    QCOMPARE(sent.at(15).toHex(' '), hex("12230600100012000b").toHex(' '));
    QCOMPARE(sent.at(21).toHex(' '), hex("12240b05881012345678" "ffff0000").toHex(' '));
    checkButtons();

    // What the adapter now holds comes back as it was written.
    const QJsonObject written = second->toJson();
    second->resetDefaults();
    m_dialogs->boxes.clear();
    click(QStringLiteral("read"));
    QCOMPARE(m_dialogs->texts(), QStringList{QStringLiteral("读取成功")});
    QJsonObject expected = written;
    QJsonArray rows = expected.value(QStringLiteral("DataList")).toArray();
    rows[5] = QStringLiteral("1, 1, 0, 12 34 56 78, ff ff 00 00");
    expected.insert(QStringLiteral("DataList"), rows);
    QCOMPARE(second->toJson(), expected);
}

void TestCanParamExchange::failures_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("prepare");
    QTest::addColumn<int>("noReplyCode"); // the firmware leaves this command unanswered
    QTest::addColumn<int>("failedWrite");
    QTest::addColumn<int>("alteredRead");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("sent");
    QTest::addColumn<bool>("baudRead");    // page 0 shows the adapter's baud rate
    QTest::addColumn<bool>("filtersRead"); // page 0 shows the adapter's filter banks

    // Reads are counted from 0: channel 0's baud-rate reply, its 14 filter replies, then
    // channel 1's baud-rate reply (read 15).
    QTest::newRow("read: 8-byte baud reply, channel 1")
        << "read" << int(Nothing) << 0 << -1 << 15 << 8 << -1 << "获取通道1波特率失败" << 3 << true << true;
    QTest::newRow("read: short filter reply keeps the rows")
        << "read" << int(Nothing) << 0 << -1 << 6 << 13 << -1 << "获取通道0验收码失败" << 2 << true << false;
    QTest::newRow("read: no baud reply")
        << "read" << int(Nothing) << 0xA4 << -1 << -1 << -1 << -1 << "获取通道0波特率失败" << 1 << false << false;
    QTest::newRow("read: filter request not sent")
        << "read" << int(Nothing) << 0 << 1 << -1 << -1 << -1 << "发送获取过滤验收码请求失败" << 1
        << true << false;
    QTest::newRow("read: link closed")
        << "read" << int(CloseLink) << 0 << -1 << -1 << -1 << -1 << "设备未连接" << 0 << false << false;
    QTest::newRow("write: 0x80 after bank 5 of channel 0")
        << "write" << int(Nothing) << 0 << -1 << 6 << -1 << 0x80 << "设置通道0验收码失败" << 7 << false << false;
    QTest::newRow("write: 0x80 baud reply, channel 1")
        << "write" << int(Nothing) << 0 << -1 << 15 << -1 << 0x80 << "设置通道1波特率失败" << 16 << false << false;
    QTest::newRow("write: 2-byte baud reply")
        << "write" << int(Nothing) << 0 << -1 << 0 << 2 << -1 << "设置通道0波特率失败" << 1 << false << false;
    QTest::newRow("write: no filter reply")
        << "write" << int(Nothing) << 0x24 << -1 << -1 << -1 << -1 << "设置通道0验收码失败" << 2 << false << false;
    QTest::newRow("write: bank 2 request not sent")
        << "write" << int(Nothing) << 0 << 3 << -1 << -1 << -1 << "设置通道0验收码失败" << 3
        << false << false;
    QTest::newRow("write: link closed")
        << "write" << int(CloseLink) << 0 << -1 << -1 << -1 << -1 << "设备未连接" << 0 << false << false;
    QTest::newRow("write: malformed register, channel 1")
        << "write" << int(ShortRegister) << 0 << -1 << -1 << -1 << -1
        << "通道1寄存器必须是4个字节(8位十六进制数)" << 0 << false << false;
    QTest::newRow("write: malformed mask cell, channel 0")
        << "write" << int(ShortMaskCell) << 0 << -1 << -1 << -1 << -1
        << "通道0第3行掩码寄存器必须是4个字节(8位十六进制数)" << 0 << false << false;
}

void TestCanParamExchange::failures()
{
    QFETCH(QString, op);
    QFETCH(int, prepare);
    QFETCH(int, noReplyCode);
    QFETCH(int, failedWrite);
    QFETCH(int, alteredRead);
    QFETCH(int, length);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(int, sent);
    QFETCH(bool, baudRead);
    QFETCH(bool, filtersRead);

    if (prepare == CloseLink)
        m_window->link()->close();
    if (prepare == ShortRegister) {
        m_panel->page(1)->setBaudRate(QStringLiteral("0012"));
    } else if (prepare == ShortMaskCell) {
        DataListEntry e;
        e.maskText = QStringLiteral("12 34 56");
        m_panel->page(0)->setEntry(2, e);
    }
    if (noReplyCode)
        m_device->scriptFault(uint8_t(noReplyCode), SimFirmware::Fault::NoReply);
    ProbeBackend::script().failedWrite = failedWrite;
    ProbeBackend::script().alteredRead = alteredRead;
    ProbeBackend::script().length = length;
    ProbeBackend::script().status = status;

    click(op);
    QCOMPARE(m_dialogs->texts(), QStringList{message});
    QCOMPARE(m_dialogs->boxes.at(0).kind, Dialogs::Kind::Information);
    QCOMPARE(m_dialogs->boxes.at(0).title, QStringLiteral("提示"));
    QCOMPARE(requests().size(), sent);
    QCOMPARE(m_enabledWhileWriting.size(), sent);
    checkButtons();
    if (op == QLatin1String("write") && sent == 7)
        QCOMPARE(requests().last().toHex(' '), hex("12240b05000100000000" "00000000").toHex(' '));

    ChannalPageWidget *first = m_panel->page(0);
    QCOMPARE(first->registerText(), baudRead ? QStringLiteral("0x00120017") : QStringLiteral("0x0012000B"));
    QCOMPARE(first->entry(2).idText,
             filtersRead ? QStringLiteral("1a 2b 3c 4d") : QStringLiteral("00 00 00 00"));
}

QTEST_MAIN(TestCanParamExchange)
#include "tst_canparam_exchange.moc"
