// Loop removal of a loop on surfaces (dimension 3): the loop is walked element by element from a
// start point; every crossing met is entered into the crossing table (ckintr), and where the
// entry says so the walk jumps to the crossing element. Loop 0 runs from the first entry to the
// end; every further loop starts at a crossing still open.
#include "pocket_arrays/delups.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/segment_interpolate.hpp"
#include "pocket_arrays/value_scope.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* kNotSpaceText = "[delups] ONLY 3D ARRAYS SUPPORTED BY DELUPS";
constexpr int kSideStart = 0;
constexpr int kSideEnd = 1;
constexpr int kSideInside = -99;
constexpr int kJunctionCode = 19;
constexpr double kAntiParallel = -0.98;
constexpr int kSearchMode = 1;
constexpr int kStartCheck = 2;
constexpr int kNeighbourBefore = 2;
constexpr int kNeighbourAfter = 1;
// The pocket dimension of lanes on the surface grid.
constexpr int kSurfaceGridDimension = 3;

void point_of(const pokarr& a, int i, double* p)
{
    for (int k = 0; k < 3; ++k) p[k] = pokarr_coordinate(a, i, k);
}

// The element whose end is entry i: a line from i - 1, or the arc whose marker is i.
struct walk_element {
    bool arc = false;
    int end = 0;   // entry of the end point
    int next = 0;  // the following element
    double centre[2] = {0.0, 0.0}, radius = 0.0, direction = 1.0;
};

walk_element element_at(const pokarr& a, int i)
{
    walk_element e;
    if (i + 3 < a.count && pk_is_marker(a.x[i])) {
        e.arc = true;
        e.end = i + 3;
        e.next = i + kArcRecordEntries;
        e.radius = a.x[i + 1];
        e.direction = a.y[i + 1] < 0.0 ? -1.0 : 1.0;
        e.centre[0] = a.x[i + 2], e.centre[1] = a.y[i + 2];
    } else {
        e.end = i;
        e.next = i + 1;
    }
    return e;
}

// Side code of a point on the element from start to end.
int side_code(const double* p, const double* start, const double* end)
{
    if (pk_eq_pnt(p, start)) return kSideStart;
    if (pk_eq_pnt(p, end)) return kSideEnd;
    return kSideInside;
}

// Unit direction of the element ending at entry e (a line in space).
void direction_of(const pokarr& a, int e, double* d)
{
    const walk_element el = element_at(a, e);
    double s[3], t[3];
    point_of(a, e - 1, s);
    point_of(a, el.end, t);
    double length = 0.0;
    for (int k = 0; k < 3; ++k) d[k] = t[k] - s[k], length += d[k] * d[k];
    length = std::sqrt(length);
    if (length > 0.0)
        for (int k = 0; k < 3; ++k) d[k] /= length;
}

// Directions into and out of the junction on element e by its side code.
void junction_dirs(const pokarr& a, int e, int code, double* in, double* out)
{
    direction_of(a, e, in);
    std::copy(in, in + 3, out);
    int element = e, flag = 0, kind = 0;
    if (code == kSideStart) pk_elem_neighbour(kNeighbourBefore, element, flag, -1, a, e, kind, in);
    if (code == kSideEnd) pk_elem_neighbour(kNeighbourAfter, element, flag, -1, a, e, kind, out);
}

// Whether the crossing of elements i and j at p is one the walk may take.
bool is_crossing(const pokarr& a, int i, int j, const double* p, int& code_i, int& code_j)
{
    double si[3], ei[3], sj[3], ej[3];
    point_of(a, i - 1, si);
    point_of(a, element_at(a, i).end, ei);
    point_of(a, j - 1, sj);
    point_of(a, element_at(a, j).end, ej);
    code_i = side_code(p, si, ei);
    code_j = side_code(p, sj, ej);
    double ai[3], ao[3], bi[3], bo[3];
    junction_dirs(a, i, code_i, ai, ao);
    junction_dirs(a, j, code_j, bi, bo);
    // Elements running along each other do not cross.
    if (pk_is_zero(vec_cross_signed(3, ao, bo)) && ao[0] * bo[0] + ao[1] * bo[1] + ao[2] * bo[2] > kAntiParallel)
        return false;
    if (code_i == kSideInside && code_j == kSideInside) return true;
    int touching = 0;
    chkjunc(kJunctionCode, ai, ao, bi, bo, touching);
    return touching == 0;
}

