// Stage 1 of the cutting order: for every chain (a closing lane, its innermost lane F and F's
// parents on the same branch) a ray is laid from a point of F along its outward normal, and the
// chain's entries are where the ray meets each parent in turn. Candidates are tried at ten
// parameters over F's elements, first with the ray hits, then with the nearest points, then with
// wider rays; a chain that finds no entry tries other parents, a second sweep that splits it, the
// relaxed angle check and the best refused step, and is cut at last. Within a pass, rays from
// places where F would be cut there and back are tried after all others.
#include "pocket_lanes/cutting_stages.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/prog_line.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/nearest_points.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_detours.hpp"
#include "pocket_lanes/collapse_pass_cut.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/entry_rays.hpp"
#include "pocket_lanes/moves/connection_tests.hpp"
#include "pocket_lanes/moves/segment_clearance.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kPlanar = 2;
constexpr int kOneOffset = 1;
constexpr int kTries = 10;
constexpr double kFirstParam = 0.5, kParamStep = 0.09, kIslandParamShift = 0.06;
constexpr int kMostAlternatives = 250;
// Parents kept read: a few at first; a quarter more whenever a lane is read again within
// kRecentReads times that room of reads after it gave way (the chains of a branch walk up the
// same upper lanes one after another), up to kParentsKept (each holds a box table of some 27 KB).
constexpr std::size_t kParentsFirst = 8, kParentsKept = 256;
constexpr long kRecentReads = 8;
// Entries room made once per chain: a chain walks up many parents, and its entry list would
// otherwise grow step by step.
constexpr std::size_t kEntriesRoom = 64;
constexpr double kSpikeReach = 0.0001;
constexpr double kShortShare = 0.05;
constexpr double kNoStep = 1.0e10;
constexpr double kWideReach = 12.0;
constexpr double kReachSlack = 0.001;
// An arc whose ends lie nearer than this share of its radius is held within its whole circle.
constexpr double kWholeCircleShare = 0.01;
constexpr double kSurfaceReach = 1.2;
constexpr int kPollEvery = 15;
constexpr int kProgressEvery = 20;
constexpr int kDrawFindStart = 5;
constexpr int kOpenContour = 3;
constexpr int kDone = 1;  // the entry element that marks a chain ending at a contour as done
constexpr int kProgressStart = 0, kProgressUpdate = 1, kProgressClose = 2;

enum class ray_mode { hits, nearest, wider };
enum class walk_end { complete, refused, no_hit, failed, split };

bool valid(int n) { return n >= 1 && n <= lane_table_block.count; }
int parent_of(int n) { return std::abs(lane_table_block.parent[n]); }
bool planar() { return pocket_state_block.pocket_dimension == kPlanar; }

// An entry written for a lane: where the chain passes from it into its parent.
struct entry {
    int lane = 0;
    int element = 0;
    double point[3] = {0.0, 0.0, 0.0};
    double param = 0.0;
};

struct candidate {
    int element = 0;
    double t = 0.0;
    double point[3] = {}, end[3] = {}, back[3] = {};
    // The ray back..end as the crossing search sees it, made once for all the parents it meets.
    clearance_segment segment;
};

// The refused step with the smallest length of the chain, with what its candidate had taken.
struct refused_step {
    bool valid = false;
    double length2 = kNoStep;
    candidate ray;
    std::vector<entry> taken;
    entry hit;
    int parent = 0;
};

// The stage's fixed values.
struct stage_values {
    double side_step = 0.0;
    int offsets_mode = 0;
    double reach = 0.0;
    bool dense = false;  // enough lanes that a long step is refused
    int check = 1;       // the angle check of the ray hits
    // The lengths of a step within the reach and of a wider ray's, where a step beyond the reach
    // is refused (a dense planar pocket, not in offsets mode 1); 0 where any step is taken.
    double reach_length = 0.0, wide_reach_length = 0.0;
};

struct stage_run {
    stage_run(const stage_values& values, cut_entry_tables& tables, double* heights, int& branches, int& status_out)
        : v(values), entries(tables), z(heights), outer_branches(branches), status(status_out)
    {
        // The stage asks only whether its moves are clear.
        islands.crossed_only = true;
    }
    const stage_values& v;
    cut_entry_tables& entries;
    double* z;
    int& outer_branches;
    int& status;
    // The host's surface algorithm runs (asked once: nothing in the stage changes it).
    const bool surfaces = D3DS_algorithmIsRun() != 0;
    std::vector<int> pending;  // closing lanes to take up at once
    int rescan_from = 0;       // the scan goes on from here (0: from where it stood)
    // The island lanes of the move tests, as listed at this lane count and branch count.
    island_test_lanes islands;
    int listed_count = -1, listed_branches = -1;
    // The outer lanes of the move tests across branches, as listed at this lane count (the stage
    // changes no lane's status and only appends closing lanes).
    island_test_lanes outer;
    int outer_count = -1;
    // The parents the rays were last laid on, read with their element boxes: a chain's tries
    // meet the same few parents again and again, the chains of a branch meet its upper lanes, and
    // no lane changes its points in this stage. The least recently used read gives way.
    struct parent_read {
        int lane = 0;
        long used = 0;  // the tick of its last use
        pokarr_work points{2};
        std::unique_ptr<pk_box_table> boxes;
        // The blocks of its elements for the nearest points, made at the first nearest ray.
        pk_nearest_index nearest;
        bool indexed = false;
    };
    struct parent_mark {
        std::size_t slot = 0;  // 1 + the slot holding the lane's read, or 0
        long gave_way = 0;     // the read that took its slot last (0: none)
    };
    std::vector<std::unique_ptr<parent_read>> parents;
    std::size_t parent_room = kParentsFirst;
    std::vector<parent_mark> parent_marks;  // by lane
    long tick = 0, reads = 0;
    // The boxes of the lanes tried as other parents, by lane (read once: no lane changes its
    // points in this stage).
    std::vector<std::array<double, 4>> lane_boxes;
    std::vector<char> boxed;
    pokarr_work box_read{2};
};

