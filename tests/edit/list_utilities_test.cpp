// The list utilities: a point string broken into line blocks between markers 19 and 20, the
// LAYER bracket around the list position, a block number ahead, and the procedure's text items
// overwritten within their lengths.
#include "edit/editor/list_utilities.hpp"
#include "edit_list_support.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_item_search.hpp"

#include <gtest/gtest.h>

namespace {

using namespace edit_test;
namespace control = vantu::control;
using strings = std::vector<std::string>;

class ListUtilities : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
};

// The line block at the 0-based top-level index: type, number, point and direction.
struct line_words {
    int type, number;
    float x, y, dz;
};
line_words line_at(std::size_t index)
{
    const auto& w = control::toolpath_top().at(index).words;
    const float dz = w[0] == 2 ? 0.0f : word_to_real(w.at(7));
    return {w[0], w[1], word_to_real(w[2]), word_to_real(w[3]), dz};
}

TEST_F(ListUtilities, BrkstrBreaksAStringIntoLineBlocksBetweenItsMarkers)
{
    const struct {
        int type, points, mode;
        int line_type;
        int end_line;   // 0-based line the list ends on
    } rows[] = {
        {7, 1, 1, 2, 2},   {7, 1, 2, 2, 2},     {7, 3, 2, 2, 4},   {7, 3, 1, 2, 2},
        {27, 2, 1, 22, 2}, {227, 4, 2, 222, 5},
    };
    for (const auto& row : rows) {
        SetUp();
        line(5);
        string(row.type, 10, row.points);
        line(30);
        go_to_line(1);
        int status = 9;
        BRKSTR(row.mode, status);
        ASSERT_EQ(status, 0) << row.type << "/" << row.points;
        const strings all = blocks();
        ASSERT_EQ(all.size(), static_cast<std::size_t>(row.points + 4)) << row.type;
        EXPECT_EQ(all.front(), "2/5");
        EXPECT_EQ(all[1].substr(all[1].find(':')), ":19") << "the opening marker";
        EXPECT_EQ(all[all.size() - 2].substr(all[all.size() - 2].find(':')), ":20") << "the closing marker";
        EXPECT_EQ(all.back(), "2/30");
        for (int k = 0; k < row.points; ++k) {
            const line_words l = line_at(static_cast<std::size_t>(2 + k));
            EXPECT_EQ(l.type, row.line_type);
            EXPECT_EQ(l.number, 10 + k) << "the point keeps its number";
            EXPECT_FLOAT_EQ(l.x, 10.0f + k);
            EXPECT_FLOAT_EQ(l.y, 1.0f);
            EXPECT_FLOAT_EQ(l.dz, row.type == 7 ? 0.0f : -1.0f) << "the direction goes with the point";
        }
        EXPECT_EQ(current_line(), row.end_line) << row.type << "/" << row.points << " mode " << row.mode;
    }
}

TEST_F(ListUtilities, BrkstrRefusesWhatItCannotBreak)
{
    const struct {
        const char* what;
        void (*build)();
        const char* fault;
        int status;
        const char* message;
    } rows[] = {
        {"a line", [] { line(4); }, nullptr, -1, "BRKSTR,THE CURRENT BLOCK IS NOT A STRING"},
        {"a marker", [] { marker(3, 4, 2.0f); }, nullptr, -1, "BRKSTR,THE CURRENT BLOCK IS NOT A STRING"},
        {"a string without points", [] { string(7, 4, 0); }, nullptr, 0, nullptr},
        {"no marker", [] { string(7, 4, 2); }, "lmark", -1, "BRKSTR, CANNOT SET A MARKER"},
        {"a failed write", [] { string(7, 4, 2); }, "lcreat", -1, "BRKSTR, ERRORS IN LIST"},
    };
    for (const auto& row : rows) {
        SetUp();
        row.build();
        const strings before = blocks();
        if (row.fault) control::inject_fault(row.fault, 1, 1, -5);
        int status = 9;
        BRKSTR(1, status);
        EXPECT_EQ(status, row.status) << row.what;
        if (row.message) {
            ASSERT_FALSE(control::lines_of("eroutc").empty()) << row.what;
            EXPECT_EQ(control::lines_of("eroutc").back(), row.message);
        } else {
            EXPECT_TRUE(control::lines_of("eroutc").empty()) << row.what;
        }
        EXPECT_EQ(blocks(), before) << row.what << ": nothing written";
    }
}

