#pragma once
// The two switches of the monitor page as device exchanges: frame reporting on or off,
// and sending the stored offline frames on or off. Each returns whether the device
// acknowledged; the caller shows the message.

class CWrapWinUSB;

namespace MonitorCommands {

bool setMonitoring(CWrapWinUSB &link, bool on);
bool setOfflineSend(CWrapWinUSB &link, bool on);

} // namespace MonitorCommands
