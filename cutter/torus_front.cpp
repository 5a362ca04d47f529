// The front-end pieces of the toroidal solvers and the tapered drop (see the header). Pushes run
// the whole solver in the move's frame along +x; a drop gathers the triangles within the cutter's
// reach and rests the cutter exactly on each (profile_triangle_drop_d), highest triangle first,
// stopping where no triangle left can hold it higher than the best found.
#include "cutter/torus_front.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/drop_profile.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/qt_geometry.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr int kNothingUnder = 1;
constexpr int kFailed = -1;
// The drop starts this far above the highest candidate.
// A triangle's box is tried this far beyond the cutter's reach (its box lies 1 um beyond its
// corners, the point is rounded to micrometres).
constexpr float kReachSlack = 0.002f;
constexpr double kMicrometresPerMillimetre = 1000.0;

int to_micrometres(float value)
{
    const double um = std::nearbyint(static_cast<double>(value) * kMicrometresPerMillimetre);
    return static_cast<int>(std::clamp(um, static_cast<double>(INT_MIN / 2), static_cast<double>(INT_MAX / 2)));
}

bool within(const int* box, const int* at, float reach)
{
    float distance = 0.0f;
    int beyond = 0;
    qt_box_near_dist(box[0], box[1], box[2], box[3], at[0], at[1], reach, distance, beyond);
    return beyond == 0;
}

void add_triangle(const float* corners, std::vector<drop_triangle>& triangles)
{
    drop_triangle t;
    for (int k = 0; k < 9; ++k) t.corners[k] = corners[k];
    t.top = std::max({t.corners[2], t.corners[5], t.corners[8]});
    triangles.push_back(t);
}

// The quadtree's triangles within reach of the point.
bool quadtree_triangles(const float* point, float reach, std::vector<drop_triangle>& triangles)
{
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    const int* list = tri_model_list();
    if (nodes == nullptr || entries == nullptr || list == nullptr) return false;
    const int at[2] = {to_micrometres(point[0]), to_micrometres(point[1])};
    qt_walk([&](const qt_node& node) { return within(node.box, at, reach); },
            [&](const qt_node& node) {
                for (int k = 0; k < node.count; ++k) {
                    const qt_entry& e = entries[list[node.first + k]];
                    if (!within(e.box, at, reach)) continue;
                    float corners[9];
                    qt_entry_corners(nodes, e, corners);
                    add_triangle(corners, triangles);
                }
                return true;
            });
    return true;
}

}  // namespace

void drop_triangles(const float* point, const float& reach, const int& tilted, std::vector<drop_triangle>& triangles,
                    int& status)
{
    triangles.clear();
    const float widened = reach + kReachSlack;
    if (tilted != 0) {
        std::vector<drop_candidate> turned;
        elm2nd(point, widened, turned, status);
        if (status != 0) return;
        for (const drop_candidate& c : turned) add_triangle(c.corners, triangles);
    } else if (!quadtree_triangles(point, widened, triangles)) {
        status = kFailed;
        return;
    }
    std::sort(triangles.begin(), triangles.end(),
              [](const drop_triangle& a, const drop_triangle& b) { return a.top > b.top; });
    status = 0;
}

void taper_drop_at(const float* point, const int& tilted, float& height, float* contact, int& status)
{
    const linnet_params& lp = linnet_params_block;
    const drop_profile profile =
        tapered_profile(lp.diameter, lp.corner_radius, lp.taper, lp.cut_length, lp.flank_rounding);
    std::vector<drop_triangle> triangles;
    drop_triangles(point, static_cast<float>(profile.outer), tilted, triangles, status);
    if (status != 0) return;
    double best = -HUGE_VAL, best_contact[3] = {0.0, 0.0, 0.0};
    for (const drop_triangle& t : triangles) {
        // The tip cannot come to rest above a triangle's highest corner.
        if (t.top <= best) break;
        double corners[9], touch[3];
        for (int k = 0; k < 9; ++k) corners[k] = t.corners[k] - (k % 3 == 2 ? 0.0 : point[k % 3]);
        const double drop = profile_triangle_drop_d(profile, corners, touch);
        if (!(drop > best)) continue;
        best = drop;
        for (int k = 0; k < 3; ++k) best_contact[k] = touch[k] + (k == 2 ? 0.0 : point[k]);
    }
    if (!(best > -HUGE_VAL)) {
        status = kNothingUnder;
        return;
    }
    height = rounded_up(best);
    for (int k = 0; k < 3; ++k) contact[k] = static_cast<float>(best_contact[k]);
    status = 0;
}
