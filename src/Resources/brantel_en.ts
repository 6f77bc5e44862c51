<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Harlowen.</source>
        <translation>Harlowen.</translation>
    </message>
    <message>
        <source>官网：</source>
        <translation>website：</translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>versions：</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Brantel.</source>
        <translation>Brantel.</translation>
    </message>
</context>
<context>
    <name>BitTimingDialog</name>
    <message>
        <source>波特率计算</source>
        <translation>Bit timing calculator</translation>
    </message>
    <message>
        <source>波特率(kbit/s)：</source>
        <translation>Bit rate (kbit/s):</translation>
    </message>
    <message>
        <source>采样点(%)：</source>
        <translation>Sample point (%):</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>计算...</source>
        <translation>Calculate...</translation>
    </message>
</context>
<context>
    <name>BitTimingReadout</name>
    <message>
        <source>无效</source>
        <translation>invalid</translation>
    </message>
    <message>
        <source>%1 kbit/s，采样点 %2%</source>
        <translation>%1 kbit/s, sample point %2%</translation>
    </message>
</context>
<context>
    <name>CANParamWidget</name>
    <message>
        <source>CANParamWidget</source>
        <translation>CANParamWidget</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channal</translation>
    </message>
</context>
<context>
    <name>ChannalPageWidget</name>
    <message>
        <source>0x00000000</source>
        <translation>0x00000000</translation>
    </message>
    <message>
        <source>ChannalPageWidget</source>
        <translation>ChannalPageWidget</translation>
    </message>
    <message>
        <source>ID寄存器</source>
        <translation>ID Register</translation>
    </message>
    <message>
        <source>位数</source>
        <translation>bit</translation>
    </message>
    <message>
        <source>列表模式</source>
        <translation>List pattern</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>work mode</translation>
    </message>
    <message>
        <source>掩码寄存器</source>
        <translation>Mask Register</translation>
    </message>
    <message>
        <source>掩码模式</source>
        <translation>Mask pattern</translation>
    </message>
    <message>
        <source>波特率：</source>
        <translation>BaudRate：</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channal</translation>
    </message>
    <message>
        <source>寄存器</source>
        <translation> Register</translation>
    </message>
    <message>
        <source>第</source>
        <translation> row </translation>
    </message>
    <message>
        <source>行</source>
        <translation> </translation>
    </message>
    <message>
        <source>必须是4个字节(8位十六进制数)</source>
        <translation> must be 4 bytes (8 hexadecimal digits)</translation>
    </message>
</context>
<context>
    <name>DataMonitorWidget</name>
    <message>
        <source>DataMonitorWidget</source>
        <translation>DataMonitorWidget</translation>
    </message>
    <message>
        <source>TXT文件(*.txt)</source>
        <translation>TXT File(*.txt)</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>传输方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>save successfully</translation>
    </message>
    <message>
        <source>保存数据</source>
        <translation>Save Data</translation>
    </message>
    <message>
        <source>保存监控数据</source>
        <translation>Save monitor data</translation>
    </message>
    <message>
        <source>写监控数据失败.</source>
        <translation>Failed to write monitor data.</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>帧ID</source>
        <translation>     FrameID</translation>
    </message>
    <message>
        <source>帧数据</source>
        <translation>FrameData</translation>
    </message>
    <message>
        <source>帧格式</source>
        <translation>  FrameFormat</translation>
    </message>
    <message>
        <source>帧类型</source>
        <translation>FrameType</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>extended frame</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Rec</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>数据帧</source>
        <translation>data frame</translation>
    </message>
    <message>
        <source>数据监控</source>
        <translation>Data Monitor</translation>
    </message>
    <message>
        <source>时间标识</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>标准帧</source>
        <translation>standard frame</translation>
    </message>
    <message>
        <source>没有监控数据</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>离线发送</source>
        <translation>Offline Send</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Equipment not connected</translation>
    </message>
    <message>
        <source>设置失败</source>
        <translation>Set failed</translation>
    </message>
    <message>
        <source>设置离线发送失败</source>
        <translation>Setting offline send failed</translation>
    </message>
    <message>
        <source>远程帧</source>
        <translation>remote frame</translation>
    </message>
    <message>
        <source>通道号</source>
        <translation>Channal</translation>
    </message>
