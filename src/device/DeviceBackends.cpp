#include "device/DeviceBackends.h"

#include "device/PlatformBackends.h"
#include "device/SimulatedAdapter.h"

#include <QMetaObject>
#include <QMutex>
#include <QVector>

namespace {

// Relays the simulated registry's plug events to the thread that owns the source.
class SimHotplugSource : public HotplugSource {
public:
    explicit SimHotplugSource(QObject *parent) : HotplugSource(parent)
    {
        m_listener = SimRegistry::instance().addListener([this](int code) {
            QMetaObject::invokeMethod(this, [this, code] { emit deviceChanged(code); },
                                      Qt::QueuedConnection);
        });
    }
    ~SimHotplugSource() override { SimRegistry::instance().removeListener(m_listener); }

private:
    int m_listener = 0;
};

struct Registry {
    QMutex mutex;
    QVector<BackendEntry> entries;
    QString selected = DeviceBackends::platformDefaultName();
};

Registry &registry()
{
    static Registry r;
    return r;
}

const BackendEntry *find(const Registry &r, const QString &name)
{
    for (const BackendEntry &e : r.entries)
        if (e.name == name)
            return &e;
    return nullptr;
}

} // namespace

namespace DeviceBackends {

QString simulatedName() { return QStringLiteral("simulated"); }

QString platformDefaultName()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("winusb");
#else
    return QStringLiteral("libusb");
#endif
}

void registerBackend(const BackendEntry &entry)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (BackendEntry &e : r.entries) {
        if (e.name == entry.name) {
            e = entry;
            return;
        }
    }
    r.entries.append(entry);
}

void registerBuiltins()
{
    registerBackend({simulatedName(), [] { return std::make_unique<SimBackend>(); },
                     [](QObject *parent) -> HotplugSource * { return new SimHotplugSource(parent); }});
#if defined(BRANTEL_HAVE_LIBUSB)
    registerLibusbBackend();
#endif
#if defined(BRANTEL_HAVE_WINUSB)
    registerWinUsbBackend();
#endif
}

QStringList names()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    QStringList out;
    for (const BackendEntry &e : r.entries)
        out << e.name;
    return out;
}

bool select(const QString &name)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    if (!find(r, name))
        return false;
    r.selected = name;
    return true;
}

QString selected()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.selected;
}

std::unique_ptr<UsbBackend> createBackend()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    const BackendEntry *e = find(r, r.selected);
    return e && e->createBackend ? e->createBackend() : nullptr;
}

HotplugSource *createHotplugSource(QObject *parent)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    const BackendEntry *e = find(r, r.selected);
    return e && e->createHotplugSource ? e->createHotplugSource(parent) : nullptr;
}

} // namespace DeviceBackends
