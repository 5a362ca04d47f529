// The word layer and tagged records: reads, writes and skips by WHERE code, record and segment
// word counts, text zero fill, flags, and the refusals.
#include "toolpath/param_record.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

#include <cstring>

using namespace tp_test;

TEST(WordLayer, ShortReadGivesMinus2AndRestoresOpenEntity)
{
    fresh();
    int id = 0, status = 0;
    estore(9, 5, id, status);
    const word entity_words[4] = {1, 2, 3, 4};
    eputn(4, entity_words, status);
    eskipn(-2, status);
    append_block({7, 8});
    word values[3] = {0, 0, 0};
    tpget(kWhereList, 3, kTypeInteger, values, status);
    EXPECT_EQ(status, -2);
    EXPECT_TRUE(errors().empty()) << "a short block is no list error";
    int open_id = 0, position = 0;
    eopen_block_get(open_id, position);
    EXPECT_EQ(open_id, id);
    EXPECT_EQ(position, 2);
}

TEST(WordLayer, FlagsAndOldVersionExpressions)
{
    fresh();
    append_block({r(0.5f), 0, r(-2.0f)});
    word values[3];
    int status = 0;
    tpget(kWhereList, 3, kTypeFlags, values, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::vector<word>(values, values + 3), (std::vector<word>{1, 0, 1}));

    vantu::control::set_toolpath_version(829);
    std::vector<word> reals(kExprWords, 0);
    reals[0] = r(2.5f);
    append_block(reals);
    std::vector<word> expression(kExprWords, 7);
    tpget(kWhereList, kExprWords, kTypeExpression, expression.data(), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(word_to_real(expression[0]), 2.5f);
    EXPECT_EQ(expression[kExprTypeWord], kTypeReal) << "converted by rel_nc_init_expr";
}

TEST(WordLayer, TextIsZeroFilledWithinItsWordsOnly)
{
    fresh();
    int status = 0;
    lcreat(1, status);
    word text[3];
    std::memset(text, 'x', sizeof text);
    std::memcpy(text, "ABC", 4);  // "ABC" and its terminator, then garbage
    TPPUT(kWhereList, 3, kTypeText, text, status);
    EXPECT_EQ(status, 0);
    std::vector<word> line = current_line_words();
    ASSERT_EQ(line.size(), 3u) << "nothing written past the text's words";
    char bytes[12];
    std::memcpy(bytes, line.data(), 12);
    EXPECT_EQ(std::string(bytes, 3), "ABC");
    for (int i = 3; i < 12; ++i) EXPECT_EQ(bytes[i], '\0') << "byte " << i;
    // A text without any zero byte is written as it stands.
    std::memset(text, 'y', sizeof text);
    TPPUT(kWhereList, 3, kTypeText, text, status);
    line = current_line_words();
    EXPECT_EQ(line[3], text[0]);
    EXPECT_EQ(line[5], text[2]);
}

TEST(WordLayer, WhereCodesOfReadingAndSkipping)
{
    fresh();
    int id = 0, status = 0;
    estore(9, 8, id, status);
    const word entity_words[3] = {11, 12, 13};
    eputn(3, entity_words, status);
    eskipn(-3, status);
    word value = 5;
    tpget(kWhereNowhere, 1, kTypeInteger, &value, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, 5) << "WHERE 7 reads nothing";
    TPSKIP(kWhereNowhere, 2, status);
    EXPECT_EQ(status, 0);
    tpget(kWhereEntity, 1, kTypeInteger, &value, status);
    EXPECT_EQ(value, 13) << "WHERE 7 skips entity words";

    vantu::control::set_param_line({4, 5, 6});
    TPSKIP(kWhereParamLine, 2, status);
    tpget(kWhereParamLine, 1, kTypeInteger, &value, status);
    EXPECT_EQ(value, 6);

    for (int where : {6, 8, 9, 11, 42}) {
        vantu::control::clear_messages();
        value = 5;
        tpget(where, 1, kTypeInteger, &value, status);
        EXPECT_EQ(status, -1) << where;
        EXPECT_EQ(value, 5);
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_EQ(errors()[0], "[tpget] where = " + std::to_string(where) + " - unknown.");
    }
    tpget(kWhereTemplateRead, 1, kTypeInteger, &value, status);
    EXPECT_EQ(status, -1) << "no template file";
}

TEST(WordLayer, ListServiceFailuresAreReported)
{
    fresh();
    append_block({1, 2});
    int status = 0;
    word value = 0;
    vantu::control::inject_fault("lskip", 1, 1, -1);
    TPSKIP(kWhereList, 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"TPSKIP,ERRORS IN LIST"});
    vantu::control::clear_messages();
    TPSKIP(kWhereList, 5, status);
    EXPECT_EQ(status, -2);
    vantu::control::inject_fault("lgetd", 1, 1, -1);
    tpget(kWhereList, 1, kTypeInteger, &value, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"[tpget] ERRORS IN LIST"});
}

