// Projection of a pocket lane onto the part surfaces (see the header). The own road first
// projects every other point, then decides for each point between two projected ones whether
// the surface there is flat enough to leave it out, and finally fills every gap between two
// neighbouring projected points by halving it while the halves still leave the straight line.
#include "clearing/surface_lanes/lane_on_srf.hpp"

#include "clearing/surface_lanes/lane3d_refine.hpp"
#include "clearing/surface_lanes/lane_chord_check.hpp"
#include "clearing/surface_lanes/lane_loop_cut.hpp"
#include "clearing/surface_lanes/lane_walls.hpp"
#include "cutter/prj_manager_least.hpp"
#include "cutter/tool_probe.hpp"
#include "host/vantu.hpp"
#include "nc_services/d3ds_hooks.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

constexpr int kKeep = 1, kLeaveOut = 0;
constexpr int kAlongDirection = 1;
constexpr int kRefineMode = kRefineFit | kRefineGouge | kRefineNoSpikes;  // 38
constexpr int kNoDisplay = 0;
constexpr int kHalvingParts = 16;
constexpr int kHalvingSlots = kHalvingParts + 1;
// A halving slot is kept when its projection lies farther than this share of the lane tolerance
// from the straight line: the refinement's thinning adds as much again (lane3d_refine.hpp).
constexpr float kHalvingShare = 0.5f;
// The skip test: the middle point must lie at least this share of the outer two's distance from
// each of them, and within this many lane tolerances of their line.
constexpr float kWellBetween = 0.25f;
constexpr float kSkipDeviation = 2.0f;
// Below this many points every point is projected.
constexpr int kEveryPointBelow = 5;
// A push that ends on a normal making a dot product below this with the direction (about 37
// degrees) is tried once more along a direction turned towards the normal.
constexpr float kTurnedNormalDot = 0.8f;
constexpr float kPushFactors[] = {4.0f, 40.0f};
// The grid's own edge of a cell: a point within 1e-3 beyond a node belongs to the node's cell,
// and an offset inside the cell below 2e-3 counts as 0 (grid units, mm; far below a cell).
constexpr float kCellEdgeSlack = 0.001f;
constexpr float kCellOffsetZero = 0.002f;
constexpr float kLeastNodeWeight = 0.001f;
// A chord between two points that keep the walls may pass them by this share of the lane
// tolerance before the point between is needed.
constexpr float kWallChordShare = 0.25f;

const lane_pnt kMarkerPoint = {kLaneMarker, kLaneMarker, kLaneMarker};
const lane_pnt kMarkerNormal = {-2.0f, -2.0f, -2.0f};
const lane_pnt kUp = {0.0f, 0.0f, 1.0f};

const grid_projection_values& grid_values() { return surface_grid_block.projection; }

// The hooks of the host's 3-D algorithm for one projection: copied at entry, begun when it has
// not started, ended when this projection began it.
struct algorithm_run {
    d3ds_hooks hooks = *disp_state_ptr();
    bool running = D3DS_algorithmIsRun() != 0;
    bool began = false;

    // Begins the algorithm (when the hook is set): status 0, or the begin hook's failure.
    int begin()
    {
        if (!running || hooks.begin == nullptr) return 0;
        const grid_projection_values& g = grid_values();
        const int status = hooks.begin(g.cell_size, g.x0, g.y0);
        began = status == 0;
        return status;
    }
    // The same, unless the algorithm reports that it has started.
    int begin_if_idle()
    {
        if (running && hooks.started != nullptr && hooks.started() != 0) return 0;
        return begin();
    }
    // Ends the algorithm when this run began it. The end hook's answer becomes the status of a
    // projection that succeeded; a failure stays what it was (an end that answers 0 must not turn
    // a projection that met nothing into a success).
    int end_if_began(int status)
    {
        if (!began || hooks.end == nullptr) return status;
        began = false;
        const grid_projection_values& g = grid_values();
        const int ended = hooks.end(g.cell_size, g.x0, g.y0);
        return status != 0 ? status : ended;
    }
};

const double* second_origin() { return pocket_frame_block.origin_copy; }

