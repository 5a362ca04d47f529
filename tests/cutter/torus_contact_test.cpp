// The toroidal solvers on worked examples: the direction's classification and refusals, the
// cutter's kinds, face contacts, the vertex and edge cases of a ball and a bull-nose, the tapered
// cutter's tori and cone band, the taper cache, and bad numbers that must give no contact and
// never NaN.
#include "cutter/kernels/taper_torus_state.hpp"
#include "cutter/kernels/torus_contact.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>

namespace {

using tri = std::array<double, 9>;
using v3 = std::array<double, 3>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPoison = 12345.0;
constexpr std::array<double, 3> kAny = {kNaN, kNaN, kNaN};  // not checked
const tri kFarAway = {100, 100, 0, 101, 100, 0, 100, 101, 0};

struct outputs {
    int status = 9;
    double distance = kPoison;
    v3 contact{kPoison, kPoison, kPoison};
    v3 tip{kPoison, kPoison, kPoison};
};

outputs plain(const tri& t, const v3& tip, double radius, double corner, const v3& u)
{
    outputs o;
    torus_tri_contact(t.data(), tip.data(), radius, corner, u.data(), o.distance, o.contact.data(), o.tip.data(),
                      o.status);
    return o;
}

outputs taper(const tri& t, const v3& point, double diameter, double corner, double theta, double length, double offset,
              const v3& u)
{
    outputs o;
    taper_torus_tri_contact(t.data(), point.data(), diameter, corner, theta, length, offset, u.data(), o.distance,
                            o.contact.data(), o.tip.data(), o.status);
    return o;
}

v3 unit(double x, double y, double z)
{
    const double l = std::sqrt(x * x + y * y + z * z);
    return {x / l, y / l, z / l};
}

// Expected values: NaN is not checked.
void expect_near(const v3& got, const v3& want, const std::string& what)
{
    for (int k = 0; k < 3; ++k)
        if (!std::isnan(want[k])) {
            EXPECT_NEAR(got[k], want[k], 1e-9) << what << " " << k;
        }
}

void expect_vec(const vec3& got, const v3& want, const std::string& what)
{
    expect_near({got.x, got.y, got.z}, want, what);
}

void expect_untouched(const outputs& o)
{
    EXPECT_EQ(o.distance, kPoison);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(o.contact[k], kPoison);
        EXPECT_EQ(o.tip[k], kPoison);
    }
}

const double kDegree = M_PI / 180;

}  // namespace

