// Restore and save of the NC state blocks under their module-data keys. The blocks are listed
// once, in the order the restore reads them; the save writes the same list, less the two blocks
// that other modules of the host own ("TPFO" and "GCY4").
#include "driver/nc_state_store.hpp"

#include "driver/go_point_motion.hpp"
#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"
#include "listing/work_view.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_sublist.hpp"
#include "tools/current_tool.hpp"

#include <array>

namespace {

constexpr int kFailed = -1;
constexpr int kGetView = 1;
constexpr int kLastView = 47;
constexpr int kNeverSaved = 0;
constexpr int kQueryInstance = -1, kReleaseInstance = -2;
constexpr int kMakeCurrent = 3;
constexpr int kTextKind = 3;
constexpr int kSymbolsOff = 0, kSymbolItem2 = 2, kSymbolItem3 = 3, kSymbolOn = 1;
constexpr int kLargestBlock = heights_state::kWords;

// One block under its key: the kind code its save passes (kNeverSaved: restored only), its word
// count and the moves of its words. A block whose saved words depend on the record as stored
// names the routine that makes them from it (saved_words); the others save their words as they
// stand.
struct state_record {
    const char* key;
    int kind;
    int words;
    void (*to_words)(word*);
    void (*from_words)(const word*, int);
    void (*saved_words)(const word* stored, word* out);
};

template <typename Block, Block& (*Get)()>
constexpr state_record record_of(const char* key, int kind, void (*saved_words)(const word*, word*) = nullptr)
{
    static_assert(Block::kWords <= kLargestBlock);
    return {key,
            kind,
            Block::kWords,
            [](word* out) { Get().to_words(out); },
            [](const word* in, int n) { Get().from_words(in, n); },
            saved_words};
}

// Read before the current tool (PRM9), in this order.
const state_record kBeforeTool[] = {
    record_of<sublist_stack, BLSK>("BLSK", 4),
    record_of<proc_colour_pen, CLP1>("CLP1", 4),
    record_of<tpfo_state, TPFO>("TPFO", kNeverSaved),
    record_of<modal_values, DSM4>("DSM4", 4),
    record_of<tool_position_state, DSP8>("DSP8", 4),
    record_of<edit_state, EDA2>("EDA2", 3),
    record_of<cycle_state, GCY4>("GCY4", kNeverSaved),
    record_of<heights_state, HEI8>("HEI8", 1),
    record_of<move_writer_state, LSP2>("LSP2", 4, lsp2_words_to_save),
};
const state_record kToolRecord = record_of<machine_params, PRM9>("PRM9", 4);
// Read after the machine table, in this order.
const state_record kAfterTable[] = {
    record_of<wire_modal_values, WRMB>("WRMB", 4),  record_of<tp_header_state, NPT1>("NPT1", 4),
    record_of<plane_state, PLN1>("PLN1", 4),        record_of<rotation_axes_state, RAXN>("RAXN", 3),
    record_of<tool_display_state, TLER>("TLER", 1), record_of<tp_transform_state, TRS1>("TRS1", 4),
    record_of<service_words, UPW2>("UPW2", 1),
};

// Reads the record over the block's own words: a missing record leaves them, a longer one gives
// only as many words as the block has.
void restore_record(const state_record& r)
{
    std::array<word, kLargestBlock> buffer{};
    r.to_words(buffer.data());
    int status = 0;
    mdget(r.key, buffer.data(), r.words, status);
    if (status == 0) r.from_words(buffer.data(), r.words);
}

// Writes the record; the first failure is kept in first_failure.
void save_record(const state_record& r, int& first_failure)
{
    if (r.kind == kNeverSaved) return;
    std::array<word, kLargestBlock> buffer{};
    r.to_words(buffer.data());
    int status = 0;
    if (r.saved_words) {
        std::array<word, kLargestBlock> stored = buffer;
        mdget(r.key, stored.data(), r.words, status);
        r.saved_words(stored.data(), buffer.data());
        status = 0;
    }
    mdputn(r.key, r.kind, r.words, buffer.data(), status);
    if (status != 0 && first_failure == 0) first_failure = status < 0 ? status : kFailed;
}

// Mode 1 needs a selected view in range.
bool view_selected()
{
    int view = 0;
    gsvnum(kGetView, view);
    if (view == 0) {
        eroutc("SEGSTR, NO MACSYS IS CURRENTLY SELECTED", 0);
        return false;
    }
    if (view < 0 || view > kLastView) {
        eroutc("SEGSTR - VIEW NUMBER OUT OF RANGE !", 0);
        return false;
    }
    return true;
}

// PRM9 with its tool id checked: a restored id that names no tool is dropped.
void restore_machine_params()
{
    word& tool_id = PRM9().words[machine_params::kToolId];
    tool_id = kNoTool;
    go_motion_choice() = kGoAtFeed;
    restore_record(kToolRecord);
    if (tool_id > 0 && etool(tool_id) == 0) tool_id = kNoTool;
}

void restore_blocks()
{
    for (const state_record& r : kBeforeTool) restore_record(r);
    restore_machine_params();
    int status = 0;
    plg_mchtbl_mdget(mch_table_ext().ext.data(), kMachineTableExtWords, status);
    for (const state_record& r : kAfterTable) restore_record(r);
}

// The tool tables start afresh and the restored tool becomes the current tool again.
void restore_current_tool()
{
    tool_tables_init();
    tm_inst_id(kQueryInstance);
    const int tool_id = PRM9().words[machine_params::kToolId];
    if (tool_id <= 0) return;
    int status = 0;
    SGTOOL(kMakeCurrent, tool_id, status);
    if (status == 0) tool_block().IDTOOL = tool_id;
}

// The work coordinate record from the tool path's MACSYS.
void update_work_coordinates()
{
    const tp_header_state& header = NPT1();
    std::array<float, 3> origin{};
    for (int i = 0; i < 3; ++i) origin[static_cast<std::size_t>(i)] = header.real(tp_header_state::kMacsysOrigin + i);
    store_machine_frame(npt1_matrix(), origin);
}

void restore_work_frame()
{
    int status = 0;
    setwap(NPT1().at(tp_header_state::kView), status);
    setdsp(NPT1().real(tp_header_state::kDepth));
    edsym(kSymbolsOff, kSymbolsOff);
    update_work_coordinates();
    edsym(kSymbolItem2, kSymbolOn);
    edsym(kSymbolItem3, kSymbolOn);
}

}  // namespace