// A crossing at a vertex of the loop is met on the element that ends there by one walk and on
// the element that leaves it by another, while the crossing table knows a crossing by its pair of
// elements: the two would be taken for crossings of their own, and the second would open a loop
// that runs on to the loop's end and is closed by a chord straight back to the vertex. Lanes laid
// on the grid put their points on the grid lines, so the offsets of two of them meet at such a
// vertex often. A crossing at a vertex is therefore named by the first element of length that
// leaves it, whichever way it was met; the loop's closing vertex keeps the element ending there.
void name_by_leaving_element(const pokarr& a, int& e, int& code)
{
    if (code == kSideInside) return;
    double vertex[3];
    point_of(a, code == kSideEnd ? element_at(a, e).end : e - 1, vertex);
    for (int k = code == kSideEnd ? element_at(a, e).next : e; k < a.count;) {
        const walk_element leaving = element_at(a, k);
        double end[3];
        point_of(a, leaving.end, end);
        if (!pk_eq_pnt(end, vertex)) {
            e = k;
            code = kSideStart;
            return;
        }
        k = leaving.next;
    }
}

// The table's names of the crossing of elements i and j with their side codes (changed in place).
// Two elements that would take one name (only repeated points between them) keep their own.
void name_crossing(const pokarr& a, int& i, int& code_i, int& j, int& code_j)
{
    int named_i = i, named_j = j, side_i = code_i, side_j = code_j;
    name_by_leaving_element(a, named_i, side_i);
    name_by_leaving_element(a, named_j, side_j);
    if (named_i == named_j) return;
    i = named_i, j = named_j, code_i = side_i, code_j = side_j;
}

// Copies the crossing table into the search's snapshot.
void take_snapshot()
{
    const delups_state& s = delups_block;
    pk_snapshot& snap = pk_snapshot_block;
    snap.count = std::min(s.records, kSnapshotSize);
    for (int r = 0; r < snap.count; ++r) {
        snap.element[0][r] = std::abs(s.ingo[r]);
        snap.element[1][r] = std::abs(s.ingo1[r]);
        snap.element[2][r] = std::abs(s.ingo1[r]);
        snap.element[3][r] = std::abs(s.ingo[r]);
        snap.x[r] = s.xing[r], snap.y[r] = s.ying[r], snap.z[r] = s.zing[r];
    }
}

// The walk's snapshot is its own: other searches (the loop intersection) read a snapshot too, so
// it is emptied on every way out of the walk.
struct snapshot_scope {
    snapshot_scope() = default;
    snapshot_scope(const snapshot_scope&) = delete;
    snapshot_scope& operator=(const snapshot_scope&) = delete;
    ~snapshot_scope() { pk_snapshot_block.count = 0; }
};

// A crossing the walk meets a second time is passed along the other element as the first time
// (where a stretch of the offset curls back and crosses an earlier one twice, one loop of the
// walk runs through both crossings twice). When the first pass is on the loop being walked, the
// stretch walked since then is a closed loop of its own: it goes to the next result header and
// the loop is cut back to the first pass. False when the result list is full.
bool split_off_loop(const pokarr& a, const double* crossing, pokarr& loop, int& status)
{
    delups_state& s = delups_block;
    int first = -1;
    for (int e = 1; e + 1 < loop.count && first < 0; ++e)
        if (pk_eq_val(loop.x[e], crossing[0]) && pk_eq_val(loop.y[e], crossing[1])) first = e;
    if (first < 0) return true;
    if (s.result_count >= std::min(s.capacity, kDelupsTableSize)) return false;
    pokarr& piece = s.results[s.result_count];
    pokarr_init(a.dimension, piece);
    ++s.result_count;
    const int entries = loop.count - 1 - first;
    pokarr_reset(piece, entries + 1, status);
    if (status == 0) pokarr_append(entries, loop, first, piece, status);
    double closing[3];
    point_of(loop, first, closing);
    if (status == 0) pokarr_add_pnt(closing, piece, status);
    loop.count = first + 1;
    loop.area = 0.0;
    loop.direction = 0;
    return true;
}

// Whether the signed areas of the loops built add up to the whole loop's: a walk that split off
// loops must have divided the loop, not walked a stretch twice (a crossing met again where the
// loop only touches itself). The share of the larger of the two sums the areas may differ by.
constexpr double kAreaAgreement = 1.0e-6;

double signed_area_of(pokarr& loop)
{
    double area = 0.0;
    int direction = 0;
    loop.direction = 0;
    pokarr_area_dir(loop, area, direction);
    return area * direction;
}

