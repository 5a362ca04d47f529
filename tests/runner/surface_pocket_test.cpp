// The README's surface pocket: the caller module testmod_surface_pocket run by hostrun on the
// shipped ridge part, and with its grid made a tilted plane z = 0.5 x. The lanes are read back from
// toolpath.txt and judged against the grid surface the part gives, built here apart from the
// module.
#include "hostrun_support.hpp"
#include "surface_lane_support.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace runner_test;
const std::string kSource = DRELAN_SOURCE_DIR;
// The module's step between lanes.
constexpr double kSideStep = 2.0;
// The caller module's tolerance of the lane engine.
constexpr double kEngineTolerance = 0.01;

double distance_to_lane(const p3& p, const std::vector<p3>& lane)
{
    double best = 1e30;
    for (std::size_t i = 0; i + 1 < lane.size(); ++i)
        best = std::min(best, distance_to_segment(p, lane[i], lane[i + 1]));
    return best;
}

struct surface_run {
    int exit_code = -1;
    std::string output;
    std::vector<std::vector<p3>> lanes;
};

surface_run run_part(const fs::path& part, const fs::path& script, const fs::path& out)
{
    const run_result result = run_surface_module(part, script, out);
    return {result.exit_code, result.output, lanes_of(read_file(out / "toolpath.txt"))};
}

}  // namespace

// The shipped part's outer contour picked alone: over the ridge, and over the tilted plane.
const char* const kOuterOnly = R"({"steps": [{"pick": 1}, {"pick": 2}, {"pick": 3}, {"pick": 4}, {"pick": "exit"},
    {"pick": "exit"}, {"pick": 9}, {"menu": "THE GRID", "expect": "LAY THE LANES ON"},
    {"menu": "YES", "expect": "OK TO EXECUTE?"}]})";

TEST(SurfacePocket, ExampleLanesLieOnTheRidgeAndKeepOutOfTheIsland)
{
    const fs::path part = kSource + "/examples/surface_pocket_part.json";
    const grid_surface grid = grid_of(nlohmann::json::parse(read_file(part)));
    const struct {
        const char* what;
        std::string script;  // empty: the README's script
        bool island;
    } rows[] = {{"outer contour and island", "", true}, {"outer contour alone", kOuterOnly, false}};
    for (const auto& r : rows) {
        const fs::path folder = fresh_folder(std::string("surface_ridge_") + (r.script.empty() ? "example" : "outer"));
        const fs::path script =
            r.script.empty() ? fs::path(kSource + "/examples/surface_pocket_script.json") : folder / "script.json";
        if (!r.script.empty()) std::ofstream(script) << r.script;
        const surface_run run = run_part(part, script, folder / "out");
        ASSERT_EQ(run.exit_code, 0) << run.output;
        const std::string transcript = read_file(folder / "out" / "transcript.txt");
        ASSERT_GE(run.lanes.size(), 3u) << r.what << "\n" << transcript;
        EXPECT_EQ(transcript.find("surface_pocket,"), std::string::npos) << r.what << "\n" << transcript;
        for (std::size_t k = 0; k < run.lanes.size(); ++k) {
            EXPECT_FALSE(crosses_itself(run.lanes[k])) << r.what << ", lane " << k;
            EXPECT_EQ(run.lanes[k].front(), run.lanes[k].back()) << r.what << ", lane " << k << " is closed";
            for (const p3& p : run.lanes[k]) {
                // Inside the outer contour (so far from the hole), outside the island.
                ASSERT_TRUE(p[0] > 5.0 && p[0] < 50.0 && p[1] > 5.0 && p[1] < 35.0) << r.what << ", lane " << k;
                ASSERT_FALSE(r.island && p[0] > 20.0 && p[0] < 35.0 && p[1] > 15.0 && p[1] < 25.0) << "lane " << k;
                EXPECT_NEAR(p[2], grid.height(p[0], p[1]), 1e-5)
                    << r.what << ", lane " << k << " at " << p[0] << ", " << p[1];
            }
            // No move cuts across a fold of the surface: the middle of every move lies on it too.
            for (std::size_t i = 0; i + 1 < run.lanes[k].size(); ++i) {
                const p3 &a = run.lanes[k][i], &b = run.lanes[k][i + 1];
                const p3 m{0.5 * (a[0] + b[0]), 0.5 * (a[1] + b[1]), 0.5 * (a[2] + b[2])};
                EXPECT_NEAR(m[2], grid.height(m[0], m[1]), 1e-4)
                    << r.what << ", lane " << k << " at " << m[0] << ", " << m[1];
            }
        }
    }
}

