#include "sim/setting_table.h"

#include <string_view>

#include "settings/numeric_locale.h"

CSettingStore::CSettingStore()
{
    for (const SimSettingDef& def : SettingTable()) {
        m_patterns.emplace_back(def.Pattern);
        Values defaults;
        for (const SimFieldDef& field : def.Fields)
            defaults.emplace_back(field.Default);
        m_defaults.push_back(std::move(defaults));
    }
    m_values.resize(SettingTable().size());
}

void CSettingStore::Reset()
{
    for (auto& values : m_values)
        values.clear();
}

int CSettingStore::Find(const std::string& header, const SimModel& model) const
{
    const auto& table = SettingTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (m_patterns[i].Matches(header) && IsAvailable(table[i].Availability, model))
            return static_cast<int>(i);
    }
    return -1;
}

ESimError CSettingStore::ParseKey(const SimSettingDef& def, const std::string& text, int& key) const
{
    if (!def.KeyNames.empty()) {
        for (size_t i = 0; i < def.KeyNames.size(); ++i) {
            if (MatchesWord(def.KeyNames[i], text)) {
                key = static_cast<int>(i);
                return ESimError::None;
            }
        }
        return ESimError::IllegalParameterValue;
    }
    int32_t number = 0;
    if (!ParseInt32C(text, number))
        return ESimError::IllegalParameterValue;
    if (number < def.KeyMin || number > def.KeyMax)
        return ESimError::DataOutOfRange;
    key = number;
    return ESimError::None;
}

const CSettingStore::Values& CSettingStore::ValuesOf(int index, int key) const
{
    const auto& perKey = m_values[static_cast<size_t>(index)];
    const auto found = perKey.find(key);
    return found != perKey.end() ? found->second : m_defaults[static_cast<size_t>(index)];
}

ESimError CSettingStore::Set(int index, const SimCommand& command)
{
    const SimSettingDef& def = SettingTable()[static_cast<size_t>(index)];
    const size_t keyCount = def.HasKey() ? 1 : 0;
    if (const ESimError error = ArgumentCountError(command, keyCount + def.Fields.size()); error != ESimError::None)
        return error;
    int key = 0;
    if (keyCount == 1) {
        if (const ESimError error = ParseKey(def, command.Arguments[0], key); error != ESimError::None)
            return error;
    }
    Values values;
    for (size_t i = 0; i < def.Fields.size(); ++i) {
        std::string text;
        if (const ESimError error = NormaliseField(def.Fields[i], command.Arguments[keyCount + i], text);
            error != ESimError::None)
            return error;
        values.push_back(std::move(text));
    }
    m_values[static_cast<size_t>(index)][key] = std::move(values);
    return ESimError::None;
}

ESimError CSettingStore::Query(int index, const SimCommand& command, std::string& answer) const
{
    const SimSettingDef& def = SettingTable()[static_cast<size_t>(index)];
    int key = 0;
    if (const ESimError error = ArgumentCountError(command, def.HasKey() ? 1 : 0); error != ESimError::None)
        return error;
    if (def.HasKey()) {
        if (const ESimError error = ParseKey(def, command.Arguments[0], key); error != ESimError::None)
            return error;
    }
    answer.clear();
    if (def.EchoKey)
        answer = def.KeyNames.empty() ? FormatC("%d", key) : std::string(def.KeyNames[static_cast<size_t>(key)]);
    for (const std::string& value : ValuesOf(index, key))
        answer += (answer.empty() && !def.EchoKey ? "" : ",") + value;
    return ESimError::None;
}

int CSettingStore::IndexOf(const char* pattern) const
{
    const auto& table = SettingTable();
    for (size_t i = 0; i < table.size(); ++i) {
        if (std::string_view(table[i].Pattern) == pattern)
            return static_cast<int>(i);
    }
    return -1;
}

std::string CSettingStore::Field(const char* pattern, int key, size_t field) const
{
    const int index = IndexOf(pattern);
    if (index < 0)
        return {};
    const Values& values = ValuesOf(index, key);
    return field < values.size() ? values[field] : std::string();
}

bool CSettingStore::Flag(const char* pattern, int key) const
{
    return Field(pattern, key) == "ON";
}

double CSettingStore::Real(const char* pattern, int key, size_t field) const
{
    return StrToDoubleC(Field(pattern, key, field));
}

int64_t CSettingStore::Integer(const char* pattern, int key, size_t field) const
{
    return StrToLongLongC(Field(pattern, key, field));
}

int CSettingStore::ChoiceIndex(const char* pattern, int key) const
{
    const int index = IndexOf(pattern);
    if (index < 0)
        return -1;
    const std::string value = Field(pattern, key);
    const auto& choices = SettingTable()[static_cast<size_t>(index)].Fields[0].Choices;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (UpperCase(choices[i]) == value)
            return static_cast<int>(i);
    }
    return -1;
}

void CSettingStore::SetField(const char* pattern, const std::string& answerText, int key, size_t field)
{
    const int index = IndexOf(pattern);
    if (index < 0)
        return;
    Values values = ValuesOf(index, key);
    if (field < values.size())
        values[field] = answerText;
    m_values[static_cast<size_t>(index)][key] = std::move(values);
}