// The slot for a new read of lane n: a new one while there is room, else the least recently used,
// whose lane gives way. The room grows when n gave way a short while ago.
std::size_t parent_slot(stage_run& s, int n)
{
    const stage_run::parent_mark& mark = s.parent_marks[static_cast<std::size_t>(n)];
    const long recent = kRecentReads * static_cast<long>(s.parent_room);
    if (mark.gave_way > 0 && s.reads - mark.gave_way <= recent && s.parent_room < kParentsKept)
        s.parent_room = std::min(kParentsKept, s.parent_room + std::max<std::size_t>(1, s.parent_room / 4));
    if (s.parents.size() < s.parent_room) {
        s.parents.push_back(std::make_unique<stage_run::parent_read>());
        return s.parents.size() - 1;
    }
    std::size_t oldest = 0;
    for (std::size_t k = 1; k < s.parents.size(); ++k)
        if (s.parents[k]->used < s.parents[oldest]->used) oldest = k;
    stage_run::parent_read& p = *s.parents[oldest];
    if (p.lane > 0) {
        stage_run::parent_mark& old = s.parent_marks[static_cast<std::size_t>(p.lane)];
        old.slot = 0;
        old.gave_way = s.reads;
    }
    p.lane = 0;
    return oldest;
}

// Parent lane n as read for the rays (nullptr when it cannot be read).
stage_run::parent_read* parent_lane(stage_run& s, int n)
{
    if (!valid(n)) return nullptr;
    const std::size_t lane = static_cast<std::size_t>(n);
    if (lane >= s.parent_marks.size())
        s.parent_marks.resize(std::max(lane, static_cast<std::size_t>(lane_table_block.count)) + 1);
    if (s.parent_marks[lane].slot > 0) {
        stage_run::parent_read& kept = *s.parents[s.parent_marks[lane].slot - 1];
        kept.used = ++s.tick;
        return &kept;
    }
    ++s.reads;
    const std::size_t slot = parent_slot(s, n);
    stage_run::parent_read& p = *s.parents[slot];
    p.used = ++s.tick;
    // The slot's block is read over (the read resets it); only another dimension needs a new one.
    const int dimension = planar() ? 2 : 3;
    if (p.points.a.dimension != dimension) {
        pokarr_free(p.points.a);
        pokarr_init(dimension, p.points.a);
    }
    int status = 0;
    lane_to_pokarr(n, p.points.a, status);
    if (status != 0) return nullptr;
    if (p.boxes == nullptr) p.boxes = std::make_unique_for_overwrite<pk_box_table>();
    pokarr_get_boxes(p.points.a, *p.boxes);
    p.indexed = false;
    p.lane = n;
    s.parent_marks[lane].slot = slot + 1;
    return &p;
}

// The island lanes of the move tests. The stage changes levels only when it opens a branch, and
// adds lanes: the list is made again after either. On surfaces the list follows the parents of
// the closed lanes, which the stage also changes: it is made for every test there.
island_test_lanes& island_lanes(stage_run& s)
{
    const int count = lane_table_block.count;
    if (s.surfaces || s.listed_count != count || s.listed_branches != s.outer_branches) {
        island_test_lanes_list(s.islands);
        s.listed_count = count;
        s.listed_branches = s.outer_branches;
    }
    return s.islands;
}

// The outer lanes of the move tests across branches, listed again when the table has grown.
island_test_lanes& outer_lanes(stage_run& s)
{
    const int count = lane_table_block.count;
    if (s.outer_count != count) {
        outer_test_lanes_list(s.outer);
        s.outer_count = count;
    }
    return s.outer;
}

// One chain while its entries are sought.
// A detour joins F inside an element where the parameter of its point on F is this far from
// either end.
constexpr double kJointParam = 1.0e-6;

struct chain_run {
    int closing = 0, first = 0, level = 0, side = 0;
    int cut_side = 1;  // the side the chain cut lays the lane on (the pocket's direction sign)
    bool island = false, spike = true, stored_any = false;
    pokarr_work loop{2};
    pokarr_work lengths{1};
    double short_limit = 0.0;
    std::vector<int> alternatives;
    std::size_t next_alternative = 0;
    double box[4] = {};  // F's box (its rays start on F)
    int sweep = 1;
    bool relaxed = false;
    bool best_used = false;
    int longest_run = 0;
    refused_step best;
    std::vector<entry> written;  // the entries of the current candidate
    // F's rays by (wider, try, place in the sweep), kept once the first passes have failed: every
    // further round, over another parent or with other checks, lays the same rays again.
    int passes_run = 0;
    std::vector<candidate> rays;
    std::vector<signed char> ray_state;  // 0 not laid yet, 1 laid, -1 its element is too short
    // The current round's spike test as it began, and whether the round refused a hit for its
    // angle that the relaxed check would have taken: a relaxed round after a round of the first
    // sweep that refused none and began with the same spike test lays the same rays to the same
    // hits and steps again, and finds nothing new.
    bool round_spike = true;
    bool angle_refused = false;
    // The round's parent lies beyond the reach of every ray but the wider ones, and the round
    // counts only for whether it finds an entry (the next round forgets its best refused step):
    // the round lays only the last try of the nearest points, which passes on to the wider rays.
    bool wider_only = false;
    // Whether F entered at (element, parameter) is cut once from its opening, by place: the rays
    // of every round and mode start at the same few places.
    std::map<std::pair<int, double>, bool> cut_once_at;
};

