// The point arrays of a pass link: the leaving arc (1), the arriving arc (2) and the link move (3),
// host arrays of 12-byte points, with one shared array of normals, every one (0, 0, 1), at least
// as long as the largest of them. The pass string linking fills them; they stay open between
// links and are only grown.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

inline constexpr int kLeavingArc = 1, kArrivingArc = 2, kLinkMove = 3;
// Records of an array at its opening, and the step it grows by.
inline constexpr int kLinkArrayOpen = 500, kLinkArrayGrowth = 300;

struct link_arrays_state {
    std::array<int, 3> handles{-1, -1, -1};  // host arrays of arrays 1 to 3; -1: not open
    std::array<int, 3> capacities{0, 0, 0};  // their records
    int normals = -1;                        // the shared normals
    int normal_capacity = 0;
};
link_arrays_state& link_arrays();

// Base of array m (1, 2 or 3) with room for k points: opened with kLinkArrayOpen records on first
// use, grown by kLinkArrayGrowth records for each started kLinkArrayGrowth of the shortfall when
// its own capacity is below k; the normals follow the largest capacity. Status 0, or the host's
// negative status (base null) when an array cannot be opened or grown, or -1 for m outside 1 to 3.
void link_array_get(int m, int k, point3*& base, int& status);
// Base of the shared normals (null before the first link_array_get).
const point3* link_normals();
// Closes the four arrays and forgets their handles.
void link_arrays_close();
