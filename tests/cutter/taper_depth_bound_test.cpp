// The depth bound of the conical kernel: never below the depth the kernel finds at a triangle's
// plan distance from the axis, over random cutters of every class it bounds and random triangles
// about them, many with corners on the heights and radii where the cutter's elements meet.
#include "cutter/kernels/cone_contact.hpp"
#include "cutter/locpnt_taper.hpp"
#include "cutter/taper_depth_bound.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCuttersPerClass = 12;
constexpr int kTrianglesPerCutter = 4000;

class TaperDepthBound : public ::testing::Test {
protected:
    void SetUp() override { cone_state_block = cone_state{}; }
    void TearDown() override { cone_state_block = cone_state{}; }
};

// A corner: at random, or on a joint of the elements (a height of the model, a radius of the
// cutter) to within a hair.
void random_corner(std::mt19937& random, const cone_cutter_model& m, double* corner)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double r_max = 1.1 * m.cylinder_radius, hair = 1e-9 * (unit(random) - 0.5);
    const double heights[] = {m.top, m.hx, m.h4, m.h0, m.h2, m.rc, 0.0};
    const double radii[] = {m.cylinder_radius, m.c28, std::fabs(m.c18), m.crossing_radius};
    const bool on_height = unit(random) < 0.4, on_radius = unit(random) < 0.3;
    const double z = on_height ? heights[random() % 7] + hair : (unit(random) * 1.4 - 0.2) * (m.h4 + m.h2 + m.top);
    const double r = on_radius ? radii[random() % 4] + hair : r_max * std::sqrt(unit(random));
    const double angle = 2 * M_PI * unit(random);
    corner[0] = r * std::cos(angle);
    corner[1] = r * std::sin(angle);
    corner[2] = z;
}

// Three corners anywhere, a small triangle about one, or one standing upright (two corners one
// over the other).
void random_triangle(std::mt19937& random, const cone_cutter_model& m, double* t)
{
    for (int c = 0; c < 3; ++c) random_corner(random, m, t + 3 * c);
    const int shape = static_cast<int>(random() % 3);
    std::uniform_real_distribution<double> small(-0.05, 0.05);
    if (shape == 1)
        for (int k = 3; k < 9; ++k) t[k] = t[k % 3] + small(random) * m.cylinder_radius;
    if (shape == 2) {
        t[3] = t[0];
        t[4] = t[1];
    }
}

}  // namespace

TEST_F(TaperDepthBound, NeverBelowTheKernelsDepth)
{
    const unsigned seed = 20261208;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct cutter_kind {
        int cutter_class, taper_class;
        int found;
    };
    std::vector<cutter_kind> kinds = {
        {kConeFlat, 0, 0}, {kConeBullNose, 0, 0}, {kConeTapered, kTaperFlatBottom, 0}, {kConeTapered, kTaperShort, 0}};
    for (int tries = 0; tries < 100000; ++tries) {
        const double diameter = 0.5 + 3.5 * unit(random);
        const bool tapered = unit(random) < 0.7;
        const double cutter[5] = {diameter, unit(random) < 0.2 ? 0.0 : 0.5 * diameter * unit(random),
                                  diameter * (0.05 + 2 * unit(random) * unit(random)),
                                  tapered ? (1 + 29 * unit(random)) * M_PI / 180 : 0.0,
                                  unit(random) < 0.5 ? 0.0 : 0.2 * unit(random)};
        cone_state_block = cone_state{};
        cone_contact_setup(cutter);
        const cone_cutter_model& m = cone_state_block.model;
        auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const cutter_kind& k) {
            return k.cutter_class == m.cutter_class &&
                   (m.cutter_class != kConeTapered || k.taper_class == m.taper_class);
        });
        if (kind == kinds.end() || kind->found == kCuttersPerClass) continue;
        ++kind->found;
        const taper_depth_bound bound(m);
        for (int n = 0; n < kTrianglesPerCutter; ++n) {
            double triangle[9], distance = 0.0, points[6];
            random_triangle(random, m, triangle);
            const double origin[3] = {0, 0, 0};
            cone_tri_distance(0, cutter, origin, triangle, distance, points);
            const double top = std::max({triangle[2], triangle[5], triangle[8]});
            ASSERT_LE(-distance, bound.at(top, plan_distance_to_triangle(triangle, 0, 0)) + 1e-9)
                << "seed " << seed << ", cutter " << cutter[0] << " " << cutter[1] << " " << cutter[2] << " "
                << cutter[3] << " " << cutter[4] << ", triangle " << n;
        }
    }
    for (const cutter_kind& k : kinds)
        EXPECT_EQ(k.found, kCuttersPerClass) << "class " << k.cutter_class << "." << k.taper_class;
}
