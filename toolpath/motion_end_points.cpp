// End points of movement blocks, read where they stand in the list or an entity.
#include "toolpath/motion_end_points.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1, kUnmoved = -2;
constexpr int kAtListEnd = 1;
constexpr int kMarker = 1;
constexpr int kMarkSet = 1, kMarkReturn = 2;
constexpr int kGet = 1;

// The WHERE words are skipped with: the list, or the open entity.
int skip_where(int where)
{
    if (where == kWhereListWorld || where == kWhereListNumbered) return kWhereList;
    if (where == kWhereParamLine) return kWhereEntity;
    return where;
}

void current_tool_position(point3& point, point3& direction)
{
    for (int i = 0; i < 3; ++i) {
        point[static_cast<std::size_t>(i)] = DSP8().real(tool_position_state::kPosition + i);
        direction[static_cast<std::size_t>(i)] = DSP8().real(tool_position_state::kAxis + i);
    }
}

// The last point of a line or string: the first point read, the points between skipped.
void string_end(int where, int type, int size, point3& end, point3& direction, int& number, int& status)
{
    tp_line_point p;
    tpread_lines(where, type, size, p, status);
    const int point_words = type == 2 || type == 7 ? 4 : 7;
    if (status >= 0 && p.points > 2) {
        TPSKIP(skip_where(where), (p.points - 2) * point_words, status);
        if (status < 0) eroutc("WENDPT, ERRORS IN LIST", 0);
    }
    if (status >= 0 && p.points > 1) tpread_lines(where, type, size, p, status);
    number = p.number, end = p.point, direction = p.direction;
}

// The last control point of a NURBS move: block number, k and n, the groups before the last
// point skipped, the last point, the k trailing values skipped.
void nurbs_end(int where, point3& end, int& number, int& status)
{
    const int from = skip_where(where);
    word head[3] = {};
    tpget(from, 3, kTypeInteger, head, status);
    const int k = head[1], n = head[2];
    if (status >= 0 && (k < 0 || n < 1)) status = kFailed;
    if (status >= 0) TPSKIP(from, 4 * n - 3, status);
    word last[3] = {};
    if (status >= 0) tpget(from, 3, kTypeReal, last, status);
    if (status >= 0 && k > 0) TPSKIP(from, k, status);
    number = head[0];
    end = {word_to_real(last[0]), word_to_real(last[1]), word_to_real(last[2])};
}

bool at_movement_block(int& size, int& type, int& status)
{
    int block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status >= 0 && block_class == kClassMotion;
}

struct search_names {
    int step;  // -1 back (PRVPNT), 1 forward (NXTPOI)
    const char* no_marker;
    const char* list_errors;
};
constexpr search_names kPrevious{-1, "PRVPNT, CANNOT SET A MARKER", "PRVPNT, ERRORS IN LIST"};
constexpr search_names kNext{1, "NXTPOI - CANNOT SET A MARKER", "NXTPOI,ERRORS IN LIST"};

// Steps block by block from the start until a movement block (found) or the first (last) block
// of the list (at_end).
void step_to_movement(const search_names& names, int examine_current, bool& found, bool& at_end, int& status)
{
    int size = 0, type = 0, jumped = 0;
    if (!examine_current) tp_list_jump(names.step, jumped);
    if (jumped == kUnmoved)
        at_end = true;
    else if (jumped < 0)
        status = jumped;
    int lines = 0;
    llines(lines);
    // One block per round, never more rounds than the level has lines.
    for (int round = 0; round <= lines && !at_end && status >= 0; ++round) {
        found = at_movement_block(size, type, status);
        if (found || status < 0) return;
        tp_list_jump(names.step, jumped);
        if (jumped == kFailed) status = kFailed;
        at_end = jumped == kUnmoved;
        if (jumped == kAtListEnd) {
            found = at_movement_block(size, type, status);
            at_end = true;
        }
    }
}