</context>
<context>
    <name>DeviceInfoDialog</name>
    <message>
        <source>固件版本：</source>
        <translation>Firmware Ver：</translation>
    </message>
    <message>
        <source>硬件版本：</source>
        <translation>Hardware Ver：</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device Info</translation>
    </message>
    <message>
        <source>设备序号：</source>
        <translation>Device SN：</translation>
    </message>
    <message>
        <source>设备类型：</source>
        <translation>Device Type：</translation>
    </message>
    <message>
        <source>通道个数：</source>
        <translation>Channal Num：</translation>
    </message>
</context>
<context>
    <name>FilterDialog</name>
    <message>
        <source>ID过滤设置</source>
        <translation>ID Filter Settings</translation>
    </message>
    <message>
        <source>TXT文件(*.txt)</source>
        <translation>TXT File(*.txt)</translation>
    </message>
    <message>
        <source>不接收的ID</source>
        <translation>Not acceptable ID</translation>
    </message>
    <message>
        <source>不是有效的配置文件</source>
        <translation>Not a valid configuration file</translation>
    </message>
    <message>
        <source>仅接收的ID</source>
        <translation>Receive only ID</translation>
    </message>
    <message>
        <source>从低（HEX)：</source>
        <translation>From Low(HEX)：</translation>
    </message>
    <message>
        <source>低(HEX)</source>
        <translation>Low(HEX)</translation>
    </message>
    <message>
        <source>低HEX不能为空</source>
        <translation>Low HEX can not be empty</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>Save successfully</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save Config</translation>
    </message>
    <message>
        <source>写配置文件失败.</source>
        <translation>Writing configuration file failed.</translation>
    </message>
    <message>
        <source>到高（HEX)：</source>
        <translation>To High(HEX)：</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Remark</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failure</translation>
    </message>
    <message>
        <source>当前模式：</source>
        <translation>Current Mode：</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>Open Config</translation>
    </message>
    <message>
        <source>打开配置文件失败.</source>
        <translation>Failed to open the configuration file.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>禁用</source>
        <translation>Disabled</translation>
    </message>
    <message>
        <source>解析配置文件失败.</source>
        <translation>Parsing configuration file failed.</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>高(HEX)</source>
        <translation>High(HEX)</translation>
    </message>
    <message>
        <source>高HEX不能为空</source>
        <translation>High HEX can not be empty</translation>
    </message>
