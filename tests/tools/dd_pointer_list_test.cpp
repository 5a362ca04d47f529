// The pointer list of the data dictionary (runs of ids behind an association word, read back by
// GETASS and released by PLDELE) and the record menu text of the working record.
#include "tools_test_support.hpp"

#include "tools/data_dictionary.hpp"

namespace {

using namespace tools_test;

class PointerList : public ToolsTest {
protected:
    void SetUp() override
    {
        ToolsTest::SetUp();
        int status = 0;
        DDINI1(status);
        ASSERT_EQ(status, 0);
    }
};

int used_words()
{
    int id = -1, status = 0;
    std::vector<int> words;
    PLOPEN(id, words, status);
    EXPECT_EQ(status, 0);
    return words.empty() ? -1 : words[0];
}

}  // namespace

TEST_F(PointerList, AssociationsGiveBackTheirIds)
{
    struct row {
        std::vector<int> ids;
        int capacity;
        int status;
        std::vector<int> back;
    };
    const row rows[] = {
        {{}, 4, 2, {}},          {{17}, 4, 0, {17}}, {{5, 6, 7}, 3, 0, {5, 6, 7}}, {{5, 6, 7}, 2, 1, {5, 6}},
        {{8, 9}, 10, 0, {8, 9}},
    };
    for (const row& r : rows) {
        int association = -1, status = -9, count = -1;
        pointer_list_add(r.ids, association, status);
        ASSERT_EQ(status, 0);
        std::vector<int> ids;
        GETASS(1, association, r.capacity, ids, count, status);
        EXPECT_EQ(status, r.status) << r.ids.size() << " " << r.capacity;
        EXPECT_EQ(ids, r.back);
        EXPECT_EQ(count, static_cast<int>(r.ids.size()));
        GETASS(2, association, 0, ids, count, status);
        EXPECT_EQ(count, static_cast<int>(r.ids.size()));
        EXPECT_TRUE(ids.empty());
    }
}

TEST_F(PointerList, BadInputAndDamagedRunsAreRefused)
{
    std::vector<int> ids;
    int count = 0, status = 0;
    for (auto [mode, capacity] : {std::pair{0, 4}, std::pair{3, 4}, std::pair{1, 0}, std::pair{2, -1}}) {
        GETASS(mode, 17, capacity, ids, count, status);
        EXPECT_EQ(status, -1);
    }
    EXPECT_TRUE(has_line("eroutc", "GETASS - INVALID INPUT"));
    int association = 0;
    pointer_list_add({3, 4, 5}, association, status);
    // A position inside the run, and one past the list, name no run.
    for (int bad : {association + 1, kAssociationRun | 400}) {
        GETASS(1, bad, 5, ids, count, status);
        EXPECT_EQ(status, -1);
        PLDELE(bad, status);
        EXPECT_EQ(status, -1);
    }
    EXPECT_TRUE(has_line("eroutc", "PLDELE - CORRUPTED DATA STRUCTURE"));
    pointer_list_add({1, -2}, association, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PointerList, DeletingRunsShortensTheList)
{
    int first = 0, second = 0, status = 0;
    pointer_list_add({1, 2}, first, status);
    pointer_list_add({3, 4, 5}, second, status);
    EXPECT_EQ(used_words(), 3 + 4);
    PLDELE(first, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(used_words(), 7);  // a hole before a live run stays
    std::vector<int> ids;
    int count = 0;
    GETASS(1, second, 5, ids, count, status);
    EXPECT_EQ(ids, (std::vector<int>{3, 4, 5}));
    GETASS(1, first, 5, ids, count, status);
    EXPECT_EQ(status, -1);  // released
    PLDELE(second, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(used_words(), 0);  // both released: the list is empty again
    PLDELE(17, status);          // a single id has no run
    EXPECT_EQ(status, 0);
}

TEST_F(PointerList, MissingListIsReported)
{
    vantu::control::reset();
    int id = -1, status = 0;
    std::vector<int> words;
    PLOPEN(id, words, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "PLOPEN - CAN NOT OPEN POINTER LIST"));
    int association = 0;
    pointer_list_add({1, 2}, association, status);
    EXPECT_EQ(status, -1);
    PLDELE(kAssociationRun | 1, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "PLDELE - CAN NOT OPEN POINTER LIST ENTITY"));
}

TEST(RecordMenuReals, ThreeDecimalsOrTheExponentForm)
{
    struct row {
        float value;
        const char* text;
    };
    const row rows[] = {
        {0.0f, "0.000"},           {1.0f, "1.000"},           {-2.5f, "-2.500"},
        {0.001f, "0.001"},         {0.0005f, "5.000E-04"},    {-0.0001f, "-1.000E-04"},
        {123456.0f, "123456.000"}, {1234567.0f, "1.235E+06"}, {1.0e12f, "1.000E+12"},
    };
    for (const row& r : rows) EXPECT_EQ(dd_menu_real(r.value), r.text) << r.value;
}

TEST_F(PointerList, RecordMenuTextListsFieldsAndFindsTheGivenValue)
{
    int status = 0;
    tool_tables_ensure(kMill, status);
    dd_type().table_id = tool_table_ids().table_of(kTechTypeIndex);
    NGGDE1(status);
    ASSERT_EQ(status, 0);
    dd_line_defaults();
    std::string text;
    int preselected = -1;
    dd_record_menu_text(1, 2, 0, 30.0f, "", text, preselected, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text, "CRSPIN=1000@CRFEED=350.000@CRVLOC=30.000@CRDSTP=10.000@CRSSTP=1.000");
    EXPECT_EQ(preselected, 3);
    dd_record_menu_text(3, 2, 0, 1.0f, "", text, preselected, status);
    EXPECT_EQ(text, "CRVLOC=30.000@CRDSTP=10.000@CRSSTP=1.000");
    EXPECT_EQ(preselected, 3);
    dd_record_menu_text(1, 1, 1000, 0.0f, "", text, preselected, status);
    EXPECT_EQ(preselected, 1);
    dd_record_menu_text(1, 1, 350, 0.0f, "", text, preselected, status);
    EXPECT_EQ(preselected, 0);  // 350 is a real here, not an integer
    for (int bad : {0, 6}) {
        dd_record_menu_text(bad, 0, 0, 0.0f, "", text, preselected, status);
        EXPECT_EQ(status, -5);
        EXPECT_EQ(text, "");
    }
    dd_type().table_id = tool_table_ids().table_of(kMill);
    NGGDE1(status);
    dd_line_defaults();
    dd_field field;
    int index = 0;
    DDFIF1("TLNAME", field, index, status);
    dd_set_text(field, "EM10");
    dd_record_menu_text(index, 3, 0, 0.0f, "EM10", text, preselected, status);
    EXPECT_EQ(text.substr(0, 12), "TLNAME=EM10@");  // the text as stored, four characters
    EXPECT_EQ(preselected, 1);
}
