#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The model choice of "Model Setting", in the order of its list. VX6207-03 is not offered.
inline constexpr std::array<int32_t, 7> kModelChoices = { 0, 8, 9, 10, 144, 160, 2048 };

// "Model Setting": the list index shown for a model, and the model the dialog returns.
class CModelSetLogic {
public:
    explicit CModelSetLogic(int32_t openedWith);
    // The entry shown selected: the model's own, else "Unset".
    int SelectedIndex() const { return m_index; }
    void Select(int index);
    // The model returned by OK: the chosen entry's, or the model the dialog was opened with when
    // the operator chose nothing (a model that is not in the list is kept, not turned into Unset).
    int32_t Accept() const;

private:
    int32_t m_openedWith;
    int m_index = 0;
    bool m_chosen = false;
};

inline constexpr std::array<uint32_t, 4> kBaudRates = { 9600, 19200, 38400, 115200 };
inline constexpr std::array<const char*, 2> kDecimalItems = { "Period ( . )", "Comma ( , )" };
inline constexpr std::array<const char*, 4> kSeparatorItems = { "Comma ( , )", "Semicolon ( ; )", "Tab", "Space" };

// Index of a baud rate in kBaudRates, the first one when it is not there.
[[nodiscard]] int BaudIndexOf(uint32_t baud);
// Index of a port name in a list of names, the first one (0) when it is not there, -1 when empty.
[[nodiscard]] int PortIndexOf(const std::vector<std::string>& names, const std::string& name);

// The external-trigger filter time, an integer from 0 to 1000; on failure the message to show.
[[nodiscard]] bool CheckFilterTime(const std::string& text, int32_t& value, std::string& message);
