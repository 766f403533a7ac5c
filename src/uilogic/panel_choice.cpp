#include "uilogic/panel_choice.h"

std::vector<std::string> PanelNumberTexts(bool muxPanels)
{
    std::vector<std::string> texts;
    const int count = muxPanels ? kMuxPanels : kFrontPanels;
    for (int index = 0; index < count; ++index)
        texts.push_back(std::to_string(PanelNumber(index, muxPanels)));
    return texts;
}

size_t PanelEntry(int index, bool muxPanels)
{
    return static_cast<size_t>(PanelNumber(index, muxPanels) - 1);
}

int InitialPanelIndex(const PanelNames& panels, bool muxPanels)
{
    const int count = muxPanels ? kMuxPanels : kFrontPanels;
    for (int index = 0; index < count; ++index) {
        if (panels.Used[PanelEntry(index, muxPanels)] == 0)
            return index;
    }
    return 0;
}

const char* PanelStateText(const PanelNames& panels, int index, bool muxPanels)
{
    return panels.Used[PanelEntry(index, muxPanels)] != 0 ? kPanelSaved : kPanelFree;
}
