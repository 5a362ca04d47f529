// The motion writers: linear moves with their skip, split and first-move rules, point strings,
// arcs and their delta angle, NURBS moves, text blocks, the end points of every movement block,
// the previous and next points, the modal values and the return to the current position.
#include "host/control/script.hpp"
#include "listing/live_display.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_to_current_pos.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

#include <cmath>
#include <numbers>

using namespace tp_test;
using W = move_writer_state;

namespace {

// A fresh host and motion state on a machine type; the last point, when given, is valid.
void fresh_motion(int machine_type, const point3* last = nullptr)
{
    fresh();
    LSP2() = move_writer_state{};
    LSP2().at(W::kStringClosed) = 1;
    LSP2().set_vec(W::kLastPoint, {kNoPoint, kNoPoint, kNoPoint});
    if (last) {
        LSP2().set_vec(W::kLastPoint, *last);
        LSP2().at(W::kLastPointValid) = 1;
    }
    NPT1().at(tp_header_state::kMachineType) = machine_type;
    PRM9() = machine_params{};
    mch_slots() = mch_slot_table{};
    DSP8() = tool_position_state{};
}

std::vector<word> line(int type, int number, const point3& p) { return {type, number, r(p[0]), r(p[1]), r(p[2])}; }
std::vector<word> line(int type, int number, const point3& p, const point3& v)
{
    return {type, number, r(p[0]), r(p[1]), r(p[2]), r(v[0]), r(v[1]), r(v[2])};
}

const point3 kOrigin{0, 0, 0};
const point3 kUp{0, 0, 1};

}  // namespace