// Pushes the tool along the direction through the point: status 0 with contact and normal. A
// push whose tool touches or cuts into the surfaces where it starts stops there, which tells
// nothing of where the surfaces lie along the direction (a point of a lane's chord across a crest
// lies deep in the part): it counts as failed, and the next factor starts farther out.
void push_through(const lane_pnt& point, const lane_pnt& direction, lane_pnt& contact, lane_pnt& normal, int& status)
{
    const float s = grid_values().cell_size;
    for (const float f : kPushFactors) {
        const lane_pnt ahead = point + (0.25f * s * f) * direction;
        const lane_pnt behind = point - (s * f) * direction;
        tool_probe_table().tool_project_point(ahead.data(), behind.data(), contact.data(), normal.data(), status);
        if (status == 0 && contact != ahead) return;
    }
    status = -1;
}

// Appends the point and normal to the two host arrays, growing both when full.
void append_point(const lane_pnt& point, const lane_pnt& normal, lane_point_array& points, lane_point_array& normals,
                  int& count, int& status)
{
    if (count >= points.capacity() || count >= normals.capacity()) {
        const int more = std::max(count, kHalvingSlots);
        points.reserve(count, 1, more, status);
        if (status == 0) normals.reserve(count, 1, more, status);
        if (status != 0) return;
    }
    points.base()[count] = point;
    normals.base()[count] = normal;
    ++count;
}

// Fills the gap between the projected points `from` and `to` of the work lane by halving and
// appends the kept slots, the point `to` last.
void fill_gap(int direction_flag, const lane_work& work, int from, int to, lane_point_array& points,
              lane_point_array& normals, int& count, int& status)
{
    lane_pnt slot_points[kHalvingSlots], slot_normals[kHalvingSlots];
    bool kept[kHalvingSlots] = {};
    slot_points[0] = work.points[from];
    slot_normals[0] = work.normals[from];
    slot_points[kHalvingParts] = work.points[to];
    slot_normals[kHalvingParts] = work.normals[to];
    kept[0] = kept[kHalvingParts] = true;
    for (int step = kHalvingParts / 2; step >= 1; step /= 2) {
        for (int i = step; i <= kHalvingParts - step; i += step) {
            if (kept[i] || !kept[i - step] || !kept[i + step]) continue;
            int outcome = 0;
            lane_pnt_subdivide(direction_flag, slot_points, slot_normals, i - step, i + step, i, outcome);
            kept[i] = outcome == kKeep;
        }
    }
    for (int i = 1; i <= kHalvingParts && status == 0; ++i)
        if (kept[i]) append_point(slot_points[i], slot_normals[i], points, normals, count, status);
}

// The projected points in order, gaps between neighbours filled.
void collect_points(int direction_flag, const lane_work& work, lane_point_array& points, lane_point_array& normals,
                    int& count, int& status)
{
    int previous = -2;
    const int n = static_cast<int>(work.points.size());
    for (int i = 0; i < n && status == 0; ++i) {
        if (lane_pnt_missing(work.points[i])) continue;
        if (previous == i - 1)
            fill_gap(direction_flag, work, previous, i, points, normals, count, status);
        else
            append_point(work.points[i], work.normals[i], points, normals, count, status);
        previous = i;
    }
}

// The collected points (less the second origin) with the given normals, or (0, 0, 1) when none,
// as a dimension-4 lane copied into the destination.
void points_to_lane(const lane_pnt* points, const lane_pnt* normals, int count, int origin, pokarr& destination,
                    int& status)
{
    pokarr_work lane(4);
    pokarr_init_dyn(4, count, lane.a, status);
    for (int i = 0; i < count && status == 0; ++i) {
        double p[3], n[3];
        for (int k = 0; k < 3; ++k) {
            p[k] = points[i][k] - (origin != 0 ? second_origin()[k] : 0.0);
            n[k] = normals != nullptr ? normals[i][k] : kUp[k];
        }
        pokarr_add_pnt_nrm(p, n, lane.a, status);
    }
    if (status != 0) return;
    // The result is a lane of dimension 4; only a lane over the caller's memory keeps its own.
    if (destination.dimension != 4 && destination.kind != kPokarrStatic) {
        pokarr_free(destination);
        pokarr_init(4, destination);
    }
    pokarr_copy(lane.a, destination, status);
}