TEST_F(ListUtilities, ChklyrAndLglkeyAnswerAndLeaveTheListWhereItWas)
{
    // 0: line 1, 1: LAYER opens, 2: line 3, 3: PASS opens, 4: line 5, 5: LAYER closes, 6: line 7
    line(1);
    marker(3, 2, 5.0f);
    line(3);
    marker(5, 4);
    line(5);
    marker(4, 6);
    line(7);
    const struct {
        int at;
        int in_layer;
        int key;
        int key_found;
    } rows[] = {
        {0, 0, 1, 1}, {1, 1, 7, 1}, {2, 1, 1, 0}, {4, 1, 5, 1}, {5, 0, 6, 1}, {6, 0, 8, 0}, {3, 1, 2, 0},
    };
    for (const auto& row : rows) {
        go_to_line(row.at);
        int status = 9;
        EXPECT_EQ(CHKLYR(status), row.in_layer) << row.at;
        EXPECT_EQ(status, 0);
        EXPECT_EQ(current_line(), row.at);
        EXPECT_EQ(LGLKEY(row.key, status), row.key_found) << row.at << " key " << row.key;
        EXPECT_EQ(status, 0);
        EXPECT_EQ(current_line(), row.at);
    }
    go_to_line(4);
    control::inject_fault("lmark", 1, 1, -2);
    int status = 0;
    EXPECT_EQ(CHKLYR(status), 0);
    EXPECT_EQ(status, -3);
    control::inject_fault("lgetd", 1, 1, -1);
    EXPECT_EQ(LGLKEY(7, status), 0);
    EXPECT_EQ(status, -3);
    const strings errors = control::lines_of("eroutc");
    EXPECT_EQ(errors.front(), "CHKLYR,ERRORS IN LIST");
    EXPECT_EQ(errors.back(), "LGLKEY,ERRORS IN LIST");
}

// A procedure block whose segment 24 holds the text items 29 and 30 of the word counts given,
// each word "ABCD".
void procedure_with_texts(int text_words, int name_words)
{
    int status = 0, counter = 0;
    lcreat(1, status);
    const word head[3] = {12, 1, 50};
    TPPUT(kWhereList, 3, kTypeInteger, head, status);
    tp_segment_begin(kWhereListNumbered, 24, counter, status);
    const std::vector<word> abcd(8, text4_to_word("ABCD"));
    tpptntl(kWhereList, kTextCode, text_words, kTypeText, abcd.data(), counter, status);
    tpptntl(kWhereList, kTableNameCode, name_words, kTypeText, abcd.data(), counter, status);
    tp_segment_end(kWhereListNumbered, counter, status);
    lclos(status);
    lacces(0, status);
    ASSERT_GE(status, 0);
}

// The item's text as its reader gives it, in a field of 20 characters.
std::string item_text(int code)
{
    char field[20];
    int status = 0, count = 0;
    lacces(0, status);
    GTTEXT(kWhereList, 1, 24, code, 20, count, field, status);
    return std::string(field, 20);
}

TEST_F(ListUtilities, ChtextWritesAtMostItsCharactersBlankPadded)
{
    const struct {
        int where, group, code;
        const char* text;
        int text_words;
        int status;
        const char* stored;    // item 29 or 30 afterwards
        const char* message;
    } rows[] = {
        {2, 24, 29, "POCKET ONE", 5, 0, "POCKET ONE", nullptr},
        {2, 24, 29, "A TEXT LONGER THAN TWENTY", 5, 0, "A TEXT LONGER THAN T", nullptr},
        {2, 24, 30, "TABLE NAME LONG", 5, 0, "TABLE NAME L", nullptr},
        {2, 24, 30, "", 5, 0, "", nullptr},
        {2, 24, 29, "SHORT TEXT HERE", 3, 0, "SHORT TEXT H", nullptr},   // an item of 3 words holds 12
        {2, 24, 29, "TOO MANY", 6, -1, nullptr, "CHTEXT, ITEM LONGER THAN ITS LIMIT"},
        {2, 24, 31, "X", 5, -1, nullptr, "CHTEXT, INCORRECT CODES"},
        {2, 25, 29, "X", 5, -1, nullptr, "CHTEXT, INCORRECT CODES"},
        {1, 24, 29, "X", 5, -1, nullptr, "CHTEXT, WHERE=1 IS NOT PERMITTED"},
    };
    for (const auto& row : rows) {
        SetUp();
        procedure_with_texts(row.text_words, 3);
        int status = 9;
        CHTEXT(row.where, row.group, row.code, row.text, status);
        EXPECT_EQ(status, row.status) << row.text;
        if (row.stored) {
            std::string stored = row.stored;
            stored.resize(20, ' ');
            EXPECT_EQ(item_text(row.code), stored) << row.text;
        }
        if (row.message) {
            ASSERT_FALSE(control::lines_of("eroutc").empty());
            EXPECT_EQ(control::lines_of("eroutc").back(), row.message);
        }
    }
}

}  // namespace
