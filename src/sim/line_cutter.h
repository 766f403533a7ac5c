#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Longest line kept; the rest of a longer line is dropped and the line is not executed.
constexpr size_t kMaxLineBytes = 16384;

// Cuts a client's bytes into command lines as the instrument does: CR, LF and CR LF each end one.
class CLineCutter {
public:
    // whole is false for a line that was longer than kMaxLineBytes (its start only).
    using LineHandler = std::function<void(const std::string& line, bool whole)>;

    // Calls onLine for every line the bytes complete; stop() true ends the cutting early.
    void Feed(std::string_view bytes, const LineHandler& onLine, const std::function<bool()>& stop);

private:
    std::string m_line;
    bool m_lastWasCr = false;
    bool m_overflow = false;
};
