// GLib and umockdev first: GLib uses identifiers that Qt defines as macros.
#include <umockdev.h>

#include "EmulatedUsbBus.h"

#include <QByteArray>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

namespace {

// The device, configuration, interface and endpoint descriptors, in hex.
std::string descriptors(uint16_t vid, uint16_t pid, const std::vector<UsbEndpoint> &endpoints)
{
    const uint16_t total = uint16_t(9 + 9 + 7 * endpoints.size());
    std::vector<uint8_t> d = {
        // device: USB 2.00, vendor class, max packet 64, one configuration
        18, 1, 0x00, 0x02, 0, 0, 0, 64, uint8_t(vid), uint8_t(vid >> 8), uint8_t(pid),
        uint8_t(pid >> 8), 0x00, 0x01, 1, 2, 3, 1,
        // configuration 1, one interface, bus powered 100 mA
        9, 2, uint8_t(total), uint8_t(total >> 8), 1, 1, 0, 0x80, 50,
        // interface 0, alternate setting 0, vendor class
        9, 4, 0, 0, uint8_t(endpoints.size()), 0xFF, 0, 0, 0};
    for (const UsbEndpoint &e : endpoints) // interrupt endpoints polled every frame
        d.insert(d.end(), {7, 5, e.address, e.attributes, 64, 0, uint8_t((e.attributes & 3) == 3 ? 1 : 0)});
    return QByteArray::fromRawData(reinterpret_cast<const char *>(d.data()), int(d.size()))
        .toHex().toStdString();
}

// One emulated device node. Its handler runs on umockdev's worker thread; the lock
// keeps the URB lists consistent should umockdev ever use more than one.
struct Device {
    std::shared_ptr<SimFirmware> firmware;
    std::string sysfsPath;
    std::string devNode;
    int devnum = 0; // on bus 1
    UMockdevIoctlBase *handler = nullptr;

    std::mutex mutex;
    std::vector<UMockdevIoctlData *> flying;   // IN URBs waiting for data
    std::deque<UMockdevIoctlData *> finished;  // URBs ready to be reaped
    ~Device()
    {
        for (UMockdevIoctlData *u : flying) umockdev_ioctl_data_unref(u);
        for (UMockdevIoctlData *u : finished) umockdev_ioctl_data_unref(u);
        g_clear_object(&handler);
    }
};

void finish(Device *dev, UMockdevIoctlData *urbData, int status, int actual)
{
    auto *urb = reinterpret_cast<usbdevfs_urb *>(urbData->data);
    urb->status = status, urb->actual_length = actual;
    dev->finished.push_back(urbData);
}

// Completes IN URBs for which the firmware has something now.
void serviceFlying(Device *dev)
{
    const bool plugged = dev->firmware->isPlugged();
    for (auto it = dev->flying.begin(); it != dev->flying.end();) {
        auto *urb = reinterpret_cast<usbdevfs_urb *>((*it)->data);
        SimFirmware::Bytes bytes;
        if (plugged && !(urb->type == USBDEVFS_URB_TYPE_INTERRUPT ? dev->firmware->tryTakeReply(bytes)
                                                                  : dev->firmware->tryTakeBulk(bytes))) {
            ++it;
            continue;
        }
        // A longer packet than the buffer is babble, as the host controller reports it.
        const int n = std::min<int>(urb->buffer_length, int(bytes.size()));
        std::copy_n(bytes.begin(), n, static_cast<uint8_t *>(urb->buffer));
        finish(dev, *it, !plugged ? -ESHUTDOWN : int(bytes.size()) > n ? -EOVERFLOW : 0, n);
        it = dev->flying.erase(it);
    }
}

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer userData)
{
    auto *dev = static_cast<Device *>(userData);
    const auto done = [client](int errnum = 0)
    { umockdev_ioctl_client_complete(client, errnum ? -1 : 0, errnum); return TRUE; };
    const gulong request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    std::lock_guard<std::mutex> lock(dev->mutex);

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        // Released after done(), which writes the data back.
        g_autoptr(UMockdevIoctlData) d =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
        *reinterpret_cast<guint32 *>(d->data) = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM
                                                | USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
        return done();
    }
    case USBDEVFS_CLAIMINTERFACE: case USBDEVFS_RELEASEINTERFACE: case USBDEVFS_SETINTERFACE:
    case USBDEVFS_CLEAR_HALT: case USBDEVFS_RESET: case USBDEVFS_RESETEP: case USBDEVFS_SETCONFIGURATION:
        return done(dev->firmware->isPlugged() ? 0 : ENODEV);
    case USBDEVFS_GETDRIVER:
        return done(ENODATA); // no kernel driver bound

    case USBDEVFS_SUBMITURB: {
        if (!dev->firmware->isPlugged())
            return done(ENODEV);
        UMockdevIoctlData *urbData = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        auto *urb = reinterpret_cast<usbdevfs_urb *>(urbData->data);
        // The buffer is kept alive by urbData.
        umockdev_ioctl_data_unref(umockdev_ioctl_data_resolve(
            urbData, G_STRUCT_OFFSET(usbdevfs_urb, buffer), gsize(urb->buffer_length), nullptr));
        if (urb->endpoint & 0x80) {
            dev->flying.push_back(urbData);
        } else {
            size_t accepted = size_t(urb->buffer_length);
            const TransferStatus taken = urb->type == USBDEVFS_URB_TYPE_INTERRUPT
                ? dev->firmware->handleRequest(static_cast<const uint8_t *>(urb->buffer),
                                               size_t(urb->buffer_length), 0, &accepted)
                : TransferStatus::Ok;
            if (taken != TransferStatus::Ok) {
                umockdev_ioctl_data_unref(urbData);
                return done(taken == TransferStatus::Gone ? ENODEV : EPIPE);
            }
            finish(dev, urbData, 0, int(accepted));
        }
        return done();
    }

    case USBDEVFS_REAPURB: case USBDEVFS_REAPURBNDELAY: {
        serviceFlying(dev);
        if (dev->finished.empty())
            return done(EAGAIN);
        // Both are released after done(), which hands the URB back.
        g_autoptr(UMockdevIoctlData) urbData = dev->finished.front();
        dev->finished.pop_front();
        g_autoptr(UMockdevIoctlData) ptr =
            umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
        umockdev_ioctl_data_set_ptr(ptr, 0, urbData);
        return done();
    }

    case USBDEVFS_DISCARDURB: {
        // How libusb delivers time-outs and cancellation: the URB is reaped as -ENOENT.
        const gulong addr = *reinterpret_cast<gulong *>(arg->data);
        auto it = std::find_if(dev->flying.begin(), dev->flying.end(), [addr](UMockdevIoctlData *u) { return u->client_addr == addr; });
        if (it == dev->flying.end())
            return done(EINVAL);
        finish(dev, *it, -ENOENT, 0);
        dev->flying.erase(it);
        return done();
    }
    default:
        return FALSE;
    }
}

} // namespace

