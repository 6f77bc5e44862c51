#include "offline/OfflineDataExchange.h"

#include "device/CWrapWinUSB.h"
#include "monitor/DataMonitorWidget.h"
#include "offline/OfflineListWidget.h"
#include "offline/OfflineTransfer.h"
#include "widgets/ButtonDisableGuard.h"
#include "widgets/Dialogs.h"

namespace {

bool tell(QWidget *parent, const QString &text, bool result)
{
    Dialogs::information(parent, OfflineDataExchange::tr("提示"), text);
    return result;
}

} // namespace

bool OfflineDataExchange::readOffline(CWrapWinUSB &link, OfflineListWidget &list,
                                      QWidget *button, QWidget *parent)
{
    if (!link.isOpen())
        return tell(parent, tr("设备未连接"), false);
    ButtonDisableGuard guard(button);
    QVector<QByteArray> records;
    switch (OfflineTransfer::readRecords(link, &records)) {
    case OfflineTransfer::ReadResult::RequestFailed:
        return tell(parent, tr("发送读离线数据请求失败"), false);
    case OfflineTransfer::ReadResult::ReadFailed:
        return tell(parent, tr("读离线数据失败"), false);
    case OfflineTransfer::ReadResult::NoData:
        return tell(parent, tr("离线数据不存在"), false);
    case OfflineTransfer::ReadResult::Ok:
        break;
    }
    list.fromRecords(records);
    return tell(parent, tr("读取成功"), true);
}

bool OfflineDataExchange::writeOffline(CWrapWinUSB &link, OfflineListWidget &list,
                                       DataMonitorWidget &monitor, QWidget *button,
                                       QWidget *parent)
{
    if (!link.isOpen())
        return tell(parent, tr("设备未连接"), false);
    ButtonDisableGuard guard(button);
    // A list the device cannot hold is refused before any byte goes out, the
    // offline-send switch included.
    if (!list.withinCapacity())
        return false;
    const bool sendingWasOn = monitor.isOfflineSendOn();
    if (sendingWasOn)
        monitor.setOfflineSend(false);
    QVector<QByteArray> records;
    if (!list.toRecords(records))
        return false;

    switch (OfflineTransfer::writeRecords(link, records)) {
    case OfflineTransfer::WriteResult::WriteFailed:
        return tell(parent, tr("离线数据设置失败"), false);
    case OfflineTransfer::WriteResult::Refused:
        return tell(parent, tr("设置离线数据失败"), false);
    case OfflineTransfer::WriteResult::Ok:
        break;
    }
    // Emptying the device's list leaves offline sending off.
    if (sendingWasOn && !records.isEmpty())
        monitor.setOfflineSend(true);
    return tell(parent, tr("设置成功"), true);
}
