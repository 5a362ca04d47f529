// The drop of every cutter class against the exact contact over every triangle
// (exact_drop_reference.hpp), on seeded height fields (bumps with near-level tails, terraces whose
// edges rise by less than a micrometre, a plane tilted by micro-radians) and random triangle
// soups: never below it (no gouge), hardly above it; nothing under the cutter only where the
// reference finds nothing. Tapered cutters also beside steep and vertical walls, thin spikes and
// faces wider than the cutter, where the tapered solver moved straight down must meet the same
// contact. And a mesh with a hole: a cutter over the hole meets nothing, one beside it only the
// triangles under it. DRELAN_DROP_SEEDS raises the number of seeds (4, and 10 beside walls).
#include "cutter_test_support.hpp"
#include "exact_drop_reference.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/stock_cutter.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// A drop may lie this far below the exact contact, and this far above it: a height rounded up to
// single precision, whose last place is below 1e-6 at the heights of these models (under 16).
constexpr double kBelow = 1e-9;
constexpr double kAbove = 1e-6;
// The tapered solver works in double throughout: it may differ from the exact contact by its
// rounding only.
constexpr double kSolverOff = 1e-9;

using cutter_case = test_cutter;

const float kTenDegrees = static_cast<float>(M_PI / 18);
const cutter_case kCutters[] = {
    {"flat end", kCutterFlat, 3.0f, 0.0f, 0.0f, 0.0f},
    {"ball", kCutterBall, 2.0f, 1.0f, 0.0f, 0.0f},
    {"bull-nose", kCutterBullNose, 3.0f, 0.4f, 0.0f, 0.0f},
    {"tapered flat end", kCutterFlat + kCutterTapered, 2.0f, 0.0f, kTenDegrees, 1.5f},
    {"tapered bull-nose", kCutterBullNose + kCutterTapered, 2.0f, 0.25f, kTenDegrees, 1.5f},
};
const cutter_case kTaperedCutters[] = {
    {"tapered flat end", kCutterFlat + kCutterTapered, 2.0f, 0.0f, kTenDegrees, 1.5f},
    {"tapered ball", kCutterBall + kCutterTapered, 2.0f, 1.0f, kTenDegrees, 1.5f},
    {"tapered bull-nose", kCutterBullNose + kCutterTapered, 2.0f, 0.25f, kTenDegrees, 1.5f},
    {"tapered bull-nose, 30 degrees", kCutterBullNose + kCutterTapered, 1.0f, 0.2f, static_cast<float>(M_PI / 6), 2.0f},
};

unsigned seed_count(unsigned fallback)
{
    const char* more = std::getenv("DRELAN_DROP_SEEDS");
    return more != nullptr ? static_cast<unsigned>(std::strtoul(more, nullptr, 10)) : fallback;
}

// The tip height of the tapered cutter of linnet_params moved straight down from above the model
// by the tapered solver onto every triangle; kNothing when it meets none.
double tapered_solver_drop(const std::vector<double>& corners, double x, double y)
{
    const linnet_params& lp = linnet_params_block;
    double top = 0.0;
    for (std::size_t k = 2; k < corners.size(); k += 3) top = std::max(top, corners[k]);
    const double start[3] = {x, y, top + 1.0}, down[3] = {0.0, 0.0, -1.0};
    const double reach = 0.5 * lp.diameter + lp.cut_length * std::tan(lp.taper);
    double least = HUGE_VAL;
    for (std::size_t t = 0; t + 9 <= corners.size(); t += 9) {
        const double* c = &corners[t];
        const double dx = std::max({std::min({c[0], c[3], c[6]}) - x, x - std::max({c[0], c[3], c[6]}), 0.0});
        const double dy = std::max({std::min({c[1], c[4], c[7]}) - y, y - std::max({c[1], c[4], c[7]}), 0.0});
        if (std::hypot(dx, dy) > reach) continue;  // beyond the cutter's reach
        double distance = 0.0, contact[3], tip[3];
        int status = 9;
        taper_torus_tri_contact(&corners[t], start, lp.diameter, lp.corner_radius, lp.taper, lp.cut_length, 0.0, down,
                                distance, contact, tip, status);
        if (status == kTorusContact) least = std::min(least, distance);
    }
    return least < HUGE_VAL ? start[2] - least : exact_drop_reference::kNothing;
}

