// The rays of the cutting order's first stage: from a point of a lane along the right-hand normal
// of its travel (entry_ray, or entry_ray_mean under its switch), and where such a ray meets the
// lane's parent (entry_hit_on_parent). The first stage and the end-point ordering call them.
#pragma once

#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr.hpp"

// A lane side above this marks an island chain: the ray turns the other way.
inline constexpr int kIslandSide = 10000;
// Status of entry_ray for a line element shorter than the local tolerance in x and in y.
inline constexpr int kRayElementShort = 1;
// Length of a ray.
inline constexpr double kRayLength = 10000.0;

// The switches of the rays: the mean normal and the two debug displays stay off (nothing in the
// module sets them).
struct entry_ray_switches {
    int mean_normal = 0;
    int ray_debug = 0;  // bit 2 the lane, bit 1 the ray
    int hit_debug = 0;  // bit 2 the parent, bit 1 the segment
};
extern entry_ray_switches entry_ray_switches_block;

// The ray at parameter t of element `element` of the lane (the element ending at that entry; an
// arc when the entry is a marker): point (on the lane), ray end (10000 along the right-hand
// normal N of the travel, turned away for an island side), back point (the point itself in 2-D,
// a quarter step behind it in 3-D). With `wider` N is turned 45 degrees. Status 0, or 1 for a
// line shorter than max(min(0.5 W, 0.001), 0.0001) in x and in y. Reads
// pocket_work.working_tolerance and engine_step and pocket_state.pocket_dimension; runs
// entry_ray_mean instead while its switch is on.
void entry_ray(int wider, int side, int element, double t, const pokarr& lane, double* point, double* end, double* back,
               int& status);
// The same from the lane restarted at the point; with `wider` the ray follows the mean of the
// normals of the element there and of the element before it.
void entry_ray_mean(int wider, int side, int element, double t, const pokarr& lane, double* point, double* end,
                    double* back, int& status);

// Where the segment back..end first meets the parent lane: result 0 none, 1 met, -1 met at an
// angle the check refuses (along the radius of an arc, across a line); element -1 when the
// parent cannot be read. hit gets the point (cleared without a crossing), param its parameter on
// the element.
void entry_hit_on_parent(int parent, const double* back, const double* end, int check, int& result, double* hit,
                         double& param, int& element);
// The same on a lane already read (element -1 when it has fewer than 2 entries), with its
// element boxes (pokarr_get_boxes) when known: nullptr makes them. A caller that lays one ray on
// many lanes may give the ray as make_clearance_segment(back, end) makes it (nullptr: made here).
// A caller that takes only hits near back may name how near (`within`, 0: no such bound): with
// the boxes known on a planar lane, the lane's elements that the ray's first `within` cannot
// reach are searched only when no crossing lies that near. The answer is the same either way.
// A caller to whom no crossing beyond `within` matters may say so (`nothing_beyond`): where that
// search shows no crossing that near, the answer is then no crossing, the rest of the lane
// unsearched.
struct clearance_segment;
void entry_hit_on_lane(const pokarr& lane, const pk_box_table* boxes, const double* back, const double* end, int check,
                       int& result, double* hit, double& param, int& element, const clearance_segment* ray = nullptr,
                       double within = 0.0, bool nothing_beyond = false);

// Whether stage 1 takes a ray's hit on the parent (result as entry_hit_on_parent gives it): in
// offsets mode 1 any hit; otherwise a hit the angle check accepted, or one it refused when the
// chain is in its relaxed pass or the ray is a wider one.
bool entry_hit_taken(int offsets_mode, int result, bool relaxed, bool wider);
