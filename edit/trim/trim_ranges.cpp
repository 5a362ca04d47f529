// The trimming driver's ranges (see the header).
#include "edit/trim/trim_ranges.hpp"

#include "edit/editor/connect_tables.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/region_range.hpp"
#include "edit/trim/motion_walk.hpp"
#include "edit/trim/project_on_surf.hpp"
#include "edit/trim/trim_action.hpp"
#include "edit/trim/trim_arrays.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_surfaces.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_ncd_file.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_list_access.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFirstLine = 2;
constexpr int kRangeMarker = 10, kRangeEndMarker = 11, kResumeMarker = 18;
constexpr int kMarkSet = 1;
constexpr int kInside = 1, kOnContour = 2, kOutside = 3;
constexpr int kEndOfList = -2;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};

float origin_z() { return NPT1().real(tp_header_state::kMacsysOrigin + 2); }

void set_marker(int marker, int& status)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    status = answer >= 1 ? 0 : -1;
}

// The trim action on first .. last with the page's heights made absolute.
void trim_action(int first, int last, point3 point, point3 direction, int start_flag, int end_flag, int dimension,
                 int& count, int& status)
{
    const trim_state& w = trim_words();
    float clear_z = w.clear + origin_z();
    float z_plane = w.z_plane + origin_z();
    int surfaces = static_cast<int>(trim_surfaces().ids.size());
    delete_trimed_blocks(first, last, point, direction, clear_z, surfaces, start_flag, dimension, end_flag, z_plane,
                         status);
    if (status >= 0) ++count;
}

// The procedure's first motion, its kind and the position before the procedure. Marker 10 stands
// on the first motion.
bool procedure_start(int& first, int& last, int& kind, point3& start, int& status)
{
    lacces(kFirstLine, status);
    if (status >= 0) trim_first_last_motion(first, last, kUp, kind, status);
    if (status < 0) return false;
    block_ref a{2, list_cursor().cursor_proc_blkno, first}, b = a;
    int layer = 0, no_previous = 0;
    point3 direction{};
    FNDRNG(kRangeMarker, kRangeEndMarker, a, b, 0, layer, no_previous, start, direction, status);
    return status >= 0;
}

int trimmed_direction() { return trim_words().side == 1 ? kInside : kOutside; }

// The end of the procedure: a range still open runs to it, and is the last.
void close_at_end(contour_walk& walk)
{
    walk.ended = true;
    if (walk.tentative) walk.in_range = false;
    walk.to_end = walk.in_range;
    if (walk.in_range) walk.found = true;
    walk.in_range = false;
    trim_words().end_reached = walk.to_end ? 1 : 0;
}

// The walk's start. The procedure's first motion leads onto the path from where the tool stood
// before it: the side its end lies on decides where the walk begins, and the walk goes on from
// the motion after it. An end on the trimmed side (or on the contour) opens a range at the first
// motion; on the contour the range is only tentative (see change_side).
void start_walk(contour_walk& walk, int& status)
{
    int first = 0, last = 0, kind = 1;
    point3 before{};
    if (!procedure_start(first, last, kind, before, status)) return;
    lacces(kFirstLine, status);
    if (status < 0) return;
    status = 0;
    trim_block_flags(0, status);
    uitr_set(1);
    walk = contour_walk{};
    walk.started = true;
    walk.kind = kind;
    walk.previous = before;
    int number = 0, type = 0;
    trim_read_motion(1, number, type, walk.current.data(), walk.direction.data(), status);
    if (status < 0) return;
    const int side = contour_side(walk.current);
    trim_state& w = trim_words();
    const bool trimmed = side == kOnContour || side == trimmed_direction();
    w.walk_direction = trimmed ? trimmed_direction() : 4 - trimmed_direction();
    if (trimmed) {
        walk.in_range = true;
        walk.tentative = side == kOnContour;
        walk.first = walk.last = first;
        walk.start_flag = 1;
    }
    tp_list_jump(1, status);
    if (status == kEndOfList) {
        status = 0;
        close_at_end(walk);
    }
}

void open_range(contour_walk& walk, int number, int segment, double along, int& status)
{
    trim_state& w = trim_words();
    walk.in_range = true;
    walk.tentative = false;
    walk.first = walk.last = number;
    walk.first_unread = true;
    walk.start_flag = 0;
    w.range_start_segment = segment;
    w.range_start_along = along;
    // The trim action reads forward from marker 10 to the range's first block.
    int moved = 0;
    tp_list_jump(-1, moved);
    set_marker(kRangeMarker, status);
    if (moved >= 0) tp_list_jump(1, moved);
}

