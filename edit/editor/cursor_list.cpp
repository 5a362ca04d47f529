// Small list steps of the cursor routines (see the header).
#include "edit/editor/cursor_list.hpp"

#include "host/vantu_list.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {
constexpr int kNote = 1, kReturn = 2;
constexpr int kUnmoved = -2;
constexpr int kOriginZ = tp_header_state::kMacsysOrigin + 2;
}  // namespace

bool cursor_block::motion() const { return block_class == kClassMotion; }
bool cursor_block::string() const { return type == 7 || type == 27 || type == 227; }

bool cursor_mark()
{
    int answer = 0;
    lmark(kNote, kCursorMarker, answer);
    return answer >= 1;
}

bool cursor_return()
{
    int status = 0;
    tp_list_top_mark(kCursorMarker, status);
    return status >= 0;
}

void cursor_read(cursor_block& block, int& status)
{
    block = cursor_block{};
    tp_block_head_read(kWhereList, block.size, block.type, block.block_class, status);
}

void cursor_number(int& number, int& status)
{
    tp_get_int(kWhereList, number, status);
    if (status < 0) return;
    TPSKIP(kWhereList, -1, status);
}

bool cursor_step(int direction, int& status)
{
    int answer = 0;
    tp_list_jump(direction, answer);
    if (answer == kUnmoved) return false;
    if (answer < 0) {
        status = -1;
        return false;
    }
    return true;
}

bool cursor_at_first()
{
    int position = 0;
    ljump(0, position);
    return position == 1;
}

void cursor_string(const cursor_block& block, tp_line_point& point, int& status)
{
    tpread_lines(kWhereList, block.type, block.size, point, status);
}

void cursor_marker(const cursor_block& block, tp_marker_block& marker, int& status)
{
    tpread_marker(kWhereList, block.size, marker, status);
}

float shown_height(float z) { return z - NPT1().real(kOriginZ); }
