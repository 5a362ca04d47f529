// Line and level calls of the tool-path list: moving between lines (lacces, ljump), creating,
// closing and deleting lines, entering and leaving sub-lists, the level and its block-number
// counter, and the markers. Each call records itself in the trace with its status.
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/list_tree.hpp"

#include <algorithm>

using vantu::fault_hit;
using vantu::kListMaxLevels;
using vantu::kListMaxMarkers;
using vantu::trace_call;
using namespace vantu::list_internal;

namespace {

constexpr int kEnd = -1;       // the level ends here, or there is no current line
constexpr int kRefused = -2;   // the other end of the level, or an argument out of range
constexpr int kOccupied = -3;  // newls1 on a line whose sub-list holds lines

constexpr int kAccessCurrent = 0, kAccessNext = 1, kAccessPrevious = -1, kAccessFirst = 2, kAccessLast = 3;
constexpr int kCreateBefore = -1, kCreateAfter = 0, kCreateAppend = 1;
constexpr int kGet = 1, kSet = 2;
constexpr int kMarkSet = 1, kMarkReturn = 2;
constexpr int kDeleteLeavingBefore = -1;

int list_size() { return static_cast<int>(current_list().size()); }
int cursor_line() { return state().cursor.back().line; }

// Makes line `index` of the current level current, at word 0 unless it is already current.
void go_to_line(int index)
{
    path to = state().cursor;
    if (to.back().line != index) to.back() = frame{index, 0};
    move_cursor(to);
}

// ljump's answer for a line index (or the end of the level, index == size).
int position_answer(int index, int size)
{
    int position = index + 1;
    if (position == 1) return 1;
    return index >= size - 1 ? -position : position;
}

// The line lacces moves to, or the refusal status.
int access_target(int code, int& target)
{
    const int size = list_size();
    const int at = cursor_line();
    switch (code) {
    case kAccessCurrent: target = at; return at < size ? 0 : kEnd;
    case kAccessNext: target = at + 1; return target < size ? 0 : kEnd;
    case kAccessPrevious: target = at - 1; return size > 0 && at > 0 ? 0 : kRefused;
    case kAccessFirst: target = 0; return size > 0 ? 0 : kEnd;
    case kAccessLast: target = size - 1; return size > 0 ? 0 : kEnd;
    default: return kRefused;
    }
}

}  // namespace

void lacces(int code, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("lacces", args({code}), result);
    };
    if (auto fault = fault_hit("lacces")) return finish(*fault);
    int target = 0;
    if (int refused = access_target(code, target); refused < 0) return finish(refused);
    path to = state().cursor;
    to.back() = frame{target, 0};
    move_cursor(to);
    finish(static_cast<int>(current_line()->words.size()));
}

void ljump(int n, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("ljump", args({n}), result);
    };
    if (auto fault = fault_hit("ljump")) return finish(*fault);
    const int size = list_size();
    if (size == 0) return finish(0);
    const long long at = cursor_line();
    long long target = at >= size && n >= 0 ? size : std::clamp(at + n, 0LL, static_cast<long long>(size - 1));
    go_to_line(static_cast<int>(target));
    finish(position_answer(static_cast<int>(target), size));
}

void llines(int& count)
{
    count = list_size();
    trace_call("llines", "", count);
}

void lcreat(int mode, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("lcreat", args({mode}), result);
    };
    if (auto fault = fault_hit("lcreat")) return finish(*fault);
    const int size = list_size();
    const int at = std::min(cursor_line(), size);
    int insert_at = 0;
    if (mode == kCreateBefore)
        insert_at = at;
    else if (mode == kCreateAfter)
        insert_at = at >= size ? size : at + 1;
    else if (mode == kCreateAppend)
        insert_at = size;
    else
        return finish(kRefused);
    line_list& list = current_list();
    list.insert(list.begin() + insert_at, line{});
    shift_markers_for_lines(insert_at, 1);
    path to = state().cursor;
    to.back() = frame{insert_at, 0};
    move_cursor(to);
    state().line_open = true;
    refresh_parent_link();
    finish(0);
}

void lclos(int& status)
{
    status = 0;
    if (auto fault = fault_hit("lclos"))
        status = *fault;
    else
        state().line_open = false;
    trace_call("lclos", "", status);
}

