// The loop search of the loop trimming and its arcs: the crossings of a pass found in the plane
// of its points (also tilted), closed paths kept, the working view given back; arc polygons
// within their chord tolerance and the signed angle in the arc's plane.
#include "edit/editor/loop_trimming.hpp"
#include "host/control.hpp"
#include "host/control/tp_display_host.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "tests/edit/editor_support.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace control = vantu::control;

namespace {

// A point string from planar (x, y) points lifted into a plane tilted by `tilt` about the x axis
// and shifted by dz; entry k gets block number 10 + k and type 2.
loop_string lifted(const std::vector<std::array<float, 2>>& xy, double tilt, float dz = 0.0f)
{
    loop_string s;
    const float c = float(std::cos(tilt)), sn = float(std::sin(tilt));
    for (std::size_t k = 0; k < xy.size(); ++k) {
        s.points.push_back({xy[k][0], xy[k][1] * c, xy[k][1] * sn + dz});
        s.directions.push_back({0.0f, -sn, c});
        s.types.push_back(2);
        s.numbers.push_back(10 + int(k));
    }
    return s;
}

float distance_to_segment(const point3& x, const point3& p, const point3& q)
{
    float along = 0, length = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        along += (x[k] - p[k]) * (q[k] - p[k]);
        length += (q[k] - p[k]) * (q[k] - p[k]);
    }
    const float t = std::clamp(length > 0 ? along / length : 0.0f, 0.0f, 1.0f);
    float d = 0;
    for (std::size_t k = 0; k < 3; ++k) d += std::pow(p[k] + t * (q[k] - p[k]) - x[k], 2.0f);
    return std::sqrt(d);
}

}  // namespace

TEST(LoopSearch, FindsTheLoopsOfNamedPassesInTheirPlane)
{
    struct row {
        const char* name;
        std::vector<std::array<float, 2>> xy;
        std::vector<std::array<int, 2>> loops;  // start and end block numbers
    };
    const std::vector<row> rows = {
        {"figure-eight", {{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, -5}, {15, -5}}, {{11, 14}}},
        {"closed contour", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, {}},
        {"two loops",
         {{0, 0}, {10, 0}, {10, 5}, {5, 5}, {5, -5}, {20, -5}, {20, 0}, {15, 0}, {15, -10}},
         {{11, 14}, {15, 18}}},
        {"no crossing", {{0, 0}, {10, 0}, {10, 10}, {20, 10}}, {}},
        {"zero-length end", {{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, -5}, {5, -5}}, {{11, 14}}},
    };
    // A vertical plane seen from above is one line: its loops are found only in its own plane.
    for (const double tilt : {0.0, 0.6, -1.1, M_PI / 2}) {
        for (const row& r : rows) {
            control::reset();
            NPT1().at(tp_header_state::kView) = 0;
            const loop_string s = lifted(r.xy, tilt, 4.0f);
            std::vector<loop_record> loops;
            int status = -9;
            find_loops(s, int(s.points.size()), kMostLoops, loops, status);
            ASSERT_EQ(status, 0) << r.name << " tilt " << tilt;
            ASSERT_EQ(loops.size(), r.loops.size()) << r.name << " tilt " << tilt;
            for (std::size_t i = 0; i < loops.size(); ++i) {
                EXPECT_EQ(loops[i].start_number, r.loops[i][0]) << r.name;
                EXPECT_EQ(loops[i].end_number, r.loops[i][1]) << r.name;
                const int a = loops[i].start_number - 10, b = loops[i].end_number - 10;
                EXPECT_LT(distance_to_segment(loops[i].crossing, s.points[a - 1], s.points[a]), 1e-3) << r.name;
                EXPECT_LT(distance_to_segment(loops[i].crossing, s.points[b - 1], s.points[b]), 1e-3) << r.name;
                EXPECT_NEAR(std::hypot(loops[i].direction[0], loops[i].direction[1], loops[i].direction[2]), 1.0, 1e-5);
            }
            EXPECT_EQ(control::work_view().view, 0) << r.name;  // the tool path's own view again
        }
    }
}

