// Crossings of a straight segment with a lane, and the tests of a connecting move between two
// lanes against the other lanes and the islands. The linking stage asks them before it accepts
// a straight connection; the entry hit of the cutting order uses seg_lane_hits alone.
#pragma once

#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"

#include <array>
#include <memory>
#include <vector>

// Modes of seg_lane_hits: the connection tests (with the height filter) and the entry hit.
inline constexpr int kSegHitsConnection = 3;
inline constexpr int kSegHitsEntry = 2;

// Status of the connection tests when a lane cannot be read or the crossing list cannot grow.
inline constexpr int kConnFailed = -1;

// Crossings of the segment start..end (three doubles each; z read only for a lane of dimension
// above 2) with the lane. Result 0 none; n > 0 the crossings kept (a 2-D lane stops at `wanted`);
// -1 when the list of crossings cannot grow. hit (three doubles; z only above dimension 2) and
// element describe the chosen crossing: in 2-D the first along the segment, above 2-D the one
// nearest the segment's start. In mode 3 a crossing where both ends of the segment lie more
// than 1e6 above (or below) the lane is passed over.
void seg_lane_hits(int mode, const double* start, const double* end, const pokarr& lane, int wanted, double* hit,
                   int& element, int& result);
// The same with the lane's element boxes (pokarr_get_boxes) given; nullptr: made here. A caller
// that tests one segment against many lanes may give it as make_clearance_segment(start, end)
// makes it (nullptr: made here).
struct clearance_segment;
void seg_lane_hits_boxed(int mode, const double* start, const double* end, const pokarr& lane,
                         const pk_box_table* boxes, int wanted, double* hit, int& element, int& result,
                         const clearance_segment* whole = nullptr);

// Status 0 when the connection start..end between lanes a and b crosses no other outer lane;
// 1 when it crosses another lane once; the crossing count (2 or more) when it crosses one lane,
// a or b included, more than once; -1 when a lane cannot be read or the list cannot grow. Both
// tests read the lanes in the pocket's dimension (reads pocket_state.pocket_dimension).
void conn_hits_lane(int lane_a, int lane_b, const double* start, const double* end, int& status);

// The same against the islands (the live lane of every island level not of contour type 2, then
// every live island lane; with the host's surface algorithm running, the parents of the closing
// lanes); hit names the lane that decided.
void conn_hits_island(int lane_a, int lane_b, const double* start, const double* end, int& hit, int& status);

// The lanes conn_hits_island tests, in its order. A caller that tests many moves while the lane
// table keeps its count, levels and statuses (stage 1 of the cutting order) lists them once and
// tests against the list. Reads the lane table and the host's surface-algorithm flag. Listed
// again in the plane, a list keeps what it knew of the lanes it still holds in the same places
// (the lanes keep their points while a list knows them).
// The list keeps each lane's box (x and y low, then high) once it is known, so that a move far
// from a lane passes it by at the cost of four comparisons, and a lane's points and element boxes
// once it has been read.
struct island_test_lane_read;
struct box_grid;
struct island_test_lanes {
    island_test_lanes();
    ~island_test_lanes();
    island_test_lanes(island_test_lanes&&) noexcept;
    island_test_lanes& operator=(island_test_lanes&&) noexcept;
    std::vector<int> lanes;
    std::vector<std::array<double, 4>> boxes;
    std::vector<char> boxed;  // 1 where boxes holds the lane's box
    std::vector<std::unique_ptr<island_test_lane_read>> read;
    // Set by a caller that asks only whether a move is clear: a lane other than a and b is then
    // searched for one crossing, and status is 1 where it would have been that lane's count.
    bool crossed_only = false;
    // A list of many lanes that many moves are tested against gets a grid of its lanes' boxes:
    // a move then looks only at the lanes whose boxes may meet its own, in the list's order.
    // Made once the list has answered a few moves, and forgotten with its boxes.
    int moves = 0;                       // moves tested against the list as it stands
    std::unique_ptr<box_grid> grid;      // the grid, once made
    std::vector<int> nearby;             // scratch: the lanes a move looks at
    std::unique_ptr<pk_box_table> lent;  // scratch: the table a small lane's kept boxes are lent to
};
void island_test_lanes_list(island_test_lanes& list);

// The island test list of a stage that only appends lanes to the table and changes no lane it
// holds (the linking stage): in the plane each look reads only the lanes appended since the last
// one, and the lanes' reads are kept while the list stays the same. On surfaces the list is made
// again at every look. Asks the host's surface flag once, at the first look.
struct island_test_lanes_kept {
    island_test_lanes list;
    int surfaces = -1;         // the host's surface flag (-1: not asked yet)
    int seen = 0;              // lanes of the table looked at
    int islands = -1;          // the table's island count when looked at
    std::vector<int> newest;   // per island level 1..islands, its newest lane (0: none yet)
    std::vector<int> offsets;  // the first island offsets not passed over, in table order
    std::vector<int> lanes;    // scratch: the list as made at a look
};
// Brings the kept list up to the lane table (the same lanes, in the same order, as
// island_test_lanes_list makes).
island_test_lanes& island_test_lanes_follow(island_test_lanes_kept& kept);
void conn_hits_island_listed(island_test_lanes& list, int lane_a, int lane_b, const double* start, const double* end,
                             int& hit, int& status);

// The lanes conn_hits_lane tests, in its order (the live first offsets of the outer contour's
// branches, the table's last lane left out), in the list of the island tests: a caller that
// tests many moves while the table keeps them (stage 1 of the cutting order) lists them once,
// makes the list again when the table grows, and tests against the list.
void outer_test_lanes_list(island_test_lanes& list);
void conn_hits_lane_listed(island_test_lanes& list, int lane_a, int lane_b, const double* start, const double* end,
                           int& status);
