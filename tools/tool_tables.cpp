// Record types of the tool tables, built in code: the class fields of each class, the common part
// of every tool record, the drill cycle and the cutting conditions; and the tables' creation on
// first use, with SYT2 saved whenever an id changes.
#include "tools/tool_tables.hpp"
#include "tools/current_tool.hpp"
#include "tools/data_dictionary.hpp"
#include "tools/data_file_path.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"

#include <vector>

namespace {

constexpr int kIntLimit = 2147483647;
constexpr float kRealLimit = 1.0e38f;
constexpr float kRound = 6.0f;
constexpr int kMaxRecordFields = 30;

// A field of the type with all limits and defaults zero; the three kinds below complete it:
// integers and reals open to their whole range, texts of 20 characters.
dd_field_input typed_field(const char* name, char type)
{
    dd_field_input f;
    f.name = name;
    f.type = type;
    return f;
}

dd_field_input int_field(const char* name, int def)
{
    dd_field_input f = typed_field(name, 'I');
    f.int_min = -kIntLimit;
    f.int_max = kIntLimit;
    f.int_def = def;
    return f;
}

dd_field_input real_field(const char* name, float def)
{
    dd_field_input f = typed_field(name, 'R');
    f.real_min = -kRealLimit;
    f.real_max = kRealLimit;
    f.real_def = def;
    f.round = kRound;
    return f;
}

dd_field_input text_field(const char* name)
{
    dd_field_input f = typed_field(name, 'S');
    f.text_length = kToolText;
    f.text_def = std::string(kToolText, ' ');
    return f;
}

std::vector<dd_field_input> class_fields(int c)
{
    auto I = int_field;
    auto R = real_field;
    switch (c) {
    case kDrill:
    case kLatheDrill:
        return {R("DIAMTR", 10), R("TIPANG", 118), R("CLRLNG", 30), R("CUTLNG", 15), R("GUGLNG", 100), R("LIFLNG", 10)};
    case kMill:
        return {I("DIMCMP", 1),  I("LENCMP", 1),  I("FIXCMP", 1),   R("DIAMTR", 10), R("CRNRRD", 0),
                R("CLRLNG", 30), R("CUTLNG", 15), R("GUGLNG", 100), I("NOTETH", 2),  R("LIFLNG", 10)};
    case kLathe:
        return {R("EDGRAD", 1), R("FACANG", 85), R("TANGLE", 30), I("QRTNUM", 1),
                R("TWIDTH", 8), R("HLENTH", 50), R("HWIDTH", 10), R("LIFLNG", 10)};
    case kPunch:
        return {I("TSHAPE", 3), R("LENGTH", 10), R("DIAMTR", 10),   R("TWIDTH", 10),
                R("TANGLE", 0), R("OVRLAP", 1),  R("SCALOP", 0.1f), R("LIFLNG", 10)};
    case kAgie:
        return {I("GNRTOR", 1), I("SFLUSH", 1), I("OFFSET", 1), I("PANGLE", 1), I("REGSTR", 1), R("LIFLNG", 10)};
    case kCharmille:
        return {I("GCODE1", 0), I("GCODE2", 0),      I("GCODE3", 0), I("GCODE4", 0), I("GCODE5", 0),
                R("CREGST", 0), R("KREGST", 0.001f), R("XREGST", 0), R("YREGST", 0), R("RREGST", 0.001f),
                R("AREGST", 0), I("OFFSET", 0),      R("LIFLNG", 10)};
    case kMakino: return {I("CUTCND", 0), I("OFFSET", 0), I("REGSTR", 1), R("LIFLNG", 10)};
    case kThread:
        return {I("TRDTYP", 5),    R("HLENTH", 50), R("HWIDTH", 10), R("TANGLE", 55), R("TLBASE", 0.5f),
                R("TLRADS", 0.5f), R("TAXANG", 90), R("CUTLNG", 10), R("CUTWTH", 10), R("LIFLNG", 10)};
    case kGroove:
        return {R("HLENTH", 50), R("HWIDTH", 10),   R("LEDANG", 0),  R("CUTLNG", 10),
                R("CUTWTH", 10), R("CRNRRD", 0.5f), R("TAXANG", 90), R("LIFLNG", 10)};
    default: return {};
    }
}

void append_common(int c, std::vector<dd_field_input>& fields)
{
    fields.push_back(int_field("IDTOOL", -1));
    fields.push_back(int_field("ISLIBR", -1));
    fields.push_back(int_field("MSTRID", -1));
    fields.push_back(int_field("DMSRID", -1));
    fields.push_back(is_wire_class(c) ? int_field("DUMHLD", -1) : int_field("HOLDER", 1));
    fields.push_back(int_field("TLVERS", -1));
    for (const char* name : {"TLNAME", "TMTRAL", "PMTRAL", "TOLTXT"}) fields.push_back(text_field(name));
    fields.push_back(real_field("SPARE1", 0));
    fields.push_back(real_field("SPARE2", 0));
}

std::vector<dd_field_input> cycle_fields()
{
    auto I = int_field;
    auto R = real_field;
    std::vector<dd_field_input> f = {
        I("DRTYPE", 1),   I("PEKSPC", 1),    I("DWLSPC", 1),  I("SFTSPC", 1),  I("CLTSPC", 1),  I("CCOLNT", 1),
        R("CCLEAR", 1),   R("PEKSTP", 5),    R("PEKRDC", 2),  R("CDWELL", 50), R("CSHFTI", 1),  R("CSHFTJ", 1),
        R("CYFEED", 500), I("CYSPIN", 1000), I("IDCYCL", -1), I("IDCYTL", -1), I("ISCLIB", -1), I("CYVERS", -1)};
    for (const char* name : {"CYNAME", "CYLTXT", "PCMTRL"}) f.push_back(text_field(name));
    f.push_back(R("SPARE1", 0));
    f.push_back(R("SPARE2", 0));
    return f;
}

std::vector<dd_field_input> condition_fields()
{
    return {int_field("CRSPIN", 1000), real_field("CRFEED", 350), real_field("CRVLOC", 30), real_field("CRDSTP", 10),
            real_field("CRSSTP", 1)};
}

void save_syt2()
{
    int status = 0;
    mdputn("SYT2", 1, kSyt2Words, tool_table_ids().syt2.data(), status);
}

}  // namespace