TEST(LoopSearch, SeededStringsGiveTheSameLoopsFlatAndTilted)
{
    std::size_t found = 0;
    for (unsigned seed = 1; seed <= 30; ++seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> any(-50.0f, 50.0f);
        std::vector<std::array<float, 2>> xy;
        for (int k = 0; k < 12; ++k) xy.push_back({any(rng), any(rng)});
        std::vector<loop_record> flat, tilted;
        int status = 0;
        control::reset();
        find_loops(lifted(xy, 0.0), 12, kMostLoops, flat, status);
        ASSERT_EQ(status, 0) << "seed " << seed;
        find_loops(lifted(xy, M_PI / 2, -7.0f), 12, kMostLoops, tilted, status);
        ASSERT_EQ(status, 0) << "seed " << seed;
        ASSERT_EQ(flat.size(), tilted.size()) << "seed " << seed;
        found += flat.size();
        for (std::size_t i = 0; i < flat.size(); ++i) {
            EXPECT_EQ(flat[i].start_number, tilted[i].start_number) << "seed " << seed;
            EXPECT_EQ(flat[i].end_number, tilted[i].end_number) << "seed " << seed;
            EXPECT_LT(flat[i].start_number, flat[i].end_number) << "seed " << seed;
            if (i > 0) {
                EXPECT_GT(flat[i].start_number, flat[i - 1].end_number) << "seed " << seed;
            }
        }
    }
    EXPECT_GT(found, 30u);  // random strings of 12 points cross themselves often
}

