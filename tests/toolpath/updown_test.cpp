// The milling statement (MILBF2, MILST2), the UP/DOWN buffers (straight through, buffered,
// grown, split into runs that cut one way), the Z shift, and the picks and surface selections.
#include "motion_output_support.hpp"

#include "host/control/memory.hpp"
#include "nc_services/clear_mode.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/proc_picks.hpp"
#include "toolpath/milling_statement.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/updown_entries.hpp"

using namespace motion_test;

namespace {

const point3 kUp{0, 0, 1};

// A statement over the caller's points; it keeps its own string counts.
struct statement_of : milling_statement {
    std::vector<int> string_counts;
    statement_of(const std::vector<point3>& points, std::vector<int> counts, int statement_code = 1)
        : string_counts(std::move(counts))
    {
        code = statement_code;
        this->points = points.data();
        strings = static_cast<int>(string_counts.size());
        this->counts = string_counts.data();
        marker_code = 5;
        marker_id = 3;
    }
    statement_of(const statement_of&) = delete;
};

milling_string string_of(const std::vector<point3>& points, int code = 1)
{
    milling_string s;
    s.code = code;
    s.points = points.data();
    s.count = static_cast<int>(points.size());
    s.marker_code = 5;
    s.marker_id = 3;
    return s;
}

}  // namespace