bool write_entry(stage_run& s, const entry& e)
{
    if (!stage_index_ok(e.lane)) {
        s.status = kEngineTableFull;
        return false;
    }
    cut_entry_tables& t = s.entries;
    t.element[e.lane] = e.element;
    t.x[e.lane] = e.point[0];
    t.y[e.lane] = e.point[1];
    t.param[e.lane] = e.param;
    if (s.z != nullptr && e.lane <= cut_stage_block.z_room) s.z[e.lane] = e.point[2];
    return true;
}

void clear_entry(stage_run& s, int lane)
{
    if (stage_index_ok(lane)) s.entries.element[lane] = 0;
}

void clear_written(stage_run& s, chain_run& c)
{
    for (const entry& e : c.written) clear_entry(s, e.lane);
    c.written.clear();
}

// The contour type that decides the spike test: the contour's own type for a first offset.
int chain_contour_type(int first, bool island)
{
    const lane_table& lt = lane_table_block;
    if (lt.status[first] != 1) return 1;
    if (!island) return lt.outer_type;
    const int contour = lt.level[first] - kLevelIsland + 1;
    return valid(contour) ? lt.contour_type[contour] : 1;
}

// Other parents for F when its parent lies on another branch (step 5 of the stage).
std::vector<int> alternative_parents(int first)
{
    const lane_table& lt = lane_table_block;
    std::vector<int> list;
    const int p = parent_of(first);
    if (!valid(p) || lt.level[p] == lt.level[first] || lt.status[p] <= 0) return list;
    const auto add = [&list](int n) {
        if (list.size() < static_cast<std::size_t>(kMostAlternatives)) list.push_back(n);
    };
    if (lt.level[p] >= kLevelIsland)
        for (int n = 1; n <= lt.count; ++n)
            if (n != p && lt.level[n] >= kLevelIsland && lt.status[n] == lt.status[p] && lt.group[n] == 0 &&
                parent_of(n) == parent_of(p) && parent_of(n) != first)
                add(n);
    for (int n = 1; n <= lt.count; ++n)
        if (n != p && n != first && lt.status[n] == lt.status[p] && lt.group[n] == 0 && parent_of(n) != first) add(n);
    for (int n = 1; n <= lt.count; ++n) {
        const int q = parent_of(n);
        if (lt.status[n] > 0 && n != first && valid(q) && parent_of(q) == p && lt.group[q] == 0 && q != first) add(n);
    }
    return list;
}

// Reads F and its element lengths (step 4); the host is polled at every 15th read.
bool prepare_first(stage_run& s, chain_run& c)
{
    int status = 0;
    pokarr_init(planar() ? 2 : 3, c.loop.a);
    lane_to_pokarr(c.first, c.loop.a, status);
    if (++cut_stage_block.lane_reads % kPollEvery == 0) EXCBRK();
    double total = 0.0;
    if (status == 0) pokarr_length(0, c.loop.a, &c.lengths.a, total, status);
    if (status != 0 || c.loop.a.count < 2) {
        s.status = kEngineArrayFailed;
        return false;
    }
    c.short_limit = kShortShare * total;
    pokarr_box(c.loop.a, c.box);
    c.written.reserve(kEntriesRoom);
    return true;
}

// The elements of F in the order a try sweeps them.
std::vector<int> sweep_order(const chain_run& c)
{
    std::vector<int> elements;
    const pokarr& l = c.loop.a;
    for (int e = 1; e < l.count; e += pk_is_marker(l.x[e]) ? kArcRecordEntries : 1) elements.push_back(e);
    if (c.island) std::reverse(elements.begin(), elements.end());
    return elements;
}

// A line whose neighbour point comes back onto it.
bool spike_element(const pokarr& l, int e)
{
    if (pk_is_marker(l.x[e])) return false;
    const auto near = [&l](int a, int b) {
        return std::fabs(l.x[a] - l.x[b]) < kSpikeReach && std::fabs(l.y[a] - l.y[b]) < kSpikeReach;
    };
    if (e + 1 < l.count && !pk_is_marker(l.x[e + 1]) && near(e + 1, e - 1)) return true;
    const bool arc_before = e >= 5 && pk_is_marker(l.x[e - 4]);
    return !arc_before && e >= 2 && near(e, e - 2);
}

double squared(const double* a, const double* b, bool with_z)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = with_z ? a[2] - b[2] : 0.0;
    return dx * dx + dy * dy + dz * dz;
}

// Whether lane n passes into its parent wherever a ray meets the parent, square or not. A collapse
// lane is a part of the swallowtail of its source's offset: its sides run along no offset of the
// source, so a ray from it almost never meets the source square, and the square rays that pick an
// entry between parallel lanes would sweep every try and mode before one is taken. Its entry is
// the first ray whose move clears the same island, lane and reach tests as every other entry.
bool any_angle_entry(int n) { return valid(n) && lane_table_block.contour_type[n] == kContourCollapse; }

// How far from the ray's start a hit on the next parent may lie for its step from `previous`
// (a point on the ray) to stay within the reach; 0 where any step may be taken. Once the chain
// holds a refused step, a hit beyond both the reach and that step's length is refused and leaves
// the chain as it is, a hit the ray misses would: `nothing_beyond` then says that no hit farther
// matters.
double hit_reach(const stage_values& v, const chain_run& c, ray_mode mode, const candidate& ray, const double* previous,
                 bool& nothing_beyond)
{
    nothing_beyond = false;
    if (v.reach_length == 0.0) return 0.0;
    const double dx = previous[0] - ray.back[0], dy = previous[1] - ray.back[1];
    const double along = dx == 0.0 && dy == 0.0 ? 0.0 : std::sqrt(dx * dx + dy * dy);
    const double reach = mode == ray_mode::wider ? v.wide_reach_length : v.reach_length;
    if (!c.best.valid) return along + reach + kReachSlack;
    nothing_beyond = true;
    return along + std::max(reach, std::sqrt(c.best.length2)) + kReachSlack;
}

