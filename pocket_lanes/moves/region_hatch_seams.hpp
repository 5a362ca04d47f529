// Hatching of a region as the lane engine calls it: the straight move from P1 to P2 through two
// polygon sets, as one hatch line crosses a region. The entry moves (the ramp choice, the ramps
// and the move from the indicated start point) and the sliver test of the offset pieces call it.
// The hatching lives with the hatch lines (clearing/hatch/hatch_region.hpp), and the clearing
// fills this table when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "host/words.hpp"
#include "pocket_arrays/seam_entry.hpp"
#include "pocket_lanes/moves/point_output.hpp"

// Modes; 10 more marks a start at an indicated point.
inline constexpr int kHatchWrite = 1;
inline constexpr int kHatchPoints = 2;
inline constexpr int kHatchGougeTest = 3;
inline constexpr int kHatchCrossingsTo = 4;
inline constexpr int kHatchCrossingsTested = 5;
inline constexpr int kHatchCrossings = 6;
inline constexpr int kHatchIndicatedStart = 10;

// Crossings the table holds; polygons of the second set are numbered from kHatchSecondSet + 1.
inline constexpr int kHatchCrossingsMax = 2000;
inline constexpr int kHatchSecondSet = 2000;
// Status of a gouge while the strict gouge flag is set.
inline constexpr int kHatchRefused = 1;

inline constexpr char kRegionHatchSeamsName[] = "region_hatch_seams";

struct region_hatch_seams {
    using unfilled = unfilled_seam<kRegionHatchSeamsName>;
    // Follows P1 to P2 through the second and the first polygon set by the mode
    // (clearing/hatch/hatch_region.hpp says what each mode answers).
    void (*hatch_region)(int mode, const word* second, int second_count, const word* first, int first_count,
                         const double* p1, const double* p2, int& count, xy_output& output, int& gouge,
                         int& status) = unfilled{};
    // hatch_region with polygon buffer 5 as the second set and the current buffer as the first.
    void (*temp_hatch)(int mode, const double* p1, const double* p2, int& count, xy_output& output, int& gouge,
                       int& status) = unfilled{};
};

// The hatching the lane engine calls; assign an entry to replace it.
region_hatch_seams& region_hatch();
