#include "device/usb/LibusbBackend.h"

#include <libusb.h>

#include <cstdio>

namespace {

constexpr int AdapterInterface = 0;

// Short slices so that a reader that is not the event handler re-checks its own
// completion flag even if a wake-up is missed.
constexpr int EventSliceMs = 50;

void permissionHint()
{
    // Once per process: the name read repeats on every arrival.
    static std::atomic<bool> shown{false};
    if (!shown.exchange(true))
        std::fprintf(stderr,
                     "brantel: no permission to open the adapter (USB %04x:%04x); install %s "
                     "(see packaging/linux/README.md) and plug it in again\n",
                     LibusbBackend::VendorId, LibusbBackend::ProductId,
                     LibusbBackend::UdevRuleFile);
}

PipeIds classifyInterface(const libusb_config_descriptor *config)
{
    PipeIds ids;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface &iface = config->interface[i];
        for (int a = 0; a < iface.num_altsetting; ++a) {
            const libusb_interface_descriptor &alt = iface.altsetting[a];
            if (alt.bInterfaceNumber != AdapterInterface || alt.bAlternateSetting != 0)
                continue;
            for (int e = 0; e < alt.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor &ep = alt.endpoint[e];
                PipeKind kind = PipeKind::Control;
                switch (ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) {
                case LIBUSB_ENDPOINT_TRANSFER_TYPE_BULK: kind = PipeKind::Bulk; break;
                case LIBUSB_ENDPOINT_TRANSFER_TYPE_INTERRUPT: kind = PipeKind::Interrupt; break;
                case LIBUSB_ENDPOINT_TRANSFER_TYPE_ISOCHRONOUS: kind = PipeKind::Isochronous; break;
                default: break;
                }
                classifyPipe(ids, kind, ep.bEndpointAddress);
            }
            return ids;
        }
    }
    return ids;
}

void LIBUSB_CALL bulkDone(libusb_transfer *transfer)
{
    static_cast<std::atomic<bool> *>(transfer->user_data)->store(true, std::memory_order_release);
}

} // namespace

LibusbBackend::~LibusbBackend()
{
    close();
}

bool LibusbBackend::open()
{
    close();
    {
        std::lock_guard<std::mutex> lock(m_bulkMutex);
        m_bulkCancelled = false;
    }
    if (libusb_init(&m_ctx) != LIBUSB_SUCCESS) {
        m_ctx = nullptr;
        return false;
    }
    return openDevice();
}

bool LibusbBackend::openDevice()
{
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(m_ctx, &list);
    if (count < 0)
        return false;

    libusb_device *chosen = nullptr;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor desc;
        if (libusb_get_device_descriptor(list[i], &desc) == LIBUSB_SUCCESS
            && desc.idVendor == VendorId && desc.idProduct == ProductId)
            chosen = list[i]; // the last one enumerated wins
    }
    int rc = LIBUSB_ERROR_NO_DEVICE;
    if (chosen)
        rc = libusb_open(chosen, &m_handle);
    if (rc == LIBUSB_ERROR_ACCESS)
        permissionHint();

    PipeIds ids;
    bool described = false;
    if (rc == LIBUSB_SUCCESS) {
        libusb_config_descriptor *config = nullptr;
        if (libusb_get_active_config_descriptor(chosen, &config) != LIBUSB_SUCCESS)
            libusb_get_config_descriptor(chosen, 0, &config);
        if (config) {
            ids = classifyInterface(config);
            libusb_free_config_descriptor(config);
            described = true;
        }
    }
    libusb_free_device_list(list, 1);
    if (rc != LIBUSB_SUCCESS) {
        m_handle = nullptr;
        return false;
    }
    if (!described)
        return false;

    if (libusb_kernel_driver_active(m_handle, AdapterInterface) == 1) {
        if (libusb_detach_kernel_driver(m_handle, AdapterInterface) != LIBUSB_SUCCESS)
            return false;
        m_reattachDriver = true;
    }
    rc = libusb_claim_interface(m_handle, AdapterInterface);
    if (rc == LIBUSB_ERROR_ACCESS)
        permissionHint();
    if (rc != LIBUSB_SUCCESS)
        return false;
    m_claimed = true;

    m_bulkTransfer = libusb_alloc_transfer(0);
    if (!m_bulkTransfer)
        return false;
    m_pipes = ids;
    return true;
}

