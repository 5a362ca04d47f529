// Parametric part surfaces (plane, sphere, bicubic patch): refused when malformed, saved so that
// they load back the same, evaluated with derivatives that match the surface's differences; and
// the distances of points and lines in space.
#include "host/control.hpp"
#include "host/vantu_surface_eval.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

namespace {

const char* const kPart = R"({"entities": [
 {"id": 1, "kind": "plane", "origin": [1, 2, 3], "u_axis": [1, 0, 0.5], "v_axis": [0, 2, 0], "u_range": [-5, 5]},
 {"id": 2, "kind": "sphere", "centre": [0, 0, 1], "radius": 3, "u_range": [0, 6.28], "v_range": [-1.5, 1.5],
  "range_check": [2, 0]},
 {"id": 3, "kind": "bicubic", "u_range": [2, 4], "v_range": [1, 0], "points": [
  [0, 0, 0], [1, 0, 1], [2, 0, 1], [3, 0, 0], [0, 1, 1], [1, 1, 3], [2, 1, 2], [3, 1, 1],
  [0, 2, 1], [1, 2, 2], [2, 2, 3], [3, 2, 1], [0, 3, 0], [1, 3, 1], [2, 3, 1], [3, 3, 2]]}]})";

struct block_t {
    float w[9];
};

block_t at(const word* buffer, float u, float v)
{
    block_t b{};
    evsrf(1, buffer, u, v, b.w);
    return b;
}

}  // namespace

// Over random parameters of each surface the derivatives match central differences, the normal
// is unit and perpendicular to both; the bicubic passes through its corner points.
TEST(ParametricSurfaces, DerivativesAndNormalsMatchTheSurface)
{
    vantu::control::reset();
    vantu::control::load_part_text(kPart, "part");
    const unsigned seed = 4611;
    std::mt19937 random(seed);
    for (int id : {1, 2, 3}) {
        word buffer[kSurfaceBufferWords] = {};
        int status = 9;
        surface_buffer_load(id, buffer, status);
        ASSERT_EQ(status, 0);
        std::uniform_real_distribution<float> u_of(0.2f, 0.8f);
        for (int k = 0; k < 20; ++k) {
            const float u = id == 3 ? 2 + 2 * u_of(random) : u_of(random), v = id == 3 ? u_of(random) : u_of(random);
            const float h = 1e-3f;
            const block_t b = at(buffer, u, v), up = at(buffer, u + h, v), um = at(buffer, u - h, v),
                          vp = at(buffer, u, v + h), vm = at(buffer, u, v - h);
            float normal[3], words[9];
            evsrfn(2, buffer, u, v, words, normal, status);
            ASSERT_EQ(status, 0);
            for (int c = 0; c < 3; ++c) {
                EXPECT_NEAR(b.w[3 + c], (up.w[c] - um.w[c]) / (2 * h), 2e-2f) << "seed " << seed << " id " << id;
                EXPECT_NEAR(b.w[6 + c], (vp.w[c] - vm.w[c]) / (2 * h), 2e-2f) << "seed " << seed << " id " << id;
            }
            EXPECT_NEAR(std::hypot(normal[0], normal[1], normal[2]), 1.0f, 1e-5f);
            EXPECT_NEAR(normal[0] * b.w[3] + normal[1] * b.w[4] + normal[2] * b.w[5], 0.0f, 1e-4f);
            EXPECT_NEAR(normal[0] * b.w[6] + normal[1] * b.w[7] + normal[2] * b.w[8], 0.0f, 1e-4f);
        }
        EXPECT_EQ(static_cast<int>(buffer[kSurfaceBufferId]), id);
    }
    word patch[kSurfaceBufferWords];
    int status = 0;
    surface_buffer_load(3, patch, status);
    EXPECT_EQ(word_to_real(patch[kSurfaceBufferRange + 4]), -1.0f) << "a v range that runs backwards";
    const block_t corner = at(patch, 4, 0);
    EXPECT_EQ(std::vector<float>(corner.w, corner.w + 3), (std::vector<float>{3, 3, 2}));
    int first = 0, second = 0;
    surface_flag_words(2, first, second, status);
    EXPECT_EQ(first * 10 + second, 20);
    const std::string saved = vantu::control::save_part_text();
    vantu::control::load_part_text(saved, "saved");
    EXPECT_EQ(vantu::control::save_part_text(), saved);
    surface_buffer_load(99, patch, status);
    EXPECT_EQ(status, -5);
    vantu::control::reset();
}

TEST(ParametricSurfaces, MalformedSurfacesAreRefused)
{
    const char* const bad[] = {
        R"({"entities": [{"id": 1, "kind": "plane", "origin": [0, 0, 0], "u_axis": [1, 0, 0]}]})",
        R"({"entities": [{"id": 1, "kind": "sphere", "centre": [0, 0, 0], "radius": 0}]})",
        R"({"entities": [{"id": 1, "kind": "bicubic", "points": [[0, 0, 0]]}]})",
        R"({"entities": [{"id": 1, "kind": "sphere", "centre": [0, 0, 0], "radius": 1, "u_range": [1, 1]}]})",
    };
    for (const char* part : bad) {
        vantu::control::reset();
        EXPECT_THROW(vantu::control::load_part_text(part, "part"), std::exception) << part;
    }
    vantu::control::reset();
}

// Point to segment and line to line, against worked cases.
TEST(ParametricSurfaces, DistancesInSpace)
{
    struct row {
        double p[3];
        double distance, t;
        int status;
    };
    const double a[3] = {0, 0, 0}, b[3] = {4, 0, 0};
    const row rows[] = {{{2, 3, 4}, 5, 0.5, 0}, {{-3, 4, 0}, 5, 0, 1}, {{7, 0, 4}, 5, 1, 2}};
    for (const row& r : rows) {
        double distance = 0, t = 0;
        int status = 9;
        dislps(r.p, a, b, distance, t, status);
        EXPECT_NEAR(distance, r.distance, 1e-12);
        EXPECT_NEAR(t, r.t, 1e-12);
        EXPECT_EQ(status, r.status);
    }
    const float a1[3] = {0, 0, 0}, a2[3] = {2, 0, 0}, b1[3] = {1, -1, 3}, b2[3] = {1, 1, 3};
    float on_a[3], on_b[3], s = 0, t = 0;
    int status = 9;
    dminll(a1, a2, b1, b2, on_a, on_b, s, t, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::vector<float>({on_a[0], on_a[1], on_a[2], on_b[0], on_b[1], on_b[2], s, t}),
              std::vector<float>({1, 0, 0, 1, 0, 3, 0.5f, 0.5f}));
    dminll(a1, a2, b1, b1, on_a, on_b, s, t, status);
    EXPECT_EQ(status, -1);
}