TEST(ParamRecord, CountersAndSegmentLength)
{
    fresh();
    int status = 0, counter = 0;
    lcreat(1, status);
    std::vector<word> values(24, 0);
    tpptntl(kWhereList, 5, 1, kTypeInteger, values.data(), counter, status);
    EXPECT_EQ(counter, 4);
    counter = 0;
    tpptntl(kWhereList, 6, 24, kTypeExpression, values.data(), counter, status);
    EXPECT_EQ(counter, 27);
    EXPECT_EQ(status, 0);

    fresh();
    lcreat(1, status);
    tp_segment_begin(kWhereListNumbered, 24, counter, status);
    tp_segment_end(kWhereListNumbered, counter, status);
    EXPECT_EQ(current_line_words(), (std::vector<word>{24, 0})) << "an empty segment keeps length 0";
    tp_segment_begin(kWhereListNumbered, 25, counter, status);
    const word seven = 7;
    tpptntl(kWhereListNumbered, 3, 1, kTypeInteger, &seven, counter, status);
    tpptntl(kWhereListNumbered, 4, 1, kTypeInteger, &seven, counter, status);
    tp_segment_end(kWhereListNumbered, counter, status);
    EXPECT_EQ(current_line_words(), (std::vector<word>{24, 0, 25, 8, 3, 2, 0, 7, 4, 2, 0, 7}));
}

TEST(ParamRecord, UnknownDeftypIsWrittenButNegative)
{
    fresh();
    int status = 0, counter = 0;
    lcreat(1, status);
    const word value = 9;
    tpptntl(kWhereList, 5, 1, 4, &value, counter, status);
    EXPECT_EQ(status, kUnknownDeftyp);
    EXPECT_EQ(counter, 4);
    EXPECT_EQ(current_line_words(), (std::vector<word>{5, 2, 4, 9}));
    EXPECT_EQ(errors1(), (std::vector<std::string>{"TPPUTNT, ERROR IN DEFTYP 4", "[tpptntl] ERROR IN DEFTYP 4"}));
}

TEST(ParamRecord, TemplateRoundTripOfExpressions)
{
    fresh();
    vantu::control::template_open("T", true);
    std::vector<word> expression(kExprWords, 0);
    expression[0] = r(3.5f);
    std::memcpy(&expression[2], "X+1", 4);
    expression[kExprTypeWord] = kTypeReal;
    int status = 0, counter = 0;
    tpptntl(kWhereTemplateWrite, 8, kExprWords, kTypeExpression, expression.data(), counter, status);
    ASSERT_EQ(status, 0);
    auto written = vantu::control::template_contents();
    ASSERT_EQ(written.size(), 27u) << "records without segment words";
    vantu::control::template_open("T", false, written);
    word head[3];
    tpget(kWhereTemplateRead, 3, kTypeInteger, head, status);
    EXPECT_EQ(std::vector<word>(head, head + 3), (std::vector<word>{8, 25, kTypeExpression}));
    std::vector<word> back(kExprWords, -1);
    tpget(kWhereTemplateRead, kExprWords, kTypeExpression, back.data(), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(back, expression);
}
