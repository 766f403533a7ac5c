#pragma once

#include <array>
#include <cstdint>

// What the main window is doing, as far as its controls care.
enum class MainWindowState { NoModel, Idle, Measuring, SelfCheck };

// The six menu-bar commands, in menu order.
enum MainMenuCommand : int {
    kMenuModelSet,
    kMenuCaptureSet,
    kMenuCommunicationSet,
    kMenuMeasurementSet,
    kMenuSelfCheck,
    kMenuHelp,
    kMenuCommandCount
};

inline constexpr std::array<const char*, kMenuCommandCount> kMenuCaptions
    = { "Model Set.", "Capture Set.", "Communication Set.", "Measurement Set.", "Self-check", "Help" };

// Which controls and menu commands are usable.
struct MainWindowEnables {
    bool Options = false; // 1011, 1005, 1013, 1012, 1014, 1015, 1016, 1018, 1019
    bool Start = false;
    bool Capture = false;
    bool FocusCapture = false;
    bool Stop = false;
    bool ManualChannel = false; // 1020
    std::array<bool, kMenuCommandCount> Menu {};

    bool operator==(const MainWindowEnables&) const = default;
};

// What the enable rules look at besides the state.
struct MainWindowFacts {
    int32_t Method = 0; // 0 Capture button or Enter, 1 external trigger, 2 at intervals
    bool WorkerExists = false;
    bool MuxOn = false;
    bool MuxScan = false;
};

// The enable table of the main window: idle, busy (measuring or self-check, which also locks
// Capture and Stop) and the state without a model, where only "Model Set." and "Help" work.
[[nodiscard]] MainWindowEnables EnablesFor(MainWindowState state, const MainWindowFacts& facts);

// The state a model code puts the window in when no acquisition runs.
[[nodiscard]] inline MainWindowState StateForModel(int32_t modelCode)
{
    return modelCode == 0 ? MainWindowState::NoModel : MainWindowState::Idle;
}
