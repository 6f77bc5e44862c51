#pragma once
// Adapter arrival/removal from libusb: hot-plug callbacks where libusb offers them,
// otherwise a slow poll of the device list. Reports on the thread that owns the object.

#include "device/DeviceBackends.h"

#include <atomic>
#include <thread>

struct libusb_context;
class QTimer;

class LibusbHotplug final : public HotplugSource {
    Q_OBJECT
public:
    enum class Mode { Automatic, Poll };
    static constexpr int DefaultPollIntervalMs = 2000;

    // Poll forces the device-list poll even where callbacks exist (tests, odd platforms).
    explicit LibusbHotplug(QObject *parent = nullptr, Mode mode = Mode::Automatic,
                           int pollIntervalMs = DefaultPollIntervalMs);
    ~LibusbHotplug() override;

    // False when libusb could not be initialised: the source then never reports.
    bool isActive() const { return m_ctx != nullptr; }
    bool usesCallbacks() const { return m_callbackRegistered; }

private:
    static int adapterCount(libusb_context *ctx);
    void poll();
    void runEvents();

    libusb_context *m_ctx = nullptr;
    bool m_callbackRegistered = false;
    int m_callbackHandle = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_eventThread;
    QTimer *m_pollTimer = nullptr;
    int m_present = 0;
};
