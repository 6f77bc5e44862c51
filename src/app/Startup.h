#pragma once

class QApplication;

// Answers --help and --version before any window system is needed, so they work on a
// terminal without a display; those end the process here.
void answerInformationOptions(int &argc, char *argv[]);

// With the application object in place (it has taken its own options such as -platform):
// refuses unknown options, registers the compiled-in resources and the device backends,
// and selects the simulated adapter when --simulate is given.
void prepareApplication(QApplication &app);
