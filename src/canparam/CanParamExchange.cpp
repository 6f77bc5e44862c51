#include "canparam/CanParamExchange.h"

#include "canparam/CANParamWidget.h"
#include "canparam/CanParamTransfer.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "widgets/ButtonDisableGuard.h"
#include "widgets/Dialogs.h"

namespace {

bool stop(QWidget *parent, const QString &text)
{
    Dialogs::information(parent, CanParamExchange::tr("提示"), text);
    return false;
}

QString channel(int i) { return CanParamExchange::tr("通道") + QString::number(i); }

} // namespace

bool CanParamExchange::readCan(CWrapWinUSB &link, CANParamWidget &panel, QWidget *button,
                               QWidget *parent)
{
    if (!link.isOpen())
        return stop(parent, tr("设备未连接"));
    ButtonDisableGuard guard(button);

    for (int i = 0; i < panel.channalCount(); ++i) {
        ChannalPageWidget *page = panel.page(i);
        if (!page)
            continue;
        QString digits;
        QVector<DataListEntry> rows;
        const CanParamTransfer::ReadResult result =
            CanParamTransfer::readChannal(link, i, &digits, &rows);
        if (result == CanParamTransfer::ReadResult::BaudRateFailed)
            return stop(parent, tr("获取") + channel(i) + tr("波特率失败"));
        page->setBaudRate(digits);
        if (result == CanParamTransfer::ReadResult::FilterRequestFailed)
            return stop(parent, tr("发送获取过滤验收码请求失败"));
        if (result == CanParamTransfer::ReadResult::FiltersFailed)
            return stop(parent, tr("获取") + channel(i) + tr("验收码失败"));
        page->setEntries(rows);
    }
    Dialogs::information(parent, tr("提示"), tr("读取成功"));
    return true;
}

bool CanParamExchange::writeCan(CWrapWinUSB &link, CANParamWidget &panel, QWidget *button,
                                QWidget *parent)
{
    if (!link.isOpen())
        return stop(parent, tr("设备未连接"));
    ButtonDisableGuard guard(button);

    for (int i = 0; i < panel.channalCount(); ++i) {
        if (ChannalPageWidget *page = panel.page(i)) {
            const QString malformed = page->malformedTextMessage();
            if (!malformed.isEmpty())
                return stop(parent, malformed);
        }
    }

    for (int i = 0; i < panel.channalCount(); ++i) {
        ChannalPageWidget *page = panel.page(i);
        if (!page)
            continue;
        switch (CanParamTransfer::writeChannal(link, i, page->registerText(), page->entries())) {
        case CanParamTransfer::WriteResult::BaudRateFailed:
            return stop(parent, tr("设置") + channel(i) + tr("波特率失败"));
        case CanParamTransfer::WriteResult::FiltersFailed:
            return stop(parent, tr("设置") + channel(i) + tr("验收码失败"));
        case CanParamTransfer::WriteResult::Ok:
            break;
        }
    }
    Dialogs::information(parent, tr("提示"), tr("写入成功"));
    return true;
}
