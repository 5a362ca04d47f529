// The clearing block, its parameters and the clearing point list.
#include "clearing/hatch/clear_block.hpp"

#include "clearing/hatch/clear_region.hpp"
#include "clearing/hatch/contour_rings.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

clear_state clear_block;

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kCloseArray = 1;
// Records handed out per block of the point list's array.
constexpr int kPointsPerBlock = 256;

void forget_points()
{
    clear_state& b = clear_block;
    b.point_list_handle = kClearClosed;
    b.point_head = b.point_last = b.point_cursor = b.pass_head = nullptr;
    b.surface_passes = 0;
}

}  // namespace

void set_clear_params(int direction, int linking_mode, float side_step, float tolerance, float c, float s,
                      const float* previous_end, int previous_end_valid, int contour_link)
{
    clear_state& b = clear_block;
    b.direction = direction;
    b.linking_mode = linking_mode;
    b.side_step = side_step;
    b.tolerance = tolerance;
    b.cos = c;
    b.sin = s;
    b.previous_end_valid = previous_end_valid;
    if (previous_end_valid != 0 && previous_end != nullptr) {
        b.previous_end[0] = previous_end[0];
        b.previous_end[1] = previous_end[1];
    }
    b.contour_link = contour_link;
    b.state_word = 0;
}

void clrcls(int mode, int& status)
{
    status = kGoOn;
    clear_state& b = clear_block;
    if (mode == kCloseArray && b.point_list_handle != kClearClosed) {
        int closed = 0;
        MM_CLOSE(b.point_list_handle, closed);
        if (closed != 0) {
            eroutc("clrcls, CLOSE DYNAMIC MEMORY ERROR", 0);
            status = kFailed;
        }
    }
    forget_points();
    clr_region_forget();
    if (mode == kCloseArray) {
        int released = 0;
        clrels(kCloseArray, released);
        if (status == kGoOn) status = released;
    }
}

int clr_points_open()
{
    // A list still open is given back first: a linker run without clrcls before it would
    // otherwise lose the array.
    int status = 0;
    if (clear_block.point_list_handle != kClearClosed) MM_CLOSE(clear_block.point_list_handle, status);
    forget_points();
    if (status != 0) return kFailed;
    int handle = kClearClosed;
    MM_OPEN_FDS(static_cast<int>(sizeof(clearing_point)), kPointsPerBlock, handle, status);
    if (status != 0) return kFailed;
    clear_block.point_list_handle = handle;
    return kGoOn;
}

int clr_points_are_open() { return clear_block.point_list_handle != kClearClosed ? 1 : 0; }

int clr_add_point(float x, float y, float code)
{
    clear_state& b = clear_block;
    if (b.point_list_handle == kClearClosed) return kFailed;
    auto* p = static_cast<clearing_point*>(MM_FALLOC(b.point_list_handle));
    if (p == nullptr) return kFailed;
    hatch_turn(b.cos, -b.sin, x, y, p->x, p->y);
    p->next = nullptr;
    if (b.point_head == nullptr) {
        p->code = kPassStart;
        b.point_head = p;
    } else {
        p->code = code;
        b.point_last->next = p;
    }
    b.point_last = p;
    if (p->code == kPassStart) b.pass_head = p;
    return kGoOn;
}

void clr_point_rewind() { clear_block.point_cursor = clear_block.point_head; }

void clr_point_next(float& code, float& x, float& y)
{
    clearing_point* p = clear_block.point_cursor;
    if (p == nullptr) return;
    code = p->code;
    x = p->x;
    y = p->y;
    clear_block.point_cursor = p->next;
}

int clr_point_end() { return clear_block.point_cursor == nullptr ? 1 : 0; }