</context>
<context>
    <name>FrameLogFile</name>
    <message>
        <source>candump日志文件(*.log)</source>
        <translation>candump log file(*.log)</translation>
    </message>
    <message>
        <source>Vector ASC文件(*.asc)</source>
        <translation>Vector ASC file(*.asc)</translation>
    </message>
    <message>
        <source>pcapng文件(*.pcapng)</source>
        <translation>pcapng file(*.pcapng)</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>CAN参数</source>
        <translation>CAN Param</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>MainWidget</source>
        <translation>MainWidget</translation>
    </message>
    <message>
        <source>TXT文件(*.txt)</source>
        <translation>TXT File(*.txt)</translation>
    </message>
    <message>
        <source>中继模式</source>
        <translation>Relay Mode</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>save successfully</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>save settings</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>写CAN参数</source>
        <translation>Write CAN</translation>
    </message>
    <message>
        <source>写入成功</source>
        <translation>Write to successful</translation>
    </message>
    <message>
        <source>写离线数据</source>
        <translation>Write offline data</translation>
    </message>
    <message>
        <source>写配置文件失败.</source>
        <translation>Writing configuration file failed.</translation>
    </message>
    <message>
        <source>发送方式</source>
        <translation>Send mode</translation>
    </message>
    <message>
        <source>发送获取过滤验收码请求失败</source>
        <translation>Failed to read acceptance code</translation>
    </message>
    <message>
        <source>发送读离线数据请求失败</source>
        <translation>Failed to send read offline data request</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>定时发送</source>
        <translation>Delayed TX</translation>
    </message>
    <message>
        <source>循环发送</source>
        <translation>Cycle send</translation>
    </message>
    <message>
        <source>打开配置</source>
        <translation>Open configuration</translation>
    </message>
    <message>
        <source>打开配置文件失败.</source>
        <translation>Failed to open the configuration file.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>数据监控</source>
        <translation>Data Monitor</translation>
    </message>
    <message>
        <source>断开连接</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>波特率失败</source>
        <translation>Baud rate Failed</translation>
    </message>
    <message>
        <source>离线列表</source>
        <translation>Offline list</translation>
    </message>
    <message>
        <source>离线数据不存在</source>
        <translation>no offline data</translation>
    </message>
    <message>
        <source>Brantel</source>
        <translation>Brantel</translation>
    </message>
    <message>
        <source>离线数据设置失败</source>
        <translation>Failed to set offline data</translation>
    </message>
    <message>
        <source>离线模式</source>
        <translation>Offline Mode</translation>
    </message>
    <message>
        <source>程序不支持此硬件</source>
        <translation>The program does not support this hardware</translation>
    </message>
    <message>
        <source>简体中文</source>
        <translation>Simplified Chinese</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>获取</source>
        <translation>get</translation>
    </message>
    <message>
        <source>获取离线模式数据失败</source>
        <translation>Failed to read offline mode</translation>
    </message>
    <message>
        <source>解析配置文件失败.</source>
        <translation>Failed to parsing configuration file.</translation>
    </message>
    <message>
        <source>设备不存在</source>
        <translation>Equipment does not exist</translation>
    </message>
    <message>
        <source>设备信息</source>
        <translation>Device Info</translation>
    </message>
    <message>
        <source>设备名称：</source>
        <translation>DeviceName：</translation>
    </message>
    <message>
        <source>设备未连接</source>
        <translation>Equipment not connected</translation>
    </message>
    <message>
        <source>设备未连接.</source>
        <translation>Equipment not connected.</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>set</translation>
    </message>
    <message>
        <source>设置中继失败</source>
        <translation>Setting relay mode failed</translation>
    </message>
    <message>
        <source>设置成功</source>
        <translation>set successfully</translation>
    </message>
    <message>
        <source>设置离线数据失败</source>
        <translation>Failed to set offline data</translation>
    </message>
    <message>
        <source>设置离线模式失败.</source>
        <translation>Setting offline mode failed.</translation>
    </message>
    <message>
        <source>设置缓存</source>
        <translation>Set cache</translation>
    </message>
    <message>
        <source>读CAN参数</source>
        <translation>Read CAN</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>读取成功</source>
        <translation>read successfully</translation>
    </message>
    <message>
        <source>读取通道个数失败</source>
        <translation>Failed to read the number of channels</translation>
    </message>
    <message>
        <source>读离线数据</source>
        <translation>Read offline data</translation>
    </message>
    <message>
        <source>读离线数据失败</source>
        <translation>Failed to read offline data</translation>
    </message>
    <message>
        <source>过滤</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>连接失败</source>
        <translation>connection fail</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channal</translation>
    </message>
    <message>
        <source>验收码失败</source>
        <translation>acceptance code failed</translation>
    </message>
    <message>
        <source>默认值</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>信号跟踪</source>
        <translation>Signal trace</translation>
    </message>
    <message>
        <source>加载DBC...</source>
        <translation>Load DBC...</translation>
    </message>
</context>
<context>
    <name>MonitorStatisticsLabel</name>
    <message>
        <source>通道0：%1 帧/秒    通道1：%2 帧/秒    清空后：%3 帧    丢弃的错误传输：%4    已过滤：%5 帧</source>
        <translation>Channal 0: %1 frames/s    Channal 1: %2 frames/s    since clear: %3 frames    malformed transfers dropped: %4    filtered out: %5 frames</translation>
    </message>
