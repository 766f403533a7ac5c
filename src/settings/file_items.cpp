#include "settings/file_items.h"

#include <algorithm>
#include <cstdint>

#include "settings/file_item_table.h"
#include "settings/model_info.h"
#include "settings/numeric_locale.h"

int32_t FileVersion = kCurrentFileVersion;
bool TermAdjusted = false;

namespace {

using namespace file_items;

bool IsAtcKey(const std::string& key)
{
    return key.rfind("MUX_ATC_", 0) == 0;
}

// Text that is no number reads as 0; numbers beyond 32 bits saturate rather than wrap, so an
// overlong index or channel number can never wrap round into a valid one.
int32_t LenientInt(const std::string& text)
{
    const long long value = StrToLongLongC(text);
    return static_cast<int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

std::string FormatField(Kind kind, const FieldRef& ref)
{
    switch (kind) {
    case Kind::Flag:
        return *std::get<int32_t*>(ref) != 0 ? "1" : "0";
    case Kind::Int:
        return FormatC("%d", *std::get<int32_t*>(ref));
    case Kind::Int16:
        return FormatC("%d", static_cast<int>(*std::get<int16_t*>(ref)));
    case Kind::Int64:
        return FormatC("%lld", static_cast<long long>(*std::get<int64_t*>(ref)));
    case Kind::DoubleF:
        return FormatC("%f", *std::get<double*>(ref));
    case Kind::DoubleE:
        return FormatC("%e", *std::get<double*>(ref));
    case Kind::Text10:
    case Kind::Text3:
        return *std::get<std::string*>(ref);
    case Kind::FileVer:
        return FormatC("%d", kCurrentFileVersion);
    }
    return {};
}

// Stores one token; false only for a text longer than its field allows.
bool StoreField(Kind kind, const FieldRef& ref, const std::string& token)
{
    switch (kind) {
    case Kind::Flag:
    case Kind::Int:
    case Kind::FileVer:
        *std::get<int32_t*>(ref) = LenientInt(token);
        return true;
    case Kind::Int16:
        *std::get<int16_t*>(ref) = static_cast<int16_t>(LenientInt(token));
        return true;
    case Kind::Int64:
        *std::get<int64_t*>(ref) = StrToLongLongC(token);
        return true;
    case Kind::DoubleF:
    case Kind::DoubleE:
        *std::get<double*>(ref) = StrToDoubleC(token);
        return true;
    case Kind::Text10:
    case Kind::Text3:
        if (token.size() > (kind == Kind::Text10 ? kMaxChannelName : kMaxUnitText))
            return false;
        *std::get<std::string*>(ref) = token;
        return true;
    }
    return false;
}

// One row of the table as an item.
class CFileItem final : public CFileWR {
public:
    CFileItem(const ItemRow& row, IUserPrompt* prompt)
        : m_row(row)
        , m_prompt(prompt)
    {
    }

    std::string Write(int table, int channel) override
    {
        std::string text;
        const int lines = m_row.IndexRule == Index::None ? 1 : m_row.WriteCount(m_data->ModelCode);
        for (int element = 0; element < lines; ++element) {
            text += m_row.Key;
            if (m_row.Channel)
                text += FormatC(",%d,%d", table, channel);
            if (m_row.IndexRule != Index::None)
                text += FormatC(",%d", element);
            const Refs refs = m_row.Bind({ *m_data, table, channel, element });
            for (size_t i = 0; i < refs.size(); ++i)
                text += "," + FormatField(m_row.Kinds[i], refs[i]);
            text += "\n";
        }
        if (m_row.Kinds.front() == Kind::FileVer)
            FileVersion = kCurrentFileVersion;
        return text;
    }

    bool Read(const std::string& value) override
    {
        const size_t leading = (m_row.Channel ? 2 : 0) + (m_row.IndexRule != Index::None ? 1 : 0);
        if (!Split(value, leading + m_row.Kinds.size()))
            return false;
        size_t next = 0;
        int table = 0;
        int channel = 0;
        if (m_row.Channel) {
            table = LenientInt(m_tokens[next++]) != 0 ? 1 : 0;
            channel = LenientInt(m_tokens[next++]);
            if (channel < 0 || channel >= kMuxChannels)
                return false;
        }
        int element = 0;
        if (m_row.IndexRule != Index::None) {
            element = LenientInt(m_tokens[next++]);
            if (element < 0 || element >= m_row.IndexLimit(m_data->ModelCode))
                return m_row.IndexRule == Index::IgnoreOutside;
        }
        const Refs refs = m_row.Bind({ *m_data, table, channel, element });
        for (size_t i = 0; i < refs.size(); ++i) {
            if (!StoreField(m_row.Kinds[i], refs[i], m_tokens[next + i]))
                return false;
        }
        AfterRead(table, channel);
        return true;
    }

private:
    void AfterRead(int table, int channel)
    {
        if (m_row.Kinds.front() == Kind::FileVer) {
            TermAdjusted = false;
            if (FileVersion == 0 && m_prompt != nullptr)
                m_prompt->ShowMessage(kOldVersionNotice);
            return;
        }
        if (std::string(m_row.Key) != "MUX_PIN" || FileVersion != 0)
            return;
        // Old files may hold terminal numbers beyond the unit: pull them into range.
        const int terminals = table == 1 ? kTerminals2Wire : kTerminals4Wire;
        MuxPinSet& pin = m_data->Pins(table)[static_cast<size_t>(channel)];
        for (int32_t* terminal : { &pin.TermA, &pin.TermB }) {
            const int32_t pulled = std::clamp(*terminal, 1, terminals);
            if (pulled != *terminal) {
                *terminal = pulled;
                TermAdjusted = true;
            }
        }
    }

    const ItemRow& m_row;
    IUserPrompt* m_prompt;
};

const ItemRow* FindRow(const std::string& key)
{
    for (const auto* rows : { &GeneralRows(), &ChannelRows() }) {
        for (const ItemRow& row : *rows) {
            if (key == row.Key)
                return &row;
        }
    }
    return nullptr;
}

} // namespace

bool CFileWR::Split(const std::string& value, size_t expected)
{
    size_t start = 0;
    size_t comma = 0;
    while (start < value.size() && (comma = value.find(',', start)) != std::string::npos) {
        m_tokens.push_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    m_tokens.push_back(value.substr(std::min(start, value.size())));
    return m_tokens.size() == expected;
}

std::unique_ptr<CFileWR> CreateFileItem(const std::string& key, int32_t modelCode, IUserPrompt* prompt)
{
    if (IsAtcKey(key) && modelCode != kModelVx6208)
        return nullptr;
    const ItemRow* row = FindRow(key);
    if (row == nullptr)
        return nullptr;
    return std::make_unique<CFileItem>(*row, prompt);
}

const std::vector<std::string>& GeneralFileKeys()
{
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> list;
        for (const ItemRow& row : GeneralRows())
            list.emplace_back(row.Key);
        return list;
    }();
    return keys;
}

const std::vector<std::string>& ChannelFileKeys(bool withAtc)
{
    static const auto make = [](bool atc) {
        std::vector<std::string> list;
        for (const ItemRow& row : ChannelRows()) {
            if (atc || !IsAtcKey(row.Key))
                list.emplace_back(row.Key);
        }
        return list;
    };
    static const std::vector<std::string> withKeys = make(true);
    static const std::vector<std::string> withoutKeys = make(false);
    return withAtc ? withKeys : withoutKeys;
}

std::string FileItemClassName(const std::string& key)
{
    const ItemRow* row = FindRow(key);
    return row != nullptr ? row->ClassName : "";
}
