// Checks the two compiled catalogues embedded in the program against the catalogue the
// interface is written for: every entry of both, and nothing beyond them.

#include "widgets/BrantelResources.h"

#include <QCoreApplication>
#include <QSet>
#include <QTranslator>
#include <QtTest>

#include <iterator>

namespace {

struct Entry {
    const char *context;
    const char *source;
    const char *english;       // nullptr: no English entry, the source text is shown
    const char *chineseDiff;   // nullptr: the Chinese catalogue repeats the source
};

// The catalogue, per context in catalogue order.
const Entry kCatalogue[] = {
    {"AboutDialog", "关于", "About", nullptr},
    {"AboutDialog", "Harlowen.", "Harlowen.", nullptr},
    {"AboutDialog", "官网：", "website：", nullptr},
    {"AboutDialog", "版本：", "versions：", nullptr},
    {"AboutDialog", "确定", "OK", nullptr},
    {"AboutDialog", "Brantel.", "Brantel.", nullptr},
    {"BitTimingDialog", "波特率计算", "Bit timing calculator", nullptr},
    {"BitTimingDialog", "波特率(kbit/s)：", "Bit rate (kbit/s):", nullptr},
    {"BitTimingDialog", "采样点(%)：", "Sample point (%):", nullptr},
    {"BitTimingDialog", "确定", "OK", nullptr},
    {"BitTimingDialog", "取消", "Cancel", nullptr},
    {"BitTimingDialog", "计算...", "Calculate...", nullptr},
    {"BitTimingReadout", "无效", "invalid", nullptr},
    {"BitTimingReadout", "%1 kbit/s，采样点 %2%", "%1 kbit/s, sample point %2%", nullptr},
    {"CANParamWidget", "CANParamWidget", "CANParamWidget", nullptr},
    {"CANParamWidget", "通道", "Channal", nullptr},
    {"ChannalPageWidget", "0x00000000", "0x00000000", nullptr},
    {"ChannalPageWidget", "ChannalPageWidget", "ChannalPageWidget", nullptr},
    {"ChannalPageWidget", "ID寄存器", "ID Register", nullptr},
    {"ChannalPageWidget", "位数", "bit", nullptr},
    {"ChannalPageWidget", "列表模式", "List pattern", nullptr},
    {"ChannalPageWidget", "工作模式", "work mode", nullptr},
    {"ChannalPageWidget", "掩码寄存器", "Mask Register", nullptr},
    {"ChannalPageWidget", "掩码模式", "Mask pattern", nullptr},
    {"ChannalPageWidget", "波特率：", "BaudRate：", nullptr},
    {"ChannalPageWidget", "自定义", "Custom", nullptr},
    {"ChannalPageWidget", "通道", "Channal", nullptr},
    {"ChannalPageWidget", "寄存器", " Register", nullptr},
    {"ChannalPageWidget", "第", " row ", nullptr},
    {"ChannalPageWidget", "行", " ", nullptr},
    {"ChannalPageWidget", "必须是4个字节(8位十六进制数)", " must be 4 bytes (8 hexadecimal digits)", nullptr},
    {"DataMonitorWidget", "DataMonitorWidget", "DataMonitorWidget", nullptr},
    {"DataMonitorWidget", "TXT文件(*.txt)", "TXT File(*.txt)", nullptr},
    {"DataMonitorWidget", "TextLabel", nullptr, "\"\""},
    {"DataMonitorWidget", "传输方向", "Direction", nullptr},
    {"DataMonitorWidget", "保存成功", "save successfully", nullptr},
    {"DataMonitorWidget", "保存数据", "Save Data", nullptr},
    {"DataMonitorWidget", "保存监控数据", "Save monitor data", nullptr},
    {"DataMonitorWidget", "写监控数据失败.", "Failed to write monitor data.", nullptr},
    {"DataMonitorWidget", "发送", "Send", nullptr},
    {"DataMonitorWidget", "失败", "failed", nullptr},
    {"DataMonitorWidget", "帧ID", "     FrameID", nullptr},
    {"DataMonitorWidget", "帧数据", "FrameData", nullptr},
    {"DataMonitorWidget", "帧格式", "  FrameFormat", nullptr},
    {"DataMonitorWidget", "帧类型", "FrameType", nullptr},
    {"DataMonitorWidget", "扩展帧", "extended frame", nullptr},
    {"DataMonitorWidget", "接收", "Rec", nullptr},
    {"DataMonitorWidget", "提示", "Hint", nullptr},
    {"DataMonitorWidget", "数据帧", "data frame", nullptr},
    {"DataMonitorWidget", "数据监控", "Data Monitor", nullptr},
    {"DataMonitorWidget", "时间标识", "Time", nullptr},
    {"DataMonitorWidget", "标准帧", "standard frame", nullptr},
    {"DataMonitorWidget", "没有监控数据", "no data", nullptr},
    {"DataMonitorWidget", "清空", "Clear", nullptr},
    {"DataMonitorWidget", "离线发送", "Offline Send", nullptr},
    {"DataMonitorWidget", "设备未连接", "Equipment not connected", nullptr},
    {"DataMonitorWidget", "设置失败", "Set failed", nullptr},
    {"DataMonitorWidget", "设置离线发送失败", "Setting offline send failed", nullptr},
    {"DataMonitorWidget", "远程帧", "remote frame", nullptr},
    {"DataMonitorWidget", "通道号", "Channal", nullptr},
    {"DeviceInfoDialog", "固件版本：", "Firmware Ver：", nullptr},
    {"DeviceInfoDialog", "硬件版本：", "Hardware Ver：", nullptr},
    {"DeviceInfoDialog", "确定", "OK", nullptr},
    {"DeviceInfoDialog", "设备信息", "Device Info", nullptr},
    {"DeviceInfoDialog", "设备序号：", "Device SN：", nullptr},
    {"DeviceInfoDialog", "设备类型：", "Device Type：", nullptr},
    {"DeviceInfoDialog", "通道个数：", "Channal Num：", nullptr},
    {"FilterDialog", "ID过滤设置", "ID Filter Settings", nullptr},
    {"FilterDialog", "TXT文件(*.txt)", "TXT File(*.txt)", "TEX文件(*.txt)"},
    {"FilterDialog", "不接收的ID", "Not acceptable ID", nullptr},
    {"FilterDialog", "不是有效的配置文件", "Not a valid configuration file", nullptr},
    {"FilterDialog", "仅接收的ID", "Receive only ID", nullptr},
    {"FilterDialog", "从低（HEX)：", "From Low(HEX)：", "从低(HEX)："},
    {"FilterDialog", "低(HEX)", "Low(HEX)", nullptr},
    {"FilterDialog", "低HEX不能为空", "Low HEX can not be empty", nullptr},
    {"FilterDialog", "保存", "Save", nullptr},
    {"FilterDialog", "保存成功", "Save successfully", nullptr},
    {"FilterDialog", "保存配置", "Save Config", nullptr},
    {"FilterDialog", "写配置文件失败.", "Writing configuration file failed.", nullptr},
    {"FilterDialog", "到高（HEX)：", "To High(HEX)：", "从高(HEX)："},
    {"FilterDialog", "备注", "Remark", nullptr},
    {"FilterDialog", "失败", "Failure", nullptr},
    {"FilterDialog", "当前模式：", "Current Mode：", nullptr},
    {"FilterDialog", "打开配置", "Open Config", nullptr},
    {"FilterDialog", "打开配置文件失败.", "Failed to open the configuration file.", nullptr},
    {"FilterDialog", "提示", "Hint", nullptr},
    {"FilterDialog", "添加", "Add", nullptr},
    {"FilterDialog", "清空", "Clear", nullptr},
    {"FilterDialog", "确定", "OK", nullptr},
    {"FilterDialog", "禁用", "Disabled", nullptr},
    {"FilterDialog", "解析配置文件失败.", "Parsing configuration file failed.", nullptr},
    {"FilterDialog", "读取", "Read", nullptr},
    {"FilterDialog", "高(HEX)", "High(HEX)", nullptr},
    {"FilterDialog", "高HEX不能为空", "High HEX can not be empty", nullptr},
    {"FrameLogFile", "candump日志文件(*.log)", "candump log file(*.log)", nullptr},
    {"FrameLogFile", "Vector ASC文件(*.asc)", "Vector ASC file(*.asc)", nullptr},
    {"MainWidget", "CAN参数", "CAN Param", nullptr},
    {"MainWidget", "Language", "Language", nullptr},
    {"MainWidget", "MainWidget", "MainWidget", nullptr},
    {"MainWidget", "TXT文件(*.txt)", "TXT File(*.txt)", nullptr},
    {"MainWidget", "中继模式", "Relay Mode", nullptr},
    {"MainWidget", "保存", "Save", nullptr},
    {"MainWidget", "保存成功", "save successfully", nullptr},
    {"MainWidget", "保存配置", "save settings", nullptr},
    {"MainWidget", "关于", "About", nullptr},
    {"MainWidget", "写CAN参数", "Write CAN", nullptr},
    {"MainWidget", "写入成功", "Write to successful", nullptr},
    {"MainWidget", "写离线数据", "Write offline data", nullptr},
    {"MainWidget", "写配置文件失败.", "Writing configuration file failed.", nullptr},
    {"MainWidget", "发送方式", "Send mode", nullptr},
    {"MainWidget", "发送获取过滤验收码请求失败", "Failed to read acceptance code", nullptr},
    {"MainWidget", "发送读离线数据请求失败", "Failed to send read offline data request", "发送离线数据请求失败"},
    {"MainWidget", "失败", "failed", nullptr},
    {"MainWidget", "定时发送", "Delayed TX", nullptr},
    {"MainWidget", "循环发送", "Cycle send", nullptr},
    {"MainWidget", "打开配置", "Open configuration", nullptr},
    {"MainWidget", "打开配置文件失败.", "Failed to open the configuration file.", nullptr},
    {"MainWidget", "提示", "Hint", nullptr},
    {"MainWidget", "数据监控", "Data Monitor", nullptr},
    {"MainWidget", "断开连接", "Disconnect", nullptr},
    {"MainWidget", "波特率失败", "Baud rate Failed", nullptr},
    {"MainWidget", "离线列表", "Offline list", nullptr},
    {"MainWidget", "离线数据不存在", "no offline data", nullptr},
    {"MainWidget", "Brantel", "Brantel", nullptr},
    {"MainWidget", "离线数据设置失败", "Failed to set offline data", nullptr},
    {"MainWidget", "离线模式", "Offline Mode", nullptr},
    {"MainWidget", "程序不支持此硬件", "The program does not support this hardware", nullptr},
    {"MainWidget", "简体中文", "Simplified Chinese", nullptr},
    {"MainWidget", "获取", "get", nullptr},
    {"MainWidget", "获取离线模式数据失败", "Failed to read offline mode", nullptr},
    {"MainWidget", "解析配置文件失败.", "Failed to parsing configuration file.", nullptr},
    {"MainWidget", "设备不存在", "Equipment does not exist", nullptr},
    {"MainWidget", "设备信息", "Device Info", nullptr},
    {"MainWidget", "设备名称：", "DeviceName：", nullptr},
    {"MainWidget", "设备未连接", "Equipment not connected", nullptr},
    {"MainWidget", "设备未连接.", "Equipment not connected.", nullptr},
    {"MainWidget", "设置", "set", nullptr},
    {"MainWidget", "设置中继失败", "Setting relay mode failed", nullptr},
    {"MainWidget", "设置成功", "set successfully", nullptr},
    {"MainWidget", "设置离线数据失败", "Failed to set offline data", "设置里离线数据失败"},
    {"MainWidget", "设置离线模式失败.", "Setting offline mode failed.", nullptr},
    {"MainWidget", "设置缓存", "Set cache", nullptr},
    {"MainWidget", "读CAN参数", "Read CAN", nullptr},
    {"MainWidget", "读取", "Read", nullptr},
    {"MainWidget", "读取成功", "read successfully", nullptr},
    {"MainWidget", "读取通道个数失败", "Failed to read the number of channels", nullptr},
    {"MainWidget", "读离线数据", "Read offline data", nullptr},
    {"MainWidget", "读离线数据失败", "Failed to read offline data", nullptr},
    {"MainWidget", "过滤", "Filter", nullptr},
    {"MainWidget", "连接", "Connect", nullptr},
    {"MainWidget", "连接失败", "connection fail", nullptr},
    {"MainWidget", "通道", "Channal", nullptr},
    {"MainWidget", "验收码失败", "acceptance code failed", nullptr},
    {"MainWidget", "默认值", "Default", nullptr},
    {"MainWidget", "信号跟踪", "Signal trace", nullptr},
    {"MainWidget", "加载DBC...", "Load DBC...", nullptr},
    {"MonitorStatisticsLabel", "通道0：%1 帧/秒    通道1：%2 帧/秒    清空后：%3 帧    丢弃的错误传输：%4    已过滤：%5 帧",
     "Channal 0: %1 frames/s    Channal 1: %2 frames/s    since clear: %3 frames    malformed transfers dropped: %4    filtered out: %5 frames", nullptr},
    {"OfflineListWidget", "OfflineListWidget", "OfflineListWidget", nullptr},
    {"OfflineListWidget", "删除", "Delete", nullptr},
    {"OfflineListWidget", "定时间隔(100us)", "Timing interval(us100)", "时间间隔(100us)"},
    {"OfflineListWidget", "帧 ID", "Frame ID", nullptr},
    {"OfflineListWidget", "帧数据", "Frame data", nullptr},
    {"OfflineListWidget", "帧数据超出范围,最多为8个字节", "frame data out of range,maximum 8 bytes", nullptr},
    {"OfflineListWidget", "帧格式", "Frame format", nullptr},
    {"OfflineListWidget", "帧类型", "Frame type", nullptr},
    {"OfflineListWidget", "扩展帧", "Extended frame", nullptr},
    {"OfflineListWidget", "扩展帧ID取值超出范围,范围为0到0x1FFFFFFF", "extended frame ID value out of range,the range is 0-0x1fffffff", nullptr},
    {"OfflineListWidget", "提示", "Hint", nullptr},
    {"OfflineListWidget", "数据帧", "Data frame", nullptr},
    {"OfflineListWidget", "时间间隔超出范围,取值范围为0到16777215", "time interval value out of range,the range is 0-16777215", nullptr},
    {"OfflineListWidget", "时间间隔超出范围,时间间隔数值最大个数为8位", "time interval value out of range,maximum 8 Numbers", nullptr},
    {"OfflineListWidget", "最多支持", "most support", nullptr},
    {"OfflineListWidget", "条数据", "count data", nullptr},
    {"OfflineListWidget", "标准帧", "Standard frame", nullptr},
    {"OfflineListWidget", "标准帧ID取值超出范围,范围为0到0x7FF", "standard frame ID Value out of range,the range is 0-0x7FF", nullptr},
    {"OfflineListWidget", "添加", "Add", nullptr},
    {"OfflineListWidget", "远程帧", "Remote frame", nullptr},
    {"OfflineListWidget", "通道", "Channal", nullptr},
    {"SetCacheDialog", "确定", "OK", nullptr},
    {"SetCacheDialog", "缓存大小：", "Cache size:", nullptr},
    {"SetCacheDialog", "设置缓存", "Set cache", nullptr},
    {"SignalPlot", "暂停", "Pause", nullptr},
    {"SignalPlot", "保存为PNG", "Save as PNG", nullptr},
    {"SignalPlot", "时间(s)", "Time (s)", nullptr},
    {"SignalPlot", "PNG图片(*.png)", "PNG image (*.png)", nullptr},
    {"SignalPlot", "失败", "Failed", nullptr},
    {"SignalPlot", "保存图片失败：%1", "Failed to save the image: %1", nullptr},
    {"TraceModel", "名称", "Name", nullptr},
    {"TraceModel", "通道", "Channel", nullptr},
    {"TraceModel", "次数", "Count", nullptr},
    {"TraceModel", "周期(ms)", "Cycle (ms)", nullptr},
    {"TraceModel", "平均周期(ms)", "Avg. cycle (ms)", nullptr},
    {"TraceModel", "数据/值", "Data / value", nullptr},
    {"TraceModel", "单位", "Unit", nullptr},
    {"TraceModel", "原始值", "Raw", nullptr},
    {"TraceModel", "值描述", "Value text", nullptr},
    {"TraceWindow", "信号跟踪", "Signal trace", nullptr},
    {"TraceWindow", "未加载DBC数据库", "No DBC database loaded", nullptr},
    {"TraceWindow", "DBC数据库：%1（%2个报文，%3个信号）", "DBC database: %1 (%2 messages, %3 signals)", nullptr},
    {"TraceWindow", "加载DBC", "Load DBC", nullptr},
    {"TraceWindow", "DBC文件(*.dbc)", "DBC files (*.dbc)", nullptr},
    {"TraceWindow", "失败", "Failed", nullptr},
    {"TraceWindow", "加载DBC文件%1失败：%2", "Failed to load the DBC file %1: %2", nullptr},
};

QString u(const char *text) { return QString::fromUtf8(text); }

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initBrantelResources();
        QVERIFY(m_english.load(QStringLiteral(":/Language/Resources/brantel_en.qm")));
        QVERIFY(m_chinese.load(QStringLiteral(":/Language/Resources/brantel_zh.qm")));
    }
    void entries_data();
    void entries();
    void nothingElseTranslates();
    void cleanup()
    {
        QCoreApplication::removeTranslator(&m_english);
        QCoreApplication::removeTranslator(&m_chinese);
    }

