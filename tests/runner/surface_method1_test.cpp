// The README's surface clearing by method 1: the caller module testmod_surface_pocket hatches the
// region around the method-1 part's bicubic patch by passes laid onto the patch with a ball of
// diameter 2. The moves are read back from toolpath.txt and judged against the ball dropped onto
// the patch, found here by sampling the patch apart from the module.
#include "hostrun_support.hpp"
#include "surface_part_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace runner_test;
const std::string kSource = DRELAN_SOURCE_DIR;
constexpr double kBallRadius = 1.0;
constexpr double kTolerance = 0.01;  // the surface function's machining tolerance
constexpr double kClearance = 2.0;   // its Z-up approach height: the clearance of every move that does not cut
// The region: the contour (-5, -5) to (65, 50) less the ball's radius.
constexpr double kRegion[4] = {-4.0, -4.0, 64.0, 49.0};
constexpr double kMiss = -std::numeric_limits<double>::infinity();

// The Bezier patch of the part: four rows along v of four control points along u.
struct bicubic_patch {
    std::array<p3, 16> points{};

    p3 at(double s, double t) const
    {
        const auto bernstein = [](double x) {
            const double y = 1 - x;
            return std::array<double, 4>{y * y * y, 3 * x * y * y, 3 * x * x * y, x * x * x};
        };
        const std::array<double, 4> bu = bernstein(s), bv = bernstein(t);
        p3 p{};
        for (std::size_t row = 0; row < 4; ++row)
            for (std::size_t column = 0; column < 4; ++column)
                for (std::size_t k = 0; k < 3; ++k) p[k] += bv[row] * bu[column] * points[4 * row + column][k];
        return p;
    }
};

// The ball dropped onto the patch: the highest centre over the patch points within one radius in
// the plane, less the radius. A table of patch points, filed in cells one radius wide, finds the
// best sample; finer and finer parameter grids around it then refine it.
struct patch_drop {
    static constexpr int kTable = 300;
    bicubic_patch patch;
    std::vector<p3> table;
    double x0 = 0, y0 = 0, top = kMiss;
    int columns = 0, rows = 0;
    std::vector<std::vector<std::size_t>> cells;

    explicit patch_drop(const nlohmann::json& part)
    {
        for (const auto& e : part["entities"])
            if (e["kind"] == "bicubic")
                for (std::size_t k = 0; k < 16; ++k)
                    for (std::size_t c = 0; c < 3; ++c) patch.points[k][c] = e["points"][k][c].get<double>();
        double x1 = -1e9, y1 = -1e9;
        x0 = y0 = 1e9;
        for (int j = 0; j <= kTable; ++j)
            for (int i = 0; i <= kTable; ++i) {
                const p3 p = patch.at(double(i) / kTable, double(j) / kTable);
                table.push_back(p);
                top = std::max(top, p[2]);
                x0 = std::min(x0, p[0]), y0 = std::min(y0, p[1]), x1 = std::max(x1, p[0]), y1 = std::max(y1, p[1]);
            }
        columns = 1 + static_cast<int>((x1 - x0) / kBallRadius);
        rows = 1 + static_cast<int>((y1 - y0) / kBallRadius);
        cells.resize(static_cast<std::size_t>(columns * rows));
        for (std::size_t k = 0; k < table.size(); ++k)
            cells[cell(column_of(table[k][0]), row_of(table[k][1]))].push_back(k);
    }

    int column_of(double x) const { return static_cast<int>(std::floor((x - x0) / kBallRadius)); }
    int row_of(double y) const { return static_cast<int>(std::floor((y - y0) / kBallRadius)); }
    std::size_t cell(int column, int row) const { return static_cast<std::size_t>(row * columns + column); }

    static double centre(const p3& p, double x, double y)
    {
        const double d2 = (p[0] - x) * (p[0] - x) + (p[1] - y) * (p[1] - y);
        return d2 <= kBallRadius * kBallRadius ? p[2] + std::sqrt(kBallRadius * kBallRadius - d2) : kMiss;
    }

