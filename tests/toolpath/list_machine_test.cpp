// List access, item search, sub-lists, block readers, the machine table and slots, and the NC
// function names.
#include "nc_services/fnc_names.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

#include <cstring>

using namespace tp_test;

namespace {

// A procedure block: type 12, number, procedure type, segment 24 with item 20 (block count) and
// item 130 (option word), then the sub-list link item.
void procedure_block(int number)
{
    int status = 0;
    lcreat(1, status);
    const word head[3] = {12, number, 50};
    TPPUT(kWhereList, 3, kTypeInteger, head, status);
    int counter = 0;
    tp_segment_begin(kWhereListNumbered, 24, counter, status);
    const word zero = 0, option = 129;
    tpptntl(kWhereList, 20, 1, kTypeInteger, &zero, counter, status);
    tpptntl(kWhereList, 130, 1, kTypeInteger, &option, counter, status);
    tp_segment_end(kWhereListNumbered, counter, status);
    put_zero_lst(status);
    lclos(status);
    lacces(0, status);
}

void reset_module_state()
{
    PRM9() = machine_params{};
    mch_table_ext() = machine_table_extra{};
    mch_slots() = mch_slot_table{};
    BLSK() = sublist_stack{};
}

}  // namespace

TEST(ListAccess, JumpsAndBlockClasses)
{
    fresh();
    for (int i = 0; i < 4; ++i) append_block({2, i, r(0), r(0), r(0)});
    int status = 0, answer = 0;
    ljump(-2, answer);  // block 2
    tp_list_jump(-5, status);
    EXPECT_EQ(status, 1);
    tp_list_jump(0, status);
    EXPECT_EQ(status, -2);
    tp_list_jump(-1, status);
    EXPECT_EQ(status, -2) << "from the first block";
    tp_list_jump(2, status);
    EXPECT_EQ(status, 0);

    struct row {
        int type;
        int klass;
    };
    for (row c : {row{0, 0}, {40, 0}, {1, 1}, {227, 2}, {99, 3}, {4, 4}, {6, 6}, {36, 7}, {12, 8}}) {
        int klass = 9;
        PLSUPR(c.type, klass);
        EXPECT_EQ(klass, c.klass) << c.type;
    }
    int klass = 0;
    PLSUPR(15, klass);
    EXPECT_EQ(klass, -5);
    EXPECT_EQ(errors1(), std::vector<std::string>{"PLSUPR - ILLEGAL BLOCK TYPE 15"});
}

TEST(ListAccess, DeleteLeavesNextOrPrevious)
{
    fresh();
    for (int i = 0; i < 3; ++i) append_block({4, i, 0});
    int status = 0, answer = 0;
    ljump(-1, answer);  // the middle block
    tp_list_delete(-1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(current_line_words()[1], 0) << "left before the deleted block";
    tp_list_delete(1, status);
    EXPECT_EQ(current_line_words()[1], 2) << "left on the next block";
    tp_list_delete(5, status);
    EXPECT_EQ(status, -1);
}

TEST(ItemSearch, FindReadChangeAndMissing)
{
    fresh();
    procedure_block(3);
    int status = 0, count = 0, type = 0;
    word value = 0;
    TPGETN(kWhereList, 24, 130, count, type, &value, 1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, 129);
    TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &value, 1, status);
    EXPECT_EQ(value, 3);
    TPGETN(kWhereList, kGroupHead, 35, count, type, &value, 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "TPGETN, ERROR IN CODE");

    vantu::control::clear_messages();
    PLFIND(24, 77, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors1(), (std::vector<std::string>{"PLFIND, INFINITE LOOP, GROUP = 24", "CODE = 77"}));
    vantu::control::clear_messages();
    plfind_quiet(24, 77, status);
    EXPECT_EQ(status, 1);
    TPGETC(kWhereList, 24, 77, count, type, &value, 1, status);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(errors1().empty());
    word two[2] = {0, 0};
    TPGETN(kWhereEntity, 24, 20, count, type, two, 2, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "TPGETN, WHERE=1 IS NOT PERMITTED");
}

TEST(ItemSearch, TextsFitTheCallersField)
{
    fresh();
    int status = 0;
    lcreat(1, status);
    const word head[3] = {12, 1, 50};
    TPPUT(kWhereList, 3, kTypeInteger, head, status);
    int counter = 0;
    tp_segment_begin(kWhereListNumbered, 24, counter, status);
    word text[5];
    std::memcpy(text, "ABCDEFGHIJKLMNOPQRST", 20);
    tpptntl(kWhereList, kTextCode, 5, kTypeText, text, counter, status);
    tp_segment_end(kWhereListNumbered, counter, status);
    lclos(status);
    char field[8];
    std::memset(field, '#', sizeof field);
    int count = 0;
    GTTEXT(kWhereList, 1, 24, kTextCode, 6, count, field, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::string(field, 8), "ABCDEF##") << "never past the field's length";
    EXPECT_EQ(count, 20);
    GTTEXT(kWhereList, 1, 25, kTextCode, 6, count, field, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "GTTEXT, ERROR IN GROUPC OR IN CODE");
}