TEST(LoopSearch, RefusesStringsThatDefineNoPlane)
{
    struct row {
        std::vector<std::array<float, 2>> xy;
        const char* message;
    };
    const row rows[] = {
        {{{0, 0}, {10, 0}}, "THREE POINTS ARE REQUIRED TO DEFINE A PLANE"},
        {{{0, 0}, {10, 0}, {20, 0}, {5, 0}}, "THE STRING OF POINTS CANNOT DEFINE A PLANE"},
    };
    for (const row& r : rows) {
        control::reset();
        control::clear_messages();
        std::vector<loop_record> loops;
        int status = 0;
        find_loops(lifted(r.xy, 0.3), int(r.xy.size()), kMostLoops, loops, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(control::texts_of("userrc"), std::vector<std::string>{r.message});
        EXPECT_EQ(control::work_view().view, 0);
    }
}

TEST(LoopArcs, SweepAngleIsSignedInTheArcsPlane)
{
    struct row {
        int plane;
        point3 from, to;
        float angle;
        int status;
    };
    const float q = float(M_PI / 2);
    const row rows[] = {
        {1, {3, 0, 9}, {0, 3, -9}, q, 0},  {1, {0, 3, 0}, {3, 0, 0}, -q, 0},    {2, {3, 5, 0}, {0, 7, 3}, q, 0},
        {3, {8, 3, 0}, {8, 0, -3}, -q, 0}, {1, {0, 0, 1}, {3, 0, 0}, 0.0f, -1},
    };
    for (const row& r : rows) {
        float angle = 9;
        int status = 9;
        arc_sweep_angle(r.plane, {0, 0}, r.from, r.to, angle, status);
        EXPECT_EQ(status, r.status) << r.plane;
        EXPECT_NEAR(angle, r.angle, 1e-6) << r.plane;
    }
}

TEST(LoopArcs, SegmentCountsAreEvenStepsOfAtLeastFour)
{
    struct row {
        double angle, step;
        int count;
    };
    const row rows[] = {{1.0, 0.1, 10}, {-1.0, 0.3, 4}, {0.001745, 0.0, 4}, {-6.0, 0.5, 12}, {3.0, 1e-12, 4}};
    for (const row& r : rows) {
        double step = r.step;
        int count = 0;
        arc_segments(r.angle, step, count);
        EXPECT_EQ(count, r.count) << r.angle;
        EXPECT_NEAR(step * count, r.angle, 1e-12) << r.angle;
    }
}

TEST(LoopArcs, PolygonsStayWithinTheirToleranceAndEndOnTheArcsEnd)
{
    struct row {
        int plane;
        float radius, angle, tolerance;
        int room, count;  // count -1: refused
    };
    const row rows[] = {
        {1, 10.0f, float(M_PI / 2), 0.01f, 1000, -2},  // -2: any count, checked by the properties
        {2, 50.0f, -3.0f, 0.01f, 1000, -2},
        {3, 1000.0f, 0.0017f, 0.01f, 1000, 4},  // a tenth of a degree: still four segments
        {1, 0.004f, 2.0f, 0.01f, 1000, 4},      // tolerance beyond the diameter
        {1, 0.0f, 1.0f, 0.01f, 1000, 1},        // zero radius: the end point only
        {1, 10.0f, 6.0f, 0.01f, 20, -1},
    };
    for (const row& r : rows) {
        control::reset();
        control::clear_messages();
        const std::size_t u = r.plane == 3 ? 1 : 0, v = r.plane == 1 ? 1 : 2, across = 3 - u - v;
        point3 start{}, end{};
        start[u] = r.radius;
        start[across] = 2.0f;
        end[u] = r.radius * std::cos(r.angle);
        end[v] = r.radius * std::sin(r.angle);
        end[across] = 2.0f;
        std::vector<point3> points(1000), directions(1000);
        int count = 0, status = 0;
        ARC2PL(0, r.plane, r.angle, r.tolerance, {0, 0}, start, {1, 0, 0}, end, {0, 1, 0}, r.room, points, directions,
               count, status);
        if (r.count == -1) {
            EXPECT_EQ(status, -1);
            EXPECT_EQ(control::texts_of("userrc"),
                      std::vector<std::string>{"ARC2PL, POLIGON BUFFER IS NOT BIG ENOUGH"});
            continue;
        }
        ASSERT_EQ(status, 0) << r.radius;
        if (r.count > 0) {
            EXPECT_EQ(count, r.count) << r.radius;
        }
        for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(points[std::size_t(count - 1)][k], end[k], 1e-3) << r.radius;
        point3 previous = start;
        for (int k = 0; k < count; ++k) {
            const point3& p = points[std::size_t(k)];
            EXPECT_NEAR(std::hypot(p[u], p[v]), r.radius, 1e-3) << r.radius;
            EXPECT_FLOAT_EQ(p[across], 2.0f);
            // The chord's middle lies within the tolerance of the arc (within 2R when the
            // tolerance is larger than the diameter).
            const float sagitta = r.radius - std::hypot((p[u] + previous[u]) / 2, (p[v] + previous[v]) / 2);
            EXPECT_LE(sagitta, std::min(r.tolerance, 2 * r.radius) + 1e-4f) << r.radius;
            EXPECT_NEAR(std::hypot(directions[std::size_t(k)][0], directions[std::size_t(k)][1]), 1.0f, 1e-5);
            previous = p;
        }
    }
}

namespace {

// A line block ending at (x, y) of a plane tilted by `tilt` about the x axis.
std::vector<word> line_words(int number, float x, float y, double tilt = 0.0)
{
    return {2, number, real_to_word(x), real_to_word(y * float(std::cos(tilt))),
            real_to_word(y * float(std::sin(tilt)))};
}

// The end point and, for arcs, the swept angle of the sub-list block numbered `number`.
struct stored_motion {
    int type = 0;
    point3 end{};
    float angle = 0.0f;
};
stored_motion stored(int number)
{
    for (const auto& line : control::toolpath_line_at({0})->sublist) {
        const std::vector<word>& w = line.words;
        if (w.size() < 5 || w[1] != number) continue;
        const std::size_t at = w[0] == 3 ? 7 : 2;
        return {w[0],
                {word_to_real(w[at]), word_to_real(w[at + 1]), word_to_real(w[at + 2])},
                w[0] == 3 ? word_to_real(w[3]) : 0.0f};
    }
    return {};
}

}  // namespace

TEST(LoopCut, TrimsTheLoopOfATiltedFigureEightAndAnArcCrossingALaterLine)
{
    // Lines: the figure-eight of the search test in a tilted plane. Arc: a half circle of radius 10 about the
    // origin from (10, 0) counter-clockwise, then two lines, the second crossing the arc.
    struct row {
        const char* name;
        std::vector<std::vector<word>> blocks;
        std::vector<std::string> kept;
    };
    const float half = float(M_PI);
    std::vector<word> arc{3, 11, 1, real_to_word(half), 0, 0, 0, real_to_word(-10.0f), 0, 0};
    const std::vector<row> rows = {
        {"lines",
         {line_words(10, 0, 0, 0.6), line_words(11, 10, 0, 0.6), line_words(12, 10, 10, 0.6),
          line_words(13, 5, 10, 0.6), line_words(14, 5, -5, 0.6), line_words(15, 15, -5, 0.6)},
         {"L10", "L11", "L14", "L15"}},
        {"arc", {line_words(10, 10, 0), arc, line_words(12, -5, 3), line_words(13, 5, 15)}, {"L10", "T3:11", "L13"}},
    };
    for (const row& r : rows) {
        editor_test::build_words(r.blocks);
        // The pass as the trimming collects it: the lines' end points, the arc's polygon.
        loop_string s;
        for (const auto& w : r.blocks) {
            if (w[0] == 3) {
                std::vector<point3> points(200), directions(200);
                int count = 0, status = 0;
                ARC2PL(0, 1, half, kLoopArcTolerance, {0, 0}, s.points.back(), {0, 0, 1}, {-10, 0, 0}, {0, 0, 1}, 200,
                       points, directions, count, status);
                ASSERT_EQ(status, 0);
                s.points.insert(s.points.end(), points.begin(), points.begin() + count);
                s.directions.insert(s.directions.end(), directions.begin(), directions.begin() + count);
                s.types.insert(s.types.end(), std::size_t(count), 3);
                s.numbers.insert(s.numbers.end(), std::size_t(count), 11);
                continue;
            }
            s.points.push_back({word_to_real(w[2]), word_to_real(w[3]), word_to_real(w[4])});
            s.directions.push_back({0, 0, 1});
            s.types.push_back(2);
            s.numbers.push_back(w[1]);
        }
        std::vector<loop_record> loops;
        int status = 0;
        find_loops(s, int(s.points.size()), kMostLoops, loops, status);
        ASSERT_EQ(loops.size(), 1u) << r.name;
        const loop_record& loop = loops[0];
        const stored_motion end_before = stored(loop.end_number);
        editor_test::put_cursor_on(10);
        blk_path result;
        int deleted = 0;
        trim_one_loop(loop, loop.start_type == 3, loop.end_type == 3, result, deleted, status);
        ASSERT_EQ(status, 0) << r.name;
        EXPECT_EQ(deleted, 1);
        EXPECT_EQ(editor_test::blocks(), r.kept) << r.name;
        EXPECT_EQ(result.block(), 10) << r.name;
        // The start block ends at the crossing; the end block keeps its own end.
        const stored_motion start = stored(loop.start_number);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_NEAR(start.end[k], loop.crossing[k], 1e-4) << r.name;
            EXPECT_EQ(stored(loop.end_number).end[k], end_before.end[k]) << r.name;
        }
        if (start.type == 3) {
            EXPECT_GT(start.angle, 0.0f);  // the same sense, a smaller sweep
            EXPECT_LT(start.angle, half);
            EXPECT_NEAR(std::hypot(start.end[0], start.end[1]), 10.0f, 1e-2);
        }
    }
}