bool loops_share_the_area(pokarr& a)
{
    delups_state& s = delups_block;
    double sum = 0.0, size = 0.0;
    for (int k = 0; k < s.result_count; ++k) {
        const double area = signed_area_of(s.results[k]);
        sum += area;
        size += std::fabs(area);
    }
    const double whole = signed_area_of(a);
    return std::fabs(sum - whole) <= kAreaAgreement * std::max(size, std::fabs(whole));
}

// The heights of the crossing at p on element i (ending at `target`) and on element j (p[2] and
// z2), 0 for a loop without heights. False where the two stand farther apart than the pocket's
// tolerance: a crossing found in plan (see lines_in_plane_for_walk) is a crossing on the surface
// only where both chords stand at the surface's height. Reads pocket_work.tolerance.
bool heights_meet(const pokarr& a, int i, int j, const double* target, double* p, double& z2)
{
    if (a.dimension == 2 || a.z == nullptr) {
        p[2] = z2 = 0.0;
        return true;
    }
    double si[3], sj[3], ej[3];
    point_of(a, i - 1, si);
    point_of(a, j - 1, sj);
    point_of(a, element_at(a, j).end, ej);
    int vertical = 0;
    segment_interpolate_d(si, target, nullptr, nullptr, p, p[2], nullptr, vertical);
    segment_interpolate_d(sj, ej, nullptr, nullptr, p, z2, nullptr, vertical);
    return !pokarr_search_lines_in_plane || std::fabs(p[2] - z2) <= pocket_work_block.tolerance;
}

// Asked so (delups_state.crossings_in_plan), the walk over a loop of pocket dimension 3 meets
// crossings in the plane: such a loop lies on the surface grid, a height field, so that two of
// its stretches that cross in plan cross on the surface. Their chords between laid points stand
// off the surface by up to a few thousandths where they span cells, so that two chords over one
// crossing may pass each other in space, and the search in space walks past a crossing the loop
// makes on the surface (the raw offset of a lane running round an island that stands nearer the
// outer lane than two offsets). The walk sets the search's switch so and gives it back on every
// way out.
int lines_in_plane_for_walk()
{
    if (delups_block.crossings_in_plan != 0 && pocket_state_block.pocket_dimension == kSurfaceGridDimension) return 1;
    return pokarr_search_lines_in_plane;
}

}  // namespace