struct EmulatedUsbBus::Impl {
    UMockdevTestbed *testbed = umockdev_testbed_new();
    std::map<std::string, std::unique_ptr<Device>> devices;
    std::vector<std::unique_ptr<Device>> unplugged; // their handlers may still be called
    int nextDevnum = 2;
    // The testbed, with its folder, goes first: it stops its worker before the handlers
    // and their state go away.
    ~Impl() { g_clear_object(&testbed); }
};

std::vector<UsbEndpoint> EmulatedUsbBus::adapterEndpoints()
{
    return {{0x81, 3}, {0x01, 3}, {0x82, 2}, {0x02, 2}};
}

bool EmulatedUsbBus::inMockEnvironment()
{
    const char *preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

EmulatedUsbBus::EmulatedUsbBus() : d(new Impl) {}

EmulatedUsbBus::~EmulatedUsbBus() = default;

std::string EmulatedUsbBus::plug(std::shared_ptr<SimFirmware> firmware,
                                 const std::vector<UsbEndpoint> &endpoints, uint16_t vendorId,
                                 uint16_t productId)
{
    auto dev = std::make_unique<Device>();
    dev->firmware = std::move(firmware);
    dev->devnum = d->nextDevnum++;
    char node[64], path[128];
    std::snprintf(node, sizeof node, "bus/usb/001/%03d", dev->devnum);
    std::snprintf(path, sizeof path, "/devices/pci0000:00/0000:00:14.0/usb1/1-%d", dev->devnum);
    dev->devNode = std::string("/dev/") + node;
    dev->sysfsPath = std::string("/sys") + path;

    // The handler must be in place before the device appears: the "add" uevent may
    // make a hot-plug listener open it at once.
    dev->handler = umockdev_ioctl_base_new();
    g_signal_connect(dev->handler, "handle-ioctl", G_CALLBACK(onIoctl), dev.get());
    char record[2048];
    std::snprintf(record, sizeof record,
                  "P: %s\nN: %s\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DEVNAME=%s\n"
                  "E: BUSNUM=001\nE: DEVNUM=%03d\nA: idVendor=%04x\\n\nA: idProduct=%04x\\n\n"
                  "A: busnum=1\\n\nA: devnum=%d\\n\nA: speed=12\\n\nA: bConfigurationValue=1\\n\n"
                  "A: bNumConfigurations=1\\n\nH: descriptors=%s\n",
                  path, node, dev->devNode.c_str(), dev->devnum, vendorId, productId, dev->devnum,
                  descriptors(vendorId, productId, endpoints).c_str());
    g_autoptr(GError) err = nullptr;
    if (umockdev_testbed_attach_ioctl(d->testbed, dev->devNode.c_str(), dev->handler, &err)
        && umockdev_testbed_add_from_string(d->testbed, record, &err))
        return d->devices.emplace(dev->sysfsPath, std::move(dev)).first->first;
    m_error = err ? err->message : "the testbed refused the device";
    return {};
}

void EmulatedUsbBus::unplug(const std::string &sysfsPath)
{
    auto it = d->devices.find(sysfsPath);
    if (it == d->devices.end())
        return;
    it->second->firmware->setPlugged(false);
    umockdev_testbed_uevent(d->testbed, sysfsPath.c_str(), "remove");
    umockdev_testbed_remove_device(d->testbed, sysfsPath.c_str());
    // The node's listening socket goes with the node; connections still open keep the
    // handler, which lives on in `unplugged`.
    umockdev_testbed_detach_ioctl(d->testbed, it->second->devNode.c_str(), nullptr);
    d->unplugged.push_back(std::move(it->second));
    d->devices.erase(it);
}

std::string EmulatedUsbBus::nodeFile(const std::string &sysfsPath) const
{
    const auto it = d->devices.find(sysfsPath);
    if (it == d->devices.end())
        return {};
    g_autofree gchar *root = umockdev_testbed_get_root_dir(d->testbed);
    return root + it->second->devNode;
}