// A change of side at the motion `number`, the flags of the walk's step: before (the piece before
// the crossing lies on the trimmed side) and after (the path goes on on the trimmed side). Going
// on on the trimmed side opens a range, going on on the kept side closes it. A tentative range
// (the procedure starts on the contour) holds nothing to trim until a piece of it lies on the
// trimmed side: met first by a piece on the kept side it is dropped.
void change_side(contour_walk& walk, int before, int after, int number, int segment, double along, int& status)
{
    trim_state& w = trim_words();
    w.walk_direction = after != 0 ? trimmed_direction() : 4 - trimmed_direction();
    if (before != 0) walk.tentative = false;
    if (walk.in_range && walk.tentative) walk.in_range = false;
    if (after != 0) {
        if (walk.in_range)
            walk.last = number;
        else
            open_range(walk, number, segment, along, status);
        return;
    }
    if (!walk.in_range) return;
    walk.in_range = false;
    walk.found = true;
    walk.last = number;
    w.range_end_segment = segment;
    w.range_end_along = along;
}

// A step without a change of side extends the range it lies in. While the range is tentative the
// motion's middle tells whether it lies on the trimmed side (the range holds something to trim)
// or on the kept side (the path left the contour there: the range is dropped).
void go_on(contour_walk& walk, int number)
{
    if (!walk.in_range) return;
    walk.last = number;
    if (!walk.tentative) return;
    const point3 middle{(walk.previous[0] + walk.current[0]) / 2, (walk.previous[1] + walk.current[1]) / 2,
                        (walk.previous[2] + walk.current[2]) / 2};
    const int side = contour_side(middle);
    if (side == trimmed_direction()) walk.tentative = false;
    if (side == 4 - trimmed_direction()) {
        walk.in_range = false;
        trim_words().walk_direction = side;
    }
}

}  // namespace

void trim_all_blocks(int& count, int& status)
{
    int first = 0, last = 0, kind = 1;
    point3 start{};
    if (!procedure_start(first, last, kind, start, status)) return;
    trim_words().end_reached = 1;
    trim_action(first, last, start, kUp, 1, 1, kind, count, status);
}

void trim_chains(const int* pairs, int pair_count, int& count, int& status)
{
    status = 0;
    int entry_first = 0, entry_last = 0;
    trim_entry_range(entry_first, entry_last, status);
    trim_words().first_chain = 1;
    for (int k = 0; k + 1 < pair_count && status >= 0; k += 2) {
        block_ref a{2, list_cursor().cursor_proc_blkno, pairs[k]};
        block_ref b{2, list_cursor().cursor_proc_blkno, pairs[k + 1]};
        int layer = 0, no_previous = 0;
        point3 point{}, direction{};
        FNDRNG(kRangeMarker, kRangeEndMarker, a, b, 0, layer, no_previous, point, direction, status);
        if (status < 0) return;
        // The action reads forward from marker 10: it is set one block before the chain.
        tp_list_top_mark(kRangeMarker, status);
        int moved = 0;
        if (status >= 0) tp_list_jump(-1, moved);
        if (status >= 0) set_marker(kRangeMarker, status);
        if (status < 0) return;
        int first = a.number;
        const int start_flag = first == entry_first || first == entry_last ? 1 : 0;
        if (first == entry_last) first = entry_first;
        int kind = 1, read = 0, type = 0;
        point3 end{}, end_direction{};
        trim_read_motion(1, read, type, end.data(), end_direction.data(), status);
        if (status >= 0) kind = motion_dimension_kind(type);
        tp_list_top_mark(kRangeMarker, status);
        if (status < 0) return;
        trim_action(first, b.number, point, direction, start_flag, 0, kind, count, status);
    }
    if (status > 0) status = 0;
}

void contour_next_range(contour_walk& walk, int& status)
{
    status = 0;
    if (!walk.started) start_walk(walk, status);
    if (status < 0) return;
    walk.found = false;
    const int start_side = trim_words().side == 1 ? 1 : 0;
    while (!walk.found && !walk.ended) {
        int boundary = 0, first_flag = 0, second_flag = 0, type = 0, number = 0, segment = 0, kind = 0;
        double along = 0.0;
        get_next_movment(walk.current, walk.previous, walk.direction, walk.previous_direction, start_side, boundary,
                         first_flag, second_flag, type, number, segment, along, kind, status);
        // The end of the list comes either before a motion (none read) or after the procedure's
        // last motion was read and judged: that motion still belongs to the range it lies in.
        const bool list_ended = status == kEndOfList;
        if (list_ended) status = 0;
        if (status < 0) return;
        if (list_ended && number == 0) {
            close_at_end(walk);
            break;
        }
        const bool first_unread = walk.first_unread;
        walk.first_unread = false;
        if (first_flag != second_flag || boundary != 0) {
            change_side(walk, first_flag, second_flag, number, segment, along, status);
            // The range's first motion was cut where it leaves the side: its first piece begins it.
            if (walk.found && first_unread) walk.first = number;
        } else {
            go_on(walk, number);
        }
        if (status < 0) return;
        if (list_ended) close_at_end(walk);
    }
    if (walk.found && !walk.ended) set_marker(kResumeMarker, status);
}

