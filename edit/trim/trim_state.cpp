// The trimming tool's words and its motion reader (see the header).
#include "edit/trim/trim_state.hpp"

#include "edit/trim/block_polyline.hpp"
#include "host/vantu_list.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/current_tool.hpp"

#include <cstddef>

trim_state& trim_words()
{
    static trim_state words;
    return words;
}

int& edit_pick_flag()
{
    static int flag = 0;
    return flag;
}

void trim_menu_reset() { trim_words().menu_rebuild = 1; }

namespace {

constexpr int kFeedParameter = 1, kToolParameter = 100;
constexpr int kMakeCurrent = 3;
// More rounds than the level has blocks: the list changed under the walk.
constexpr int kListWalkedOut = -1;

bool has_end_point(int type) { return motion_family_of(type) != motion_family::other; }

// A parameter block passed on the way: the feed goes to the current-feed word, a tool becomes
// current.
void pass_parameter(int& status)
{
    tp_param_block block;
    tpread_param(kWhereList, block, status);
    if (status < 0) return;
    if (block.prmtyp == kFeedParameter)
        trim_words().current_feed = block.is_real ? block.real_value : static_cast<float>(block.int_value);
    if (block.prmtyp == kToolParameter) SGTOOL(kMakeCurrent, block.int_value, status);
}

// The number, end point and direction of the motion whose head was just read.
void read_motion(int type, int size, int& number, float* point, float* direction, int& status)
{
    if (!has_end_point(type)) {
        tp_get_int(kWhereList, number, status);
        return;
    }
    point3 end{}, axis{};
    WENDPT(kWhereList, type, size, end, axis, number, status);
    if (status < 0) return;
    for (int i = 0; i < 3; ++i) {
        point[i] = end[static_cast<std::size_t>(i)];
        direction[i] = axis[static_cast<std::size_t>(i)];
    }
}

}  // namespace

void trim_read_motion(int step, int& number, int& type, float* point, float* direction, int& status)
{
    const int jump = step == -1 ? -1 : 1;
    int lines = 0;
    llines(lines);
    // One block per round: a level of n lines is walked within n rounds.
    for (int round = 0; round <= lines; ++round) {
        int size = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) return;
        if (block_class == kClassMotion) {
            read_motion(type, size, number, point, direction, status);
            if (status > 0) status = 0;
            return;
        }
        if (block_class == kClassParameter) {
            pass_parameter(status);
            if (status < 0) return;
        }
        // At the first or the last block the jump answers -2 (not moved): that ends the walk.
        tp_list_jump(jump, status);
        if (status < 0) return;
    }
    status = kListWalkedOut;
}
