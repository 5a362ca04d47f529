// The projection directions of lane points made on the grid (lane_dir_list): the grid filler of
// long lane segments records every point it projects with the direction it was projected along,
// so that the refinement of a projected lane and the straight filler can look the direction up
// by the point's position. A host growable array of 20-byte records, opened by the first
// addition and grown by 10,000 records when full.
#pragma once

#include <cstdint>
#include <unordered_map>

// One record: the lane point's x and y, the XY part of its unit direction and a flag word (bit 1
// marks a point the refinement may drop; the fillers store 0).
struct lane_dir_record {
    float x;
    float y;
    float dx;
    float dy;
    int flag;
};
static_assert(sizeof(lane_dir_record) == 20, "a direction record is 20 bytes");

inline constexpr int kLaneDirGrowth = 10000;

struct lane_dir_list_block {
    int handle = -1;   // host array of lane_dir_record, -1 until the first addition
    int count = 0;     // records in use
    int capacity = 0;  // records the array holds
    // The first record of every position (x and y bit for bit), so that a look-up does not walk
    // the list; it describes the records and is rebuilt with them.
    std::unordered_map<std::uint64_t, int> index;
};
extern lane_dir_list_block lane_dir_list;

// Appends a record for the point (x, y of three floats) and the unit direction (three floats).
// The array is opened, or grown by kLaneDirGrowth records when full; a refused array adds
// nothing.
void lane_dir_add(const float* point, const float* direction, int flag);
// Status 0 with the direction (dx, dy, sqrt(1 - dx² - dy²), z 0 when that square is not
// positive) and the flag of the record whose x and y equal the point's exactly; -1 (outputs
// untouched) when there is none.
void lane_dir_find(const float* point, float* direction, int& flag, int& status);
// Gives the array back and empties the list.
void lane_dir_release();
// Forgets the array without touching the host (after the host was reset).
void lane_dir_module_reset();
