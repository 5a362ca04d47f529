// Saving and loading the parameter block as module data. Reads and writes EDA2, PRM9 (tool id),
// NPT1 (machine type), the machine-table extension and the point tables.
#include "driver/proc_module_data.hpp"

#include "driver/nc_state_store.hpp"
#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_choice.hpp"

#include <algorithm>
#include <iterator>

namespace {

constexpr int kTableType = 38;
constexpr int kBlockKind = 1, kEda2Kind = 3;
constexpr int kRemakeCurrent = 3;
constexpr int kGuideStore = 1, kEndStore = 2, kSave = 2;
// Machine types on which a view-only procedure needs no current tool.
constexpr int kNoToolMachines[] = {61, 62, 63, 65, 80};

void save_block(int& mode, std::string_view type_code, int block_length, word* block, defaults_callback defaults,
                int& status)
{
    int defaults_status = 0;
    defaults(mode, defaults_status);
    mdputn(type_code, kBlockKind, block_length, block, status);
    if (machining_type() == kTableType) {
        int table_status = 0;
        plg_mchtbl_mdput(mch_table_ext().ext.data(), kMachineTableExtWords, table_status);
    }
    edit_state& e = EDA2();
    e.word_no(edit_state::kViewOnly) = 0;
    e.word_no(edit_state::kEditing) = 0;
    int eda2_status = 0;
    mdptnc("EDA2", kEda2Kind, edit_state::kWords, e.words.data(), eda2_status);
    if (status >= 0) status = eda2_status;
}

// The tool of the procedure, as the load reads it.
void load_tool(int mode, int& status)
{
    const edit_state& e = EDA2();
    if (e.word_no(edit_state::kViewOnly) == 0) {
        const int ask = e.word_no(edit_state::kEditing) == 0 && mode == kModuleDataLoad ? 1 : 0;
        tool_choose(ask, status);
        return;
    }
    const int tool_id = PRM9().words[machine_params::kToolId];
    const int machine = NPT1().machine_type();
    if (tool_id < 0 ||
        std::find(std::begin(kNoToolMachines), std::end(kNoToolMachines), machine) != std::end(kNoToolMachines)) {
        status = 0;
        return;
    }
    SGTOOL(kRemakeCurrent, tool_id, status);
}

void load_block(int& mode, std::string_view type_code, int block_length, word* block, defaults_callback defaults,
                int& status)
{
    save_state_eda2(0);
    int eda2_status = 0;
    mdgetc("EDA2", edit_state::kWords, EDA2().words.data(), eda2_status);
    status = -1;
    load_tool(mode, status);
    if (status < 0) {
        if (mode == kModuleDataLoadTemplate) status = kNoToolForTemplate;
        return;
    }
    reset_entry_pnts();
    save_entry_pnts(kGuideStore, kSave);
    save_entry_pnts(kEndStore, kSave);
    mode = kModuleDataLoad;
    defaults(mode, status);
    if (status < 0 || EDA2().word_no(edit_state::kEditing) != 0) return;
    int read_status = 0;
    mdget(type_code, block, block_length, read_status);
    // Without a current tool there are no tool values to take; the block is loaded all the same.
    int tool_status = 0;
    tool_type_params(tool_status);
    if (machining_type() == kTableType) {
        int table_status = 0;
        plg_mchtbl_mdget(mch_table_ext().ext.data(), kMachineTableExtWords, table_status);
    }
}

}  // namespace

void proc_module_data(int& mode, std::string_view type_code, int block_length, word* block, defaults_callback defaults,
                      int& status)
{
    if (!block || block_length < 1 || !defaults) {
        eroutc("proc_module_data, NO PARAMETER BLOCK", 0);
        status = -1;
        return;
    }
    if (mode == kModuleDataSave)
        save_block(mode, type_code, block_length, block, defaults, status);
    else
        load_block(mode, type_code, block_length, block, defaults, status);
}