// One triangle of a steep model round (cx, cy, cz), of size s.
using steep_triangle = void (*)(std::mt19937& random, float cx, float cy, float cz, float s, float* corners);

float unit_random(std::mt19937& random) { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random); }

// Three corners in one vertical plane: a wall standing vertical.
void vertical_wall(std::mt19937& random, float cx, float cy, float cz, float s, float* c)
{
    const float a = 2 * static_cast<float>(M_PI) * unit_random(random), dx = std::cos(a), dy = std::sin(a);
    const float rise[3] = {0.0f, s * unit_random(random), s * (unit_random(random) - 0.5f)};
    for (int k = 0; k < 3; ++k) {
        const float along = s * (unit_random(random) - 0.5f);
        c[3 * k] = cx + along * dx, c[3 * k + 1] = cy + along * dy, c[3 * k + 2] = cz + rise[k];
    }
}

// Two corners one above the other: a vertical edge, its third corner off the wall's plane.
void vertical_edge(std::mt19937& random, float cx, float cy, float cz, float s, float* c)
{
    const float third[3] = {cx + s * (unit_random(random) - 0.5f), cy + s * (unit_random(random) - 0.5f),
                            cz + s * (unit_random(random) - 0.5f)};
    const float corners[9] = {cx, cy, cz, cx, cy, cz + s * unit_random(random), third[0], third[1], third[2]};
    std::copy(corners, corners + 9, c);
}

// A face rising 5 to 200 in 1 across a narrow strip, at most 6 high.
void near_vertical_face(std::mt19937& random, float cx, float cy, float cz, float s, float* c)
{
    const float slope = 5 + 195 * unit_random(random);
    for (int k = 0; k < 3; ++k) {
        const float rise = 6 * (unit_random(random) - 0.5f);
        c[3 * k] = cx + s * (unit_random(random) - 0.5f);
        c[3 * k + 1] = cy + rise / slope;
        c[3 * k + 2] = cz + rise;
    }
}

// A spike 3 to 8 high on a base a few hundredths to a third wide.
void thin_spike(std::mt19937& random, float cx, float cy, float cz, float, float* c)
{
    const float width = 0.05f + 0.3f * unit_random(random);
    const float corners[9] = {cx,
                              cy,
                              cz + 3 + 5 * unit_random(random),
                              cx + width * (unit_random(random) - 0.5f),
                              cy + width * (unit_random(random) - 0.5f),
                              cz,
                              cx + width * (unit_random(random) - 0.5f),
                              cy + width * (unit_random(random) - 0.5f),
                              cz};
    std::copy(corners, corners + 9, c);
}

// A gentle face over the whole area, wider than the cutter, so that it may hold the cutter with
// none of its edges within reach.
void broad_face(std::mt19937& random, float, float, float cz, float, float* c)
{
    for (int k = 0; k < 9; ++k)
        c[k] = k % 3 == 2 ? cz + 0.5f * (unit_random(random) - 0.5f) : 12 * (unit_random(random) - 0.5f);
}

const steep_triangle kSteepTriangles[] = {vertical_wall, vertical_edge, near_vertical_face, thin_spike, broad_face};

}  // namespace

