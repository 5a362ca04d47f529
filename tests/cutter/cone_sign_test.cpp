// The sign of the conical contact kernel against the cutter's solid of revolution: over seeded
// triangles of all sizes around cutters of every class and tapered sub-class, and triangles with
// their corners on the elements' joints, the distance is negative exactly when a sample of the
// triangle lies inside the solid (outside a band about 0), and a triangle that enters the cutter
// never gets the no-contact marker.
#include "cone_reference.hpp"

#include "cutter/kernels/cone_contact.hpp"
#include "cutter/locpnt_taper.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

namespace {

constexpr double kDegree = kConeDegree;
constexpr int kSamplesPerSide = 120;
// A large triangle that enters the cutter only a little can pass between the samples: a
// negative distance without a sample inside is sampled again this much finer before it counts.
constexpr int kFineSamplesPerSide = 1200;

struct sign_cutter {
    const char* name;
    double values[5];  // D, r, L, a, off
    int cutter_class;
    int taper_class;
};

std::vector<sign_cutter> sign_cutters()
{
    const double ball_corner = 2 * cone_tan_beta(10 * kDegree);  // c18 = 0 for D 4 and a 10 degrees
    std::vector<sign_cutter> cutters = {
        {"flat end", {4, 0, 6, 0, 0}, kConeFlat, 0},
        {"flat end grown into a bull-nose", {4, 0, 6, 0, 0.3}, kConeBullNose, 0},
        {"ball", {4, 2, 6, 0, 0}, kConeBall, 0},
        {"grown ball", {4, 2, 6, 0, 0.2}, kConeBall, 0},
        {"bull-nose", {4, 0.5, 6, 0, 0.1}, kConeBullNose, 0},
        {"taper 3 degrees", {8, 0.5, 15, 3 * kDegree, 0}, kConeTapered, kTaperFlatBottom},
        {"grown taper 10 degrees", {4, 1, 8, 10 * kDegree, 0.25}, kConeTapered, kTaperFlatBottom},
        {"short taper, top above the corner centre", {4, 0.5, 0.6, 10 * kDegree, 0}, kConeTapered, kTaperShort},
        {"short taper, top below the corner centre", {2, 1, 0.9, 10 * kDegree, 0}, kConeTapered, kTaperShort},
        {"short taper 20 degrees, top below the corner centre",
         {2, 1, 0.8, 20 * kDegree, 0},
         kConeTapered,
         kTaperShort},
        {"grown short taper, top below the corner centre",
         {2, 0.8, 0.75, 10 * kDegree, 0.2},
         kConeTapered,
         kTaperShort},
        {"tapered ball, top above the centre", {4, ball_corner, 6, 10 * kDegree, 0}, kConeTapered, kTaperBallHigh},
        {"tapered ball, top below the centre", {4, ball_corner, 2.3, 10 * kDegree, 0}, kConeTapered, kTaperBallLow},
        {"grown tapered ball, top below the centre",
         {4, ball_corner, 2.2, 10 * kDegree, 0.2},
         kConeTapered,
         kTaperBallLow},
        {"tapered ball, bisector apex below the centre", {}, kConeTapered, kTaperBallLowest},
    };
    lowest_tapered_ball(cutters.back().values);
    return cutters;
}

// A triangle around the cutter: its centre anywhere near the cutter, its size from a hundredth
// of the radius to five radii.
void seeded_triangle(std::mt19937& random, double radius, double top, double* triangle)
{
    std::uniform_real_distribution<double> across(-1.4 * radius, 1.4 * radius), up(-0.4 * radius, top + 0.6 * radius),
        unit(-1, 1), scale(-2, 0.7);
    const double centre[3] = {across(random), across(random), up(random)};
    const double size = radius * std::pow(10.0, scale(random));
    for (int k = 0; k < 9; ++k) triangle[k] = centre[k % 3] + size * unit(random);
}

// A triangle whose corners lie on a lattice of half the corner circle's radius in plan and half
// the corner radius or a third of the taper top in height, so that corners and edges fall on the
// elements' joints and the zones' boundaries.
void lattice_triangle(std::mt19937& random, const cone_cutter_model& m, double* triangle)
{
    std::uniform_int_distribution<int> step(-6, 6);
    const double plan = (m.c18 > 1e-3 ? m.c18 : m.cylinder_radius) / 2;
    const double up = step(random) % 2 == 0 ? m.top / 3 : (m.rc > 1e-3 ? m.rc : m.cylinder_radius) / 2;
    for (int k = 0; k < 9; ++k) triangle[k] = step(random) * (k % 3 == 2 ? up : plan);
}

bool any_sample_inside(const cone_solid& solid, const double* t, int steps)
{
    for (int i = 0; i <= steps; ++i)
        for (int j = 0; i + j <= steps; ++j) {
            const double u = static_cast<double>(i) / steps, v = static_cast<double>(j) / steps;
            double p[3];
            for (int k = 0; k < 3; ++k) p[k] = t[k] + u * (t[3 + k] - t[k]) + v * (t[6 + k] - t[k]);
            if (solid.inside(std::hypot(p[0], p[1]), p[2])) return true;
        }
    return false;
}

std::string describe(const double* t, double distance)
{
    std::ostringstream text;
    text.precision(17);
    text << "distance " << distance << " for";
    for (int k = 0; k < 9; ++k) text << ' ' << t[k];
    return text.str();
}

}  // namespace

TEST(ConeSign, NegativeExactlyWhenTheTriangleEntersTheCutter)
{
    const unsigned seed = 31206;
    const int triangles = 2000;
    for (const sign_cutter& c : sign_cutters()) {
        SCOPED_TRACE(std::string(c.name) + ", seed " + std::to_string(seed));
        cone_state_block = cone_state{};
        cone_contact_setup(c.values);
        ASSERT_EQ(cone_state_block.model.cutter_class, c.cutter_class);
        ASSERT_EQ(cone_state_block.model.taper_class, c.taper_class);
        const double radius = cone_state_block.model.cylinder_radius;
        const double top = std::max(cone_state_block.model.top, cone_state_block.model.rc);
        const double band = 1e-3 * c.values[0];
        const cone_solid solid(c.values);
        std::mt19937 random(seed);
        int wrong = 0, entering = 0;
        for (int n = 0; n < triangles; ++n) {
            double t[9], points[6];
            if (n % 4 == 3)
                lattice_triangle(random, cone_state_block.model, t);
            else
                seeded_triangle(random, radius, top, t);
            double distance = 0;
            const double position[3] = {0, 0, 0};
            cone_tri_distance(0, c.values, position, t, distance, points);
            ASSERT_TRUE(std::isfinite(distance)) << describe(t, distance);
            bool inside = any_sample_inside(solid, t, kSamplesPerSide);
            if (!inside && distance < -band) inside = any_sample_inside(solid, t, kFineSamplesPerSide);
            entering += inside;
            const bool fault =
                (inside && distance == kConeNoContact) || (distance < -band && !inside) || (distance > band && inside);
            if (fault && ++wrong <= 5) ADD_FAILURE() << describe(t, distance) << (inside ? ", enters" : ", clear");
        }
        EXPECT_EQ(wrong, 0) << "of " << triangles << " triangles, " << entering << " entering";
        EXPECT_GT(entering, triangles / 10) << "the triangles reach the cutter";
    }
}
