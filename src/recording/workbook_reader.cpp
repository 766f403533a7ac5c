#include "recording/workbook_reader.h"

#include <algorithm>
#include <cstring>

#include <expat.h>
#include <zip.h>

#include "settings/numeric_locale.h"

namespace {

// Element names without their namespace prefix ("x:row" and "row" are the same element).
const char* LocalName(const char* name)
{
    const char* colon = std::strrchr(name, ':');
    return colon != nullptr ? colon + 1 : name;
}

const char* Attribute(const char** attributes, const char* wanted)
{
    for (size_t i = 0; attributes[i] != nullptr; i += 2) {
        if (std::strcmp(LocalName(attributes[i]), wanted) == 0)
            return attributes[i + 1];
    }
    return nullptr;
}

int IntAttribute(const char** attributes, const char* wanted, int fallback)
{
    const char* text = Attribute(attributes, wanted);
    size_t used = 0;
    const long long value = text != nullptr ? StrToLongLongC(text, &used) : 0;
    return used == 0 ? fallback : static_cast<int>(value);
}

// The SAX handler of one part: element starts and ends and the text between them.
class CXmlHandler {
public:
    virtual ~CXmlHandler() = default;
    virtual void Start(const char* name, const char** attributes) = 0;
    virtual void End(const char*) { }
    virtual void Text(const char*, int) { }
    // Set by a handler that has seen enough (or something it cannot take); parsing then stops.
    bool Stop = false;
};

void XMLCALL OnStart(void* data, const char* name, const char** attributes)
{
    auto* handler = static_cast<CXmlHandler*>(data);
    if (!handler->Stop)
        handler->Start(LocalName(name), attributes);
}
void XMLCALL OnEnd(void* data, const char* name)
{
    auto* handler = static_cast<CXmlHandler*>(data);
    if (!handler->Stop)
        handler->End(LocalName(name));
}
void XMLCALL OnText(void* data, const char* text, int length)
{
    auto* handler = static_cast<CXmlHandler*>(data);
    if (!handler->Stop)
        handler->Text(text, length);
}

// The column of a cell reference such as "AB12" (1-based); 0 when there is none.
int ColumnOf(const char* reference)
{
    int column = 0;
    for (; reference != nullptr && *reference >= 'A' && *reference <= 'Z'; ++reference)
        column = column * 26 + (*reference - 'A' + 1);
    return column;
}

// Where a relationship target lies inside the archive ("worksheets/sheet1.xml" → "xl/worksheets/sheet1.xml").
std::string PartOf(const std::string& target)
{
    return target.rfind('/', 0) == 0 ? target.substr(1) : "xl/" + target;
}

} // namespace

// Collects the rows of a sheet and hands each one on as it ends.
struct CSheetParser final : CXmlHandler {
    CSheetParser(CWorkbookReader& reader, const CWorkbookReader::RowHandler& onRow)
        : Reader(reader)
        , OnRow(onRow)
    {
    }

    void Start(const char* name, const char** attributes) override;
    void End(const char* name) override;
    void Text(const char* text, int length) override
    {
        if (InValue)
            Value.append(text, static_cast<size_t>(length));
    }
    void Refuse(const std::string& problem)
    {
        Reader.m_problem = problem;
        Stop = true;
    }

    CWorkbookReader& Reader;
    const CWorkbookReader::RowHandler& OnRow;
    std::vector<WorkbookCell> Cells;
    WorkbookCell Cell;
    std::string CellType;
    std::string Value;
    int Row = 0;
    int NextColumn = 1;
    bool InValue = false;
    bool HasValue = false;
    bool Refused = false;
};

void CSheetParser::Start(const char* name, const char** attributes)
{
    if (std::strcmp(name, "row") == 0) {
        Row = IntAttribute(attributes, "r", Row + 1);
        Cells.clear();
        NextColumn = 1;
    } else if (std::strcmp(name, "c") == 0) {
        Cell = WorkbookCell {};
        const int column = ColumnOf(Attribute(attributes, "r"));
        Cell.Column = column > 0 ? column : NextColumn;
        NextColumn = Cell.Column + 1;
        const char* type = Attribute(attributes, "t");
        CellType = type != nullptr ? type : "n";
        const auto style = static_cast<size_t>(IntAttribute(attributes, "s", 0));
        if (style < Reader.m_styles.size()) {
            if (!Reader.m_styles[style].Plain)
                return Refuse("styled cells");
            Cell.FormatIndex = Reader.m_styles[style].NumberFormat;
            const auto code = Reader.m_formatCodes.find(Cell.FormatIndex);
            if (code != Reader.m_formatCodes.end())
                Cell.FormatCode = code->second;
        }
        Value.clear();
        HasValue = false;
    } else if (std::strcmp(name, "v") == 0 || std::strcmp(name, "t") == 0) {
        InValue = true;
        HasValue = true;
    } else if (std::strcmp(name, "f") == 0) {
        Refuse("formulas");
    } else {
        static const char* const kForeign[] = { "mergeCell", "hyperlink", "conditionalFormatting", "dataValidation",
            "drawing", "legacyDrawing", "tablePart", "picture", "oleObject" };
        for (const char* foreign : kForeign) {
            if (std::strcmp(name, foreign) == 0)
                Refuse(std::string("sheet element ") + foreign);
        }
    }
}

