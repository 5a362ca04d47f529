// Deletion of a range of motions with its connection: the options by machine and mode, the blocks
// that stay, the connection and the feed after it, the cancels that delete nothing, a range from
// the first motion, a drill procedure, the loops cut instead, and a connection that cannot be
// written.
#include "edit/editor/block_delete.hpp"
#include "tests/edit/connection_support.hpp"

#include <gtest/gtest.h>

namespace control = vantu::control;
using connection_test::feed_block;
using connection_test::line_at;

TEST(BlockDelete, DeletesTheRangesMotionsAndClosesTheGap)
{
    // Feed 80, two lines, feed 60 and a LAYER opening, three lines.
    const std::vector<std::vector<word>> path{feed_block(5, 80),
                                              line_at(10, 0, 0),
                                              line_at(11, 10, 0),
                                              feed_block(12, 60),
                                              editor_test::block_words("M13:3"),
                                              line_at(14, 20, 0),
                                              line_at(15, 30, 0),
                                              line_at(16, 40, 0)};
    const auto xy = [](int number, float x, float y) {
        return std::vector<word>{2, number, real_to_word(x), real_to_word(y), 0};
    };
    const std::vector<std::vector<word>> eight{xy(10, 0, 0),  xy(11, 10, 0),  xy(12, 10, 10), xy(13, 5, 10),
                                               xy(14, 5, -5), xy(15, 15, -5), xy(16, 20, -5)};
    const std::vector<std::string> unchanged{"F80", "L(0,0,0)",  "L(10,0,0)", "F60",
                                             "M3",  "L(20,0,0)", "L(30,0,0)", "L(40,0,0)"};
    const int mill = connection_test::kMill, wire = 61;
    constexpr int kProcedure = -1;  // the result path names the procedure block
    struct row {
        const char* name;
        int machine, mode, stay;
        int first, last;
        const char* script;
        int status, deleted, in_layer;
        std::vector<std::string> steps;
        int result, cursor;  // the blocks the result path and the cursor name afterwards (0: not checked)
        long fault = 0;      // the lcreat that fails (0: none)
        float origin_z = 0;  // the header Z the dialog's clearance is shown from
        const std::vector<std::vector<word>>* blocks = nullptr;  // null: path
    };
    // The plunge at PRM9's 50 % of the feed in force (80); the feed after it gives way to the
    // range's feed block, which stays.
    const std::vector<std::string> through_clear{"F80", "L(0,0,0)",  "F-1", "L(0,0,50)", "L(20,0,50)", "L(20,0,1)",
                                                 "F40", "L(20,0,0)", "F60", "M3",        "L(30,0,0)",  "L(40,0,0)"};
    const std::vector<row> rows = {
        {"through clear", mill, kDeleteRange, 0, 11, 14, R"([{"menu": 2}, {"page": 0}])", 0, 1, 1, through_clear, 10,
         15},
        {"through clear, range given backward", mill, kDeleteRange, 0, 14, 11, R"([{"menu": 2}, {"page": 0}])", 0, 1, 1,
         through_clear, 10, 15},
        {"through clear at an entered height above the header",
         mill,
         kDeleteRange,
         0,
         11,
         14,
         R"([{"menu": 2}, {"page": {"line": 1, "value": 20}}, {"page": {"line": 2, "value": 3}}, {"page": 0}])",
         0,
         1,
         1,
         {"F80", "L(0,0,0)", "F-1", "L(0,0,30)", "L(20,0,30)", "L(20,0,3)", "F40", "L(20,0,0)", "F60", "M3",
          "L(30,0,0)", "L(40,0,0)"},
         10,
         15,
         0,
         10},
        {"directly",
         mill,
         kDeleteRange,
         0,
         11,
         14,
         R"([{"menu": 1}])",
         0,
         1,
         1,
         {"F80", "L(0,0,0)", "L(20,0,0)", "F60", "M3", "L(30,0,0)", "L(40,0,0)"},
         10,
         15},
        {"a wire machine: asked, then through clear",
         wire,
         kDeleteRange,
         0,
         11,
         14,
         R"([{"question": "yes"}])",
         0,
         1,
         1,
         {"F80", "L(0,0,0)", "L(0,0,50)", "L(20,0,50)", "L(20,0,1)", "L(20,0,0)", "F60", "M3", "L(30,0,0)",
          "L(40,0,0)"},
         10,
         15},
        {"to the end: the retract",
         mill,
         kDeleteToEnd,
         0,
         14,
         16,
         R"([{"question": "yes"}])",
         0,
         1,
         1,
         {"F80", "L(0,0,0)", "L(10,0,0)", "F-1", "L(10,0,50)", "F60", "M3"},
         11,
         0},
        {"drill: no connection",
         mill,
         kDeleteNoConnect,
         0,
         11,
         14,
         R"([{"question": "yes"}])",
         0,
         1,
         1,
         {"F80", "L(0,0,0)", "F60", "M3", "L(30,0,0)", "L(40,0,0)"},
         10,
         15},
        {"from the first motion",
         mill,
         kDeleteRange,
         0,
         10,
         11,
         R"([{"menu": 2}, {"page": 0}])",
         kDeletedAtStart,
         1,
         0,
         {"F-1", "L(0,0,50)", "L(10,0,50)", "L(10,0,1)", "F40", "L(10,0,0)", "F60", "M3", "L(20,0,0)", "L(30,0,0)",
          "L(40,0,0)"},
         kProcedure,
         14},
        {"delete loop",
         mill,
         kDeleteRange,
         0,
         11,
         15,
         R"([{"menu": 3}, {"question": "yes"}])",
         0,
         1,
         0,
         {"L(0,0,0)", "L(5,0,0)", "L(5,-5,0)", "L(15,-5,0)", "L(20,-5,0)"},
         0,
         16,
         0,
         0,
         &eight},
        {"menu left", mill, kDeleteRange, 0, 11, 14, R"([{"menu": -2}])", -2, 0, 0, unchanged, 14, 15},
        {"dialog left", mill, kDeleteRange, 0, 11, 14, R"([{"menu": 2}, {"page": -2}])", -2, 0, 0, unchanged, 14, 15},
        {"no, staying", wire, kDeleteRange, 1, 11, 14, R"([{"question": "no"}])", -2, 0, 0, unchanged, 11, 11},
        {"cancel", wire, kDeleteRange, 0, 11, 14, R"([{"question": "cancel"}])", -1, 0, 0, unchanged, 14, 15},
        {"a connection that cannot be written", mill, kDeleteRange, 0, 11, 14, R"([{"menu": 2}, {"page": 0}])", -3, 0,
         0, unchanged, 11, 11, 3},
    };
    for (const row& r : rows) {
        const auto& blocks = r.blocks ? *r.blocks : path;
        connection_test::machine_with({0, 0, 0}, blocks, r.last, 100.0f, r.machine);
        NPT1().set_real(tp_header_state::kMacsysOrigin + 2, r.origin_z);
        control::load_script_text(r.script, r.name);
        if (r.fault != 0) control::inject_fault("lcreat", r.fault, 1, -1);
        blk_path first, last, result;
        first.set(editor_test::kProcBlock, r.first);
        last.set(editor_test::kProcBlock, r.last);
        int type = 0, deleted = 9, in_layer = 9, status = 9;
        DLTBLK(r.mode, r.stay, result, type, first, last, deleted, in_layer, status);
        control::clear_faults();
        EXPECT_EQ(status, r.status) << r.name;
        EXPECT_EQ(deleted, r.deleted) << r.name;
        EXPECT_EQ(in_layer, r.in_layer) << r.name;
        EXPECT_EQ(connection_test::sub_steps(), r.steps) << r.name;
        if (r.result == kProcedure) {
            EXPECT_EQ(result.depth(), 1) << r.name;
            EXPECT_EQ(result.procedure(), editor_test::kProcBlock) << r.name;
        } else if (r.result != 0) {
            EXPECT_EQ(result.block(), r.result) << r.name;
        }
        if (r.cursor != 0) {
            EXPECT_EQ(editor_test::cursor_block_number(), r.cursor) << r.name;
        }
        const auto errors = control::lines_of("eroutc");
        EXPECT_EQ(errors.empty(), r.fault == 0) << r.name;
        control::clear_script();
    }
    motion_test::to_load_state();
}

