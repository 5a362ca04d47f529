// The surface pocket's lanes as the runner tests read and judge them: the lanes of a dumped tool
// path, random height grids of the kinds a user draws with the pocket's contours on them, the
// part and script that run them through the caller module, and the judge of the written lanes
// against the grid surface and against a ball placed on them and every triangle, both built here
// apart from the module.
#pragma once

#include "surface_part_support.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace runner_test {

// The lanes of a dump, one point string each (type 7 lines; a string longer than a line goes on
// in the next). The procedure's first move is a direction line (type 22) to the first lane's
// start, which the string then leaves from: it is that lane's first point.
inline std::vector<std::vector<p3>> lanes_of(const std::string& dump)
{
    constexpr std::size_t kStringLinePoints = 2047;
    std::vector<std::vector<p3>> lanes;
    std::istringstream lines(dump);
    std::vector<p3> start;
    bool continues = false;
    for (std::string text; std::getline(lines, text);) {
        std::istringstream words(text);
        std::string place;
        std::vector<long long> w;
        if (!(words >> place) || place.back() != ':' || place.find('.') == std::string::npos) continue;
        for (long long v; words >> v;) w.push_back(v);
        const auto real = [&](std::size_t k) { return double(std::bit_cast<float>(static_cast<std::uint32_t>(w[k]))); };
        if (w.size() >= 5 && w[0] == 22) {
            start = {{real(2), real(3), real(4)}};
            continues = false;
            continue;
        }
        if (w.empty() || w[0] != 7) {
            continues = false;
            continue;
        }
        if (!continues) lanes.push_back(std::exchange(start, {}));
        for (std::size_t i = 1; i + 3 < w.size(); i += 4)
            lanes.back().push_back({real(i + 1), real(i + 2), real(i + 3)});
        continues = (w.size() - 1) / 4 >= kStringLinePoints;
    }
    return lanes;
}

// Whether two segments of the lane that are not neighbours cross in the plane.
inline bool crosses_itself(const std::vector<p3>& lane)
{
    const auto side = [](const p3& a, const p3& b, const p3& c) {
        return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    };
    const std::size_t n = lane.size();
    for (std::size_t i = 0; i + 1 < n; ++i)
        for (std::size_t j = i + 2; j + 1 < n; ++j) {
            if (i == 0 && j + 2 == n) continue;  // the closing segment meets the first one
            const p3 &a = lane[i], &b = lane[i + 1], &c = lane[j], &d = lane[j + 1];
            if (side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0) return true;
        }
    return false;
}

using p2 = std::array<double, 2>;

// A grid surface with its holes and the pocket drawn on it: the outer contour counter-clockwise,
// then the islands clockwise, each a closed polygon of lines.
struct surface_case {
    std::string what;
    grid_surface grid;
    std::vector<std::vector<p2>> contours;
};

inline bool has_surface(const grid_surface& g, int c, int r) { return std::fabs(g.node(c, r)) < 1e7; }

// The height of the grid surface at (x, y) as the module splits its cells: by the diagonal of the
// smaller height difference, or, with one corner without surface, by the diagonal that leaves
// that corner alone in its triangle; nothing over a triangle without surface or off the grid.
inline std::optional<double> surface_height(const grid_surface& g, double x, double y)
{
    const double u = (x - g.x0) / g.h, v = (y - g.y0) / g.h;
    const int c = std::min(static_cast<int>(std::floor(u)), g.nx - 2),
              r = std::min(static_cast<int>(std::floor(v)), g.ny - 2);
    if (c < 0 || r < 0 || u > g.nx - 1 || v > g.ny - 1) return std::nullopt;
    const double a = u - c, b = v - r;
    const int corners[4][2] = {{c, r}, {c + 1, r}, {c + 1, r + 1}, {c, r + 1}};
    double z[4];
    int missing = -1, without = 0;
    for (int k = 0; k < 4; ++k) {
        z[k] = g.node(corners[k][0], corners[k][1]);
        if (!has_surface(g, corners[k][0], corners[k][1])) missing = k, ++without;
    }
    if (without > 1) return std::nullopt;
    const bool rising =
        without == 1 ? (missing == 1 || missing == 3) : std::fabs(z[2] - z[0]) <= std::fabs(z[3] - z[1]);
    int tri[3];
    if (rising) {
        if (a >= b)
            tri[0] = 0, tri[1] = 1, tri[2] = 2;
        else
            tri[0] = 0, tri[1] = 2, tri[2] = 3;
    } else {
        if (a + b <= 1.0)
            tri[0] = 0, tri[1] = 1, tri[2] = 3;
        else
            tri[0] = 1, tri[1] = 2, tri[2] = 3;
    }
    for (int k : tri)
        if (k == missing) return std::nullopt;
    if (rising)
        return a >= b ? z[0] + a * (z[1] - z[0]) + b * (z[2] - z[1]) : z[0] + b * (z[3] - z[0]) + a * (z[2] - z[3]);
    return a + b <= 1.0 ? z[0] + a * (z[1] - z[0]) + b * (z[3] - z[0])
                        : z[2] + (1 - a) * (z[3] - z[2]) + (1 - b) * (z[1] - z[2]);
}