void ldelet(int count, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("ldelet", args({count}), result);
    };
    if (auto fault = fault_hit("ldelet")) return finish(*fault);
    if (!current_line()) return finish(kEnd);
    const int at = cursor_line();
    // -1 deletes the current line alone and leaves the cursor before it.
    const bool stay_before = count == kDeleteLeavingBefore;
    const int lines = stay_before ? 1 : count;
    if (lines < 1 || lines > list_size() - at) return finish(kRefused);
    line_list& list = current_list();
    list.erase(list.begin() + at, list.begin() + at + lines);
    shift_markers_for_lines(at, -lines);
    // Deletion starts at the current line, so an open line is always among the deleted ones.
    state().line_open = false;
    state().cursor.back() = frame{stay_before && at > 0 ? at - 1 : at, 0};
    refresh_parent_link();
    finish(0);
}

// Enters the sub-list of the current line at its end (the line must have one).
static void enter_sublist(line& owner)
{
    path to = state().cursor;
    to.push_back(frame{static_cast<int>(owner.sublist.size()), 0});
    move_cursor(to);
    refresh_parent_link();
}

void subls1(int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("subls1", "", result);
    };
    if (auto fault = fault_hit("subls1")) return finish(*fault);
    line* owner = current_line();
    if (!owner) return finish(kEnd);
    if (current_level() >= kListMaxLevels) return finish(kRefused);
    owner->has_sublist = true;
    enter_sublist(*owner);
    finish(0);
}

void clsls1(int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("clsls1", "", result);
    };
    if (auto fault = fault_hit("clsls1")) return finish(*fault);
    if (current_level() <= 1) return finish(kEnd);
    leave_to_level(current_level() - 1);
    finish(0);
}

void newls1(int level, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("newls1", args({level}), result);
    };
    if (auto fault = fault_hit("newls1")) return finish(*fault);
    line* owner = current_line();
    if (!owner) return finish(kEnd);
    if (level != current_level() + 1 || level > kListMaxLevels) return finish(kRefused);
    if (!owner->sublist.empty()) return finish(kOccupied);
    owner->has_sublist = true;
    state().counters[static_cast<std::size_t>(level)] = 0;
    enter_sublist(*owner);
    finish(0);
}

void ltop(int& status)
{
    status = 0;
    if (auto fault = fault_hit("ltop"))
        status = *fault;
    else
        leave_to_level(1);
    trace_call("ltop", "", status);
}

void gtlstn(int mode, int& level, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("gtlstn", args({mode, level}), result);
    };
    if (auto fault = fault_hit("gtlstn")) return finish(*fault);
    if (mode == kGet) {
        level = current_level();
        return finish(0);
    }
    if (mode != kSet || level < 1 || level > current_level()) return finish(kRefused);
    leave_to_level(level);
    finish(0);
}

void gsblkn(int mode, int level, int& number, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("gsblkn", args({mode, level, number}), result);
    };
    if (auto fault = fault_hit("gsblkn")) return finish(*fault);
    const int which = level == 0 ? current_level() : level;
    if (which < 1 || which > kListMaxLevels) return finish(kRefused);
    int& counter = state().counters[static_cast<std::size_t>(which)];
    if (mode == kGet) {
        number = counter;
        return finish(0);
    }
    if (mode != kSet || number < 0) return finish(kRefused);
    counter = number;
    if (which == current_level()) refresh_parent_link();
    finish(0);
}

// A marker still names a place in the tree (it always does while the calls keep it in step;
// checked all the same before the cursor is put there).
static bool marker_reachable(const path& marker)
{
    if (marker.empty()) return false;
    const line_list* list = list_along(marker, marker.size());
    return list && marker.back().line >= 0 && marker.back().line <= static_cast<int>(list->size());
}

void lmark(int mode, int marker, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("lmark", args({mode, marker}), result);
    };
    if (auto fault = fault_hit("lmark")) return finish(*fault);
    if (marker < 1 || marker > kListMaxMarkers) return finish(kRefused);
    auto& markers = state().markers;
    if (mode == kMarkSet) {
        markers[marker] = state().cursor;
        return finish(1);
    }
    if (mode != kMarkReturn) return finish(kRefused);
    auto found = markers.find(marker);
    if (found == markers.end() || !marker_reachable(found->second)) return finish(kEnd);
    move_cursor(found->second);
    finish(1);
}
