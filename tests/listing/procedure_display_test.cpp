// The procedure display: a procedure replayed from its sub-list into the display file, by number,
// in its place among the procedures already shown, refused modes and blocks, and a procedure
// whose movements lie in a movement entity, replayed once per copy.
#include "listing_support.hpp"

#include "driver/proc_block_support.hpp"
#include "listing/dsproc.hpp"
#include "toolpath/tp_words.hpp"

using namespace listing_test;

namespace {

// A procedure block with the items the display reads, its sub-list holding the blocks; the list
// is left on the procedure block.
void add_procedure(int number, const std::vector<std::vector<word>>& motions, word record = 0, word copied = 1)
{
    proc_test::proc_block b;
    b.number = number;
    b.global(20, {static_cast<word>(motions.size())}).global(7, {0}).global(9, {r(0)}, 1);
    b.global(11, {r(0), r(0), r(0)}, 1).global(12, {r(0), r(0), r(50)}, 1).heights_and_wire();
    for (int code : {5, 6}) b.global(code, {r(0), r(0), r(0)}, 1);
    for (int code : {27, 28}) b.global(code, {r(0), r(0), r(1)}, 1);
    b.flag(51, record).flag(82, copied);
    const std::vector<word> w = b.words();
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(w.size()), w.data(), status);
    put_zero_lst(status);
    lclos(status);
    if (!motions.empty()) {
        newls1(2, status);
        for (const auto& m : motions) append_block(m);
        clsls1(status);
    }
    ASSERT_EQ(status, 0);
    int length = 0;
    lacces(0, length);
}

int replay(int dmode)
{
    int mode = dmode, status = 0;
    DSPROC(mode, status);
    return status;
}

}  // namespace

using ProcedureDisplay = DisplayTest;

TEST_F(ProcedureDisplay, RapidLinesAreReplayedDashedAndTheToolEndsAtTheLastLine)
{
    const int tool = tool_with_master(kMill, "CUTTER");
    PRM9().words[machine_params::kToolId] = tool;
    CLP1().at(proc_colour_pen::kColour) = 3;
    add_procedure(1, {param_block(0, 1, -1.0f), line_block(1, 10, 0, 0), line_block(2, 10, 20, 0)});
    ASSERT_EQ(replay(1), 0);
    EXPECT_EQ(blocks_in_font(5), 2) << control::ncd_file_text();
    EXPECT_EQ(control::ncd_blocks().back().points.back(), (std::array<double, 3>{10, 20, 0}));
    EXPECT_EQ(control::ncd_blocks().back().block1, 1) << "the motions are kept under their procedure";
    EXPECT_EQ(control::tool_instance_position(), (std::array<float, 3>{10, 20, 0}));
    EXPECT_EQ(control::status_field(2, 1), "X=10.000    ") << "the status line is refreshed";
    const std::string text = control::display_text();
    EXPECT_NE(text.find("display file:"), std::string::npos);
    EXPECT_NE(text.find("tool instance"), std::string::npos);
    const std::string svg = control::picture_svg({});
    EXPECT_NE(svg.find("stroke-dasharray"), std::string::npos) << "rapid moves are dashed";
    EXPECT_NE(svg.find("id=\"toolinstance\""), std::string::npos);

    ASSERT_EQ(replay(1), 0);
    EXPECT_EQ(blocks_in_font(5), 2) << "a second replay takes the place of the first";
}

TEST_F(ProcedureDisplay, ByNumberPlacesAndModes)
{
    add_procedure(3, {line_block(1, 1, 1, 0)});
    int mode = 1003, status = 0;
    DSPROC(mode, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(mode, 1) << "the caller's word reads 1";
    EXPECT_EQ(control::tool_instance(), -1) << "no tool instance by number";
    EXPECT_EQ(control::ncd_blocks().size(), 1u);

    // Procedure 1 is shown before procedure 3; procedure 3 now has no place of its own.
    proc_summary_entry& first = proc_table().entries[1];
    first.number = 1;
    first.state = 1;
    proc_table().entries[2].number = 3;
    int deleted = 0;
    ncd_delete_block_or_proc(kCurrentDisplayFile, {1, 3, 0}, deleted);
    struct row {
        int dmode, status;
        std::size_t blocks;
        const char* error;
    };
    const row rows[] = {{1, -1, 0, "DSPROC, ERRORS IN THE DISPLAY FILE"},
                        {3, 0, 1, nullptr},
                        {4, 0, 2, nullptr},
                        {2, 0, 2, nullptr},
                        {6, -1, 2, nullptr}};
    for (const row& x : rows) {
        control::clear_messages();
        EXPECT_EQ(replay(x.dmode), x.status) << x.dmode;
        EXPECT_EQ(control::ncd_blocks().size(), x.blocks) << x.dmode;
        if (x.error) {
            EXPECT_EQ(control::lines_of("eroutc").back(), x.error);
        }
    }
    EXPECT_EQ(control::lines_of("erou1c").back(), "DSPROC,INVALID DMODE TYPE. DMODE = 6");
    first.state = 2;
    EXPECT_EQ(replay(1), 0) << "a suspended procedure has no display before it: the start of the file";

    // A number the table does not hold: the count stops at its 200 entries and finds no place.
    for (int k = 1; k <= proc_summary_table::kProcedures; ++k)
        proc_table().entries[static_cast<std::size_t>(k)].number = 500 + k;
    int unknown = 1250;
    DSPROC(unknown, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "DSPROC, ERRORS IN THE DISPLAY FILE");

    append_block(line_block(9, 0, 0, 0));
    EXPECT_EQ(replay(1), -1);
    EXPECT_EQ(control::lines_of("eroutc").back(), "DSPROC,THE CURRENT BLOCK IS NOT A PROCEDURE");
}

TEST_F(ProcedureDisplay, MovementEntityReplayedOncePerCopy)
{
    int motion = 0, status = 0;
    estore(9, 8, motion, status);
    const std::vector<word> stored{0, 0, 0, 2, 0, 5, 2, 1, r(1), r(0), r(0), 5, 2, 2, r(1), r(1), r(0)};
    eputn(static_cast<int>(stored.size()), stored.data(), status);
    eclose(status);
    nc_proc_record record;
    record.block_number = 4;
    record.proc_type = 50;
    int id = 0;
    dbd_proc(2, id, record, status);
    get_set_movmnt_id(2, id, motion);
    control::set_copy_transformations({{{1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 10}}});
    add_procedure(4, {}, id, 0);
    EXPECT_EQ(replay(1000 + 4), 1) << "the copy iteration's last status";
    ASSERT_EQ(control::ncd_blocks().size(), 4u) << control::ncd_file_text();
    EXPECT_EQ(control::ncd_blocks()[1].points.back(), (std::array<double, 3>{1, 1, 0}));
    EXPECT_EQ(dspblk().sub_procedure, 2);
}