void delups(int start_element, int end_element, const double* start, double start_z2, pokarr& a,
            const pk_box_table& boxes, pokarr& loop, int& status)
{
    static_cast<void>(end_element);
    delups_state& s = delups_block;
    const snapshot_scope snapshot;
    const value_scope<int> in_plane(pokarr_search_lines_in_plane, lines_in_plane_for_walk());
    status = 0;
    pokarr_reset(loop, a.count, status);
    if (status != 0) {
        status = kDelupsArrayFailed;
        return;
    }
    std::fill(s.hits, s.hits + kCkintrMax, 0);
    if (a.dimension != 3) eroutc(kNotSpaceText, 0);
    // Without a z block there are no heights to walk with.
    if (a.dimension < 2 || a.y == nullptr) {
        status = kDelupsSearchFailed;
        return;
    }
    const bool table_was_empty = s.records == 0;
    const double absent[2] = {kDirectionAbsent, 0.0};
    double current[3] = {start[0], start[1], start[2]};
    pokarr_add_pnt(current, loop, status);
    if (status != 0) {
        status = kDelupsArrayFailed;
        return;
    }
    bool jumped = false, met_again = false;
    // The walk jumps at a new crossing; ckintr clears the flag where a crossing is met again.
    int flag = 1, i = std::max(1, start_element);
    const int bound = 4 * a.count + 2 * kCkintrMax;
    for (int steps = 0; i < a.count && steps < bound && !met_again; ++steps) {
        const walk_element el = element_at(a, i);
        double target[3];
        point_of(a, el.end, target);
        if (pk_eq_pnt(target, current)) {
            i = el.next;
            continue;
        }
        take_snapshot();
        // After a crossing the walk goes on from it: the start-point check passes over the junction
        // just recorded.
        const int mode = kSearchMode + (jumped || s.records > 0 ? kStartCheck : 0);
        int found_element = 1, found_group = 1, found = kSearchNone;
        double crossing[3] = {0.0, 0.0, 0.0};
        pokarr_elem_intersect(mode, i, 1, el.arc ? 1 : 0, el.centre, el.radius, el.direction, current, target, absent,
                              &a, a, pk_last_element(a), 1, current, boxes, found_element, found_group, crossing,
                              found);
        int code_i = 0, code_j = 0;
        double z2 = crossing[2];
        if (found != kSearchFound || !is_crossing(a, i, found_element, crossing, code_i, code_j) ||
            !heights_meet(a, i, found_element, target, crossing, z2)) {
            std::copy(target, target + 3, current);
            pokarr_add_pnt(current, loop, status);
            if (status != 0) {
                status = kDelupsArrayFailed;
                return;
            }
            i = el.next;
            continue;
        }
        int element_i = i, element_j = found_element;
        name_crossing(a, element_i, code_i, element_j, code_j);
        int entered = 0;
        ckintr(s.records, s.hits, s.ingo, s.ingo1, s.u1, s.u2, s.xing, s.ying, s.zing, s.z2ing, element_i, element_j,
               crossing[0], crossing[1], crossing[2], z2, code_i, code_j, start, flag, entered);
        if (entered == kCkintrFull) {
            status = kDelupsSearchFailed;
            return;
        }
        met_again = entered == kCkintrMetAgain;
        std::copy(crossing, crossing + 3, current);
        pokarr_add_pnt(current, loop, status);
        if (status != 0) {
            status = kDelupsArrayFailed;
            return;
        }
        if (met_again && flag == 1 && !pk_eq_pnt(current, start) && split_off_loop(a, crossing, loop, status)) {
            if (status != 0) {
                status = kDelupsArrayFailed;
                return;
            }
            met_again = false;
        }
        if (flag == 1) {
            jumped = true;
            i = element_j;
            // The walk goes on at the height on the found element (the loop may already end there
            // when it was cut back to the crossing's first pass).
            const double last_z = loop.z != nullptr ? loop.z[loop.count - 1] : current[2];
            current[2] = last_z;
            if (!pk_eq_val(last_z, z2)) {
                current[2] = z2;
                pokarr_add_pnt(current, loop, status);
                if (status != 0) {
                    status = kDelupsArrayFailed;
                    return;
                }
            }
        }
        const double first[3] = {start[0], start[1], start[2]};
        if (jumped && loop.count >= 3 && pk_eq_pnt(current, first)) break;
    }
    const double closing[3] = {start[0], start[1], start_z2};
    pokarr_add_pnt(closing, loop, status);
    if (status == 0 && !pk_eq_val(start[2], start_z2)) pokarr_add_pnt(start, loop, status);
    if (status != 0) {
        status = kDelupsArrayFailed;
        return;
    }
    const double first[3] = {start[0], start[1], start[2]};
    if (met_again && !pk_eq_pnt(current, first)) status = kDelupsWalkFailed;
    for (int r = 0; r < s.records; ++r) s.ingo1[r] = std::abs(s.ingo1[r]);
    if (table_was_empty && s.records == 1 && std::abs(s.ingo[0]) == 1 && s.u1[0] == kSideStart)
        s.ingo[0] = std::abs(s.ingo[0]);
}

void delups_3d(pokarr& a, pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    status = 0;
    if (count > 0) {
        count = s.result_count - 1;
        if (s.cursor >= s.result_count) {
            pokarr_reset(b, 0, status);
            return;
        }
        pokarr_move(s.results[s.cursor++], b, status);
        return;
    }
    delups_clear();
    static pk_box_table boxes;
    pokarr_get_boxes(a, boxes);
    s.records = 0;
    double start[3];
    point_of(a, 0, start);
    double start_z2 = start[2];
    int start_element = 1, end_element = pk_last_element(a), next_record = 0;
    // The walk may add loops of its own (split_off_loop): each loop goes to the next free header.
    int walks = 0;
    while (s.result_count < std::min(s.capacity, kDelupsTableSize)) {
        pokarr& loop = s.results[s.result_count];
        pokarr_init(a.dimension, loop);
        ++s.result_count;
        ++walks;
        delups(start_element, end_element, start, start_z2, a, boxes, loop, status);
        if (status != 0) {
            delups_clear();
            return;
        }
        while (next_record < s.records && s.ingo[next_record] <= 0) ++next_record;
        if (next_record >= s.records) break;
        const int r = next_record++;
        start_element = s.ingo[r];
        end_element = std::abs(s.ingo1[r]);
        start[0] = s.xing[r], start[1] = s.ying[r], start[2] = s.zing[r];
        start_z2 = s.z2ing[r];
    }
    if (s.result_count > walks && !loops_share_the_area(a)) {
        status = kDelupsWalkFailed;
        delups_clear();
        return;
    }
    count = s.result_count - 1;
    pokarr_move(s.results[s.cursor++], b, status);
}
