#pragma once

#include "usb/EmulatedUsbBus.h"

#include <QApplication>
#include <QTest>

// main() of a test that runs real libusb against an emulated adapter: the program starts
// itself again under umockdev's wrapper, and refuses to run outside it.
#define BRANTEL_UMOCKDEV_MAIN(TestObject)                                                  \
    int main(int argc, char **argv)                                                        \
    {                                                                                      \
        EmulatedUsbBus::reexecUnderWrapper(argc, argv);                                    \
        if (!EmulatedUsbBus::inMockEnvironment())                                          \
            return 1;                                                                      \
        QApplication app(argc, argv);                                                      \
        TestObject test;                                                                   \
        return QTest::qExec(&test, argc, argv);                                            \
    }
