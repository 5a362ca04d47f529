// The motion walk judged against the contour: after walking a path to its end every motion lies
// on one side of the contour, the cut points lie on it, the path runs through the same points;
// and the picking judged by the records it hands back.
#include "edit/trim/motion_walk.hpp"
#include "edit/trim/motion_z_level.hpp"
#include "edit/trim/pick_blocks.hpp"
#include "edit/trim/pick_records.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "tests/edit/editor_support.hpp"
#include "tests/edit/trim_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace control = vantu::control;

namespace {

using words = std::vector<word>;
word r(float v) { return real_to_word(v); }
words feed(int number, float value) { return {1, number, 1, 0, r(value)}; }
words line(int number, point3 p) { return {2, number, r(p[0]), r(p[1]), r(p[2])}; }
using trim_test::arc;
using trim_test::string7;

// The trim contour: the square 0..10.
const std::vector<double> kSquare = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};

double contour_distance(double x, double y)
{
    double best = 1e9;
    for (std::size_t i = 0; i + 3 < kSquare.size(); i += 2) {
        const double ax = kSquare[i], ay = kSquare[i + 1], dx = kSquare[i + 2] - ax, dy = kSquare[i + 3] - ay;
        const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(x - ax - t * dx, y - ay - t * dy));
    }
    return best;
}
bool inside(double x, double y) { return x > 0 && x < 10 && y > 0 && y < 10; }

// BY CONTOUR:ANY PLANE with the contour in the XZ plane: world (x, y, z) seen as (x, z).
constexpr double kIntoXZ[12] = {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, 0};
double plane_y(const point3& p, bool xz) { return xz ? p[2] : p[1]; }

// The sub-list's motions as polylines of points (arcs sampled finely), from the start point.
std::vector<std::vector<point3>> motions(point3 from)
{
    std::vector<std::vector<point3>> out;
    for (const auto& l : control::toolpath_line_at({0})->sublist) {
        const words& w = l.words;
        if (w[0] == 2) out.push_back({from, {word_to_real(w[2]), word_to_real(w[3]), word_to_real(w[4])}});
        for (std::size_t i = 1; w[0] == 7 && i + 3 < w.size(); i += 4, from = out.back().back())
            out.push_back({from, {word_to_real(w[i + 1]), word_to_real(w[i + 2]), word_to_real(w[i + 3])}});
        if (w[0] != 3) {
            if (!out.empty()) from = out.back().back();
            continue;
        }
        const int a = w[2] == 3 ? 1 : 0, b = w[2] == 1 ? 1 : 2;
        const float angle = word_to_real(w[3]), ca = word_to_real(w[5]), cb = word_to_real(w[6]);
        const double r0 = std::hypot(from[a] - ca, from[b] - cb), a0 = std::atan2(from[b] - cb, from[a] - ca);
        std::vector<point3> samples;
        const point3 end{word_to_real(w[7]), word_to_real(w[8]), word_to_real(w[9])};
        for (int i = 0; i <= 64; ++i) {
            point3 p = end;
            p[std::size_t(a)] = float(ca + r0 * std::cos(a0 + angle * i / 64));
            p[std::size_t(b)] = float(cb + r0 * std::sin(a0 + angle * i / 64));
            samples.push_back(p);
        }
        samples.back() = end;
        out.push_back(samples);
        from = end;
    }
    return out;
}

// Walks the whole sub-list from its first block as the trimming driver does: along the side the
// start lies on, turning to the other side at every change the walk reports. The status of the
// last step.
int walk(point3 start, int operation, bool xz = false)
{
    trim_words() = trim_state{};
    trim_words().contour = kSquare.data();
    trim_words().contour_vertices = int(kSquare.size() / 2);
    trim_words().operation = operation;
    trim_words().walk_direction = inside(start[0], plane_y(start, xz)) ? 1 : 3;
    if (xz) {
        trim_words().selection_method = 2;
        trim_words().plane_contour = kSquare.data();
        trim_words().plane_vertices = int(kSquare.size() / 2);
        std::copy(std::begin(kIntoXZ), std::end(kIntoXZ), trim_words().plane_transform);
    }
    point3 current = start, previous{}, direction{0, 0, 1}, previous_direction{};
    int status = 0;
    for (int steps = 0; steps < 100 && status >= 0; ++steps) {
        int boundary = 0, first = 0, second = 0, type = 0, number = 0, segment = 0, kind = 0;
        double along = 0;
        get_next_movment(current, previous, direction, previous_direction, 1, boundary, first, second, type, number,
                         segment, along, kind, status);
        if (first != second) trim_words().walk_direction = 4 - trim_words().walk_direction;
    }
    return status;
}

}  // namespace

