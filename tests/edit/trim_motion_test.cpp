// The polyline of a motion block judged against the motion's own geometry (lines exact, arc
// points on the circle in the arc's plane, NURBS points and chord middles within 0.01 of the
// spline), and the Z-level change judged by the motions the sub-list holds afterwards.
#include "edit/trim/block_polyline.hpp"
#include "edit/trim/motion_z_level.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "tests/edit/editor_support.hpp"
#include "tests/edit/trim_support.hpp"
#include "toolpath/arc_plane_axes.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace control = vantu::control;

namespace {

using words = std::vector<word>;
word r(float v) { return real_to_word(v); }

words line(int type, int number, point3 p)
{
    words w{type, number, r(p[0]), r(p[1]), r(p[2])};
    if (type != 2) w.insert(w.end(), {r(0), r(0), r(1)});
    return w;
}
using trim_test::arc;
using trim_test::string7;
const std::vector<point3> kWave = {{0, 0, 0}, {10, 20, 5}, {20, -20, 5}, {30, 20, 0}, {40, -20, -5}, {50, 0, 0}};

// The sub-list's blocks as their words.
std::vector<words> sublist()
{
    std::vector<words> out;
    for (const auto& l : control::toolpath_line_at({0})->sublist) out.push_back(l.words);
    return out;
}

}  // namespace

TEST(BlockPolyline, PointsLieOnTheMotionAndEndAtItsEnd)
{
    const point3 start{10, 0, 0};
    struct row {
        const char* name;
        words block;
        int divisions, count;                      // count -1: at most kNurbsPolylineMostPoints
        std::function<double(const point3&)> off;  // distance from the motion
    };
    auto from_axis = [](int a, int b, float ca, float cb, float radius) {
        return [=](const point3& p) { return std::fabs(std::hypot(p[a] - ca, p[b] - cb) - radius); };
    };
    const float quarter = float(M_PI / 2);
    const std::vector<row> rows = {
        {"line", line(22, 5, {3, 4, 5}), 10, 2, [](const point3&) { return 0.0; }},
        {"string of 4", string7(5, {{1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}}), 10, 5,
         [](const point3& p) { return p[1] == 1 || p[0] == 10 ? 0.0 : 1.0; }},
        {"XY arc", arc(5, 1, quarter, 0, 0, {0, 10, 7}), 1, -1, from_axis(0, 1, 0, 0, 10)},
        {"XY arc, divisions 0", arc(5, 1, quarter, 0, 0, {0, 10, 7}), 0, -1, from_axis(0, 1, 0, 0, 10)},
        {"XZ arc", arc(5, 2, quarter, 0, 0, {0, 0, 10}), 10, -1, from_axis(0, 2, 0, 0, 10)},
        {"YZ arc", arc(5, 3, -quarter, 0, 10, {10, -10, 10}), 10, -1, from_axis(1, 2, 0, 10, 10)},
        {"NURBS", trim_test::nurbs(5, kWave), 10, -1, nullptr},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        editor_test::build_words({row.block});
        int handle = -1, capacity = 1, count = 0, status = 0;
        void* base = nullptr;
        MM_OPEN_ARRAY(12, capacity, handle, base, status);
        point3 end{}, end_vector{};
        tp_arc_block arc_block;
        float* points = block_polyline(start, {0, 0, 1}, handle, capacity, row.divisions, count, end, end_vector,
                                       arc_block, status);
        ASSERT_EQ(status, 0);
        ASSERT_NE(points, nullptr);
        if (row.count > 0) {
            EXPECT_EQ(count, row.count);
        }
        EXPECT_LE(count, kNurbsPolylineMostPoints);
        EXPECT_GE(capacity, count);
        EXPECT_EQ(MM_CUR_N_ENTRIES(handle), capacity);
        const bool spline = row.block[0] == 5;
        if (!spline) {
            EXPECT_EQ(point3({points[0], points[1], points[2]}), start);
        }
        EXPECT_EQ(point3({points[3 * count - 3], points[3 * count - 2], points[3 * count - 1]}), end);
        for (int i = 0; i < count; ++i) {
            const point3 p{points[3 * i], points[3 * i + 1], points[3 * i + 2]};
            if (row.block[0] == 3 && i > 0) {
                EXPECT_LT(row.off(p), 1e-3) << "point " << i;
                EXPECT_EQ(p[std::size_t(arc_axes_of(row.block[2]).third)],
                          end[std::size_t(arc_axes_of(row.block[2]).third)]);
            }
            if (row.off && row.block[0] != 3) {
                EXPECT_EQ(row.off(p), 0.0) << "point " << i;
            }
            if (!spline) continue;
            const double at[3] = {p[0], p[1], p[2]};
            EXPECT_LT(trim_test::distance(row.block, at), 1e-3) << "point " << i;
            if (i == 0) continue;
            const double middle[3] = {(at[0] + points[3 * i - 3]) / 2, (at[1] + points[3 * i - 2]) / 2,
                                      (at[2] + points[3 * i - 1]) / 2};
            EXPECT_LE(trim_test::distance(row.block, middle), kNurbsPolylineTolerance + 1e-4) << "chord " << i;
        }
        DM_FREE(points, 0);
        MM_CLOSE(handle, status);
    }
}