void LibusbBackend::close()
{
    // The facade calls this only when no other thread is inside, so the bulk transfer
    // cannot be pending here; a direct caller gets the same guarantee by cancelling
    // and waiting for its reader first.
    if (m_bulkTransfer) {
        libusb_free_transfer(m_bulkTransfer);
        m_bulkTransfer = nullptr;
    }
    if (m_handle) {
        if (m_claimed)
            libusb_release_interface(m_handle, AdapterInterface);
        if (m_reattachDriver)
            libusb_attach_kernel_driver(m_handle, AdapterInterface);
        libusb_close(m_handle);
        m_handle = nullptr;
    }
    m_claimed = false;
    m_reattachDriver = false;
    if (m_ctx) {
        libusb_exit(m_ctx);
        m_ctx = nullptr;
    }
    m_pipes = PipeIds{};
}

TransferStatus LibusbBackend::interruptTransfer(uint8_t endpoint, uint8_t *data,
                                                uint32_t length, uint32_t *transferred,
                                                unsigned timeoutMs)
{
    if (transferred)
        *transferred = 0;
    // A missing pipe stays 0: never let that turn into a control transfer.
    if (!m_handle || endpoint == 0)
        return TransferStatus::Failed;
    int done = 0;
    const int rc = libusb_interrupt_transfer(m_handle, endpoint, data, static_cast<int>(length),
                                             &done, timeoutMs);
    if (transferred)
        *transferred = static_cast<uint32_t>(done);
    switch (rc) {
    case LIBUSB_SUCCESS: return TransferStatus::Ok;
    case LIBUSB_ERROR_TIMEOUT: return TransferStatus::TimedOut;
    case LIBUSB_ERROR_NO_DEVICE: return TransferStatus::Gone;
    default: return TransferStatus::Failed;
    }
}

TransferStatus LibusbBackend::writeInterrupt(const uint8_t *data, uint32_t length,
                                             uint32_t *transferred, unsigned timeoutMs)
{
    // libusb takes a non-const buffer for both directions; OUT transfers only read it.
    return interruptTransfer(m_pipes.interruptOut, const_cast<uint8_t *>(data), length,
                             transferred, timeoutMs);
}

TransferStatus LibusbBackend::readInterrupt(uint8_t *data, uint32_t length,
                                            uint32_t *transferred, unsigned timeoutMs)
{
    return interruptTransfer(m_pipes.interruptIn, data, length, transferred, timeoutMs);
}

bool LibusbBackend::readBulk(uint8_t *data, uint32_t length, uint32_t *transferred)
{
    if (transferred)
        *transferred = 0;
    if (!m_handle || !m_bulkTransfer || m_pipes.bulkIn == 0)
        return false;
    {
        std::lock_guard<std::mutex> lock(m_bulkMutex);
        if (m_bulkCancelled || m_bulkPending)
            return false;
        m_bulkDone.store(false, std::memory_order_relaxed);
        libusb_fill_bulk_transfer(m_bulkTransfer, m_handle, m_pipes.bulkIn, data,
                                  static_cast<int>(length), bulkDone, &m_bulkDone, 0);
        if (libusb_submit_transfer(m_bulkTransfer) != LIBUSB_SUCCESS)
            return false;
        m_bulkPending = true;
    }

    // Whoever holds libusb's event lock (this thread or a command exchange on another)
    // runs the callback; the transfer owns `data` until then, so wait for it even when
    // cancelled or when event handling fails.
    while (!m_bulkDone.load(std::memory_order_acquire)) {
        timeval slice{0, EventSliceMs * 1000};
        const int rc = libusb_handle_events_timeout_completed(m_ctx, &slice, nullptr);
        if (rc != LIBUSB_SUCCESS && rc != LIBUSB_ERROR_INTERRUPTED
            && rc != LIBUSB_ERROR_TIMEOUT) {
            std::lock_guard<std::mutex> lock(m_bulkMutex);
            libusb_cancel_transfer(m_bulkTransfer);
        }
    }

    std::lock_guard<std::mutex> lock(m_bulkMutex);
    m_bulkPending = false;
    const bool ok = m_bulkTransfer->status == LIBUSB_TRANSFER_COMPLETED && !m_bulkCancelled;
    if (ok && transferred)
        *transferred = static_cast<uint32_t>(m_bulkTransfer->actual_length);
    return ok;
}

void LibusbBackend::cancelBulk()
{
    std::lock_guard<std::mutex> lock(m_bulkMutex);
    m_bulkCancelled = true;
    if (m_bulkPending)
        libusb_cancel_transfer(m_bulkTransfer);
}

void LibusbBackend::resumeBulk()
{
    std::lock_guard<std::mutex> lock(m_bulkMutex);
    if (!m_bulkPending)
        m_bulkCancelled = false;
}
