// The tool height at a point and the touch strings along a move, judged against the exact drop
// over every triangle (exact_drop_reference.hpp) with the cutter grown by the stock: every string
// point stands at that height, the string between two neighbours stays within the tolerance of
// it all along, and where a string breaks nothing lies under the cutter. Over the hole of a cone the move
// gives two strings; capacities that run out leave the last string open without writing beyond
// them; bad arguments and a cutter without size fail with a line; with no model held nothing is
// met and nothing said.
#include "cutter_test_support.hpp"
#include "exact_drop_reference.hpp"
#include "push_reference.hpp"

#include "cutter/kernels/xy_contact.hpp"
#include "cutter/linnet_touch_point.hpp"
#include "cutter/prj_manager_least.hpp"
#include "cutter/surface_height_at_point.hpp"
#include "cutter/tool_contact_point.hpp"
#include "cutter/tool_probe.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <random>

namespace {

// Heights within this of the exact drop (single-precision rounding at heights below 16).
constexpr double kHeight = 2.0e-6;
// Each chord of a string is judged at this many even places; random moves over the cone per cutter.
constexpr int kChordSamples = 8;
constexpr int kRandomMoves = 4;

using grown_cutter = test_cutter;

// Moves whose chords once cut up to twice the tolerance into the part where the tool's height
// rose steeply within the smallest step (beside the hole's rim and the cone's edges).
const std::array<float, 6> kSteepMoves[] = {
    {3.335104f, 0.618220f, 0.0f, -4.638053f, 1.336090f, 0.0f},
    {-0.320716f, 8.139879f, 0.0f, 0.210188f, -2.190230f, 0.0f},
    {1.619953f, 3.979789f, 0.0f, -2.112213f, -3.801618f, 0.0f},
    {-6.832862f, 2.147166f, 0.0f, 3.960083f, 0.551828f, 0.0f},
};

// A tapered ball: its corner meets the flank at the tip's plane, so that it has no flat bottom.
const float kTenDegrees = static_cast<float>(M_PI / 18);
const float kTaperedBallCorner = 0.5f / std::tan(static_cast<float>(M_PI / 4) - 0.5f * kTenDegrees);

const grown_cutter kGrownCutters[] = {
    {"ball", kCutterBall, 1.0f, 0.5f, 0.0f, 0.0f, 0.0f},
    {"ball with stock", kCutterBall, 1.0f, 0.5f, 0.0f, 0.0f, 0.3f},
    {"flat end with stock", kCutterFlat, 1.5f, 0.0f, 0.0f, 0.0f, 0.2f},
    {"bull-nose", kCutterBullNose, 1.5f, 0.3f, 0.0f, 0.0f, 0.0f},
    {"tapered bull-nose with stock", kCutterBullNose + kCutterTapered, 1.0f, 0.2f, kTenDegrees, 1.0f, 0.1f},
    {"tapered bull-nose", kCutterBullNose + kCutterTapered, 1.0f, 0.2f, kTenDegrees, 1.0f, 0.0f},
    {"tapered ball with stock", kCutterBall + kCutterTapered, 1.0f, kTaperedBallCorner, kTenDegrees, 1.0f, 0.1f},
};

struct touch_result {
    std::vector<float> points, normals, values;
    std::vector<int> counts;
    int strings = -1, total = -1, status = 9;
};

touch_result touch(int mode, const float* start, const float* end, float tolerance, float stock, int capacity,
                   int string_capacity)
{
    touch_result r;
    // One record more than the capacities, whose canary must survive.
    r.points.assign(3 * static_cast<std::size_t>(capacity + 1), -7.0f);
    r.normals.assign(r.points.size(), -7.0f);
    r.values.assign(static_cast<std::size_t>(capacity + 1), -7.0f);
    r.counts.assign(static_cast<std::size_t>(string_capacity + 1), -7);
    linnet_touch_point(kTouchPartSurfaces, mode, start, end, tolerance, stock, 0.0f, capacity, r.points.data(),
                       r.normals.data(), r.values.data(), r.strings, string_capacity, r.counts.data(), r.total,
                       r.status);
    return r;
}

}  // namespace

