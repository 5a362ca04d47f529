// The README's surface clearing: the caller module testmod_surface_pocket hatches the region one
// offset inside the ridge part's contours by passes over the triangle model of its grid, with a
// ball of diameter 2. The moves are read back from toolpath.txt and judged against a drop of the
// ball onto every triangle of the grid, computed here apart from the module.
#include "hostrun_support.hpp"
#include "surface_part_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace runner_test;
const std::string kSource = DRELAN_SOURCE_DIR;
constexpr double kBallRadius = 1.0;
constexpr double kTolerance = 0.01;  // the surface function's machining tolerance
constexpr double kClearance = 2.0;   // its Z-up approach height: the clearance of every move that does not cut
// The region: the outer contour (5, 5) to (50, 35) and the island (20, 15) to (35, 25), each
// offset by the ball's radius (round at the island's corners, whose arcs are stepped within the
// tolerance).
constexpr double kOuter[4] = {6.0, 6.0, 49.0, 34.0};
constexpr double kIsland[4] = {20.0, 15.0, 35.0, 25.0};
// The triangles of the grid with their XY boxes, and the ball dropped onto them.
struct ball_drop {
    std::vector<std::array<p3, 3>> triangles;
    std::vector<std::array<double, 4>> boxes;

    explicit ball_drop(const grid_surface& g) : triangles(triangles_of(g))
    {
        for (const auto& t : triangles)
            boxes.push_back({std::min({t[0][0], t[1][0], t[2][0]}), std::min({t[0][1], t[1][1], t[2][1]}),
                             std::max({t[0][0], t[1][0], t[2][0]}), std::max({t[0][1], t[1][1], t[2][1]})});
    }

    // The highest centre height at which the ball over (x, y) touches the triangle: its corners,
    // its edges and its face; minus infinity out of reach.
    static double centre_on(double x, double y, const std::array<p3, 3>& t)
    {
        const double r = kBallRadius, r2 = r * r;
        double best = -std::numeric_limits<double>::infinity();
        for (int i = 0; i < 3; ++i) {
            const p3 &a = t[i], &b = t[(i + 1) % 3];
            const double d2 = (x - a[0]) * (x - a[0]) + (y - a[1]) * (y - a[1]);
            if (d2 <= r2) best = std::max(best, a[2] + std::sqrt(r2 - d2));
            // The centre (x, y, a.z + h) one radius from the edge's line, its foot on the edge.
            const p3 u = minus(b, a);
            const double wx = x - a[0], wy = y - a[1], l2 = dot(u, u), k = wx * u[0] + wy * u[1];
            const double qa = (u[0] * u[0] + u[1] * u[1]) / l2, qb = -2.0 * u[2] * k / l2;
            const double qc = wx * wx + wy * wy - k * k / l2 - r2, disc = qb * qb - 4.0 * qa * qc;
            if (qa <= 0.0 || disc < 0.0) continue;
            const double h = (-qb + std::sqrt(disc)) / (2.0 * qa), along = (k + h * u[2]) / l2;
            if (along >= 0.0 && along <= 1.0) best = std::max(best, a[2] + h);
        }
        const p3 e1 = minus(t[1], t[0]), e2 = minus(t[2], t[0]);
        p3 n = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        if (n[2] == 0.0) return best;
        const double upward = n[2] > 0.0 ? std::sqrt(dot(n, n)) : -std::sqrt(dot(n, n));
        for (double& c : n) c /= upward;
        // The touch on the face: the point under the centre shifted by r along the normal.
        const double px = x - r * n[0], py = y - r * n[1];
        const double d = (e1[0] * e2[1] - e1[1] * e2[0]);
        const double s = ((px - t[0][0]) * e2[1] - (py - t[0][1]) * e2[0]) / d;
        const double v = (e1[0] * (py - t[0][1]) - e1[1] * (px - t[0][0])) / d;
        if (s >= 0.0 && v >= 0.0 && s + v <= 1.0) {
            const double pz = t[0][2] + s * e1[2] + v * e2[2];
            best = std::max(best, pz + r * n[2]);
        }
        return best;
    }

    // The tip height of the ball dropped at (x, y) onto every triangle.
    double tip(double x, double y) const
    {
        double best = -std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            const auto& b = boxes[i];
            if (x < b[0] - kBallRadius || x > b[2] + kBallRadius || y < b[1] - kBallRadius || y > b[3] + kBallRadius)
                continue;
            best = std::max(best, centre_on(x, y, triangles[i]));
        }
        return best - kBallRadius;
    }
};

