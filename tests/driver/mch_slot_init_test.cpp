// Machine-parameter slot tables by category (every row, the variants by W, the machining-type
// case of category 2, unknown categories), the procedure check of UPDCMC and NXTCNT's search.
#include "driver/mch_slot_init.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_words.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

namespace control = vantu::control;

// The slots of a row as "slot:status/code" (code left out when none), in slot order; slots
// a-b stand for every slot of the range.
struct expected_slots {
    int category;
    int w;
    int machining;
    std::string slots;
};

const std::vector<expected_slots> kRows = {
    {1, 0, 0, "1:1/1 2:1/5 3:1/6 5:1 10:1/7 55:1/21 59:1/27 100:1/12"},
    {2, 0, 0, "1:1/1 2:1/5 3:1/6 10:1/7 55:1/21 59:1/27 100:1/12"},
    {2, 0, 13, "1:1/1 2:1/5 3:1/6 5:1 10:1/7 55:1/21 59:1/27 100:1/12"},
    {3, 0, 0, "1:2/1 2:2 3:2 10:2 55:2 59:2/27 100:2"},
    {4, 0, 0, "1:1/1 2:1/5 3:1/6 10:1/7 55:1/21 59:1/27"},
    {6, 0, 0, "1:1/1 2:1/5 3:1/6 55:1/21 59:1/27 100:1/12"},
    {16, 0, 0, "51:2 52:1/14 53:1/16 54:2 55:1/21 100:1/12"},
    {17, 0, 0, "52:1/14 53:1/16 55:2 100:2"},
    {18, 0, 0, "52:1/14 53:1/16 55:2 100:2"},
    {19, 0, 0, "11-16:2 20-40:2 55:2 100:2"},
    {20, 1, 0, "1:2/1 3:2 9:1/18 10:2 55:2 100:2"},
    {20, 2, 0, "1:2/1 2:2 3:2 9:1/19 55:2 100:2"},
    {20, 0, 0, "1:2/1 2:2 3:2 9:1/19 55:2 100:2"},
    {21, 1, 0, "1:1/1 3:1/6 5:1 9:1/18 10:1/7 55:1/21 100:1/12"},
    {21, 2, 0, "1:1/1 2:1/5 3:1/6 5:1 9:1/19 55:1/21 100:1/12"},
    {22, 1, 0, "1:1/1 3:1/6 5:1 9:1/18 10:1/7 55:1/21 100:1/12"},
    {22, 2, 0, "1:1/1 2:1/5 3:1/6 5:1 9:1/19 55:1/21 100:1/12"},
    {23, 1, 0, "1:1/1 3:1/6 9:1/18 10:1/7 55:1/21 100:1/12"},
    {23, 2, 0, "1:1/1 2:1/5 3:1/6 9:1/19 55:1/21 100:1/12"},
    {24, 1, 0, "1:1/1 3:1/6 9:1/18 10:1/7 55:1/21 56:1/22 57:1/23 58:1/24 100:1/12"},
    {24, 2, 0, "1:1/1 2:1/5 3:1/6 9:1/19 55:1/21 56:1/22 57:1/23 58:1/24 100:1/12"},
    {25, 1, 0, "1:1/1 3:1/6 4:1/8 5:1 9:1/18 10:1/7 55:1/21 100:1/12"},
    {25, 2, 0, "1:1/1 2:1/5 3:1/6 4:1/8 5:1 9:1/19 55:1/21 100:1/12"},
    {26, 0, 0, "1:1/1 2:1/5 3:1/6 5:1 10:1/7 55:1/21 59:1/27 100:1/12"},
    // W other than 1 or 2: no slots 2 and 10, slot 9 with code 19.
    {21, 0, 0, "1:1/1 3:1/6 5:1 9:1/19 55:1/21 100:1/12"},
    {22, 7, 0, "1:1/1 3:1/6 5:1 9:1/19 55:1/21 100:1/12"},
    {23, 3, 0, "1:1/1 3:1/6 9:1/19 55:1/21 100:1/12"},
    {24, -1, 0, "1:1/1 3:1/6 9:1/19 55:1/21 56:1/22 57:1/23 58:1/24 100:1/12"},
    {25, 9, 0, "1:1/1 3:1/6 4:1/8 5:1 9:1/19 55:1/21 100:1/12"},
};

// Slots whose force entry stays 1 although they are set.
bool keeps_force(int category, int slot)
{
    const bool wire_slot = (slot >= 11 && slot <= 16) || (slot >= 20 && slot <= 40);
    return slot == 5 || (category == 19 && wire_slot) || (category == 16 && (slot == 51 || slot == 54));
}

struct slot_expect {
    int status = 0;
    int code = 0;
};

std::vector<slot_expect> parse(const std::string& text)
{
    std::vector<slot_expect> out(101);
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        const std::size_t colon = item.find(':'), slash = item.find('/'), dash = item.find('-');
        const int first = std::stoi(item.substr(0, std::min(colon, dash)));
        const int last = dash < colon ? std::stoi(item.substr(dash + 1, colon - dash - 1)) : first;
        const int status = std::stoi(item.substr(colon + 1, slash - colon - 1));
        const int code = slash == std::string::npos ? 0 : std::stoi(item.substr(slash + 1));
        for (int s = first; s <= last; ++s) out[static_cast<std::size_t>(s)] = {status, code};
    }
    return out;
}

