// The split of a procedure by tool: pieces with their tools, feeds, texts and sub-lists, the
// procedure after them left whole, and every refusal leaving the tool path as it was.
#include "driver/copy_current_proc.hpp"
#include "driver/mch_slot_init.hpp"
#include "driver/proc_block_support.hpp"
#include "edit/time/divide_by_tool.hpp"
#include "host/control.hpp"
#include "host/control/assoc.hpp"
#include "host/control/entities.hpp"
#include "host/control/nc.hpp"
#include "host/control/tp_registry.hpp"
#include "host/control/tp_tables.hpp"
#include "host/vantu.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using proc_test::r;
using words = std::vector<word>;
constexpr word kA = 11, kB = 12, kC = 13, kOutside = 99;
constexpr const char* kText = "POCKET WALLS LEFT XY";

words tool(int number, word id) { return {1, number, 100, 0, id}; }
words feed(int number) { return {1, number, 1, 0, 300}; }
words line(int number) { return {2, number, r(float(number)), 0, 0}; }
words marker(int number) { return {99, number, 5, 0}; }

words text_words(const std::string& text)
{
    words w;
    for (std::size_t i = 0; i < 20; i += 4) w.push_back(text4_to_word(text.substr(i, 4)));
    return w;
}

// A procedure of tool set kind 5 (tools A, B, C at feed percentages 100, 50, 25 and spin
// percentages 100, 80, 60) with base feed 400, spin 1000 and tool A, its sub-list the blocks.
// Its group key is 5 and its running number `running`.
void add_procedure(int number, const std::vector<words>& blocks, word running)
{
    proc_test::proc_block b;
    b.number = number;
    words set(10, -1), feeds(10, 100), spins(10, 100);
    set[0] = kA, set[1] = kB, set[2] = kC;
    feeds[1] = 50, feeds[2] = 25, spins[1] = 80, spins[2] = 60;
    b.global(20, {static_cast<word>(blocks.size())}).global(21, {1}).global(29, text_words(kText), 8);
    b.global(62, {5}).global(125, set).global(126, {0}).global(127, feeds).global(128, spins);
    b.global(120, {5}).global(121, {running});
    proc_test::proc_block::record(b.seg23, 1, {r(400.0f)}, 1);
    proc_test::proc_block::record(b.seg23, 6, {1000}, 0);
    proc_test::proc_block::record(b.seg23, 10, {kA}, 0);
    const words w = b.words();
    int status = 0;
    lcreat(1, status);
    lputd(static_cast<int>(w.size()), w.data(), status);
    put_zero_lst(status);
    lclos(status);
    newls1(2, status);
    int counter = static_cast<int>(blocks.size());
    gsblkn(2, 2, counter, status);
    for (const words& block : blocks) {
        lcreat(1, status);
        lputd(static_cast<int>(block.size()), block.data(), status);
        lclos(status);
    }
    clsls1(status);
    ASSERT_EQ(status, 0);
}

// A tool path: its header, the procedure to divide (number 1) and the one after it (number 2).
void build(const std::vector<words>& blocks)
{
    vantu::control::reset();
    vantu::control::clear_messages();
    int status = 0;
    const words header{0, 0};
    lcreat(1, status);
    lputd(2, header.data(), status);
    lclos(status);
    add_procedure(1, blocks, 1);
    add_procedure(2, {tool(1, kA), line(2)}, 7);
    int counter = 3;
    gsblkn(2, 1, counter, status);
    // The tools are entities, linked to the procedures that use them as the motion output does.
    while (vantu::control::add_point({}) < kC) {}
    for (word id : {kA, kB, kC}) asattl(id, -1, 1, status);
    asattl(kA, -1, 2, status);
}

// Per procedure block: "number:" and its sub-list as "type/number" texts.
std::vector<std::string> procedures()
{
    std::vector<std::string> out;
    for (const auto& l : vantu::control::toolpath_top()) {
        if (l.words.at(0) != 12) continue;
        std::string text = std::to_string(l.words.at(1)) + ":";
        for (const auto& s : l.sublist)
            text += " " + std::to_string(s.words.at(0)) + "/" + std::to_string(s.words.at(1));
        out.push_back(text);
    }
    return out;
}