    double tip(double x, double y) const
    {
        double best = kMiss, s = 0, t = 0;
        const int c0 = column_of(x), r0 = row_of(y);
        for (int r = std::max(r0 - 1, 0); r <= std::min(r0 + 1, rows - 1); ++r)
            for (int c = std::max(c0 - 1, 0); c <= std::min(c0 + 1, columns - 1); ++c)
                for (const std::size_t k : cells[cell(c, r)]) {
                    const double h = centre(table[k], x, y);
                    if (h > best) {
                        best = h;
                        s = double(k % (kTable + 1)) / kTable;
                        t = double(k / (kTable + 1)) / kTable;
                    }
                }
        if (best == kMiss) return kMiss;
        for (double step = 1.0 / kTable; step > 1e-6; step /= 5) {
            const double s0 = s, t0 = t;
            for (int i = -3; i <= 3; ++i)
                for (int j = -3; j <= 3; ++j) {
                    const double si = std::clamp(s0 + i * step, 0.0, 1.0), tj = std::clamp(t0 + j * step, 0.0, 1.0);
                    const double h = centre(patch.at(si, tj), x, y);
                    if (h > best) best = h, s = si, t = tj;
                }
        }
        return best - kBallRadius;
    }
};

}  // namespace

TEST(SurfaceMethod1, PassesTouchThePatchInsideTheRegion)
{
    const fs::path part = kSource + "/examples/surface_method1_part.json";
    const patch_drop drop(nlohmann::json::parse(read_file(part)));
    const fs::path folder = fresh_folder("surface_method1");
    const run_result run = run_surface_module(part, kSource + "/examples/surface_method1_script.json", folder / "out");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(folder / "out" / "transcript.txt");
    EXPECT_EQ(transcript.find("[eroutc]"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("PROCEDURE NUMBER 1 IS CREATED"), std::string::npos) << transcript;
    const dumped_path path = path_of(read_file(folder / "out" / "toolpath.txt"));
    EXPECT_TRUE(path.unknown.empty()) << "motion blocks of types " << testing::PrintToString(path.unknown);
    const std::vector<move>& moves = path.moves;
    ASSERT_GT(path.cutting, 500) << transcript;
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const p3& p = moves[i].to;
        if (moves[i].cutting) {
            ASSERT_LT(distance_to_box(p, kRegion), kTolerance)
                << "a cut outside the region at " << p[0] << ", " << p[1];
            ASSERT_NEAR(p[2], drop.tip(p[0], p[1]), 2 * kTolerance) << "move " << i << " at " << p[0] << ", " << p[1];
        }
        // No move, cutting or not, passes below the patch.
        if (i == 0) continue;
        const p3& from = moves[i - 1].to;
        const int samples = 1 + static_cast<int>(std::hypot(p[0] - from[0], p[1] - from[1]) / 0.25);
        for (int k = 1; k < samples; ++k) {
            const double t = double(k) / samples;
            const p3 q = {from[0] + t * (p[0] - from[0]), from[1] + t * (p[1] - from[1]),
                          from[2] + t * (p[2] - from[2])};
            if (q[2] > drop.top) continue;
            ASSERT_GE(q[2], drop.tip(q[0], q[1]) - 2 * kTolerance) << "move " << i << " at " << q[0] << ", " << q[1];
        }
    }
    // The moves that do not cut keep the clearance over the patch.
    const auto tip = [&](double x, double y) -> std::optional<double> {
        const double z = drop.tip(x, y);
        return z == kMiss ? std::nullopt : std::optional<double>(z);
    };
    const std::optional<skimming_move> skim =
        lowest_skim(moves, tip, kClearance, kTolerance, drop.x0, drop.y0, kBallRadius);
    EXPECT_FALSE(skim) << "move " << skim->move << " passes " << skim->short_by << " below the clearance at "
                       << skim->at[0] << ", " << skim->at[1];
}