// Whether the input lane bends at point k by more than the lane tolerance: a lane laid on the
// grid has a point wherever it crosses a fold of the surface, and the tool's path bends there too,
// however straight the projected points around it run.
bool input_bends(const pokarr& input, int k)
{
    lane_pnt p[3];
    for (int j = 0; j < 3; ++j)
        for (int c = 0; c < 3; ++c) p[j][c] = static_cast<float>(pokarr_coordinate(input, k - 1 + j, c));
    float deviation = 0.0f;
    int tested = 0;
    p3tol(p[0].data(), p[1].data(), p[2].data(), deviation, tested);
    return tested == 0 && deviation > lane_tolerance();
}

// The normals of the collected points by their place, for the points that the refinement keeps.
std::map<lane_pnt, lane_pnt> normals_by_point(const lane_pnt* points, const lane_pnt* normals, int count)
{
    std::map<lane_pnt, lane_pnt> by_point;
    for (int i = 0; i < count; ++i) by_point.emplace(points[i], normals[i]);
    return by_point;
}

// The normals array made to follow the refined string: each point's collected normal, (0, 0, 0)
// (no normal) for a point the refinement made.
void refined_normals(const lane_pnt* points, const std::map<lane_pnt, lane_pnt>& by_point, int count,
                     lane_point_array& normals, int& status)
{
    if (count > normals.capacity()) normals.reserve(normals.capacity(), count - normals.capacity(), 1, status);
    if (status != 0) return;
    for (int i = 0; i < count; ++i) {
        const auto found = by_point.find(points[i]);
        normals.base()[i] = found != by_point.end() ? found->second : lane_pnt{0.0f, 0.0f, 0.0f};
    }
}

// Whether the chord between two projected points of the work lane keeps the walls (a point
// left out there would let the string pass the corner of a wall's clearance).
bool chord_keeps_walls(const lane_work& work, int from, int to)
{
    const lane_pnt &a = work.points[from], &b = work.points[to];
    return lane_pnt_missing(a) || lane_pnt_missing(b) || lane_walls_kept(a, b, kWallChordShare * lane_tolerance());
}

// The refined string with the collected points it needs to keep the walls put back.
void restore_for_walls(const std::vector<lane_pnt>& collected, lane_point_array& points, int& count, int& status)
{
    const std::vector<lane_pnt> kept =
        lane_walls_restore(collected, points.base(), count, kWallChordShare * lane_tolerance());
    const int n = static_cast<int>(kept.size());
    if (n == count) return;
    if (n > points.capacity()) points.reserve(count, n - count, 1, status);
    if (status != 0) return;
    std::copy(kept.begin(), kept.end(), points.base());
    count = n;
}

