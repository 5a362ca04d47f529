// The toroidal solvers against the brute-force push reference over seeded random triangles
// clear of the cutter at the start: flat, ball and bull-nose cutters in both solvers, tapered
// ones in taper_torus_tri_contact (beside steep and vertical walls too), directions in the
// line-net caller's range (z in [-0.999, -0.001], a quarter at -0.001), and level pushes through
// triangle_push_double. A contact the
// reference finds must be found, no later than it and no earlier than its sampling allows (3h),
// on the triangle and on the moved cutter. DRELAN_TORUS_TRIALS raises the trial count.
#include "cutter_test_support.hpp"
#include "push_reference.hpp"

#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/triangle_drivers.hpp"
#include "cutter/kernels/xy_contact.hpp"

#include <cstdlib>
#include <functional>
#include <random>

namespace {

struct push_result {
    int status = 9;
    double distance = 0.0;
    point3 contact{};
    point3 tip{};  // the cutter's lowest point after the move
};

using solver = std::function<push_result(const double* triangle, const point3& u)>;

// A cutter: its name, its shape, R (the scale of the tolerances) and how it is pushed from the
// origin.
struct cutter_case {
    std::string name;
    cutter_profile profile;
    double radius;
    solver solve;
};

cutter_case plain(const std::string& name, double radius, double corner)
{
    return {name, cutter_profile::bull_nose(radius, corner), radius, [=](const double* triangle, const point3& u) {
                push_result r;
                const double tip[3] = {0, 0, 0};
                torus_tri_contact(triangle, tip, radius, corner, u.data(), r.distance, r.contact.data(), r.tip.data(),
                                  r.status);
                return r;
            }};
}

cutter_case tapered(const std::string& name, double diameter, double corner, double taper, double length, double offset)
{
    const cutter_profile profile = taper < 1e-4 ? cutter_profile::bull_nose(0.5 * diameter + offset, corner + offset)
                                                : cutter_profile::tapered(diameter, corner, taper, length, offset);
    return {name, profile, 0.5 * diameter + offset, [=](const double* triangle, const point3& u) {
                push_result r;
                const double point[3] = {0, 0, 0};
                taper_torus_tri_contact(triangle, point, diameter, corner, taper, length, offset, u.data(), r.distance,
                                        r.contact.data(), r.tip.data(), r.status);
                return r;
            }};
}

// Pushed along +x by triangle_push_double over a model of the one triangle (single precision).
cutter_case driver(const std::string& name, int type, double diameter, double corner, double taper, double length)
{
    const cutter_profile profile = taper > 0 ? cutter_profile::tapered(diameter, corner, taper, length, 0)
                                             : cutter_profile::bull_nose(0.5 * diameter, corner);
    return {name, profile, 0.5 * diameter, [=](const double* triangle, const point3&) {
                const std::vector<float> corners(triangle, triangle + 9);
                const int numbers[3] = {1, 2, 3};
                int status = 0;
                tri_model_build(corners.data(), 3, numbers, 1, status);
                const float* nodes = tri_model_nodes();
                const double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
                const float start[2] = {0, 0}, end[2] = {100, 0};
                float tool[3] = {0, 0, 0}, contact[3] = {0, 0, 0}, travel = 1e9f;
                linnet_params_block.taper = static_cast<float>(taper);
                linnet_params_block.cut_length = static_cast<float>(length);
                push_result r;
                triangle_push_double(nodes, nodes + 3, nodes + 6, tri_model_entries()[0], start, end, 0, 0, identity,
                                     identity, type, 0, 0, static_cast<float>(diameter), static_cast<float>(corner),
                                     tool, contact, travel, r.status);
                r.distance = travel;
                std::copy(contact, contact + 3, r.contact.begin());
                std::copy(tool, tool + 3, r.tip.begin());
                tri_model_release(status);
                return r;
            }};
}

// How the triangles in the cutter's way stand: gentle (rising 0.6 in 1 at most), or steep ones in
// turn rising 8 and 40 in 1 and standing vertical (every third of those with a vertical edge).
enum class walls { gentle, steep };

// A random triangle in the cutter's way, clear of it at the start.
std::array<double, 9> triangle_ahead(std::mt19937& random, const push_reference& reference, double radius,
                                     const point3& u, bool single, walls kind, int trial)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0), sym(-1.0, 1.0);
    const int shape = kind == walls::gentle ? -1 : trial % 3;
    const double rise = shape < 0 ? 0.6 : shape == 0 ? 8.0 : 40.0;
    for (;;) {
        const double travel = radius * (0.3 + 2.5 * unit(random)), size = radius * (0.2 + 1.6 * unit(random));
        const double a = 2 * M_PI * unit(random), off = 1.4 * radius * std::sqrt(unit(random));
        const point3 centre{travel * u[0] + off * std::cos(a), travel * u[1] + off * std::sin(a),
                            travel * u[2] + 2 * radius * unit(random)};
        std::array<double, 9> c;
        for (int k = 0; k < 9; ++k) c[k] = centre[k % 3] + size * (k % 3 == 2 ? rise : 1.0) * sym(random);
        if (shape == 2) {
            // Three corners in one vertical plane.
            const double b = 2 * M_PI * unit(random);
            for (int k = 0; k < 3; ++k) {
                const double along = size * sym(random);
                c[3 * k] = centre[0] + along * std::cos(b), c[3 * k + 1] = centre[1] + along * std::sin(b);
                c[3 * k + 2] = centre[2] + 3 * size * sym(random);
            }
            if (trial % 9 == 2) c[3] = c[0], c[4] = c[1];
        }
        if (single)
            for (double& v : c) v = static_cast<float>(v);
        const point3 e1{c[3] - c[0], c[4] - c[1], c[5] - c[2]}, e2{c[6] - c[0], c[7] - c[1], c[8] - c[2]};
        const double area =
            std::hypot(e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]);
        if (area >= 0.05 * size * size && reference.clearance({0, 0, 0}, c.data()) >= 1e-3 * radius) return c;
    }
}