// The pass numbers of the backup messages of a transcript.
std::vector<int> backups_of(const std::string& transcript)
{
    std::vector<int> passes;
    const std::regex line(R"((\d+) PASSES COMPLETED\. BACKUP STARTING)");
    for (auto it = std::sregex_iterator(transcript.begin(), transcript.end(), line); it != std::sregex_iterator(); ++it)
        passes.push_back(std::stoi((*it)[1]));
    return passes;
}

}  // namespace

TEST(SurfaceClearing, PassesFollowTheSurfaceInsideTheRegionAndLinksStayAbove)
{
    const fs::path part = kSource + "/examples/surface_pocket_part.json";
    const grid_surface grid = grid_of(nlohmann::json::parse(read_file(part)));
    const ball_drop drop(grid);
    const fs::path folder = fresh_folder("surface_clearing");
    const run_result run = run_surface_module(part, kSource + "/examples/surface_clearing_script.json", folder / "out");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(folder / "out" / "transcript.txt");
    EXPECT_EQ(transcript.find("[eroutc]"), std::string::npos) << transcript;
    const dumped_path path = path_of(read_file(folder / "out" / "toolpath.txt"));
    EXPECT_TRUE(path.unknown.empty()) << "motion blocks of types " << testing::PrintToString(path.unknown);
    const std::vector<move>& moves = path.moves;
    ASSERT_GT(path.cutting, 100) << transcript;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const p3& p = moves[i].to;
        if (moves[i].cutting) {
            ASSERT_TRUE(distance_to_box(p, kOuter) < kTolerance &&
                        distance_to_box(p, kIsland) > kBallRadius - kTolerance)
                << "a cut outside the region at " << p[0] << ", " << p[1];
            ASSERT_NEAR(p[2], drop.tip(p[0], p[1]), 2 * kTolerance) << "move " << i << " at " << p[0] << ", " << p[1];
        }
        // No move, cutting or not, passes below the surface.
        if (i == 0) continue;
        const p3& from = moves[i - 1].to;
        const int samples = 1 + static_cast<int>(std::hypot(p[0] - from[0], p[1] - from[1]) / 0.1);
        for (int k = 1; k < samples; ++k) {
            const double t = double(k) / samples;
            const p3 q = {from[0] + t * (p[0] - from[0]), from[1] + t * (p[1] - from[1]),
                          from[2] + t * (p[2] - from[2])};
            ASSERT_GE(q[2], drop.tip(q[0], q[1]) - 2 * kTolerance) << "move " << i << " at " << q[0] << ", " << q[1];
        }
    }
    // The moves that do not cut keep the clearance over the part.
    const auto tip = [&](double x, double y) -> std::optional<double> {
        const double z = drop.tip(x, y);
        return std::isfinite(z) ? std::optional<double>(z) : std::nullopt;
    };
    const std::optional<skimming_move> skim = lowest_skim(moves, tip, kClearance, kTolerance, grid.x0, grid.y0, grid.h);
    EXPECT_FALSE(skim) << "move " << skim->move << " passes " << skim->short_by << " below the clearance at "
                       << skim->at[0] << ", " << skim->at[1];
}

TEST(SurfaceClearing, BackupAtEveryTenthPassSetUpOnlyWhenSwitchedOn)
{
    const struct {
        int mode;
        bool backups;
    } rows[] = {{2, true}, {1, false}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.mode);
        const fs::path folder = fresh_folder("surface_clearing_backup_" + std::to_string(r.mode));
        nlohmann::json part = nlohmann::json::parse(read_file(kSource + "/examples/surface_pocket_part.json"));
        part["module_data"]["UPW2"] = {{"kind", 1}, {"words", {r.mode, 10}}};
        std::ofstream(folder / "part.json") << part.dump();
        const run_result run = run_surface_module(folder / "part.json",
                                                  kSource + "/examples/surface_clearing_script.json", folder / "out");
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::string transcript = read_file(folder / "out" / "transcript.txt");
        // Every pass of the region linking starts with an approach: the set-up of every tenth one
        // backs up.
        const long passes = path_of(read_file(folder / "out" / "toolpath.txt")).approaches;
        std::vector<int> expected;
        for (int k = 10; r.backups && k <= passes; k += 10) expected.push_back(k);
        EXPECT_GE(passes, 20);
        EXPECT_EQ(backups_of(transcript), expected) << transcript;
    }
}
