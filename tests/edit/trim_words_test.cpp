// The trimming words the editor loads from the opened procedure (defaults, without an error line,
// where an item is missing, the approach by function family, the surface switch) and the
// trimming's motion reader (parameters passed on the way, the motion's end point, the end of the
// list).
#include "driver/proc_block_support.hpp"
#include "edit/edit_ref_params.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit_list_support.hpp"
#include "nc_services/nc_state_texts.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace control = vantu::control;
using proc_test::r;

struct item {
    int code;
    float value;
};

TEST(TrimWords, ProcedureParametersFillTheTrimmingWords)
{
    const struct {
        int function;
        std::vector<item> items;
        float del_z_up, tolerance, contour_tol;
        int kind;
        float approach, arc_radius, step, second_step;
        int offered;
    } rows[] = {
        {6, {{17, 3}}, 2.0f, 0.1f, 0.1f, 1, 1.0f, 0.0f, 0.0f, 0.0f, 0},
        {9, {{17, 3}, {48, 2.5f}, {82, 0}}, 2.0f, 0.1f, 0.1f, 1, 2.5f, 0.0f, 0.0f, 0.0f, 0},
        {9, {{17, 3}, {48, 2.5f}, {49, 4}, {82, 1}}, 2.0f, 0.1f, 0.1f, 3, 2.5f, 4.0f, 0.0f, 0.0f, 1},
        {5, {{17, 9}, {16, 3.5f}, {57, 0.2f}, {25, 0.3f}}, 3.5f, 0.2f, 0.3f, 1, 1.0f, 0.0f, 0.0f, 0.0f, 1},
        {27,
         {{230, 5}, {266, 1.5f}, {234, 3}, {58, 0.05f}, {57, 0.2f}, {298, 1.5f}},
         2.0f,
         0.05f,
         0.1f,
         5,
         1.5f,
         3.0f,
         1.5f,
         1.5f,
         1},
        {38, {{349, 7}, {353, 0.5f}, {298, 1.5f}, {59, 0.75f}}, 2.0f, 0.1f, 0.1f, 7, 0.5f, 0.0f, 1.5f, 0.75f, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "function " << row.function << " with " << row.items.size() << " items");
        control::reset();
        trim_words() = trim_state{};
        proc_test::proc_block b;
        b.type = row.function;
        for (const item& i : row.items) proc_test::proc_block::record(b.seg25, i.code, {r(i.value)}, 1);
        b.append();
        int status = 9;
        edit_ref_params_load(1, status);
        EXPECT_EQ(status, 0);
        const trim_state& t = trim_words();
        EXPECT_EQ(t.nc_function, row.function);
        EXPECT_EQ(t.del_z_up, row.del_z_up);
        EXPECT_EQ(t.ref_srf_tol, row.tolerance);
        EXPECT_EQ(t.contour_tol, row.contour_tol);
        EXPECT_EQ(t.srf_approach_kind, row.kind);
        EXPECT_EQ(t.srf_approach, row.approach);
        EXPECT_EQ(t.srf_arc_radius, row.arc_radius);
        EXPECT_EQ(t.step, row.step);
        EXPECT_EQ(t.second_step, row.second_step);
        EXPECT_EQ(t.srf_approach_offered, row.offered);
        EXPECT_EQ(proc_is_surface_kind(0), row.offered) << "the switch read last is kept";
        EXPECT_EQ(control::lines_of("erou1c"), std::vector<std::string>{}) << "a missing item is no error";
    }
}

// The procedure table's three tests: column 17 set, the state column at 4 or the second state
// column at 2 flag a surface procedure, which then offers no surface approach (its approach kind
// falls back to 1); any other state leaves the approach of the procedure's items.
TEST(TrimWords, ProcedureTableFlagsWithholdTheSurfaceApproach)
{
    const struct {
        int column17, state, state2;
        int flagged;
    } rows[] = {
        {0, 1, 1, 0}, {-1, 1, 1, 1}, {0, 4, 1, 1}, {0, 1, 2, 1}, {0, 2, 1, 0}, {0, 3, 3, 0}, {0, 4, 2, 1},
    };
    constexpr int kProcedure = 1;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "column 17 " << row.column17 << ", state " << row.state << ", second state "
                                        << row.state2);
        control::reset();
        trim_words() = trim_state{};
        proc_summary_entry& e = *proc_table_entry(kProcedure);
        e.column17 = row.column17;
        e.state = row.state;
        e.state2 = row.state2;
        proc_test::proc_block b;
        b.type = 27;
        proc_test::proc_block::record(b.seg25, 230, {r(5.0f)}, 1);
        b.append();
        int status = 9;
        edit_ref_params_load(kProcedure, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(proc_table_flags_surface(kProcedure), row.flagged);
        EXPECT_EQ(trim_words().srf_approach_offered, 1 - row.flagged);
        EXPECT_EQ(trim_words().srf_approach_kind, row.flagged ? 1 : 5);
        e = proc_summary_entry{};
    }
    EXPECT_EQ(proc_table_flags_surface(0), 0);
    EXPECT_EQ(proc_table_flags_surface(proc_summary_table::kScratch), 0)
        << "the printer's scratch entry is no procedure";
}

// A feed parameter block (type 1, a real value).
void feed(int number, float value)
{
    tp_param_block block;
    block.number = number;
    block.prmtyp = 1;
    block.is_real = 1;
    block.real_value = value;
    int status = 0;
    put_param_block(kWhereList, block, status);
    ASSERT_EQ(status, 0);
}

TEST(TrimWords, MotionReaderPassesParametersAndStopsAtAMotion)
{
    using namespace edit_test;
    const struct {
        int start_line, step;
        int status, number, type, end_line;
        float x, feed;
    } rows[] = {
        {0, 1, 0, 3, 2, 2, 3.0f, 250.0f},     // past the feed block to the line
        {2, 1, 0, 3, 2, 2, 3.0f, 0.0f},       // on the motion: nothing passed
        {3, 1, 0, 14, 7, 3, 14.0f, 0.0f},     // a string gives its last point
        {4, -1, 0, 14, 7, 3, 14.0f, 400.0f},  // back past the second feed block
        {5, 1, -2, 0, 99, 5, 0.0f, 0.0f},     // the list ends first
    };
    for (const auto& row : rows) {
        control::reset();
        feed(1, 250.0f);
        marker(2, 2);
        line(3);
        string(7, 10, 5);
        feed(20, 400.0f);
        marker(5, 21);
        go_to_line(row.start_line);
        trim_words().current_feed = 0.0f;
        int number = 0, type = 0, status = 9;
        float point[3] = {}, direction[3] = {};
        trim_read_motion(row.step, number, type, point, direction, status);
        SCOPED_TRACE(testing::Message() << "from line " << row.start_line << " step " << row.step);
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(trim_words().current_feed, row.feed);
        if (row.status != 0) continue;
        EXPECT_EQ(number, row.number);
        EXPECT_EQ(type, row.type);
        EXPECT_EQ(point[0], row.x);
        EXPECT_EQ(current_line(), row.end_line) << "the list stays on the motion";
    }
}

}  // namespace