// The hit of the ray on P (step 8.2) from lane `walker`, whose step starts at `previous`;
// answers false when the stage ends. far: the nearest point of P is known to lie beyond the reach
// and the chain's best refused step, without its search (the step is refused, the chain left as
// it is).
bool hit_on_parent(stage_run& s, chain_run& c, const candidate& ray, ray_mode mode, int walker, int parent,
                   const double* previous, entry& hit, bool& counts, bool& far)
{
    counts = false;
    far = false;
    if (mode == ray_mode::nearest) {
        stage_run::parent_read* read = parent_lane(s, parent);
        if (read == nullptr) {
            s.status = kEngineArrayFailed;
            return false;
        }
        if (!read->indexed) {
            pokarr_nearest_index(read->points.a, read->nearest);
            read->indexed = true;
        }
        bool nothing_beyond = false;
        const double within = hit_reach(s.v, c, mode, ray, ray.point, nothing_beyond);
        if (nothing_beyond && pokarr_nearest_beyond(ray.point, read->nearest, within)) {
            far = true;
            return true;
        }
        int k = 0;
        double distance = 0.0;
        pokarr_nearest_pnt_indexed(3, ray.point, read->points.a, read->nearest, k, hit.param, hit.point, distance);
        hit.element = k;
        counts = k > 0;
        return true;
    }
    int result = 0;
    const stage_run::parent_read* read = parent_lane(s, parent);
    if (read == nullptr) {
        hit.element = -1;
    } else {
        bool nothing_beyond = false;
        const double within = hit_reach(s.v, c, mode, ray, previous, nothing_beyond);
        entry_hit_on_lane(read->points.a, read->boxes.get(), ray.back, ray.end, s.v.check, result, hit.point, hit.param,
                          hit.element, &ray.segment, within, nothing_beyond);
    }
    if (hit.element < 0) {
        s.status = kEngineArrayFailed;
        return false;
    }
    const bool relaxed = c.relaxed || any_angle_entry(walker), wider = mode == ray_mode::wider;
    counts = entry_hit_taken(s.v.offsets_mode, result, relaxed, wider);
    if (!counts && entry_hit_taken(s.v.offsets_mode, result, true, wider)) c.angle_refused = true;
    return true;
}

// The straight move from the ray's origin to the hit: clear of the islands and, across branches,
// of the other lanes. Answers false when the stage ends.
bool move_clear(stage_run& s, int walker, int parent, const double* from, const double* to, bool& clear)
{
    clear = true;
    if (s.v.offsets_mode == kOneOffset) return true;
    int hit = 0, status = 0;
    conn_hits_island_listed(island_lanes(s), parent, walker, from, to, hit, status);
    if (status < 0) {
        s.status = status;
        return false;
    }
    if (status > 0) {
        clear = false;
        return true;
    }
    if (lane_table_block.level[parent] != lane_table_block.level[walker]) {
        conn_hits_lane_listed(outer_lanes(s), parent, walker, from, to, status);
        if (status < 0) {
            s.status = status;
            return false;
        }
        clear = status == 0;
    }
    return true;
}

// Whether a step of squared length length2 stays within the reach of a dense pocket (a wider ray
// reaches kWideReach times as far); any step does in offsets mode 1 and in a sparse pocket.
bool within_reach(const stage_values& v, ray_mode mode, double length2)
{
    if (v.offsets_mode == kOneOffset || !v.dense) return true;
    return mode == ray_mode::wider ? length2 < kWideReach * v.reach : length2 <= v.reach;
}

// Lane n's box, read once in the stage; false when the lane cannot be read.
bool stage_lane_box(stage_run& s, int n, double* box)
{
    const std::size_t lane = static_cast<std::size_t>(n);
    if (lane >= s.boxed.size()) {
        s.lane_boxes.resize(static_cast<std::size_t>(lane_table_block.count) + 1);
        s.boxed.resize(s.lane_boxes.size(), 0);
    }
    if (s.boxed[lane] == 0) {
        int status = 0;
        lane_to_pokarr(n, s.box_read.a, status);
        if (status != 0) return false;
        pokarr_box(s.box_read.a, s.lane_boxes[lane].data());
        s.boxed[lane] = 1;
    }
    std::copy_n(s.lane_boxes[lane].data(), 4, box);
    return true;
}

// A circle that holds every point of an element.
struct element_circle {
    double centre[3] = {0.0, 0.0, 0.0};
    double radius = 0.0;
};

// The circle round the middle of a chord: it holds every point of an arc over that chord that
// turns through no more than a half circle (each such point sees the chord at a right angle or
// more). The slack covers the rounding of the points.
element_circle chord_circle(double ax, double ay, double bx, double by)
{
    element_circle c;
    c.centre[0] = 0.5 * (ax + bx);
    c.centre[1] = 0.5 * (ay + by);
    c.radius = 0.5 * std::hypot(bx - ax, by - ay) + kPocketRangeSlack;
    return c;
}

// The circles that hold element e of a planar lane (the element ending at entry e; an arc where
// the entry is a marker): a line's round its middle; an arc's two halves, each no more than a half
// circle, or the arc's whole circle where its ends nearly meet (a full circle's middle cannot be
// told from its ends). Answers how many circles it gave.
int element_circles(const pokarr& l, int e, std::array<element_circle, 2>& circles)
{
    const double ax = l.x[e - 1], ay = l.y[e - 1];
    if (!pk_is_marker(l.x[e]) || e + 3 >= l.count) {
        circles[0] = chord_circle(ax, ay, l.x[e], l.y[e]);
        return 1;
    }
    const double r = l.x[e + 1], cx = l.x[e + 2], cy = l.y[e + 2], bx = l.x[e + 3], by = l.y[e + 3];
    if (std::hypot(bx - ax, by - ay) < kWholeCircleShare * r) {
        circles[0].centre[0] = cx;
        circles[0].centre[1] = cy;
        circles[0].radius = r + kPocketRangeSlack;
        return 1;
    }
    double mx = 0.0, my = 0.0;
    arc_pnt_by_angle(r, pk_arc_direction(l.y[e + 1]), cx, cy, ax, ay, bx, by, 0.5, mx, my);
    circles[0] = chord_circle(ax, ay, mx, my);
    circles[1] = chord_circle(mx, my, bx, by);
    return 2;
}

