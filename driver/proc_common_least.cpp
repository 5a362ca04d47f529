// CURCOM, GETPOS and tool_inst_show (least versions, see the header).
#include "driver/proc_common_least.hpp"

#include "toolpath/tool_position.hpp"
#include "driver/tool_choice.hpp"
#include "host/vantu.hpp"
#include "driver/nc_state_blocks.hpp"
#include "listing/tool_display.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

using T = tool_position_state;
using H = tp_header_state;

constexpr int kGlobals = 24;
constexpr int kProcedureType = 12;
constexpr int kMarker = 9;
constexpr int kQueryInstance = -1, kPlainMove = 1;
constexpr int kAskDefault = 0;

// Reads a numeric item of segment 24 into words; false after the CURCOM message.
bool read_item(int code, word* values, int capacity)
{
    int count = 0, type = 0, status = 0;
    TPGETN(kWhereList, kGlobals, code, count, type, values, capacity, status);
    if (status >= 0) return true;
    eroutc("CURCOM, ERROR IN LIST", 0);
    return false;
}

bool item_to(int code, word* target, int capacity) { return read_item(code, target, capacity); }

bool read_point(int code, common_vec& p)
{
    word w[3] = {};
    int count = 0, type = 0, status = 0;
    TPGETN(kWhereList, kGlobals, code, count, type, w, 3, status);
    for (int i = 0; i < 3; ++i) p[static_cast<std::size_t>(i)] = word_to_real(w[i]);
    return status >= 0;
}

bool at_procedure()
{
    int size = 0, type = 0, block_class = 0, status = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status >= 0 && type == kProcedureType;
}

}  // namespace

void CURCOM(int machine, int machine_table, int position, int heights, int wire, int old_layout, int& status)
{
    (void)machine_table;
    (void)heights;
    (void)wire;
    status = 0;
    const bool old = old_layout != 0;
    tp_header_state& n = NPT1();
    if (machine != 0) {
        const bool ok = item_to(old ? 7 : 8, &n.at(H::kView), 1) && item_to(old ? 9 : 10, &n.at(H::kDepth), 1) &&
                        item_to(old ? 11 : 13, &n.at(H::kMacsysOrigin), 3) && item_to(old ? 12 : 14, &n.at(H::kHomePoint), 3);
        if (!ok) {
            status = -1;
            return;
        }
    }
    if (position != 0) {
        tool_position_state& d = DSP8();
        if (!item_to(old ? 5 : 6, &d.at(T::kPosition), 3) || !item_to(old ? 27 : 28, &d.at(T::kAxis), 3)) {
            status = -1;
            return;
        }
        d.set_vec(T::kPrevAxis, d.vec(T::kAxis));
    }
}

void GETPOS(common_vec& previous, common_vec& previous_axis, int& no_previous, common_vec& next,
            common_vec& next_axis, int& no_next, int& status)
{
    status = 0;
    no_next = 1;
    next = {};
    next_axis = {0.0f, 0.0f, 1.0f};
    if (!at_procedure()) {
        eroutc("GETPOS, THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK", 0);
        status = -1;
        return;
    }
    int marked = 0;
    lmark(1, kMarker, marked);
    if (marked != 1) {
        eroutc("GETPOS, CANNOT SET A MARKER", 0);
        status = -1;
        return;
    }
    no_previous = 1;
    previous = {NPT1().real(H::kHomePoint), NPT1().real(H::kHomePoint + 1), NPT1().real(H::kHomePoint + 2)};
    previous_axis = {0.0f, 0.0f, 1.0f};
    int lines = 0;
    llines(lines);
    // Each round steps one block back: more rounds than lines cannot find anything.
    for (int round = 0; round < lines && status == 0; ++round) {
        int jumped = 0;
        tp_list_jump(-1, jumped);
        if (jumped < 0) break;   // no block before this one (or a list failure)
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) break;
        if (type == kProcedureType) {
            if (read_point(6, previous) && read_point(28, previous_axis)) no_previous = 0;
            else status = -1;
            break;
        }
        if (block_class == kClassMotion) {
            int number = 0;
            WENDPT(kWhereList, type, size, previous, previous_axis, number, status);
            if (status >= 0) no_previous = 0;
            break;
        }
    }
    int back = 0;
    tp_list_top_mark(kMarker, back);
    if (status < 0 || back < 0) {
        eroutc("GETPOS, ERRORS IN LIST", 0);
        status = -1;
    }
}

void tool_inst_show(int& tool_id, const common_vec& point, const common_vec& axis, int& status)
{
    status = 0;
    if (tool_id < 0) {
        tool_choose(kAskDefault, status);
        if (status != 0) return;
        tool_id = PRM9().words[machine_params::kToolId];
        TOLMOV(tm_inst_id(kQueryInstance), point, axis, kPlainMove);
        return;
    }
    tm_inst_delete();
    int instance = -1;
    DISPT1(tool_id, point, axis, instance);
    if (instance > 0) tm_inst_id(instance);
}
