#pragma once
// Recognises the adapter in a device-interface broadcast name (Windows device
// arrival/removal), e.g. "\\?\USB#VID_0471&PID_1200#...". Plain logic, so it is
// built and tested on every platform.

class QString;

// True when the name is non-empty, contains "USB" (case-sensitive), and the four
// characters four positions after the first "VID" read "0471" and those four positions
// after the first "PID" read "1200". A name lacking "VID" or "PID" never matches.
bool isAdapterBroadcastName(const QString &name);
