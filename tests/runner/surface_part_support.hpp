// The part surface of the runner's surface examples built apart from the module: the height grid
// of a part file as the grid surface and as the triangles the triangle model takes, the distances
// the surface tests judge by, and the moves of a dumped tool path.
#pragma once

#include "hostrun_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace runner_test {

using p3 = std::array<double, 3>;

// hostrun with the caller module testmod_surface_pocket on a part and a script.
inline run_result run_surface_module(const fs::path& part, const fs::path& script, const fs::path& out)
{
    return run_hostrun("--part " + part.string() + " --script " + script.string() + " --module " +
                       test_support::test_module_dir() + "/testmod_surface_pocket.so --out " + out.string() +
                       " --data " + DRELAN_SOURCE_DIR + "/data --fixed-time 2026-01-01T12:00:00");
}

// The grid surface of a part's height grid: each cell split by the diagonal whose height
// difference is smaller (the one from corner 0 to 2 on a tie), as the module splits it.
struct grid_surface {
    double x0 = 0, y0 = 0, h = 1;
    int nx = 0, ny = 0;
    std::vector<double> z;

    double node(int c, int r) const { return z[static_cast<std::size_t>(r) * nx + c]; }
    double height(double x, double y) const
    {
        const int c = std::clamp(static_cast<int>(std::floor((x - x0) / h)), 0, nx - 2);
        const int r = std::clamp(static_cast<int>(std::floor((y - y0) / h)), 0, ny - 2);
        const double u = (x - x0) / h - c, v = (y - y0) / h - r;
        const double z0 = node(c, r), z1 = node(c + 1, r), z2 = node(c + 1, r + 1), z3 = node(c, r + 1);
        if (std::fabs(z2 - z0) <= std::fabs(z3 - z1))
            return u >= v ? z0 + u * (z1 - z0) + v * (z2 - z1) : z0 + v * (z3 - z0) + u * (z2 - z3);
        return u + v <= 1 ? z0 + u * (z1 - z0) + v * (z3 - z0) : z2 + (1 - u) * (z3 - z2) + (1 - v) * (z1 - z2);
    }
};

inline grid_surface grid_of(const nlohmann::json& part)
{
    grid_surface g;
    for (const auto& e : part["entities"]) {
        if (e["kind"] != "height_grid") continue;
        g.x0 = e["origin"][0];
        g.y0 = e["origin"][1];
        g.h = e["cell_size"];
        g.nx = e["nodes"][0];
        g.ny = e["nodes"][1];
        for (const auto& z : e["heights"]) g.z.push_back(z.is_null() ? 1e7 : double(float(z.get<double>())));
    }
    return g;
}

inline double distance_to_segment(const p3& p, const p3& a, const p3& b)
{
    p3 ab{}, ap{};
    double length2 = 0, along = 0;
    for (int k = 0; k < 3; ++k) {
        ab[k] = b[k] - a[k];
        ap[k] = p[k] - a[k];
        length2 += ab[k] * ab[k];
        along += ab[k] * ap[k];
    }
    const double t = length2 > 0 ? std::clamp(along / length2, 0.0, 1.0) : 0.0;
    double d2 = 0;
    for (int k = 0; k < 3; ++k) d2 += (ap[k] - t * ab[k]) * (ap[k] - t * ab[k]);
    return std::sqrt(d2);
}

// The triangles of the part's height grid as the triangle model takes them: each cell split by its
// diagonal from node (i, j) to (i + 1, j + 1), none touching a node without surface.
inline std::vector<std::array<p3, 3>> triangles_of(const grid_surface& g)
{
    std::vector<std::array<p3, 3>> triangles;
    const auto node = [&](int c, int r) { return p3{g.x0 + c * g.h, g.y0 + r * g.h, g.node(c, r)}; };
    const auto has = [&](int c, int r) { return std::fabs(g.node(c, r)) < 1e7; };
    for (int r = 0; r + 1 < g.ny; ++r)
        for (int c = 0; c + 1 < g.nx; ++c) {
            if (has(c, r) && has(c + 1, r) && has(c + 1, r + 1))
                triangles.push_back({node(c, r), node(c + 1, r), node(c + 1, r + 1)});
            if (has(c, r) && has(c + 1, r + 1) && has(c, r + 1))
                triangles.push_back({node(c, r), node(c + 1, r + 1), node(c, r + 1)});
        }
    return triangles;
}

