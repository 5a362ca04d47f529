// Moves of a projected lane checked against a drop of the tool where they may cut in (see the
// header).
#include "clearing/surface_lanes/lane_chord_check.hpp"

#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "cutter/drop_front.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A move is halved at most this many times: its pieces stay longer than a sixty-fourth of it.
constexpr int kMostHalvings = 6;
// A move is left as it is when its ends' normals bend the tool's path above it by no more than
// this share of the tolerance. Otherwise the tool is dropped where the path stands highest (the
// middle without normals) and goes in there when it stands higher than the move by more than
// the checked share: where the surfaces bulge up between the ends, the tool's depth along the
// move is a concave function, at the middle at least half its highest.
constexpr float kPredictedShare = 0.25f;
constexpr float kCheckedShare = 0.5f;
constexpr int kPredictionSamples = 8;
// Moves shorter than this in XY (grid units, mm) are left as they are: the tool dropped at
// their middle stands where it stands at their ends.
constexpr float kShortestChecked = 1.0e-3f;

struct checked_string {
    std::vector<lane_pnt> points;
    std::vector<lane_pnt> normals;
    float tolerance = 0.0f;
};

// The tool's path over the move from a to b as the surfaces' normals at its ends (na, nb) bend
// it: the cubic in the upright plane of the move that leaves a and reaches b square to them.
// Where (as a share of the move) it stands highest above the move, and how high; false when a
// normal is missing.
bool predicted_bulge(const lane_pnt& a, const lane_pnt& na, const lane_pnt& b, const lane_pnt& nb, float& at,
                     float& height)
{
    const float length = lane_dist_xy(a, b);
    if (!(na[2] > 0.0f && nb[2] > 0.0f && length > 0.0f)) return false;
    const float ux = (b[0] - a[0]) / length, uy = (b[1] - a[1]) / length;
    const float chord = (b[2] - a[2]) / length;
    const float rise_a = (-(na[0] * ux + na[1] * uy) / na[2] - chord) * length;
    const float rise_b = (-(nb[0] * ux + nb[1] * uy) / nb[2] - chord) * length;
    height = 0.0f;
    at = 0.5f;
    for (int k = 1; k < kPredictionSamples; ++k) {
        const float t = static_cast<float>(k) / kPredictionSamples;
        const float h = rise_a * t * (1.0f - t) * (1.0f - t) - rise_b * t * t * (1.0f - t);
        if (h > height) height = h, at = t;
    }
    return true;
}

// Puts the dropped points the move from a to b needs into the string, before b.
void clear_between(const lane_pnt& a, const lane_pnt& na, const lane_pnt& b, const lane_pnt& nb, int depth,
                   checked_string& out)
{
    if (depth >= kMostHalvings || lane_dist_xy(a, b) < kShortestChecked) return;
    float at = 0.5f, bulge = 0.0f;
    if (predicted_bulge(a, na, b, nb, at, bulge) && bulge <= kPredictedShare * out.tolerance) return;
    const lane_pnt place = a + at * (b - a);
    lane_pnt dropped{}, normal{};
    int status = 0;
    tool_drop_z_at_xy(place.data(), dropped.data(), normal.data(), status);
    if (status != 0 || (dropped[2] - place[2]) * normal[2] <= kCheckedShare * out.tolerance) return;
    clear_between(a, na, dropped, normal, depth + 1, out);
    out.points.push_back(dropped);
    out.normals.push_back(normal);
    clear_between(dropped, normal, b, nb, depth + 1, out);
}

}  // namespace

void lane_chords_clear(lane_point_array& points, lane_point_array* normals, int& count, int& status)
{
    status = 0;
    if (count < 2) return;
    const lane_pnt* p = points.base();
    const lane_pnt* n = normals != nullptr ? normals->base() : nullptr;
    const lane_pnt none{0.0f, 0.0f, 0.0f};
    checked_string out;
    out.tolerance = lane_tolerance();
    for (int i = 0; i < count; ++i) {
        if (i > 0) clear_between(p[i - 1], n != nullptr ? n[i - 1] : none, p[i], n != nullptr ? n[i] : none, 0, out);
        out.points.push_back(p[i]);
        out.normals.push_back(n != nullptr ? n[i] : none);
    }
    const int added = static_cast<int>(out.points.size()) - count;
    if (added == 0) return;
    points.reserve(count, added, added, status);
    if (status == 0 && normals != nullptr) normals->reserve(count, added, added, status);
    if (status != 0) return;
    std::copy(out.points.begin(), out.points.end(), points.base());
    if (normals != nullptr) std::copy(out.normals.begin(), out.normals.end(), normals->base());
    count = static_cast<int>(out.points.size());
}
