// The refinement of a projected lane (lane3d_refine) and its companions: which points the sweeps
// take out, when the fit runs, and that the tool is given back after the gouge check.
#include "lane_on_srf_support.hpp"

#include "clearing/surface_lanes/lane3d_refine.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "host/control.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/mill_services.hpp"

#include <random>

namespace {

constexpr int kMode38 = kRefineFit | kRefineGouge | kRefineNoSpikes;

// Runs lane3d_refine on the points through a host array; the points kept.
std::vector<lane_pnt> refined(int mode, const std::vector<lane_pnt>& points, float s, float D, int& status)
{
    lane_point_array array;
    array.open(std::max<int>(1, static_cast<int>(points.size())), status);
    if (status != 0) return {};
    std::copy(points.begin(), points.end(), array.base());
    int count = static_cast<int>(points.size());
    const float half = 0.005f, fit = 0.2f, closed = 0.0f, R = 0.5f * D, T = 0.0f;
    lane3d_refine(mode, 0, array.handle(), nullptr, count, s, half, fit, closed, D, R, T, status);
    return {array.base(), array.base() + count};
}

lane_string string_of(const std::vector<lane_pnt>& points)
{
    lane_string s;
    for (const lane_pnt& p : points) s.push_back({p, {0.0f, 0.0f, 1.0f}, false});
    return s;
}

std::vector<lane_pnt> points_of(const lane_string& s)
{
    std::vector<lane_pnt> v;
    for (const lane_string_pnt& q : s) v.push_back(q.p);
    return v;
}

// A current mill held by the test, so that the gouge check's narrowing can be watched.
struct held_mill {
    float diameter = 6.0f, corner = 3.0f;
    int narrowed = 0;
} mill;

}  // namespace