TEST_F(MotionOutput, MillingStringWritesItsPointsByOutputForm)
{
    struct row {
        const char* name;
        int code;
        int form;
        std::vector<point3> points;
        std::vector<std::string> steps;
        int first_string = 0;
        float z_shift = 0;
    };
    const row rows[] = {
        {"point string", 1, 2, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {"M5", "S(1,0,0)", "S(2,0,0)", "M6"}},
        {"fitted: a run of one point", 1, 1, {{0, 0, 0}, {1, 0, 0}}, {"M5", "L(1,0,0)", "M6"}},
        {"a one-point string as a line", 1, 2, {{3, 0, 0}}, {"M5", "L(3,0,0)", "M6"}},
        {"a GO string through the retract level",
         2,
         2,
         {{10, 0, 0}, {11, 0, 0}},
         {"M5", "F-1", "L(0,0,50)", "L(10,0,50)", "L(10,0,4)", "F50", "L(10,0,0)", "F100", "L(11,0,0)", "M6"}},
        {"a plunge at feed 3", 11, 2, {{0, 0, -2}, {1, 0, -2}}, {"M5", "F50", "L(0,0,-2)", "F100", "L(1,0,-2)", "M6"}},
        {"the Z shift raises every point",
         1,
         2,
         {{0, 0, -5}, {1, 0, -5}, {2, 0, -5}},
         {"M5", "S(1,0,0)", "S(2,0,0)", "M6"},
         0,
         5},
        {"the clearing's first string is marked",
         1,
         2,
         {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}},
         {"M5", "M6", "M19", "M20", "M5", "L(0,0,0)", "S(1,0,0)", "S(2,0,0)", "M6"},
         1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at({0, 0, 0});
        PRM9().words[machine_params::kMotionForm] = r.form;
        approach_block_data.last = 4;
        updown().z_shift = r.z_shift;
        milling_string s = string_of(r.points, r.code);
        s.first_string = r.first_string;
        int status = 0;
        MILST2(s, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(steps(), r.steps);
        EXPECT_EQ(marker_stack().top, -1) << "every marker closed";
        point3 last{}, direction{};
        int count = 0;
        last_move_get(last, direction, count);
        EXPECT_EQ(last[2], r.points.back()[2] + r.z_shift);
    }
    // The caller's points keep their z; the Z shift is off in DOWN mode without its flag.
    std::vector<point3> points{{0, 0, -5}, {1, 0, -5}};
    updown().z_shift = 5;
    int status = 0;
    MILST2(string_of(points), status);
    EXPECT_EQ(points[1][2], -5);
    float shift = 1;
    updown().mode = 3;
    get_motion_zshift(shift);
    EXPECT_EQ(shift, 0);
    int on = 1;
    zshift_flag_getset(2, on);
    get_motion_zshift(shift);
    EXPECT_EQ(shift, 5);

    // A list failure is reported and answers -1.
    fresh_at({0, 0, 0});
    PRM9().words[machine_params::kMotionForm] = 2;
    vantu::control::inject_fault("lcreat", 2, 1, -2);
    MILST2(string_of({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}), status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(texts("eroutc").back(), "MILST2, ERROR IN LIST");
}

TEST_F(MotionOutput, StatementStringsAndStraightThroughUpDown)
{
    // Later strings approach (Z up here) unless the code is 13; a negative code of the clearing
    // marks the first string; dimension 3 is reported.
    const std::vector<point3> points{{0, 0, 0}, {1, 0, 0}, {5, 0, 0}, {6, 0, 0}};
    const auto count_of = [](const std::vector<std::string>& s, const std::string& what) {
        return std::count(s.begin(), s.end(), what);
    };
    struct row {
        int code;
        int clearing;
        long approaches;
        long string_marks;
    };
    for (const row& r : {row{1, 0, 1, 0}, row{13, 0, 0, 0}, row{-1, 3, 1, 1}, row{-1, 0, 1, 0}}) {
        SCOPED_TRACE(r.code);
        fresh_at({0, 0, 0});
        PRM9().words[machine_params::kMotionForm] = 2;
        connect_params_block().approach_kind = 1;
        clear_mode() = r.clearing;
        int status = 0;
        statement_of s(points, {2, 2}, r.code);
        s.dimension = 3;
        MILBF2(s, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(count_of(steps(), "M9"), r.approaches);
        EXPECT_EQ(count_of(steps(), "M19"), r.string_marks);
        EXPECT_EQ(texts("eroutc"), std::vector<std::string>{"MILBF2, ONLY DIM2/3 IS PERMITTED "});
    }
    clear_mode() = 0;

    // Mode 1 with minimum size 0 writes what MILBF2 writes and buffers nothing.
    fresh_at({0, 0, 0});
    PRM9().words[machine_params::kMotionForm] = 2;
    int status = 0;
    MILBF2(statement_of(points, {4}), status);
    const std::vector<std::string> direct = steps();
    fresh_at({0, 0, 0});
    PRM9().words[machine_params::kMotionForm] = 2;
    updown_motion(statement_of(points, {4}), status);
    EXPECT_EQ(steps(), direct);
    EXPECT_EQ(updown().count, 0);
    EXPECT_EQ(updown_buffers().points, -1);

    // The last up/down point: the cached point of the fit when splines are fitted, else the
    // position given; in a buffering mode the last buffered point.
    point3 last{};
    updown_last_point({1, 2, 3}, last);
    EXPECT_EQ(last, (point3{1, 2, 3}));
    PRM9().words[machine_params::kMotionForm] = 1;
    const point3 cached{4, 5, 6};
    motion_collect(1, &cached, nullptr, nullptr, status);
    updown_last_point({1, 2, 3}, last);
    EXPECT_EQ(last, cached);
    motion_bspline_fit(status);
}

TEST_F(MotionOutput, UpDownBuffersGrowAndRefuse)
{
    updown().mode = 2;
    std::vector<point3> points(20000, point3{0, 0, 0});
    for (std::size_t i = 0; i < points.size(); ++i) points[i][0] = static_cast<float>(i);
    int status = 0;
    updown_motion(statement_of(points, {20000}), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(updown_buffers().capacity, 20000);
    updown_motion(statement_of(points, {5}), status);
    EXPECT_EQ(updown().count, 20005);
    EXPECT_EQ(updown_buffers().capacity, 30000) << "one growth step of 10,000";
    updown_motion(statement_of(points, {15000}), status);
    EXPECT_EQ(updown().count, 35005);
    EXPECT_EQ(updown_buffers().capacity, 40000) << "steps until the string fits";
    EXPECT_EQ(updown().last_point, points[14999]);
    proc_reset_flag();
    EXPECT_EQ(updown().count, 0);
    updown_close(status);
    EXPECT_EQ(vantu::control::open_array_count(), 0);

    // An open that fails part-way leaves every array closed.
    vantu::control::inject_fault("MM_OPEN_ARRAY", 3, 1, -1);
    updown_motion(statement_of(points, {5}), status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(texts("eroutc"), std::vector<std::string>{"UP / DOWN , MEMORY ALLOCATION ERROR"});
    EXPECT_EQ(updown_buffers().points, -1);
    EXPECT_EQ(vantu::control::open_array_count(), 0);
}

TEST_F(MotionOutput, SegmentClassesAndRunsCutOneWay)
{
    struct row {
        const char* name;
        int mode;
        point3 to;
        int up_class;
    };
    // Tolerance 0.1: T = 0.2; slope angle 10 degrees.
    const row rows[] = {
        {"no mode: cut", 1, {1, 0, -5}, 3},
        {"UP: a rise above T", 2, {1, 0, 0.3f}, 3},
        {"UP: flat", 2, {1, 0, 0}, 2},
        {"UP: a small rise", 2, {1, 0, 0.1f}, 3},
        {"UP: a fall below T", 2, {1, 0, -0.1f}, 1},
        {"UP: a fall within the slope limit", 2, {10, 0, -1}, 1},
        {"UP: a steep fall", 2, {1, 0, -5}, 0},
        {"UP: straight down", 2, {0, 0, -1}, 0},
        {"UP: straight up", 2, {0, 0, 1}, 3},
        {"DOWN: a steep fall", 3, {1, 0, -5}, 3},
        {"DOWN: a steep rise", 3, {1, 0, 5}, 0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fit_state().tolerance = 0.1;
        updown().mode = r.mode;
        updown().slope_angle = 10;
        EXPECT_EQ(updown_seg_class({0, 0, 0}, r.to, 1), r.up_class);
    }

    // A V in UP mode: the falling side is reversed so that both runs climb; they share the
    // bottom point.
    fit_state().tolerance = 0.1;
    updown() = updown_state{};
    updown().mode = 2;
    const std::vector<point3> v{{0, 0, 10}, {1, 0, 5}, {2, 0, 0}, {3, 0, 5}, {4, 0, 10}};
    int status = 0;
    updown_motion(statement_of(v, {5}), status);
    updown_split(status);
    ASSERT_EQ(updown_buffers().run_count, 2);
    std::vector<point3> order;
    for (int k = 0; k < updown().count; ++k) order.push_back(entry_at(k).point);
    EXPECT_EQ(order, (std::vector<point3>{{2, 0, 0}, {1, 0, 5}, {0, 0, 10}, {2, 0, 0}, {3, 0, 5}, {4, 0, 10}}));
    EXPECT_EQ(run_length(0), 3);
    EXPECT_EQ(run_length(1), 3);
    proc_reset_flag();
}

TEST_F(MotionOutput, PicksRejectedAndSurfaceSelectionsCleared)
{
    for (int i = 0; i < 5; ++i) {
        int status = 0;
        pickm_push(4, 100 + i, 2, status);
    }
    struct row {
        int keep;
        int n;
        int n_after;
        int list_after;
    };
    for (const row& r : {row{0, 3, 0, 2}, row{1, 5, 5, 0}}) {
        int n = r.n;
        reject_picks(r.keep, n);
        EXPECT_EQ(n, r.n_after);
        EXPECT_EQ(sllen(), r.list_after);
    }
    EXPECT_EQ(vantu::control::call_count("slrjct"), 5) << "3, then the 2 left of 5";

    proc_geometry().selection[1][7] = 42;
    proc_geometry().surface_pairs[2] = {3, 9};
    clear_proc_surfaces();
    EXPECT_EQ(vantu::control::call_count("nc_surf_dela"), 1) << "only the check surfaces held any";
    EXPECT_EQ(proc_geometry().selection[1][7], 0);
    EXPECT_EQ(proc_geometry().surface_pairs[2].id, -1);
    EXPECT_EQ(proc_geometry().surface_pairs[2].count, 0);
}

TEST_F(MotionOutput, MotionCodesBracketEveryStringOnBothRoads)
{
    // The surface clearing's codes: a connection (15, 16, bracket 8) inside a pass, the pass
    // markers (5, 6, bracket 3) on its last segment. Buffered (UP mode) or straight through, each
    // string is bracketed by its own codes and the brackets close.
    const std::vector<point3> points{{0, 0, 0}, {1, 0, 0}, {2, 0, 1}};
    struct row {
        int mode;
        int start, end, bracket;
        std::vector<std::string> steps;
        int feed_mode;
    };
    const row rows[] = {
        {1, 15, 16, 8, {"M15", "S(1,0,0)", "S(2,0,1)", "M16"}, 1},
        {1, 5, 6, 3, {"M5", "S(1,0,0)", "S(2,0,1)", "M6"}, 1},
        // Buffered, the first run approaches (retract 11/12, approach 9/10) inside the connection.
        {2,
         15,
         16,
         8,
         {"M15", "M11", "F-1", "L(0,0,50)", "M12", "M9", "L(0,0,0)", "M10", "F100", "S(1,0,0)", "S(2,0,1)", "M16"},
         1},
        // A two-point connection runs at feed mode 25 (its percentage is unset here: feed 0).
        {1, 15, 16, 8, {"M15", "F0", "L(1,0,0)", "M16"}, 25},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(testing::Message() << "mode " << r.mode << ", codes " << r.start << " " << r.end);
        fresh_at({0, 0, 0});
        PRM9().words[machine_params::kMotionForm] = 2;
        connect_params_block().approach_kind = 1;
        updown().mode = r.mode;
        const std::vector<point3> written(points.begin(), points.begin() + (r.feed_mode == 25 ? 2 : 3));
        statement_of s(written, {static_cast<int>(written.size())});
        s.marker_code = r.start;
        s.end_marker_code = r.end;
        s.marker_id = r.bracket;
        s.pass_number = 7;
        int status = 0;
        updown_motion(s, status);
        if (status >= 0) updown_flush(status);
        EXPECT_EQ(status, 0) << ::testing::PrintToString(texts("eroutc"));
        EXPECT_EQ(steps(), r.steps);
        EXPECT_EQ(marker_stack().top, -1) << "every bracket closed";
        EXPECT_EQ(feed_mode(), r.feed_mode);
        updown_close(status);
    }
}