TEST(TorusContact, WholeSolverExamples)
{
    // A bull-nose R 1, r 0.3 (and the same through the tapered solver untapered), a flat end, a
    // ball; the tip at the origin unless said.
    const tri collinear = {3, 0, 0, 4, 0, 0, 5, 0, 0};
    const tri wall = {3, -2, -1, 3, 2, -1, 3, 0, 3};      // x = 3, up to z = 3
    const tri tall_wall = {3, -2, 0, 3, 2, 0, 3, 0, 20};  // covers (3, 0, 11)
    const tri level = {-5, -5, -2, 5, -5, -2, 0, 5, -2};
    const tri hanging = {2, 0, -1, 3, 1, -3, 3, -1, -3};  // edges go down from (2, 0, -1)
    tri with_nan = level;
    with_nan[4] = kNaN;
    struct row {
        const char* what;
        tri triangle;
        v3 tip;
        double radius, corner;
        v3 u;
        int status;
        double distance;
        v3 contact;
        int solvers = 3;  // 1 plain, 2 tapered, 3 both
    };
    const row rows[] = {
        {"straight up: refused before the triangle is looked at", collinear, {0, 0, 0}, 1, 0.3, {0, 0, 1}, 1, 0, {}},
        {"no direction", level, {0, 0, 0}, 1, 0.3, {0, 0, 0}, 1, 0, {}},
        {"upwards with a horizontal part of 5e-9", level, {0, 0, 0}, 1, 0.3, {5e-9, 0, 1}, 1, 0, {}},
        {"a direction that is not a number", level, {0, 0, 0}, 1, 0.3, {kNaN, 0, -1}, 1, 0, {}},
        {"a corner that is not a number", with_nan, {0, 0, 0}, 1, 0.3, {0, 0, -1}, 1, 0, {}},
        {"three collinear corners", collinear, {0, 0, 0}, 1, 0.3, {1, 0, 0}, 3, 0, {}},
        {"within 1e-8 of level: made level with a unit horizontal part",
         wall,
         {0, 0, 0},
         1,
         0.3,
         {2, 0, 5e-9},
         0,
         2,
         {3, 0, 3}},
        {"level face under the axis, straight down", level, {0.2, 0.1, 0}, 1, 0.3, {0, 0, -1}, 0, 2, {0.2, 0.1, -2}},
        {"the tip below it: a negative distance", level, {0.2, 0.1, -3}, 1, 0.3, {0, 0, -1}, 0, -1, {0.2, 0.1, -2}},
        {"flat end on the level face", level, {0.2, 0.1, 0}, 1, 0, {0, 0, -1}, 0, 2, {0.2, 0.1, -2}},
        {"a vertical face covering the point 10 above the ring centre",
         tall_wall,
         {0, 0, 0},
         1,
         1,
         {1, 0, 0},
         0,
         2,
         {3, 0, 11},
         1},
        {"the tapered solver leaves a vertical face to its corners",
         tall_wall,
         {0, 0, 0},
         1,
         1,
         {1, 0, 0},
         0,
         2,
         {3, 0, 20},
         2},
        {"a vertical face below it: its top corner decides", wall, {0, 0, 0}, 1, 1, {1, 0, 0}, 0, 2, {3, 0, 3}},
        {"a flat end's rim meets a corner whose edges go down",
         hanging,
         {0, 0, 0},
         1,
         0,
         unit(1, 0, -1),
         0,
         std::sqrt(2.0),
         {2, 0, -1}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        for (const bool tapered : {false, true}) {
            if (!(r.solvers & (tapered ? 2 : 1))) continue;
            SCOPED_TRACE(tapered ? "tapered solver" : "plain solver");
            // The tapered solver's flat end keeps its ring centre a hair above the tip.
            const outputs o = tapered ? taper(r.triangle, r.tip, 2 * r.radius, r.corner, 0, 1, 0, r.u)
                                      : plain(r.triangle, r.tip, r.radius, r.corner, r.u);
            EXPECT_EQ(o.status, r.status);
            if (o.status != 0) {
                expect_untouched(o);
                continue;
            }
            EXPECT_NEAR(o.distance, r.distance, 1e-9);
            expect_near(o.contact, r.contact, "contact");
        }
    }
}

TEST(TorusContact, CornerRadiusClassifiesTheCutter)
{
    // 0.99999 R is a ball, just below R x 1e-5 a flat end: the same answers, to the bit.
    std::mt19937 random(29213);
    std::uniform_real_distribution<double> across(-2, 2);
    for (int k = 0; k < 200; ++k) {
        tri t;
        for (double& v : t) v = across(random);
        const v3 u = unit(across(random), across(random), -1 - std::fabs(across(random)));
        const v3 tip{0, 0, 2};
        const outputs ball = plain(t, tip, 1, 1, u), nearly_ball = plain(t, tip, 1, 0.99999, u);
        const outputs flat = plain(t, tip, 1, 0, u), nearly_flat = plain(t, tip, 1, 0.999e-5, u);
        ASSERT_EQ(ball.status, nearly_ball.status) << "trial " << k;
        ASSERT_EQ(flat.status, nearly_flat.status) << "trial " << k;
        EXPECT_EQ(ball.distance, nearly_ball.distance) << "trial " << k;
        EXPECT_EQ(flat.distance, nearly_flat.distance) << "trial " << k;
    }
}

TEST(TorusContact, VertexAndEdgeCases)
{
    // Each case on the plain solver's state, set by a call on a triangle out of reach.
    torus_state& s = torus_state_block;
    const double h = std::sqrt(0.05);  // the bull-nose's section at z = 0.1 is 0.7 + h
    const v3 slant = unit(1, 0, -0.2), down_45 = unit(1, 0, -1), up = unit(1, 0, 0.5);
    const double rise = (3 - std::sqrt(0.96)) / up[0];  // travel of the cylinder's front to x = 3
    struct row {
        const char* what;
        double corner;
        v3 u;
        v3 a, b;  // a vertex (b NaN) or an edge
        int status;
        v3 f;
        double t;
    };
    const row rows[] = {
        {"level motion, vertex at the tip height: none", 0.3, {1, 0, 0}, {3, 0, 0}, kAny, 1, {}, 0},
        {"level motion, vertex below the tip: none", 0.3, {1, 0, 0}, {3, 0.2, -0.5}, kAny, 1, {}, 0},
        {"level motion, vertex exactly R aside: none", 0.3, {1, 0, 0}, {3, 1, 0.5}, kAny, 1, {}, 0},
        {"general motion, vertex exactly R aside: on the cylinder", 0.3, slant, {3, 1, 2}, kAny, 0, {0, 1, 2.6}, 0},
        {"straight down within the ring radius: the bottom",
         0.3,
         {0, 0, -1},
         {0.5, 0.2, -1},
         kAny,
         0,
         {0.5, 0.2, 0},
         0},
        {"straight down between the ring and R: the torus",
         0.3,
         {0, 0, -1},
         {0.8, 0, -1},
         kAny,
         0,
         {0.8, 0, 0.3 - std::sqrt(0.08)},
         0},
        {"straight down at R: none", 0.3, {0, 0, -1}, {1, 0, -1}, kAny, 1, {}, 0},
        {"ball moving down on a slant: the sphere's front",
         1,
         down_45,
         {2, 0, -1},
         kAny,
         0,
         {std::sqrt(0.5), 0, 1 - std::sqrt(0.5)},
         0},
        {"ball moving down, the line passes below: none", 1, down_45, {0, 0, -5}, kAny, 1, {}, 0},
        {"an edge along the motion: none", 0.3, {1, 0, 0}, {3, 0, 1}, {5, 0, 1}, 1, {}, 0},
        {"level motion, level edge above the tip: the section's front",
         0.3,
         {1, 0, 0},
         {3, 1, 0.1},
         {3, -1, 0.1},
         0,
         {0.7 + h, 0, 0.1},
         0.5},
        {"the same with a ball", 1, {1, 0, 0}, {3, 1, 0.1}, {3, -1, 0.1}, 0, {std::sqrt(0.19), 0, 0.1}, 0.5},
        {"level motion, level edge at the tip height: none", 0.3, {1, 0, 0}, {3, 1, 0}, {3, -1, 0}, 1, {}, 0},
        {"straight down, level edge across the bottom: the chord's shadow",
         0.3,
         {0, 0, -1},
         {2, 0.3, -1},
         {-2, 0.3, -1},
         0,
         {-std::sqrt(0.4), 0.3, 0},
         (2 - std::sqrt(0.4)) / 4},
        {"the shadow covers the second end", 0.3, {0, 0, -1}, {0.2, 0.3, -1}, {-0.2, 0.3, -1}, 0, {-0.2, 0.3, 0}, 0},
        {"the edge beyond the shadow: its nearer end's parameter",
         0.3,
         {0, 0, -1},
         {3, 0.3, -1},
         {1, 0.3, -1},
         0,
         kAny,
         (std::sqrt(0.4) - 1) / 2},
        {"upwards against a vertical edge: the cylinder at the ring height",
         0.3,
         up,
         {3, 0.2, 5},
         {3, 0.2, -5},
         0,
         {std::sqrt(0.96), 0.2, 0.3},
         (0.3 + rise * up[2] + 5) / 10},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        plain(kFarAway, {0, 0, 0}, 1, r.corner, r.u);
        int status = 9;
        double t = kNaN;
        const vec3 a{r.a[0], r.a[1], r.a[2]}, b{r.b[0], r.b[1], r.b[2]};
        if (std::isnan(r.b[0]))
            torus_vertex_contact(s, a, status);
        else
            torus_edge_contact(s, a, b, t, status);
        ASSERT_EQ(status, r.status);
        if (status != 0) continue;
        expect_vec(s.F, r.f, "F");
        if (!std::isnan(r.b[0])) {
            EXPECT_NEAR(t, r.t, 1e-9);
        }
    }
}

TEST(TorusContact, TaperedCutterTorusAndBand)
{
    // D 2, corner 0.25, 10 degrees, cut length 1.5, no offset; P at the origin.
    taper_torus_state& ts = taper_torus_state_block;
    const double theta = 10 * kDegree, tn = std::tan(theta);
    const double top_radius = 1 + 1.5 * tn;
    auto run = [&](const tri& t, const v3& u) { return taper(t, {0, 0, 0}, 2, 0.25, theta, 1.5, 0, u); };

    const outputs level = run({-5, -5, -2, 5, -5, -2, 0, 5, -2}, {0, 0, -1});
    EXPECT_EQ(level.status, 0);
    EXPECT_NEAR(level.distance, 2, 1e-12) << "straight down on a level face";
    EXPECT_EQ(ts.selector, kCornerTorus) << "the level face is met by the corner torus";

    // A wall leaning back 5 degrees, steeper than the band: met by the top rim at the cut length.
    const double lean = std::tan(5 * kDegree);
    const outputs steep = run({3 - lean, -3, -1, 3 - lean, 3, -1, 3 + 4 * lean, 0, 4}, {1, 0, 0});
    EXPECT_EQ(steep.status, 0);
    EXPECT_NEAR(steep.distance, 3 + 1.5 * lean - top_radius, 1e-9);
    expect_near(steep.contact, {kNaN, 0, 1.5}, "the top rim");

    struct row {
        const char* what;
        v3 u;
        v3 a, b;  // a vertex (b NaN) or an edge
        int status;
        v3 f;
        int selector;  // -1: on the band
    };
    const double corner_section = 1 - 0.25 * std::tan(40 * kDegree) + std::sqrt(0.25 * 0.25 - 0.15 * 0.15);
    const row rows[] = {
        {"a vertex at band height, level motion: on the band",
         {1, 0, 0},
         {3, 0, 0.8},
         kAny,
         0,
         {top_radius - 0.7 * tn, 0, 0.8},
         -1},
        {"a vertex beside the band: none, the tori are not tried", {1, 0, 0}, {3, 1.2, 0.8}, kAny, 1, {}, 0},
        {"a vertex below the band: the corner torus",
         {1, 0, 0},
         {3, 0, 0.1},
         kAny,
         0,
         {corner_section, 0, 0.1},
         kCornerTorus},
        {"a vertex above the band: the top torus", {1, 0, 0}, {3, 0, 1.6}, kAny, 0, {top_radius, 0, 1.6}, kTopTorus},
        {"moving up within the taper: the top torus", unit(0.1, 0, 1), {0.5, 0, 3}, kAny, 0, kAny, kTopTorus},
        {"an edge steeper than the cone's lines: the top torus",
         {1, 0, 0},
         {3, 0.1, 3},
         {3, -0.1, -3},
         0,
         kAny,
         kTopTorus},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        run(kFarAway, r.u);
        int status = 9;
        double t = 0;
        const vec3 a{r.a[0], r.a[1], r.a[2]}, b{r.b[0], r.b[1], r.b[2]};
        if (std::isnan(r.b[0]))
            taper_torus_vertex_contact(a, status);
        else
            taper_torus_edge_contact(a, b, t, status);
        if (r.selector >= 0) {
            EXPECT_EQ(ts.selector, r.selector);
        }
        ASSERT_EQ(status, r.status);
        if (status != 0) continue;
        expect_vec(ts.torus.F, r.f, "F");
        if (r.selector >= 0) continue;
        const v3 normal = unit(1, 0, -tn);
        expect_vec(unit(ts.torus.w), normal, "the band's normal");
    }

    // The taper's cache: a call after another taper gives what a call after the same taper gives.
    const tri slope = {2, -2, 0, 4, -2, 1.5, 3, 2, 0.5};
    const v3 u = unit(1, 0.2, -0.3);
    run(slope, u);
    const outputs again = run(slope, u);
    taper(slope, {0, 0, 0}, 2, 0.25, 20 * kDegree, 1.5, 0, u);
    const outputs recomputed = run(slope, u);
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.distance, recomputed.distance);
    EXPECT_EQ(again.contact, recomputed.contact);
}