TEST(MotionWalk, PointsDifferAndSegmentHeights)
{
    EXPECT_EQ(pts_differ({0, 0, 0}, {0.0005f, 0.0005f, 0.0005f}), 1) << "0.0015 apart";
    EXPECT_EQ(pts_differ({0, 0, 0}, {0.0003f, 0.0003f, 0.0003f}), 0);
    struct row {
        point3 a, b, q;
        float z;
        double t;
    };
    for (const row& c : {row{{0, 0, 0}, {10, 0, 20}, {5, 3, 0}, 10, 0.5}, row{{0, 0, 0}, {2, 8, 8}, {1, 2, 0}, 2, 0.25},
                         row{{3, 4, 0}, {3, 4, 20}, {3, 4, 0}, 20, 1.0}}) {
        double t = 0;
        point3 q = c.q;
        seg_z_at_point(c.a, c.b, q, t);
        EXPECT_FLOAT_EQ(q[2], c.z);
        EXPECT_DOUBLE_EQ(t, c.t);
        EXPECT_EQ(q[0], c.q[0]);
    }
}

TEST(MotionWalk, CutsMotionsExactlyAtTheContour)
{
    struct row {
        const char* name;
        point3 start;
        std::vector<words> blocks;
        int operation;
        std::size_t motions;  // motion blocks after the walk
        bool xz = false;      // the contour lies in the XZ plane
    };
    const std::vector<row> rows = {
        {"zig-zag over the square",
         {5, -2, 0},
         {feed(1, 100), line(2, {15, -2, 0}), line(3, {15, 4, 0}), line(4, {-5, 4, 0}), line(5, {-5, 8, 0}),
          line(6, {15, 8, 0})},
         1,
         9},
        {"a line ending on the contour within 0.001",
         {5, 5, 0},
         {feed(1, 100), line(2, {10.0004f, 5, 0}), line(3, {15, 5, 0})},
         1,
         2},
        {"a path along the contour's edge",
         {5, 5, 0},
         {feed(1, 100), line(2, {10, 5, 0}), line(3, {10, 8, 0}), line(4, {15, 8, 0})},
         1,
         3},
        {"a rapid through and back during DELETE", {-5, 5, 0}, {feed(1, -1), line(2, {15, 5, 0})}, 3, 1},
        {"a rapid through and back outside DELETE", {-5, 5, 0}, {feed(1, -1), line(2, {15, 5, 0})}, 1, 3},
        {"a string across",
         {5, 5, 0},
         {feed(1, 100), string7(2, {{2, 5, 0}, {8, 5, 0}, {14, 5, 0}, {14, 8, 0}})},
         1,
         5},
        {"an XY arc across", {6, 5, 0}, {feed(1, 100), arc(2, 1, float(M_PI), 10, 5, {14, 5, 0})}, 1, 2},
        {"an XZ arc across", {6, 5, 0}, {feed(1, 100), arc(2, 2, float(-M_PI), 10, 0, {14, 5, 0})}, 1, 2},
        {"lines across a contour in the XZ plane",
         {5, -3, 5},
         {feed(1, 100), line(2, {15, 3, 5}), line(3, {15, 3, 20})},
         1,
         3,
         true},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        editor_test::build_words(row.blocks);
        const point3 start = row.start;
        const std::vector<std::vector<point3>> before = motions(start);
        EXPECT_EQ(walk(start, row.operation, row.xz), -2);
        const std::vector<std::vector<point3>> after = motions(start);
        ASSERT_EQ(after.size(), row.motions);
        EXPECT_EQ(after.back().back(), before.back().back()) << "the path ends where it ended";
        if (row.operation == 3) continue;
        for (const auto& m : after) {
            int sides[2] = {0, 0};
            for (const point3& p : m)
                if (contour_distance(p[0], plane_y(p, row.xz)) > 1e-3)
                    ++sides[inside(p[0], plane_y(p, row.xz)) ? 1 : 0];
            EXPECT_TRUE(sides[0] == 0 || sides[1] == 0) << "a motion on both sides";
            EXPECT_TRUE(contour_distance(m.back()[0], plane_y(m.back(), row.xz)) < 1e-3 ||
                        std::any_of(before.begin(), before.end(),
                                    [&](const auto& o) {
                                        return std::any_of(o.begin(), o.end(),
                                                           [&](const point3& q) { return q == m.back(); });
                                    }))
                << "a new end off the contour";
        }
    }
}