TEST(Sublist, CloseWritesCountAndReopenContinuesNumbering)
{
    fresh();
    reset_module_state();
    procedure_block(1);
    int status = 0;
    tp_sublist_open(status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(BLSK().words[0], 1);
    EXPECT_EQ(BLSK().words[1], 1);
    for (int i = 0; i < 7; ++i) {
        PRM9().words[machine_params::kCoolant] = i + 1;
        mch_slots().slots[3].status = kSlotComputed;
        PT1MCH(1, 3, status);
    }
    tp_sublist_close(status);
    ASSERT_EQ(status, 0);
    int count = 0, type = 0;
    word blocks = 0;
    TPGETN(kWhereList, 24, 20, count, type, &blocks, 1, status);
    EXPECT_EQ(blocks, 7);
    tp_sublist_open(status);
    PRM9().words[machine_params::kCoolant] = 99;
    PT1MCH(1, 3, status);
    EXPECT_EQ(current_line_words()[1], 7) << "the next block is numbered 7";
    int level = 0;
    gtlstn(1, level, status);
    EXPECT_EQ(level, 2);
}

TEST(Sublist, StackRefusesLevelTen)
{
    fresh();
    reset_module_state();
    int status = 0;
    for (int level = 1; level < 10; ++level) {
        append_block({4, level, 0});
        newls1(level + 1, status);
        ASSERT_EQ(status, 0);
    }
    append_block({4, 10, 0});
    sublist_stack_set(5, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(BLSK().words[0], 0) << "nothing written";
}

TEST(BlockReaders, LayoutsReadFieldByField)
{
    fresh();
    int status = 0, size = 0, type = 0, klass = 0;
    append_block({27,   4,    r(1), r(2), r(3), r(0), r(0), r(1), 5,    r(4), r(5),
                  r(6), r(1), r(0), r(0), 6,    r(7), r(8), r(9), r(0), r(1), r(0)});
    tp_block_head_read(kWhereList, size, type, klass, status);
    EXPECT_EQ(size, 22);
    tp_line_point p;
    const point3 expected[3] = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};
    for (int i = 0; i < 3; ++i) {
        tpread_lines(kWhereList, type, size, p, status);
        EXPECT_EQ(p.points, 3);
        EXPECT_EQ(p.point, expected[i]);
    }
    EXPECT_EQ(p.direction, (point3{0, 1, 0}));

    std::vector<word> text_block{4, 9, 81};
    for (int i = 0; i < 21; ++i) text_block.push_back(text4_to_word("abcd"));
    append_block(text_block);
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_text_block t;
    tpread_text(kWhereList, t, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(t.count, 81);
    EXPECT_EQ(t.text.size(), 80u);
    EXPECT_EQ(t.text.substr(76), "abcd");

    append_block({31, 2, r(1), r(2), r(3), 8});
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_drill_loc_block d;
    tpread_drill_loc(kWhereList, size, d, status);
    EXPECT_EQ(d.direction, kDefaultDirection);
    EXPECT_EQ(d.value, 8);

    append_block({33, 3, r(1.5f)});
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_z_pair_block z{0, 7, 7};
    tpread_delz_setting(kWhereList, size, z, status);
    EXPECT_EQ(z.first, 1.5f);
    EXPECT_EQ(z.second, 0.0f);

    append_block({99, 6, 3, r(2.5f)});
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_marker_block m;
    tpread_marker(kWhereList, size, m, status);
    EXPECT_EQ(m.code, 3);
    EXPECT_EQ(m.z, 2.5f);

    append_block({3, 1, 1, r(0.5f), r(1.0f), r(2), r(3)});  // an arc cut short
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_arc_block a;
    tpread_arc(kWhereList, type, a, status);
    EXPECT_EQ(status, -2);
}

TEST(MachineSlots, FeedSpindleAndForce)
{
    fresh();
    reset_module_state();
    PRM9().set_real(machine_params::kBaseFeed, 200.0f);
    PRM9().words[machine_params::kFeedPercent2] = 50;
    mch_slots().slots[1] = {kSlotComputed, 2, 0, 0};
    int status = 0, lines = 0;
    PUTMCH(status);
    EXPECT_EQ(status, 0);
    llines(lines);
    ASSERT_EQ(lines, 1);
    std::vector<word> block = current_line_words();
    ASSERT_EQ(block.size(), 5u);
    EXPECT_EQ(block[0], 1);
    EXPECT_EQ(block[2], 1);
    EXPECT_EQ(block[3], 0);
    EXPECT_EQ(word_to_real(block[4]), 100.0f);
    PUTMCH(status);
    llines(lines);
    EXPECT_EQ(lines, 1) << "no change, nothing written";
    mch_slots().slots[1].force = kForceWrite;
    PUTMCH(status);
    llines(lines);
    EXPECT_EQ(lines, 2);

    mch_slots().slots[1] = {kSlotComputed, 27, 0, 0};
    PRM9().set_real(machine_params::kStoredFeed, -2.0f);
    PUTMCH(status);
    llines(lines);
    EXPECT_EQ(lines, 2) << "no stored feed";

    struct row {
        int direction;
        int written;
    };
    for (row d : {row{2, -1000}, {0, 0}, {1, 1000}}) {
        PRM9().words[machine_params::kSpindleSpeed] = 1000;
        PRM9().words[machine_params::kDirection] = d.direction;
        mch_slots().slots[2] = {kSlotComputed, 0, 0, kForceWrite};
        PT1MCH(1, 2, status);
        EXPECT_EQ(current_line_words()[4], d.written) << "direction " << d.direction;
    }
    int is_real = 0, value = 0;
    float real = 0;
    MCHVAL(5, is_real, value, real, status);
    EXPECT_EQ(value, 1000);
    MCHVAL(99, is_real, value, real, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors().back(), "MCHVAL, ERROR IN SUBTYP");
}

TEST(MachineTable, WriterOrderAndReader)
{
    struct row {
        int m;
        std::vector<int> items;
    };
    const row rows[] = {
        {24, {0, 1, 2, 6, 7, 8, 10, 47, 3, 48, 49, 50, 9}},
        {4, {0, 1, 2, 4, 5, 51, 52, 6, 7, 8, 47, 53, 54}},
        {1, {0, 1, 2, 4, 5, 51, 52, 6, 7, 8, 10, 47, 11, 53, 54}},
        {16, {0, 10, 47, 12, 14}},
        {26, {0, 1, 2, 6, 7, 8, 10, 47, 11, 55, 56, 57, 61, 58, 62, 59, 63, 60, 64, 53}},
    };
    for (const row& rw : rows) {
        fresh();
        reset_module_state();
        PRM9().words[machine_params::kCutterComp] = 5;
        int status = 0, length = 0;
        lcreat(1, status);
        wmchtb(kWhereListNumbered, rw.m, length, status);
        EXPECT_EQ(status, 0);
        const std::vector<word> line = current_line_words();
        ASSERT_EQ(length, 4 * static_cast<int>(rw.items.size()));
        EXPECT_EQ(line[1], length) << "length back-patched";
        std::vector<int> items;
        for (std::size_t at = 2; at + 3 < line.size() + 1; at += 4) items.push_back(line[at]);
        EXPECT_EQ(items, rw.items) << "machine-parameter type " << rw.m;
        EXPECT_EQ(line[5], rw.m) << "item 0 holds the type";
    }
    // Reading back: a list block whose top level holds segment 23.
    fresh();
    reset_module_state();
    int status = 0;
    lcreat(1, status);
    const word head[3] = {12, 1, 50};
    TPPUT(kWhereList, 3, kTypeInteger, head, status);
    PRM9().words[machine_params::kSpindleSpeed] = 1234;
    PRM9().words[machine_params::kCutterComp] = 5;
    int length = 0;
    wmchtb(kWhereListNumbered, 1, length, status);
    lclos(status);
    PRM9() = machine_params{};
    RMCHTB(kWhereList, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(PRM9().words[machine_params::kSpindleSpeed], 1234);
    EXPECT_EQ(PRM9().words[machine_params::kCutterComp], 1) << "stored as 0/1";
    EXPECT_EQ(mch_table_ext().machine_type, 1);
}

TEST(MachineTable, TemplateTableWithDeftypMinus1Loads)
{
    fresh();
    reset_module_state();
    using vantu::control::template_word;
    vantu::control::template_open("TPL", false, {{0, 6}, {0, 2}, {0, -1}, {0, 800}, {0, 1}, {0, 2}, {0, -1}, {0, 150}});
    int length = 8, status = 0;
    RMCHTB(kWhereTemplateRead, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(PRM9().words[machine_params::kSpindleSpeed], 800);
    EXPECT_EQ(PRM9().real(machine_params::kBaseFeed), 150.0f) << "item 1 read as a real by NTBDEF";
}

TEST(FunctionNames, TableAndUnknownCode)
{
    fresh();
    struct row {
        int code;
        const char* name;
    };
    for (row n : {row{1, "PROFILE "}, {3, "POCKET  "}, {45, "NW_CD3  "}, {50, "DRELAN  "}, {100, "CNVERT  "}}) {
        std::string name;
        FNCNAM(n.code, name);
        EXPECT_EQ(name, n.name) << n.code;
    }
    std::string name = "x";
    FNCNAM(57, name);
    EXPECT_EQ(name, "        ");
    EXPECT_EQ(errors(), std::vector<std::string>{"FNCNAM, ERROR IN CODE"});
    get_nc_function_name_c(50, name);
    EXPECT_EQ(name, "DRELAN");
}
