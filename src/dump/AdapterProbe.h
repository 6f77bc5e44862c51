#pragma once
// Why the adapter cannot be opened, for the command-line tool's one-line errors: the
// link itself only says that opening failed.

enum class AdapterAccess {
    Available,     // found, opened and its interface claimed (and released again)
    NotFound,      // no USB 0471:1200 device on the bus
    AccessRefused, // the device node is not ours to open: the udev rule is missing
    InUse,         // another program holds the interface
    Unknown,       // no libusb here, or some other failure
};

// Looks at the real bus (libusb); leaves the device as it found it.
AdapterAccess probeAdapter();
