// The display file's services for editing a tool path: ranges of blocks marked, blanked or
// deleted, insertion places, the current block's attributes, and the picked block.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

namespace control = vantu::control;
using strings = std::vector<std::string>;

void add(const ncd_address& address)
{
    const float p[3] = {static_cast<float>(address.block1), static_cast<float>(address.block2), 0};
    int status = 0;
    ncd_register_block(address);
    ncd_add_registered_block(status);
    ncd_move_to(p, status);
}

// Procedure 1 holds blocks 1 to 5, procedure 2 blocks 1 and 2.
void fresh_file()
{
    control::reset();
    for (int b = 1; b <= 5; ++b) add({2, 1, b});
    for (int b = 1; b <= 2; ++b) add({2, 2, b});
}

// "12" for block 2 of procedure 1, with A when marked and B when blank.
strings file()
{
    strings blocks;
    for (const auto& b : control::ncd_blocks())
        blocks.push_back(std::to_string(b.block1) + std::to_string(b.block2) + (b.attention ? "A" : "") +
                         (b.blank ? "B" : ""));
    return blocks;
}

enum class range_call { attention, blank, remove, block_or_procedure, target_marks };

TEST(DisplayFileEdit, RangesAreMarkedBlankedAndDeletedInEitherOrder)
{
    const struct {
        range_call call;
        int file;
        ncd_address from, to;
        strings expected;
    } rows[] = {
        {range_call::attention, -1, {2, 1, 4}, {2, 1, 2}, {"11", "12A", "13A", "14A", "15", "21", "22"}},
        {range_call::attention, -1, {2, 1, 2}, {2, 9, 9}, {"11", "12", "13", "14", "15", "21", "22"}},
        {range_call::blank, -1, {2, 1, 5}, {2, 2, 1}, {"11", "12", "13", "14", "15B", "21B", "22"}},
        {range_call::blank, 0, {2, 1, 1}, {2, 1, 2}, {"11", "12", "13", "14", "15", "21", "22"}},
        {range_call::remove, -1, {2, 1, 4}, {2, 1, 2}, {"11", "15", "21", "22"}},
        {range_call::remove, -1, {2, 1, 4}, {}, {"11", "12", "13", "21", "22"}},
        {range_call::block_or_procedure, -1, {1, 2, 0}, {}, {"11", "12", "13", "14", "15", "21A", "22A"}},
        // the target selection marks 3 blocks from procedure block 1 (in the block numbers of from)
        {range_call::target_marks, -1, {1, 1, 3}, {}, {"11A", "12A", "13A", "14", "15", "21", "22"}},
    };
    for (const auto& row : rows) {
        fresh_file();
        int status = 0;
        switch (row.call) {
        case range_call::attention: ncd_set_blocks_attention(row.file, row.from, row.to, 1); break;
        case range_call::blank: ncd_set_blocks_blank(row.file, row.from, row.to, 1); break;
        case range_call::remove: ncd_delete_blocks(row.file, row.from, row.to, status); break;
        case range_call::block_or_procedure: ncd_set_block_or_proc_attn(row.file, row.from, 1, status); break;
        case range_call::target_marks: ncd_mark_attention(7, row.from.block1, row.from.block2, 1); break;
        }
        EXPECT_EQ(file(), row.expected) << static_cast<int>(row.call);
    }
    // A marked block shows in the transcript and, in its own colour, in the picture.
    EXPECT_NE(control::ncd_file_text().find("2/1/1 M font 0 colour 0 pen 0 attention:"), std::string::npos);
    const std::string svg = control::picture_svg({});
    EXPECT_NE(svg.find("attention blocks"), std::string::npos);
    int marked = 0;
    for (std::size_t at = svg.find("orangered\" stroke-width"); at != std::string::npos;
         at = svg.find("orangered\" stroke-width", at + 1))
        ++marked;
    EXPECT_EQ(marked, 3) << "blocks 12 and 13 (11 has no start to be drawn from) and the legend's line";
}