TEST(SurfacePocket, LanesOnATiltedPlaneStandOneSideStepApart)
{
    const fs::path folder = fresh_folder("surface_tilted");
    nlohmann::json part = nlohmann::json::parse(read_file(kSource + "/examples/surface_pocket_part.json"));
    for (auto& e : part["entities"]) {
        if (e["kind"] != "height_grid") continue;
        auto& heights = e["heights"];
        for (std::size_t i = 0; i < heights.size(); ++i) heights[i] = 0.5 * double(i % 61);
    }
    const grid_surface grid = grid_of(part);
    std::ofstream(folder / "tilted.json") << part.dump();
    std::ofstream(folder / "script.json") << kOuterOnly;
    const surface_run run = run_part(folder / "tilted.json", folder / "script.json", folder / "out");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    ASSERT_GE(run.lanes.size(), 3u) << read_file(folder / "out" / "transcript.txt");
    // The offsets of the rectangle are the rectangles within it, each one step inside the one
    // before across the plane; inside the last, too narrow for another offset, the lane of that
    // narrow part stands half a step and the engine's tolerance inside it.
    for (std::size_t k = 0; k < run.lanes.size(); ++k) {
        EXPECT_FALSE(crosses_itself(run.lanes[k])) << "lane " << k;
        const bool narrow_part = k + 1 == run.lanes.size() && k > 0 &&
                                 distance_to_lane(run.lanes[k].front(), run.lanes[k - 1]) < 0.75 * kSideStep;
        const double apart = narrow_part ? 0.5 * kSideStep + kEngineTolerance : kSideStep;
        for (const p3& p : run.lanes[k]) {
            EXPECT_NEAR(p[2], grid.height(p[0], p[1]), 1e-5) << "lane " << k;
            if (k > 0) {
                EXPECT_NEAR(distance_to_lane(p, run.lanes[k - 1]), apart, 0.01 * kSideStep)
                    << "lane " << k << " at " << p[0] << ", " << p[1] << ", " << p[2];
            }
        }
    }
}

// The README's surface lanes: each lane laid onto the triangle model of the ridge with a ball of
// diameter 2. A ball whose tip stands at a lane point touches the model there: its centre lies
// one radius from the nearest triangle, within the lane tolerance.
TEST(SurfacePocket, LanesLaidOnThePartSurfaceCarryTheBallTouchingIt)
{
    constexpr double kBallRadius = 1.0;
    constexpr double kLaneTolerance = 0.01;  // of a surface given as data (kDataSurfaceLaneTolerance)
    const fs::path part = kSource + "/examples/surface_pocket_part.json";
    const std::vector<std::array<p3, 3>> triangles = triangles_of(grid_of(nlohmann::json::parse(read_file(part))));
    const fs::path folder = fresh_folder("surface_lanes_on_part");
    const surface_run run = run_part(part, kSource + "/examples/surface_lanes_script.json", folder / "out");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::string transcript = read_file(folder / "out" / "transcript.txt");
    ASSERT_GE(run.lanes.size(), 3u) << transcript;
    EXPECT_EQ(transcript.find("surface_pocket,"), std::string::npos) << transcript;
    for (std::size_t k = 0; k < run.lanes.size(); ++k) {
        ASSERT_GE(run.lanes[k].size(), 3u) << "lane " << k;
        for (const p3& p : run.lanes[k]) {
            ASSERT_TRUE(p[0] > 5.0 && p[0] < 50.0 && p[1] > 5.0 && p[1] < 35.0) << "lane " << k;
            const p3 centre = {p[0], p[1], p[2] + kBallRadius};
            double nearest = 1e30;
            for (const auto& t : triangles) nearest = std::min(nearest, distance_to_triangle(centre, t));
            EXPECT_NEAR(nearest, kBallRadius, kLaneTolerance)
                << "lane " << k << " at " << p[0] << ", " << p[1] << ", " << p[2];
        }
    }
}