void contour_trim_range(contour_walk& walk, int& count, int& status)
{
    if (!walk.ended) tp_list_top_mark(kResumeMarker, status);
    if (status < 0) return;
    status = 0;
    // The walk goes on where it stopped, under the feed in force there: the action writes its
    // connection before that place and reads its own feeds.
    const float feed = trim_words().current_feed;
    trim_action(walk.first, walk.last, walk.previous, walk.previous_direction, walk.start_flag, walk.to_end ? 1 : 0,
                walk.kind, count, status);
    trim_words().current_feed = feed;
    walk.found = false;
    walk.start_flag = 0;
    if (status > 0) status = 0;
}

namespace {

// The stretch a check gathers: the points of the path on the trimmed side with their vectors, in
// the trim action's collected arrays of trim_words(), which project_on_surf reads. The arrays are
// open for the check's life.
class check_stretch {
public:
    explicit check_stretch(int& status)
    {
        trim_words().collected_count = 0;
        trim_arrays_open(status);
    }
    check_stretch(const check_stretch&) = delete;
    check_stretch& operator=(const check_stretch&) = delete;
    ~check_stretch()
    {
        trim_arrays_close();
        trim_words().collected_count = 0;
    }
    // Appends the piece a -> b, joined to the stretch when it goes on from the stretch's last point.
    void add(const point3& a, const point3& va, const point3& b, const point3& vb, int& status)
    {
        const trim_state& t = trim_words();
        const auto* points = static_cast<const point3*>(mmcptr(t.collected_points));
        if (t.collected_count == 0 || pts_differ(points[t.collected_count - 1], a) != 0) append(a, va, status);
        if (status >= 0) append(b, vb, status);
    }
    // Checks the stretch against the reference surfaces (marks only) and empties it.
    void check(int& count, int& status)
    {
        trim_state& t = trim_words();
        if (t.collected_count >= 2) {
            int approach = 0;
            project_on_surf(static_cast<int>(trim_surfaces().ids.size()), approach, 0, 0, status);
            if (status > 0) status = 0;
            if (status >= 0) ++count;
        }
        t.collected_count = 0;
    }

private:
    void append(const point3& p, const point3& v, int& status)
    {
        trim_state& t = trim_words();
        array_room(t.collected_points, rooms_[0], t.collected_count + 1, status);
        if (status >= 0) array_room(t.collected_vectors, rooms_[1], t.collected_count + 1, status);
        if (status < 0) return;
        static_cast<point3*>(mmcptr(t.collected_points))[t.collected_count] = p;
        static_cast<point3*>(mmcptr(t.collected_vectors))[t.collected_count] = v;
        ++t.collected_count;
    }
    int rooms_[2] = {kTrimArrayStart, kTrimArrayStart};
};

}  // namespace

void contour_check(int& count, int& status)
{
    status = 0;
    int first = 0, last = 0, kind = 1;
    point3 at{}, direction{kUp};
    if (!procedure_start(first, last, kind, at, status)) return;
    lacces(kFirstLine, status);
    if (status < 0) return;
    check_stretch stretch(status);
    if (status < 0) return;
    int lines = 0;
    llines(lines);
    std::vector<point3> points, vectors;
    for (int round = 0; round <= lines && status >= 0; ++round) {
        int number = 0, type = 0;
        point3 end = at, end_direction = direction;
        trim_read_motion(1, number, type, end.data(), end_direction.data(), status);
        if (status == kEndOfList) break;
        if (status >= 0) motion_cut_at_contour(at, direction, points, vectors, status);
        for (std::size_t i = 0; i + 1 < points.size() && status >= 0; ++i) {
            const point3 middle{(points[i][0] + points[i + 1][0]) / 2, (points[i][1] + points[i + 1][1]) / 2,
                                (points[i][2] + points[i + 1][2]) / 2};
            if (contour_side(middle) == trimmed_direction())
                stretch.add(points[i], vectors[i], points[i + 1], vectors[i + 1], status);
            else
                stretch.check(count, status);
        }
        if (status < 0) return;
        at = end;
        direction = end_direction;
        int moved = 0;
        tp_list_jump(1, moved);
        if (moved < 0) break;
    }
    status = 0;
    stretch.check(count, status);
}

void contour_range_attention(const contour_walk& walk, int flag)
{
    const int list = list_cursor().cursor_proc_blkno;
    ncd_set_blocks_attention(kCurrentDisplayFile, {2, list, walk.first}, {2, list, walk.last}, flag);
}