// The first word of item (group, code) of procedure n.
word item(int n, int group, int code)
{
    int status = 0, count = 0, type = 0;
    NXTCNT(8, n, status);
    words values(10, 0);
    TPGETC(kWhereList, group, code, count, type, values.data(), 10, status);
    return values[0];
}

std::string text_of(int n)
{
    int status = 0;
    NXTCNT(8, n, status);
    char text[20];
    int count = 0;
    GTTEXT(kWhereList, 0, 24, 29, 20, count, text, status);
    return std::string(text, 20);
}

// The last tool change is the sub-list's last block.
const std::vector<words> kThreeTools = {tool(1, kA), line(2), line(3), marker(4),  feed(5),
                                        tool(6, kB), line(7), line(8), tool(9, kC)};

TEST(DivideByTool, ThreeToolsGiveThreePiecesAndTheNextProcedureStaysWhole)
{
    build(kThreeTools);
    int status = 0;
    divide_by_tool(1, status);
    EXPECT_EQ(status, 1);
    // The copy keeps the marker before its tool change; the FEED just before it goes.
    EXPECT_EQ(procedures(), (std::vector<std::string>{"1: 1/1 2/2 2/3 99/4 1/5", "3: 99/4 1/6 2/7 2/8", "4: 99/4 1/9",
                                                      "2: 1/1 2/2"}));
    EXPECT_EQ(tp_procedure_count(), 4);
    const std::vector<std::string> texts = {"1 of 3 POCKET WALLS ", "2 of 3 POCKET WALLS ", "3 of 3 POCKET WALLS "};
    // Piece, tool, base feed, spin: the first keeps its machine table.
    const struct {
        int piece;
        word tool;
        float feed;
        word spin;
    } rows[] = {{1, kA, 400.0f, 1000}, {2, kB, 200.0f, 800}, {3, kC, 100.0f, 600}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.piece);
        EXPECT_EQ(text_of(row.piece), texts[static_cast<std::size_t>(row.piece - 1)]);
        EXPECT_EQ(item(row.piece, 23, 10), row.tool);
        EXPECT_FLOAT_EQ(word_to_real(item(row.piece, 23, 1)), row.feed);
        EXPECT_EQ(item(row.piece, 23, 6), row.spin);
        EXPECT_EQ(item(row.piece, 24, 21), 2);
        EXPECT_EQ(item(row.piece, 24, 125), row.piece == 1 ? kA : -1);
    }
    EXPECT_EQ(text_of(4), kText);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(item(n, 24, 121), n) << "running number of procedure " << n;
    // Each piece stays linked to its own tool only.
    using link = vantu::control::assoc_link;
    EXPECT_EQ(vantu::control::assoc_links(), (std::vector<link>{{kA, -1, 1}, {kA, -1, 2}, {kB, -1, 3}, {kC, -1, 4}}));
}

// The copy repeats the procedure's sub-list, a line's own sub-list below it included, under the
// top list's next block number, right after the original.
TEST(DivideByTool, TheCopyRepeatsNestedSubListsUnderTheNextBlockNumber)
{
    build({tool(1, kA), line(2)});
    int status = 0;
    NXTCNT(8, 1, status);
    subls1(status);
    const words owner{99, 3, 7, 0}, nested{2, 1, r(5.0f), 0, 0};
    lcreat(1, status);
    lputd(4, owner.data(), status);
    put_zero_lst(status);
    lclos(status);
    newls1(3, status);
    lcreat(1, status);
    lputd(5, nested.data(), status);
    lclos(status);
    clsls1(status);
    clsls1(status);
    ASSERT_EQ(status, 0);
    COPY_CURRENT_PROC(1, status);
    EXPECT_EQ(status, 0);
    const auto& top = vantu::control::toolpath_top();
    ASSERT_EQ(top.size(), 4u);
    EXPECT_EQ(top[2].words.at(1), 3);
    EXPECT_EQ(top[2].sublist, top[1].sublist);
    EXPECT_EQ(top[2].sublist.at(2).sublist.at(0).words, nested);
}

