#include "device/win/WinUsbBackend.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <setupapi.h>
#include <winusb.h>

#include <cstring>

namespace {

// The interrupt pipes' time-out until a caller asks for another one.
constexpr unsigned DefaultPipeTimeoutMs = 1000;

GUID toWin(const WinUsbBackend::Guid &g)
{
    GUID out;
    out.Data1 = g.data1;
    out.Data2 = g.data2;
    out.Data3 = g.data3;
    std::memcpy(out.Data4, g.data4, sizeof out.Data4);
    return out;
}

bool isNull(const WinUsbBackend::Guid &g)
{
    static const WinUsbBackend::Guid zero{};
    return std::memcmp(&g, &zero, sizeof g) == 0;
}

// A pipe time-out ends a transfer with ERROR_SEM_TIMEOUT, an unplugged device with
// ERROR_DEVICE_NOT_CONNECTED; anything else is only known to have failed.
TransferStatus lastTransferError()
{
    switch (GetLastError()) {
    case ERROR_SEM_TIMEOUT: return TransferStatus::TimedOut;
    case ERROR_DEVICE_NOT_CONNECTED: return TransferStatus::Gone;
    default: return TransferStatus::Failed;
    }
}

bool validHandle(void *h)
{
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// Frees the enumeration's resources on every way out of the search.
struct DeviceInfoList {
    HDEVINFO set;
    ~DeviceInfoList()
    {
        if (set != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(set);
    }
};
struct LocalBuffer {
    void *p = nullptr;
    ~LocalBuffer()
    {
        if (p)
            LocalFree(p);
    }
};

} // namespace

const WinUsbBackend::Guid WinUsbBackend::AdapterInterface = {
    0x9F543223, 0xCEDE, 0x4FA3, {0xB3, 0x76, 0xA2, 0x5C, 0xE9, 0xA3, 0x0E, 0x74}};

WinUsbBackend::WinUsbBackend(const Guid &interfaceGuid) : m_guid(interfaceGuid) {}

WinUsbBackend::~WinUsbBackend()
{
    close();
}

std::wstring WinUsbBackend::findDevicePath(const Guid &interfaceGuid)
{
    if (isNull(interfaceGuid))
        return {};
    const GUID guid = toWin(interfaceGuid);
    DeviceInfoList devices{
        SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)};
    if (devices.set == INVALID_HANDLE_VALUE)
        return {};

    std::wstring path;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices.set, index, &info); ++index) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof iface;
        // Any failing device fails the whole search, even after an earlier path.
        if (!SetupDiEnumDeviceInterfaces(devices.set, &info, &guid, 0, &iface))
            return {};
        DWORD required = 0;
        if (SetupDiGetDeviceInterfaceDetailW(devices.set, &iface, nullptr, 0, &required, nullptr)
            || GetLastError() != ERROR_INSUFFICIENT_BUFFER || required == 0)
            return {};
        LocalBuffer buffer;
        buffer.p = LocalAlloc(LPTR, required);
        if (!buffer.p)
            return {};
        auto *detail = static_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(buffer.p);
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(devices.set, &iface, detail, required, nullptr,
                                              &info))
            return {};
        path.assign(detail->DevicePath); // the last device's path wins
        info = SP_DEVINFO_DATA{};
        info.cbSize = sizeof info;
    }
    return path;
}

bool WinUsbBackend::open()
{
    close();
    {
        std::lock_guard<std::mutex> lock(m_bulkMutex);
        m_bulkCancelled = false;
    }
    const std::wstring path = findDevicePath(m_guid);
    if (path.empty())
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    m_file = file;

    WINUSB_INTERFACE_HANDLE winusb = nullptr;
    if (!WinUsb_Initialize(file, &winusb))
        return false;
    m_winusb = winusb;
    if (!queryPipes())
        return false;

    // No exchange may block for ever: the interrupt pipes get a time-out now, and
    // each call may ask for another.
    m_outTimeout = m_inTimeout = 0;
    setPipeTimeout(m_pipes.interruptOut, DefaultPipeTimeoutMs, m_outTimeout);
    setPipeTimeout(m_pipes.interruptIn, DefaultPipeTimeoutMs, m_inTimeout);

    m_bulkEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return m_bulkEvent != nullptr;
}