TEST_F(LaneOnSrfTest, RefineKeepsShortStringsAndTakesMarkersOutFirst)
{
    const lane_pnt marker = {0.0f, 0.0f, kLaneMarker};
    struct row {
        const char* name;
        std::vector<lane_pnt> in, out;
    } rows[] = {
        {"two points", {{0, 0, 0}, {1, 0, 0}}, {{0, 0, 0}, {1, 0, 0}}},
        {"three with a marker", {{0, 0, 0}, marker, {1, 0, 1}}, {{0, 0, 0}, {1, 0, 1}}},
        {"crowded neighbours: the point between goes",
         {{0, 0, 0}, {0.15f, 0, -3}, {0.3f, 0, 0}},
         {{0, 0, 0}, {0.3f, 0, 0}}},
        // The points are places where the tool touches: a chord under one would cut in there.
        {"crowded neighbours below a point: it stays",
         {{0, 0, 0}, {0.15f, 0, 3}, {0.3f, 0, 0}},
         {{0, 0, 0}, {0.15f, 0, 3}, {0.3f, 0, 0}}},
        {"neighbours apart: the point stays",
         {{0, 0, 0}, {0.2f, 0, 3}, {0.4f, 0, 0}},
         {{0, 0, 0}, {0.2f, 0, 3}, {0.4f, 0, 0}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        int status = -7;
        EXPECT_EQ(refined(kMode38, r.in, 1.0f, 0.0f, status), r.out);
        EXPECT_EQ(status, 0);
    }
}

TEST_F(LaneOnSrfTest, FitRunsOnlyWithRecordedDirectionsAndAPositiveFloor)
{
    // A gently curved string, so that thinning leaves runs of more than 3 points to fit.
    std::vector<lane_pnt> arc;
    for (int i = 0; i <= 40; ++i) {
        const float a = 0.02f * static_cast<float>(i);
        arc.push_back({20.0f * std::sin(a), 20.0f - 20.0f * std::cos(a), 0.0f});
    }
    struct row {
        const char* name;
        bool recorded;
        float tolerance;
        bool fitted;
    } rows[] = {{"no recorded direction", false, 0.01f, false},
                {"recorded directions", true, 0.01f, true},
                {"lane tolerance 0: no floor, no fit", true, 0.0f, false}};
    surface_height_seam() = [](float, float) { return -1.0f; };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        lane_dir_release();
        if (r.recorded) {
            const float p[3] = {1000.0f, 0.0f, 0.0f}, d[3] = {0.0f, 0.0f, 1.0f};
            lane_dir_add(p, d, 0);
        }
        set_lane_tolerance(r.tolerance);
        const long before = vantu::control::call_count("lsq_nrb_2tols");
        int status = 0;
        const std::vector<lane_pnt> out = refined(kMode38, arc, 1.0f, 2.0f, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(vantu::control::call_count("lsq_nrb_2tols") > before, r.fitted);
        EXPECT_GE(out.size(), 2U);
        EXPECT_EQ(out.front(), arc.front());
    }
    surface_height_seam() = nullptr;
}

namespace {
// The surface under the gouge check: `bump` above the string's middle, far below elsewhere.
float bump = 0.0f;
float bumped_surface(float x, float) { return std::fabs(x - 10.0f) < 2.0f ? bump : -1.0f; }
}  // namespace

TEST_F(LaneOnSrfTest, GougeCheckGivesTheToolBackAlsoWhenTheFitFails)
{
    mill_services& services = mill_service_table();
    const mill_services saved = services;
    services.tool_get_mill_diameter = [](int, float& v) { v = mill.diameter; };
    services.tool_get_corner_radius = [](int, float& v) { v = mill.corner; };
    services.tool_set_mill_diameter = [](float v) { mill.diameter = v, ++mill.narrowed; };
    services.tool_set_corner_radius = [](float v) { mill.corner = v; };
    surface_height_seam() = bumped_surface;
    const float p[3] = {1000.0f, 0.0f, 0.0f}, d[3] = {0.0f, 0.0f, 1.0f};
    lane_dir_add(p, d, 0);
    std::vector<lane_pnt> arc;
    for (int i = 0; i <= 40; ++i) arc.push_back({0.5f * static_cast<float>(i), 0.002f * i * i, 0.0f});
    struct row {
        const char* name;
        int mode;
        bool fit_fails;
        float bump, middle_z;  // the surface above the middle, the height the middle ends at
        bool narrowed;
    } rows[] = {
        {"fitted points lifted onto the surface", kMode38, false, 0.5f, 0.5f, true},
        {"fit refused", kMode38, true, 0.5f, 0.0f, false},
        {"excess beyond a quarter of D: fit given up", kMode38 | kRefineGougeLimit, false, 5.0f, 0.0f, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        mill = held_mill{};
        bump = r.bump;
        linnet_params_block.diameter = 6.0f;
        linnet_params_block.corner_radius = 3.0f;
        if (r.fit_fails) vantu::control::inject_fault("lsq_nrb_2tols", 1, 1000, -1);
        int status = 0;
        const std::vector<lane_pnt> out = refined(r.mode, arc, 1.0f, 6.0f, status);
        vantu::control::clear_faults();
        EXPECT_EQ(status, 0);
        EXPECT_EQ(mill.diameter, 6.0f);
        EXPECT_EQ(mill.corner, 3.0f);
        EXPECT_EQ(linnet_params_block.diameter, 6.0f);
        EXPECT_EQ(linnet_params_block.corner_radius, 3.0f);
        EXPECT_EQ(mill.narrowed > 0, r.narrowed);
        for (const lane_pnt& q : out) {
            if (std::fabs(q[0] - 10.0f) < 1.5f) {
                EXPECT_NEAR(q[2], r.middle_z, 0.01f) << "x " << q[0];
            }
        }
    }
    surface_height_seam() = nullptr;
    services = saved;
}

TEST_F(LaneOnSrfTest, SpikeAndZigzagPassesTakeOutTheOddPoints)
{
    struct row {
        const char* name;
        bool zigzag;
        std::vector<lane_pnt> in, out;
    } rows[] = {
        {"spike down", false, {{0, 0, 0}, {1, 0, -2}, {2, 0, 0}, {3, 0, 0}}, {{0, 0, 0}, {2, 0, 0}, {3, 0, 0}}},
        {"step is no spike",
         false,
         {{0, 0, 0}, {1, 0, -2}, {2, 0, -2}, {3, 0, -2}},
         {{0, 0, 0}, {1, 0, -2}, {2, 0, -2}, {3, 0, -2}}},
        {"closed: spike at the start",
         false,
         {{0, 0, 3}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 3}},
         {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {1, 0, 0}}},
        {"stick-out",
         true,
         {{0, 0, 0}, {1, 0, 0}, {3, 0, 0}, {1.1f, 0, 0}, {4, 0, 0}},
         {{0, 0, 0}, {1, 0, 0}, {1.1f, 0, 0}, {4, 0, 0}}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        lane_string s = string_of(r.in);
        if (r.zigzag)
            lane_zigzag_remove(1.5f, 0.6f, s);
        else
            lane_spike_remove(1.0f, s);
        EXPECT_EQ(points_of(s), r.out);
    }
}

TEST_F(LaneOnSrfTest, RefinedNoisyStringKeepsItsEndsAndLeavesNoCrowdedPoint)
{
    const unsigned seed = 4040;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
    std::vector<lane_pnt> noisy;
    for (int i = 0; i < 2000; ++i)
        noisy.push_back({0.1f * static_cast<float>(i) + noise(random), noise(random), 0.2f * noise(random)});
    int status = 0;
    const std::vector<lane_pnt> out = refined(kMode38, noisy, 1.0f, 2.0f, status);
    ASSERT_EQ(status, 0) << "seed " << seed;
    EXPECT_EQ(out.front(), noisy.front()) << "seed " << seed;
    EXPECT_EQ(out.back(), noisy.back()) << "seed " << seed;
    EXPECT_LT(out.size(), noisy.size() / 2) << "seed " << seed;
    for (std::size_t i = 1; i + 1 < out.size(); ++i)
        EXPECT_GE(lane_dist(out[i - 1], out[i + 1]), 0.3125f) << "seed " << seed << " at " << i;
}
