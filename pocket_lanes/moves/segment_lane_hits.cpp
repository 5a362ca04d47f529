// Crossings of a straight segment with one lane: the segment is searched against the lane's
// elements through its box table, and after every crossing the search goes on from that
// crossing, so the crossings are met in order along the segment. The connection tests and the
// entry hit of the cutting order call it.
#include "pocket_lanes/moves/connection_tests.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_lanes/moves/segment_clearance.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

// Module switch (off; a developer sets it): draw the segment and the lane of every test.
int seg_hits_debug = 0;

// Height band of the mode-3 filter: a segment end this far above or below the lane is "over" it.
// It is this wide on purpose (the filter has always been this loose), so in practice nothing is
// passed over.
constexpr double kHeightBand = 1.0e6;
// Colour of the debug segment.
constexpr int kSegmentColour = 2;
// Step along the segment past a crossing before the next search: ten times the engine's point
// tolerance, so a crossing is never met twice (crossings closer together than this count as one).
constexpr double kStepPast = 1.0e-5;
// Best distance the 3-D choice starts from.
constexpr double kChoiceStart = 1.0e10;
// Tables of fewer groups are searched as they are: the search's own box test of so few groups
// costs less than testing them for clearance first (it finds the same crossings either way).
constexpr int kLeastNarrowedGroups = 3;
// The box an emptied group gets: it overlaps no segment's box, so the search passes it by.
constexpr double kEmptyBox = 1.0e12;

// The crossed element travels in the first 32-bit word of the crossing's normal record.
void pack_element(int element, double* record)
{
    record[0] = record[1] = record[2] = 0.0;
    std::memcpy(record, &element, sizeof element);
}
int unpack_element(const double* record)
{
    int element = 0;
    std::memcpy(&element, record, sizeof element);
    return element;
}

// Moves the walk's start just past the crossing it stands on, so that the next search does not
// meet that crossing again; false when nothing of the segment remains.
bool step_past(double* from, const double* end)
{
    const double dx = end[0] - from[0], dy = end[1] - from[1];
    const double length = std::hypot(dx, dy);
    if (!(length > kStepPast)) return false;
    from[0] += kStepPast * dx / length;
    from[1] += kStepPast * dy / length;
    return true;
}

// -1, 0 or +1: the segment end below, within or above the band round the lane's height.
int height_class(double z, double lane_z)
{
    if (z - lane_z > kHeightBand) return 1;
    if (z - lane_z < -kHeightBand) return -1;
    return 0;
}

void show_segment(const double* start, const double* end, const pokarr& lane, bool spatial)
{
    const double* origin = pocket_frame_block.origin;
    const float from[3] = {float(start[0] + origin[0]), float(start[1] + origin[1]),
                           float(spatial ? start[2] + origin[2] : 0.0)};
    const float to[3] = {float(end[0] + origin[0]), float(end[1] + origin[1]),
                         float(spatial ? end[2] + origin[2] : 0.0)};
    int figure = 0, status = 0;
    gfgtmp(figure);
    figopa(figure, kSegmentColour, status);
    moveto(from);
    drawto(to);
    figcls(figure);
    pokarr_show_std(lane);
}

// The crossing of the list nearest to the caller's start point in space; a crossing at the
// start itself ends the choice.
int nearest_crossing(const pokarr& list, const double* start)
{
    int best = 0;
    double best_distance = kChoiceStart;
    for (int i = 0; i < list.count; ++i) {
        const double d[3] = {list.x[i] - start[0], list.y[i] - start[1], list.z[i] - start[2]};
        const double distance = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
        if (eqvl0d(distance)) break;
    }
    return best;
}

// The box table a search of the segment needs: the lane's own (always for a table of few
// groups), or `narrowed` with the groups that lie clear of the segment emptied, so that the
// search passes them by (a group's elements lie inside its box). first_group answers the first group not clear: the
// search starts there, as it would find nothing before it (it reads the group it starts from whatever its box). nullptr
// when every group lies clear: the search would find nothing.
const pk_box_table* search_table(const clearance_segment& segment, const pokarr& lane, const pk_box_table& boxes,
                                 pk_box_table& narrowed, int& first_group)
{
    first_group = 1;
    if (!segment.valid || boxes.groups < kLeastNarrowedGroups) return &boxes;
    const int groups = boxes.groups;
    int clear = 0;
    for (int g = 0; g < groups; ++g) {
        const bool apart = group_clear(segment, lane.x, lane.y, lane.count, boxes, g + 1);
        if (apart && clear == 0) {
            // The first group lying clear: the groups before it are copied as they are.
            std::copy_n(boxes.xmin, g, narrowed.xmin);
            std::copy_n(boxes.ymin, g, narrowed.ymin);
            std::copy_n(boxes.xmax, g, narrowed.xmax);
            std::copy_n(boxes.ymax, g, narrowed.ymax);
        }
        if (apart && clear == g) first_group = g + 2;
        if (apart) ++clear;
        if (clear == 0) continue;
        narrowed.xmin[g] = apart ? kEmptyBox : boxes.xmin[g];
        narrowed.ymin[g] = apart ? kEmptyBox : boxes.ymin[g];
        narrowed.xmax[g] = apart ? -kEmptyBox : boxes.xmax[g];
        narrowed.ymax[g] = apart ? -kEmptyBox : boxes.ymax[g];
    }
    if (clear == 0) return &boxes;
    if (clear == groups) return nullptr;
    std::copy_n(boxes.first, groups + 1, narrowed.first);
    narrowed.groups = groups;
    return &narrowed;
}

}  // namespace

