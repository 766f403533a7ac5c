#pragma once

#include "acquisition/process_data.h"

// The one instance of the application: refuses a second one (unless Shift is held), holds the
// application's measurement conditions and runs the main window modally.
class CVxSampleApp {
public:
    // Runs the application; the process's exit status.
    int Run(int argc, char** argv);

    CProcessData Process;
};
