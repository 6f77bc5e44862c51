#include "canparam/CanParamExchange.h"

#include "app/Dialogs.h"
#include "canparam/BaudRateTable.h"
#include "canparam/ButtonDisableGuard.h"
#include "canparam/CANParamWidget.h"
#include "canparam/ChannalPageWidget.h"
#include "device/CWrapWinUSB.h"
#include "device/Protocol.h"

#include <QVector>

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
        QByteArray reply;
        Protocol::sendRequest(link, CommandId::ReadBaudRate, Protocol::readBaudRate(i));
        if (!Protocol::readReply(link, CommandId::ReadBaudRate, &reply))
            return stop(parent, tr("获取") + channel(i) + tr("波特率失败"));
        page->setBaudRate(QString::fromLatin1(reply.mid(5, 4).toHex()));

        if (!Protocol::sendRequest(link, CommandId::ReadAcceptanceFilters,
                                   Protocol::readAcceptanceFilters(i)))
            return stop(parent, tr("发送获取过滤验收码请求失败"));
        // Applied only once all fourteen have arrived, so a failed read leaves the rows.
        QVector<QByteArray> replies;
        for (int bank = 0; bank < FilterBankCount; ++bank) {
            if (!Protocol::readReply(link, CommandId::ReadAcceptanceFilters, &reply))
                return stop(parent, tr("获取") + channel(i) + tr("验收码失败"));
            replies.append(reply);
        }
        page->applyFilterReplies(replies);
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
        QByteArray reply;
        Protocol::sendRequest(link, CommandId::WriteBaudRate,
                              Protocol::writeBaudRate(i, registerBytes(page->registerText())));
        if (!Protocol::readReply(link, CommandId::WriteBaudRate, &reply))
            return stop(parent, tr("设置") + channel(i) + tr("波特率失败"));

        for (const QByteArray &request : page->buildFilterRequests()) {
            if (!Protocol::sendRequest(link, CommandId::WriteFilterBank, request)
                || !Protocol::readReply(link, CommandId::WriteFilterBank, &reply))
                return stop(parent, tr("设置") + channel(i) + tr("验收码失败"));
        }
    }
    Dialogs::information(parent, tr("提示"), tr("写入成功"));
    return true;
}
