// set_machining_type and its table: one row per group of NC functions of a machine family, with
// what the row sets. Every family starts from cutting condition 1, suspending allowed and no
// family flag; a row only names what it changes.
#include "driver/set_machining_type.hpp"

#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_tpreg.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_lists.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1;
enum family { kMillingFamily, kLatheFamily, kWireFamily, kPunchFamily };

constexpr int kUnchanged = -1;        // the row leaves the machining type as it is
constexpr int kFamilyClass = 0;       // the family's own tool class
constexpr int kNoClass = -1;          // no tool class allowed
constexpr int kConditionIfMill = -2;  // condition 2 when the current tool is a mill, else 1
constexpr int kWireParamType = 19;
constexpr int kMotionFormValue = 2;

struct machining_row {
    family machine_family;
    std::array<int, 4> functions;  // the NC functions of the row; 0 ends the list
    int type = kUnchanged;         // the machining type set
    int condition = 1;             // the cutting-condition index, or kConditionIfMill
    int tool_class = kFamilyClass;
    int class_family = 0;  // the family flag of the allowed class
    int param_type = 0;    // the machine-parameter type
    int lowest = 0;        // lowest machine type (milling)
    int suspend = 1;
    bool motion_form = false;       // PRM9 word 22 := 2
    bool compensation_off = false;  // PRM9 word 12 := 0
};

// clang-format off
const machining_row kRows[] = {
    // milling, machine types 22 to 26
    {kMillingFamily, {10, 11, 12, 39}, kUnchanged, kConditionIfMill, kDrill, 1, 3, 22, 0, true, false},
    {kMillingFamily, {6},          16, 1, kDrill, 1, 6, 22, 1, true, false},
    {kMillingFamily, {1},           6, 1, kFamilyClass, 0, 1, 22, 1, true, false},
    {kMillingFamily, {33, 2, 3},    9, 2, kFamilyClass, 0, 1, 22, 1, true, false},
    {kMillingFamily, {9, 28},       2, 3, kFamilyClass, 0, 2, 23, 1, false, false},
    {kMillingFamily, {4},          11, 3, kFamilyClass, 0, 2, 23, 1, false, false},
    {kMillingFamily, {35},         14, 3, kFamilyClass, 0, 2, 23, 1, false, false},
    {kMillingFamily, {7},          25, 3, kFamilyClass, 0, 2, 23, 1, false, true},
    {kMillingFamily, {27},         15, 3, kFamilyClass, 0, 1, 23, 1, false, false},
    {kMillingFamily, {48},         29, 3, kFamilyClass, 0, 1, 23, 1, false, false},
    {kMillingFamily, {36, 15},     28, 3, kFamilyClass, 0, 1, 23, 1, true, false},
    {kMillingFamily, {5},          12, 2, kFamilyClass, 0, 2, 23, 1, true, true},
    {kMillingFamily, {34, 38},     13, 2, kFamilyClass, 0, 2, 23, 1, true, false},
    {kMillingFamily, {37, 13},     27, 1, kFamilyClass, 0, 1, 23, 1, true, false},
    {kMillingFamily, {14},         27, 3, kFamilyClass, 0, 1, 23, 1, true, false},
    {kMillingFamily, {49},         30, 1, kFamilyClass, 0, 1, 26, 1, true, false},
    {kMillingFamily, {8},          21, 2, kNoClass, 0, 4, 24, 0, true, false},
    {kMillingFamily, {52},         34, 2, kNoClass, 0, 4, 22, 1, true, false},
    {kMillingFamily, {53},         35, 2, kNoClass, 0, 4, 22, 1, true, false},
    {kMillingFamily, {54},         38, 4, kFamilyClass, 0, 26, 23, 1, true, true},
    {kMillingFamily, {55}, kUnchanged, 2, kFamilyClass, 0, 2, 23, 1, true, true},
    {kMillingFamily, {56},         39, 3, kFamilyClass, 0, 1, 23, 1, true, false},
    // lathe, machine type 31
    {kLatheFamily, {20, 40}, kUnchanged, 1, kFamilyClass, 1, 20, 0, 0, false, false},
    {kLatheFamily, {8},              21, 1, kFamilyClass, 1, 4, 0, 0, false, false},
    {kLatheFamily, {31, 21},          5, 1, kFamilyClass, 0, 21, 0, 1, false, false},
    {kLatheFamily, {32, 22},         10, 1, kFamilyClass, 0, 21, 0, 1, false, false},
    {kLatheFamily, {23},             17, 1, kLatheDrill, 0, 23, 0, 1, false, false},
    {kLatheFamily, {29},             26, 1, kThread, 0, 24, 0, 1, false, false},
    {kLatheFamily, {30},              4, 1, kGroove, 0, 25, 0, 1, false, false},
    // wire EDM, machine types 62 to 65
    {kWireFamily, {26, 41}, kUnchanged, 1, kFamilyClass, 0, kWireParamType, 0, 0, false, false},
    {kWireFamily, {24},             23, 1, kFamilyClass, 0, kWireParamType, 0, 1, false, false},
    {kWireFamily, {25},             24, 1, kFamilyClass, 0, kWireParamType, 0, 1, false, false},
    {kWireFamily, {50},             31, 1, kFamilyClass, 0, kWireParamType, 0, 1, false, false},
    {kWireFamily, {51},             32, 1, kFamilyClass, 0, kWireParamType, 0, 1, false, false},
    // punch, machine type 12
    {kPunchFamily, {19, 42}, kUnchanged, 1, kFamilyClass, 0, 16, 0, 0, false, false},
    {kPunchFamily, {18},             19, 1, kFamilyClass, 0, 16, 0, 1, false, false},
    {kPunchFamily, {17},             18, 1, kFamilyClass, 0, 17, 0, 1, false, false},
    {kPunchFamily, {16},             20, 1, kFamilyClass, 0, 16, 0, 1, false, false},
};
// clang-format on

