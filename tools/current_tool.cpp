// The current-tool block and its companions, the record-type and class name tables, SGTOOL
// (make a tool current) and tool_tables_init (the reset at the start of every procedure run).
#include "tools/current_tool.hpp"
#include "tools/module_block.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

#include <array>

namespace {

constexpr int kReadMode = 3;
constexpr int kHolderRead = 1;
constexpr int kCannotPutAside = 2, kPutAside = 1;

constexpr std::array<const char*, kToolTypeIndices> kRecordTypeNames = {
    "$TLDRIL", "$TLMILL", "$TLLATH", "$TLPUNC", "$TLAGIE", "$TLCHRM", "$TLMKNO", "$TLLDRL",
    "$TLTHRD", "$TLGRVE", "",        "",        "",        "",        "$CYCLES", "$UTDRIL",
    "$UTMILL", "$UTLATH", "$UTPUNC", "$UTAGIE", "$UTCHRM", "$UTMKNO", "$UTLDRL", "$UTTHRD",
    "$UTGRVE", "",        "",        "",        "",        "$UCYCLE", "$TLTECH"};

constexpr std::array<const char*, 15> kClassNames = {"DRILL      ",
                                                     "MILL       ",
                                                     "LATHE      ",
                                                     "PUNCH      ",
                                                     "AGIE       ",
                                                     "CHARMILLE  ",
                                                     "MAKINO     ",
                                                     "LATHE-DRILL",
                                                     "THREAD     ",
                                                     "GROOVE     ",
                                                     "",
                                                     "",
                                                     "",
                                                     "",
                                                     "CYCLE      "};

// Cutting conditions per class 1..10 and of the cycle (15), fixed at every reset.
constexpr std::array<int, kToolClasses> kConditionCounts = {1, 4, 1, 0, 0, 0, 0, 1, 1, 1};
constexpr int kCycleConditions = 0;

void report_sgtool() { eroutc("SGTOOL, CANNOT CLOSE OPEN ENTITY", 0); }

// Reads a mill's holder set (in every mode of SGTOOL: writing the tool's records leaves its holder
// entity to the tool writer); a mill without a holder entity gets one, and its id goes into the
// tool's header so that the next read finds it.
void mill_holder(int tool_id, tool_header& header, int& status)
{
    int version = tool_block().TLVERS;
    int before = header.holder_id;
    dbdholdr(kHolderRead, header.holder_id, version, tool_holders(), status);
    if (status != 0) return;
    if (header.holder_id != before) tool_header_put(tool_id, header, status);
}

}  // namespace

current_tool& tool_block() { return module_block<current_tool>(); }
tool_shape_records& tool_shapes() { return module_block<tool_shape_records>(); }
drill_cycle_record& cycle_block() { return module_block<drill_cycle_record>(); }
holder_set& tool_holders() { return module_block<holder_set>(); }

tool_tables& tool_table_ids()
{
    static tool_tables tables = [] {
        tool_tables t;
        t.syt2.fill(-1);
        return t;
    }();
    return tables;
}

std::string record_type_name(int type_index)
{
    if (type_index < 1 || type_index > kToolTypeIndices) return std::string();
    return kRecordTypeNames[static_cast<std::size_t>(type_index - 1)];
}

std::string tool_class_name(int tool_class)
{
    if (tool_class < 1 || tool_class > 15) return std::string();
    return kClassNames[static_cast<std::size_t>(tool_class - 1)];
}

std::string tool_text(std::string_view text)
{
    std::string out(kToolText, ' ');
    for (std::size_t i = 0; i + 1 < kToolText && i < text.size() && text[i] != '\0'; ++i) out[i] = text[i];
    out[kToolText - 1] = '\0';
    return out;
}

void SGTOOL(int mode, int tool_id, int& status)
{
    status = kToolNotRead;
    int state = 0;
    eginfo(state);
    if (state == kCannotPutAside) {
        report_sgtool();
        return;
    }
    int tool_class = -1;
    tool_header header;
    read_tool_entity_header(tool_id, tool_class, header, status);
    if (status == 0) {
        // From here on the block is being overwritten: a failure leaves no current tool.
        tool_block().holder_mode = header.holder_mode;
        if (mode == kReadMode) tool_block().tool_life = 0.0f;
        tool_records_copy(mode, tool_class, header, status);
        if (status == 0 && tool_class == kMill) mill_holder(tool_id, header, status);
        if (status == 0) {
            std::array<int, kToolHeaderWords> words = header.to_words();
            sgparm_to_main(kReadMode, tool_class, words.data(), header.holder_mode, status);
        }
        if (status != 0) {
            tool_block().IDTOOL = kNoTool;
            status = kToolNotRead;
        }
    }
    if (status != 0) report_sgtool();
    int give_back = 0;
    if (state == kPutAside) esinfo(give_back);
}

void tool_tables_init()
{
    tool_tables& t = tool_table_ids();
    t.syt2.fill(-1);
    int status = 0;
    mdget("SYT2", t.syt2.data(), kSyt2Words, status);
    tool_block().IDTOOL = kNoTool;
    for (int c = 1; c <= kToolClasses; ++c) t.conditions_of(c) = kConditionCounts[static_cast<std::size_t>(c - 1)];
    t.conditions_of(kCycle) = kCycleConditions;
}
