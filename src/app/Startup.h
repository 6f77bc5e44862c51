#pragma once

class QApplication;

// Names the application, handles --help, --version and --simulate, registers the device
// backends (the simulated adapter when asked for) and the compiled-in resources.
void prepareApplication(QApplication &app);