// ---- random surfaces --------------------------------------------------------------------------

// The kinds of surface: a ridge and a cone of straight flanks (10 to 75 degrees, sharp or round
// at the top), a fold of two planes, noisy terrain of bumps, and a smooth ridge with holes of a
// few cells inside the pocket.
enum class surface_kind { ridge, cone, fold, terrain, holed };

inline surface_case random_surface(std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const auto uniform = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    const surface_kind kind = static_cast<surface_kind>(seed % 5);
    surface_case s;
    grid_surface& g = s.grid;
    g.nx = 61, g.ny = 41, g.h = 1.0;
    // The pocket: a rectangle with a rectangular island in most cases.
    const double x0 = uniform(3, 9), x1 = uniform(46, 57), y0 = uniform(3, 8), y1 = uniform(31, 37);
    s.contours.push_back({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    std::array<double, 4> island{};
    const bool with_island = uniform(0, 1) < 0.6;
    if (with_island) {
        const double w = uniform(6, 14), hgt = uniform(5, 10);
        const double ix = uniform(x0 + 6, x1 - 6 - w), iy = uniform(y0 + 6, y1 - 6 - hgt);
        island = {ix, iy, ix + w, iy + hgt};
        s.contours.push_back({{ix, iy}, {ix, iy + hgt}, {ix + w, iy + hgt}, {ix + w, iy}});
    }
    const double slope = std::tan(uniform(10, 75) * M_PI / 180.0), theta = uniform(0, M_PI);
    const double cx = uniform(x0 + 8, x1 - 8), cy = uniform(y0 + 6, y1 - 6), width = uniform(5, 15);
    const double round = uniform(0, 1) < 0.5 ? uniform(0.5, 3) : 0.0;  // of the ridge's and cone's top
    const double slope2 = std::tan(uniform(-60, 60) * M_PI / 180.0);
    std::vector<std::array<double, 4>> bumps;  // x, y, height, width
    for (int k = 0; k < 6; ++k) bumps.push_back({uniform(0, 60), uniform(0, 40), uniform(-6, 6), uniform(3, 8)});
    const auto height = [&](double x, double y) {
        const double across = (x - cx) * -std::sin(theta) + (y - cy) * std::cos(theta);
        switch (kind) {
        case surface_kind::ridge: return 5.0 + std::max(0.0, slope * (width - std::hypot(across, round)));
        case surface_kind::cone: return 5.0 + std::max(0.0, slope * (width - std::hypot(x - cx, y - cy, round)));
        case surface_kind::fold: return 5.0 + (across > 0 ? slope * across : slope2 * across);
        case surface_kind::holed: return 6.0 + 4.0 * std::exp(-across * across / 25.0);
        case surface_kind::terrain: break;
        }
        double z = 5.0 + uniform(-0.1, 0.1);
        for (const auto& b : bumps)
            z += b[2] * std::exp(-(std::pow(x - b[0], 2) + std::pow(y - b[1], 2)) / (2 * b[3] * b[3]));
        return z;
    };
    for (int r = 0; r < g.ny; ++r)
        for (int c = 0; c < g.nx; ++c) g.z.push_back(double(float(height(c * g.h, r * g.h))));
    const char* names[] = {"ridge", "cone", "fold", "terrain", "holed"};
    s.what = std::string(names[static_cast<int>(kind)]) + " seed " + std::to_string(seed);
    if (kind != surface_kind::holed) return s;
    // Holes of one to three nodes across, four or more from every contour.
    for (int hole = 0, tries = 0; hole < 2 && tries < 100; ++tries) {
        const int c = static_cast<int>(uniform(x0 + 5, x1 - 8)), r = static_cast<int>(uniform(y0 + 5, y1 - 8));
        const int w = 1 + static_cast<int>(uniform(0, 3)), d = 1 + static_cast<int>(uniform(0, 3));
        if (with_island && c + w + 4 > island[0] && c - 4 < island[2] && r + d + 4 > island[1] && r - 4 < island[3])
            continue;
        for (int j = r; j < r + d; ++j)
            for (int i = c; i < c + w; ++i) g.z[static_cast<std::size_t>(j) * g.nx + i] = 1e7;
        ++hole;
    }
    return s;
}

// The shipped surface part with the case's contours as line entities (ids from 1, the outer
// contour first) and its grid as the height grid (id 100).
constexpr int kGridEntity = 100;

inline nlohmann::json part_of(const nlohmann::json& shipped, const surface_case& s)
{
    nlohmann::json part = shipped;
    nlohmann::json entities = nlohmann::json::array();
    int id = 1;
    for (const auto& contour : s.contours)
        for (std::size_t k = 0; k < contour.size(); ++k) {
            const p2 &a = contour[k], &b = contour[(k + 1) % contour.size()];
            entities.push_back(
                {{"id", id++}, {"kind", "line"}, {"start", {a[0], a[1], 0.0}}, {"end", {b[0], b[1], 0.0}}});
        }
    nlohmann::json heights = nlohmann::json::array();
    for (double z : s.grid.z) heights.push_back(std::fabs(z) >= 1e7 ? nlohmann::json(nullptr) : nlohmann::json(z));
    entities.push_back({{"id", kGridEntity},
                        {"kind", "height_grid"},
                        {"origin", {s.grid.x0, s.grid.y0}},
                        {"cell_size", s.grid.h},
                        {"nodes", {s.grid.nx, s.grid.ny}},
                        {"heights", heights}});
    for (const auto& e : shipped["entities"])
        if (e["kind"] != "line" && e["kind"] != "height_grid") entities.push_back(e);
    part["entities"] = entities;
    return part;
}

// The script that picks the case's contours and grid and answers where the lanes go.
inline std::string script_of(const surface_case& s, const std::string& answer)
{
    nlohmann::json steps = nlohmann::json::array();
    int id = 1;
    for (const auto& contour : s.contours) {
        for (std::size_t k = 0; k < contour.size(); ++k) steps.push_back({{"pick", id++}});
        steps.push_back({{"pick", "exit"}});
    }
    steps.push_back({{"pick", "exit"}});
    steps.push_back({{"pick", kGridEntity}});
    steps.push_back({{"menu", answer}, {"expect", "LAY THE LANES ON"}});
    steps.push_back({{"menu", "YES"}, {"expect", "OK TO EXECUTE?"}});
    return nlohmann::json{{"steps", steps}}.dump();
}

// ---- the judge --------------------------------------------------------------------------------

inline bool inside_polygon(const std::vector<p2>& polygon, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const p2 &a = polygon[i], &b = polygon[j];
        if ((a[1] > y) != (b[1] > y) && x < a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1])) in = !in;
    }
    return in;
}

