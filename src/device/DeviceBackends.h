#pragma once
// Backend registry: each backend names how links reach the adapter and where device
// arrival/removal comes from. The real backend of the platform is the default; the
// simulated adapter is chosen with `brantel --simulate`.

#include "device/UsbBackend.h"

#include <QObject>
#include <QString>
#include <QStringList>

// Reports the adapter's arrival (0) and removal (1), always on the thread that owns it.
class HotplugSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void deviceChanged(int code);
};

struct BackendEntry {
    QString name;
    UsbBackendFactory createBackend;
    // May be empty when the backend has no hot-plug of its own.
    std::function<HotplugSource *(QObject *parent)> createHotplugSource;
};

namespace DeviceBackends {

QString simulatedName();
QString platformDefaultName();

void registerBackend(const BackendEntry &entry);
// Registers the simulated backend and the platform's real ones; idempotent.
void registerBuiltins();
QStringList names();
bool select(const QString &name);
QString selected();

// A backend of the selected kind, or null when none is registered under that name.
std::unique_ptr<UsbBackend> createBackend();
HotplugSource *createHotplugSource(QObject *parent);

} // namespace DeviceBackends
