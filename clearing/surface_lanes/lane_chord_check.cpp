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
// The tool is dropped at even stations along a move (drop_station_spacing: its height between
// two of them rises at most half the tolerance above theirs), and where one stands higher than the
// move by more than this share of the tolerance, measured along its contact normal (as deep as
// the tool would cut), the deepest station goes in: wherever the surfaces bulge between the ends,
// over a crest or a bump of noisy terrain, the move cuts no deeper than the tolerance.
constexpr float kCheckedShare = 0.5f;
// Moves shorter than this in XY (grid units, mm) are left as they are: the tool dropped at
// their middle stands where it stands at their ends.
constexpr float kShortestChecked = 1.0e-3f;

struct checked_string {
    std::vector<lane_pnt> points;
    std::vector<lane_pnt> normals;
    float tolerance = 0.0f;
    float spacing = 0.0f;  // of the stations along a move
};

// The station of the move from a to b where the dropped tool stands highest above the move (its
// drop and contact normal); false when none stands higher by more than the checked share.
bool deepest_station(const lane_pnt& a, const lane_pnt& b, const checked_string& out, lane_pnt& dropped,
                     lane_pnt& normal)
{
    const float length = lane_dist(a, b);
    const int parts = std::max(2, static_cast<int>(std::ceil(length / std::max(out.spacing, kShortestChecked))));
    float deepest = kCheckedShare * out.tolerance;
    bool found = false;
    for (int k = 1; k < parts; ++k) {
        const lane_pnt place = a + (static_cast<float>(k) / static_cast<float>(parts)) * (b - a);
        lane_pnt z{}, n{};
        int status = 0;
        // The tool matters only where it stands higher than the move by the deepest depth so far.
        tool_drop_z_above(place.data(), place[2] + deepest, z.data(), n.data(), status);
        if (status != 0) continue;
        const float depth = (z[2] - place[2]) * n[2];
        if (depth > deepest) deepest = depth, dropped = z, normal = n, found = true;
    }
    return found;
}

// Puts the dropped points the move from a to b needs into the string, before b.
void clear_between(const lane_pnt& a, const lane_pnt& b, int depth, checked_string& out)
{
    if (depth >= kMostHalvings || lane_dist_xy(a, b) < kShortestChecked) return;
    lane_pnt dropped{}, normal{};
    if (!deepest_station(a, b, out, dropped, normal)) return;
    clear_between(a, dropped, depth + 1, out);
    out.points.push_back(dropped);
    out.normals.push_back(normal);
    clear_between(dropped, b, depth + 1, out);
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
    out.spacing = drop_station_spacing(out.tolerance, 0.0f);
    for (int i = 0; i < count; ++i) {
        if (i > 0) clear_between(p[i - 1], p[i], 0, out);
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
