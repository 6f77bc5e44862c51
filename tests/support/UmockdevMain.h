#pragma once

#include "usb/EmulatedUsbBus.h"

#include <QApplication>
#include <QTest>

// main() of a test that runs real libusb against an emulated adapter: it refuses to run
// outside umockdev's wrapper, which tests/usb/umockdev-run.sh starts with a short TMPDIR.
#define BRANTEL_UMOCKDEV_MAIN(TestObject)                                                  \
    int main(int argc, char **argv)                                                        \
    {                                                                                      \
        if (!EmulatedUsbBus::inMockEnvironment())                                          \
            qFatal("run me through tests/usb/umockdev-run.sh");                            \
        QApplication app(argc, argv);                                                      \
        TestObject test;                                                                   \
        return QTest::qExec(&test, argc, argv);                                            \
    }