// Whether every step from F to parent p is longer than sqrt(reach2), whatever the ray: each step
// starts on F and ends on p, so it is at least as long as the gap between their boxes; where the
// boxes come nearer, every element of F is held within a circle, and the block boxes of p keep
// each circle that far away (by a margin for the hits' rounding) or they do not tell. Only a
// dense pocket refuses long steps; F must have no entry yet and p must stand (else a walk ends at
// once). Planar pockets only (a step on a surface also climbs).
bool parent_beyond(stage_run& s, const chain_run& c, int p, double reach2)
{
    const lane_table& lt = lane_table_block;
    if (!planar() || s.v.offsets_mode == kOneOffset || !s.v.dense || !valid(p) || lt.status[p] == 0) return false;
    if (!stage_index_ok(c.first) || s.entries.element[c.first] != 0) return false;
    double box[4];
    if (!stage_lane_box(s, p, box)) return false;
    const double dx = std::max({0.0, box[0] - c.box[2], c.box[0] - box[2]});
    const double dy = std::max({0.0, box[1] - c.box[3], c.box[1] - box[3]});
    const double gap = std::hypot(dx, dy) - kPocketRangeSlack;
    if (gap > 0.0 && gap * gap > reach2) return true;
    stage_run::parent_read* read = parent_lane(s, p);
    if (read == nullptr) return false;
    if (!read->indexed) {
        pokarr_nearest_index(read->points.a, read->nearest);
        read->indexed = true;
    }
    const double reach = std::sqrt(reach2) + kPocketRangeSlack;
    std::array<element_circle, 2> circles;
    const pokarr& l = c.loop.a;
    for (int e = 1; e < l.count; e += pk_is_marker(l.x[e]) ? kArcRecordEntries : 1) {
        const int held = element_circles(l, e, circles);
        for (int k = 0; k < held; ++k)
            if (!pokarr_nearest_beyond(circles[k].centre, read->nearest, reach + circles[k].radius)) return false;
    }
    return true;
}

// Whether a round over parent p meets nothing but steps refused for their length, the wider rays'
// too. Such a round leaves the chain as it found it, except for the best refused step, which the
// next round over another parent forgets.
bool parent_out_of_reach(stage_run& s, const chain_run& c, int p)
{
    return parent_beyond(s, c, p, kWideReach * s.v.reach);
}

// The linking steps of one candidate from lane `walker` up the chain (step 8). run counts the
// steps taken; split_at answers the lane reached when the second sweep splits there.
walk_end walk(stage_run& s, chain_run& c, const candidate& ray, ray_mode mode, int walker, const double* from, int& run,
              int& split_at)
{
    const lane_table& lt = lane_table_block;
    double previous[3] = {from[0], from[1], from[2]};
    for (int guard = 0; guard <= lt.count; ++guard) {
        const int parent = parent_of(walker);
        if (!valid(parent) || lt.status[parent] == 0) {
            clear_entry(s, walker);
            return walk_end::complete;
        }
        if (stage_index_ok(walker) && s.entries.element[walker] != 0) return walk_end::complete;
        entry hit;
        hit.lane = walker;
        bool counts = false, far = false;
        if (!hit_on_parent(s, c, ray, mode, walker, parent, previous, hit, counts, far)) return walk_end::failed;
        if (far) return walk_end::refused;
        if (!counts) return walk_end::no_hit;
        const bool nearest = mode == ray_mode::nearest;
        const double length2 =
            nearest ? squared(ray.point, hit.point, !planar()) : squared(previous, hit.point, !planar());
        // A step beyond the reach is refused whatever its move meets: the move's tests are spared
        // then (most steps to the parents tried in turn for a lone island's lane are such).
        bool clear = within_reach(s.v, mode, length2);
        if (clear && !move_clear(s, walker, parent, ray.point, hit.point, clear)) return walk_end::failed;
        if (!clear) {
            if (length2 < c.best.length2) {
                c.best.valid = true;
                c.best.length2 = length2;
                c.best.ray = ray;
                c.best.taken = c.written;
                c.best.hit = hit;
                c.best.parent = parent;
            }
            return walk_end::refused;
        }
        if (!write_entry(s, hit)) return walk_end::failed;
        c.written.push_back(hit);
        ++run;
        if (c.sweep == 2 && run == c.longest_run) {
            split_at = parent;
            return walk_end::split;
        }
        if (lt.level[parent] != c.level) return walk_end::complete;
        std::copy(hit.point, hit.point + 3, previous);
        walker = parent;
    }
    return walk_end::no_hit;
}

// Splits the chain at lane p (steps 10.6 and 11): the lanes above p on the chain's branch take a
// new branch number, p gets a closing lane of its own, taken up at once.
bool split_chain(stage_run& s, chain_run& c, int p)
{
    lane_table& lt = lane_table_block;
    ++s.outer_branches;
    for (int n = p + 1; n <= lt.count; ++n)
        if (lt.level[n] == c.level) lt.level[n] = s.outer_branches;
    int status = 0;
    lane_add_empty(lt.status[p] + 1, lt.level[p], p, status);
    if (status == 0 && !stage_index_ok(lt.count)) status = kEngineTableFull;
    if (status != 0) {
        s.status = status;
        return false;
    }
    ++pocket_box_block.first_output_lane;
    clear_entry(s, lt.count);
    s.pending.push_back(lt.count);
    return true;
}

