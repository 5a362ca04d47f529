// Spikes and repeated points of the 3-D offset's joined loop.
#include "clearing/surface_lanes/lane_spike_clean.hpp"

#include "clearing/surface_lanes/grid_search.hpp"
#include "host/vantu_vector.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "surfaces/surface_grid.hpp"

#include <array>
#include <cmath>
#include <vector>

namespace {

// The scan runs on loops of this many points (the closing point counted) and more.
constexpr int kLeastCleaned = 7;
// A turn back whose cosine is below this (sharper than about 148 degrees) is a spike.
constexpr double kSpikeCosine = -0.85;

using point = std::array<double, 3>;

struct arm {
    double unit[3] = {0.0, 0.0, 0.0};
    double length = 0.0;
};

arm arm_of(const point& from, const point& to)
{
    arm a;
    int status = 0;
    v3subd(to.data(), from.data(), a.unit);
    v3untd(a.unit, a.length, status);
    return a;
}

bool within(const point& p, const point& q, double tolerance)
{
    return std::fabs(p[0] - q[0]) < tolerance && std::fabs(p[1] - q[1]) < tolerance &&
           std::fabs(p[2] - q[2]) < tolerance;
}

// The midpoint of p and q on the grid surface; false with the status of the search.
bool midpoint_on_surface(const point& p, const point& q, point& m, int& status)
{
    const double* shift = surface_grid_block.shift;
    double at[3];
    for (int c = 0; c < 3; ++c) at[c] = 0.5 * (p[c] + q[c]) + shift[c];
    int col = 0, row = 0;
    double distance = 0.0;
    grid_find_cell(kFindNearest, at, col, row, distance, status);
    if (status != 0) return false;
    for (int c = 0; c < 3; ++c) m[c] = at[c] - shift[c];
    return true;
}

}  // namespace

void lane_spike_clean(pokarr& lane, double tolerance, double length, double short_length, double reach, int& status)
{
    status = 0;
    if (lane.count < kLeastCleaned || lane.z == nullptr) return;
    std::vector<point> ring;
    for (int i = 0; i < lane.count; ++i) ring.push_back({lane.x[i], lane.y[i], lane.z[i]});
    if (within(ring.front(), ring.back(), kPocketValueTolerance)) ring.pop_back();
    const auto at = [&ring](std::size_t i) -> point& { return ring[i % ring.size()]; };
    // Every step advances or removes a point and steps back once: the scan ends.
    for (std::size_t i = 0; ring.size() + 1 >= kLeastCleaned && i < ring.size();) {
        const std::size_t n = ring.size();
        const point prev = at(i + n - 1), p = at(i), next = at(i + 1), after = at(i + 2);
        const auto step_back = [&i] { i = i > 0 ? i - 1 : 0; };
        if (within(prev, p, tolerance)) {
            ring.erase(ring.begin() + static_cast<long>(i));
            step_back();
            continue;
        }
        const arm a = arm_of(prev, p), b = arm_of(p, next), c = arm_of(next, after);
        double turn[3], turn_next[3];
        v3crsd(a.unit, b.unit, turn);
        v3crsd(b.unit, c.unit, turn_next);
        const double cosine = v3dotd(a.unit, b.unit);
        const double sine = std::sqrt(v3dotd(turn, turn));
        const bool spike = cosine < kSpikeCosine;
        // A return arm that runs back past the spike's start by more than the reach (a stretch
        // laid out and back where a band exactly two offsets wide collapsed, whose way back goes on
        // along the loop) ends at a point of the loop beyond the spike: the midpoint with it
        // would cut across the loop and take that point away.
        double back[3];
        v3subd(next.data(), prev.data(), back);
        const bool past_start = v3dotd(back, a.unit) < -reach;
        const bool wide_spike = spike && !past_start && std::min(a.length, b.length) * sine >= length;
        const bool s_bend = b.length < short_length && v3dotd(turn, turn_next) < 0.0;
        if (wide_spike || s_bend) {
            point m;
            if (!midpoint_on_surface(p, next, m, status)) break;
            at(i) = m;
            ring.erase(ring.begin() + static_cast<long>((i + 1) % n));
            if ((i + 1) % n == 0 && i > 0) --i;  // the successor was the first point
            step_back();
        } else if (spike) {
            ring.erase(ring.begin() + static_cast<long>(i));
            step_back();
        } else {
            ++i;
        }
    }
    for (std::size_t k = 0; k < ring.size(); ++k) {
        lane.x[k] = ring[k][0];
        lane.y[k] = ring[k][1];
        lane.z[k] = ring[k][2];
    }
    lane.count = static_cast<int>(ring.size());
    int added = 0;
    const point first = ring.front();
    pokarr_add_pnt(first.data(), lane, added);
}