// The own road of lane_on_srf.
void project_own(int origin, int refine, int raw, const pokarr& input, pokarr& output, pokarr& raw_output, int& status)
{
    const int n = input.count;
    const lane_walls_scope walls(origin);
    lane_work work;
    work.points.assign(static_cast<std::size_t>(n), {0.0f, 0.0f, kLaneMarker});
    work.normals.assign(static_cast<std::size_t>(n), kMarkerNormal);
    lane_point_array points, normals;
    const int room = 2 * (5 * n + 50);
    points.open(room, status);
    if (status == 0) normals.open(room, status);
    if (status != 0) return;
    for (int i = 0; i < n; ++i)
        if (i % 2 == 0 || i == n - 1 || n < kEveryPointBelow) lane_pnt_project(input, work, i, origin);
    if (n >= kEveryPointBelow) {
        for (int k = 1; k < n - 1; k += 2) {
            const int a = k == 1 ? 4 : k - 3, b = k == 1 ? 2 : k - 1, c = k == 1 ? 0 : k + 1;
            // The string must run straight on both sides of the point, from a over b to c and from
            // b over c to the point after (when there is one), and the input must not bend at it.
            const int d = k + 3;
            const bool keep = lane_pnt_skip_test(work, a, b, c) == kKeep ||
                              (k > 1 && d < n && lane_pnt_skip_test(work, d, c, b) == kKeep) || input_bends(input, k) ||
                              !chord_keeps_walls(work, b, c);
            if (keep)
                lane_pnt_project(input, work, k, origin);
            else
                work.points[k][2] = kLaneMarker;
        }
    }
    // The first and last points of a closed input are one tool position projected twice (their
    // heights on the grid may differ by a few thousandths where the grid lane was smoothed): the
    // two contacts may then lie a thousandth apart, and the lane would not close. The last takes
    // the first's contact.
    const bool closed = n > 2 && input.x[0] == input.x[n - 1] && input.y[0] == input.y[n - 1];
    if (closed && !lane_pnt_missing(work.points[0]) && !lane_pnt_missing(work.points[n - 1])) {
        work.points[n - 1] = work.points[0];
        work.normals[n - 1] = work.normals[0];
    }
    int count = 0;
    const int direction_flag = input.dimension == 4 ? kAlongDirection : 0;
    collect_points(direction_flag, work, points, normals, count, status);
    // The moves are checked on the string that goes out: the refined one after the refinement.
    if (status == 0 && refine == 0) {
        lane_loops_cut(points.base(), normals.base(), count, lane_loop_reach());
        lane_crossings_cut(points.base(), normals.base(), count);
        lane_chords_clear(points, &normals, count, status);
    }
    if (status != 0) return;
    if (raw != 0) {
        points_to_lane(points.base(), normals.base(), count, origin, raw_output, status);
        if (status != 0) return;
    }
    if (refine != 0) {
        const grid_projection_values& g = grid_values();
        float s = g.cell_size, half = 0.5f * lane_tolerance(), closed = 0.0f;
        float fit = std::min(0.2f * static_cast<float>(pocket_work_block.engine_step), 0.25f * s);
        float d = g.tool_diameter, r = g.corner_radius, t = g.tool_third;
        const std::map<lane_pnt, lane_pnt> normal_of = normals_by_point(points.base(), normals.base(), count);
        const std::vector<lane_pnt> collected(points.base(), points.base() + count);
        lane3d_refine(kRefineMode, kNoDisplay, points.handle(), normals.base(), count, s, half, fit, closed, d, r, t,
                      status);
        if (status == 0) restore_for_walls(collected, points, count, status);
        if (status == 0) refined_normals(points.base(), normal_of, count, normals, status);
        if (status == 0) lane_loops_cut(points.base(), normals.base(), count, lane_loop_reach());
        if (status == 0) lane_crossings_cut(points.base(), normals.base(), count);
        if (status == 0) lane_chords_clear(points, &normals, count, status);
        if (status != 0) return;
    }
    if (raw == 0 || refine != 0)
        points_to_lane(points.base(), nullptr, count, origin, output, status);
    else if (&raw_output != &output)
        pokarr_copy(raw_output, output, status);
}

}  // namespace

float lane_tolerance() { return tri_model_lane_tolerance(); }

void lane_on_srf(int origin, int refine, int raw, int lane_index, const pokarr& input, pokarr& output,
                 pokarr& raw_output, int& status)
{
    status = 0;
    if (D3DS_algorithmIsRun() != 0) {
        status = d3ds_lane_on_srf(origin, input, raw_output, lane_index);
        return;
    }
    project_own(origin, refine, raw, input, output, raw_output, status);
}

int d3ds_lane_on_srf(int origin, const pokarr& input, pokarr& raw_output, int lane_index)
{
    const int n = input.count;
    if (n < 2 || input.dimension != 4 || prj_manager_active() == 0) return -1;
    algorithm_run run;
    const int begun = run.begin();
    if (begun != 0) return begun;
    const std::size_t bytes = 12U * static_cast<std::size_t>(n);
    auto* points = static_cast<float*>(DM_ALLOC(bytes));
    auto* normals = static_cast<float*>(DM_ALLOC(bytes));
    int status = 0;
    if (points == nullptr || normals == nullptr) {
        eroutc("[d3ds_lane_on_srf] can't allocate memory", 0);
        status = -1;
    }
    int result_handle = -1;
    for (int i = 0; i < n && status == 0; ++i) {
        const double* normal = pokarr_normal(input, i);
        for (int k = 0; k < 3; ++k) {
            points[3 * i + k] =
                static_cast<float>(pokarr_coordinate(input, i, k) + (origin != 0 ? second_origin()[k] : 0.0));
            normals[3 * i + k] = static_cast<float>(normal[k]);
        }
    }
    const int projector = status == 0 ? prj_cache_lookup() : -1;
    if (projector < 0) status = -1;
    if (status == 0) {
        const float* result = nullptr;
        int result_count = 0;
        prj_lane_on_srf(points, normals, n, projector, result_handle, lane_index != 0 ? 1 : 0, result, result_count);
        if (result != nullptr && result_count >= 2)
            points_to_lane(reinterpret_cast<const lane_pnt*>(result), nullptr, result_count, origin, raw_output,
                           status);
    }
    status = run.end_if_began(status);
    DM_FREE(points, 0);
    DM_FREE(normals, 0);
    if (result_handle >= 0) {
        int closed = 0;
        MM_CLOSE(result_handle, closed);
        if (closed != 0) eroutc("DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", 0);
    }
    return status;
}