private:
    QTranslator m_english;
    QTranslator m_chinese;
};

void TestCatalogues::entries_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(kCatalogue)); ++i)
        QTest::addRow("%s/%s", kCatalogue[i].context, kCatalogue[i].source) << i;
}

// What the application shows with no catalogue, the Chinese one, both (the one installed
// last is asked first, and an entry missing from it falls through) and the English one.
void TestCatalogues::entries()
{
    QFETCH(int, index);
    const Entry &e = kCatalogue[index];
    const QString source = u(e.source);
    const QString chinese = e.chineseDiff ? u(e.chineseDiff) : source;
    const auto shown = [&] { return QCoreApplication::translate(e.context, e.source); };

    // Whether each catalogue holds the entry at all: the shown text cannot tell when a
    // translation repeats its source.
    QCOMPARE(m_english.translate(e.context, e.source).isNull(), !e.english);
    QCOMPARE(m_chinese.translate(e.context, e.source), chinese);
    QCOMPARE(shown(), source);
    QVERIFY(QCoreApplication::installTranslator(&m_chinese));
    QCOMPARE(shown(), chinese);
    QVERIFY(QCoreApplication::installTranslator(&m_english));
    QCOMPARE(shown(), e.english ? u(e.english) : chinese);
    QCoreApplication::removeTranslator(&m_chinese);
    QCOMPARE(shown(), e.english ? u(e.english) : source);
}

// No other pairing of the catalogued contexts and sources translates, nor do near misses
// and the texts deliberately left out (the title bar's tool tips).
void TestCatalogues::nothingElseTranslates()
{
    QSet<QByteArray> contexts{"QObject", "", "TitleWidget", "mainwidget"};
    QSet<QByteArray> sources{"Connect", "关于 ", "版本:", "关闭", "最小化", "TEX文件(*.txt)"};
    QSet<QByteArray> listed;
    for (const Entry &e : kCatalogue) {
        contexts.insert(e.context);
        sources.insert(e.source);
        listed.insert(QByteArray(e.context) + '\n' + e.source);
    }
    for (const QByteArray &context : qAsConst(contexts)) {
        for (const QByteArray &source : qAsConst(sources)) {
            if (listed.contains(context + '\n' + source))
                continue;
            for (const QTranslator *t : {&m_english, &m_chinese})
                QVERIFY2(t->translate(context, source).isEmpty(),
                         qPrintable(u(context) + QLatin1Char('/') + u(source)));
        }
    }
}

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
