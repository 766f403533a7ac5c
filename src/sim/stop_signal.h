#pragma once

// How vx6207-sim waits to be stopped (Ctrl-C, or the signal of a harness), one source file per
// platform. BlockStopSignals comes first in main, before any thread starts.
void BlockStopSignals();
void WaitForStopSignal();