// Every refusal leaves the procedures, their blocks and texts as they were.
TEST(DivideByTool, RefusalsChangeNothing)
{
    std::vector<words> eleven = {tool(1, kA)};
    for (int k = 0; k < 10; ++k) eleven.push_back(tool(2 + k, k % 2 ? kA : kB));
    const struct {
        const char* name;
        std::vector<words> blocks;
        const char* fault;
        int status;
        std::vector<std::string> messages;
    } rows[] = {
        {"single tool", {tool(1, kA), line(2)}, nullptr, 7, {"317/33"}},
        {"tool outside the set",
         {tool(1, kA), line(2), tool(3, kB), line(4), tool(5, kOutside)},
         nullptr,
         -1,
         {"317/34"}},
        {"eleven pieces", eleven, nullptr, -1, {"317/34"}},
        {"copy fails", kThreeTools, "newls1", -1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        build(row.blocks);
        const auto before = vantu::control::toolpath_top();
        if (row.fault) vantu::control::inject_fault(row.fault, 1, 1, -1);
        int status = 7;
        divide_by_tool(1, status);
        vantu::control::clear_faults();
        EXPECT_EQ(status, row.status);
        EXPECT_EQ(vantu::control::texts_of("msg_mdls"), row.messages);
        EXPECT_TRUE(vantu::control::toolpath_top() == before) << vantu::control::dump_toolpath();
        EXPECT_EQ(vantu::control::assoc_links().size(), 4u);
    }
}

// The running numbers go on into the tool paths after the current one, for the procedures of the
// same group key that every column of the test lets through; a failed read there ends the walk,
// and the current tool path's tables are loaded again either way.
TEST(DivideByTool, RunningNumbersFollowOnInTheToolPathsAfterTheCurrentOne)
{
    namespace control = vantu::control;
    // Per procedure of the third tool path: the item that sets the tested column (0: none), its
    // value, and the running number it gets without a fault (0: left alone).
    const struct {
        int id, code;
        word value, running;
    } procs[] = {
        {11, 0, 0, 5},   {12, 120, 6, 0},  // another group key
        {13, 44, 2, 0},                    // state column: suspended
        {14, 40, 4, 0},                    // level 4
        {15, 34, 53, 0},                   // NC function 53
        {16, 22, 1, 0},                    // HAS SUBROUTINES
        {17, 45, 3, 0},                    // a transformation
        {18, 45, 0, 6},  {19, 44, 3, 7},   // no transformation; interrupted is not suspended
    };
    for (const char* fault : {static_cast<const char*>(nullptr), "get_tp_proc_ids"}) {
        SCOPED_TRACE(fault ? fault : "no fault");
        build(kThreeTools);
        control::declare_tool_path(10, {}, {50});
        control::declare_tool_path(20, {}, {60});
        control::declare_tool_path(30, {}, {11, 12, 13, 14, 15, 16, 17, 18, 19});
        control::set_current_tool_path(20);
        for (int id : {50, 11, 12, 13, 14, 15, 16, 17, 18, 19}) {
            control::set_proc_param(id, 9, 4, 120, {5});
            control::set_proc_param(id, 9, 4, 121, {0});
        }
        for (const auto& p : procs)
            if (p.code != 0) control::set_proc_param(p.id, 9, 4, p.code, {p.value});
        if (fault) control::inject_fault(fault, 1, 1, -1);
        int status = 0;
        divide_by_tool(1, status);
        control::clear_faults();
        EXPECT_EQ(status, 1);
        for (const auto& p : procs) {
            word value = -9;
            int count = 0, read = 0;
            gs_param(kParamGetInteger, p.id, 9, 4, 121, &value, 1, count, read);
            EXPECT_EQ(value, fault ? 0 : p.running) << "procedure " << p.id;
        }
        word before = -9;
        int count = 0, read = 0;
        gs_param(kParamGetInteger, 50, 9, 4, 121, &before, 1, count, read);
        EXPECT_EQ(before, 0) << "a tool path before the current one is left alone";
        EXPECT_EQ(control::loaded_tool_path(), -1);
    }
}

}  // namespace