class DropPropertyTest : public CutterTest {
protected:
    // The seeded models: height fields over 24 x 24 cells, and soups of random triangles.
    static void build_seeded_model(int kind, std::mt19937& random)
    {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        constexpr int kNodes = 25;
        const float step = 0.5f + 1.5f * unit(random);
        std::vector<float> heights;
        const float tilt_x = 1e-6f * unit(random), tilt_y = 1e-6f * unit(random);
        const float bump_x = 24 * step * unit(random), bump_y = 24 * step * unit(random);
        const float bump_h = 3 + 5 * unit(random), bump_s = 2 + 6 * step * unit(random);
        for (int j = 0; j < kNodes; ++j)
            for (int i = 0; i < kNodes; ++i) {
                const float dx = i * step - bump_x, dy = j * step - bump_y;
                const float bump = bump_h * std::exp(-(dx * dx + dy * dy) / (bump_s * bump_s));
                const float speck = unit(random) < 0.1f ? 2e-4f * unit(random) : 0.0f;
                if (kind == 0)
                    heights.push_back(bump);  // near-level tails
                else if (kind == 1)
                    heights.push_back(std::round(bump / 4e-4f) * 4e-4f);  // terraces
                else
                    heights.push_back(2 + tilt_x * i * step + tilt_y * j * step + speck);
            }
        if (kind < 3) {
            int status = 0;
            tri_model_from_grid(kNodes, kNodes, 0, 0, step, heights.data(), status);
            ASSERT_EQ(status, 0);
            return;
        }
        std::vector<float> soup;
        for (int t = 0; t < 40; ++t) {
            const float cx = 12 * unit(random), cy = 12 * unit(random), cz = 2 * unit(random);
            const float size = 0.2f + 4 * unit(random);
            const float steep = unit(random) < 0.2f ? 5.0f : unit(random) < 0.3f ? 1e-5f : 0.5f;
            for (int k = 0; k < 3; ++k)
                soup.insert(soup.end(), {cx + size * (unit(random) - 0.5f), cy + size * (unit(random) - 0.5f),
                                         cz + steep * size * (unit(random) - 0.5f)});
        }
        build_model(soup);
    }

    // Points of the area (x0, y0, x1, y1) at random.
    static std::vector<std::array<float, 2>> points_over(const float* area, std::mt19937& random, int count)
    {
        std::uniform_real_distribution<float> across_x(area[0], area[2]), across_y(area[1], area[3]);
        std::vector<std::array<float, 2>> points(count);
        for (auto& p : points) p = {across_x(random), across_y(random)};
        return points;
    }

    // Drops at the points against the reference, and when asked the tapered solver's too; the worst
    // case goes to the message.
    static void expect_drops_meet_the_reference(const std::string& what, const cutter_case& cutter,
                                                const std::vector<std::array<float, 2>>& points,
                                                bool tapered_solver_too = false)
    {
        const std::vector<double> corners = model_corners();
        const exact_drop_reference reference(cutter.profile());
        double worst_below = 0.0, worst_above = 0.0, worst_solver = 0.0;
        std::string worst, worst_solver_at;
        for (std::size_t k = 0; k < points.size(); ++k) {
            const float point[3] = {points[k][0], points[k][1], 0.0f};
            float result[3] = {0, 0, 0}, normal[3];
            int status = 9;
            tool_drop_z_at_xy(point, result, normal, status);
            const double exact = reference.drop(corners, point[0], point[1]);
            const std::string where = what + ", " + cutter.name + ", drop " + std::to_string(k) + " at " +
                                      std::to_string(point[0]) + ", " + std::to_string(point[1]);
            if (tapered_solver_too) {
                const double solver = tapered_solver_drop(corners, point[0], point[1]);
                ASSERT_EQ(solver == exact_drop_reference::kNothing, exact == exact_drop_reference::kNothing)
                    << where << ": the tapered solver meets " << solver << ", the reference " << exact;
                if (std::fabs(solver - exact) > worst_solver)
                    worst_solver = std::fabs(solver - exact), worst_solver_at = where;
            }
            if (exact == exact_drop_reference::kNothing) {
                ASSERT_EQ(status, 1) << where << ": nothing lies under the cutter, height " << result[2];
                continue;
            }
            ASSERT_EQ(status, 0) << where << ": the reference meets " << exact;
            const double off = result[2] - exact;
            if (-off > worst_below) worst_below = -off, worst = where;
            if (off > worst_above) worst_above = off, worst = where;
        }
        EXPECT_LE(worst_below, kBelow) << "below the exact contact; worst " << worst;
        EXPECT_LE(worst_above, kAbove) << "above the exact contact; worst " << worst;
        EXPECT_LE(worst_solver, kSolverOff) << "the tapered solver off the exact contact; worst " << worst_solver_at;
    }

