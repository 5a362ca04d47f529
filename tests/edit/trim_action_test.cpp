// The trim action judged against the contour: after a contour trim no feed motion below the
// clearance keeps a point inside the contour, the lines crossing it end exactly on it, and a
// refused array or a failing connection leaves the tool path as it was; the connection along the
// contour judged by where its points lie and how far it walks.
#include "edit/editor/written_blocks.hpp"
#include "edit/trim/trim_action.hpp"
#include "nc_services/tool_position.hpp"
#include "tests/edit/connection_support.hpp"
#include "tests/edit/trim_range_support.hpp"
#include "tests/tools/tools_test_support.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/move_writer_state.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace control = vantu::control;

namespace {

constexpr float kClearZ = 20.0f;
constexpr double kNear = 1e-3;
constexpr int kThroughClear = 1, kThruIncrClear = 2, kDirectly = 3, kAlongContour = 4;

// One motion of the sub-list: its ends, the feed word in force and its type.
struct move {
    point3 a, b;
    float feed;
    int type;
};

std::vector<move> moves(point3 from)
{
    std::vector<move> out;
    float feed = 0.0f;
    for (const auto& l : control::toolpath_line_at({0})->sublist) {
        const std::vector<word>& w = l.words;
        if (w[0] == 1 && w[2] == 1) feed = word_to_real(w[4]);
        if (w[0] != 2) continue;
        const point3 to{word_to_real(w[2]), word_to_real(w[3]), word_to_real(w[4])};
        out.push_back({from, to, feed, w[0]});
        from = to;
    }
    return out;
}

// The mill the connections are written for: a tool in PRM9, the trim's words for DELETE MOTIONS.
void mill_with(const std::vector<std::vector<word>>& path, int connection)
{
    connection_test::machine_with({-5, 0.5f, 0}, path, 1);
    tool_module_reset();
    PRM9().words[machine_params::kToolId] = PRM9().words[17] = tools_test::make_tool(2, "END MILL 10");
    trim_words().operation = 3;
    trim_words().connection_option = connection;
    trim_words().feed = 100.0f;
    int status = 0;
    lacces(2, status);
}

}  // namespace

TEST(TrimAction, ContourTrimKeepsNoFeedMotionInside)
{
    const trim_test::polygon square = trim_test::rectangle(10);
    struct row {
        const char* name;
        int connection, passes;
    };
    for (const row& r :
         {row{"through clear", kThroughClear, 4}, row{"through the incremental clearance", kThruIncrClear, 5},
          row{"along the contour", kAlongContour, 3}}) {
        SCOPED_TRACE(r.name);
        mill_with(trim_test::zig_zag(r.passes, 9.0f / float(r.passes - 1)), r.connection);
        trim_test::cut_at_contour(square, {-5, 0.5f, 0});
        EXPECT_EQ(trim_test::trim_inside(square, {-5, 0.5f, 0}, kClearZ), r.passes) << "one operation per pass";
        int cut_lines = 0;
        for (const move& m : moves({-5, 0.5f, 0})) {
            for (int i = 0; i <= 32 && m.feed != -1.0f; ++i) {
                const float t = float(i) / 32.0f;
                const point3 p{m.a[0] + t * (m.b[0] - m.a[0]), m.a[1] + t * (m.b[1] - m.a[1]),
                               m.a[2] + t * (m.b[2] - m.a[2])};
                const bool deep_inside = trim_test::strictly_inside(square, p[0], p[1]) &&
                                         trim_test::position_on(square, p[0], p[1]).distance > kNear;
                EXPECT_FALSE(p[2] < kClearZ - kNear && deep_inside) << "feed at " << p[0] << " " << p[1] << " " << p[2];
            }
            const bool outer =
                std::fabs(std::fabs(m.a[0] - 5) - 10) < kNear || std::fabs(std::fabs(m.b[0] - 5) - 10) < kNear;
            if (m.a[2] != 0.0f || m.b[2] != 0.0f || !outer) continue;
            ++cut_lines;
            for (const point3& end : {m.a, m.b})
                EXPECT_TRUE(std::fabs(end[0] + 5) < kNear || std::fabs(end[0] - 15) < kNear ||
                            trim_test::position_on(square, end[0], end[1]).distance < kNear)
                    << "a line end off the path and off the contour at " << end[0] << " " << end[1];
        }
        EXPECT_EQ(cut_lines, 2 * r.passes + (r.passes - 1))
            << "each pass cut into its two outer pieces, the links kept";
    }
}