void seg_lane_hits(int mode, const double* start, const double* end, const pokarr& lane, int wanted, double* hit,
                   int& element, int& result)
{
    seg_lane_hits_boxed(mode, start, end, lane, nullptr, wanted, hit, element, result);
}

void seg_lane_hits_boxed(int mode, const double* start, const double* end, const pokarr& lane,
                         const pk_box_table* boxes, int wanted, double* hit, int& element, int& result,
                         const clearance_segment* whole)
{
    result = 0;
    const bool spatial = lane.dimension > 2 && lane.z != nullptr;
    if (seg_hits_debug != 0) show_segment(start, end, lane, spatial);
    if (lane.count <= 1 || lane.x == nullptr || lane.y == nullptr) return;

    // The table is filled before it is read: no need to clear it first.
    std::unique_ptr<pk_box_table> made;
    if (boxes == nullptr) {
        made = std::make_unique_for_overwrite<pk_box_table>();
        pokarr_get_boxes(lane, *made);
        boxes = made.get();
    }
    pk_snapshot_block.count = 0;
    pokarr list;
    pokarr_init(4, list);

    double from[3] = {start[0], start[1], spatial ? start[2] : 0.0};
    const double absent[2] = {kDirectionAbsent, 0.0};
    const int closing = pk_last_element(lane);
    const int search_mode = 0, own = -1;
    int found_element = 0, found_group = 0, found = kSearchNone;
    double q[2] = {lane.x[0], lane.y[0]};
    // Filled only where a search passes groups by; its columns need no clearing.
    pk_box_table narrowed;
    // Every crossing moves the segment's start on along it, so the walk meets each element at
    // most a few times; the guard only bounds damaged input.
    for (int guard = 0; guard < 2 * lane.count + 8; ++guard) {
        // The crossings along the segment may lie on any element, earlier ones included: every
        // search covers the whole lane, from just past the last crossing.
        found_element = 0, found_group = 0;
        if (guard > 0 && !step_past(from, end)) break;
        int first_group = 1;
        // The first search is of the whole segment, which the caller may have made already.
        const clearance_segment segment = guard == 0 && whole != nullptr ? *whole : make_clearance_segment(from, end);
        const pk_box_table* table = search_table(segment, lane, *boxes, narrowed, first_group);
        if (table == nullptr) break;
        elem_pair_intersect(search_mode, own, first_group, 0, 0.0, 0.0, 0.0, 0.0, from[0], from[1], end[0], end[1],
                            absent, nullptr, nullptr, lane.x, lane.y, lane.count, closing, 1, q[0], q[1], *table,
                            found_element, found_group, q[0], q[1], found);
        if (found != kSearchFound) break;
        double point[3] = {q[0], q[1], 0.0};
        from[0] = q[0], from[1] = q[1];
        if (spatial) {
            double normal[3];
            int vertical = 0;
            pokarr_elem_ends(lane, found_element, point, normal, vertical);
            if (mode == kSegHitsConnection) {
                const int a = height_class(start[2], point[2]), b = height_class(end[2], point[2]);
                if (a != 0 && a == b) continue;
            }
        } else if (wanted == 1) {
            hit[0] = q[0], hit[1] = q[1];
            element = found_element;
            result = 1;
            pokarr_free(list);
            return;
        }
        double record[3];
        pack_element(found_element, record);
        int status = 0;
        pokarr_add_pnt_nrm(point, record, list, status);
        if (status != 0) {
            result = -1;
            pokarr_free(list);
            return;
        }
        if (!spatial && list.count >= wanted) break;
    }
    result = list.count;
    if (result > 0) {
        const int chosen = spatial && result > 1 ? nearest_crossing(list, start) : 0;
        hit[0] = list.x[chosen];
        hit[1] = list.y[chosen];
        if (spatial) hit[2] = list.z[chosen];
        element = unpack_element(pokarr_normal(list, chosen));
    }
    pokarr_free(list);
}