void draw_lane_3d(int direction_flag, const float* point, float* result, float* direction, int& status)
{
    status = 0;
    algorithm_run run;
    status = run.begin_if_idle();
    if (status != 0) return;
    lane_pnt d{0.0f, 0.0f, 1.0f};
    if (direction_flag == kAlongDirection)
        d = lane_pnt_of(direction);
    else
        lane_pnt_dir(point, d.data(), status);
    const lane_pnt p = lane_pnt_of(point);
    lane_pnt contact{}, normal{};
    push_through(p, d, contact, normal, status);
    if (status == 0 && lane_dot(d, normal) < kTurnedNormalDot) {
        lane_pnt turned = d + 2.0f * normal;
        if (lane_unit(turned)) push_through(p, turned, contact, normal, status);
    }
    if (status == 0) lane_walls_keep(p, contact, normal);
    if (status == 0) {
        std::memcpy(result, contact.data(), sizeof(contact));
        std::memcpy(direction, normal.data(), sizeof(normal));
    }
    status = run.end_if_began(status);
}

int lane_pnt_skip_test(const lane_work& work, int a, int b, int c)
{
    const lane_pnt &pa = work.points[a], &pb = work.points[b], &pc = work.points[c];
    if (lane_pnt_missing(pa) || lane_pnt_missing(pb) || lane_pnt_missing(pc)) return kKeep;
    const float s = grid_values().cell_size;
    const lane_pnt bc = pc - pb;
    if (lane_dot(bc, bc) > 9.0f * s * s) return kKeep;
    // b must stand well between a and c for its distance from their line to tell how straight
    // the string runs on to c: beside a it tells nothing of the point between b and c.
    const float ac = lane_dist(pa, pc);
    if (!(std::min(lane_dist(pa, pb), lane_dist(pb, pc)) >= kWellBetween * ac)) return kKeep;
    float deviation = 0.0f;
    int tested = 0;
    p3tol(pa.data(), pb.data(), pc.data(), deviation, tested);
    if (tested != 0 || deviation > kSkipDeviation * lane_tolerance()) return kKeep;
    // The surfaces may still bend between b and c, which the normals there tell: a path turning
    // by an angle a over a chord of length L strays from it by about a L / 4, so it keeps within
    // the tolerance t while a <= 4 t / L, that is 1 - cos a <= (4 t / L)^2 / 2.
    const float bend = 1.0f - lane_dot(work.normals[b], work.normals[c]);
    const float allowed = 4.0f * lane_tolerance() / std::sqrt(lane_dot(bc, bc));
    return bend <= 0.5f * allowed * allowed ? kLeaveOut : kKeep;
}

void lane_pnt_project(const pokarr& input, lane_work& work, int index, int origin)
{
    lane_pnt point{}, direction = kUp;
    for (int k = 0; k < 3; ++k)
        point[k] = static_cast<float>(pokarr_coordinate(input, index, k) + (origin != 0 ? second_origin()[k] : 0.0));
    const int direction_flag = input.dimension == 4 ? kAlongDirection : 0;
    if (direction_flag == kAlongDirection)
        for (int k = 0; k < 3; ++k) direction[k] = static_cast<float>(pokarr_normal(input, index)[k]);
    lane_pnt result{};
    int status = 0;
    draw_lane_3d(direction_flag, point.data(), result.data(), direction.data(), status);
    work.points[index] = status == 0 ? result : kMarkerPoint;
    work.normals[index] = status == 0 ? direction : kMarkerNormal;
}

