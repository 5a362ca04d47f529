// The trimming's positions in the list (see the header).
#include "edit/trim/trim_positions.hpp"

#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/editor/machining_state.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_mdata.hpp"
#include "host/vantu_ncd_file.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <span>

namespace {

constexpr int kMarkSet = 1;
constexpr int kEditMarker = 9, kMachiningMarker = 15, kEntryMarker = 16;
constexpr int kMarkPosition = 2;
constexpr int kFirstLine = 2, kLastLine = 3;
constexpr int kNotFound = -2;
constexpr int kUitrKind = 3;
constexpr int kMachiningMode = 2;

bool is_string(int type) { return type == 7 || type == 27 || type == 227; }

void note(int marker, int& status)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    status = answer >= 1 ? 0 : answer;
}

void stand_at(const point3& point)
{
    LSP2().set_vec(move_writer_state::kLastPoint, point);
    DSP8().set_vec(tool_position_state::kPosition, point);
}

// The number of the first point of the string at the list position; the list stays there.
int first_string_point(int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    tp_line_point first;
    if (status >= 0) tpread_lines(kWhereList, type, size, first, status);
    return first.number;
}

}  // namespace

int motion_dimension_kind(int type)
{
    if (type >= 200) return 2;
    return type >= 20 ? 3 : 1;
}

void trim_first_last_motion(int& first, int& last, const point3& point, int& kind, int& status)
{
    stand_at(point);
    int type = 0;
    point3 end{}, direction{};
    trim_read_motion(1, first, type, end.data(), direction.data(), status);
    if (status < 0) return;
    kind = motion_dimension_kind(type);
    lacces(kLastLine, status);
    if (status >= 0) trim_read_motion(-1, last, type, end.data(), direction.data(), status);
    if (status > 0) status = 0;
}

void trim_goto_block(int block, point3& point, point3& direction, point3& previous, point3& previous_direction,
                     int& kind, int& status)
{
    lacces(kFirstLine, status);
    int number = 0, type = 0;
    for (;;) {
        if (status < 0) return;
        trim_read_motion(1, number, type, point.data(), direction.data(), status);
        if (status < 0) {
            status = kNotFound;
            return;
        }
        if (number == block) break;
        if (is_string(type) && block < number && first_string_point(status) <= block) {
            // The list stays on the first line the string became: the walk reads it next.
            if (status >= 0) BRKSTR(1, status);
            continue;
        }
        tp_list_jump(1, status);
        if (status < 0) status = kNotFound;
    }
    kind = motion_dimension_kind(type);
    int before = 0;
    PRVPNT(0, previous, previous_direction, before, status);
    if (status < 0) return;
    status = 0;
    stand_at(previous);
}

void trim_entry_range(int& first, int& last, int& status)
{
    note(kEntryMarker, status);
    if (status < 0) return;
    lacces(kFirstLine, status);
    int type = 0;
    point3 end{}, direction{};
    if (status >= 0) trim_read_motion(1, first, type, end.data(), direction.data(), status);
    last = first;
    const float base_feed = PRM9().real(machine_params::kBaseFeed);
    while (status >= 0) {
        tp_list_jump(1, status);
        int number = 0;
        if (status >= 0) trim_read_motion(1, number, type, end.data(), direction.data(), status);
        if (status < 0 || trim_words().current_feed >= base_feed) break;
        last = number;
    }
    tp_list_top_mark(kEntryMarker, status);
    if (status > 0) status = 0;
}

void trim_prev_machining(int& status)
{
    note(kMachiningMarker, status);
    if (status < 0) return;
    tp_list_jump(1, status);
    int number = 0, type = 0;
    point3 end{}, direction{};
    if (status >= 0) trim_read_motion(1, number, type, end.data(), direction.data(), status);
    if (status >= 0) {
        const std::span<const int> types = updbot_prm_types(NPT1().machine_type());
        PRVMCH(kMachiningMode, static_cast<int>(types.size()), types.data(), status);
    }
    int back = 0;
    tp_list_top_mark(kMachiningMarker, back);
    if (status >= 0) status = back < 0 ? back : 0;
}

bool trim_walk_blocks(int marker, const std::function<bool(int number, int block_class, int& status)>& visit,
                      int& status)
{
    tp_list_top_mark(marker, status);
    int lines = 0;
    llines(lines);
    for (int round = 0; round <= lines && status >= 0; ++round) {
        int size = 0, type = 0, block_class = 0, number = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status >= 0) tp_get_int(kWhereList, number, status);
        if (status < 0) return false;
        if (visit(number, block_class, status)) return status >= 0;
        if (status < 0) return false;
        tp_list_jump(1, status);
    }
    return false;
}

int trim_next_blkno()
{
    int number = 0;
    get_tp_blkno(number);
    return number;
}

void uitr_set(int flag)
{
    const word w = flag == 1 ? 1 : 0;
    int status = 0;
    mdptnc("UITR", kUitrKind, 1, &w, status);
}

void goto_last_added_block(int mode, int& status)
{
    if (mode == kMarkPosition) {
        note(kEditMarker, status);
        return;
    }
    tp_list_top_mark(kEditMarker, status);
    if (status < 0) return;
    status = 0;
    ncd_go_last_added_block();
}
