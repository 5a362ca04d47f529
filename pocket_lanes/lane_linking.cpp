// The linking stage: the plan of the cutting order (chains from their closing lanes, each cut
// whole; the first of the level order first, then the nearest of those free to go), the cut of
// each lane with its connection to the next, and on surfaces the connection laid on the part.
#include "pocket_lanes/lane_linking.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/chain_order.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

link_plan link_plan_block;
link_switches link_switches_block;

namespace {

constexpr int kPlanar = 2;
constexpr int kConnectionPoints = 4;
// The incremental height that, with the absolute-height flag, switches the projection off.
constexpr float kNoProjectionHeight = 78.78f;
// Points nearer than this are one point of a connection; a tenth of the tolerance word decides
// whether a projected gap keeps its ends.
constexpr double kSamePoint = 1.0e-6;
constexpr double kGapShare = 0.1;
// Lane points are relative to the pocket frame; the surfaces lie in world coordinates.
constexpr int kWithSecondOrigin = 1;

int dimension() { return pocket_state_block.pocket_dimension; }

// One chain of the plan: its closing lane and its lanes from the innermost outward.
struct chain {
    int closing = 0;
    std::vector<int> lanes;
};

// The chain of a closing lane. `seen` (a mark per lane, all clear) guards against a loop of
// parents; the chain's marks are cleared again before it is answered.
chain chain_of(int closing, std::vector<char>& seen)
{
    const lane_table& lt = lane_table_block;
    chain c;
    c.closing = closing;
    int lane = std::abs(lt.parent[closing]);
    const int level = lane_valid(lane) ? lt.level[lane] : 0;
    while (lane_valid(lane) && lt.status[lane] != 0 && seen[static_cast<std::size_t>(lane)] == 0) {
        seen[static_cast<std::size_t>(lane)] = 1;
        c.lanes.push_back(lane);
        const int parent = std::abs(lt.parent[lane]);
        if (!lane_valid(parent) || lt.status[parent] == 0) break;
        if (lt.level[parent] != level) break;
        lane = parent;
    }
    for (const int n : c.lanes) seen[static_cast<std::size_t>(n)] = 0;
    return c;
}

// The chains in the order of their levels (branches 1, 2, ..., then the islands), each level's
// closing lanes from the first output lane down: one sort of the closing lanes by level, and by
// lane number downward within a level.
std::vector<chain> chains_in_order()
{
    const lane_table& lt = lane_table_block;
    const int last = std::min(pocket_box_block.first_output_lane - 1, lt.count);
    const int contours = lt.island_count + 1;
    std::vector<int> closing;
    for (int n = last; n >= 1; --n)
        if (lt.status[n] < 0 && lt.level[n] != kLevelSeparator && std::abs(lt.parent[n]) > contours)
            closing.push_back(n);
    std::stable_sort(closing.begin(), closing.end(), [&lt](int a, int b) { return lt.level[a] < lt.level[b]; });
    std::vector<char> seen(static_cast<std::size_t>(lt.count) + 1, 0);
    std::vector<chain> chains;
    for (const int n : closing) {
        chain c = chain_of(n, seen);
        if (!c.lanes.empty()) chains.push_back(std::move(c));
    }
    return chains;
}

// One chain's lanes into the plan, from its innermost lane outward. Each lane is entered where
// the link from the lane below it arrives (the closing lane's entry for the innermost), which is
// where its own link to its parent starts, so the cut goes once round it.
void plan_chain(const chain& c, std::vector<char>& cut, link_plan& plan)
{
    for (std::size_t li = 0; li < c.lanes.size(); ++li) {
        const int lane = c.lanes[li];
        if (cut[static_cast<std::size_t>(lane)] != 0) continue;
        cut[static_cast<std::size_t>(lane)] = 1;
        const int own_holder = li == 0 ? c.closing : c.lanes[li - 1];
        // The tool arrives from the lane cut last when that one ends on this lane.
        const int previous = plan.lanes.empty() ? 0 : plan.lanes.back();
        const int holder =
            lane_valid(previous) && std::abs(lane_table_block.parent[previous]) == lane ? previous : own_holder;
        plan.lanes.push_back(lane);
        plan.holders.push_back(holder);
        plan.exits.push_back(own_holder);
    }
}

// The point of holder's entry (x, y), or none when the holder has no place in the stage tables
// or keeps no entry.
bool entry_xy(const cut_entry_tables& entries, int holder, double& x, double& y)
{
    if (!stage_index_ok(holder) || entries.element[holder] == 0) return false;
    x = entries.x[holder];
    y = entries.y[holder];
    return true;
}

// The chains that cut lanes, with their ends and the chains each must follow, for the order by
// nearness. A lane is cut by the first chain of the level order that holds it: a chain that joins
// a lane of another chain comes after that chain and ends before the lane it joins, so that the
// lane is left where its own chain's link starts. Since a chain holds every ancestor of its lanes
// on its level, the lanes a chain cuts itself are the first ones of its list; a chain that cuts
// none is left out.
std::vector<chain_ends> chain_ends_of(const std::vector<chain>& chains, const cut_entry_tables& entries,
                                      std::vector<std::size_t>& kept)
{
    std::vector<int> owner(static_cast<std::size_t>(lane_table_block.count) + 1, -1);
    std::vector<chain_ends> ends;
    kept.clear();
    for (std::size_t i = 0; i < chains.size(); ++i) {
        const chain& c = chains[i];
        chain_ends e;
        std::size_t first = 0, own = 0;
        for (std::size_t li = 0; li < c.lanes.size(); ++li) {
            int& o = owner[static_cast<std::size_t>(c.lanes[li])];
            if (o < 0) {
                o = static_cast<int>(ends.size());
                if (own == 0) first = li;
                ++own;
            } else if (std::find(e.after.begin(), e.after.end(), o) == e.after.end()) {
                e.after.push_back(o);
            }
        }
        if (own == 0) continue;
        // The chain starts at the entry its first own lane keeps, and ends where its last own lane
        // is left: the entry the lane below it keeps, round the lane once.
        const std::size_t last = first + own - 1;
        e.has_start = entry_xy(entries, first == 0 ? c.closing : c.lanes[first - 1], e.start_x, e.start_y);
        e.has_end = entry_xy(entries, last == 0 ? c.closing : c.lanes[last - 1], e.end_x, e.end_y);
        ends.push_back(std::move(e));
        kept.push_back(i);
    }
    return ends;
}

// The chains are cut whole, the first of the level order first and then always the nearest free
// one. A chain that ends on a lane of another chain cut before it ends there with a separator:
// were it cut first, the lane it ends on would be entered where it arrives and left where its own
// chain's link starts, once round and on along itself to that point.
void build_plan(const cut_entry_tables& entries)
{
    link_plan& plan = link_plan_block;
    plan = link_plan{};
    std::vector<char> cut(static_cast<std::size_t>(lane_table_block.count) + 1, 0);
    const std::vector<chain> chains = chains_in_order();
    std::vector<std::size_t> kept;
    const std::vector<chain_ends> ends = chain_ends_of(chains, entries, kept);
    for (const std::size_t i : order_chains_by_nearness(ends)) plan_chain(chains[kept[i]], cut, plan);
}

// The point on `lane` where holder's entry lies (three doubles, z 0 in the plane).
void entry_point(const cut_entry_tables& entries, int holder, double* point)
{
    point[0] = entries.x[holder];
    point[1] = entries.y[holder];
    point[2] = cut_stage_block.z != nullptr && holder <= cut_stage_block.z_room ? cut_stage_block.z[holder] : 0.0;
}

// The connection lane: the next entry, a point ahead of it and one behind it along the move, and
// the entry again.
void add_connection(const double* from, const double* to, int current, int next, double spike, int& status)
{
    const double dx = to[0] - from[0], dy = to[1] - from[1];
    const double length = std::hypot(dx, dy);
    const double reach = std::min(spike, length);
    const double ux = length > 0.0 ? dx / length : 0.0, uy = length > 0.0 ? dy / length : 0.0;
    // Four points written in place: the lane is laid out over the frame's own memory, not a pool
    // block, already holding them.
    double x[kConnectionPoints] = {to[0], to[0] + reach * ux, to[0] - reach * ux, to[0]};
    double y[kConnectionPoints] = {to[1], to[1] + reach * uy, to[1] - reach * uy, to[1]};
    double z[kConnectionPoints] = {to[2], to[2], to[2], to[2]};
    pokarr spike_lane;
    pokarr_init_static(dimension() == kPlanar ? 2 : 3, x, y, dimension() == kPlanar ? nullptr : z, nullptr,
                       kConnectionPoints, kConnectionPoints, spike_lane, status);
    if (status != 0) return;
    lane_table& lt = lane_table_block;
    lane_add(0, lt.level[next], 0, current, next, 0.0, 0, spike_lane, status);
    if (status == 0) lt.group[lt.count] = kGroupConnection;
}

bool separator_last()
{
    const lane_table& lt = lane_table_block;
    return lt.count >= 1 && lt.level[lt.count] == kLevelSeparator;
}

void add_separator(int& status)
{
    if (!separator_last()) lane_add_separator(status);
}

// A gap from a to b laid on the surfaces into d: dropped on the grid first when the host's 3-D
// algorithm does not run. Status -1 with the message when nothing comes back.
void project_gap(const double* a, const double* a_record, const double* b, const double* b_record, const char* text,
                 pokarr& d, int& status)
{
    pokarr_work gap(dimension());
    pokarr_add_pnt_nrm(a, a_record, gap.a, status);
    if (status == 0) pokarr_add_pnt_nrm(b, b_record, gap.a, status);
    if (status == 0 && D3DS_algorithmIsRun() == 0)
        surface_grid_seam_table().lan_on_grid(0, 0, gap.a, pocket_work_block.engine_step, status);
    if (status != 0) return;
    lane_project(gap.a, d, status);
    if (status == 0 && d.count > 0) return;
    if (IsNcDebug() != 0) eroutc(text, 0);
    status = -1;
}

double distance3(const double* a, const double* b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

void entry_of(const pokarr& a, int i, double* point)
{
    point[0] = a.x[i];
    point[1] = a.y[i];
    point[2] = a.z != nullptr ? a.z[i] : 0.0;
}

// The path's closing stretch from the point (on element k: entry k ends a line there or holds
// the marker of an arc) to its end, in the path's direction.
void closing_stretch(const pokarr& path, int k, const double* point, pokarr& stretch, int& status)
{
    pokarr_add_pnt(point, stretch, status);
    if (status != 0) return;
    if (!pk_is_marker(path.x[k])) {
        pokarr_append(path.count - k, path, k, stretch, status);
        return;
    }
    const double end[2] = {path.x[k + 3], path.y[k + 3]};
    if (pk_eq_pnt2(point, end) == 0)
        pokarr_add_arc(end[0], end[1], nullptr, path.x[k + 2], path.y[k + 2], path.x[k + 1],
                       pk_arc_direction(path.y[k + 1]), stretch, status);
    if (status == 0 && k + 4 < path.count) pokarr_append(path.count - k - 4, path, k + 4, stretch, status);
}

// Whether a planar loop reaches the point (on element k) sooner back over its closing stretch
// than on again over its opening; `back` then holds that stretch from the loop's end to the
// point. Both ways run over moves just cut; the shorter one is cut again.
bool shorter_way_back(const pokarr& path, int k, const double* point, pokarr& back, int& status)
{
    if (path.dimension != kPlanar || (pk_is_marker(path.x[k]) && k + 3 >= path.count)) return false;
    double whole = 0.0, closing = 0.0;
    closing_stretch(path, k, point, back, status);
    if (status == 0) pokarr_length(0, path, nullptr, whole, status);
    if (status == 0) pokarr_length(0, back, nullptr, closing, status);
    if (status != 0 || !(closing < whole - closing)) return false;
    pokarr_reverse(back);
    return true;
}

}  // namespace

void path_on_to(const double* exit, pokarr& path, int& status)
{
    int k = 0;
    double t = 0.0, nearest[3] = {0.0, 0.0, 0.0}, distance = 0.0;
    pokarr_nearest_pnt(kPlanar, exit, path, k, t, nearest, distance);
    if (k < 1 || k >= path.count) return;
    const bool arc = pk_is_marker(path.x[k]) && k + 3 < path.count;
    pokarr_work back(kPlanar);
    if (shorter_way_back(path, k, nearest, back.a, status)) {
        pokarr_append(back.a.count - 1, back.a, 1, path, status);
        return;
    }
    if (status != 0) return;
    // The element the exit lies on, read before the path grows (growth moves its entries); the
    // entries before it are appended from the path itself (the append copies a range of its own
    // array aside first).
    const double cx = arc ? path.x[k + 2] : 0.0, cy = arc ? path.y[k + 2] : 0.0, r = arc ? path.x[k + 1] : 0.0;
    const int direction = arc ? pk_arc_direction(path.y[k + 1]) : 1;
    if (k > 1) pokarr_append(k - 1, path, 1, path, status);
    if (status != 0) return;
    // An exit at the element's start ends the way on there: an arc from a point to the same
    // point would be cut as a whole circle.
    const double last[2] = {path.x[path.count - 1], path.y[path.count - 1]};
    if (pk_eq_pnt2(nearest, last) != 0) return;
    if (arc)
        pokarr_add_arc(nearest[0], nearest[1], nullptr, cx, cy, r, direction, path, status);
    else
        pokarr_add_pnt(nearest, path, status);
}

void lane_project(const pokarr& lane, pokarr& result, int& status)
{
    // Own road: refined, output only; the host's algorithm fills the raw lane, which is the result.
    const bool algorithm = D3DS_algorithmIsRun() != 0;
    const int refine = algorithm ? 0 : 1, raw = algorithm ? 1 : 0;
    surface_grid_seam_table().lane_on_srf(kWithSecondOrigin, refine, raw, 0, lane, result, result, status);
}

void connect_lanes(const double* start, const double* start_record, const double* end, const double* end_record,
                   const double* start_reference, const double* end_reference, pokarr& output, int& status)
{
    status = 0;
    const double gap_limit = std::max(0.0, static_cast<double>(proc_geometry().curve_approx.tolerance));
    pokarr_work p(dimension()), q(dimension());
    pokarr_add_pnt_nrm(start, start_record, p.a, status);
    if (status == 0) pokarr_add_pnt_nrm(end, end_record, p.a, status);
    if (status == 0 && D3DS_algorithmIsRun() == 0)
        surface_grid_seam_table().lan_on_grid(0, 0, p.a, pocket_work_block.engine_step, status);
    if (status != 0) return;
    if (link_switches_block.projection == 0) {
        double first[3], last[3];
        entry_of(p.a, 0, first);
        if (distance3(first, start) > kSamePoint) pokarr_insert_pnt_nrm(start, start_record, p.a, 0, status);
        entry_of(p.a, p.a.count - 1, last);
        if (status == 0 && distance3(last, end) > kSamePoint) pokarr_add_pnt_nrm(end, end_record, p.a, status);
        if (status == 0) pokarr_move(p.a, q.a, status);
    } else {
        lane_project(p.a, q.a, status);
        if (status != 0 || q.a.count == 0) {
            if (IsNcDebug() != 0) eroutc("[connect_lanes] UNABLE TO PROJECT CONNECTION ONTO SURFACE", 0);
            status = -1;
            return;
        }
        double f[3];
        entry_of(q.a, 0, f);
        if (distance3(f, start_reference) > kSamePoint) {
            if (distance3(f, start_reference) > gap_limit) {
                pokarr_work d(dimension());
                project_gap(start_reference, start_record, f, pokarr_normal(q.a, 0),
                            "[connect_lanes] UNABLE TO PROJECT START OF CONNECTION ONTO SURFACE", d.a, status);
                if (status != 0) return;
                double d_first[3], d_last[3];
                entry_of(d.a, 0, d_first);
                if (distance3(d_first, start_reference) > kGapShare * gap_limit)
                    pokarr_insert_pnt_nrm(start_reference, start_record, d.a, 0, status);
                entry_of(d.a, d.a.count - 1, d_last);
                const int keep = distance3(d_last, f) < kGapShare * gap_limit ? d.a.count - 1 : d.a.count;
                if (status == 0) pokarr_insert_pnts(keep, d.a, 0, q.a, 0, status);
            } else {
                pokarr_insert_pnt_nrm(start_reference, start_record, q.a, 0, status);
            }
            if (status != 0) return;
        }
        double k[3];
        entry_of(q.a, q.a.count - 1, k);
        if (distance3(k, end_reference) > kSamePoint) {
            if (distance3(k, end_reference) > gap_limit) {
                pokarr_work d(dimension());
                project_gap(k, pokarr_normal(q.a, q.a.count - 1), end_reference, end_record,
                            "[connect_lanes] UNABLE TO PROJECT END OF CONNECTION ONTO SURFACE", d.a, status);
                if (status != 0) return;
                double d_first[3], d_last[3];
                entry_of(d.a, 0, d_first);
                entry_of(d.a, d.a.count - 1, d_last);
                const int from = distance3(d_first, k) < kGapShare * gap_limit ? 1 : 0;
                const int to = distance3(d_last, end_reference) < kGapShare * gap_limit ? d.a.count - 1 : d.a.count;
                if (to > from) pokarr_append(to - from, d.a, from, q.a, status);
            }
            if (status == 0) pokarr_add_pnt_nrm(end_reference, end_record, q.a, status);
            if (status != 0) return;
        }
    }
    if (q.a.count > 1) pokarr_insert_pnts(q.a.count - 1, q.a, 0, output, 0, status);
}

void notlif_next_lane(int group_switch, int current, const cut_entry_tables& entries, int& next, int& holder,
                      int& exit_holder)
{
    static_cast<void>(group_switch);
    static_cast<void>(current);
    static_cast<void>(entries);
    link_plan& plan = link_plan_block;
    if (plan.position >= plan.lanes.size()) {
        next = kLinkEnd;
        holder = exit_holder = 0;
        return;
    }
    next = plan.lanes[plan.position];
    holder = plan.holders[plan.position];
    exit_holder = plan.exits[plan.position];
    ++plan.position;
}

namespace {

// notlif with the work array of the path given: the linking loop keeps one for all its lanes,
// so that a lane read into it reuses the block the last one left (every read resets it).
void notlif_in(double side_step, int direction_sign, cut_entry_tables& entries, int current, int holder,
               int exit_holder, int next, pokarr& path, int& lane)
{
    lane = 0;
    const heights_state& heights = HEI8();
    link_switches_block.projection = heights.at(heights_state::kUseAbsolute) == 1 &&
                                             eqval(heights.real(heights_state::kIncremental), kNoProjectionHeight)
                                         ? 0
                                         : 1;
    const double spike = std::min(2.0 * pocket_work_block.tolerance, side_step);
    int status = 0;
    if (!stage_index_ok(current) || !stage_index_ok(holder) || !stage_index_ok(exit_holder)) {
        lane = -kEngineTableFull;
        return;
    }
    if (entries.element[holder] == 0) {
        erou1c("[notlif] CUTPAS FAILED IN LANE INDEX ", holder);
        add_separator(status);
        if (status != 0) {
            lane = -status;
            return;
        }
    }
    open_chain_lane(holder, current, direction_sign, entries, path, status);
    const lane_table& lt = lane_table_block;
    const bool linked = next != kLinkEnd && std::abs(lt.parent[current]) == next && entries.element[current] != 0;
    // A lane entered where the lane cut before it ends is cut once round from there; its own link
    // to its parent starts at its exit holder's entry.
    const bool other_exit = status == 0 && exit_holder != holder && entries.element[exit_holder] != 0 && path.count > 1;
    double exit[3], to[3];
    entry_point(entries, holder, exit);
    entry_point(entries, current, to);
    // The move to the next lane is tested before this lane's path joins the table, which the
    // island test reads. Only a lane that goes on to the next one at cutting height goes on
    // along itself to where that move starts: before a separator the way on would be cut again
    // for nothing.
    bool connect = false;
    if (status == 0 && linked) {
        double from[3];
        std::copy(exit, exit + 3, from);
        if (other_exit) entry_point(entries, exit_holder, from);
        int hit = 0, islands = 0;
        conn_hits_island_listed(island_test_lanes_follow(link_plan_block.islands), current, next, from, to, hit,
                                islands);
        if (islands < 0) status = kEngineArrayFailed;
        connect = islands == 0;
        if (connect && other_exit) {
            std::copy(from, from + 3, exit);
            path_on_to(exit, path, status);
        }
    }
    link_plan& plan = link_plan_block;
    if (status == 0 && dimension() != kPlanar && plan.has_exit != 0 && path.count > 0) {
        // On surfaces the move from the last path's end is laid on the part in front of the path.
        double first[3];
        entry_of(path, 0, first);
        connect_lanes(plan.exit, kDefaultNormal, first, pokarr_normal(path, 0), plan.exit, first, path, status);
    }
    if (status != 0) {
        lane = -std::abs(status);
        return;
    }
    if (path.count > 0) {
        std::copy(exit, exit + 3, plan.exit);
        plan.has_exit = 1;
    }
    lane = add_cut_lane(current, path);
    if (lane < 0) return;
    entries.element[current] = -std::abs(entries.element[current]);
    if (next == kLinkEnd) return;
    if (connect)
        add_connection(exit, to, current, next, spike, status);
    else
        add_separator(status);
    if (status != 0) lane = -status;
}

// The work array of a path, in the pocket's dimension.
int path_dimension() { return dimension() == kPlanar ? 2 : dimension(); }

}  // namespace

void notlif(int group_switch, int link_mode, double side_step, int direction_sign, cut_entry_tables& entries,
            int current, int holder, int exit_holder, int next, int& lane)
{
    static_cast<void>(group_switch);
    static_cast<void>(link_mode);
    pokarr_work path(path_dimension());
    notlif_in(side_step, direction_sign, entries, current, holder, exit_holder, next, path.a, lane);
}

void cut_linked_chains(int group_switch, double side_step, int direction_sign, cut_entry_tables& entries, int& status)
{
    status = 0;
    build_plan(entries);
    cut_stage_state& s = cut_stage_block;
    int current = 0, holder = 0, exit_holder = 0;
    pokarr_work path(path_dimension());
    notlif_next_lane(group_switch, 0, entries, current, holder, exit_holder);
    while (current != kLinkEnd) {
        int next = 0, next_holder = 0, next_exit = 0;
        notlif_next_lane(group_switch, current, entries, next, next_holder, next_exit);
        int lane = 0;
        notlif_in(side_step, direction_sign, entries, current, holder, exit_holder, next, path.a, lane);
        if (lane < 0) {
            status = -lane;
            break;
        }
        cut_progress_step(s.progress_on, s.progress_total, s.progress_counter);
        current = next;
        holder = next_holder;
        exit_holder = next_exit;
    }
    link_plan_block = link_plan{};
    if (status == 0) add_separator(status);
}
