// The host's tool-path list: moving between lines, words of a line, sub-lists, counters and
// markers, as the module's list layer relies on them.
#include "host/list_test_support.hpp"

#include <climits>

using namespace list_test;
using vantu::control::toolpath_cursor;
using vantu::control::toolpath_line_at;

TEST(HostList, EmptyLevelAnswersEndsAndRefusesWords)
{
    fresh();
    struct row {
        int code;
        int status;
    };
    for (row r : {row{0, -1}, {1, -1}, {-1, -2}, {2, -1}, {3, -1}, {7, -2}})
        EXPECT_EQ(call_lacces(r.code), r.status) << "code " << r.code;
    int count = -5, status = 0;
    llines(count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(call_ljump(0), 0);
    word buffer[2];
    lgetd(2, buffer, count, status);
    EXPECT_EQ(status, -1);
    lputd(2, buffer, status);
    EXPECT_EQ(status, -1);
    int answer = 9;
    lchkd(1, answer);
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(vantu::control::toolpath_level(), 1);
    EXPECT_EQ(toolpath_cursor().lines, std::vector<int>{0});
}

TEST(HostList, LaccesMovesAndAnswersLineLength)
{
    // Lines of 2, 3 and 4 words; start 3 is the end of the level.
    struct row {
        int start;
        int code;
        int status;
        int line_after;
    };
    const row rows[] = {
        {0, 0, 2, 0},  {1, 0, 3, 1},  {3, 0, -1, 3},  {0, 1, 3, 1},  {1, 1, 4, 2},
        {2, 1, -1, 2}, {3, 1, -1, 3}, {0, -1, -2, 0}, {2, -1, 3, 1}, {3, -1, 4, 2},
        {1, 2, 2, 0},  {3, 2, 2, 0},  {0, 3, 4, 2},   {3, 3, 4, 2},  {1, 9, -2, 1},
    };
    for (const row& r : rows) {
        three_lines();
        place_cursor(r.start);
        EXPECT_EQ(call_lacces(r.code), r.status) << "start " << r.start << " code " << r.code;
        EXPECT_EQ(toolpath_cursor().lines.back(), r.line_after) << "start " << r.start << " code " << r.code;
    }
}

TEST(HostList, LjumpStopsAtEndsAndAnswersPosition)
{
    struct row {
        int start;
        int n;
        int answer;
        int line_after;
    };
    const row rows[] = {
        {1, -5, 1, 0},  {0, 0, 1, 0},  {2, 0, 3, 2},       {4, 0, -5, 4},       {4, 1, -5, 4},
        {3, 1, -5, 4},  {0, 2, 3, 2},  {2, 99, -5, 4},     {5, 0, -6, 5},       {5, 3, -6, 5},
        {5, -1, -5, 4}, {5, -2, 4, 3}, {2, INT_MIN, 1, 0}, {2, INT_MAX, -5, 4},
    };
    for (const row& r : rows) {
        lines_of_length({1, 1, 1, 1, 1});
        place_cursor(r.start);
        EXPECT_EQ(call_ljump(r.n), r.answer) << "start " << r.start << " n " << r.n;
        EXPECT_EQ(toolpath_cursor().lines.back(), r.line_after) << "start " << r.start << " n " << r.n;
    }
}

// The module's jump (tp_list_jump) built on ljump: 0 moved, 1 at the first block or an end,
// -2 when the position did not change, -1 when the service answers 0.
static int module_jump(int n)
{
    int before = call_ljump(0);
    if (before == 0) return -1;
    int after = call_ljump(n);
    if (after == before) return -2;
    if (after == 0) return -1;
    return after == 1 || after < 0 ? 1 : 0;
}

TEST(HostList, ModuleJumpGetsTheAnswersItReliesOn)
{
    lines_of_length({1, 1, 1, 1});
    place_cursor(1);
    EXPECT_EQ(module_jump(-5), 1);
    EXPECT_EQ(module_jump(-1), -2);
    EXPECT_EQ(module_jump(0), -2);
    EXPECT_EQ(module_jump(1), 0);
    EXPECT_EQ(module_jump(5), 1);
    EXPECT_EQ(module_jump(1), -2);
    fresh();
    EXPECT_EQ(module_jump(1), -1);
}

TEST(HostList, HeadReadSequenceAnswersTheCurrentLinesSize)
{
    // lacces 1, then -1 (or 3 at the last line): the second answer is the current line's size.
    three_lines();
    place_cursor(1);
    EXPECT_EQ(call_lacces(1), 4);
    EXPECT_EQ(call_lacces(-1), 3);
    place_cursor(2);
    EXPECT_EQ(call_lacces(1), -1);
    EXPECT_EQ(call_lacces(3), 4);
    EXPECT_EQ(toolpath_cursor().lines.back(), 2);
}

TEST(HostList, LcreatInsertsPerModeAndOpensTheNewLine)
{
    struct row {
        int start;
        int mode;
        int new_index;
    };
    for (row r : {row{1, -1, 1}, {1, 0, 2}, {1, 1, 3}, {3, -1, 3}, {3, 0, 3}, {2, 0, 3}}) {
        three_lines();
        place_cursor(r.start);
        int status = 9;
        lcreat(r.mode, status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(top_size(), 4u);
        EXPECT_TRUE(top_line(r.new_index).words.empty()) << "mode " << r.mode;
        EXPECT_EQ(toolpath_cursor().lines.back(), r.new_index);
        EXPECT_TRUE(vantu::control::toolpath_line_open());
    }
    three_lines();
    int status = 0;
    lcreat(5, status);
    EXPECT_EQ(status, -2);
    EXPECT_EQ(top_size(), 3u);
}

TEST(HostList, ModuleLineCreateAddsAfterTheCurrentLine)
{
    // tp_line_create: lacces 1; -1 gives lcreat 0, a line gives lcreat -1.
    for (int start : {0, 2, 3}) {
        three_lines();
        place_cursor(start);
        int status = call_lacces(1);
        lcreat(status == -1 ? 0 : -1, status);
        ASSERT_EQ(status, 0);
        int expected = start >= 2 ? 3 : start + 1;
        EXPECT_TRUE(top_line(expected).words.empty()) << "start " << start;
    }
}

TEST(HostList, LputdAppendsOnlyToTheOpenLine)
{
    fresh();
    append_line({1, 2});
    int status = 0;
    const word more[] = {3};
    lputd(1, more, status);
    EXPECT_EQ(status, -1) << "closed line";
    int lcreat_status = 0;
    lcreat(1, lcreat_status);
    lputd(1, more, status);
    EXPECT_EQ(status, 0);
    call_lacces(2);  // moving to another line closes the open one
    EXPECT_FALSE(vantu::control::toolpath_line_open());
    call_lacces(3);
    lputd(1, more, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(top_line(0).words, (std::vector<word>{1, 2}));
    EXPECT_EQ(top_line(1).words, (std::vector<word>{3}));
    lputd(-1, more, status);
    EXPECT_EQ(status, -1);
}

TEST(HostList, LineLengthIsBoundedAndLchkdSaysSo)
{
    fresh();
    int status = 0, answer = 0;
    lcreat(1, status);
    std::vector<word> block(vantu::kListMaxLineWords - 3, 7);
    lputd(static_cast<int>(block.size()), block.data(), status);
    ASSERT_EQ(status, 0);
    struct row {
        int n;
        int answer;
    };
    for (row r : {row{0, 1}, {3, 1}, {4, 0}, {-1, 0}, {vantu::kListMaxLineWords + 1, 0}}) {
        lchkd(r.n, answer);
        EXPECT_EQ(answer, r.answer) << "n " << r.n;
    }
    const word four[] = {1, 2, 3, 4};
    lputd(4, four, status);
    EXPECT_EQ(status, -3);
    lopclg(4, status);
    EXPECT_EQ(status, -3);
    EXPECT_EQ(top_line(0).words.size(), block.size());
    lputd(3, four, status);
    EXPECT_EQ(status, 0);
    lclos(status);
    lchkd(0, answer);
    EXPECT_EQ(answer, 0) << "no open line";
}

TEST(HostList, LgetdAndLskipStopAtTheLineEnds)
{
    fresh();
    append_line({10, 11, 12, 13, 14});
    call_lacces(0);
    word buffer[8] = {};
    int count = 0, status = 0;
    lgetd(2, buffer, count, status);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(buffer[1], 11);
    lskip(2, count, status);
    EXPECT_EQ(count, 2);
    lgetd(8, buffer, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(buffer[0], 14);
    lgetd(1, buffer, count, status);
    EXPECT_EQ(count, 0);
    lskip(-3, count, status);
    EXPECT_EQ(count, 3);
    lskip(INT_MIN, count, status);
    EXPECT_EQ(count, 2);
    lskip(INT_MAX, count, status);
    EXPECT_EQ(count, 5);
    lgetd(-1, buffer, count, status);
    EXPECT_EQ(status, -2);
    lgetd(1, nullptr, count, status);
    EXPECT_EQ(status, -2);
}

TEST(HostList, LjmpcgBackPatchesTheSegmentLengthWord)
{
    fresh();
    int status = 0;
    lcreat(1, status);
    const word head[] = {12, 0, 50, 24, 0};
    const word records[] = {20, 2, 0, 0, 150, 2, 0, 1};
    lputd(5, head, status);
    lputd(8, records, status);
    ljmpcg(9, 8, status);  // back over the records and the length word
    EXPECT_EQ(status, 0);
    EXPECT_EQ(top_line(0).words[4], 8);
    EXPECT_EQ(toolpath_cursor().word, 13);
    for (int bad : {0, 14, -1}) {
        ljmpcg(bad, 99, status);
        EXPECT_EQ(status, -2) << "back " << bad;
    }
    EXPECT_EQ(std::count(top_line(0).words.begin(), top_line(0).words.end(), 99), 0);
}

TEST(HostList, LchngdOverwritesAndLopclgInsertsAtTheCursor)
{
    fresh();
    append_line({1, 2, 3, 4});
    call_lacces(0);
    int count = 0, status = 0;
    lskip(1, count, status);
    const word two[] = {20, 30};
    lchngd(2, two, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(toolpath_cursor().word, 3);
    lchngd(2, two, status);
    EXPECT_EQ(status, -2) << "only one word left";
    EXPECT_EQ(top_line(0).words, (std::vector<word>{1, 20, 30, 4}));
    lskip(-2, count, status);
    lopclg(2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(top_line(0).words, (std::vector<word>{1, 0, 0, 20, 30, 4}));
    EXPECT_EQ(toolpath_cursor().word, 1);
    lopclg(-1, status);
    EXPECT_EQ(status, -2);
}

TEST(HostList, SublistsAreEnteredAtTheirEndAndLeftToTheParentPlace)
{
    three_lines();
    place_cursor(1);
    int count = 0, status = 0;
    lskip(2, count, status);
    subls1(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::toolpath_level(), 2);
    append_line({2, 0});
    append_line({2, 1});
    clsls1(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(toolpath_cursor(), (vantu::control::toolpath_position{{1}, 2}));
    subls1(status);
    EXPECT_EQ(toolpath_cursor().lines, (std::vector<int>{1, 2})) << "the end of the existing sub-list";
    EXPECT_EQ(top_line(1).sublist.size(), 2u);
    ltop(status);
    clsls1(status);
    EXPECT_EQ(status, -1) << "already at the top";
    place_cursor(3);
    subls1(status);
    EXPECT_EQ(status, -1) << "no current line";
}

TEST(HostList, NestingStopsAtTheDeepestLevel)
{
    fresh();
    int status = 0;
    for (int level = 1; level < vantu::kListMaxLevels; ++level) {
        append_line({level});
        newls1(level + 1, status);
        ASSERT_EQ(status, 0) << "level " << level;
    }
    append_line({10});
    subls1(status);
    EXPECT_EQ(status, -2);
    newls1(vantu::kListMaxLevels + 1, status);
    EXPECT_EQ(status, -2);
    int level = 0;
    gtlstn(1, level, status);
    EXPECT_EQ(level, vantu::kListMaxLevels);
    level = 3;
    gtlstn(2, level, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::toolpath_level(), 3);
    level = 4;
    gtlstn(2, level, status);
    EXPECT_EQ(status, -2) << "cannot go deeper this way";
    level = 1;
    gtlstn(3, level, status);
    EXPECT_EQ(status, -2);
    ltop(status);
    EXPECT_EQ(toolpath_cursor(), (vantu::control::toolpath_position{{0}, 1}));
}

TEST(HostList, NewListStartsItsCounterAtZeroAndKeepsExistingLines)
{
    fresh();
    append_line({12});
    int status = 0, number = 5;
    gsblkn(2, 2, number, status);
    newls1(3, status);
    EXPECT_EQ(status, -2) << "the new list is level 2";
    newls1(2, status);
    EXPECT_EQ(status, 0);
    gsblkn(1, 0, number, status);
    EXPECT_EQ(number, 0);
    append_line({2});
    clsls1(status);
    newls1(2, status);
    EXPECT_EQ(status, -3);
    EXPECT_EQ(top_line(0).sublist.size(), 1u);
}

TEST(HostList, CountersBelongToLevelsAndNumberTheBlocksWritten)
{
    fresh();
    append_line({12});
    int status = 0;
    newls1(2, status);
    for (int k = 0; k < 7; ++k) append_line({2, next_block_number()});
    clsls1(status);
    int number = -1;
    gsblkn(1, 2, number, status);  // the module writes this into item 20
    EXPECT_EQ(number, 7);
    gsblkn(2, 2, number, status);  // reopening sets the level's counter first
    subls1(status);
    append_line({2, next_block_number()});
    EXPECT_EQ(top_line(0).sublist.back().words[1], 7);
    gsblkn(1, 1, number, status);
    EXPECT_EQ(number, 0) << "the top level's counter is its own";
    struct row {
        int mode;
        int level;
        int number;
    };
    for (row r : {row{3, 1, 0}, {2, 1, -1}, {1, 11, 0}, {1, -1, 0}}) {
        gsblkn(r.mode, r.level, r.number, status);
        EXPECT_EQ(status, -2) << "mode " << r.mode << " level " << r.level;
    }
}

TEST(HostList, SublistLinkItemIsKeptByTheHost)
{
    fresh();
    int status = 0;
    lcreat(1, status);
    const word head[] = {12, 0, 50};
    lputd(3, head, status);
    put_zero_lst(status);
    EXPECT_EQ(status, 0);
    put_zero_lst(status);
    EXPECT_EQ(status, -2) << "one link per line";
    const std::vector<word> fresh_item = {12, 0, 50, 1, 9, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(top_line(0).words, fresh_item);
    lclos(status);
    put_zero_lst(status);
    EXPECT_EQ(status, -1);
    newls1(2, status);
    for (int k = 0; k < 3; ++k) append_line({2, next_block_number()});
    clsls1(status);
    EXPECT_EQ(std::vector<word>(top_line(0).words.begin() + 6, top_line(0).words.begin() + 9),
              (std::vector<word>{1, 3, 3}));
    call_lacces(0);
    lopclg(4, status);  // words inserted before the link move it along
    subls1(status);
    append_line({2, next_block_number()});
    clsls1(status);
    EXPECT_EQ(top_line(0).link_at, 10);
    EXPECT_EQ(top_line(0).words[11], 4);
}

TEST(HostList, LdeletRemovesLinesWithTheirSublists)
{
    lines_of_length({1, 2, 3, 4});
    place_cursor(1);
    int status = 0;
    subls1(status);
    append_line({9});
    clsls1(status);
    ldelet(2, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(top_size(), 2u);
    EXPECT_EQ(top_line(1).words.size(), 4u);
    EXPECT_EQ(toolpath_cursor(), (vantu::control::toolpath_position{{1}, 0}));
    for (int count : {0, 2}) {
        ldelet(count, status);
        EXPECT_EQ(status, -2) << "count " << count;
    }
    ldelet(1, status);
    EXPECT_EQ(toolpath_cursor().lines.back(), 1) << "the end of the level";
    ldelet(1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(top_size(), 1u);
}

TEST(HostList, MarkersReturnAcrossLevels)
{
    three_lines();
    place_cursor(2);
    int status = 0, count = 0;
    subls1(status);
    append_line({5, 6, 7});
    call_lacces(0);
    lskip(2, count, status);
    lmark(1, 4, status);
    EXPECT_EQ(status, 1);
    lclos(status);
    ltop(status);
    call_lacces(2);
    lmark(2, 4, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(toolpath_cursor(), (vantu::control::toolpath_position{{2, 0}, 2}));
    struct row {
        int mode;
        int marker;
        int status;
    };
    for (row r : {row{2, 5, -1}, {1, 0, -2}, {1, 101, -2}, {3, 4, -2}}) {
        lmark(r.mode, r.marker, status);
        EXPECT_EQ(status, r.status) << "mode " << r.mode << " marker " << r.marker;
    }
}

TEST(HostList, MarkersFollowTheirBlocks)
{
    lines_of_length({1, 1, 1, 1, 1});
    int status = 0;
    place_cursor(3);
    subls1(status);
    append_line({30});
    lmark(1, 1, status);  // in the sub-list of line 4
    ltop(status);
    place_cursor(4);
    lmark(1, 2, status);  // line 5
    place_cursor(2);
    lmark(1, 3, status);  // line 3
    place_cursor(0);
    lcreat(-1, status);  // a line before all of them
    auto markers = vantu::control::toolpath_markers();
    EXPECT_EQ(markers[1].lines, (std::vector<int>{4, 0}));
    EXPECT_EQ(markers[2].lines, std::vector<int>{5});
    EXPECT_EQ(markers[3].lines, std::vector<int>{3});
    place_cursor(3);
    ldelet(2, status);  // deletes the lines of markers 3 and 1
    markers = vantu::control::toolpath_markers();
    EXPECT_EQ(markers[1], (vantu::control::toolpath_position{{3}, 0})) << "passes to the next line";
    EXPECT_EQ(markers[3], (vantu::control::toolpath_position{{3}, 0}));
    EXPECT_EQ(markers[2].lines, std::vector<int>{3});
    ldelet(1, status);  // the last line: its markers pass to the end of the level
    lmark(2, 2, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(toolpath_cursor().lines, std::vector<int>{3});
    EXPECT_EQ(call_lacces(0), -1);
}

TEST(HostList, LdeletMinusOneLeavesTheLineBefore)
{
    lines_of_length({1, 2, 3});
    place_cursor(1);
    int status = 0;
    ldelet(-1, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(top_size(), 2u);
    EXPECT_EQ(toolpath_cursor(), (vantu::control::toolpath_position{{0}, 0}));
    ldelet(-1, status);  // the first line has none before it: the cursor goes to the next
    EXPECT_EQ(toolpath_cursor(), (vantu::control::toolpath_position{{0}, 0}));
    EXPECT_EQ(top_line(0).words.size(), 3u);
    ldelet(-2, status);
    EXPECT_EQ(status, -2);
}
