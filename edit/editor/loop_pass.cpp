// The point string of one pass of the loop trimming (collect_loop_pass): from the list position
// on, lines add their end points and arcs their polygons, until the range's last block, the
// string's room or the end of a pass (a PASS or cutting-end marker, then the next PASS start).
#include "edit/editor/loop_trimming.hpp"

#include "host/vantu.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kMarkSet = 1;
constexpr int kNextPassMarker = 8;
// Marker codes: a pass or cut closes (6, 32) and the next one opens (5, 31).
constexpr int kPassClose = 6, kCutClose = 32, kPassOpen = 5, kCutOpen = 31;

bool is_line(int type) { return type == 2 || type == 222; }
bool is_arc(int type) { return type == 3 || type == 223; }

void add_entry(loop_string& s, const point3& point, const point3& direction, int type, int number)
{
    s.points.push_back(point);
    s.directions.push_back(direction);
    s.types.push_back(type);
    s.numbers.push_back(number);
}

// The arc at the list position as polygon entries after the string's last entry.
void add_arc(loop_string& s, int type, int& number, int& status)
{
    int size = 0, block_class = 0;
    tp_arc_block arc;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status >= 0) tpread_arc(kWhereList, type, arc, status);
    if (status < 0) return;
    number = arc.number;
    const int room = kLoopStringRoom - static_cast<int>(s.points.size());
    std::vector<point3> points(static_cast<std::size_t>(std::max(room, 0))), directions(points.size());
    int count = 0;
    ARC2PL(0, arc.plane, arc.angle, kLoopArcTolerance, arc.centre, s.points.back(), s.directions.back(), arc.end,
           arc.direction, room, points, directions, count, status);
    for (int k = 0; k < count && status == 0; ++k)
        add_entry(s, points[static_cast<std::size_t>(k)], directions[static_cast<std::size_t>(k)], type, number);
}

}  // namespace

void collect_loop_pass(int last_number, loop_string& s, int& range_end, int& status)
{
    range_end = 0;
    status = 0;
    bool collecting = true;
    for (;;) {
        int size = 0, type = 0, block_class = 0, number = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        word w = 0;
        if (status >= 0) tpget(kWhereList, 1, 0, &w, status);
        number = w;
        if (status < 0) break;
        if (block_class == kClassMarker) {
            tp_marker_block marker;
            tp_block_head_read(kWhereList, size, type, block_class, status);
            if (status >= 0) tpread_marker(kWhereList, size, marker, status);
            if (status < 0) break;
            if (!collecting && (marker.code == kPassOpen || marker.code == kCutOpen)) return;
            if (marker.code == kPassClose || marker.code == kCutClose) collecting = false;
        } else if (block_class == kClassMotion && collecting) {
            if (is_line(type)) {
                point3 end{}, direction{};
                NXTPOI(1, end, direction, number, status);
                add_entry(s, end, direction, type, number);
            } else if (is_arc(type)) {
                add_arc(s, type, number, status);
            } else {
                userrc("TRIMMING LOOPS CAN ONLY WORK ON :|LINEAR OR CIRCULAR MOTION BLOCKS");
                status = kLoopNotLinearOrCircular;
                return;
            }
            if (status < 0) break;
            if (static_cast<int>(s.points.size()) >= kLoopStringRoom) {
                user1c("NUMBER OF POINTS THAT CAN BE TAKEN AT A TIME IS LIMITTED TO", 'I', kLoopStringRoom, "");
                range_end = 1;
            }
        }
        if (number == last_number) range_end = 1;
        if (range_end != 0) return;
        // A positive status is a move onto the list's last block; a block beyond it is missing.
        tp_list_jump(1, status);
        if (status < 0) break;
        status = 0;
        int answer = 0;
        lmark(kMarkSet, kNextPassMarker, answer);
    }
    eroutc("EDTLOP, ERRORS IN LIST", 0);
    status = kLoopListError;
}
