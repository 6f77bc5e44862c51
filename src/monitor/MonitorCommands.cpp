#include "monitor/MonitorCommands.h"

#include "device/Exchange.h"

namespace MonitorCommands {

bool setMonitoring(CWrapWinUSB &link, bool on)
{
    // The write is not checked: the reply judges.
    return Protocol::exchange(link, CommandId::SetMonitoring, Protocol::setMonitoring(on)).passed;
}

bool setOfflineSend(CWrapWinUSB &link, bool on)
{
    return Protocol::exchange(link, CommandId::SetOfflineSend, Protocol::setOfflineSend(on)).passed;
}

} // namespace MonitorCommands
