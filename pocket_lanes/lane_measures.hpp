// Measures and relations of lanes: the clearance between lanes and islands, the distance of two
// lanes, the flattening of loops into point lists for those measures, the outer extent check and
// the relations of lanes through the links of the lane table. The lane engine and the common
// loops call them.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Most points of a flattened loop in single precision.
inline constexpr int kFlatPointsMax = 7000;
// Distance of "nothing measured".
inline constexpr double kNoClearance = 1.0e10;

// Smallest distance between the lanes of levels 1 .. levels (wanted status for levels) and the
// islands (wanted status for islands, only with the island flag); 1e10 when nothing measured.
void lanes_island_clearance(int level_status, int island_status, int levels, int island_flag, double reach,
                            double& clearance);
// Smallest distance between two lanes within reach (1e10 when none). Status 0 or 11.
void lanes_min_dist(int lane_a, int lane_b, double reach, double& distance, int& status);
// A loop's arcs flattened (chord tolerance 0.01) into single-precision x, y pairs, closed with
// the first point; at most kFlatPointsMax points (retried at pocket_work.tolerance when that is
// above 0.01: status 11 otherwise, 1 when the retry passes the limit too).
void pokarr_to_float_pnts(const double* x, const double* y, int count, float* points, int& point_count, int& status);
// A loop with every arc replaced by points (chord tolerance 0.01), closed with the first point.
void pokarr_flatten_arcs(const pokarr& loop, pokarr& result, int& status);
void xy_flatten_arcs(const double* x, const double* y, int count, pokarr& result, int& status);
// Whether a small loop of a region is a crumb of the crossing search or the loop removal rather
// than a part of the region the tool must reach: narrower on average (area over length, `area`
// the loop's) than kCrumbWidthShare of the pocket's tolerance (reads pocket_work.tolerance).
inline constexpr double kCrumbWidthShare = 0.1;
bool loop_is_crumb(const pokarr& loop, double area);
// The smallest width of the loop's convex hull (the least distance between two parallel lines
// that hold the loop between them), read with its arcs flattened at the chord tolerance and then
// widened by what the flattening may cut off: never below the true width, at most twice the
// chord above it. A loop that fits between two lines this far apart holds no disc wider than that.
double loop_hull_width(const pokarr& loop, double chord);
// Compares the x extent of the live outer lane with the parents of the closed lanes; may clear
// the extent flag and flip pocket_state.direction_sign, or set the flag.
void outer_extent_check();
// Smallest and largest of the values (starting from 1e10 and -1e10).
void dbl_min_max(const double* values, int count, double& minimum, double& maximum);
// Whether two lanes are related through their links (deep: through first links too).
bool lanes_share_link(int lane_a, int lane_b, bool deep);
bool lane_links_meet(int lane_a, int lane_b, bool deep);
