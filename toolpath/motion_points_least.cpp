// PRVPNT and NXTPOI, least version (see the header): the search for a movement block around the
// current position, and the end point of the block found.
#include "toolpath/motion_points_least.hpp"

#include "driver/motion_state_least.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kMarker = 1;
constexpr int kMarkSet = 1, kMarkReturn = 2;
constexpr int kAtListEnd = 1, kUnmoved = -2;

struct search_names {
    int step;                 // -1 back (PRVPNT), 1 forward (NXTPOI)
    const char* no_marker;
    const char* list_errors;
};
constexpr search_names kPrevious{-1, "PRVPNT, CANNOT SET A MARKER", "PRVPNT, ERRORS IN LIST"};
constexpr search_names kNext{1, "NXTPOI - CANNOT SET A MARKER", "NXTPOI,ERRORS IN LIST"};

void current_tool_position(point3& point, point3& direction)
{
    for (int i = 0; i < 3; ++i) {
        point[static_cast<std::size_t>(i)] = DSP8().real(tool_position_state::kPosition + i);
        direction[static_cast<std::size_t>(i)] = DSP8().real(tool_position_state::kAxis + i);
    }
}

// Reads the head of the current block; true when it is a movement block, whose size and type
// are then given.
bool at_movement_block(int& size, int& type, int& status)
{
    int block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status >= 0 && block_class == kClassMotion;
}

bool is_line_type(int type) { return type == 2 || type == 22 || type == 222 || type == 7 || type == 27 || type == 227; }

void search(const search_names& names, int examine_current, point3& point, point3& direction, int& number,
            int& status)
{
    int marked = 0;
    lmark(kMarkSet, kMarker, marked);
    if (marked < 0) {
        eroutc(names.no_marker, 0);
        status = kFailed;
        return;
    }
    status = 0;
    int size = 0, type = 0, jumped = 0;
    bool found = false, at_end = false;
    if (!examine_current) tp_list_jump(names.step, jumped);
    if (jumped == kUnmoved) at_end = true;
    else if (jumped < 0) status = jumped;
    int lines = 0;
    llines(lines);
    // One block per round, never more rounds than the level has lines.
    for (int round = 0; round <= lines && !at_end && status >= 0; ++round) {
        found = at_movement_block(size, type, status);
        if (found || status < 0) break;
        tp_list_jump(names.step, jumped);
        if (jumped == kFailed) status = kFailed;
        at_end = jumped == kUnmoved;
        if (jumped == kAtListEnd) {
            // Reached the first (last) block: it is examined once more below, then the search ends.
            found = at_movement_block(size, type, status);
            at_end = true;
        }
    }
    if (status >= 0 && !found && names.step < 0) {
        lmark(kMarkReturn, kMarker, marked);
        found = at_movement_block(size, type, status);
    }
    if (status >= 0 && found) motion_end_point(type, size, point, direction, number, status);
    else if (status >= 0) current_tool_position(point, direction);
    int back = 0;
    lmark(kMarkReturn, kMarker, back);
    if (status < 0 || back < 0) {
        eroutc(names.list_errors, 0);
        status = kFailed;
        return;
    }
    status = at_end ? kAtListEnd : 0;
}

}  // namespace

void motion_end_point(int type, int size, point3& point, point3& direction, int& number, int& status)
{
    status = 0;
    direction = kDefaultDirection;
    if (is_line_type(type)) {
        tp_line_point p;
        tpread_lines(kWhereList, type, size, p, status);
        for (int i = 1; i < p.points && status >= 0; ++i) tpread_lines(kWhereList, type, size, p, status);
        number = p.number, point = p.point, direction = p.direction;
    } else if (type == 3 || type == 23 || type == 223) {
        tp_arc_block a;
        tpread_arc(kWhereList, type, a, status);
        number = a.number, point = a.end, direction = a.direction;
    } else if (type == 31) {
        tp_drill_loc_block d;
        tpread_drill_loc(kWhereList, size, d, status);
        number = d.number, point = d.point, direction = d.direction;
    } else if (type == 9) {
        tp_macsys_rot_block m;
        tpread_macsys_rot(kWhereList, m, status);
        number = m.number, point = m.end;
    } else if (type == 11) {
        tp_lathe_drill_block l;
        tpread_lathe_drill(kWhereList, l, status);
        number = l.number, point = l.point;
    } else if (type == 13) {
        tp_thread_block t;
        tpread_thread(kWhereList, t, status);
        number = t.number, point = t.end;
    } else if (type == 14) {
        tp_groove_block g;
        tpread_groove(kWhereList, g, status);
        number = g.number, point = g.end;
    } else {
        tp_get_int(kWhereList, number, status);
        current_tool_position(point, direction);
    }
}

void PRVPNT(int examine_current, point3& point, point3& direction, int& number, int& status)
{
    search(kPrevious, examine_current, point, direction, number, status);
}

void NXTPOI(int examine_current, point3& point, point3& direction, int& number, int& status)
{
    search(kNext, examine_current, point, direction, number, status);
}