    // A soup of triangles standing steep round the origin, each of the kinds in turn.
    static void build_steep_model(std::mt19937& random)
    {
        std::vector<float> soup;
        for (int t = 0; t < 10; ++t) {
            float corners[9];
            const float cx = 4 * (unit_random(random) - 0.5f), cy = 4 * (unit_random(random) - 0.5f);
            kSteepTriangles[t % std::size(kSteepTriangles)](random, cx, cy, 2 * unit_random(random),
                                                            0.3f + 6 * unit_random(random), corners);
            soup.insert(soup.end(), corners, corners + 9);
        }
        build_model(soup);
    }
};

TEST_F(DropPropertyTest, DropIsNeverBelowTheExactContact)
{
    const char* kinds[] = {"bump field", "terraced field", "tilted plane", "triangle soup"};
    const unsigned seeds = seed_count(4);
    for (unsigned seed = 37900; seed < 37900 + seeds; ++seed) {
        std::mt19937 random(seed);
        for (int kind = 0; kind < 4; ++kind) {
            build_seeded_model(kind, random);
            for (const cutter_case& cutter : kCutters) {
                cutter.make_current();
                const float* box = tri_store_block.box;
                const float area[4] = {box[0] - cutter.diameter, box[1] - cutter.diameter, box[3] + cutter.diameter,
                                       box[4] + cutter.diameter};
                expect_drops_meet_the_reference(std::string(kinds[kind]) + ", seed " + std::to_string(seed), cutter,
                                                points_over(area, random, 60));
            }
        }
    }
}

TEST_F(DropPropertyTest, DropBesideAHoleMeetsOnlyTheTrianglesUnderTheCutter)
{
    build_cone_with_hole();
    int status = 0;
    for (cutter_case cutter : kCutters) {
        // Over the hole, its reach a hair short of the hole's edges.
        for (float gap : {1e-6f, 5e-5f, 2e-3f}) {
            const float reach = 3.0f - gap;
            const float tapered_top = cutter.length * std::tan(cutter.taper);
            cutter.diameter = 2 * (reach - (cutter.type > kCutterTapered ? tapered_top : 0.0f));
            if (cutter.type == kCutterBall) cutter.corner = 0.5f * cutter.diameter;
            cutter.make_current();
            const float centre[3] = {0, 0, 0};
            float result[3] = {7, 7, 7}, normal[3];
            tool_drop_z_at_xy(centre, result, normal, status);
            EXPECT_EQ(status, 1) << cutter.name << " short of the hole's edges by " << gap << ": height " << result[2];
            EXPECT_EQ(result[2], 7.0f);
        }
        // Beside it and partly over it: the exact contact on the triangles under the cutter.
        std::mt19937 random(37905);
        const float near_the_hole[4] = {-6, -6, 6, 6};
        expect_drops_meet_the_reference("beside a hole, seed 37905", cutter, points_over(near_the_hole, random, 200));
    }
}

TEST_F(DropPropertyTest, TaperedDropAndSolverMeetTheExactContactBesideSteepWalls)
{
    const unsigned seeds = seed_count(10);
    for (unsigned seed = 37950; seed < 37950 + seeds; ++seed) {
        std::mt19937 random(seed);
        build_steep_model(random);
        for (const cutter_case& cutter : kTaperedCutters) {
            cutter.make_current();
            const float area[4] = {-3.0f, -3.0f, 3.0f, 3.0f};
            expect_drops_meet_the_reference("steep walls, seed " + std::to_string(seed), cutter,
                                            points_over(area, random, 40), true);
        }
    }
}