inline p3 minus(const p3& a, const p3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
inline double dot(const p3& a, const p3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Distance from p to the triangle: the nearest of its face (when the foot falls inside) and its
// three edges.
inline double distance_to_triangle(const p3& p, const std::array<p3, 3>& t)
{
    const p3 e1 = minus(t[1], t[0]), e2 = minus(t[2], t[0]), w = minus(p, t[0]);
    const p3 n = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    double best = std::min(
        {distance_to_segment(p, t[0], t[1]), distance_to_segment(p, t[1], t[2]), distance_to_segment(p, t[2], t[0])});
    const double nn = dot(n, n);
    if (nn <= 0) return best;
    const double d11 = dot(e1, e1), d12 = dot(e1, e2), d22 = dot(e2, e2), w1 = dot(w, e1), w2 = dot(w, e2);
    const double u = (d22 * w1 - d12 * w2) / nn, v = (d11 * w2 - d12 * w1) / nn;
    if (u >= 0 && v >= 0 && u + v <= 1) best = std::min(best, std::fabs(dot(w, n)) / std::sqrt(nn));
    return best;
}

// Approach (9, 10) and retract (11, 12) markers bracket the moves that do not cut.
inline constexpr int kApproachOpen = 9, kApproachClose = 10, kRetractOpen = 11, kRetractClose = 12;

struct move {
    p3 to;
    bool cutting;
};

// The moves of a dump (lines, block types 2, 22 and 222), each cutting unless an approach or
// retract bracket is open, the cutting ones counted, the approaches, and the types of any other
// motion block.
struct dumped_path {
    std::vector<move> moves;
    long cutting = 0;
    long approaches = 0;
    std::vector<int> unknown;
};

inline dumped_path path_of(const std::string& dump)
{
    dumped_path path;
    bool linking = false;
    std::istringstream lines(dump);
    for (std::string text; std::getline(lines, text);) {
        std::istringstream words(text);
        std::string place;
        if (!(words >> place) || place.back() != ':' || place.find('.') == std::string::npos) continue;
        std::vector<long long> w;
        for (long long v; words >> v;) w.push_back(v);
        if (w.size() < 3) continue;
        const auto real = [&](std::size_t k) { return double(std::bit_cast<float>(static_cast<std::uint32_t>(w[k]))); };
        if (w[0] == 99) {
            path.approaches += w[2] == kApproachOpen ? 1 : 0;
            if (w[2] == kApproachOpen || w[2] == kRetractOpen) linking = true;
            if (w[2] == kApproachClose || w[2] == kRetractClose) linking = false;
        } else if ((w[0] == 2 || w[0] == 22 || w[0] == 222) && w.size() >= 5) {
            path.moves.push_back({{real(2), real(3), real(4)}, !linking});
            path.cutting += linking ? 0 : 1;
        } else if (w[0] != 1 && w[0] != 4) {
            path.unknown.push_back(static_cast<int>(w[0]));
        }
    }
    return path;
}

// The moves that do not cut (lifts, links, approaches, retracts, the moves between regions) keep
// the user's clearance over the part: sampled along their way in the plane every
// kClearanceSample and where they cross a line of the surface's grid (where a grid surface bends),
// each sample stands at or above the cutter's drop there plus the clearance, less the tolerance. A
// move that does not travel in the plane is the climb from a cut's end or the plunge onto a cut's
// start: it keeps only the drop, which the judge of every move holds. A move that leaves a cut or
// meets one (an end on the drop) may stand nearer the part than the clearance only where the part
// under it stands no higher than that end.
inline constexpr double kClearanceSample = 0.05;
inline constexpr double kPlungeTravel = 1e-4;

struct skimming_move {
    std::size_t move;  // the index of the move in the path
    p3 at;             // its lowest sample against the drop plus the clearance
    double short_by;   // how far that sample stands below the drop plus the clearance
};

// Where on the move from `from` to `to` its samples lie: every kClearanceSample in the plane, both
// ends and every crossing of a line x = x0 + k h or y = y0 + k h.
inline std::vector<double> clearance_samples(const p3& from, const p3& to, double x0, double y0, double h)
{
    const double length = std::hypot(to[0] - from[0], to[1] - from[1]);
    const int steps = static_cast<int>(std::ceil(length / kClearanceSample));
    std::vector<double> at;
    for (int k = 0; k <= steps; ++k) at.push_back(static_cast<double>(k) / steps);
    const double origin[2] = {x0, y0};
    for (int axis = 0; axis < 2; ++axis) {
        const double a = (from[axis] - origin[axis]) / h, b = (to[axis] - origin[axis]) / h;
        if (a == b) continue;
        for (double line = std::ceil(std::min(a, b)); line <= std::max(a, b); line += 1.0)
            at.push_back((line - a) / (b - a));
    }
    return at;
}

// The move that does not cut and comes lowest under the drop plus the clearance (the drop
// function answers nothing where no surface lies under the cutter, std::nullopt), when one comes
// lower than the tolerance; the lines of the grid of origin (x0, y0) and cell h are sampled too.
inline std::optional<skimming_move> lowest_skim(const std::vector<move>& moves,
                                                const std::function<std::optional<double>(double, double)>& drop,
                                                double clearance, double tolerance, double x0, double y0, double h)
{
    // The highest end of the move that lies on the drop: where it leaves or meets a cut.
    const auto touching = [&](const p3& from, const p3& to) {
        std::optional<double> touch;
        for (const p3& end : {from, to}) {
            const std::optional<double> tip = drop(end[0], end[1]);
            if (tip && std::fabs(end[2] - *tip) <= tolerance) touch = std::max(touch.value_or(end[2]), end[2]);
        }
        return touch;
    };
    std::optional<skimming_move> worst;
    for (std::size_t i = 1; i < moves.size(); ++i) {
        const p3 &from = moves[i - 1].to, &to = moves[i].to;
        if (moves[i].cutting || std::hypot(to[0] - from[0], to[1] - from[1]) <= kPlungeTravel) continue;
        const std::optional<double> touch = touching(from, to);
        for (const double t : clearance_samples(from, to, x0, y0, h)) {
            const p3 q{from[0] + t * (to[0] - from[0]), from[1] + t * (to[1] - from[1]),
                       from[2] + t * (to[2] - from[2])};
            const std::optional<double> tip = drop(q[0], q[1]);
            if (!tip) continue;
            double short_by = *tip + clearance - q[2];
            if (touch) short_by = std::min(short_by, *tip - *touch);
            if (short_by > tolerance && (!worst || short_by > worst->short_by)) worst = skimming_move{i, q, short_by};
        }
    }
    return worst;
}

// Distance in the plane from the point to the box (0 inside).
inline double distance_to_box(const p3& p, const double* box)
{
    return std::hypot(std::max({box[0] - p[0], 0.0, p[0] - box[2]}), std::max({box[1] - p[1], 0.0, p[1] - box[3]}));
}

}  // namespace runner_test
