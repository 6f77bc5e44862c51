#include "device/usb/LibusbHotplug.h"

#include "device/usb/LibusbBackend.h"

#include <libusb.h>

#include <QMetaObject>
#include <QTimer>

namespace {

int LIBUSB_CALL onHotplug(libusb_context *, libusb_device *, libusb_hotplug_event event,
                          void *userData)
{
    auto *source = static_cast<LibusbHotplug *>(userData);
    const int code = event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED ? 0 : 1;
    // Runs on the event thread: hop to the owner's thread. The destructor joins that
    // thread before the QObject goes away, and Qt drops events posted to a deleted
    // receiver, so the functor never sees a dead object.
    QMetaObject::invokeMethod(
        source, [source, code] { emit source->deviceChanged(code); }, Qt::QueuedConnection);
    return 0; // stay registered
}

} // namespace

LibusbHotplug::LibusbHotplug(QObject *parent, Mode mode, int pollIntervalMs)
    : HotplugSource(parent)
{
    if (libusb_init(&m_ctx) != LIBUSB_SUCCESS) {
        m_ctx = nullptr;
        return;
    }
    if (mode == Mode::Automatic && libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
        const int rc = libusb_hotplug_register_callback(
            m_ctx,
            static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED
                                              | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
            LIBUSB_HOTPLUG_NO_FLAGS, LibusbBackend::VendorId, LibusbBackend::ProductId,
            LIBUSB_HOTPLUG_MATCH_ANY, onHotplug, this, &m_callbackHandle);
        if (rc == LIBUSB_SUCCESS) {
            m_callbackRegistered = true;
            m_eventThread = std::thread([this] { runEvents(); });
            return;
        }
    }
    m_present = adapterCount(m_ctx);
    m_pollTimer = new QTimer(this);
    connect(m_pollTimer, &QTimer::timeout, this, &LibusbHotplug::poll);
    m_pollTimer->start(pollIntervalMs);
}

LibusbHotplug::~LibusbHotplug()
{
    if (m_callbackRegistered) {
        m_stop.store(true);
        libusb_hotplug_deregister_callback(m_ctx, m_callbackHandle);
        libusb_interrupt_event_handler(m_ctx);
        m_eventThread.join();
    }
    if (m_ctx)
        libusb_exit(m_ctx);
}

void LibusbHotplug::runEvents()
{
    while (!m_stop.load()) {
        // The time-out only bounds a missed interrupt; shutdown normally wakes us at once.
        timeval tv{0, 500 * 1000};
        libusb_handle_events_timeout_completed(m_ctx, &tv, nullptr);
    }
}

int LibusbHotplug::adapterCount(libusb_context *ctx)
{
    libusb_device **list = nullptr;
    const ssize_t count = libusb_get_device_list(ctx, &list);
    if (count < 0)
        return -1;
    int found = 0;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor desc;
        if (libusb_get_device_descriptor(list[i], &desc) == LIBUSB_SUCCESS
            && desc.idVendor == LibusbBackend::VendorId
            && desc.idProduct == LibusbBackend::ProductId)
            ++found;
    }
    libusb_free_device_list(list, 1);
    return found;
}

void LibusbHotplug::poll()
{
    const int now = adapterCount(m_ctx);
    if (now < 0)
        return; // a failed listing says nothing about presence
    // One report per adapter that came or went, as the callbacks would give.
    while (m_present < now) {
        ++m_present;
        emit deviceChanged(0);
    }
    while (m_present > now) {
        --m_present;
        emit deviceChanged(1);
    }
}
