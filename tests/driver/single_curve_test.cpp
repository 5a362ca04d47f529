// The single-curve contour check over descriptor tables of named shapes, and the redefine
// question.
#include "driver/proc_run_state.hpp"
#include "driver/single_curve_check.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "pocket/contour_table.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

namespace control = vantu::control;
using control::contour_descriptor;

// A curve entity of class 1 and the type, with its limits record.
int curve(int type, std::array<float, 6> limits)
{
    int id = 0, status = 0;
    estore(1, type, id, status);
    eputr(6, limits.data(), status);
    eclose(status);
    return id;
}

// Contours whose records lie one after the other from entry 1 of the pocket's geometry buffer;
// the contour table covers them all. Each contour's curve set is numbered by its position.
struct table_builder {
    int position = 1;
    // Writes the record at the next position; counted as a contour of the table unless extra.
    int add(std::vector<int> curves, contour_descriptor d = {}, bool extra = false)
    {
        std::vector<control::curve_in_set> set;
        for (int c : curves) set.push_back({c, 0.0, 1.0, 1.0});
        control::define_curve_set(position, set);
        control::define_descriptor(position, d);
        const int at = position;
        int* record = buffer_entry(contour_buffers_block.geometry, at);
        int length = 0, status = 0;
        dfdgrc(at, contour_entries() - at + 1, record, length, status);
        dfdgld(record, length, status);
        position += std::max(length, 1);
        contour_table& t = contour_table_block;
        if (extra) {
            t.extra_entry = at;
        } else {
            t.first_entry[++t.count] = at;
            t.first_entry[t.count + 1] = position;
        }
        return at;
    }
};

TEST(SingleCurve, ContourShapes)
{
    struct row {
        const char* what;
        std::function<void(table_builder&, int closed, int twisted, int apart, int line)> shape;
        int mode;
        int flag;
    };
    contour_descriptor open;
    open.open = 1;
    contour_descriptor open_checked = open;
    open_checked.checks[1] = {12, 0.5};
    contour_descriptor open_unknown = open;
    open_unknown.checks[0] = {-1, 0.0};
    contour_descriptor two_groups;
    two_groups.groups = 2;
    contour_descriptor no_length, too_long;
    no_length.length = 0;
    too_long.length = 500;
    const std::vector<row> rows = {
        {"one closed curve", [](auto& t, int c, int, int, int) { t.add({c}); }, 1, 1},
        {"limits kept in reverse", [](auto& t, int, int tw, int, int) { t.add({tw}); }, 0, 1},
        {"limits apart", [](auto& t, int, int, int a, int) { t.add({a}); }, 1, 0},
        {"two curves",
         [](auto& t, int c, int, int, int) {
             t.add({c, c});
         },
         1, 0},
        {"two groups", [two_groups](auto& t, int c, int, int, int) { t.add({c}, two_groups); }, 1, 0},
        {"open, no check curves", [open](auto& t, int, int, int a, int) { t.add({a}, open); }, 1, 1},
        {"open with a check curve", [open_checked](auto& t, int, int, int a, int) { t.add({a}, open_checked); }, 1, 0},
        {"open, check curve -1", [open_unknown](auto& t, int, int, int a, int) { t.add({a}, open_unknown); }, 1, 0},
        {"a line", [](auto& t, int, int, int, int l) { t.add({l}); }, 1, 0},
        {"two contours",
         [](auto& t, int c, int tw, int, int) {
             t.add({c});
             t.add({tw});
         },
         -2, 1},
        {"third of three with two groups",
         [two_groups](auto& t, int c, int, int, int) {
             t.add({c});
             t.add({c});
             t.add({c}, two_groups);
         },
         -3, 0},
        {"extra contour",
         [](auto& t, int c, int, int, int) {
             t.add({c});
             t.add({c}, {}, true);
         },
         2, 1},
        {"no extra contour", [](auto& t, int c, int, int, int) { t.add({c}); }, 2, 0},
        {"descriptor length 0", [no_length](auto& t, int c, int, int, int) { t.add({c}, no_length); }, 1, 0},
        {"descriptor past the table",
         [too_long](auto& t, int c, int, int, int) {
             t.add({c}, too_long);
             contour_table_block.first_entry[2] = 11;
         },
         1, 0},
        {"more contours than the table", [](auto& t, int c, int, int, int) { t.add({c}); }, -1000000, 0},
    };
    for (const row& x : rows) {
        control::reset();
        contour_table_block = contour_table{};
        const int closed = curve(15, {0, 10, 1, 0, 10, 1});
        const int twisted = curve(15, {0, 10, 1, 10, 0, -1});
        const int apart = curve(15, {0, 10, 1, 5, 10, 1});
        const int line = curve(1, {0, 10, 1, 0, 10, 1});
        table_builder table;
        x.shape(table, closed, twisted, apart, line);
        single_curve_contours_flag() = 7;
        chk_single_curve_contours(x.mode);
        EXPECT_EQ(single_curve_contours_flag(), x.flag) << x.what;
    }
}

TEST(SingleCurve, RedefineQuestion)
{
    struct row {
        const char* what;
        int view_only, editing, solid, flag, answer_in;
        const char* steps;
        int answer;
        bool no_geometry_message;
    };
    const std::vector<row> rows = {
        {"view only", 1, 1, 0, 0, 2, "[]", -1, false},
        {"leave", 0, 1, 0, 0, -1, "[]", -1, false},
        {"new procedure", 0, 0, 0, 0, -2, "[]", -2, false},
        {"solid geometry", 0, 1, 1, 0, -2, "[]", -2, false},
        {"redefine: yes", 0, 1, 0, 0, -2, R"([{"question": "yes", "expect": "REDEFINE GEOMETRY?"}])", 1, false},
        {"redefine: back", 0, 1, 0, 0, -2, R"([{"question": "back"}])", 1, false},
        {"redefine: no", 0, 1, 0, 0, -2, R"([{"question": "no"}])", 2, false},
        {"redefine: quit", 0, 1, 0, 0, -2, R"([{"question": "cancel"}])", -2, false},
        {"accepted with geometry", 0, 1, 0, 1, 0, "[]", 0, false},
        {"accepted without geometry", 0, 1, 0, 0, 0, "[]", 0, true},
        {"any other answer", 0, 1, 0, 0, 3, "[]", 2, false},
    };
    for (const row& x : rows) {
        control::reset();
        control::clear_messages();
        control::load_script_text(x.steps, x.what);
        EDA2() = edit_state{};
        EDA2().word_no(edit_state::kViewOnly) = x.view_only;
        EDA2().word_no(edit_state::kEditing) = x.editing;
        proc_run.solid_geometry = x.solid;
        int answer = x.answer_in;
        ask_redefine_geometry(x.flag, answer);
        EXPECT_EQ(answer, x.answer) << x.what;
        EXPECT_EQ(control::events_left(), 0u) << x.what;
        EXPECT_EQ(!control::lines_of("msg_mdls").empty(), x.no_geometry_message) << x.what;
    }
    proc_run = proc_run_state{};
}

}  // namespace