// The ray of try k from the element e at place i of the sweep (n elements) at parameter t, wider
// or not; false for an element too short to give one. Kept for later rounds after the first.
bool chain_ray(chain_run& c, bool wider, int k, std::size_t i, std::size_t n, int e, double t, candidate& ray)
{
    const bool keep = c.passes_run > 1;
    const std::size_t slot = ((wider ? 1 : 0) * static_cast<std::size_t>(kTries) + static_cast<std::size_t>(k)) * n + i;
    if (keep && c.ray_state.empty()) {
        c.rays.resize(2 * static_cast<std::size_t>(kTries) * n);
        c.ray_state.assign(c.rays.size(), 0);
    }
    if (keep && c.ray_state[slot] != 0) {
        if (c.ray_state[slot] > 0) ray = c.rays[slot];
        return c.ray_state[slot] > 0;
    }
    ray = candidate{};
    ray.element = e;
    ray.t = t;
    int status = 0;
    entry_ray(wider ? 1 : 0, c.side, e, t, c.loop.a, ray.point, ray.end, ray.back, status);
    const bool laid = status != kRayElementShort;
    if (laid) ray.segment = make_clearance_segment(ray.back, ray.end);
    if (keep) {
        c.ray_state[slot] = laid ? 1 : -1;
        if (laid) c.rays[slot] = ray;
    }
    return laid;
}

// The chain entered at the ray's point: the closing lane's entry written there and the walk up
// the parents from it.
walk_end try_candidate(stage_run& s, chain_run& c, const candidate& ray, ray_mode mode, int& split_at)
{
    clear_written(s, c);
    entry start;
    start.lane = c.closing;
    start.element = ray.element;
    std::copy(ray.point, ray.point + 3, start.point);
    start.param = ray.t;
    if (!write_entry(s, start)) return walk_end::failed;
    c.written.push_back(start);
    c.stored_any = true;
    int run = 0;
    const walk_end end = walk(s, c, ray, mode, c.first, ray.point, run, split_at);
    if (c.sweep == 1) c.longest_run = std::max(c.longest_run, run);
    return end;
}

// The entries of the vertices of `cut` (F with its detour lanes put in) where a detour joins F
// inside one of F's elements.
std::vector<int> detour_joints(const pokarr& cut, const pokarr& lane, double near)
{
    std::vector<chain_element> elements;
    chain_elements_of(cut.x, cut.y, cut.count, elements);
    std::vector<int> joints;
    for (const chain_element& e : elements) {
        const double point[3] = {cut.x[e.start], cut.y[e.start], 0.0};
        double nearest[3] = {}, t = 0.0, distance = kNoDistance;
        int k = 0;
        pokarr_nearest_pnt(2, point, lane, k, t, nearest, distance);
        if (k >= 1 && distance <= near && t > kJointParam && t < 1.0 - kJointParam) joints.push_back(e.start);
    }
    return joints;
}

// F laid out as the chain cut will cut it when entered at (element, t): restarted there and laid
// out as the chain cut lays it (lay_chain_lane). False when it cannot be made.
bool cut_from_entry(const chain_run& c, int element, double t, pokarr& cut)
{
    int status = 0;
    pokarr_copy(c.loop.a, cut, status);
    double x = 0.0, y = 0.0;
    if (status == 0) pokarr_restart_at(cut, element, kRestartAtParam, t, x, y, status);
    if (status != 0) return false;
    lay_chain_lane(c.first, c.cut_side, cut, status);
    return status == 0;
}

// A place where a collapse pass of F may be entered: element and parameter of F; found on F
// with its detours put in, or on F alone.
struct pass_entry {
    int element = 0;
    double t = 0.0;
};

// Where a collapse pass of F may be entered: on F with its detour lanes put in (they run along F
// and out again, and may make a pass of no width where F alone has none), its turns and the
// points where the detours join it, each as the point of F it lies on; then the turns of F alone.
// A turn of the detours that lies off F is no place for F's ray.
std::vector<pass_entry> pass_entries(const chain_run& c)
{
    std::vector<pass_entry> entries;
    std::vector<int> turns;
    const double near = collapse_pass_near();
    if (has_collapse_detours(c.first)) {
        pokarr_work cut(c.loop.a.dimension);
        int status = 0;
        pokarr_copy(c.loop.a, cut.a, status);
        if (status == 0) collapse_detours_cut(c.first, cut.a, status);
        if (status == 0 && cut.a.count != c.loop.a.count) {
            collapse_pass_turns(cut.a, near, kDetourEntryLimits, detour_joints(cut.a, c.loop.a, near), turns);
            for (const int vertex : turns) {
                const double point[3] = {cut.a.x[vertex], cut.a.y[vertex], 0.0};
                double nearest[3] = {}, t = 0.0, distance = kNoDistance;
                int k = 0;
                pokarr_nearest_pnt(2, point, c.loop.a, k, t, nearest, distance);
                if (k >= 1 && distance <= near) entries.push_back({k, t});
            }
        }
    }
    collapse_pass_turns(c.loop.a, near, kLanePassLimits, {}, turns);
    for (const int vertex : turns) entries.push_back({vertex + 1, 0.0});
    return entries;
}

// Whether F entered at (element, t) is cut once from its opening as the chain cut will cut it:
// an entry in the middle of a stretch that F runs along twice (the sides of a pass of no width,
// or of a narrow gap between merged island lanes) would be cut there and back.
bool ray_cut_once(chain_run& c, int element, double t)
{
    const auto [place, added] = c.cut_once_at.try_emplace({element, t}, true);
    if (added) {
        pokarr_work cut(c.loop.a.dimension);
        place->second = !cut_from_entry(c, element, t, cut.a) || collapse_pass_cut_clean(cut.a, collapse_pass_near());
    }
    return place->second;
}