// A direction in the line-net caller's range (a quarter of them at z = -0.001); beside steep
// walls every fourth straight down, as the drop moves.
point3 caller_direction(std::mt19937& random, int trial, walls kind)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (kind == walls::steep && trial % 4 == 1) return {0, 0, -1};
    const double z = trial % 4 == 0 ? -0.001 : -0.001 - 0.998 * unit(random);
    const double a = 2 * M_PI * unit(random), h = std::sqrt(1 - z * z);
    return {h * std::cos(a), h * std::sin(a), z};
}

// Runs the cases against the reference; tolerance: how far a contact may lie off the triangle
// and the moved cutter, and beyond the reference's travel (relative to R). Steep walls take fewer
// trials over a coarser reference.
void meet_the_reference(const std::vector<cutter_case>& cases, unsigned seed, bool level_push, double tolerance,
                        walls kind = walls::gentle)
{
    const char* asked = std::getenv("DRELAN_TORUS_TRIALS");
    const int trials = asked != nullptr ? std::atoi(asked) : kind == walls::gentle ? 40 : 12;
    for (const cutter_case& c : cases) {
        const push_reference reference(c.profile, c.radius / (kind == walls::gentle ? 229 : 120));
        const double slack = tolerance * c.radius, early = 3 * reference.step();
        std::mt19937 random(seed);
        int failures = 0;
        for (int k = 0; k < trials && failures < 5; ++k) {
            const point3 u = level_push ? point3{1, 0, 0} : caller_direction(random, k, kind);
            const auto triangle = triangle_ahead(random, reference, c.radius, u, level_push, kind, k);
            const push_result got = c.solve(triangle.data(), u);
            const double expected = reference.travel({0, 0, 0}, u, triangle.data());
            const bool ahead = got.status == 0 && got.distance >= 0.0;
            const std::string where = c.name + ", seed " + std::to_string(seed) + ", trial " + std::to_string(k);
            if (std::isfinite(expected)) {
                EXPECT_TRUE(ahead) << where << ": missed, status " << got.status << ", distance " << got.distance;
                if (!ahead) {
                    ++failures;
                    continue;
                }
                EXPECT_LE(got.distance, expected + slack) << where << ": late";
                EXPECT_GE(got.distance, expected - early) << where << ": early";
                failures += got.distance > expected + slack || got.distance < expected - early;
            }
            if (!ahead) continue;
            const double off_triangle = push_reference::distance_to_triangle(got.contact, triangle.data());
            const double off_cutter = std::fabs(reference.signed_distance(got.tip, got.contact));
            EXPECT_LE(off_triangle, slack) << where << ": the contact lies off the triangle";
            EXPECT_LE(off_cutter, slack) << where << ": the contact lies off the moved cutter";
            failures += off_triangle > slack || off_cutter > slack;
        }
    }
}

}  // namespace