class TouchStringsTest : public CutterTest {};

TEST_F(TouchStringsTest, HeightAndStringsStandOnTheExactDrop)
{
    build_cone_with_hole();
    const std::vector<double> corners = model_corners();
    std::mt19937 random(40440);
    std::uniform_real_distribution<float> across(-9.0f, 9.0f);
    for (const grown_cutter& cutter : kGrownCutters) {
        cutter.make_current();
        const exact_drop_reference reference(cutter.profile());
        const auto exact = [&](double x, double y) {
            const double h = reference.drop(corners, x, y);
            return h == exact_drop_reference::kNothing ? h : h + cutter.stock;
        };
        for (int k = 0; k < 40; ++k) {
            const float point[3] = {across(random), across(random), 0.0f};
            float normal[3], contact[3], height = 0.0f;
            int entity = 9, status = 9;
            surface_height_at_point(0, point, 0.01f, cutter.stock, 0.0f, normal, contact, height, entity, status);
            const double expected = exact(point[0], point[1]);
            const std::string where =
                std::string(cutter.name) + " at " + std::to_string(point[0]) + ", " + std::to_string(point[1]);
            if (expected == exact_drop_reference::kNothing) {
                EXPECT_EQ(status, kHeightNone) << where;
                EXPECT_EQ(height, kNoSurfaceHeight) << where;
                continue;
            }
            ASSERT_EQ(status, kHeightFound) << where;
            EXPECT_NEAR(height, expected, kHeight) << where;
            EXPECT_EQ(entity, 0);
            // The touched point lies on the triangles.
            double off = 1e30;
            for (std::size_t t = 0; t + 9 <= corners.size(); t += 9)
                off = std::min(off,
                               push_reference::distance_to_triangle({contact[0], contact[1], contact[2]}, &corners[t]));
            EXPECT_LT(off, 1e-4) << where;
        }
        // A move across the hole: two strings; then random moves over the cone and its hole. The
        // strings' points on the exact drop, the drop between two neighbours within the tolerance
        // of their chord, nothing under the cutter where they break.
        const float tolerance = 0.01f;
        std::vector<std::array<float, 6>> moves = {{-8.0f, 0.7f, 0.0f, 8.0f, -0.4f, 0.0f}};
        for (int k = 0; k < kRandomMoves; ++k)
            moves.push_back({across(random), across(random), 0.0f, across(random), across(random), 0.0f});
        moves.insert(moves.end(), std::begin(kSteepMoves), std::end(kSteepMoves));
        for (const std::array<float, 6>& move : moves) {
            const float *start = move.data(), *end = move.data() + 3;
            const std::string which = std::string(cutter.name) + ", move from " + std::to_string(start[0]) + ", " +
                                      std::to_string(start[1]) + " to " + std::to_string(end[0]) + ", " +
                                      std::to_string(end[1]);
            const touch_result r = touch(kTouchAllPoints, start, end, tolerance, cutter.stock, 4000, 10);
            ASSERT_EQ(r.status, kTouchDone) << which;
            if (&move == &moves.front()) {
                ASSERT_EQ(r.strings, 2) << which << ": the hole breaks the move";
                EXPECT_EQ(r.values[0], 0.0f);
                EXPECT_EQ(r.values[static_cast<std::size_t>(r.total - 1)], 1.0f);
            }
            int first = 0;
            for (int s = 0; s < r.strings; ++s) {
                const int last = first + r.counts[static_cast<std::size_t>(s)] - 1;
                for (int i = first; i <= last; ++i) {
                    const float* p = &r.points[3 * static_cast<std::size_t>(i)];
                    EXPECT_NEAR(p[2], exact(p[0], p[1]), kHeight) << which << ", point " << i;
                    if (i == last) continue;
                    const float* q = p + 3;
                    EXPECT_LT(r.values[static_cast<std::size_t>(i)], r.values[static_cast<std::size_t>(i) + 1]);
                    // Anywhere between them, not only at the middle: an edge or a corner at the
                    // hole's rim may rise between two points whose middle lies on the chord.
                    for (int k = 1; k < kChordSamples; ++k) {
                        const double u = static_cast<double>(k) / kChordSamples;
                        const double z = exact(p[0] + u * (q[0] - p[0]), p[1] + u * (q[1] - p[1]));
                        ASSERT_NE(z, exact_drop_reference::kNothing) << which << ", point " << i;
                        EXPECT_LE(std::fabs(z - (p[2] + u * (q[2] - p[2]))), tolerance + kHeight)
                            << which << ", point " << i << " at " << u;
                    }
                }
                // A break lies within the smallest step (the tolerance) of where the surfaces end.
                const double length = std::hypot(end[0] - start[0], end[1] - start[1]);
                const double dx = (end[0] - start[0]) / length, dy = (end[1] - start[1]) / length;
                const double beyond = 1.01 * tolerance;
                const float* tail = &r.points[3 * static_cast<std::size_t>(last)];
                const float* head = &r.points[3 * static_cast<std::size_t>(first)];
                if (s + 1 < r.strings) {
                    EXPECT_EQ(exact(tail[0] + beyond * dx, tail[1] + beyond * dy), exact_drop_reference::kNothing)
                        << which << ", string " << s;
                }
                if (s > 0) {
                    EXPECT_EQ(exact(head[0] - beyond * dx, head[1] - beyond * dy), exact_drop_reference::kNothing)
                        << which << ", string " << s;
                }
                first = last + 1;
            }
            EXPECT_EQ(first, r.total) << which;
            EXPECT_EQ(r.points[3 * 4000], -7.0f) << "nothing written beyond the capacity";
        }
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(TouchStringsTest, CapacitiesModesAndBadInput)
{
    build_cone_with_hole();
    set_cutter(kCutterBall, 1.0f, 0.5f);
    const float start[3] = {-8.0f, 0.5f, 0.0f}, end[3] = {8.0f, 0.5f, 0.0f}, inside[3] = {0.0f, 0.5f, 0.0f},
                outside[3] = {5.0f, 0.0f, 0.0f};
    struct row {
        const char* name;
        int mode;
        const float *from, *to;
        float tolerance;
        int capacity, string_capacity;
        int status, strings, total;  // total -1: at least 3 and at most the capacity
        const char* message;
    };
    const row rows[] = {
        {"points run out: the string stays open", kTouchAllPoints, start, end, 0.001f, 5, 10, kTouchOpen, 1, 5, ""},
        {"strings run out at the hole", kTouchAllPoints, start, end, 0.01f, 4000, 1, kTouchOpen, 1, -1, ""},
        {"touch-point mode: at most 100 between the ends", kTouchPointMode, start, end, 0.0f, 4000, 10, kTouchDone, 2,
         -1, ""},
        {"a move without length over the cone", kTouchAllPoints, outside, outside, 0.01f, 10, 10, kTouchDone, 1, 1, ""},
        {"a move without length over the hole", kTouchAllPoints, inside, inside, 0.01f, 10, 10, kTouchDone, 0, 0, ""},
        {"no point capacity", kTouchAllPoints, start, end, 0.01f, 0, 10, -1, 0, 0,
         "linnet_touch_point, WRONG ARGUMENTS"},
        {"no string capacity", kTouchAllPoints, start, end, 0.01f, 10, 0, -1, 0, 0,
         "linnet_touch_point, WRONG ARGUMENTS"},
    };
    for (const row& r : rows) {
        vantu::control::clear_messages();
        const touch_result t = touch(r.mode, r.from, r.to, r.tolerance, 0.0f, r.capacity, r.string_capacity);
        EXPECT_EQ(t.status, r.status) << r.name;
        EXPECT_EQ(t.strings, r.strings) << r.name;
        if (r.total >= 0) {
            EXPECT_EQ(t.total, r.total) << r.name;
        } else {
            EXPECT_GE(t.total, 3) << r.name;
            EXPECT_LE(t.total, r.mode == kTouchPointMode ? kTouchPointsMost : r.capacity) << r.name;
        }
        EXPECT_EQ(t.points[3 * static_cast<std::size_t>(r.capacity)], -7.0f) << r.name << ": beyond the points";
        EXPECT_EQ(t.counts[static_cast<std::size_t>(r.string_capacity)], -7) << r.name << ": beyond the strings";
        EXPECT_EQ(errors(), r.message[0] ? std::vector<std::string>{r.message} : std::vector<std::string>{}) << r.name;
    }

    // The stock lifts the tip: a ball over the cone's flank stands higher by it, not lower.
    float normal[3], contact[3], bare = 0.0f, grown = 0.0f;
    int entity = 0, status = 0;
    surface_height_at_point(0, outside, 0.01f, 0.0f, 0.0f, normal, contact, bare, entity, status);
    surface_height_at_point(0, outside, 0.01f, 0.25f, 0.0f, normal, contact, grown, entity, status);
    EXPECT_GT(grown, bare + 0.25f);
    EXPECT_FLOAT_EQ(linnet_params_block.diameter, 1.0f) << "the cutter is given back";

    set_cutter(kCutterBall, 0.0f, 0.0f);
    vantu::control::clear_messages();
    const touch_result failed = touch(kTouchAllPoints, start, end, 0.01f, 0.0f, 10, 10);
    EXPECT_EQ(failed.status, -1);
    surface_height_at_point(0, outside, 0.01f, 0.0f, 0.0f, normal, contact, bare, entity, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(),
              (std::vector<std::string>{"linnet_touch_point, WRONG CUTTER", "surface_height_at_point, WRONG CUTTER"}));
}

TEST_F(TouchStringsTest, WithoutAModelNothingIsMetAndNothingSaid)
{
    set_cutter(kCutterBall, 1.0f, 0.5f);
    const float a[3] = {0, 0, 5}, b[3] = {0, 0, -5}, c[3] = {3, 0, 5};
    const double da[3] = {0, 0, 5}, dc[3] = {3, 0, 5};
    float contact[3] = {}, normal[3] = {}, height = 0.0f;
    double contact_d[3] = {}, normal_d[3] = {};
    int status = 9, flag = 9, entity = 9;
    tool_project_point(a, b, contact, normal, status);
    EXPECT_EQ(status, kProjectFree);
    tool_contact_point(a, c, 0.0f, contact, normal, status);
    EXPECT_EQ(status, kContactFree);
    tool_contact_point_dbl(da, dc, 0.0, contact_d, normal_d, status);
    EXPECT_EQ(status, kContactNone);
    tool_point_touch_test_dbl(da, flag, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(flag, 0);
    surface_height_at_point(0, a, 0.01f, 0.0f, 0.0f, normal, contact, height, entity, status);
    EXPECT_EQ(status, kHeightNone);
    const touch_result t = touch(kTouchAllPoints, a, c, 0.01f, 0.0f, 10, 10);
    EXPECT_EQ(t.status, kTouchDone);
    EXPECT_EQ(t.strings, 0);
    // Nor is there a projector of the lane-on-surface projection, nor its result.
    EXPECT_LT(prj_cache_lookup(), 0);
    int handle = 9, count = 9;
    const float* result = a;
    prj_lane_on_srf(a, normal, 1, 0, handle, 1, result, count);
    EXPECT_EQ(handle, -1);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(errors().empty());
}