TEST(LoopPass, CollectsLinesAndArcsUpToTheRangeEndOrThePassEnd)
{
    struct row {
        const char* name;
        std::vector<std::vector<word>> blocks;
        int last;
        int status, range_end;
        std::size_t entries;  // with the entry before the pass
        int stands_on;        // the block the list stands on afterwards
        const char* message;
    };
    std::vector<std::vector<word>> many;
    for (int n = 11; n < 1111; ++n) many.push_back(editor_test::block_words("L" + std::to_string(n)));
    const std::vector<word> arc{3, 12, 1, real_to_word(float(M_PI)), 0, 0, 0, real_to_word(-11.0f), 0, 0};
    const auto w = [](const char* text) { return editor_test::block_words(text); };
    const std::vector<row> rows = {
        {"lines to the range end", {w("L11"), w("L12"), w("L13")}, 12, 0, 1, 3, 12, ""},
        {"an arc's polygon", {w("L11"), arc, w("L13")}, 13, 0, 1, 0, 13, ""},
        {"a pass marker", {w("L11"), w("M12:6"), w("L13"), w("M14:5"), w("L15")}, 15, 0, 0, 2, 14, ""},
        {"a string",
         {w("L11"), w("S20x3"), w("L30")},
         30,
         kLoopNotLinearOrCircular,
         0,
         2,
         20,
         "TRIMMING LOOPS CAN ONLY WORK ON :|LINEAR OR CIRCULAR MOTION BLOCKS"},
        {"the room", many, 2000, 0, 1, std::size_t(kLoopStringRoom), 11 + kLoopStringRoom - 2,
         "NUMBER OF POINTS THAT CAN BE TAKEN AT A TIME IS LIMITTED TO"},
    };
    for (const row& r : rows) {
        editor_test::build_words(r.blocks);
        editor_test::put_cursor_on(11);
        const auto before = editor_test::blocks();
        loop_string s;
        s.points.push_back({0, 0, 0});
        s.directions.push_back({0, 0, 1});
        s.types.push_back(2);
        s.numbers.push_back(10);
        int range_end = -1, status = 9;
        collect_loop_pass(r.last, s, range_end, status);
        EXPECT_EQ(status, r.status) << r.name;
        EXPECT_EQ(range_end, r.range_end) << r.name;
        EXPECT_EQ(editor_test::cursor_block_number(), r.stands_on) << r.name;
        EXPECT_EQ(editor_test::blocks(), before) << r.name;
        if (r.entries > 0) {
            EXPECT_EQ(s.points.size(), r.entries) << r.name;
        }
        const auto lines = control::messages();
        EXPECT_EQ(!lines.empty() && lines.back().text == r.message, *r.message != '\0') << r.name;
        if (std::string(r.name) == "an arc's polygon") {
            for (std::size_t k = 0; k < s.points.size(); ++k) {
                EXPECT_TRUE(s.types[k] != 3 || std::abs(std::hypot(s.points[k][0], s.points[k][1]) - 11.0f) < 1e-3f)
                    << k;
            }
            EXPECT_EQ(s.numbers.back(), 13);
            const point3& arc_end = s.points[s.points.size() - 2];
            EXPECT_NEAR(arc_end[0], -11.0f, 1e-3);
            EXPECT_NEAR(arc_end[1], 0.0f, 1e-3);
        }
    }
}

