// The Z band of the surface passes: strings clipped to the band with their floor and ceiling
// crossings and separators, the limits of the string block and of the caller's arrays, the
// crossing at a height, the scallop rules and the recording of a segment's pass.
#include "clearing/surface_passes/band_clip.hpp"
#include "clearing/surface_passes/pass_band.hpp"
#include "clearing/surface_passes/pass_scallop.hpp"
#include "host/control.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket/pasbuf.hpp"
#include "tools/tools_test_support.hpp"

#include <array>
#include <string>
#include <vector>

namespace {

using point3 = std::array<float, 3>;
using strings = std::vector<std::vector<point3>>;

struct clip_result {
    strings out;
    int status = 0;
};

// Runs UPDTPS over the strings with room for `room` reals and `string_room` strings; every
// normal is (0, 0, 1), so a blend of normals stays vertical.
clip_result clip(const strings& in, float lower, float upper, int room = kBandRealsMost, int string_room = 50,
                 float tol = 0.01f)
{
    std::vector<float> points(kBandRealsMost), normals(kBandRealsMost);
    std::vector<int> counts(60, 0);
    std::size_t at = 0;
    for (std::size_t s = 0; s < in.size(); ++s) {
        counts[s] = static_cast<int>(in[s].size());
        for (const point3& p : in[s]) {
            for (int k = 0; k < 3; ++k) points[at + k] = p[k], normals[at + k] = k == 2 ? 1.0f : 0.0f;
            at += 3;
        }
    }
    int count = static_cast<int>(in.size());
    clip_result r;
    UPDTPS(tol, upper, lower, room, points.data(), normals.data(), count, string_room, counts.data(), r.status);
    at = 0;
    for (int s = 0; r.status >= 0 && s < count; ++s) {
        r.out.emplace_back();
        for (int i = 0; i < counts[s]; ++i, at += 3) {
            r.out.back().push_back({points[at], points[at + 1], points[at + 2]});
            EXPECT_FLOAT_EQ(normals[at + 2], 1.0f);
        }
    }
    return r;
}

using tools_test::held_tool;
class PassBand : public tools_test::ToolsTest {};

TEST_F(PassBand, StringsAreClippedToTheBand)
{
    struct row {
        const char* name;
        strings in;
        strings expected;
        int status;
    };
    // Band 0 .. 10.
    const std::vector<row> rows = {
        {"inside stays whole", {{{0, 0, 2}, {1, 0, 3}, {2, 0, 4}}}, {{{0, 0, 2}, {1, 0, 3}, {2, 0, 4}}}, 0},
        {"wholly below: its ends at the floor",
         {{{0, 0, -5}, {1, 0, -6}, {2, 0, -4}, {3, 0, -7}}},
         {{{0, 0, 0}, {3, 0, 0}}},
         0},
        {"just above the floor is put on it", {{{0, 0, 0.005f}, {1, 0, 5}}}, {{{0, 0, 0}, {1, 0, 5}}}, 0},
        {"rising above is split with a separator",
         {{{0, 0, 5}, {1, 0, 15}, {2, 0, 15}, {3, 0, 5}}},
         {{{0, 0, 5}, {0.5f, 0, 10}}, {}, {{2.5f, 0, 10}, {3, 0, 5}}},
         0},
        {"entering from below writes the floor crossing",
         {{{0, 0, -4}, {2, 0, 4}, {3, 0, 4}}},
         {{{0, 0, 0}, {1, 0, 0}, {2, 0, 4}, {3, 0, 4}}},
         0},
        {"passing through both bounds", {{{0, 0, 20}, {4, 0, -20}}}, {{{1, 0, 10}, {2, 0, 0}}}, 0},
        {"a trailing empty string is an outcome", {{{0, 0, 1}, {1, 0, 1}}, {}}, {{{0, 0, 1}, {1, 0, 1}}}, 1},
        {"an empty string between stays a separator",
         {{{0, 0, 1}}, {}, {{5, 0, 1}}},
         {{{0, 0, 1}}, {}, {{5, 0, 1}}},
         0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const clip_result got = clip(r.in, 0.0f, 10.0f);
        EXPECT_EQ(got.status, r.status);
        ASSERT_EQ(got.out.size(), r.expected.size());
        for (std::size_t s = 0; s < r.expected.size(); ++s) {
            ASSERT_EQ(got.out[s].size(), r.expected[s].size()) << "string " << s;
            for (std::size_t i = 0; i < r.expected[s].size(); ++i)
                for (int k = 0; k < 3; ++k) EXPECT_NEAR(got.out[s][i][k], r.expected[s][i][k], 1e-5f);
        }
    }
}

TEST_F(PassBand, LimitsFailWithTheirMessages)
{
    // A zigzag over the ceiling: every gap costs a separator and a new string.
    std::vector<point3> zigzag;
    for (int i = 0; i < 8; ++i) zigzag.push_back({static_cast<float>(i), 0.0f, i % 2 == 0 ? 5.0f : 15.0f});
    struct row {
        const char* name;
        int room, string_room;
        std::string channel, line;
    };
    const std::vector<row> rows = {
        {"more room than the block has", kBandRealsMost + 3, 50, "eroutc",
         "UPDTPS,MISMATCH BETWEEN THE NUMBER OF POSSIBLE POINTS"},
        {"the caller's point room", 9, 50, "user1c", "ONLY 3 POINTS PER PASS ARE AVAILABLE"},
        {"the caller's string room", kBandRealsMost, 4, "user1c", "ONLY 4 STRINGS ARE AVAILABLE"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        vantu::control::clear_messages();
        EXPECT_EQ(clip({zigzag}, 0.0f, 10.0f, r.room, r.string_room).status, -1);
        EXPECT_EQ(vantu::control::lines_of(r.channel), std::vector<std::string>{r.line});
    }
    // At the block's own limit a result holds at most 15,000 points.
    const std::vector<point3> flat(15001, point3{1.0f, 1.0f, 1.0f});
    EXPECT_EQ(clip({std::vector<point3>(flat.begin(), flat.end() - 1)}, 0.0f, 10.0f).status, 0);
    EXPECT_EQ(clip({flat}, 0.0f, 10.0f).status, -1);
}

TEST_F(PassBand, CrossingAtAHeight)
{
    const float n0[3] = {0, 0, 1}, n1[3] = {1, 0, 0};
    float p[3], n[3];
    const float a[3] = {0, 0, 0}, b[3] = {4, 8, 8};
    interp_at_z(a, b, n0, n1, 2.0f, p, n);
    EXPECT_FLOAT_EQ(p[0], 1.0f);
    EXPECT_FLOAT_EQ(p[1], 2.0f);
    EXPECT_FLOAT_EQ(n[0], 0.25f);
    EXPECT_FLOAT_EQ(n[2], 0.75f);
    // Level ends: the first point, no division by zero.
    const float c[3] = {4, 8, 0};
    interp_at_z(a, c, n0, n1, 3.0f, p, n);
    EXPECT_FLOAT_EQ(p[0], 0.0f);
    EXPECT_FLOAT_EQ(p[2], 3.0f);
    EXPECT_FLOAT_EQ(n[2], 1.0f);
}

TEST_F(PassBand, ScallopOfABallOfTheMillsDiameter)
{
    const held_tool mill(kMill, 10.0f);
    struct row {
        float distance, height;
    };
    for (const row& r : std::vector<row>{{0.0f, 0.0f}, {6.0f, 1.0f}, {8.0f, 2.0f}, {10.0f, 5.0f}, {30.0f, 5.0f}}) {
        const float p[3] = {1, 2, 3}, q[3] = {1 + r.distance * 0.6f, 2 + r.distance * 0.8f, -7};
        float h = -1.0f;
        scallop_height(p, q, h);
        EXPECT_NEAR(h, r.height, 1e-5f) << "distance " << r.distance;
    }
}

TEST_F(PassBand, StringsAreGroupedByScallop)
{
    const held_tool mill(kMill, 10.0f);
    proc_geometry().curve_approx.tolerance = 0.1f;
    // Strings of one point each at x: the scallop of 0.5 apart is about 0.0125, of 3 apart 0.23.
    const std::vector<float> xs = {0.0f, 0.5f, 3.5f};
    std::vector<float> points;
    for (float x : xs) points.insert(points.end(), {x, 0.0f, 0.0f});
    struct row {
        const char* name;
        int band_flag, max_strings;
        std::vector<int> in, out;
        int total;
    };
    const std::vector<row> rows = {
        {"band flag off: untouched", 0, 10, {1, 0, 1, 1}, {1, 0, 1, 1}, 1},
        {"empty dropped, far one parted", 1, 10, {1, 0, 1, 1}, {1, 1, 0, 1}, 3},
        {"trailing separator kept", 1, 10, {1, 1, 1, 0}, {1, 1, 0, 1, 0}, 3},
        {"no room: as they came", 1, 3, {1, 1, 1}, {1, 1, 1}, 3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<int> counts = r.in;
        counts.resize(12, 0);
        int count = static_cast<int>(r.in.size()), total = -1;
        join_strings_by_scallop(r.band_flag, 99, points.data(), count, r.max_strings, counts.data(), total);
        EXPECT_EQ(std::vector<int>(counts.begin(), counts.begin() + count), r.out);
        EXPECT_EQ(total, r.total);
    }
}

TEST_F(PassBand, SegmentIsRecordedAsAPass)
{
    int status = 0;
    pasbuf_init(2, 1, status);
    ASSERT_EQ(status, 0);
    // Without a triangle model the line-net gives no strings: an empty pass is recorded; with
    // the restart mark the one-point pass at A, and the block left empty.
    for (int restart : {0, 1}) {
        SCOPED_TRACE(restart);
        std::vector<float> points(300, -1.0f), normals(300);
        std::vector<int> counts(10, -1);
        int strings = -1, total = -1, passes_before = 0;
        pasbuf_npass(kPasbufGet, passes_before, status);
        const float a[3] = {1, 2, 3}, b[3] = {9, 2, 3};
        segment_pass_band(0, restart, 0, 10.0f, 0.0f, a, b, 0.01f, 0.0f, 0.0f, 300, 10, 2, points.data(),
                          normals.data(), strings, counts.data(), total, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(strings, 0);
        EXPECT_EQ(total, 0);
        int passes = 0;
        pasbuf_npass(kPasbufGet, passes, status);
        EXPECT_EQ(passes, passes_before + 1);
    }
    std::vector<int> counts(2);
    int strings = 0, type = 0;
    std::vector<float> read(30);
    for (int expected_points : {0, 1}) {
        pasbuf_pass(kPasbufGet, 0, counts.data(), strings, type, read.data(), nullptr, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(type, 2);
        EXPECT_EQ(strings, 1);
        EXPECT_EQ(counts[0], expected_points);
    }
    EXPECT_FLOAT_EQ(read[0], 1.0f);
    EXPECT_FLOAT_EQ(read[2], 3.0f);
    pasbuf_init(1, 0, status);
}

}  // namespace