TEST_F(DropPropertyTest, TaperedCutterMeetsWideFacesWallsAndHoleRims)
{
    // Faces that hold the cutter while every edge of theirs lies beyond its reach; the rims of
    // holes and walls that only the widest part of the cutter reaches. A cutter with a stock is
    // grown by it (the reference's profile, over its lowest point); the rims are judged by the drop
    // alone.
    struct row {
        const char* what;
        std::vector<float> corners;
        std::array<float, 2> point;
        cutter_case cutter;
        bool solver_too = true;
    };
    // The triangles of three_peaks.off (Debian's libcgal-demo) under the cutter of bench_torus at
    // (4.425, -1.461404): a face above a fold, 4 mm above the face under it.
    const float d = 0.615059f;
    const cutter_case bench_cutter{
        "bench tapered bull-nose", kCutterBullNose + kCutterTapered, d, 0.25f * d, kTenDegrees, d};
    const std::vector<float> fold = {4, 0.068385f,  10.342857f, 5, 0.786549f,  10.342857f, 4, -1.208453f, 10.685715f,
                                     4, -1.208453f, 10.685715f, 5, 0.786549f,  10.342857f, 5, -0.512036f, 10.685715f,
                                     4, -1.208453f, 10.685715f, 5, -0.512036f, 10.685715f, 4, -2.545029f, 11.028571f,
                                     4, -2.545029f, 11.028571f, 5, -0.512036f, 10.685715f, 5, -3.151878f, 11.371428f,
                                     4, -3.177722f, 14.457143f, 5, -2.645097f, 14.457143f, 5, -1.288627f, 14.8f,
                                     4, -3.177722f, 14.457143f, 5, -1.288627f, 14.8f,      4, -0.296516f, 15.142858f,
                                     4, -0.296516f, 15.142858f, 5, -1.288627f, 14.8f,      5, 0.086929f,  15.142858f};
    const std::vector<float> level = {-10, -10, 1, 10, -10, 1, 0, 10, 1};
    std::vector<row> rows = {{"three_peaks.off beside a steep wall", fold, {4.425f, -1.461404f}, bench_cutter}};
    for (const cutter_case& cutter : kTaperedCutters) rows.push_back({"a level face", level, {0.3f, -0.2f}, cutter});
    // Grown by 0.1, the bull-nose's flank ends 0.7748 from the axis and the rounding of its top
    // edge reaches 0.7763; the tapered ball has no flat bottom, its corner wider than D/2.
    const cutter_case grown{
        "tapered bull-nose, stock 0.1", kCutterBullNose + kCutterTapered, 1.0f, 0.2f, kTenDegrees, 1.0f, 0.1f};
    const float ball_corner = 1.0f / std::tan(static_cast<float>(M_PI / 4) - 0.5f * kTenDegrees);
    const cutter_case tapered_ball{"tapered ball", kCutterBall + kCutterTapered, 2.0f, ball_corner, kTenDegrees, 1.5f};
    cutter_case grown_ball = tapered_ball;
    grown_ball.stock = 0.2f;
    const auto rim = [](float x, float rise) { return std::vector<float>{x, -5, 1, 6, 0, 1 + rise, x, 5, 1}; };
    const std::vector<float> wall = {0.776f, -1, 0, 0.776f, 1, 0, 0.776f, 0, 3};
    const std::vector<row> rims = {
        {"a hole's rim in a level face, in reach of the rounding only", rim(0.7755f, 0), {0, 0}, grown},
        {"a hole's rim in a level face, in reach of the flank", rim(0.7f, 0), {0, 0}, grown},
        {"a hole's rim in a face rising from it, in reach of the rounding only", rim(0.776f, 3), {0, 0}, grown},
        {"a vertical wall in reach of the rounding only", wall, {0, 0}, grown},
        {"a level face under a tapered ball", level, {0.3f, -0.2f}, tapered_ball},
        {"a hole's rim under a tapered ball", rim(1.5f, 0.5f), {0, 0}, tapered_ball},
        {"a hole's rim under a tapered ball with a stock", rim(1.6f, 0.5f), {0, 0}, grown_ball},
    };
    for (row r : rims) {
        r.solver_too = false;
        rows.push_back(r);
    }
    for (const row& r : rows) {
        build_model(r.corners);
        r.cutter.make_current();
        const stock_cutter grown_by(r.cutter.stock);
        expect_drops_meet_the_reference(r.what, r.cutter, {r.point}, r.solver_too);
    }
}
