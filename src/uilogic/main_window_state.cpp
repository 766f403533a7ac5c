#include "uilogic/main_window_state.h"

MainWindowEnables EnablesFor(MainWindowState state, const MainWindowFacts& facts)
{
    MainWindowEnables enables;
    const bool idle = state == MainWindowState::Idle;
    enables.Options = idle;
    enables.Start = idle;
    enables.Stop = true;
    enables.Menu.fill(idle);
    if (!idle) {
        // Busy: Capture serves the Capture-button method only; a self-check locks Capture and Stop.
        enables.Capture = facts.Method == 0;
        enables.FocusCapture = enables.Capture;
        if (state == MainWindowState::SelfCheck || state == MainWindowState::NoModel) {
            enables.Capture = false;
            enables.FocusCapture = false;
            enables.Stop = false;
        }
    }
    if (state == MainWindowState::NoModel) {
        enables.Menu[kMenuModelSet] = true;
        enables.Menu[kMenuHelp] = true;
    }
    enables.ManualChannel = !facts.WorkerExists && facts.MuxOn && !facts.MuxScan;
    return enables;
}