TEST(MoveMotionToPlane, ChangesZByModeAndSplitsLinesAtThePlane)
{
    constexpr float kPlane = 10.0f;
    struct row {
        const char* name;
        words block;
        point3 before;
        int mode;
        float feed;
        int status, split;
        std::vector<point3> ends;   // the motions' end points afterwards
        float arc_centre_z = 0.0f;  // an arc's centre Z afterwards
    };
    const std::vector<row> rows = {
        {"line ending on the plane stays", line(2, 5, {4, 0, 10}), {0, 0, 0}, kBelowPlane, 1, 0, 0, {{4, 0, 10}}},
        {"line below is raised", line(2, 5, {4, 0, 3}), {0, 0, 0}, kBelowPlane, 1, 0, 0, {{4, 0, 10}}},
        {"rapid below is raised DEL Z-UP more", line(2, 5, {4, 0, 3}), {0, 0, 0}, kBelowPlane, -1, 0, 0, {{4, 0, 12}}},
        {"vertical line split at its x, y",
         line(2, 5, {3, 4, 20}),
         {3, 4, 0},
         kBelowPlane,
         1,
         0,
         1,
         {{3, 4, 10}, {3, 4, 20}}},
        {"falling line split, its end raised",
         line(2, 5, {10, 0, 0}),
         {0, 0, 20},
         kBelowPlane,
         1,
         0,
         1,
         {{5, 0, 10}, {10, 0, 10}}},
        {"XZ arc below kept", arc(5, 2, 1.0f, 0, 0, {0, 0, 5}), {5, 0, 0}, kBelowPlane, 1, 0, 0, {{0, 0, 5}}, 0},
        {"XZ arc put on the plane",
         arc(5, 2, 1.0f, 0, 0, {0, 0, 5}),
         {5, 0, 0},
         kAllOnPlane,
         1,
         0,
         0,
         {{0, 0, 10}},
         10},
        {"rapid 5.0 above", line(2, 5, {4, 0, 3}), {0, 0, 0}, kAllOnPlane, -1, 0, 0, {{4, 0, 15}}},
        {"stored feed 5.0 above", line(2, 5, {4, 0, 3}), {0, 0, 0}, kAllOnPlane, -2, 0, 0, {{4, 0, 15}}},
        {"delta Z stops at clear Z", line(2, 5, {4, 0, 30}), {0, 0, 0}, kMoveByDeltaZ, 1, 0, 0, {{4, 0, 40}}},
        {"NURBS raised whole", trim_test::nurbs(5, kWave), {0, 0, 0}, kMoveByDeltaZ, 1, 0, 0, {{50, 0, 10}}},
        {"crossing string broken into lines",
         string7(5, {{1, 0, 0}, {2, 0, 20}}),
         {0, 0, 0},
         kBelowPlane,
         1,
         0,
         0,
         {{1, 0, 0}, {2, 0, 20}}},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        editor_test::build_words({{1, 3, 2, 0, 5}, row.block});
        editor_test::put_cursor_on(5);
        trim_words() = trim_state{};
        trim_words().current_feed = row.feed;
        trim_words().clear = 40.0f;
        trim_words().delta_z = 10.0f;
        point3 point = row.before, direction{0, 0, 1};
        const point3 end =
            row.block[0] == 3
                ? point3{word_to_real(row.block[7]), word_to_real(row.block[8]), word_to_real(row.block[9])}
            : row.block[0] == 5 ? point3{word_to_real(row.block.end()[-7]), word_to_real(row.block.end()[-6]),
                                         word_to_real(row.block.end()[-5])}
            : row.block[0] == 7
                ? point3{2, 0, 20}
                : point3{word_to_real(row.block[2]), word_to_real(row.block[3]), word_to_real(row.block[4])};
        int split = 0, number = 5, status = 0;
        move_motion_to_plane(end, {0, 0, 1}, point, direction, row.mode, 1, kPlane, split, number, status);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(split, row.split);
        std::vector<point3> ends;
        for (const words& w : sublist()) {
            if (w[0] == 2 || w[0] == 22) ends.push_back({word_to_real(w[2]), word_to_real(w[3]), word_to_real(w[4])});
            if (w[0] == 3) ends.push_back({word_to_real(w[7]), word_to_real(w[8]), word_to_real(w[9])});
            if (w[0] == 3) {
                EXPECT_EQ(word_to_real(w[6]), row.arc_centre_z);
            }
            if (w[0] != 5) continue;
            const std::size_t last = 4 + 4 * std::size_t(w[3] - 1);
            ends.push_back({word_to_real(w[last + 1]), word_to_real(w[last + 2]), word_to_real(w[last + 3])});
            for (int i = 0; i < w[3]; ++i)  // every control point moved by the same height
                EXPECT_EQ(word_to_real(w[7 + 4 * std::size_t(i)]) - word_to_real(row.block[7 + 4 * std::size_t(i)]),
                          ends.back()[2] - end[2]);
        }
        EXPECT_EQ(ends, row.ends);
        if (status == 0 && row.block[0] != 7) {
            EXPECT_EQ(point, ends.back());
        }
    }
}

TEST(MoveMotionToPlane, ClearHeightWarningOncePerRun)
{
    editor_test::build_words({line(2, 5, {4, 0, 30}), line(2, 6, {8, 0, 35})});
    trim_words() = trim_state{};
    trim_words().clear = 40.0f;
    point3 point{0, 0, 30}, direction{0, 0, 1};
    for (const point3& end : {point3{4, 0, 30}, point3{8, 0, 35}}) {
        int split = 0, number = 0, status = 0;
        move_motion_to_plane(end, {0, 0, 1}, point, direction, kMoveByDeltaZ, 1, 0.0f, split, number, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(point[2], 40.0f);
    }
    EXPECT_EQ(control::lines_of("msg_mdls").size(), 1u);
    EXPECT_EQ(trim_words().clear_warning, 0);
}
