// The way along a polygon between two edges: both ways are measured, the shorter is taken
// unless the given way is clearly short enough, and its vertices are written or collected.
#include "pocket_lanes/polygon_path.hpp"

#include "nc_services/tool_position.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_lanes/moves/pocket_approach.hpp"

#include <cmath>
#include <vector>

namespace {

// The given way stays when it is at least this long and this share of it is below the other.
constexpr double kShortWay = 0.1;
constexpr double kWayShare = 0.8;

struct vertex {
    double x, y;
};

// The points of polygon `number`, empty when the set has no such polygon.
std::vector<vertex> polygon_points(const word* polygons, int polygon_count, int number)
{
    long at = 0;
    for (int k = 1; polygons != nullptr && k <= polygon_count; ++k) {
        const int n = polygons[at++];
        if (k == number) {
            std::vector<vertex> v;
            for (int i = 0; i < n; ++i)
                v.push_back({word_to_real(polygons[at + 2 * i]), word_to_real(polygons[at + 2 * i + 1])});
            return v;
        }
        if (n > 0) at += 2L * n;
    }
    return {};
}

// The vertices (0-based indexes) between the two edges in the way's direction.
std::vector<int> way_vertices(int n, int entry, int exit, int way)
{
    std::vector<int> v;
    if (way > 0) {
        for (int k = entry % n; static_cast<int>(v.size()) < n; k = (k + 1) % n) {
            v.push_back(k);
            if (k == (exit - 1) % n) break;
        }
    } else {
        for (int k = entry - 1; static_cast<int>(v.size()) < n; k = (k - 1 + n) % n) {
            v.push_back(k);
            if (k == exit % n) break;
        }
    }
    return v;
}

double way_length(const std::vector<vertex>& p, const std::vector<int>& v)
{
    double length = 0.0;
    for (std::size_t i = 1; i < v.size(); ++i)
        length += std::hypot(p[static_cast<std::size_t>(v[i])].x - p[static_cast<std::size_t>(v[i - 1])].x,
                             p[static_cast<std::size_t>(v[i])].y - p[static_cast<std::size_t>(v[i - 1])].y);
    return length;
}

}  // namespace

void polygon_boundary_path(int mode, const word* polygons, int polygon_count, int entry_edge, int exit_edge, int way,
                           int number, int& count, xy_output& output, int& status)
{
    status = 0;
    if (entry_edge == exit_edge) return;
    const std::vector<vertex> p = polygon_points(polygons, polygon_count, number);
    const int n = static_cast<int>(p.size());
    if (n < 2 || entry_edge < 1 || exit_edge < 1 || entry_edge > n || exit_edge > n) {
        status = -1;
        return;
    }
    way = way < 0 ? -1 : 1;
    const std::vector<int> given = way_vertices(n, entry_edge, exit_edge, way);
    const std::vector<int> other = way_vertices(n, entry_edge, exit_edge, -way);
    const double given_length = way_length(p, given);
    const bool keep = given_length >= kShortWay && kWayShare * given_length < way_length(p, other);
    // The path start point is the entry's, not this walk's: each move runs from where the tool
    // stands, and a walk that only collects leaves the tool and the entry alone.
    const pocket_state& ps = pocket_state_block;
    for (const int k : keep ? given : other) {
        const vertex& q = p[static_cast<std::size_t>(k)];
        if (mode == kBoundaryWrite) {
            const double from[3] = {DSP8().real(tool_position_state::kPosition),
                                    DSP8().real(tool_position_state::kPosition + 1), ps.current_z};
            const double to[3] = {q.x, q.y, ps.current_z};
            pocket_approach(ps.drawing_link_flag != 0 ? kApproachFromTo : kApproachFeed, 2, from, to, status);
        } else {
            xy_output_add(output, count, q.x, q.y, status);
            if (status == 0) ++count;
        }
        if (status < 0) return;
    }
}
