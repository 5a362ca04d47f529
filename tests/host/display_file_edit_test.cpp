// The display file's services for editing a tool path: ranges of blocks marked for attention,
// blanked or deleted, insertion places, the current block's attributes, the return to the block
// added last, and the picked block with its neighbours.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

namespace control = vantu::control;

// Procedure 1 holds blocks 1 to 5, procedure 2 blocks 1 and 2.
class DisplayFileEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        for (int b = 1; b <= 5; ++b) add({2, 1, b});
        for (int b = 1; b <= 2; ++b) add({2, 2, b});
    }

    static void add(const ncd_address& address)
    {
        const float p[3] = {static_cast<float>(address.block1), static_cast<float>(address.block2), 0};
        int status = 0;
        ncd_register_block(address);
        ncd_add_registered_block(status);
        ASSERT_EQ(status, 0);
        ncd_move_to(p, status);
    }

    // "12" for block 2 of procedure 1, followed by A when marked and B when blank.
    static std::vector<std::string> file()
    {
        std::vector<std::string> blocks;
        for (const auto& b : control::ncd_blocks())
            blocks.push_back(std::to_string(b.block1) + std::to_string(b.block2) + (b.attention ? "A" : "") +
                             (b.blank ? "B" : ""));
        return blocks;
    }
};

TEST_F(DisplayFileEdit, RangesAreMarkedBlankedAndDeletedInEitherOrder)
{
    using strings = std::vector<std::string>;
    const struct {
        const char* what;
        std::function<void()> act;
        strings expected;
    } rows[] = {
        {"marked range", [] { ncd_set_blocks_attention(-1, {2, 1, 2}, {2, 1, 4}, 1); },
         {"11", "12A", "13A", "14A", "15", "21", "22"}},
        {"given backwards", [] { ncd_set_blocks_attention(-1, {2, 1, 4}, {2, 1, 2}, 1); },
         {"11", "12A", "13A", "14A", "15", "21", "22"}},
        {"an end names no block", [] { ncd_set_blocks_attention(-1, {2, 1, 2}, {2, 9, 9}, 1); },
         {"11", "12", "13", "14", "15", "21", "22"}},
        {"across procedures", [] { ncd_set_blocks_blank(-1, {2, 1, 5}, {2, 2, 1}, 1); },
         {"11", "12", "13", "14", "15B", "21B", "22"}},
        {"another display file", [] { ncd_set_blocks_blank(0, {2, 1, 1}, {2, 1, 2}, 1); },
         {"11", "12", "13", "14", "15", "21", "22"}},
        {"mark cleared", [] { ncd_set_blocks_attention(-1, {2, 1, 1}, {2, 2, 2}, 1); ncd_set_blocks_attention(-1, {2, 1, 3}, {2, 1, 3}, 0); },
         {"11A", "12A", "13", "14A", "15A", "21A", "22A"}},
        {"deleted range", [] { int s = 0; ncd_delete_blocks(-1, {2, 1, 4}, {2, 1, 2}, s); },
         {"11", "15", "21", "22"}},
        {"deleted to the procedure's end", [] { int s = 0; ncd_delete_blocks(-1, {2, 1, 4}, {}, s); },
         {"11", "12", "13", "21", "22"}},
        {"whole procedure marked", [] { int s = 0; ncd_set_block_or_proc_attn(-1, {1, 2, 0}, 1, s); },
         {"11", "12", "13", "14", "15", "21A", "22A"}},
        {"one block marked", [] { int s = 0; ncd_set_block_or_proc_attn(-1, {2, 1, 3}, 1, s); },
         {"11", "12", "13A", "14", "15", "21", "22"}},
        {"target selection's marks", [] { ncd_mark_attention(7, 1, 2, 1); },
         {"11A", "12A", "13", "14", "15", "21", "22"}},
    };
    for (const auto& row : rows) {
        SetUp();
        row.act();
        EXPECT_EQ(file(), row.expected) << row.what;
    }
    int status = 0;
    ncd_set_block_or_proc_attn(-1, {2, 4, 1}, 1, status);
    EXPECT_EQ(status, -1) << "no such block";
}

TEST_F(DisplayFileEdit, BlocksGoToTheInsertionPlaceNamed)
{
    using strings = std::vector<std::string>;
    const struct {
        int mode;
        ncd_address address;
        int status;
        strings expected;   // after block 9 of procedure 1 is added
    } rows[] = {
        {-1, {2, 1, 2}, 0, {"11", "12", "19", "13", "14", "15", "21", "22"}},
        {1, {2, 1, 5}, 0, {"11", "12", "13", "14", "15", "19", "21", "22"}},
        {kAtProcedureEnd, {1, 1, 0}, 0, {"11", "12", "13", "14", "15", "19", "21", "22"}},
        {kAtProcedureEnd, {1, 2, 0}, 0, {"11", "12", "13", "14", "15", "21", "22", "19"}},
        {-1, {1, 2, 0}, 0, {"11", "12", "13", "14", "15", "19", "21", "22"}},
        {1, {}, 0, {"19", "11", "12", "13", "14", "15", "21", "22"}},
        {1, {2, 7, 7}, -1, {"11", "12", "13", "14", "15", "21", "22", "19"}},
        {5, {1, 1, 0}, -1, {"11", "12", "13", "14", "15", "21", "22", "19"}},
    };
    for (const auto& row : rows) {
        SetUp();
        int status = 9;
        ncd_set_block_position(kCurrentDisplayFile, row.mode, row.address, status);
        EXPECT_EQ(status, row.status) << row.mode;
        add({2, 1, 9});
        EXPECT_EQ(file(), row.expected) << row.mode;
    }
}

