// The WinUSB side's logic that needs no adapter, run as a Windows program (under wine
// on Linux): the main window's device-change message handling, and the backend with no
// adapter present. A plain runner, as there is no toolkit for Windows here: it prints
// every failed check and the number of cases, and exits non-zero on any failure.

#include "device/win/DeviceNotification.h"
#include "device/win/WinUsbBackend.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace {

int cases = 0, failures = 0;

void check(bool ok, const char *name, const char *what)
{
    if (!ok && ++failures)
        std::printf("FAIL %s: %s\n", name, what);
}

constexpr int Whole = -1;

// The record holds `text` with a NUL after it; its size covers `declaredChars` name
// characters (Whole: text and NUL). `recognised`, `code` and `name` are what
// deviceInterfaceChange answers, `adapterCode` what adapterDeviceChange answers.
struct MessageCase {
    const char *label;
    UINT message; WPARAM event; DWORD deviceType;
    std::wstring text; int declaredChars;
    bool withRecord, recognised; // withRecord false: lParam is null
    int code; std::wstring name; int adapterCode;
};

void runMessageCase(const MessageCase &c)
{
    ++cases;
    const size_t offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<wchar_t> storage(offset / sizeof(wchar_t) + c.text.size() + 2);
    auto *record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(storage.data());
    record->dbcc_size = DWORD(offset + (c.declaredChars == Whole ? c.text.size() + 1 : size_t(c.declaredChars)) * sizeof(wchar_t));
    record->dbcc_devicetype = c.deviceType;
    c.text.copy(record->dbcc_name, c.text.size());
    MSG msg{};
    msg.message = c.message, msg.wParam = c.event;
    msg.lParam = c.withRecord ? reinterpret_cast<LPARAM>(record) : 0;

    int code = -7; std::wstring name = L"untouched";
    const bool recognised = deviceInterfaceChange(&msg, &code, &name);
    check(recognised == c.recognised, c.label, "recognised");
    check(!(recognised && c.recognised) || (code == c.code && name == c.name), c.label, "answer");
    check(adapterDeviceChange(&msg) == c.adapterCode, c.label, "adapter event");
}

void runMessageCases()
{
    const UINT Change = WM_DEVICECHANGE;
    const DWORD Iface = DBT_DEVTYP_DEVICEINTERFACE;
    const WPARAM In = DBT_DEVICEARRIVAL, Out = DBT_DEVICEREMOVECOMPLETE;
    const std::wstring path = L"\\\\?\\USB#VID_0471&PID_1200#HL261206001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    const std::wstring guid = L"#1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
    const std::wstring other = L"\\\\?\\USB#VID_0471&PID_1201" + guid;
    const std::wstring vendor = L"\\\\?\\USB#VID_0472&PID_1200" + guid;
    const std::wstring bare = L"USB#VID_0471&PID_1200";
    const MessageCase table[] = {
        {"adapter arrives", Change, In, Iface, path, Whole, true, true, 0, path, 0},
        {"adapter removed", Change, Out, Iface, path, Whole, true, true, 1, path, 1},
        {"other product arrives", Change, In, Iface, other, Whole, true, true, 0, other, -1},
        {"other vendor removed", Change, Out, Iface, vendor, Whole, true, true, 1, vendor, -1},
        {"removal query", Change, DBT_DEVICEQUERYREMOVE, Iface, path, Whole, true, false, 0, L"", -1},
        {"handle removed", Change, Out, DBT_DEVTYP_HANDLE, path, Whole, true, false, 0, L"", -1},
        {"another message", WM_PAINT, In, Iface, path, Whole, true, false, 0, L"", -1},
        {"arrival without record", Change, In, Iface, path, Whole, false, false, 0, L"", -1},
        // The name is read up to its NUL, and never past the size the record declares.
        {"name ends at its NUL", Change, In, Iface, bare + L'\0' + L"#VID_0000", Whole, true, true, 0, bare, 0},
        {"name cut by the size", Change, In, Iface, bare, 19, true, true, 0, L"USB#VID_0471&PID_12", -1},
        {"size covers no name", Change, Out, Iface, bare, 0, true, true, 1, L"", -1},
    };
    for (const MessageCase &c : table)
        runMessageCase(c);

    ++cases;
    check(!deviceInterfaceChange(nullptr, nullptr, nullptr), "no message", "recognised");
    check(adapterDeviceChange(nullptr) == -1, "no message", "adapter event");
}

// With no adapter present: the search finds nothing, open() fails, and every transfer
// of the unopened backend fails at once without touching a handle.
void runBackendCases()
{
    ++cases;
    check(WinUsbBackend::findDevicePath(WinUsbBackend::AdapterInterface).empty()
              && WinUsbBackend::findDevicePath(WinUsbBackend::Guid{}).empty(),
          "no adapter", "a device path was found");
    WinUsbBackend backend;
    const bool opened = backend.open();
    const PipeIds p = backend.pipes();
    check(!opened && backend.nativeHandle() == nullptr && (p.bulkIn | p.bulkOut | p.interruptIn | p.interruptOut) == 0,
          "open without adapter", "opened, or a handle or pipe left set");
    uint8_t buffer[64] = {0x12, 0x12, 0x01, 0x00};
    uint32_t w = 99, r = 99, b = 99;
    check(backend.writeInterrupt(buffer, 4, &w, 100) == TransferStatus::Failed
              && backend.readInterrupt(buffer, 64, &r, 100) == TransferStatus::Failed
              && !backend.readBulk(buffer, 64, &b) && w == 0 && r == 0 && b == 0,
          "unopened transfers", "a transfer did not fail at once");
}

// The main window registers its native handle for USB device-interface broadcasts.
void runNotificationCase()
{
    ++cases;
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
    check(window != nullptr, "notification", "no message-only window");
    void *notification = registerAdapterNotifications(window);
    check(notification != nullptr, "notification", "registration failed");
    unregisterAdapterNotifications(notification);
    unregisterAdapterNotifications(nullptr);
    DestroyWindow(window);
}

} // namespace

int main()
{
    runMessageCases();
    runBackendCases();
    runNotificationCase();
    std::printf("winusb logic: %d cases, %d failed checks\n", cases, failures);
    return failures == 0 ? 0 : 1;
}
