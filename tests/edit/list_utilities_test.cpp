// The list utilities: a point string broken into line blocks between markers 19 and 20, the
// LAYER bracket around the list position, a block number ahead, and the procedure's text items
// overwritten within their lengths.
#include "edit/editor/list_utilities.hpp"
#include "edit_list_support.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_item_search.hpp"

#include <gtest/gtest.h>

namespace {

using namespace edit_test;
namespace control = vantu::control;
using strings = std::vector<std::string>;

std::string last_error()
{
    const strings errors = control::lines_of("eroutc");
    return errors.empty() ? "" : errors.back();
}

TEST(ListUtilities, BrkstrBreaksAStringIntoLineBlocksBetweenItsMarkers)
{
    const struct {
        int type, points, mode, line_type, end_line;  // end_line: 0-based line the list ends on
    } rows[] = {{7, 1, 1, 2, 2}, {7, 1, 2, 2, 2}, {7, 3, 2, 2, 4}, {27, 2, 1, 22, 2}, {227, 4, 2, 222, 5}};
    for (const auto& row : rows) {
        control::reset();
        line(5);
        string(row.type, 10, row.points);
        line(30);
        go_to_line(1);
        int status = 9;
        BRKSTR(row.mode, status);
        ASSERT_EQ(status, 0) << row.type;
        strings expected = {"2/5", "99/0:19"};  // the markers take the list's next numbers
        for (int k = 0; k < row.points; ++k)
            expected.push_back(std::to_string(row.line_type) + "/" + std::to_string(10 + k));
        expected.insert(expected.end(), {"99/1:20", "2/30"});
        EXPECT_EQ(blocks(), expected) << row.type << "/" << row.points;
        const auto& last = control::toolpath_top().at(static_cast<std::size_t>(1 + row.points)).words;
        EXPECT_FLOAT_EQ(word_to_real(last[2]), 9.0f + row.points) << "the point goes with its number";
        if (row.type != 7) {
            EXPECT_FLOAT_EQ(word_to_real(last[7]), -1.0f) << "and its direction";
        }
        EXPECT_EQ(current_line(), row.end_line) << row.type << "/" << row.points << " mode " << row.mode;
    }

    const struct {
        void (*build)();
        const char* fault;
        int status;
        const char* message;
    } refused[] = {
        {[] { line(4); }, nullptr, -1, "BRKSTR,THE CURRENT BLOCK IS NOT A STRING"},
        {[] { string(7, 4, 0); }, nullptr, 0, ""},
        {[] { string(7, 4, 2); }, "lmark", -1, "BRKSTR, CANNOT SET A MARKER"},
        {[] { string(7, 4, 2); }, "lcreat", -1, "BRKSTR, ERRORS IN LIST"},
    };
    for (const auto& row : refused) {
        control::reset();
        row.build();
        const strings before = blocks();
        if (row.fault) control::inject_fault(row.fault, 1, 1, -5);
        int status = 9;
        BRKSTR(1, status);
        EXPECT_EQ(status, row.status) << row.message;
        EXPECT_EQ(last_error(), row.message);
        EXPECT_EQ(blocks(), before) << row.message << ": nothing written";
    }
}

TEST(ListUtilities, ChklyrAndLglkeyAnswerAndLeaveTheListWhereItWas)
{
    control::reset();
    // 0: line 1, 1: LAYER opens, 2: line 3, 3: PASS opens, 4: line 5, 5: LAYER closes, 6: line 7
    line(1);
    marker(3, 2, 5.0f);
    line(3);
    marker(5, 4);
    line(5);
    marker(4, 6);
    line(7);
    const struct {
        int at, in_layer, key, key_found;
    } rows[] = {{0, 0, 1, 1}, {1, 1, 7, 1}, {2, 1, 1, 0}, {3, 1, 2, 0}, {4, 1, 5, 1}, {5, 0, 6, 1}, {6, 0, 8, 0}};
    for (const auto& row : rows) {
        go_to_line(row.at);
        int status = 9, found = 9;
        EXPECT_EQ(CHKLYR(status), row.in_layer) << row.at;
        EXPECT_EQ(current_line(), row.at);
        found = LGLKEY(row.key, status);
        EXPECT_EQ(found, row.key_found) << row.at << " key " << row.key;
        EXPECT_EQ(status, 0);
        EXPECT_EQ(current_line(), row.at);
    }
    int status = 0;
    control::inject_fault("lmark", 1, 1, -2);
    EXPECT_EQ(CHKLYR(status), 0);
    EXPECT_EQ(status, -3);
    EXPECT_EQ(last_error(), "CHKLYR,ERRORS IN LIST");
    control::inject_fault("lgetd", 1, 1, -1);
    EXPECT_EQ(LGLKEY(7, status), 0);
    EXPECT_EQ(status, -3);
    EXPECT_EQ(last_error(), "LGLKEY,ERRORS IN LIST");
}

TEST(ListUtilities, ChtextWritesAtMostItsCharactersBlankPadded)
{
    const struct {
        int where, group, code;
        const char* text;
        int text_words, status;
        const char* stored;  // item 29 or 30 afterwards, or the message
    } rows[] = {
        {2, 24, 29, "POCKET ONE", 5, 0, "POCKET ONE"},
        {2, 24, 30, "TABLE NAME LONG", 5, 0, "TABLE NAME L"},
        {2, 24, 29, "SHORT TEXT HERE", 3, 0, "SHORT TEXT H"},  // an item of 3 words holds 12
        {2, 24, 29, "TOO MANY", 6, -1, "CHTEXT, ITEM LONGER THAN ITS LIMIT"},
        {2, 24, 31, "X", 5, -1, "CHTEXT, INCORRECT CODES"},
        {1, 24, 29, "X", 5, -1, "CHTEXT, WHERE=1 IS NOT PERMITTED"},
    };
    for (const auto& row : rows) {
        control::reset();
        // A procedure block whose items 29 and 30 hold the words "ABCD".
        int status = 0, counter = 0;
        lcreat(1, status);
        const word head[3] = {12, 1, 50};
        TPPUT(kWhereList, 3, kTypeInteger, head, status);
        tp_segment_begin(kWhereListNumbered, 24, counter, status);
        const std::vector<word> abcd(8, text4_to_word("ABCD"));
        tpptntl(kWhereList, kTextCode, row.text_words, kTypeText, abcd.data(), counter, status);
        tpptntl(kWhereList, kTableNameCode, 3, kTypeText, abcd.data(), counter, status);
        tp_segment_end(kWhereListNumbered, counter, status);
        lclos(status);
        lacces(0, status);

        CHTEXT(row.where, row.group, row.code, row.text, status);
        EXPECT_EQ(status, row.status) << row.text;
        if (row.status < 0) {
            EXPECT_EQ(last_error(), row.stored);
            continue;
        }
        char field[20];
        int count = 0;
        lacces(0, status);
        GTTEXT(kWhereList, 1, 24, row.code, 20, count, field, status);
        std::string stored = row.stored;
        stored.resize(20, ' ');
        EXPECT_EQ(std::string(field, 20), stored) << row.text;
    }
}

}  // namespace
