// The drop of every cutter class against the exact contact over every triangle
// (exact_drop_reference.hpp), on seeded height fields (bumps with near-level tails, terraces whose
// edges rise by less than a micrometre, a plane tilted by micro-radians) and random triangle
// soups: never below it (no gouge), hardly above it; nothing under the cutter only where the
// reference finds nothing. And a mesh with a hole: a cutter over the hole meets nothing, one
// beside it only the triangles under it. DRELAN_DROP_SEEDS raises the number of seeds (4).
#include "cutter_test_support.hpp"
#include "exact_drop_reference.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <cstdlib>
#include <random>

namespace {

// A drop may lie this far below the exact contact, and this far above it: a height rounded up to
// single precision, whose last place is below 1e-6 at the heights of these models (under 16).
constexpr double kBelow = 1e-9;
constexpr double kAbove = 1e-6;

using cutter_case = test_cutter;

const float kTenDegrees = static_cast<float>(M_PI / 18);
const cutter_case kCutters[] = {
    {"flat end", kCutterFlat, 3.0f, 0.0f, 0.0f, 0.0f},
    {"ball", kCutterBall, 2.0f, 1.0f, 0.0f, 0.0f},
    {"bull-nose", kCutterBullNose, 3.0f, 0.4f, 0.0f, 0.0f},
    {"tapered flat end", kCutterFlat + kCutterTapered, 2.0f, 0.0f, kTenDegrees, 1.5f},
    {"tapered bull-nose", kCutterBullNose + kCutterTapered, 2.0f, 0.25f, kTenDegrees, 1.5f},
};

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
                if (kind == 0) heights.push_back(bump);                                     // near-level tails
                else if (kind == 1) heights.push_back(std::round(bump / 4e-4f) * 4e-4f);  // terraces
                else heights.push_back(2 + tilt_x * i * step + tilt_y * j * step + speck);
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

    // Drops at points of the area (x0, y0, x1, y1) against the reference; the worst case goes to the
    // message.
    static void expect_drops_meet_the_reference(const std::string& what, const cutter_case& cutter, const float* area,
                                                std::mt19937& random, int drops)
    {
        const std::vector<double> corners = model_corners();
        const exact_drop_reference reference(cutter.profile());
        std::uniform_real_distribution<float> across_x(area[0], area[2]), across_y(area[1], area[3]);
        double worst_below = 0.0, worst_above = 0.0;
        std::string worst;
        for (int k = 0; k < drops; ++k) {
            const float point[3] = {across_x(random), across_y(random), 0.0f};
            float result[3] = {0, 0, 0}, normal[3];
            int status = 9;
            tool_drop_z_at_xy(point, result, normal, status);
            const double exact = reference.drop(corners, point[0], point[1]);
            const std::string where = what + ", " + cutter.name + ", drop " + std::to_string(k) + " at " +
                                      std::to_string(point[0]) + ", " + std::to_string(point[1]);
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
    }
};

TEST_F(DropPropertyTest, DropIsNeverBelowTheExactContact)
{
    const char* kinds[] = {"bump field", "terraced field", "tilted plane", "triangle soup"};
    const char* more = std::getenv("DRELAN_DROP_SEEDS");
    const unsigned seeds = more != nullptr ? static_cast<unsigned>(std::strtoul(more, nullptr, 10)) : 4;
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
                                                area, random, 60);
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
        expect_drops_meet_the_reference("beside a hole, seed 37905", cutter, near_the_hole, random, 200);
    }
}
