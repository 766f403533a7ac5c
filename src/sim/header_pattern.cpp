#include "sim/header_pattern.h"

#include <cctype>

namespace {

std::string ShortForm(std::string_view word)
{
    std::string result;
    for (const char c : word) {
        if (std::islower(static_cast<unsigned char>(c)) == 0)
            result += c;
    }
    return result;
}

std::vector<std::string> SplitNodes(std::string_view text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t colon = text.find(':', start);
        const size_t end = colon == std::string_view::npos ? text.size() : colon;
        parts.emplace_back(text.substr(start, end - start));
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    return parts;
}

} // namespace

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool MatchesWord(std::string_view pattern, std::string_view word)
{
    const std::string upper = UpperCase(word);
    return upper == UpperCase(pattern) || upper == ShortForm(pattern);
}

CHeaderPattern::CHeaderPattern(std::string_view pattern)
{
    if (!pattern.empty() && pattern.front() == ':')
        pattern.remove_prefix(1);
    // "[SENSe:]RESistance" gives the optional node SENSe, then RESistance.
    std::string word;
    bool inBracket = false;
    bool wordOptional = false;
    const auto finishWord = [&]() {
        if (word.empty())
            return;
        SNode node { UpperCase(word), ShortForm(word), wordOptional };
        if (!node.Optional)
            m_replyHeader += (node.Short.front() == '*' ? "" : ":") + node.Short;
        m_nodes.push_back(std::move(node));
        word.clear();
    };
    for (const char c : pattern) {
        if (c == '[') {
            inBracket = true;
        } else if (c == ']') {
            inBracket = false;
        } else if (c == ':') {
            finishWord();
        } else {
            if (word.empty())
                wordOptional = inBracket;
            word += c;
        }
    }
    finishWord();
}

bool CHeaderPattern::Matches(std::string_view header) const
{
    if (!header.empty() && header.front() == ':')
        header.remove_prefix(1);
    if (header.empty())
        return false;
    std::vector<std::string> parts = SplitNodes(header);
    for (std::string& part : parts)
        part = UpperCase(part);
    return MatchFrom(0, parts, 0);
}

bool CHeaderPattern::MatchFrom(size_t node, const std::vector<std::string>& parts, size_t part) const
{
    if (node == m_nodes.size())
        return part == parts.size();
    const SNode& current = m_nodes[node];
    if (current.Optional && MatchFrom(node + 1, parts, part))
        return true;
    if (part == parts.size())
        return false;
    const std::string& word = parts[part];
    if (word != current.Long && word != current.Short)
        return false;
    return MatchFrom(node + 1, parts, part + 1);
}