void SEGSTR(int mode, int& status)
{
    status = 0;
    const bool restores = mode == kRestoreWithView || mode == kRestoreOnly;
    if (restores) load_nc_function_names();
    if (mode == kRestoreWithView) {
        if (!view_selected()) {
            status = kFailed;
            return;
        }
        tbinit();
    }
    if (restores) {
        restore_blocks();
        restore_current_tool();
    }
    mode_line_init();
    if (mode == kRestoreWithView) restore_work_frame();
}

void save_nc_state(int& status)
{
    int first_failure = 0;
    for (const state_record& r : kBeforeTool) save_record(r, first_failure);
    save_record(kToolRecord, first_failure);
    int table_status = 0;
    plg_mchtbl_mdput(mch_table_ext().ext.data(), kMachineTableExtWords, table_status);
    if (table_status != 0 && first_failure == 0) first_failure = table_status < 0 ? table_status : kFailed;
    PLN1().clear_for_save();
    for (const state_record& r : kAfterTable) save_record(r, first_failure);
    // The releases run whatever happened above: they end the run's use of these resources.
    tm_inst_id(kReleaseInstance);
    nu_trns_rels();
    end_badsrf();
    status = first_failure;
}

void save_state_eda2(int save_flag)
{
    edit_state& e = EDA2();
    e.words.fill(0);
    e.word_no(2) = -1;
    e.word_no(3) = -1;
    e.word_no(6) = -1;
    if (save_flag == 0) return;
    int status = 0;
    mdptnc("EDA2", kTextKind, edit_state::kWords, e.words.data(), status);
}
