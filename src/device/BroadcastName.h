#pragma once
// Recognises the adapter in a device-interface broadcast name (Windows device
// arrival/removal), e.g. "\\?\USB#VID_0471&PID_1200#...". Plain logic without the
// toolkit, so that it is built and tested on every platform and in the Windows test
// runner, where wchar_t is 16 bits wide.

#include <string_view>

// True when the name is non-empty, contains "USB" (case-sensitive), and the four
// characters four positions after the first "VID" read "0471" and those four positions
// after the first "PID" read "1200". A name lacking "VID" or "PID" never matches.
bool isAdapterBroadcastName(std::wstring_view name);
