#pragma once

#include <string>
#include <string_view>
#include <vector>

// A command header in the instrument's notation: nodes separated by colons, each written in mixed
// case where the upper-case letters form the short form, so "SYSTem" accepts SYST and SYSTEM in any
// letter case. A node in square brackets may be left out ("[SENSe:]RESistance:RANGe").
class CHeaderPattern {
public:
    explicit CHeaderPattern(std::string_view pattern);

    // The header as sent, without its question mark; a leading colon is allowed.
    [[nodiscard]] bool Matches(std::string_view header) const;
    // The short form with a leading colon (":SYST:PAN:NAME"), as the instrument writes headers.
    const std::string& ReplyHeader() const { return m_replyHeader; }

private:
    struct SNode {
        std::string Long;
        std::string Short;
        bool Optional = false;
    };

    [[nodiscard]] bool MatchFrom(size_t node, const std::vector<std::string>& parts, size_t part) const;

    std::vector<SNode> m_nodes;
    std::string m_replyHeader;
};

// One word in the same notation ("IMMediate" accepts IMM and immediate).
[[nodiscard]] bool MatchesWord(std::string_view pattern, std::string_view word);
[[nodiscard]] std::string UpperCase(std::string_view text);