// Whether F entered there is cut once from its opening as the chain cut will cut it (restarted
// there and laid out as the chain cut lays it), by a cut shorter than F: the detours may join it
// otherwise than where the search found the entry, and the vertex that the cut found on F as read
// begins at may be gone where two arcs of one circle become one.
bool entry_cut_once(const chain_run& c, const pass_entry& e)
{
    pokarr_work cut(c.loop.a.dimension);
    return cut_from_entry(c, e.element, e.t, cut.a) && collapse_pass_cuts_once(cut.a, collapse_pass_near());
}

// A collapse pass of no width is entered at one of its turning points where the chain can go on
// from there: its cut then runs from the other end to the entry once (collapse_pass_cut.hpp).
// The ray there leaves the pass square to the element at the turn. Answers no_hit when no turn
// lets the chain in; the tries at the usual parameters follow.
walk_end try_pass_turns(stage_run& s, chain_run& c, int& split_at)
{
    if (c.passes_run != 1 || !planar()) return walk_end::no_hit;
    for (const pass_entry& e : pass_entries(c)) {
        if (!entry_cut_once(c, e)) continue;
        candidate ray;
        ray.element = e.element;
        ray.t = e.t;
        int status = 0;
        entry_ray(0, c.side, ray.element, ray.t, c.loop.a, ray.point, ray.end, ray.back, status);
        if (status == kRayElementShort) continue;
        ray.segment = make_clearance_segment(ray.back, ray.end);
        const walk_end end = try_candidate(s, c, ray, ray_mode::hits, split_at);
        if (end == walk_end::complete || end == walk_end::failed || end == walk_end::split) return end;
    }
    return walk_end::no_hit;
}

// The passes over the tries (step 9). Answers how the passes ended.
walk_end run_passes(stage_run& s, chain_run& c, int& split_at)
{
    const std::vector<int> elements = sweep_order(c);
    ++c.passes_run;
    c.round_spike = c.spike;
    c.angle_refused = false;
    if (const walk_end end = try_pass_turns(s, c, split_at);
        end == walk_end::complete || end == walk_end::failed || end == walk_end::split)
        return end;
    ray_mode mode = c.wider_only ? ray_mode::nearest : ray_mode::hits;
    // Rays from places where F would be cut there and back are tried after all others.
    std::vector<std::pair<candidate, ray_mode>> later;
    for (int k = c.wider_only ? kTries - 1 : 0; k < kTries; ++k) {
        double t = kFirstParam + kParamStep * k + (c.island ? kIslandParamShift : 0.0);
        if (t > 1.0) t -= 1.0;
        bool refused_here = false;
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const int e = elements[i];
            if (c.spike && spike_element(c.loop.a, e)) continue;
            if (k > 0 && e - 1 < c.lengths.a.count && c.lengths.a.x[e - 1] < c.short_limit) continue;
            candidate ray;
            if (!chain_ray(c, mode == ray_mode::wider, k, i, elements.size(), e, t, ray)) continue;
            if (planar() && !ray_cut_once(c, ray.element, ray.t)) {
                later.emplace_back(ray, mode);
                continue;
            }
            const walk_end end = try_candidate(s, c, ray, mode, split_at);
            if (end == walk_end::complete || end == walk_end::failed || end == walk_end::split) return end;
            if (end == walk_end::refused && mode == ray_mode::nearest && k == kTries - 1) refused_here = true;
            if (refused_here) break;
        }
        if (c.spike && !c.stored_any) c.spike = false;
        if (refused_here) {
            mode = ray_mode::wider;
            k = -1;
            continue;
        }
        if (k == kTries - 1 && mode == ray_mode::hits) {
            mode = ray_mode::nearest;
            k = -1;
        }
    }
    for (const auto& [ray, ray_mode_of] : later) {
        const walk_end end = try_candidate(s, c, ray, ray_mode_of, split_at);
        if (end == walk_end::complete || end == walk_end::failed || end == walk_end::split) return end;
    }
    return walk_end::no_hit;
}

// Takes the best refused step (step 10.4) and walks on from it.
walk_end take_best(stage_run& s, chain_run& c, int& split_at)
{
    c.best_used = true;
    int hit = 0, status = 0;
    conn_hits_island_listed(island_lanes(s), 0, 0, c.best.ray.point, c.best.hit.point, hit, status);
    if (status < 0) {
        s.status = status;
        return walk_end::failed;
    }
    if (status > 0) return walk_end::no_hit;
    clear_written(s, c);
    for (const entry& e : c.best.taken)
        if (!write_entry(s, e)) return walk_end::failed;
    if (!write_entry(s, c.best.hit)) return walk_end::failed;
    c.written = c.best.taken;
    c.written.push_back(c.best.hit);
    const lane_table& lt = lane_table_block;
    if (lt.level[c.best.parent] != c.level) return walk_end::complete;
    int run = static_cast<int>(c.written.size()) - 1;
    const candidate ray = c.best.ray;
    const int parent = c.best.parent;
    double from[3];
    std::copy(c.best.hit.point, c.best.hit.point + 3, from);
    c.best = refused_step{};
    return walk(s, c, ray, ray_mode::hits, parent, from, run, split_at);
}

// Sets up the chain of closing lane `closing` (step 3); false when it is only marked done.
bool begin_chain(stage_run& s, chain_run& c, int closing, int direction_sign)
{
    const lane_table& lt = lane_table_block;
    c.cut_side = direction_sign;
    c.closing = closing;
    c.first = parent_of(closing);
    if (!valid(c.first) || c.first <= lt.island_count + 1) {
        s.entries.element[closing] = kDone;
        return false;
    }
    c.level = lt.level[c.first];
    c.island = c.level > kLevelIsland;
    c.spike = chain_contour_type(c.first, c.island) != kOpenContour;
    c.side = c.level;
    if (pocket_state_block.reverse_islands == 0 && s.v.offsets_mode != kOneOffset) c.side = -c.side;
    return true;
}