inline bool in_pocket(const surface_case& s, double x, double y)
{
    if (!inside_polygon(s.contours[0], x, y)) return false;
    for (std::size_t k = 1; k < s.contours.size(); ++k)
        if (inside_polygon(s.contours[k], x, y)) return false;
    return true;
}

// The distance from p to the segment a..b, in space or in the plane; written out in plain
// doubles, since the judges call it millions of times in the tests' unoptimised build.
inline double segment_distance(const double* p, const double* a, const double* b, bool planar)
{
    const double ux = b[0] - a[0], uy = b[1] - a[1], uz = planar ? 0.0 : b[2] - a[2];
    const double wx = p[0] - a[0], wy = p[1] - a[1], wz = planar ? 0.0 : p[2] - a[2];
    const double l2 = ux * ux + uy * uy + uz * uz;
    double t = l2 > 0.0 ? (ux * wx + uy * wy + uz * wz) / l2 : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    const double dx = wx - t * ux, dy = wy - t * uy, dz = wz - t * uz;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The distance from p to the triangle: its face where the foot falls inside, else its edges.
inline double triangle_distance(const double* p, const std::array<p3, 3>& t)
{
    const double* a = t[0].data();
    const double e1[3] = {t[1][0] - a[0], t[1][1] - a[1], t[1][2] - a[2]};
    const double e2[3] = {t[2][0] - a[0], t[2][1] - a[1], t[2][2] - a[2]};
    const double w[3] = {p[0] - a[0], p[1] - a[1], p[2] - a[2]};
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    const double nn = n[0] * n[0] + n[1] * n[1] + n[2] * n[2];
    if (nn > 0.0) {
        const double d11 = e1[0] * e1[0] + e1[1] * e1[1] + e1[2] * e1[2],
                     d22 = e2[0] * e2[0] + e2[1] * e2[1] + e2[2] * e2[2];
        const double d12 = e1[0] * e2[0] + e1[1] * e2[1] + e1[2] * e2[2];
        const double w1 = w[0] * e1[0] + w[1] * e1[1] + w[2] * e1[2], w2 = w[0] * e2[0] + w[1] * e2[1] + w[2] * e2[2];
        const double u = (d22 * w1 - d12 * w2) / nn, v = (d11 * w2 - d12 * w1) / nn;
        if (u >= 0.0 && v >= 0.0 && u + v <= 1.0)
            return std::fabs(w[0] * n[0] + w[1] * n[1] + w[2] * n[2]) / std::sqrt(nn);
    }
    return std::min({segment_distance(p, t[0].data(), t[1].data(), false),
                     segment_distance(p, t[1].data(), t[2].data(), false),
                     segment_distance(p, t[2].data(), t[0].data(), false)});
}

// The distance in the plane from (x, y) to the nearest contour, outer or island.
inline double contour_distance(const surface_case& s, double x, double y)
{
    const double p[2] = {x, y};
    double nearest = 1e300;
    for (const auto& contour : s.contours)
        for (std::size_t k = 0; k < contour.size(); ++k)
            nearest = std::min(nearest,
                               segment_distance(p, contour[k].data(), contour[(k + 1) % contour.size()].data(), true));
    return nearest;
}

// How far (x, y) lies outside the pocket: 0 inside, else the distance to the nearest contour.
inline double outside_pocket(const surface_case& s, double x, double y)
{
    return in_pocket(s, x, y) ? 0.0 : contour_distance(s, x, y);
}

// A ball with its tip at a point against every triangle of the grid's triangle model within its
// reach: how far it stands clear of them, negative where it cuts into them.
struct ball_clearance_reference {
    double radius;
    const grid_surface& grid;
    std::vector<std::vector<std::array<p3, 3>>> by_cell;  // the triangles of each cell

    ball_clearance_reference(const grid_surface& g, double r)
        : radius(r), grid(g), by_cell(static_cast<std::size_t>(g.nx * g.ny))
    {
        for (const auto& t : triangles_of(g)) {
            const int c = static_cast<int>(std::floor((std::min({t[0][0], t[1][0], t[2][0]}) - g.x0) / g.h + 0.5));
            const int row = static_cast<int>(std::floor((std::min({t[0][1], t[1][1], t[2][1]}) - g.y0) / g.h + 0.5));
            by_cell[static_cast<std::size_t>(row * g.nx + c)].push_back(t);
        }
    }

    // The distance from the ball's centre to the nearest triangle within its reach in XY, less
    // the radius; nothing when no triangle lies under the ball.
    std::optional<double> clearance(const p3& tip) const
    {
        const p3 centre = {tip[0], tip[1], tip[2] + radius};
        double nearest = 1e300;
        bool any = false;
        const auto index = [&](double v, double origin) { return static_cast<int>(std::floor((v - origin) / grid.h)); };
        for (int r = std::max(index(tip[1] - radius, grid.y0), 0);
             r <= std::min(index(tip[1] + radius, grid.y0), grid.ny - 1); ++r)
            for (int c = std::max(index(tip[0] - radius, grid.x0), 0);
                 c <= std::min(index(tip[0] + radius, grid.x0), grid.nx - 1); ++c)
                for (const auto& t : by_cell[static_cast<std::size_t>(r * grid.nx + c)]) {
                    nearest = std::min(nearest, triangle_distance(centre.data(), t));
                    any = true;
                }
        if (!any) return std::nullopt;
        return nearest - radius;
    }
};

}  // namespace runner_test
