// Marker blocks and the stack of open brackets.
#include "toolpath/markers.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/exec_control.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kGrowth = 100;
constexpr int kEntryBytes = 8;
constexpr int kNotOpen = -1;
constexpr int kEmpty = -1;

struct stack_entry {
    int kind;
    int id;
};
static_assert(sizeof(stack_entry) == kEntryBytes);

// Room for one more entry; false (with the message) when the array cannot be had.
bool make_room()
{
    tp_mrkr_stack& s = marker_stack();
    if (s.capacity != s.top + 1) return true;
    void* base = nullptr;
    int status = 0;
    if (s.capacity == 0) {
        int handle = kNotOpen;
        MM_OPEN_ARRAY(kEntryBytes, kGrowth, handle, base, status);
        if (status == 0) s.handle = handle;
    } else {
        MM_RESIZE_ARRAY(s.handle, kGrowth, base, status);
    }
    if (status != 0) {
        eroutc("tp_mrkr_push,DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
        return false;
    }
    s.capacity += kGrowth;
    return true;
}

stack_entry* entries() { return static_cast<stack_entry*>(mmcptr(marker_stack().handle)); }

// Closes the array when one is open; false (with the message) when the host refuses.
bool close_array()
{
    tp_mrkr_stack& s = marker_stack();
    if (s.capacity == 0) return true;
    int status = 0;
    MM_CLOSE(s.handle, status);
    if (status != 0) {
        eroutc("tp_mrkr_fin,DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
        return false;
    }
    return true;
}

}  // namespace

tp_mrkr_stack& marker_stack()
{
    static tp_mrkr_stack stack;
    return stack;
}

void tp_mrkr_push(int kind, int id)
{
    if (!make_room()) return;
    tp_mrkr_stack& s = marker_stack();
    s.top += 1;
    entries()[s.top] = {kind, id};
}

void tp_mrkr_pop(int& kind, int& id)
{
    tp_mrkr_stack& s = marker_stack();
    if (s.top == kEmpty || s.capacity == 0) {
        kind = -1;
        id = -1;
        return;
    }
    const stack_entry e = entries()[s.top];
    s.top -= 1;
    kind = e.kind;
    id = e.id;
}

void tp_mrkr_write(int kind, int id, int code, float z, int value, int& status)
{
    if (code == 0) return;
    if (kind == kMarkerClose) {
        int open_kind = 0, open_id = 0;
        tp_mrkr_pop(open_kind, open_id);
        if (open_kind != kMarkerOpen || open_id != id) {
            usmsgc(kMissingMarkerWarning);
            if (open_kind != -1) tp_mrkr_push(open_kind, open_id);
            tp_mrkr_push(kMarkerClose, id);
        }
    } else {
        tp_mrkr_push(kind, id);
    }
    if (code < 0) {
        PUTMCH(status);
        if (status < 0) return;
        code = -code;
    }
    put_marker_block(kWhereListNumbered, code, z, value, 0, status);
    if (status < 0) return;
    int break_flag = 0;
    display_service_table().DISPLB(1, break_flag, status);
    if (status >= 0 && break_flag != 0) exec_break_menu();
}

void tp_mrkr_reset()
{
    // A run that ended between store and finish left its array open.
    close_array();
    marker_stack() = tp_mrkr_stack{};
}

void tp_mrkr_fin(int suspended)
{
    tp_mrkr_stack& s = marker_stack();
    if (s.top != kEmpty && suspended == 0) usmsgc(kMissingMarkerWarning);
    if (!close_array()) return;
    s = tp_mrkr_stack{};
}