void CSheetParser::End(const char* name)
{
    if (std::strcmp(name, "v") == 0 || std::strcmp(name, "t") == 0) {
        InValue = false;
    } else if (std::strcmp(name, "c") == 0 && HasValue) {
        if (CellType == "s") {
            const auto index = static_cast<size_t>(StrToLongLongC(Value.c_str(), nullptr));
            Cell.Text = index < Reader.m_strings.size() ? Reader.m_strings[index] : std::string();
        } else if (CellType == "str" || CellType == "inlineStr") {
            Cell.Text = Value;
        } else if (CellType == "b") {
            Cell.Type = WorkbookCell::Kind::Boolean;
            Cell.Number = Value == "1" ? 1 : 0;
        } else if (CellType == "n" && ParseDoubleC(Value, Cell.Number)) {
            Cell.Type = WorkbookCell::Kind::Number;
        } else {
            return Refuse("cells of a kind that cannot be carried over");
        }
        Cells.push_back(std::move(Cell));
    } else if (std::strcmp(name, "row") == 0 && !Cells.empty()) {
        if (!OnRow(Row, Cells)) {
            Refused = true;
            Stop = true;
        }
    }
}

namespace {

// Shared strings: the text of each <si>, its runs joined; phonetic hints are not part of the text.
struct CStringsParser final : CXmlHandler {
    explicit CStringsParser(std::vector<std::string>& strings)
        : Strings(strings)
    {
    }
    void Start(const char* name, const char**) override
    {
        if (std::strcmp(name, "si") == 0)
            Strings.emplace_back();
        else if (std::strcmp(name, "rPh") == 0)
            InPhonetic = true;
        else if (std::strcmp(name, "t") == 0)
            InText = !InPhonetic && !Strings.empty();
    }
    void End(const char* name) override
    {
        if (std::strcmp(name, "t") == 0)
            InText = false;
        else if (std::strcmp(name, "rPh") == 0)
            InPhonetic = false;
    }
    void Text(const char* text, int length) override
    {
        if (InText)
            Strings.back().append(text, static_cast<size_t>(length));
    }
    std::vector<std::string>& Strings;
    bool InText = false;
    bool InPhonetic = false;
};

// Number formats and the cell formats (cellXfs) that use them.
struct CStylesParser final : CXmlHandler {
    void Start(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "numFmt") == 0) {
            const char* code = Attribute(attributes, "formatCode");
            Codes[IntAttribute(attributes, "numFmtId", 0)] = code != nullptr ? code : "";
        } else if (std::strcmp(name, "cellXfs") == 0) {
            InCellFormats = true;
        } else if (InCellFormats && std::strcmp(name, "xf") == 0) {
            Styles.push_back({ IntAttribute(attributes, "numFmtId", 0),
                IntAttribute(attributes, "fontId", 0) == 0 && IntAttribute(attributes, "fillId", 0) == 0
                    && IntAttribute(attributes, "borderId", 0) == 0 });
        }
    }
    void End(const char* name) override
    {
        if (std::strcmp(name, "cellXfs") == 0)
            InCellFormats = false;
    }
    std::map<int, std::string> Codes;
    struct Entry {
        int NumberFormat;
        bool Plain;
    };
    std::vector<Entry> Styles;
    bool InCellFormats = false;
};

// The sheets of workbook.xml with their relationship ids, and the relationships' targets.
struct CStructureParser final : CXmlHandler {
    void Start(const char* name, const char** attributes) override
    {
        const char* id = Attribute(attributes, "id");
        if (std::strcmp(name, "sheet") == 0) {
            const char* sheetName = Attribute(attributes, "name");
            Sheets.push_back({ sheetName != nullptr ? sheetName : "", id != nullptr ? id : "" });
        } else if (std::strcmp(name, "definedName") == 0) {
            DefinedNames = true;
        } else if (std::strcmp(name, "Relationship") == 0) {
            const char* target = Attribute(attributes, "Target");
            const char* type = Attribute(attributes, "Type");
            const char* relation = Attribute(attributes, "Id");
            if (target != nullptr && type != nullptr && relation != nullptr)
                Targets[relation] = { target, type };
        }
    }
    std::vector<std::pair<std::string, std::string>> Sheets; // name, relationship id
    std::map<std::string, std::pair<std::string, std::string>> Targets; // id → target, type
    bool DefinedNames = false;
};