</context>
<context>
    <name>OfflineListWidget</name>
    <message>
        <source>OfflineListWidget</source>
        <translation>OfflineListWidget</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>定时间隔(100us)</source>
        <translation>Timing interval(us100)</translation>
    </message>
    <message>
        <source>帧 ID</source>
        <translation>Frame ID</translation>
    </message>
    <message>
        <source>帧数据</source>
        <translation>Frame data</translation>
    </message>
    <message>
        <source>帧数据超出范围,最多为8个字节</source>
        <translation>frame data out of range,maximum 8 bytes</translation>
    </message>
    <message>
        <source>帧格式</source>
        <translation>Frame format</translation>
    </message>
    <message>
        <source>帧类型</source>
        <translation>Frame type</translation>
    </message>
    <message>
        <source>扩展帧</source>
        <translation>Extended frame</translation>
    </message>
    <message>
        <source>扩展帧ID取值超出范围,范围为0到0x1FFFFFFF</source>
        <translation>extended frame ID value out of range,the range is 0-0x1fffffff</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>数据帧</source>
        <translation>Data frame</translation>
    </message>
    <message>
        <source>时间间隔超出范围,取值范围为0到16777215</source>
        <translation>time interval value out of range,the range is 0-16777215</translation>
    </message>
    <message>
        <source>时间间隔超出范围,时间间隔数值最大个数为8位</source>
        <translation>time interval value out of range,maximum 8 Numbers</translation>
    </message>
    <message>
        <source>最多支持</source>
        <translation>most support</translation>
    </message>
    <message>
        <source>条数据</source>
        <translation>count data</translation>
    </message>
    <message>
        <source>标准帧</source>
        <translation>Standard frame</translation>
    </message>
    <message>
        <source>标准帧ID取值超出范围,范围为0到0x7FF</source>
        <translation>standard frame ID Value out of range,the range is 0-0x7FF</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>远程帧</source>
        <translation>Remote frame</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channal</translation>
    </message>
</context>
<context>
    <name>SetCacheDialog</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>缓存大小：</source>
        <translation>Cache size:</translation>
    </message>
    <message>
        <source>设置缓存</source>
        <translation>Set cache</translation>
    </message>
</context>
<context>
    <name>SignalPlot</name>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>保存为PNG</source>
        <translation>Save as PNG</translation>
    </message>
    <message>
        <source>时间(s)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>PNG图片(*.png)</source>
        <translation>PNG image (*.png)</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>保存图片失败：%1</source>
        <translation>Failed to save the image: %1</translation>
    </message>
</context>
<context>
    <name>TraceModel</name>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>周期(ms)</source>
        <translation>Cycle (ms)</translation>
    </message>
    <message>
        <source>平均周期(ms)</source>
        <translation>Avg. cycle (ms)</translation>
    </message>
    <message>
        <source>数据/值</source>
        <translation>Data / value</translation>
    </message>
    <message>
        <source>单位</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>原始值</source>
        <translation>Raw</translation>
    </message>
    <message>
        <source>值描述</source>
        <translation>Value text</translation>
    </message>
</context>
<context>
    <name>TraceWindow</name>
    <message>
        <source>信号跟踪</source>
        <translation>Signal trace</translation>
    </message>
    <message>
        <source>未加载DBC数据库</source>
        <translation>No DBC database loaded</translation>
    </message>
    <message>
        <source>DBC数据库：%1（%2个报文，%3个信号）</source>
        <translation>DBC database: %1 (%2 messages, %3 signals)</translation>
    </message>
    <message>
        <source>加载DBC</source>
        <translation>Load DBC</translation>
    </message>
    <message>
        <source>DBC文件(*.dbc)</source>
        <translation>DBC files (*.dbc)</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>加载DBC文件%1失败：%2</source>
        <translation>Failed to load the DBC file %1: %2</translation>
    </message>
</context>
</TS>