TEST(LinearMoves, SkipSplitAndFirstMoveRules)
{
    struct row {
        const char* name;
        int machine;
        int dimension;
        bool first_pending;
        point3 to;
        point3 vector;
        std::vector<std::vector<word>> blocks;
    };
    const point3 side{1, 0, 0};
    const row rows[] = {
        {"same point skipped", 1, 1, false, kOrigin, kUp, {}},
        {"a plain move", 1, 1, false, {1, 2, 3}, kUp, {line(2, 0, {1, 2, 3})}},
        {"split going up", 12, 1, false, {10, 10, 5}, kUp, {line(2, 0, {0, 0, 5}), line(2, 1, {10, 10, 5})}},
        {"split going down", 13, 1, false, {10, 10, -5}, kUp, {line(2, 0, {10, 10, 0}), line(2, 1, {10, 10, -5})}},
        {"no split with dz 0", 22, 1, false, {10, 10, 0}, kUp, {line(2, 0, {10, 10, 0})}},
        {"no split on machine 1", 1, 1, false, {10, 10, 5}, kUp, {line(2, 0, {10, 10, 5})}},
        {"first move replaces a plain one", 25, 1, true, {4, 5, 6}, kUp, {line(22, 0, {4, 5, 6}, kUp)}},
        {"first move before a normal one",
         61,
         2,
         true,
         {4, 5, 6},
         side,
         {line(22, 0, {4, 5, 6}, kUp), line(222, 1, {4, 5, 6}, side)}},
        {"no first move on machine 1", 1, 1, true, {4, 5, 6}, kUp, {line(2, 0, {4, 5, 6})}},
        {"first move of a direction line", 79, 3, true, {4, 5, 6}, side, {line(22, 0, {4, 5, 6}, side)}},
        {"same point, same direction", 1, 3, false, kOrigin, kUp, {}},
        {"same point, new direction", 1, 3, false, kOrigin, side, {line(22, 0, kOrigin, side)}},
    };
    for (const row& c : rows) {
        SCOPED_TRACE(c.name);
        fresh_motion(c.machine, &kOrigin);
        LSP2().set_vec(W::kLastDirection, kUp);
        LSP2().at(W::kFirstMovePending) = c.first_pending ? 1 : 0;
        int status = 0;
        PLINE(c.dimension, c.to, c.vector, 1, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(top_lines(), c.blocks);
        EXPECT_EQ(LSP2().at(W::kFirstMovePending), c.blocks.empty() ? (c.first_pending ? 1 : 0) : 0);
        if (c.blocks.empty()) continue;
        EXPECT_EQ(LSP2().vec(W::kLastPoint), c.to);
        EXPECT_EQ(DSP8().real(tool_position_state::kPosition + 2), c.to[2]);
    }
}

TEST(LinearMoves, ZeroLengthAfterClearAndEntries)
{
    fresh_motion(1);
    int status = 0;
    PLINE_entry(1, {1, 1, 1}, kUp, status);
    PLINE_entry(1, {1, 1, 1}, kUp, status);
    EXPECT_EQ(top_lines().size(), 1u) << "the same point twice writes one block";
    clr_tp_flag();
    PLINE_entry(1, {1, 1, 1}, kUp, status);
    EXPECT_EQ(top_lines().size(), 2u) << "after clr_tp_flag a zero-length move is written";

    // Dimension 2 without cutter compensation writes a plain line; the double form rounds.
    PLINE_entry(2, {2, 2, 2}, {0, 1, 0}, status);
    PLINE_pts(1, {3.0, 4.0, 5.0}, {0.0, 0.0, 1.0}, status);
    EXPECT_EQ(top_lines()[2], line(2, 2, {2, 2, 2}));
    EXPECT_EQ(top_lines()[3], line(2, 3, {3, 4, 5}));

    // Before any point is known a three-axis move has no corner to go through.
    fresh_motion(12);
    PLINE_entry(1, {10, 10, 5}, kUp, status);
    EXPECT_EQ(top_lines(), (std::vector<std::vector<word>>{line(2, 0, {10, 10, 5})}));

    // A wrong display mode is reported and taken as 1.
    PLINE(1, {9, 9, 9}, kUp, 7, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors(), std::vector<std::string>{"PLINE, WRONG MODE"});
}

TEST(LinearMoves, PendingMachineParametersComeFirstAndFailuresStop)
{
    fresh_motion(1);
    mch_slots().slots[3].status = kSlotComputed;
    PRM9().words[machine_params::kCoolant] = 2;
    int status = 0;
    PLINE_entry(1, {1, 0, 0}, kUp, status);
    ASSERT_EQ(top_lines().size(), 2u);
    EXPECT_EQ(top_lines()[0], (std::vector<word>{1, 0, 3, 0, 2}));
    EXPECT_EQ(top_lines()[1], line(2, 1, {1, 0, 0}));

    vantu::control::inject_fault("lputd", 1, 1, -1);
    PLINE_entry(1, {2, 0, 0}, kUp, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(LSP2().vec(W::kLastPoint), (point3{1, 0, 0})) << "the state moves only after a written block";
}

TEST(PointStrings, FillALineThenGoOnInANewOne)
{
    fresh_motion(1);
    int status = 0;
    // A type-7 line takes its type word and 4 words a point: 2047 points fill 8189 of its words.
    constexpr int kFit = (vantu::kListMaxLineWords - 1) / 4;
    for (int i = 0; i < kFit + 3 && status == 0; ++i) string_move_entry(1, {float(i), 0, 0}, kUp, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(LSP2().at(W::kStringClosed), 0);
    PCLSST_entry();
    EXPECT_EQ(LSP2().at(W::kStringClosed), 1);
    const auto lines = top_lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 1u + 4u * kFit);
    EXPECT_EQ(lines[1],
              (std::vector<word>{7, kFit, r(kFit), 0, 0, kFit + 1, r(kFit + 1), 0, 0, kFit + 2, r(kFit + 2), 0, 0}));
    EXPECT_EQ(vantu::control::toolpath_line_open(), false);

    // A string with directions, and a wrong close mode.
    fresh_motion(1);
    string_move(3, {1, 2, 3}, {0, 1, 0}, status);
    string_move(3, {1, 2, 3}, {0, 1, 0}, status);  // the same point and direction: skipped
    PCLSST(5);
    EXPECT_EQ(top_lines(), (std::vector<std::vector<word>>{line(27, 0, {1, 2, 3}, {0, 1, 0})}));
    EXPECT_EQ(errors(), std::vector<std::string>{"PCLSST, WRONG MODE"});
}

TEST(Arcs, DeltaAngleFromTheChordTolerance)
{
    const float deg36 = 36.0f * std::numbers::pi_v<float> / 180.0f;
    struct row {
        float tolerance, radius, angle, delta;
    };
    const row rows[] = {
        {0.1f, 5.0f, 1.0f, 2.0f * std::acos(0.98f)},
        {0.1f, 0.1f, 1.0f, deg36},  // 2 arccos(0) is limited to 36 degrees
        {0.5f, 0.1f, 1.0f, deg36},  // beyond twice the radius: clamped, not NaN
        {-0.1f, 5.0f, 0.3f, 0.3f},  // a negative tolerance: clamped to 0, the angle itself
        {0.0f, 5.0f, 0.2f, 0.2f},   // no tolerance: the angle itself
        {0.0f, 5.0f, 2.0f, deg36},
    };
    for (const row& c : rows) {
        const float delta = arc_delta_angle(c.tolerance, c.radius, c.angle);
        EXPECT_FALSE(std::isnan(delta));
        EXPECT_NEAR(delta, c.delta, 1e-6) << c.tolerance << " " << c.radius;
    }

    fresh_motion(25);
    LSP2().at(W::kFirstMovePending) = 1;
    DSP8().set_real(tool_position_state::kPosition, 7.0f);
    int status = 0;
    arc_move_tol(1, 0.1f, 1, 1.5f, {0, 0}, {5, 0, 2}, kUp, status);
    // The first motion on machine 25 starts with a direction move at the current position.
    ASSERT_EQ(top_lines().size(), 2u);
    EXPECT_EQ(top_lines()[0], line(22, 0, {7, 0, 0}, kUp));
    EXPECT_EQ(top_lines()[1], (std::vector<word>{3, 1, 1, r(1.5f), r(2.0f * std::acos(0.98f)), 0, 0, r(5), 0, r(2)}));
    EXPECT_EQ(LSP2().vec(W::kLastPoint), (point3{5, 0, 2}));

    // The double form takes the plane's two coordinates of a three-value centre (plane 2: x z).
    arc_move_d(3, 0.1, 2, 1.0, {1.0, 9.0, 2.0}, {6.0, 9.0, 2.0}, {0.0, 1.0, 0.0}, status);
    ASSERT_EQ(top_lines().size(), 3u);
    const std::vector<word> arc = top_lines()[2];
    EXPECT_EQ(arc[0], 23);
    EXPECT_EQ(std::vector<word>(arc.begin() + 5, arc.begin() + 7), (std::vector<word>{r(1), r(2)}));
    EXPECT_EQ(LSP2().vec(W::kLastDirection), (point3{0, 1, 0}));

    // A zero radius or angle writes nothing.
    arc_move_tol(1, 0.1f, 1, 1.0f, {6, 9}, {6, 9, 0}, kUp, status);
    arc_move_tol01(1, 1, 0.0f, {0, 0}, {5, 0, 0}, kUp, status);
    EXPECT_EQ(top_lines().size(), 3u);
}

TEST(NurbsAndText, BlockLayouts)
{
    fresh_motion(1);
    int status = 0;
    const double values[4] = {0.0, 0.5, 1.0, 1.5};
    const double points[6] = {1, 2, 3, 4, 5, 6};
    nurbs_move_entry(0, 2, 2, values, points, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(top_lines()[0],
              (std::vector<word>{5, 0, 2, 2, r(0), r(1), r(2), r(3), r(0.5f), r(4), r(5), r(6), r(1), r(1.5f)}));
    EXPECT_EQ(LSP2().vec(W::kLastPoint), (point3{4, 5, 6}));
    put_nurbs_move(0, 1, 2, 0, values, points, status);
    EXPECT_EQ(status, -1) << "no control point";

    PUTBT4(kWhereListNumbered, 4, 5, "HELLO", 0, status);
    EXPECT_EQ(top_lines()[1], (std::vector<word>{4, 1, 5, text4_to_word("HELL"), 'O'}));
    PUTBT4(kWhereListNumbered, 4, 0, "", 0, status);
    PUTBT4(kWhereListNumbered, 4, 81, std::string(81, 'A'), 0, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(top_lines().size(), 2u);
    EXPECT_EQ(errors().back(), "PUTBT4, TOO LONG MESSAGE (>80 CHARACTERS)");
}

TEST(EndPoints, EveryMovementBlockType)
{
    const point3 a{1, 2, 3}, b{4, 5, 6}, c{7, 8, 9}, v{0, 1, 0};
    struct row {
        int type;
        std::vector<word> words;
        point3 end;
        point3 direction;
    };
    auto string = [&](int type, bool vectors) {
        std::vector<word> w{type};
        for (const point3& p : {a, b, c}) {
            w.push_back(0);
            for (float x : p) w.push_back(r(x));
            if (vectors)
                for (float x : v) w.push_back(r(x));
        }
        return w;
    };
    const row rows[] = {
        {2, line(2, 0, a), a, kUp},
        {22, line(22, 0, a, v), a, v},
        {222, line(222, 0, a, v), a, kUp},
        {7, string(7, false), c, kUp},
        {27, string(27, true), c, v},
        {227, string(227, true), c, kUp},
        {3, {3, 0, 1, r(1), r(0.1f), 0, 0, r(4), r(5), r(6)}, b, kUp},
        {23, {23, 0, 1, r(1), r(0.1f), 0, 0, r(4), r(5), r(6), 0, r(1), 0}, b, v},
        {223, {223, 0, 1, r(1), r(0.1f), 0, 0, r(4), r(5), r(6), 0, r(1), 0}, b, kUp},
        {5, {5, 0, 1, 2, r(0), r(1), r(2), r(3), r(1), r(7), r(8), r(9), r(2)}, c, kUp},
        {31, {31, 0, r(1), r(2), r(3), 0, r(1), 0, 5}, a, v},
        {9, {9, 0, 1, 0, 0, 0, r(30), 0, 0, 0, 0, r(7), r(8), r(9)}, c, kUp},
        {11, {11, 0, 1, r(1), r(4), r(5), r(6), 2, r(1)}, b, kUp},
        {13, {13, 0, r(1), r(2), r(3), r(7), r(8), r(9), 2, 1}, c, kUp},
        {14, {14, 0, 1, r(1), r(2), r(3), r(4), r(5), r(6), 0, 0, 0, 0, 0, 0}, b, kUp},
    };
    for (const row& c_ : rows) {
        SCOPED_TRACE(c_.type);
        fresh();
        append_block(c_.words);
        int size = 0, type = 0, klass = 0, status = 0, number = -1;
        tp_block_head_read(kWhereList, size, type, klass, status);
        point3 end{}, direction{};
        WENDPT(kWhereList, type, size, end, direction, number, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(end, c_.end);
        EXPECT_EQ(direction, c_.direction);
    }
}

TEST(EndPoints, PreviousNextAndTheEndOfTheList)
{
    fresh();
    DSP8() = tool_position_state{};
    DSP8().set_real(tool_position_state::kPosition, 99.0f);
    append_block({99, 0, 5});
    append_block(line(2, 1, {1, 0, 0}));
    append_block({4, 2, 1, 'X'});
    append_block(line(2, 3, {3, 0, 0}));
    append_block({99, 4, 6});
    point3 p{}, d{};
    int number = 0, status = 0, answer = 0;
    PRVPNT(0, p, d, number, status);  // from the last block back
    EXPECT_EQ(status, 0);
    EXPECT_EQ(p, (point3{3, 0, 0}));
    EXPECT_EQ(number, 3);
    EXPECT_EQ(vantu::control::toolpath_cursor().lines, std::vector<int>{4}) << "the position is put back";

    lacces(2, answer);  // the first block
    NXTPOI(0, p, d, number, status);
    EXPECT_EQ(p, (point3{1, 0, 0}));
    NXTPOI(1, p, d, number, status);
    EXPECT_EQ(p, (point3{1, 0, 0}));
    PRVPNT(1, p, d, number, status);
    EXPECT_EQ(status, 1) << "the first block was reached";
    EXPECT_EQ(p, (point3{99, 0, 0})) << "no movement block: the current position";

    lacces(3, answer);
    ENDPNT(p, d, number, status);
    EXPECT_EQ(status, -2);
    EXPECT_EQ(errors().back(), "ENDPNT, A MOVEMENT BLOCK WAS NOT FOUND");
    get_prev_blkno(number);
    EXPECT_EQ(number, -1) << "nothing was numbered at this level";
}

TEST(ModalValues, SettersStoreAndSlotsTakeTheirValues)
{
    DSM4() = modal_values{};
    WRMB() = wire_modal_values{};
    PRM9().words[machine_params::kDirection] = 1;  // spindle speeds are signed by the direction
    set_cur_feed(0, 120.5f);
    set_cur_spin_vc(0, 1500, 80.0f);
    set_cur_coolant(0, 2);
    set_cur_nibbling(0, 3);
    set_cur_punch(0, 4);
    set_cur_tool(0, 77);
    EXPECT_EQ(DSM4().real(modal_values::kFeed), 120.5f);
    EXPECT_EQ(DSM4().at(modal_values::kSpin), 1500);
    EXPECT_EQ(DSM4().real(modal_values::kCuttingSpeed), 80.0f);
    EXPECT_EQ(DSM4().at(modal_values::kCoolant), 2);
    EXPECT_EQ(DSM4().at(modal_values::kNibble), 3);
    EXPECT_EQ(DSM4().at(modal_values::kPunch), 4);
    EXPECT_EQ(DSM4().at(modal_values::kTool), 77);

    mch_slots() = mch_slot_table{};
    set_mch_change_mode(26);
    set_punch_slot(5);
    set_nibble_slot(6);
    EXPECT_EQ(mch_slots().slots[1].value, 26);
    EXPECT_EQ(mch_slots().slots[53].value, 5);
    EXPECT_EQ(mch_slots().slots[52].value, 6);
}

TEST(CurrentPosition, RapidMoveOverTheClearancePlaneOnlyWhenItIsSet)
{
    for (int flag : {1, 0}) {
        fresh_motion(1);
        HEI8().at(heights_state::kClearancePlane) = flag;
        HEI8().set_real(heights_state::kClearance, 50.0f);
        DSP8().set_real(tool_position_state::kPosition, 3.0f);
        DSP8().set_real(tool_position_state::kPosition + 1, 4.0f);
        exec_display() = exec_display_state{};
        int status = 0;
        move_to_current_pos(1, status);
        EXPECT_EQ(status, 0);
        if (flag == 0) {
            EXPECT_TRUE(top_lines().empty());
            continue;
        }
        EXPECT_EQ(top_lines(), (std::vector<std::vector<word>>{line(2, 0, {3, 4, 50})}));
        EXPECT_EQ(mch_slots().slots[1].value, 4) << "rapid";
    }
}

TEST(DisplayBreak, SpaceOrAnExpiredStepCountReportsABreak)
{
    fresh();
    set_display_countdown(0);
    append_block(line(2, 0, {1, 2, 3}));
    vantu::control::load_script_text(R"([{"key": "SPACE", "after": 1}])", "break script");
    std::vector<int> answers;
    for (int i = 0; i < 3; ++i) {
        int brk = 0, status = 0;
        DISPLB(1, brk, status);
        answers.push_back(brk);
    }
    EXPECT_EQ(answers, (std::vector<int>{0, 1, 0})) << "the second poll sees SPACE";

    set_display_countdown(2);
    answers.clear();
    for (int i = 0; i < 3; ++i) {
        int brk = -1;
        check_display_break(brk);
        answers.push_back(brk);
    }
    EXPECT_EQ(answers, (std::vector<int>{0, 1, 0})) << "the countdown runs out once";
    int brk = 0, status = 0;
    DISPLB(2, brk, status);
    EXPECT_EQ(brk, 0) << "display mode 2 does not poll";
}