class SlotInit : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        mch_slots() = mch_slot_table{};
        PRM9() = machine_params{};
        machining_type() = 0;
    }
    // Every slot dirty, so that the clearing shows.
    static void dirty_slots()
    {
        for (mch_slot& s : mch_slots().slots) s = {7, 7, 7, 7};
    }
};

TEST_F(SlotInit, EveryCategoryRowSetsItsSlots)
{
    for (const expected_slots& r : kRows) {
        dirty_slots();
        PRM9().words[3] = r.w;
        machining_type() = r.machining;
        INITMC(r.category);
        const std::vector<slot_expect> want = parse(r.slots);
        for (int slot = 1; slot <= 100; ++slot) {
            const mch_slot& got = mch_slots().slots[static_cast<std::size_t>(slot)];
            const slot_expect& w = want[static_cast<std::size_t>(slot)];
            const std::string where = "category " + std::to_string(r.category) + " W " + std::to_string(r.w) +
                                      " slot " + std::to_string(slot);
            EXPECT_EQ(got.status, w.status) << where;
            EXPECT_EQ(got.value, w.code) << where;
            EXPECT_EQ(got.last, 0) << where;
            const int force = w.status != 0 && !keeps_force(r.category, slot) ? 2 : 1;
            EXPECT_EQ(got.force, force) << where;
        }
        EXPECT_TRUE(control::messages().empty()) << r.category;
    }
}

TEST_F(SlotInit, UnknownCategoryIsReportedAndLeavesTheStartValues)
{
    for (int category : {0, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 27, 100, -1}) {
        control::clear_messages();
        dirty_slots();
        INITMC(category);
        EXPECT_EQ(control::lines_of("erou1c"),
                  std::vector<std::string>{"INITMC, FOR CODE= " + std::to_string(category)})
            << category;
        EXPECT_EQ(control::texts_of("eroutc"), std::vector<std::string>{"NO INITIALIZATION IS DONE"}) << category;
        for (int slot = 1; slot <= 100; ++slot) {
            const mch_slot& s = mch_slots().slots[static_cast<std::size_t>(slot)];
            EXPECT_EQ(s.status, 0) << category << " slot " << slot;
            EXPECT_EQ(s.value, 0) << category << " slot " << slot;
            EXPECT_EQ(s.force, 1) << category << " slot " << slot;
        }
    }
}

// ---- UPDCMC and NXTCNT ------------------------------------------------------------------------

void append_line(const std::vector<word>& words)
{
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(words.size()), words.data(), status);
    lclos(status);
}

// A procedure block with segment 23 holding item 10 (a tool id) and item 47.
void append_procedure(int number)
{
    int status = 0;
    lcreat(1, status);
    const word head[3] = {12, number, 50};
    TPPUT(kWhereList, 3, kTypeInteger, head, status);
    int counter = 0;
    tp_segment_begin(kWhereListNumbered, 23, counter, status);
    const word tool = 5, entity = 6;
    tpptntl(kWhereList, 10, 1, kTypeInteger, &tool, counter, status);
    tpptntl(kWhereList, 47, 1, kTypeInteger, &entity, counter, status);
    tp_segment_end(kWhereListNumbered, counter, status);
    lclos(status);
}

void append_move(int number)
{
    append_line({2, number, 1, real_to_word(1.0f), real_to_word(2.0f), real_to_word(3.0f)});
}
void append_header() { append_line({0, 0}); }

int current_block_number()
{
    int status = 0;
    lacces(0, status);
    word words[2] = {0, 0};
    int count = 0;
    lgetd(2, words, count, status);
    lacces(0, status);
    return words[1];
}

TEST_F(SlotInit, UpdcmcRefusesABlockThatIsNotAProcedure)
{
    append_header();
    append_move(1);
    int status = 0;
    lacces(3, status);
    UPDCMC(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::texts_of("eroutc"), std::vector<std::string>{"UPDCMC-THE CURRENT BLOCK IS NOT A PROCEDURE"});
}

TEST_F(SlotInit, UpdcmcOnAProcedureBlock)
{
    append_header();
    append_procedure(1);
    int status = 0;
    lacces(3, status);
    UPDCMC(status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(control::texts_of("eroutc").empty());
}

TEST_F(SlotInit, NxtcntFindsTheNthBlockOfACode)
{
    append_header();
    append_procedure(1);
    append_move(2);
    append_procedure(3);
    append_move(4);
    append_procedure(5);
    int status = 9;
    NXTCNT(8, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_block_number(), 3);
    NXTCNT(8, 3, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_block_number(), 5) << "the last block is searched too";
    NXTCNT(2, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_block_number(), 2);
    EXPECT_TRUE(control::texts_of("eroutc").empty());
}

TEST_F(SlotInit, NxtcntReportsOnlyForAPositiveCount)
{
    append_header();
    append_procedure(1);
    append_move(2);
    int status = 0;
    NXTCNT(8, -2, status);
    EXPECT_LT(status, 0);
    EXPECT_TRUE(control::texts_of("eroutc").empty());
    NXTCNT(8, 2, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(control::texts_of("eroutc"), std::vector<std::string>{"NXTCNT, ERROR IN LIST"});
    control::reset();
    NXTCNT(8, 1, status);
    EXPECT_LT(status, 0) << "an empty list";
}

}  // namespace