TEST_F(DisplayFileEdit, InsertedBlocksTakeTheCurrentBlocksAttributesUntilTheToolPathIsJoined)
{
    int status = 0;
    ncd_set_blocks_blank(-1, {2, 1, 2}, {2, 1, 2}, 1);
    ncd_set_block_position(kCurrentDisplayFile, 1, {2, 1, 2}, status);
    ncd_update_current_attrs(5, 7, 2);
    ncd_set_attrs_as_curr_block(kCurrentDisplayFile);
    add({2, 1, 8});
    const auto& inserted = control::ncd_blocks()[2];
    EXPECT_EQ(inserted.block2, 8);
    EXPECT_EQ(inserted.blank, 1) << "the block before the insertion place is blank";
    EXPECT_NE(inserted.colour, 7);

    ncd_connect_toolpath(kCurrentDisplayFile);
    add({2, 2, 9});
    EXPECT_EQ(control::ncd_blocks().back().colour, 7) << "joined again: the end, the current attributes";
    EXPECT_EQ(control::ncd_blocks().back().blank, 0);

    ncd_go_last_added_block();
    add({2, 2, 8});
    EXPECT_EQ(file().back(), "28") << "the last block added was the file's last";
    ncd_set_block_position(kCurrentDisplayFile, -1, {2, 1, 1}, status);
    add({2, 1, 7});
    ncd_connect_toolpath(kCurrentDisplayFile);
    ncd_go_last_added_block();
    add({2, 1, 6});
    EXPECT_EQ(file(), (std::vector<std::string>{"11", "17", "16", "12B", "18B", "13", "14", "15", "21", "22", "29", "28"}));
}

TEST_F(DisplayFileEdit, APickedBlockAndItsNeighbours)
{
    ncd_address path;
    int status = 0;
    ncd_get_picked(path, status);
    EXPECT_EQ(status, -1) << "nothing picked";

    control::load_script_text(R"([{"pick": {"block": [1, 3]}}])", "pick a block");
    int choice = 9, entity = 9;
    pick(choice, entity);
    EXPECT_EQ(choice, 0);
    EXPECT_EQ(entity, 0);
    ncd_get_picked(path, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(path.level, 2);
    EXPECT_EQ(path.block1, 1);
    EXPECT_EQ(path.block2, 3);

    const struct {
        int n, status, block1, block2;
    } rows[] = {{0, 0, 1, 3}, {2, 0, 1, 5}, {3, 0, 2, 1}, {-2, 0, 1, 1}, {-3, -1, 0, 0}, {5, -1, 0, 0}};
    for (const auto& row : rows) {
        ncd_address at{};
        ncd_get_n_from_picked(row.n, at, status);
        EXPECT_EQ(status, row.status) << row.n;
        EXPECT_EQ(at.block1, row.block1) << row.n;
        EXPECT_EQ(at.block2, row.block2) << row.n;
    }
    for (const char* bad : {R"([{"pick": {"block": [0, 3]}}])", R"([{"pick": {"block": [1]}}])",
                            R"([{"pick": {"blocks": [1, 3]}}])"})
        EXPECT_THROW(control::load_script_text(bad, "bad pick"), control::part_error) << bad;
}

TEST_F(DisplayFileEdit, AttentionBlocksShowInTheTranscriptAndThePicture)
{
    ncd_set_blocks_attention(-1, {2, 1, 3}, {2, 1, 3}, 1);
    const std::string text = control::ncd_file_text();
    EXPECT_NE(text.find("2/1/3 M font 0 colour 0 pen 0 attention:"), std::string::npos) << text;
    EXPECT_EQ(text.find("2/1/2 M font 0 colour 0 pen 0 attention"), std::string::npos) << text;
    const std::string svg = control::picture_svg({});
    EXPECT_NE(svg.find("attention blocks"), std::string::npos) << "the legend names them";
    std::size_t coloured = 0;
    for (std::size_t at = svg.find("<polyline"); at != std::string::npos; at = svg.find("<polyline", at + 1))
        if (svg.substr(at, svg.find('\n', at) - at).find("orangered") != std::string::npos) ++coloured;
    EXPECT_EQ(coloured, 1u) << "the one marked block";
}

}  // namespace