TEST(TrimAction, FailureLeavesThePathAsItWas)
{
    const trim_test::polygon square = trim_test::rectangle(10);
    struct row {
        const char* name;
        const char* call;  // the host call made to fail during the trim
        const char* message;
    };
    for (const row& r :
         {row{"an array refused", "MM_OPEN_ARRAY", "delete_trimed_blocks, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE"},
          row{"the connection's second block refused", "lputd", nullptr}}) {
        SCOPED_TRACE(r.name);
        mill_with(trim_test::zig_zag(2, 9.0f), kThroughClear);
        trim_test::cut_at_contour(square, {-5, 0.5f, 0});
        const auto before = control::toolpath_line_at({0})->sublist;
        control::clear_messages();
        control::inject_fault(r.call, 2, 1, -1);
        EXPECT_LT(trim_test::trim_inside(square, {-5, 0.5f, 0}, kClearZ), 0);
        control::clear_faults();
        EXPECT_EQ(control::toolpath_line_at({0})->sublist, before) << "no block deleted, none left behind";
        if (r.message) {
            EXPECT_EQ(editor_test::lines_of("eroutc"), std::vector<std::string>{r.message});
        }
    }
}

TEST(TrimAction, AlongTheContourTakesTheShorterWayAndWritesNothingOffIt)
{
    // The square's segments: 1 bottom (0,0)-(10,0), 2 right, 3 top, 4 left.
    struct row {
        const char* name;
        point3 from, end;
        int s;
        double s_along;
        int e;
        double e_along;
        std::vector<point3> corners;  // the polygon points the connection passes, in order
        bool written;
    };
    const std::vector<row> rows = {
        {"forward over one corner", {5, 0, 0}, {10, 5, 4}, 1, 0.5, 2, 0.5, {{10, 0, 2}}, true},
        {"backward over the start", {5, 0, 0}, {0, 5, 0}, 1, 0.5, 4, 0.5, {{0, 0, 0}}, true},
        {"along one segment", {2, 0, 0}, {8, 0, 0}, 1, 0.2, 1, 0.8, {}, true},
        {"back along one segment, not the long way round", {8, 0, 0}, {2, 0, 0}, 1, 0.8, 1, 0.2, {}, true},
        {"an end off the contour", {5, 0, 0}, {5, 5, 0}, 1, 0.5, 3, 0.5, {}, false},
        {"a position outside the polygon", {5, 0, 0}, {10, 5, 0}, 1, 0.5, 9, 0.0, {}, false},
    };
    const trim_test::polygon square = trim_test::rectangle(10);
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        mill_with({{1, 1, 1, 0, real_to_word(100.0f)}, {2, 2, real_to_word(5), 0, 0}}, kAlongContour);
        trim_state& t = trim_words();
        t.contour = square.data();
        t.contour_vertices = 5;
        t.range_start_segment = r.s;
        t.range_start_along = r.s_along;
        t.range_end_segment = r.e;
        t.range_end_along = r.e_along;
        std::copy(r.from.begin(), r.from.end(), t.last_written);
        writer_continues_at(r.from, {1, 0, 0});
        DSP8().set_vec(tool_position_state::kPosition, r.from);
        editor_test::put_cursor_on(2);
        int status = 0;
        connect_trimmed_gap(kAlongContour, 100.0f, r.end, r.from, 1, 0, status);
        EXPECT_EQ(status, 0);
        std::vector<move> written = moves({0, 0, 0});
        written.erase(written.begin());
        if (!r.written) {
            EXPECT_TRUE(written.empty());
            continue;
        }
        ASSERT_EQ(written.size(), r.corners.size() + 1);
        for (std::size_t i = 0; i < r.corners.size(); ++i)
            for (std::size_t c = 0; c < 3; ++c) EXPECT_NEAR(written[i].b[c], r.corners[i][c], 1e-4) << i;
        EXPECT_EQ(written.back().b, r.end);
    }
}