TEST(LoopTrimRange, TrimsEachPassOfTheConfirmedRange)
{
    using points = std::vector<std::array<float, 2>>;
    const auto lines = [](const points& xy, int from) {
        std::vector<std::vector<word>> blocks;
        for (const auto& p : xy) blocks.push_back(line_words(from++, p[0], p[1], 0.6));
        return blocks;
    };
    const auto with = [](std::vector<std::vector<word>> blocks, const std::vector<std::string>& more) {
        for (const std::string& text : more) blocks.push_back(editor_test::block_words(text));
        return blocks;
    };
    const auto eight = lines({{0, 0}, {10, 0}, {10, 10}, {5, 10}, {5, -5}, {15, -5}}, 10);
    struct row {
        const char* name;
        std::vector<std::vector<word>> blocks;
        int first, last;
        const char* script;
        int status, deleted;
        std::vector<std::string> kept;  // empty: the list unchanged
        int reached;                    // the block the cursor steps on to (0: not checked)
        const char* message;            // the user line shown, if any
    };
    const std::vector<row> rows = {
        {"figure-eight",
         with(eight, {"L16"}),
         11,
         15,
         R"([{"question": "yes"}])",
         0,
         1,
         {"L10", "L11", "L14", "L15", "L16"},
         16,
         ""},
        {"closed contour",
         with(lines({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 10), {"L15"}),
         14,
         11,
         R"([{"question": "yes"}])",
         0,
         0,
         {},
         15,
         ""},
        {"one-line pass after a trimmed one",
         with(eight, {"M16:6", "M17:5", "L18"}),
         11,
         18,
         R"([{"question": "yes"}])",
         -3,
         1,
         {"L10", "L11", "L14", "L15", "M16:6", "M17:5", "L18"},
         0,
         "THREE POINTS ARE REQUIRED TO DEFINE A PLANE"},
        {"a string",
         with({}, {"L10", "L11", "S12x3", "L15"}),
         11,
         15,
         R"([{"question": "yes"}])",
         -3,
         0,
         {},
         0,
         "TRIMMING LOOPS CAN ONLY WORK ON :|LINEAR OR CIRCULAR MOTION BLOCKS"},
        {"no", eight, 11, 15, R"([{"question": "no"}])", -2, 0, {}, 0, ""},
        {"cancel", eight, 11, 15, R"([{"question": "cancel"}])", -1, 0, {}, 0, ""},
    };
    for (const row& r : rows) {
        editor_test::build_words(r.blocks);
        control::load_script_text(r.script, r.name);
        const auto before = editor_test::blocks();
        editor_test::put_cursor_on(r.first);
        blk_path first, last;
        first.set(editor_test::kProcBlock, r.first);
        last.set(editor_test::kProcBlock, r.last);
        int type = 0, deleted = 9, in_layer = 9, status = 9;
        EDTLOP(first, last, type, deleted, in_layer, status);
        EXPECT_EQ(status, r.status) << r.name;
        EXPECT_EQ(deleted, r.deleted) << r.name;
        EXPECT_EQ(in_layer, 0) << r.name;
        EXPECT_EQ(editor_test::blocks(), r.kept.empty() ? before : r.kept) << r.name;
        if (r.reached != 0) {
            EXPECT_EQ(last.block(), r.reached) << r.name;
            EXPECT_EQ(editor_test::cursor_block_number(), r.reached) << r.name;
        }
        const auto shown = control::texts_of("userrc");
        EXPECT_EQ(shown, *r.message ? std::vector<std::string>{r.message} : std::vector<std::string>{}) << r.name;
        EXPECT_EQ(control::work_view().view, 0) << r.name;
        control::clear_script();
    }
}