void lane_pnt_subdivide(int direction_flag, lane_pnt* slot_points, lane_pnt* slot_normals, int from, int to, int index,
                        int& status)
{
    const float t = static_cast<float>(index - from) / static_cast<float>(to - from);
    const lane_pnt straight = (1.0f - t) * slot_points[from] + t * slot_points[to];
    lane_pnt normal = (1.0f - t) * slot_normals[from] + t * slot_normals[to];
    if (!lane_unit(normal)) normal = kUp;
    slot_points[index] = straight;
    slot_normals[index] = normal;
    lane_pnt result{};
    draw_lane_3d(direction_flag, straight.data(), result.data(), normal.data(), status);
    if (status < 0 && status != -1) return;
    if (status != 0) {
        status = kLeaveOut;
        return;
    }
    slot_points[index] = result;
    slot_normals[index] = normal;
    // The chord between the two slots may also pass a corner of a wall's clearance where both
    // keep it (the tips of a lane round an island's corner pushed apart along the lane): the
    // slot between, moved clear of the walls by its projection, is kept then too.
    const bool off_line = lane_dist(result, straight) > kHalvingShare * lane_tolerance();
    const bool walls_kept = lane_walls_kept(slot_points[from], slot_points[to], kWallChordShare * lane_tolerance());
    status = off_line || !walls_kept ? kKeep : kLeaveOut;
}

void lane_pnt_dir(const float* point, float* direction, int& status)
{
    status = 0;
    const grid_projection_values& g = grid_values();
    lane_pnt sum{0.0f, 0.0f, 0.0f};
    if (g.cell_size > 0.0f) {
        const float s = g.cell_size;
        const int col = static_cast<int>((point[0] + kCellEdgeSlack - g.x0) / s);
        const int row = static_cast<int>((point[1] + kCellEdgeSlack - g.y0) / s);
        float ox = point[0] - g.x0 - static_cast<float>(col) * s, oy = point[1] - g.y0 - static_cast<float>(row) * s;
        if (ox < kCellOffsetZero) ox = 0.0f;
        if (oy < kCellOffsetZero) oy = 0.0f;
        const float fx = ox / s, fy = oy / s;
        grid_cell_normal(col, row, sum.data(), 1.0f - fx, 1.0f - fy);
        grid_cell_normal(col + 1, row, sum.data(), fx, 1.0f - fy);
        grid_cell_normal(col, row + 1, sum.data(), 1.0f - fx, fy);
        grid_cell_normal(col + 1, row + 1, sum.data(), fx, fy);
    }
    if (!lane_unit(sum)) sum = kUp;
    std::memcpy(direction, sum.data(), sizeof(sum));
}

void grid_cell_normal(int column, int row, float* vector, float weight_x, float weight_y)
{
    const float weight = weight_x * weight_y;
    const surface_grid& grid = surface_grid_block;
    const d3ds_hooks hooks = *disp_state_ptr();
    const bool hooked = D3DS_algorithmIsRun() != 0 && hooks.node_counts != nullptr && hooks.node_height != nullptr;
    int nx = grid.nx, ny = grid.ny;
    if (hooked) hooks.node_counts(nx, ny);
    if (column < 1 || column > nx - 2 || row < 1 || row > ny - 2 || weight < kLeastNodeWeight) return;
    const auto height = [&](int c, int r) {
        return hooked ? hooks.node_height(c, r) : grid.heights[static_cast<std::size_t>(r) * nx + c];
    };
    // A node without surface (the grid's marker, or the algorithm's 1e9) takes the centre's height.
    const auto missing = [](float z) { return std::fabs(z) >= kGridNoSurfaceHeight; };
    const float own = height(column, row);
    float left = height(column - 1, row), right = height(column + 1, row);
    float lower = height(column, row - 1), upper = height(column, row + 1);
    for (float* z : {&left, &right, &lower, &upper})
        if (missing(*z)) *z = own;
    if (missing(own)) return;
    const float s2 = 2.0f * grid_values().cell_size;
    lane_pnt normal = lane_cross({s2, 0.0f, right - left}, {0.0f, s2, upper - lower});
    if (!lane_unit(normal)) return;
    for (int k = 0; k < 3; ++k) vector[k] += weight * normal[k];
}
