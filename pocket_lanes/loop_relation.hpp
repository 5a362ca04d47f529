// Containment of whole loops: whether one pocket array lies inside another, whether pieces of an
// offset meet a loop, and the tests of a new loop against the islands and the outer lanes. The
// lane engine, the offset pieces and the common loops call them.
#pragma once

#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/moves/box_grid.hpp"

#include <array>
#include <memory>
#include <vector>

// Relations of pokarr_relation.
inline constexpr int kRelationOutside = 0;
inline constexpr int kRelationInside = 1;
inline constexpr int kRelationUndecided = 2;

// Status when the height decision of a pocket on surfaces needs the walk over the part surface,
// which this module does not carry.
inline constexpr int kRelationNoSurface = -2;

// Columns of one crossing table of the loop intersection (tens of kB: allocated, not on the
// stack). Only the rows below count are filled.
struct crossing_rows {
    pk_box_table boxes;
    int elem_a[kLuplupRows];
    int elem_b[kLuplupRows];
    double x[kLuplupRows], y[kLuplupRows], z_a[kLuplupRows], z_b[kLuplupRows];
    int count = 0;
};

// The crossings of A against B by the loop intersection (luplup_pokarr) in the given mode, with
// B's boxes. Status negative when the search failed, else 0: crossings found and all dropped
// again are none.
std::unique_ptr<crossing_rows> loop_crossings(int mode, pokarr& a, const pokarr& b, int& status);

// Does B lie inside A: 0 outside, 1 inside, 2 undecided. In 2-D the points of B (arc records
// skipped) are tested against A in order until one is not on A's boundary. On surfaces (A not of
// dimension 2) the crossings of A and B decide first: a crossing where B lies at least half the
// width (at most pocket_work.tolerance) above or below A would need the surface walk and gives
// status -2. side is +1 (outer lanes) or -1 (islands). Status 0 or the first failure met.
void pokarr_relation(pokarr& a, const pokarr& b, int side, double width, int& relation, int& status);

// Whether the crossing search of A against B (luplup_pokarr, LUPLUP) surely finds no crossing
// and no failure: both loops finite, and no element of A, walked as the search walks it, reaches
// a box holding every element of B with the widening of the search's element index. False when
// unsure; then only the search can tell.
bool crossing_search_finds_none(const pokarr& a, const pokarr& b);

// Loop A made ready for many crossing_search_finds_none tests: the widened boxes of its elements
// as the search walks them, in a grid, and its checks taken once. It reads the loop it was made
// from, which must stay unchanged while it is used.
struct crossing_search_loop {
    bool planar = false;
    bool finite = false;
    int count = 0;  // entries of A
    std::vector<std::array<double, 4>> boxes;
    std::vector<int> starts;  // per box, the element's first entry
    box_grid grid;
    std::vector<int> met;                 // candidates of the last test
    std::vector<int> near;                // the elements of the last crossing_search_near
    std::unique_ptr<crossing_rows> rows;  // the table of crossing_test_near, made at its first use
};
void crossing_search_loop_make(const pokarr& a, crossing_search_loop& prepared);
// crossing_search_finds_none(a, b) for the loop A made ready: the same answer, from the elements
// of A near B only.
bool crossing_search_finds_none(crossing_search_loop& a, const pokarr& b);
// What the crossing search of the loop A made ready against B needs of A (luplup_pokarr_near):
// its elements whose widened boxes meet B's elements' box. False when there is no such list (A
// or B not planar); the list lives in `a` until its next use.
bool crossing_search_near(crossing_search_loop& a, const pokarr& b, luplup_near& near);
// pokarr_intersect_test(mode, a, b) for the loop A made ready (`prepared`; A not B, the mode
// without the tens flag): the same status, from the elements of A near B only where the list can
// be had.
void crossing_test_near(int mode, pokarr& a, crossing_search_loop& prepared, const pokarr& b, int& status);

// Pieces held one after another in `pieces` (counts[i] entries each): result 1 or 2 when the
// first point of a piece lies inside the loop or on it, 2 when a piece crosses it, 0 otherwise.
// Status 0; -1 when the counts overrun the array; a failed crossing search passes its status on.
void pieces_meet_loop(int piece_count, const int* counts, const pokarr& pieces, const pokarr& loop, int& result,
                      int& status);

// Modes of loop_in_islands: 1 stops at the first point inside or on an island, 2 only inside;
// any other mode asks only whether an island meets (crosses or touches) the loop.
inline constexpr int kIslandsPointOrBoundary = 1;
inline constexpr int kIslandsPointInside = 2;

// The loop against the islands (levels 10001 on, passing over skip_level, the second-kind
// islands, the islands of contour type 2 and, when lane is a lane number, the islands whose box
// misses the lane's): result 0 none; in modes 1 and 2, 1 the loop's first point inside an
// island, 2 (mode 1) on its boundary; in other modes 2 when an island meets the loop. Status 0;
// 11 when an island cannot be read or an inside test cannot be made; a failed crossing search
// passes its status on. Reads pocket_state.pocket_dimension (the islands are read in it).
void loop_in_islands(int mode, int skip_level, int lane, const pokarr& loop, int& result, int& status);

// The loop against the live lanes of levels 1 .. levels: result 1 when one contains the loop's
// first point (2-D) or the loop (on surfaces); 2 when the outer contour is open (contour type 2)
// and the loop crosses the last lane read. With no lane tested, the group option set and a
// result of -1 coming in, the result is 1. Status 0; 11 when a lane cannot be read or an inside
// test cannot be made; a failed relation or crossing search passes its status on. Reads
// pocket_state.group_option and pocket_dimension, and pocket_work.engine_step (the width of the
// relation on surfaces and the height band of an open outer contour).
void loop_in_lanes(int levels, pokarr& loop, int& result, int& status);

// The loop against every island other than levels a and b (contour type 2 passed over). Cross
// first: a crossing gives 2, else the first point inside gives 1; 0 when neither (no island
// included).
// Inside first: the first point inside or on an island gives that result, else a crossing gives
// 2, else 0. Status 0; 11 when an island cannot be read or an inside test cannot be made; -2
// when the height decision on surfaces needs the surface walk (a height difference not below
// pocket_work.tolerance); a failed crossing search passes its status on. Reads
// pocket_state.pocket_dimension.
void loop_in_island_cross_first(const pokarr& loop, int level_a, int level_b, int& result, int& status);
void loop_in_island_inside_first(const pokarr& loop, int level_a, int level_b, int& result, int& status);
// Whether an island other than levels a and b holds the whole loop: its first point inside the
// island and no crossing with it gives 1, else 0. Status as the two tests above.
void loop_in_island_wholly(const pokarr& loop, int level_a, int level_b, int& result, int& status);