TEST(TorusContact, BadNumbersGiveNoContactAndNeverNaN)
{
    // A leading coefficient of exactly 0 on the band (the motion along the cone's slope, tan 45
    // degrees taken as 1) has one infinite root: no contact.
    taper_torus_state& ts = taper_torus_state_block;
    taper(kFarAway, {0, 0, 0}, 2, 0.25, 45 * kDegree, 1.5, 0, unit(1, 0, 1));
    ts.tangent = 1;
    vec3 f{kNaN, kNaN, kNaN};
    int status = 9;
    cone_band_vertex_contact({-3, 0, 0.5}, f, status);
    EXPECT_EQ(status, 1);

    // Seeded degenerate configurations: level and vertical edges and faces, edges along the
    // motion, directions at the thresholds, corners shared or very far, every cutter.
    const unsigned seed = 29214;
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 7);
    const double values[8] = {0, 1e-12, -1e-9, 0.3, 1, -1, 2.5, 1e6};
    const double smalls[6] = {0, 1e-11, 1e-9, 1e-8, 2e-8, 1e-7};
    for (int k = 0; k < 20000; ++k) {
        tri t;
        for (double& v : t) v = values[pick(random)] * (pick(random) < 4 ? 1 : -1);
        if (k % 3 == 0) t[5] = t[8] = t[2];                                  // a level face
        if (k % 5 == 0) std::copy(t.begin(), t.begin() + 3, t.begin() + 3);  // a corner twice
        v3 u{values[pick(random)], values[pick(random)], -smalls[pick(random) % 6]};
        if (k % 4 == 0) u = {smalls[pick(random) % 6], 0, k % 8 == 0 ? 1.0 : -1.0};
        if (k % 7 == 0) u = {t[3] - t[0], t[4] - t[1], t[5] - t[2]};  // along an edge
        const v3 tip{0, 0, 0};
        const double theta = k % 2 ? 0 : (1 + pick(random)) * 8 * kDegree;
        const double corner = values[pick(random) % 5] * 0.25;
        outputs o[2] = {plain(t, tip, 1, std::fabs(corner), u),
                        taper(t, tip, 2, std::fabs(corner), theta, 1.5, k % 3 ? 0 : 0.1, u)};
        for (const outputs& r : o) {
            ASSERT_TRUE(r.status == 0 || r.status == 1 || r.status == 3) << "seed " << seed << ", trial " << k;
            if (r.status != 0) {
                ASSERT_EQ(r.distance, kPoison) << "seed " << seed << ", trial " << k;
                continue;
            }
            ASSERT_TRUE(std::isfinite(r.distance)) << "seed " << seed << ", trial " << k;
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(std::isfinite(r.contact[i]) && std::isfinite(r.tip[i]))
                    << "seed " << seed << ", trial " << k;
        }
    }
}