// The custom document properties, by name (their values are texts).
struct CPropertiesParser final : CXmlHandler {
    void Start(const char* name, const char** attributes) override
    {
        if (std::strcmp(name, "property") == 0) {
            const char* property = Attribute(attributes, "name");
            Name = property != nullptr ? property : "";
            Value.clear();
        }
    }
    void End(const char* name) override
    {
        if (std::strcmp(name, "property") == 0 && !Name.empty())
            Properties[Name] = Value;
        if (std::strcmp(name, "property") == 0)
            Name.clear();
    }
    void Text(const char* text, int length) override
    {
        if (!Name.empty())
            Value.append(text, static_cast<size_t>(length));
    }
    std::string Name;
    std::string Value;
    std::map<std::string, std::string> Properties;
};

} // namespace

CWorkbookReader::~CWorkbookReader()
{
    if (m_archive != nullptr)
        zip_discard(m_archive);
}

bool CWorkbookReader::ReadPart(const std::string& part, void* handler, bool required)
{
    zip_file_t* file = zip_fopen(m_archive, part.c_str(), 0);
    if (file == nullptr)
        return !required;
    XML_Parser parser = XML_ParserCreate(nullptr);
    auto* xml = static_cast<CXmlHandler*>(handler);
    XML_SetUserData(parser, xml);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    char buffer[64 * 1024];
    bool ok = true;
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer, sizeof buffer);
        if (n < 0 || XML_Parse(parser, buffer, static_cast<int>(std::max<zip_int64_t>(n, 0)), n == 0) != XML_STATUS_OK) {
            ok = xml->Stop; // a handler that stopped early is not a broken part
            break;
        }
        if (n == 0 || xml->Stop)
            break;
    }
    XML_ParserFree(parser);
    zip_fclose(file);
    return ok;
}

bool CWorkbookReader::Open(const std::string& path)
{
    int error = 0;
    m_archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (m_archive == nullptr || !ReadStructure())
        return false;
    ReadStrings();
    ReadStyles();
    ReadProperties();
    CheckEntries();
    if (m_problem.empty() && m_sheets.size() > 1 && Property(kOwnerProperty) != kOwnerValue)
        m_problem = "more than one sheet";
    return true;
}

bool CWorkbookReader::ReadStructure()
{
    CStructureParser structure;
    if (!ReadPart("xl/workbook.xml", &structure, true) || !ReadPart("xl/_rels/workbook.xml.rels", &structure, true))
        return false;
    for (const auto& [name, id] : structure.Sheets) {
        const auto target = structure.Targets.find(id);
        if (target == structure.Targets.end())
            return false;
        const std::string& type = target->second.second;
        if (type.size() < 10 || type.compare(type.size() - 10, 10, "/worksheet") != 0)
            m_problem = "a sheet that is no worksheet";
        m_sheets.push_back({ name, PartOf(target->second.first) });
    }
    if (structure.DefinedNames)
        m_problem = "defined names";
    return !m_sheets.empty();
}

void CWorkbookReader::ReadStrings()
{
    CStringsParser strings(m_strings);
    if (!ReadPart("xl/sharedStrings.xml", &strings, false))
        m_problem = "unreadable strings";
}

void CWorkbookReader::ReadStyles()
{
    CStylesParser styles;
    if (!ReadPart("xl/styles.xml", &styles, false))
        m_problem = "unreadable styles";
    m_formatCodes = std::move(styles.Codes);
    for (const auto& entry : styles.Styles)
        m_styles.push_back({ entry.NumberFormat, entry.Plain });
}

void CWorkbookReader::ReadProperties()
{
    CPropertiesParser properties;
    if (ReadPart("docProps/custom.xml", &properties, false))
        m_properties = std::move(properties.Properties);
}

std::string CWorkbookReader::Property(const std::string& name) const
{
    const auto found = m_properties.find(name);
    return found != m_properties.end() ? found->second : std::string();
}

// Parts that hold what a carried-over workbook would lose.
void CWorkbookReader::CheckEntries()
{
    static const char* const kForeignParts[] = { "xl/charts/", "xl/chartsheets/", "xl/drawings/", "xl/media/",
        "xl/comments", "xl/threadedComments/", "xl/pivot", "xl/tables/", "xl/externalLinks/", "xl/vbaProject",
        "xl/embeddings/", "xl/calcChain.xml" };
    const zip_int64_t entries = zip_get_num_entries(m_archive, 0);
    for (zip_int64_t i = 0; i < entries && m_problem.empty(); ++i) {
        const char* name = zip_get_name(m_archive, static_cast<zip_uint64_t>(i), 0);
        for (const char* foreign : kForeignParts) {
            if (name != nullptr && std::strncmp(name, foreign, std::strlen(foreign)) == 0)
                m_problem = std::string("the part ") + name;
        }
    }
}

bool CWorkbookReader::ReadRows(size_t sheet, const RowHandler& onRow)
{
    if (sheet >= m_sheets.size())
        return false;
    CSheetParser parser(*this, onRow);
    return ReadPart(m_sheets[sheet].Part, &parser, true) && !parser.Stop;
}