TEST_F(CutterTest, ToroidalSolversMeetTheBruteForceReference)
{
    const double degree = M_PI / 180;
    meet_the_reference({plain("flat end", 1, 0), plain("ball", 1, 1), plain("bull-nose 0.3 R", 1, 0.3),
                        plain("bull-nose 0.7 R", 1, 0.7), tapered("untapered flat end", 2, 0, 0, 1, 0),
                        tapered("untapered ball", 2, 1, 0, 1, 0),
                        tapered("untapered bull-nose with offset", 1.6, 0.1, 0, 1, 0.2),
                        tapered("tapered 10 degrees", 2, 0.25, 10 * degree, 1.5, 0),
                        tapered("tapered 5 degrees with offset", 1.6, 0.2, 5 * degree, 1, 0.2),
                        tapered("tapered 20 degrees, sharp corner", 2, 0, 20 * degree, 0.8, 0),
                        tapered("tapered 30 degrees, long, large offset", 2, 0.3, 30 * degree, 4, 0.5),
                        tapered("tapered 45 degrees", 2, 0.2, 45 * degree, 1, 0.1)},
                       29211, false, 1e-9);
}

TEST_F(CutterTest, PushDriverMeetsTheBruteForceReference)
{
    // Single-precision corners and results: the contact is judged to float rounding.
    const double taper = 10 * M_PI / 180;
    meet_the_reference({driver("flat end", kCutterFlat, 2, 0, 0, 0), driver("ball", kCutterBall, 2, 1, 0, 0),
                        driver("bull-nose", kCutterBullNose, 2, 0.3, 0, 0),
                        driver("tapered", kCutterBullNose + kCutterTapered, 2, 0.25, taper, 1.5),
                        driver("tapered flat end", kCutterFlat + kCutterTapered, 2, 0, taper, 1)},
                       29212, true, 2e-5);
}

TEST_F(CutterTest, TaperedSolverMeetsTheBruteForceReferenceBesideSteepWalls)
{
    const double taper = 10 * M_PI / 180;
    // A ball corner with no flat bottom left: D/2 = rc tan(45 - 5 degrees).
    const double ball_corner = 1 / std::tan(M_PI / 4 - taper / 2);
    meet_the_reference({tapered("tapered flat end", 2, 0, taper, 1.5, 0), tapered("tapered ball", 2, 1, taper, 1.5, 0),
                        tapered("tapered bull-nose", 2, 0.25, taper, 1.5, 0),
                        tapered("tapered ball without a flat bottom", 2, ball_corner, taper, 2.5, 0),
                        tapered("tapered bull-nose with offset, 30 degrees", 2, 0.3, 3 * taper, 3, 0.2)},
                       29213, false, 1e-9, walls::steep);
}
