// One offset of one loop (oneoff_pokarr): the source loop cleaned and restarted, offset, its
// self-loops removed, the pieces tested against the source, the lanes and the islands, filtered
// as a set and recorded as lanes; with the arc-corner mode (offset by d + R and back by R) and
// the leftover mode (the area the new lanes miss becomes extra lanes). The lane loop calls it
// for every lane of every pass; the common loops call it in collection mode.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Collection switch: record lanes; collect the pieces for the caller (1, 2); the open-contour
// mode, also recording.
inline constexpr int kOneoffRecord = 0;
inline constexpr int kOneoffCollect = 1;
inline constexpr int kOneoffCollectLeftover = 2;
inline constexpr int kOneoffOpenContour = 3;

// Result codes besides 0 (lanes recorded): no usable offset, the restart point cannot be
// placed, loop removal failed or the lane table is full, a work array cannot be made.
inline constexpr int kOneoffNoOffset = 1;
inline constexpr int kOneoffNoRestart = 9;
inline constexpr int kOneoffRemovalFailed = 10;
inline constexpr int kOneoffMemory = 11;
// A loop or distance holding a number that is not finite is refused before any pass.
inline constexpr int kOneoffRefused = -1;
// The smallest area of a lane of the outer contour's branches: a piece of the offset's direction
// no larger is no lane.
inline constexpr double kOuterMinArea = 0.001;

// Pieces one offset may hold.
inline constexpr int kPieceSetMax = 7000;

// The inputs of one offset besides the loop. `combine`, `inward` and the marks are switches.
struct oneoff_request {
    int collection = kOneoffRecord;
    int island_mark = 0;     // 0 a lane of the outer contour's branches; 1 or more an island lane
    int direction_sign = 1;  // the pocket's direction sign, handed to scale_and_combine
    int direction_word = 1;  // -1 reverses the loop first
    int side = 1;            // side of the offset (raw offset's side word)
    double first_offset = 0.0;
    double distance = 0.0;  // d
    int combine = 0;
    double source_offset = 0.0;
    int source_lane = 0;
    int pass = 1;
    int level = 1;
    int* branch_count = nullptr;  // raised when a new branch opens (may be null: none kept)
    int inward = 0;               // inward mark (negative first offset)
    int retry = 0;                // 0; 1 from the branch offsets; 2 from the common loops
};

// Makes the next offset of the loop (changed in place by the clean-up and the restart) and
// records its pieces. Status 0, 1, 9, 10, 11, or the code of a callee passed up (a raw offset
// that fails, having said why, passes its negative status up); -1 (one line naming the routine)
// for a loop or distance holding a number that is not finite. Reads
// pocket_work (tolerance, working_tolerance, corner_arcs, reoffset_distance, reach_squared,
// end_point_mode, restart_param, island_stage, full_pocket, combine_floor) and
// pocket_state.pocket_dimension; the end-point restart writes pocket_work.restart_point and
// restart_param.
void oneoff_pokarr(const oneoff_request& request, pokarr& loop, int& status);
