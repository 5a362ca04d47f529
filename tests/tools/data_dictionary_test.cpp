// The data dictionary: tokens of the definitions files, fields read with their repairs and
// messages, records appended, read and rewritten, and damaged tables refused with their messages.
#include "tools_test_support.hpp"

#include "tools/data_dictionary.hpp"
#include "tools/data_file_path.hpp"
#include "tools/dd_tokens.hpp"

#include <sstream>

namespace {

using namespace tools_test;
using vantu::control::lines_of;

class DataDictionary : public ToolsTest {};

// Reads one type from a definitions file of the given text and answers its fields.
std::vector<dd_field> read_type(const std::string& text, const std::string& type, int& status)
{
    write_file("defs.att", text);
    std::string path = temp_folder() + "/defs.att";
    int table = -1;
    NGGDF2(3, type, path, table, status);
    std::vector<dd_field> fields;
    if (status != 0) return fields;
    dd_type().table_id = table;
    int loaded = 0;
    NGGDE1(loaded);
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(dd_fields(dd_type().definition, dd_type().word_count, fields));
    return fields;
}

bool has_message(const std::string& key)
{
    for (const auto& t : vantu::control::texts_of("msg_mdls"))
        if (t == key) return true;
    return false;
}

}  // namespace

TEST(DataDictionaryTokens, SeparatorsRunTogetherAndCloseIsAToken)
{
    EXPECT_EQ(dd_line_tokens("A,,B;"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(dd_line_tokens("FIELD (NAME=X, TYPE=I)"),
              (std::vector<std::string>{"FIELD", "NAME", "X", "TYPE", "I", ")"}));
    std::istringstream in("% a comment\n\n# another\nRECORD $X\n");
    dd_token_reader reader;
    reader.file = &in;
    std::string token;
    ASSERT_TRUE(dd_next_token(reader, token));
    EXPECT_EQ(token, "RECORD");
    EXPECT_EQ(reader.line_number, 4);
}

TEST(DataDictionaryTokens, DataLinesSkipCommentsAndBlanks)
{
    std::istringstream only_comments("* one\n\n   \n* two\n");
    std::string line = "x";
    EXPECT_EQ(next_data_line(only_comments, line), 0);
    std::istringstream mixed("* head\n  \nSTEEL ; hard\n");
    EXPECT_EQ(next_data_line(mixed, line), 12);
    EXPECT_EQ(line, "STEEL ; hard");
}

TEST_F(DataDictionary, TextMaxAboveTwentyBecomesTwentyWithItsMessage)
{
    int status = -9;
    auto fields = read_type("RECORD $T\nFIELD (NAME=LABEL, TYPE=S, MAX=30)\n$END\n", "$T", status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(fields.size(), 1u);
    EXPECT_EQ(fields[0].type, kDdText);
    EXPECT_EQ(fields[0].text_length, 20);
    EXPECT_EQ(fields[0].size, 11);
    EXPECT_TRUE(has_message("212/8"));
}

TEST_F(DataDictionary, IntegerWithoutDefaultTakesTheMidpoint)
{
    int status = -9;
    auto fields = read_type("RECORD $T\nFIELD (NAME=N, TYPE=I, MIN=2, MAX=8)\n"
                            "FIELD (NAME=WIDE, TYPE=I, MIN=2000000000, MAX=2000000000)\n$END\n",
                            "$T", status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].int_def, 5);
    // The midpoint of two large limits is computed without overflow.
    EXPECT_EQ(fields[1].int_def, 2000000000);
}

TEST_F(DataDictionary, LongTypeNameIsCutToTwelve)
{
    int status = -9;
    auto fields = read_type("RECORD $ABCDEFGHIJKLM\nFIELD (NAME=A, TYPE=I)\n$END\n", "$ABCDEFGHIJK", status);
    ASSERT_EQ(status, 0);
    EXPECT_TRUE(has_message("203/40"));
    EXPECT_EQ(dd_type_name(dd_type().definition), "$ABCDEFGHIJK");
    int table = -1;
    dd_type_find("$ABCDEFGHIJK", table, status);
    EXPECT_EQ(status, 0);
    dd_type_find("$ABCDEFGHIJKLM", table, status);
    EXPECT_EQ(status, -12);
}

TEST_F(DataDictionary, DefaultAndLimitsFollowTheOrderGiven)
{
    int status = -9;
    auto fields = read_type("RECORD $T\nFIELD (NAME=DIAM, TYPE=R, DEF=200, MIN=0, MAX=100)\n"
                            "FIELD (NAME=OTHER, TYPE=R, MIN=0, MAX=100, DEF=200)\n$END\n",
                            "$T", status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_FLOAT_EQ(fields[0].real_def, 100.0f);
    EXPECT_TRUE(has_message("212/19"));
    EXPECT_FLOAT_EQ(fields[1].real_def, 200.0f);
    EXPECT_FLOAT_EQ(fields[1].real_max, 200.0f);
}

TEST_F(DataDictionary, KeywordChecksReportTheirNumbers)
{
    struct row {
        const char* field;
        const char* message;
        bool defined;
    };
    const row rows[] = {
        {"FIELD (NAME=A, TYPE=I, ROUND=1)", "212/1", true},
        {"FIELD (NAME=A, MIN=1, TYPE=I)", "212/2", true},
        {"FIELD (NAME=A, TYPE=I, MIN=1, MIN=2)", "212/4", true},
        {"FIELD (NAME=A, TYPE=I, COLOUR=2)", "212/5", true},
        {"FIELD (NAME=A, TYPE=Q)", "212/24", false},
        {"FIELD (NAME=A, TYPE=I, DEF=X1)", "99/0", false},
        {"FIELD (TYPE=I)", "212/27", false},
        {"FIELD (NAME=A, TYPE=I, DOMAIN=(1,2), DEF=7)", "212/10", true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.field);
        vantu::control::reset();
        vantu::control::set_data_directories({temp_folder()});
        int status = -9;
        read_type(std::string("RECORD $T\n") + r.field + "\n$END\n", "$T", status);
        EXPECT_TRUE(has_message(r.message));
        EXPECT_EQ(status == 0, r.defined);
    }
}

TEST_F(DataDictionary, RecordsAppendReadRewriteAndGrow)
{
    int status = -9;
    auto fields = read_type("RECORD $T\nFIELD (NAME=N, TYPE=I, DEF=7)\nFIELD (NAME=S, TYPE=S, MAX=6, DEF=AB)\n$END\n",
                            "$T", status);
    ASSERT_EQ(status, 0);
    int table = dd_type().table_id;
    std::vector<int> ids;
    for (int k = 0; k < 12; ++k) {  // more than the 10 records of a new table
        dd_line_defaults();
        dd_set_int(fields[0], 100 + k);
        int record = 0;
        NGREM1(kDdAppend, record, status);
        ASSERT_EQ(status, 0);
        ids.push_back(record);
    }
    EXPECT_EQ(ids.front(), 1);
    EXPECT_EQ(ids.back(), 12);
    int records = 0, free_records = 0;
    dd_table_counts(table, records, free_records, status);
    EXPECT_EQ(records, 20);
    EXPECT_EQ(free_records, 8);
    int record = 11;
    NGREM1(kDdRead, record, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(dd_value_int(fields[0]), 110);
    EXPECT_EQ(dd_value_text(fields[1]), "AB");
    record = 15;
    NGREM1(kDdRead, record, status);
    EXPECT_EQ(status, kDdFreeRecord);
}

TEST_F(DataDictionary, DamagedTablesAreRefusedWithTheirMessages)
{
    int status = -9;
    read_type("RECORD $T\nFIELD (NAME=N, TYPE=I)\n$END\n", "$T", status);
    ASSERT_EQ(status, 0);
    int table = dd_type().table_id;
    auto record = vantu::control::get_entity(table);
    ASSERT_TRUE(record);
    std::vector<word> words = record->words;
    // Claim one record in use (free count 9 of 10) although every record is free.
    std::uint16_t header[12];
    dd_unpack(std::vector<int>(words.begin(), words.begin() + 6), header, 12);
    header[kDdFreeRecordsWord - 1] = 9;
    std::vector<int> packed = dd_pack(header, 12);
    std::copy(packed.begin(), packed.end(), words.begin());
    int damaged = vantu::control::add_entity(kDdClass, kDdRecordTableType, words);
    dd_type().table_id = damaged;
    NGGDE1(status);
    EXPECT_EQ(status, kDdStructureError);
    EXPECT_TRUE(has_line("eroutc", "NGGDE1 - CORRUPTED DATA STRUCTURE"));

    // A free count of 1 while every record is in use: an append finds no free record.
    for (int k = 0; k < 10; ++k) {
        dd_type().table_id = table;
        int r = 0;
        NGREM1(kDdAppend, r, status);
        ASSERT_EQ(status, 0);
    }
    words = vantu::control::get_entity(table)->words;
    dd_unpack(std::vector<int>(words.begin(), words.begin() + 6), header, 12);
    header[kDdFreeRecordsWord - 1] = 1;
    packed = dd_pack(header, 12);
    std::copy(packed.begin(), packed.end(), words.begin());
    dd_type().table_id = vantu::control::add_entity(kDdClass, kDdRecordTableType, words);
    int r = 0;
    NGREM1(kDdAppend, r, status);
    EXPECT_EQ(status, kDdStructureError);
    EXPECT_TRUE(has_line("eroutc", "NGREM1 - CORRUPTED DATA STRUCTURE"));
}

TEST_F(DataDictionary, InCodeDefinitionReportsItsRepairsAsLines)
{
    std::vector<dd_field_input> f(2);
    f[0].name = "LONGFIELDNAME";
    f[0].type = 'I';
    f[0].int_max = 5;
    f[1].name = "RATIO";
    f[1].type = 'R';
    f[1].real_max = 1.0f;
    f[1].real_def = 0.5f;
    f[1].round = 6.0f;
    int status = -9;
    dd_type_define("$CODE", f, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(has_line("eroutc", "LONGFIELDNAME name too long, 8 characters used"));
    EXPECT_TRUE(has_line("eroutc", "ROUND greater than MAX, MIN USED"));
    int table = -1;
    dd_type_find("$CODE", table, status);
    ASSERT_EQ(status, 0);
    dd_type().table_id = table;
    dd_field field;
    int index = 0;
    NGGDE1(status);
    DDFIF1("LONGFIEL", field, index, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(index, 1);
    DDFIF1("RATIO", field, index, status);
    EXPECT_FLOAT_EQ(field.round, 0.0f);
    dd_type_define("$CODE", f, status);
    EXPECT_EQ(status, 1);
}

TEST_F(DataDictionary, DataFileSearchFindsFilesInTheDataFolders)
{
    write_file("found.dat", "x\n");
    int length = 0, status = -9;
    std::string path;
    data_file_path(kDataFileFind, "found.dat", length, path, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(path, temp_folder() + "/found.dat");
    EXPECT_EQ(length, static_cast<int>(path.size()));
    data_file_path(kDataFileFind, "missing.dat", length, path, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_message("350/12"));
}