TEST(BlockDelete, WorkingParametersFromTheModalValues)
{
    struct row {
        int machine;
        float feed;
        int spin;
        float base_feed, cutting_speed;
        int spindle, direction, coolant, punch;
    };
    const row rows[] = {
        {22, 250, -800, 250, 120, 800, 2, 1, 0}, {31, 250, 0, 250, 120, 0, 3, 1, 0},
        {24, -1, 500, 99, 120, 500, 1, 1, 0},  // rapid and the stored feed leave the base feed
        {25, -2, 500, 99, 120, 500, 1, 1, 0},    {61, 250, 500, 99, 0, 0, 0, 0, 0},  // wire: the tool only
        {12, 250, 500, 99, 0, 0, 0, 0, 4},  // punching: tool, pitch, nibbling, punch, index
    };
    for (const row& r : rows) {
        NPT1() = tp_header_state{};
        NPT1().at(tp_header_state::kMachineType) = r.machine;
        PRM9() = machine_params{};
        PRM9().set_real(machine_params::kBaseFeed, 99);
        DSM4() = modal_values{};
        DSM4().set_real(modal_values::kFeed, r.feed);
        DSM4().at(modal_values::kSpin) = r.spin;
        DSM4().set_real(modal_values::kCuttingSpeed, -120);
        DSM4().at(modal_values::kCoolant) = 1;
        DSM4().at(modal_values::kTool) = 7;
        DSM4().at(modal_values::kPunch) = 4;
        DSP8().at(tool_position_state::kUcsId) = 3;
        int status = 9;
        prm_from_modal(status);
        const machine_params& p = PRM9();
        EXPECT_EQ(status, 0) << r.machine;
        EXPECT_EQ(p.real(machine_params::kBaseFeed), r.base_feed) << r.machine;
        EXPECT_EQ(p.real(machine_params::kCuttingSpeed), r.cutting_speed) << r.machine;
        EXPECT_EQ(p.words[machine_params::kSpindleSpeed], r.spindle) << r.machine;
        EXPECT_EQ(p.words[machine_params::kDirection], r.direction) << r.machine;
        EXPECT_EQ(p.words[machine_params::kCoolant], r.coolant) << r.machine;
        EXPECT_EQ(p.words[machine_params::kPunch], r.punch) << r.machine;
        EXPECT_EQ(p.words[machine_params::kToolId], 7) << r.machine;
        EXPECT_EQ(p.words[machine_params::kUcs], 3) << r.machine;
    }
}