void search(const search_names& names, int examine_current, point3& point, point3& direction, int& number, int& status)
{
    int marked = 0;
    lmark(kMarkSet, kMarker, marked);
    if (marked < 0) {
        eroutc(names.no_marker, 0);
        status = kFailed;
        return;
    }
    status = 0;
    bool found = false, at_end = false;
    step_to_movement(names, examine_current, found, at_end, status);
    if (status >= 0 && !found && names.step < 0) {
        int size = 0, type = 0;
        lmark(kMarkReturn, kMarker, marked);
        found = at_movement_block(size, type, status);
    }
    if (status >= 0 && found) {
        // ENDPNT reads the head again from the start of the block.
        int here = 0;
        lacces(0, here);
        ENDPNT(point, direction, number, status);
    } else if (status >= 0) {
        current_tool_position(point, direction);
    }
    int back = 0;
    tp_list_top_mark(kMarker, back);
    if (status < 0 || back < 0) {
        eroutc(names.list_errors, 0);
        status = kFailed;
        return;
    }
    status = at_end ? kAtListEnd : 0;
}

}  // namespace

void WENDPT(int where, int type, int size, point3& end, point3& direction, int& number, int& status)
{
    status = 0;
    direction = kDefaultDirection;
    switch (type) {
    case 2:
    case 22:
    case 222:
    case 7:
    case 27:
    case 227: string_end(where, type, size, end, direction, number, status); break;
    case 3:
    case 23:
    case 223: {
        tp_arc_block a;
        tpread_arc(where, type, a, status);
        number = a.number, end = a.end, direction = a.direction;
        break;
    }
    case 5:
    case 25:
    case 225: nurbs_end(where, end, number, status); break;
    case 31: {
        tp_drill_loc_block d;
        tpread_drill_loc(where, size, d, status);
        number = d.number, end = d.point, direction = d.direction;
        break;
    }
    case 9: {
        tp_macsys_rot_block m;
        tpread_macsys_rot(where, m, status);
        number = m.number, end = m.end;
        break;
    }
    case 11: {
        tp_lathe_drill_block l;
        tpread_lathe_drill(where, l, status);
        number = l.number, end = l.point;
        break;
    }
    case 13: {
        tp_thread_block t;
        tpread_thread(where, t, status);
        number = t.number, end = t.end;
        break;
    }
    case 14: {
        tp_groove_block g;
        tpread_groove(where, g, status);
        number = g.number, end = g.end;
        break;
    }
    default:
        // A movement type without an end point of its own (the old drill block): the tool stays.
        tp_get_int(skip_where(where), number, status);
        current_tool_position(end, direction);
    }
    // A normal is no direction: only 22, 23 and 27 carry one.
    if (type == 222 || type == 223 || type == 227) direction = kDefaultDirection;
    if (status > 0) status = 0;
}

void ENDPNT(point3& end, point3& direction, int& number, int& status)
{
    int lines = 0;
    llines(lines);
    // One block per round: a level of n lines is walked within n rounds.
    for (int round = 0; round <= lines; ++round) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) break;
        if (block_class == kClassMotion) {
            WENDPT(kWhereList, type, size, end, direction, number, status);
            if (status < 0) break;
            return;
        }
        int jumped = 0;
        tp_list_jump(1, jumped);
        if (jumped == kUnmoved) {
            eroutc("ENDPNT, A MOVEMENT BLOCK WAS NOT FOUND", 0);
            status = kUnmoved;
            return;
        }
        if (jumped < 0) {
            status = jumped;
            break;
        }
    }
    eroutc("ENDPT,ERRORS IN LIST", 0);
    status = kFailed;
}

void PRVPNT(int examine_current, point3& point, point3& direction, int& number, int& status)
{
    search(kPrevious, examine_current, point, direction, number, status);
}

void NXTPOI(int examine_current, point3& point, point3& direction, int& number, int& status)
{
    search(kNext, examine_current, point, direction, number, status);
}

void tp_list_top_mark(int marker, int& status)
{
    lclos(status);
    ltop(status);
    int returned = 0;
    lmark(kMarkReturn, marker, returned);
    status = returned < 0 ? returned : 0;
}

void get_prev_blkno(int& number)
{
    int status = 0;
    number = 0;
    gsblkn(kGet, 0, number, status);
    number -= 1;
}
