// The handlers of the motion and frame blocks, one row per block type: where the tool ends, what
// the display file gains and what the state blocks take; and the procedure's common values and
// previous position that the procedure display starts from.
#include "listing_support.hpp"

#include "driver/proc_block_support.hpp"
#include "driver/proc_common.hpp"
#include "host/control/mdata.hpp"
#include "nc_services/mch_type_name.hpp"

using namespace listing_test;

namespace {

std::vector<word> block(std::vector<word> head, std::initializer_list<float> reals, std::vector<word> tail = {})
{
    for (float v : reals) head.push_back(r(v));
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

}  // namespace

using Handlers = DisplayTest;

TEST_F(Handlers, MotionAndFrameBlocksMoveTheToolAndDrawWhatTheyShould)
{
    struct row {
        const char* name;
        std::vector<word> words;
        std::array<float, 3> position;
        std::size_t blocks;
        char last_kind;
    };
    const std::vector<row> rows = {
        {"spline",
         {5, 1, 2, 3, r(0), r(0), r(0), r(0), r(0), r(1), r(1), r(0), r(1), r(2), r(0), r(0), r(2), r(2)},
         {2, 0, 0},
         1,
         'S'},
        {"lathe drill", block({11, 2, 1}, {2, 5, 0, 0}, {0, r(0)}), {0, 0, 0}, 2, 'M'},
        {"thread", block({13, 3}, {1, 1, 1, 4, 4, 4}, {1, 1}), {4, 4, 4}, 1, 'M'},
        {"groove", block({14, 4, 1}, {1, 0, 0, 2, 0, 0, 0, 0.5f, 0, 0, 0, 0}), {1, 0, 0}, 2, 'M'},
        {"home", block({6, 5}, {1, 2, 3, 0, 0, 0}), {1, 2, 3}, 0, ' '},
        {"rotation axes", block({10, 6, 2}, {0, 0, 0, 1, 0, 0}, {1, r(0)}), {0, 0, 0}, 0, ' '},
        {"macsys rotation", block({9, 7, 3}, {0, 0, 0, 90}, {1, r(0), 2, r(0), r(0), r(5), r(0)}), {0, 5, 0}, 0, ' '},
    };
    for (const row& x : rows) {
        SetUp();
        NPT1().set_real(tp_header_state::kMacsysOrigin + 1, 1.0f);
        dspblk_init_state(2);
        append_block(x.words);
        int mode = 1, source = 2, type = 0, flag = 0, status = 0;
        DSPBLK(mode, source, type, flag, status);
        ASSERT_EQ(status, 0) << x.name;
        EXPECT_EQ(DSP8().vec(tool_position_state::kPosition), x.position) << x.name;
        EXPECT_EQ(control::ncd_blocks().size(), x.blocks) << x.name << "\n" << control::ncd_file_text();
        if (x.blocks > 0) {
            EXPECT_EQ(control::ncd_blocks().back().kind, x.last_kind) << x.name;
        }
    }
    EXPECT_EQ(NPT1().at(tp_header_state::kView), 2) << "the rotation's new view";
    EXPECT_NEAR(NPT1().real(tp_header_state::kMacsysOrigin + 2), 1.0f, 1e-6) << "the origin turned about x";

    SetUp();
    append_block(block({6, 5}, {1, 2, 3, 0, 0, 0}));
    int mode = 1, source = 2, type = 0, flag = 0, status = 0;
    DSPBLK(mode, source, type, flag, status);
    EXPECT_EQ(HEI8().real(heights_state::kClearance), 3.0f) << "the home's z is the clearance height";
    append_block(block({10, 6, 2}, {0, 0, 0, 1, 0, 0}, {1, r(0)}));
    DSPBLK(mode, source, type, flag, status);
    EXPECT_EQ(RAXN().at(rotation_axes_state::kKind), 2);
    EXPECT_EQ(control::get_record("RAXN").value_or(std::vector<word>{}).size(), 9u);
}

TEST_F(Handlers, CommonValuesAndThePreviousPositionOfAProcedure)
{
    NPT1().set_real(tp_header_state::kHomePoint + 2, 100.0f);
    for (int number : {1, 2}) {
        proc_test::proc_block b;
        b.number = number;
        b.global(7, {4}).global(9, {r(2.5f)}, 1).global(11, {r(1), r(2), r(3)}, 1).global(12, {r(0), r(0), r(50)}, 1);
        b.global(5, {r(0), r(0), r(0)}, 1).global(27, {r(0), r(0), r(1)}, 1);
        b.global(6, {r(10.0f * number), r(0), r(0)}, 1).global(28, {r(0), r(0), r(1)}, 1);
        b.heights_and_wire(7.5f);
        b.append();
    }
    common_vec previous{}, axis{}, next{}, next_axis{};
    int none = 0, no_next = 0, status = 0;
    GETPOS(previous, axis, none, next, next_axis, no_next, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(none, 0);
    EXPECT_EQ(previous, (common_vec{10, 0, 0})) << "the last point of procedure 1";
    lacces(2, status);
    GETPOS(previous, axis, none, next, next_axis, no_next, status);
    EXPECT_EQ(none, 1);
    EXPECT_EQ(previous, (common_vec{0, 0, 100})) << "the first procedure starts at the home point";
    EXPECT_EQ(axis, (common_vec{0, 0, 1}));

    NPT1().at(tp_header_state::kMachineType) = 23;
    CURCOM(1, 1, 0, 1, 1, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(NPT1().at(tp_header_state::kMachineType), 23) << "item 7 goes to word 19, not the machine type";
    EXPECT_EQ(HEI8().real(heights_state::kClearance), 7.5f);
    EXPECT_EQ(HEI8().at(heights_state::kClearancePlane), 1);
    EXPECT_EQ(NPT1().at(tp_header_state::kView), 4);
    EXPECT_EQ(NPT1().real(tp_header_state::kDepth), 2.5f);
    EXPECT_EQ(NPT1().real(tp_header_state::kHomePoint + 2), 50.0f);
    CURCOM(1, 1, 0, 1, 1, 0, status);
    EXPECT_EQ(status, -1) << "the new layout's items are missing";
    EXPECT_EQ(control::lines_of("eroutc").back(), "CURCOM, ERROR IN LIST");
    append_block(line_block(3, 0, 0, 0));
    GETPOS(previous, axis, none, next, next_axis, no_next, status);
    EXPECT_EQ(control::lines_of("eroutc").back(), "GETPOS, THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK");

    struct name_row {
        int type;
        const char* name;
    };
    for (const name_row& x : {name_row{25, "MILL 4X   "}, {63, "CHARMILLES"}, {40, "UNKNOWN   "}}) {
        std::string name;
        mch_type_name(x.type, name);
        EXPECT_EQ(name, x.name);
    }
}
