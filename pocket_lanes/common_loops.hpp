// Common loops of two crossing loops: the walk of their linked crossing table
// (pocket_arrays/crossing_table.hpp) into closed loops that are filtered and recorded as lanes
// (comlup_pokarr), and the common part of two regions. The lane engine's combination stage and
// the one-offset step call comlup_pokarr.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Status words of comlup_pokarr.
inline constexpr int kComlupNone = 0;
inline constexpr int kComlupRecorded = 1;
inline constexpr int kComlupClosedNoneKept = 2;
inline constexpr int kComlupNothingCollected = 3;
inline constexpr int kComlupMemory = 11;
// A status of lane_add that ends the walk besides the full table.
inline constexpr int kComlupLaneRefused = 15;

// Walks the common loops of A and B, filters them and records the survivors as lanes (or, with
// the re-offset flag or in the arc-corner mode, keeps them in the pending buffer);
// lane_status is the caller's status for the new lanes. Answers the index of the point at which the walk
// reached its highest row in the loop of largest signed area, and the lane count then. Reads
// pocket_work (tolerance, corner_arcs, reoffset_distance, end_point_mode, reversed_islands,
// tool_radius) and
// pocket_state.single_offset.
void comlup_pokarr(int reoffset_flag, pokarr& a, pokarr& b, int parent, double distance, int lane_status, int lane_a,
                   int lane_b, int kind, int option, int& level_counter, int& largest_index, int& largest_lanes,
                   int& status);

// The pending buffer: loops kept by comlup_pokarr instead of being recorded.
inline constexpr int kLoopBufferMax = 7000;
struct loop_buffer {
    pokarr points;
    int loops = 0;
    int counts[kLoopBufferMax + 1] = {};      // 1-based point count of each loop
    int directions[kLoopBufferMax + 1] = {};  // 1-based direction of each loop
};
extern loop_buffer pending_loops_block;
// The collection buffer: the loops the one-offset step hands to its caller in collection mode.
extern loop_buffer collected_loops_block;
// The loops of the other side that comlup_pokarr walks and drops for a branch lane against an
// island lane (kind 0): the parts of the island lane's region reaching beyond the branch lane,
// each turned to run counter-clockwise. Kept only while `keep` is set by the caller.
struct dropped_loops {
    bool keep = false;
    loop_buffer loops;
};
extern dropped_loops dropped_loops_block;
// Empties a buffer (its points given back, count 0).
void loop_buffer_clear(loop_buffer& buffer);
// Appends a loop with its direction; status 11 when the buffer is full or the append fails.
void loop_buffer_add(loop_buffer& buffer, const pokarr& loop, int direction, int& status);

// The common part of the regions of two planar loops running counter-clockwise: A's runs inside B
// closed by B's runs inside A, each loop cleaned and appended to `out`. The crossing search
// indexes B and the inside test reads B: the smaller loop is best given as B. `crossings`
// answers the rows of the crossing table (0: the loops do not cross, and nothing is appended).
// False when the crossing search fails or its rows do not close into loops.
bool comlup_inside_loops(pokarr& a, const pokarr& b, loop_buffer& out, int& crossings);
// The part of A's region outside B's (both running counter-clockwise): A's runs outside B closed
// by B's runs inside A walked backwards, as comlup_inside_loops appends its loops. `crossings` 0:
// the loops do not cross, and nothing is appended.
bool comlup_outside_loops(pokarr& a, const pokarr& b, loop_buffer& out, int& crossings);
// The number of points where the plans of two loops cross (touches left out), -1 when the search
// fails.
int comlup_crossings(pokarr& a, const pokarr& b);