void STDTYP(int tool_class, int condition_flag, int& table_id, int& status)
{
    table_id = -1;
    status = kToolNotRead;
    std::vector<dd_field_input> fields;
    std::string name;
    if (condition_flag == 1) {
        fields = condition_fields();
        name = record_type_name(kTechTypeIndex);
    } else if (tool_class == kCycle) {
        fields = cycle_fields();
        name = record_type_name(kCycle);
    } else if (tool_class >= 1 && tool_class <= kToolClasses) {
        fields = class_fields(tool_class);
        append_common(tool_class, fields);
        name = record_type_name(tool_class);
    }
    int defined = -1;
    if (!fields.empty() && fields.size() <= static_cast<std::size_t>(kMaxRecordFields))
        dd_type_define(name, fields, defined);
    int found = -1, id = -1;
    if (defined == 0) dd_type_find(name, id, found);
    if (defined == 0 && found == 0 && id > 0) {
        table_id = id;
        status = 0;
        return;
    }
    if (condition_flag == 1)
        eroutc("STDTYP, CANNOT CREATE TECH RECORD TABLE", 0);
    else if (tool_class == kCycle)
        eroutc("STDTYP, CANNOT CREATE CYCLE RECORD TABLE", 0);
    else
        eroutc("STDTYP, CANNOT CREATE " + dd_trimmed(tool_class_name(tool_class)) + " TOOL RECORD TABLE", 0);
}

void tool_tables_ensure(int tool_class, int& status)
{
    status = kToolNotRead;
    if (!((tool_class >= 1 && tool_class <= kToolClasses) || tool_class == kCycle)) return;
    tool_tables& t = tool_table_ids();
    bool changed = false, had_tools = false;
    int& table = t.table_of(tool_class);
    if (table >= 1) {
        int records = 0, in_use = 0;
        tool_record_count(table, records, in_use, status);
        if (status != 0) return;
        had_tools = in_use > 0;
    } else {
        int id = -1;
        STDTYP(tool_class, 0, id, status);
        if (status != 0 || id < 1) {
            status = kToolNotRead;
            return;
        }
        table = id;
        changed = true;
    }
    if (t.conditions_of(tool_class) > 0 && t.table_of(kTechTypeIndex) < 1) {
        int id = -1, tech = 0;
        STDTYP(tool_class, 1, id, tech);
        if (tech == 0 && id > 0) {
            t.table_of(kTechTypeIndex) = id;
            changed = true;
        }
    }
    bool user_found = false;
    int user_index = tool_class == kCycle ? kCycleUserTypeIndex : tool_class + kUserTypeOffset;
    if (t.table_of(user_index) < 1) {
        int ready = 0;
        DDINI1(ready);
        if (ready != 0) return;
        // The user definitions file is optional: without it the class works without user fields.
        std::string padded = "USER.DEF";
        padded.resize(32, ' ');
        std::array<word, 8> name_words{};
        for (std::size_t i = 0; i < name_words.size(); ++i)
            name_words[i] = text4_to_word(std::string_view(padded).substr(4 * i, 4));
        int length = 0, found = -1, id = -1;
        std::string path;
        data_file_path_words(kDataFileFind, name_words.data(), length, path, found);
        if (found != 0) {
            if (changed) save_syt2();
            status = 0;
            return;
        }
        dd_type_get(4, record_type_name(user_index), path, id, found);
        if (found == 0 && id > 0) {
            t.table_of(user_index) = id;
            changed = user_found = true;
        }
    }
    if (changed) save_syt2();
    status = user_found && had_tools ? 1 : 0;
}