TEST(NurbsCuts, PiecesFollowTheCurveAndMeetOnTheCut)
{
    struct row {
        const char* name;
        std::vector<point3> control;
        bool by_plane;  // BLK BELOW Z PLN at 10, else the walk over the square
    };
    const std::vector<row> rows = {
        {"rising through the Z plane", {{0, 0, 0}, {10, 20, 5}, {20, -20, 15}, {30, 0, 20}}, true},
        {"across the contour", {{6, 5, 0}, {8, 9, 0}, {12, 1, 2}, {14, 5, 0}}, false},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        const trim_test::words original = trim_test::nurbs(2, row.control);
        editor_test::build_words({feed(1, 100), original});
        if (row.by_plane) {
            editor_test::put_cursor_on(2);
            trim_words() = trim_state{};
            point3 point = row.control.front(), direction{0, 0, 1};
            int split = 0, number = 2, status = 0;
            move_motion_to_plane(row.control.back(), {0, 0, 1}, point, direction, kBelowPlane, 1, 10.0f, split, number,
                                 status);
            ASSERT_EQ(status, 0);
            EXPECT_NEAR(point[2], 10.0f, 1e-4) << "the point is the cut";
        } else {
            ASSERT_EQ(walk(row.control.front(), 1), -2);
        }
        std::vector<trim_test::words> pieces;
        for (const auto& l : control::toolpath_line_at({0})->sublist)
            if (l.words[0] == 5) pieces.push_back(l.words);
        ASSERT_EQ(pieces.size(), 2u);
        const std::vector<point3> first = trim_test::samples(pieces[0]), second = trim_test::samples(pieces[1]);
        EXPECT_EQ(first.front(), row.control.front());
        EXPECT_EQ(second.back(), row.control.back());
        for (std::size_t i = 0; i < 3; ++i) EXPECT_NEAR(first.back()[i], second.front()[i], 1e-4);
        const point3 cut = first.back();
        if (row.by_plane) {
            EXPECT_NEAR(cut[2], 10.0f, 1e-4);
        } else {
            EXPECT_LT(contour_distance(cut[0], cut[1]), 1e-3);
        }
        for (const auto* piece : {&first, &second})
            for (const point3& p : *piece) {
                const double at[3] = {p[0], p[1], p[2]};
                EXPECT_LT(trim_test::distance(original, at), 1e-3);
            }
    }
}

TEST(PickBlocks, ChoosesSingleChainAndVerticalRuns)
{
    // retract up, link, plunge down, pass, retract up, link, plunge
    const std::vector<words> path = {feed(1, 100),          line(10, {0, 0, 20}), line(11, {10, 0, 20}),
                                     line(12, {10, 0, 0}),  line(13, {20, 0, 0}), line(14, {20, 0, 20}),
                                     line(15, {30, 0, 20}), line(16, {30, 0, 0})};
    const std::string vertical = R"({"pick": "menu"}, {"menu": 3}, {"pick": {"block": [7, 12]}}, )";
    struct row {
        const char* name;
        std::string steps;
        const char* fault;
        int status;
        std::vector<int> blocks;  // the records' block numbers in order
    };
    const std::vector<row> rows = {
        {"exit with nothing chosen", R"({"pick": "exit"})", nullptr, -2, {}},
        {"a back-up and a cancelled mode menu with nothing", R"({"pick": "back"}, {"menu": -2})", nullptr, -2, {}},
        {"single blocks, a repeat ignored, one backed up",
         R"({"pick": {"block": [7, 13]}}, {"pick": {"block": [7, 11]}}, {"pick": {"block": [7, 13]}},
            {"pick": {"block": [7, 15]}}, {"pick": "back"}, {"pick": "exit"})",
         nullptr,
         0,
         {13, 11}},
        {"a chain picked last-first",
         R"({"pick": "menu"}, {"menu": 2}, {"pick": {"block": [7, 14]}}, {"pick": {"block": [7, 11]}},
            {"pick": "exit"})",
         nullptr,
         0,
         {11, 12, 13, 14}},
        {"a plunge: NO, then YES",
         vertical + R"({"menu": 2}, {"menu": 1}, {"pick": "exit"})",
         nullptr,
         0,
         {12, 13, 14}},
        {"a plunge: YES", vertical + R"({"menu": 1}, {"pick": "exit"})", nullptr, 0, {12, 11, 10}},
        {"a plunge: EXIT", vertical + R"({"menu": 3}, {"pick": "exit"})", nullptr, -2, {}},
        {"a pass motion",
         R"({"pick": "menu"}, {"menu": 3}, {"pick": {"block": [7, 13]}}, {"pick": "exit"})",
         nullptr,
         0,
         {13, 12, 14}},
        {"the array refused", R"({"pick": "exit"})", "MM_OPEN_ARRAY", -1, {}},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        editor_test::build_words(path);
        int status = 0;
        for (const int number : {0, 1, 10, 11, 12, 13, 14, 15, 16}) {
            ncd_register_block({number == 0 ? 1 : 2, editor_test::kProcBlock, number});
            ncd_add_registered_block(status);
        }
        control::load_script_text("[" + row.steps + "]", row.name);
        if (row.fault) control::inject_fault(row.fault, 1, 1, -1);
        int count = 0, handle = 0;
        pick_blocks(count, handle, status);
        EXPECT_EQ(status, row.status);
        const auto* records = static_cast<const pick_entry*>(mmcptr(handle));
        std::vector<int> blocks;
        for (int i = 0; i < count; ++i) blocks.push_back(records[i].block);
        EXPECT_EQ(blocks, row.blocks);
        for (int i = 0; i < count; ++i)  // the neighbours are the list's
            EXPECT_EQ(records[i].before, records[i].block == 10 ? 1 : records[i].block - 1);
        if (row.fault) {
            EXPECT_EQ(control::lines_of("eroutc"),
                      std::vector<std::string>{"pick_blocks(trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE"});
        }
        if (handle >= 0) MM_CLOSE(handle, status);
    }
}