// The family of a machine type, and its own tool class.
struct machine_kind {
    family machine_family;
    int tool_class;
};

std::optional<machine_kind> kind_of(int machine_type)
{
    if (machine_type >= 22 && machine_type <= 26) return machine_kind{kMillingFamily, kMill};
    if (machine_type == 31) return machine_kind{kLatheFamily, kLathe};
    // Machine type 64 is a wire machine without a class of its own: it allows the AGIE class,
    // the wire class every wire post-processor accepts.
    if (machine_type == 62 || machine_type == 64) return machine_kind{kWireFamily, kAgie};
    if (machine_type == 63) return machine_kind{kWireFamily, kCharmille};
    if (machine_type == 65) return machine_kind{kWireFamily, kMakino};
    if (machine_type == 12) return machine_kind{kPunchFamily, kPunch};
    return std::nullopt;
}

const machining_row* find_row(family f, int nc_function)
{
    for (const machining_row& row : kRows) {
        if (row.machine_family != f) continue;
        for (int fn : row.functions)
            if (fn != 0 && fn == nc_function) return &row;
    }
    return nullptr;
}

// The machine type sits in word 4 (counted from 1) of a tool-path header: after the block
// number and the two words of the MACSYS name.
constexpr int kHeaderMachineTypeWord = 4;
constexpr int kProcedureNone = 0;

// The tool paths holding the host procedure being edited, when the procedure was opened
// view-only through the procedure manager; empty when the procedure is the current tool path's
// own (not view-only, no valid host id, held by no tool path or by the current one).
std::vector<int> foreign_tool_paths(int& status)
{
    std::vector<int> tool_paths;
    status = 0;
    if (EDA2().word_no(edit_state::kViewOnly) == 0) return tool_paths;
    int procedure = kProcedureNone;
    gs_proc_id(1, procedure);
    if (procedure <= kProcedureNone) return tool_paths;
    ncn_assoc_find_proc_tp(procedure, tool_paths, status);
    int current = 0;
    get_curr_tp_id(current);
    if (status < 0 || std::find(tool_paths.begin(), tool_paths.end(), current) != tool_paths.end()) tool_paths.clear();
    return tool_paths;
}

// The machine type the procedure runs on: that of the current tool path (NPT1), or for a
// procedure viewed from another tool path, that of the first tool path holding it. A tool path
// that cannot be found or whose header is too short to hold a machine type is reported: its
// machine stays unknown rather than being taken for the current one.
int machine_type_of_procedure(int& status)
{
    const std::vector<int> tool_paths = foreign_tool_paths(status);
    if (status >= 0 && tool_paths.empty()) return NPT1().machine_type();
    std::vector<word> header;
    if (status >= 0) get_set_tp_header(1, tool_paths.front(), header, status);
    if (status >= 0 && header.size() >= static_cast<std::size_t>(kHeaderMachineTypeWord))
        return header[static_cast<std::size_t>(kHeaderMachineTypeWord - 1)];
    userrc("set_machining_type, CANNOT READ THE TOOL PATH OF THE PROCEDURE");
    status = kFailed;
    return 0;
}

int current_tool_class() { return tool_block().IDTOOL > 0 ? tool_block().tool_class : 0; }

int condition_of(const machining_row& row)
{
    if (row.condition != kConditionIfMill) return row.condition;
    return current_tool_class() == kMill ? 2 : 1;
}

void apply_row(const machining_row& row, const machine_kind& kind, int& mach_param_type, int& suspend_allowed)
{
    if (row.type != kUnchanged) machining_type() = row.type;
    tool_block().condition = condition_of(row);
    mach_param_type = row.param_type;
    suspend_allowed = row.suspend;
    if (row.motion_form) PRM9().words[machine_params::kMotionForm] = kMotionFormValue;
    if (row.compensation_off) PRM9().words[machine_params::kCutterComp] = 0;
    set_allowed_tool_classes(row.class_family, row.tool_class == kFamilyClass ? kind.tool_class : row.tool_class);
}

}  // namespace

void set_machining_type(int nc_function, int& mach_param_type, int& suspend_allowed, int& status)
{
    const int machine_type = machine_type_of_procedure(status);
    if (status < 0) return;
    const std::optional<machine_kind> kind = kind_of(machine_type);
    if (!kind) {
        status = kFailed;
        return;
    }
    tool_block().condition = 1;
    suspend_allowed = 1;
    const machining_row* row = find_row(kind->machine_family, nc_function);
    if (!row) {
        userrc("SEGMENT NOT FIT FOR CURRENT MACHINING TYPE");
        status = kFailed;
        return;
    }
    if (machine_type < row->lowest) {
        userrc("PATH NOT FIT FOR CURRENT MACHINING TYPE");
        status = kFailed;
        return;
    }
    apply_row(*row, *kind, mach_param_type, suspend_allowed);
    status = 0;
}