bool WinUsbBackend::queryPipes()
{
    if (!validHandle(m_winusb))
        return false;
    USB_INTERFACE_DESCRIPTOR desc{};
    if (!WinUsb_QueryInterfaceSettings(m_winusb, 0, &desc))
        return false;
    PipeIds ids;
    for (UCHAR index = 0; index < desc.bNumEndpoints; ++index) {
        WINUSB_PIPE_INFORMATION pipe{};
        if (!WinUsb_QueryPipe(m_winusb, 0, index, &pipe))
            continue;
        PipeKind kind = PipeKind::Control;
        switch (pipe.PipeType) {
        case UsbdPipeTypeBulk: kind = PipeKind::Bulk; break;
        case UsbdPipeTypeInterrupt: kind = PipeKind::Interrupt; break;
        case UsbdPipeTypeIsochronous: kind = PipeKind::Isochronous; break;
        default: break;
        }
        classifyPipe(ids, kind, pipe.PipeId);
    }
    m_pipes = ids;
    return true;
}

void WinUsbBackend::close()
{
    // The facade calls this only when no thread is inside, so no read is pending.
    if (validHandle(m_winusb))
        WinUsb_Free(m_winusb);
    m_winusb = nullptr;
    if (validHandle(m_file))
        CloseHandle(m_file);
    m_file = nullptr;
    if (m_bulkEvent)
        CloseHandle(m_bulkEvent);
    m_bulkEvent = nullptr;
    m_pipes = PipeIds{};
}

bool WinUsbBackend::setPipeTimeout(uint8_t pipeId, unsigned timeoutMs, unsigned &current)
{
    if (pipeId == 0)
        return false;
    if (current == timeoutMs)
        return true;
    ULONG value = timeoutMs;
    if (!WinUsb_SetPipePolicy(m_winusb, pipeId, PIPE_TRANSFER_TIMEOUT, sizeof value, &value))
        return false;
    current = timeoutMs;
    return true;
}

TransferStatus WinUsbBackend::writeInterrupt(const uint8_t *data, uint32_t length,
                                             uint32_t *transferred, unsigned timeoutMs)
{
    ULONG done = 0;
    if (transferred)
        *transferred = 0;
    // A missing pipe stays 0; never let that address the control pipe.
    if (!validHandle(m_winusb) || m_pipes.interruptOut == 0)
        return TransferStatus::Failed;
    setPipeTimeout(m_pipes.interruptOut, timeoutMs, m_outTimeout);
    const BOOL ok = WinUsb_WritePipe(m_winusb, m_pipes.interruptOut, const_cast<PUCHAR>(data),
                                     length, &done, nullptr);
    if (transferred)
        *transferred = done;
    return ok ? TransferStatus::Ok : lastTransferError();
}

TransferStatus WinUsbBackend::readInterrupt(uint8_t *data, uint32_t length,
                                            uint32_t *transferred, unsigned timeoutMs)
{
    ULONG done = 0;
    if (transferred)
        *transferred = 0;
    if (!validHandle(m_winusb) || m_pipes.interruptIn == 0)
        return TransferStatus::Failed;
    setPipeTimeout(m_pipes.interruptIn, timeoutMs, m_inTimeout);
    const BOOL ok = WinUsb_ReadPipe(m_winusb, m_pipes.interruptIn, data, length, &done, nullptr);
    if (transferred)
        *transferred = done;
    return ok ? TransferStatus::Ok : lastTransferError();
}

bool WinUsbBackend::readBulk(uint8_t *data, uint32_t length, uint32_t *transferred)
{
    if (transferred)
        *transferred = 0;
    if (!validHandle(m_winusb) || !m_bulkEvent || m_pipes.bulkIn == 0)
        return false;

    OVERLAPPED ov{};
    ov.hEvent = m_bulkEvent;
    ResetEvent(m_bulkEvent);
    {
        std::lock_guard<std::mutex> lock(m_bulkMutex);
        if (m_bulkCancelled)
            return false;
        ULONG immediate = 0;
        if (!WinUsb_ReadPipe(m_winusb, m_pipes.bulkIn, data, length, &immediate, &ov)
            && GetLastError() != ERROR_IO_PENDING)
            return false;
        m_bulkPending = true;
    }
    // Blocks until the transfer completes or cancelBulk() aborts the pipe; the
    // OVERLAPPED and `data` stay in use until then, so always wait.
    DWORD done = 0;
    const BOOL ok = WinUsb_GetOverlappedResult(m_winusb, &ov, &done, TRUE);

    std::lock_guard<std::mutex> lock(m_bulkMutex);
    m_bulkPending = false;
    if (!ok || m_bulkCancelled)
        return false;
    if (transferred)
        *transferred = done;
    return true;
}

void WinUsbBackend::cancelBulk()
{
    std::lock_guard<std::mutex> lock(m_bulkMutex);
    m_bulkCancelled = true;
    if (m_bulkPending)
        WinUsb_AbortPipe(m_winusb, m_pipes.bulkIn);
}

void WinUsbBackend::resumeBulk()
{
    std::lock_guard<std::mutex> lock(m_bulkMutex);
    if (!m_bulkPending)
        m_bulkCancelled = false;
}