TEST(DisplayFileEdit, BlocksGoToTheInsertionPlaceNamed)
{
    const struct {
        int mode;
        ncd_address address;
        int status;
        strings expected;  // after block 9 of procedure 1 is added
    } rows[] = {
        {-1, {2, 1, 2}, 0, {"11", "12", "19", "13", "14", "15", "21", "22"}},
        {kAtProcedureEnd, {1, 1, 0}, 0, {"11", "12", "13", "14", "15", "19", "21", "22"}},
        {-1, {1, 2, 0}, 0, {"11", "12", "13", "14", "15", "19", "21", "22"}},
        {1, {}, 0, {"19", "11", "12", "13", "14", "15", "21", "22"}},
        {1, {2, 7, 7}, -1, {"11", "12", "13", "14", "15", "21", "22", "19"}},
    };
    for (const auto& row : rows) {
        fresh_file();
        int status = 9;
        ncd_set_block_position(kCurrentDisplayFile, row.mode, row.address, status);
        EXPECT_EQ(status, row.status) << row.mode;
        add({2, 1, 9});
        EXPECT_EQ(file(), row.expected) << row.mode;
    }

    // Blocks inserted after a blank block take its attributes until the tool path is joined; the
    // return to the block added last continues after it.
    fresh_file();
    int status = 0;
    ncd_set_blocks_blank(-1, {2, 1, 2}, {2, 1, 2}, 1);
    ncd_set_block_position(kCurrentDisplayFile, 1, {2, 1, 2}, status);
    ncd_set_attrs_as_curr_block(kCurrentDisplayFile);
    add({2, 1, 8});
    ncd_connect_toolpath(kCurrentDisplayFile);
    add({2, 2, 9});
    ncd_go_last_added_block();
    add({2, 2, 8});
    ncd_set_block_position(kCurrentDisplayFile, -1, {2, 1, 1}, status);
    add({2, 1, 7});
    ncd_connect_toolpath(kCurrentDisplayFile);
    ncd_go_last_added_block();
    add({2, 1, 6});
    EXPECT_EQ(file(), (strings{"11", "17", "16", "12B", "18B", "13", "14", "15", "21", "22", "29", "28"}));
}

// Every block is drawn from the end of the block before it in the file, after insertions and
// removals, and whatever a figure drew in between.
TEST(DisplayFileEdit, EveryBlockStartsWhereTheBlockBeforeItEnds)
{
    const struct {
        int mode;  // 0: a removal from `at` to `to`, else an insertion of block 9 at that place
        ncd_address at, to;
    } rows[] = {{-1, {2, 1, 2}, {}},
                {1, {}, {}},
                {kAtProcedureEnd, {1, 1, 0}, {}},
                {0, {2, 1, 2}, {2, 1, 4}},
                {0, {2, 1, 5}, {2, 2, 1}},
                {0, {2, 1, 1}, {2, 1, 1}}};
    for (const auto& row : rows) {
        fresh_file();
        int status = 0;
        figopa(-1, 2, status);
        const float elsewhere[3] = {-50, -50, 7};
        moveto(elsewhere);
        figcls(-1);
        if (row.mode == 0) {
            ncd_delete_blocks(kCurrentDisplayFile, row.at, row.to, status);
        } else {
            ncd_set_block_position(kCurrentDisplayFile, row.mode, row.at, status);
            add({2, 1, 9});
        }
        ASSERT_EQ(status, 0) << row.mode;
        const auto& blocks = control::ncd_blocks();
        for (std::size_t k = 1; k < blocks.size(); ++k) {
            ASSERT_GE(blocks[k].points.size(), 2u) << row.mode << " block " << k;
            EXPECT_EQ(blocks[k].points.front(), blocks[k - 1].points.back()) << row.mode << " block " << k;
        }
    }
}

TEST(DisplayFileEdit, APickedBlockAndItsNeighbours)
{
    fresh_file();
    ncd_address path;
    int status = 0, choice = 9, entity = 9;
    ncd_get_picked(path, status);
    EXPECT_EQ(status, -1) << "nothing picked";
    control::load_script_text(R"([{"pick": {"block": [1, 3]}}])", "pick a block");
    pick(choice, entity);
    EXPECT_EQ(choice, 0);
    const struct {
        int n, status, block1, block2;
    } rows[] = {{0, 0, 1, 3}, {3, 0, 2, 1}, {-2, 0, 1, 1}, {-3, -1, 0, 0}, {5, -1, 0, 0}};
    for (const auto& row : rows) {
        ncd_address at{};
        ncd_get_n_from_picked(row.n, at, status);
        EXPECT_EQ(status, row.status) << row.n;
        EXPECT_EQ(at.block1 * 10 + at.block2, row.block1 * 10 + row.block2) << row.n;
    }
    ncd_get_picked(path, status);
    EXPECT_EQ(path.level * 100 + path.block1 * 10 + path.block2, 213);
    for (const char* bad : {R"([{"pick": {"block": [0, 3]}}])", R"([{"pick": {"block": [1]}}])"})
        EXPECT_THROW(control::load_script_text(bad, "bad pick"), control::part_error) << bad;
}

}  // namespace
