#include "device/BroadcastName.h"

namespace {

// The four characters that start four positions after the first `key` ("VID_0471"
// skips the key and its separator), compared without reading past the end.
bool fieldAfterIs(std::wstring_view name, std::wstring_view key, std::wstring_view expected)
{
    const size_t at = name.find(key);
    if (at == std::wstring_view::npos)
        return false;
    const size_t start = at + 4;
    if (start + expected.size() > name.size())
        return false;
    return name.substr(start, expected.size()) == expected;
}

} // namespace

bool isAdapterBroadcastName(std::wstring_view name)
{
    if (name.empty() || name.find(L"USB") == std::wstring_view::npos)
        return false;
    return fieldAfterIs(name, L"VID", L"0471") && fieldAfterIs(name, L"PID", L"1200");
}