// The chain is cut. Answers false when the stage ends.
bool cut_chain(stage_run& s, chain_run& c, bool& retake)
{
    lane_table& lt = lane_table_block;
    retake = false;
    clear_entry(s, c.closing);
    const int p = parent_of(c.first);
    if (!valid(p) || lt.status[p] == 0) {
        // Nothing left to link to: the chain stays as it is.
        if (stage_index_ok(c.closing)) s.entries.element[c.closing] = kDone;
        return true;
    }
    if (lt.level[p] != c.level) {
        ++s.outer_branches;
        lt.level[c.closing] = s.outer_branches;
        lt.parent[c.first] = 1;
        retake = true;
        return true;
    }
    if (!split_chain(s, c, p)) return false;
    s.rescan_from = lt.count - 1;
    return true;
}

// Links one chain (steps 3 to 11).
void take_chain(stage_run& s, int closing, int direction_sign)
{
    for (int again = 0; again <= kTries; ++again) {
        chain_run c;
        if (!begin_chain(s, c, closing, direction_sign)) return;
        if (!prepare_first(s, c)) return;
        // The alternatives are listed when the passes first fail (nothing changes the table
        // before): most chains link at once, and the list reads the whole table.
        bool listed = false, had_alternatives = false;
        bool retake = false;
        for (int round = 0; round <= 2 * kMostAlternatives + 8; ++round) {
            int split_at = 0;
            walk_end end = run_passes(s, c, split_at);
            if (end == walk_end::no_hit || end == walk_end::refused) {
                if (!listed) {
                    c.alternatives = alternative_parents(c.first);
                    had_alternatives = !c.alternatives.empty();
                    listed = true;
                }
                if (c.next_alternative < c.alternatives.size()) {
                    // The last alternative's round always runs: its best refused step is taken
                    // at last.
                    while (c.next_alternative + 1 < c.alternatives.size() &&
                           parent_out_of_reach(s, c, c.alternatives[c.next_alternative]))
                        ++c.next_alternative;
                    const int parent = c.alternatives[c.next_alternative++];
                    lane_table_block.parent[c.first] = parent;
                    c.best = refused_step{};
                    c.wider_only = c.next_alternative < c.alternatives.size() && parent_beyond(s, c, parent, s.v.reach);
                    continue;
                }
                if (!had_alternatives && c.sweep == 1 && c.longest_run >= 1) {
                    c.sweep = 2;
                    continue;
                }
                if (!c.relaxed) {
                    const bool same_again = c.sweep == 1 && !c.angle_refused && c.spike == c.round_spike;
                    c.relaxed = true;
                    c.sweep = 1;
                    if (!same_again) continue;
                }
                if (c.best.valid && !c.best_used) end = take_best(s, c, split_at);
            }
            if (end == walk_end::failed) return;
            if (end == walk_end::complete) return;
            if (end == walk_end::split) {
                split_chain(s, c, split_at);
                return;
            }
            if (!cut_chain(s, c, retake)) return;
            break;
        }
        if (!retake) return;
    }
}

}  // namespace

void cut_stage1(int group_switch, double side_step, int direction_sign, int offsets_mode, cut_entry_tables& entries,
                double* z, int& outer_branches, int& status)
{
    static_cast<void>(group_switch);
    status = 0;
    lane_table& lt = lane_table_block;
    if (lt.count >= kStageLaneLimit) {
        status = kEngineTableFull;
        return;
    }
    outer_branches = 0;
    for (int n = 1; n <= lt.count; ++n)
        if (lt.level[n] < kLevelSeparator) outer_branches = std::max(outer_branches, lt.level[n]);
    const int cleared = std::min(2 * pocket_box_block.first_output_lane, kStageEntries);
    std::fill(entries.element, entries.element + cleared + 1, 0);
    if (z != nullptr) std::fill(z, z + std::min(cleared, cut_stage_block.z_room) + 1, 0.0);

    stage_values v;
    v.side_step = side_step;
    v.offsets_mode = offsets_mode;
    v.check = offsets_mode != kOneOffset ? 1 : 0;
    const pocket_work& w = pocket_work_block;
    v.reach = planar() ? (w.tolerance + side_step) * (w.tolerance + side_step) + kReachSlack
                       : std::pow((1.0 + w.surface_reduction) * side_step * kSurfaceReach, 2);
    int standing = 0;
    for (int n = 1; n <= lt.count; ++n)
        if (lt.status[n] >= 0) ++standing;
    v.dense = standing - (lt.island_count + 1) > lt.island_count + 1;
    if (planar() && offsets_mode != kOneOffset && v.dense) {
        v.reach_length = std::sqrt(v.reach);
        v.wide_reach_length = std::sqrt(kWideReach * v.reach);
    }

    const bool progress = offsets_mode != kOneOffset && pocket_state_block.drawing_mode != kDrawFindStart;
    int total = lt.count;
    if (progress) prog_loops_text(kProgressStart, total, 0);
    stage_run s(v, entries, z, outer_branches, status);
    int scanned = 0;
    for (int n = lt.count; n >= 1 && status == 0; --n) {
        if (progress && ++scanned % kProgressEvery == 0) {
            const bool grew = lt.count != total;
            total = lt.count;
            prog_loops_text(grew ? kProgressStart : kProgressUpdate, total, std::min(scanned, total));
        }
        if (!stage_index_ok(n)) {
            status = kEngineTableFull;
            break;
        }
        if (lt.status[n] >= 0 || entries.element[n] != 0) continue;
        take_chain(s, n, direction_sign);
        while (status == 0 && !s.pending.empty()) {
            const int next = s.pending.back();
            s.pending.pop_back();
            take_chain(s, next, direction_sign);
        }
        if (s.rescan_from > 0) {
            n = s.rescan_from + 1;
            s.rescan_from = 0;
        }
    }
    if (progress) prog_loops_text(kProgressClose, 0, 0);
}
