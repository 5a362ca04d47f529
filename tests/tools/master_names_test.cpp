// Name tables, master names, reference masters, the selection list and the selection dialog.
#include "tools_test_support.hpp"

#include "host/control/masters.hpp"
#include "host/control/script.hpp"
#include "host/vantu_masters.hpp"
#include "tools/master_names.hpp"

using namespace tools_test;
namespace control = vantu::control;

namespace {

std::string other_part()
{
    const std::string path = temp_folder() + "/OTHER.PRT";
    write_file("OTHER.PRT", "{}");
    return path;
}

// A master of this part (class 14, type 1) with its entry "1" + name in the part's table.
int add_local_master(const std::string& name)
{
    int id = control::add_entity(kMasterClass, kLocalMaster, std::vector<word>(14, 0));
    int table = 0, in_use = 0, found = 0, status = 0, unused = 0;
    std::string text = "1" + name;
    FBNAME(1, text, table, in_use, unused, found, status);
    EXPECT_EQ(found, 0);
    UPDMT(table, in_use, text, id, status);
    EXPECT_EQ(status, 0);
    return id;
}

int table_count(int table_id) { return control::get_entity(table_id)->words.at(0); }

}  // namespace

using NameTables = ToolsTest;

TEST_F(NameTables, EntryTextsOfEveryKind)
{
    struct row {
        int kind;
        const char* file;
        const char* name;
        const char* text;
    };
    const row rows[] = {
        {0, "A.PRT", "X", "A.PRT"},       {1, "A.PRT", "BOLT", "1BOLT"},       {2, "A.PRT", "BOLT", "2BOLT(A.PRT)"},
        {3, "A.PRT", "NC", "3NC(A.PRT)"}, {4, "A.PRT", "IGNORED", "4(A.PRT)"}, {5, "A.PRT", "ASSY", "5ASSY"},
    };
    for (const row& r : rows) {
        std::string text;
        int status = -9;
        entry_text_build(r.kind, r.file, r.name, kEntryTextLength, text, status);
        EXPECT_EQ(status, 0) << r.kind;
        EXPECT_EQ(text, r.text) << r.kind;
    }
    std::string text = "kept";
    int status = 0;
    entry_text_build(6, "A", "B", kEntryTextLength, text, status);
    EXPECT_EQ(status, -1);
    entry_text_build(2, "A.PRT", "BOLT", 11, text, status);  // needs 12
    EXPECT_EQ(status, -1);
    entry_text_build(1, "", std::string(152, 'N'), 500, text, status);  // 153 > 152
    EXPECT_EQ(status, -1);
    EXPECT_EQ(text, "kept");
}

TEST_F(NameTables, KindNamesBlankFilled)
{
    const char* names[] = {"MASTER", "PATTERN", "CODE", "SUB-VIEW", "SUB-ASSY"};
    for (int kind = 1; kind <= 5; ++kind) {
        std::string name;
        int length = 0;
        ENTNAM(kind, 9, name, length);
        EXPECT_EQ(name, (std::string(names[kind - 1]) + "         ").substr(0, 9));
        EXPECT_EQ(length, static_cast<int>(std::string(names[kind - 1]).size()));
    }
    std::string name;
    int length = 0;
    ENTNAM(6, 9, name, length);
    EXPECT_EQ(name, "         ");
    EXPECT_EQ(length, 1);
    EXPECT_TRUE(has_line("eroutc", "ENTNAM - INVALID ENTITY TYPE"));
}

TEST_F(NameTables, OpenCreateAndRefuse)
{
    int table = 0, status = 0;
    OPMPTB(1, table, status);
    ASSERT_EQ(status, 0);
    auto created = control::get_entity(table);
    ASSERT_TRUE(created);
    EXPECT_EQ(created->entity_class, kNameTableClass);
    EXPECT_EQ(created->type, kOwnNameTable);
    EXPECT_EQ(created->words, std::vector<word>(512, 0));
    int again = 0;
    OPMPTB(1, again, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "OPMPTB - TABLE ALREADY EXIST"));
    OPMPTB(3, again, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(again, table);
    int second = 0;
    OPMPTB(4, second, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::get_entity(second)->type, kSecondNameTable);
    OPMPTB(5, second, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "OPMPTB - INVALID MODE"));
}

TEST_F(NameTables, AppendThenFindByTextAndById)
{
    const int bolt = add_local_master("BOLT");
    const int nut = add_local_master("NUT");
    int table = 0, in_use = 0, id = 0, found = 0, status = 0;
    std::string text = "1NUT   ";
    FBNAME(11, text, table, in_use, id, found, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(found, 2);
    EXPECT_EQ(id, nut);
    EXPECT_EQ(in_use, (2 + 2) + (2 + 1));  // "1BOLT" takes 2 words, "1NUT" 1
    EXPECT_EQ(table_count(table), 2);
    std::string by_id;
    id = bolt;
    FBNAME(13, by_id, table, in_use, id, found, status);
    EXPECT_EQ(found, 1);
    EXPECT_EQ(by_id, "1BOLT");
    text = "1SCREW";
    FBNAME(11, text, table, in_use, id, found, status);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(in_use, 7);  // the whole table
}

TEST_F(NameTables, TableGrowsAndKeepsEveryEntry)
{
    std::vector<int> ids;
    for (int i = 0; i < 100; ++i) ids.push_back(add_local_master("MASTER_NAME_" + std::to_string(100 + i)));
    for (int i = 0; i < 100; ++i) {
        int id = 0, status = 0;
        master_find_by_name(1, "MASTER_NAME_" + std::to_string(100 + i), id, status);
        ASSERT_EQ(status, 0) << i;
        EXPECT_EQ(id, ids[static_cast<std::size_t>(i)]);
    }
    int table = 0, status = 0;
    seq_db_id(kNameTableClass, kOwnNameTable, table, status);
    EXPECT_GT(control::get_entity(table)->words.size(), 512u);  // 100 entries of 6 words
    EXPECT_EQ(control::get_entity(table)->words.size() % 512, 0u);
}

TEST_F(NameTables, MissingTableCreatedOnlyWithTensZero)
{
    int table = 0, in_use = 0, id = 0, found = 0, status = 0, seq = 0;
    std::string text = "1BOLT";
    FBNAME(11, text, table, in_use, id, found, status);
    EXPECT_EQ(found, 0);
    seq_db_id(kNameTableClass, kOwnNameTable, table, seq);
    EXPECT_EQ(seq, 1);
    FBNAME(1, text, table, in_use, id, found, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(found, 0);
    seq_db_id(kNameTableClass, kOwnNameTable, id, seq);
    EXPECT_EQ(seq, 0);
    EXPECT_EQ(id, table);
    for (int mode : {0, 5, 10, 15, 21, -1}) {
        control::clear_messages();
        FBNAME(mode, text, table, in_use, id, found, status);
        EXPECT_EQ(status, -1) << mode;
        EXPECT_TRUE(has_line("eroutc", "FBNAME -INVALID MODE")) << mode;
    }
}

TEST_F(NameTables, OversizedEntrySkippedAndRefusedByName)
{
    const int master = control::add_entity(kMasterClass, kLocalMaster, {});
    std::string long_text = "1" + std::string(154, 'L');  // 39 words
    int table = 0, in_use = 0, id = 0, found = 0, status = 0;
    std::string probe = "1X";
    FBNAME(1, probe, table, in_use, id, found, status);
    UPDMT(table, in_use, long_text, master, status);
    ASSERT_EQ(status, 0);
    std::string search = long_text;
    FBNAME(11, search, table, in_use, id, found, status);
    EXPECT_EQ(found, 0);
    EXPECT_EQ(in_use, 41);
    int kind = 0, file_length = 0, name_length = 0;
    std::string file, name;
    MSNAME(table, master, kind, 128, file, file_length, 20, name, name_length, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "MSNAME - NAME TOO LONG"));
}

TEST_F(NameTables, MasterNamesOfEveryKind)
{
    control::set_part_file_name("/parts/THIS.PRT");
    const std::string other = other_part();
    const int bolt = add_local_master("BOLT");
    control::add_external_master(other, "CLAMP", 0);
    int table = 0, status = 0, in_use = 0, id = 0, found = 0, reference = 0, resolved = -7;
    std::string probe = "1BOLT";
    FBNAME(11, probe, table, in_use, id, found, status);
    GCEMP(3, reference, resolved, other, "CLAMP", table, in_use, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(resolved, 0);
    int restored = 0;
    rtcrpr(restored);  // a file name was given: the caller restores the context
    EXPECT_EQ(control::part_context_depth(), 0);
    const int view = control::add_entity(
        kNameTableClass, 4, {3, text4_to_word("TOPV"), text4_to_word("W1"), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    struct row {
        int id;
        int kind;
        std::string file;
        std::string name;
    };
    const row rows[] = {
        {0, 0, "/parts/THIS.PRT", ""},
        {bolt, 1, "/parts/THIS.PRT", "BOLT"},
        {reference, 2, other, "CLAMP"},
        {view, 8, "/parts/THIS.PRT", "TOPVW1"},
    };
    for (const row& r : rows) {
        int kind = -1, file_length = 0, name_length = 0;
        std::string file, name;
        MSNAME(table, r.id, kind, 128, file, file_length, 20, name, name_length, status);
        EXPECT_EQ(status, 0) << r.id;
        EXPECT_EQ(kind, r.kind) << r.id;
        EXPECT_EQ(file.size(), 128u);
        EXPECT_EQ(file.substr(0, static_cast<std::size_t>(file_length)), r.file) << r.id;
        EXPECT_EQ(name.substr(0, static_cast<std::size_t>(name_length)), r.name) << r.id;
    }
    int kind = 0, file_length = 0, name_length = 0;
    std::string file, name;
    MSNAME(table, 99999, kind, 128, file, file_length, 20, name, name_length, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "MSNAME - INVALID OR DELETED ENTITY"));
    MSNAME(table, bolt, kind, 128, file, file_length, 3, name, name_length, status);
    EXPECT_EQ(status, -1);  // "BOLT" does not fit 3 characters
}

TEST_F(NameTables, UnresolvedReferenceMasterIsTakenBack)
{
    const std::string other = other_part();
    int table = 0, in_use = 0, id = 0, found = 0, status = 0;
    std::string probe = "2X";
    FBNAME(1, probe, table, in_use, id, found, status);
    const int last = lastid();
    int master = 0, resolved = 0;
    GCEMP(1, master, resolved, other, "NOWHERE", table, in_use, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(lastid(), last);  // the new master is gone
    EXPECT_EQ(table_count(table), 0);
    EXPECT_EQ(control::part_context_depth(), 0);
    GCEMP(4, master, resolved, other, "X", table, in_use, status);
    EXPECT_TRUE(has_line("eroutc", "GCEMP - INVALID MODE"));
    GCEMP(1, master, resolved, "/no/such/part.prt", "X", table, in_use, status);
    EXPECT_EQ(status, -1);
}

TEST_F(NameTables, ReferenceMasterFoundOrCreatedOnce)
{
    const std::string other = other_part();
    control::add_external_master(other, "CLAMP", 0);
    int first = 0, second = 0, status = 0;
    PLGTMR(other, "clamp", first, status);
    ASSERT_EQ(status, 0);
    PLGTMR(other, "CLAMP", second, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(control::part_context_depth(), 0);
    auto master = control::get_entity(first);
    EXPECT_EQ(master->entity_class, kMasterClass);
    EXPECT_EQ(master->type, kReferenceMaster);
    EXPECT_EQ(master->words.at(0), static_cast<int>(other.size()));
    int missing = -4;
    PLGTMR("/no/such.prt", "CLAMP", missing, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(missing, -4);
    PLGTMR(other, std::string(150, 'N'), missing, status);
    EXPECT_TRUE(has_line("eroutc", "PLGTMR - NAME TOO LONG"));
}

TEST(MasterList, ChoiceNamesAnEntryOnlyInsideTheList)
{
    struct row {
        int page, size, choice, entries, index;
    };
    const row rows[] = {
        {1, 100, 1, 250, 1},     {3, 100, 50, 250, 250}, {3, 100, 51, 250, 0},
        {2, 100, 100, 250, 200}, {1, 100, 0, 250, 0},    {1, 100, 101, 250, 0},
        {0, 100, 1, 250, 0},     {1, 10, 5, 4, 0},       {2147483, 1000, 1, 5, 0},
    };
    for (const row& r : rows)
        EXPECT_EQ(master_list_index(r.page, r.size, r.choice, r.entries), r.index)
            << r.page << " " << r.size << " " << r.choice;
}

TEST_F(NameTables, SortedListPagesOfOneHundred)
{
    std::vector<int> ids;
    // Names inserted in reverse so that the sort has work to do: M000 .. M249.
    for (int i = 249; i >= 0; --i) {
        char name[8];
        std::snprintf(name, sizeof name, "M%03d", i);
        ids.push_back(add_local_master(name));
    }
    int table = 0, status = 0;
    seq_db_id(kNameTableClass, kOwnNameTable, table, status);
    control::load_script_text(R"([{"menu": "MORE"}, {"menu": "MORE"}, {"menu": 3}])", "t");
    int id = 0, result = 0;
    std::string name;
    DMLSTY(table, 0, 1, 33, 5, id, name, result);
    EXPECT_EQ(result, 250);
    EXPECT_EQ(name, "M202");
    EXPECT_EQ(id, ids[249 - 202]);
    control::load_script_text(R"([{"menu": -2}, {"menu": 1}])", "t");  // back from page 1: the last
    DMLSTY(table, 500, 1, 33, 5, id, name, result);
    EXPECT_EQ(name, "M200");
}

TEST_F(NameTables, SinglePageBackEndsAndLongNameRefused)
{
    add_local_master("B");
    add_local_master("A");
    int table = 0, status = 0, id = 0, result = 0;
    seq_db_id(kNameTableClass, kOwnNameTable, table, status);
    control::load_script_text(R"([{"menu": -2}])", "t");
    std::string name;
    DMLSTY(table, 100, 1, 33, 5, id, name, result);
    EXPECT_EQ(result, -2);
    control::load_script_text(R"([{"menu": 1}])", "t");
    DMLSTY(table, 100, 1, 33, 5, id, name, result);
    EXPECT_EQ(name, "A");
    EXPECT_EQ(result, 2);
    add_local_master(std::string(21, 'X'));
    DMLSTY(table, 100, 1, 33, 5, id, name, result);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(has_line("eroutc", "DMLSTY - CANNOT WRITE ITEM FOR SORT"));
}

TEST_F(NameTables, SelectByNameReportsWhatIsRefused)
{
    int id = 0, status = 0;
    std::string name;
    control::set_tracing(true);
    SBNAME(1, 1, name, id, status);
    EXPECT_EQ(status, -1);
    bool told = false;
    for (const auto& e : control::trace_entries())
        if (e.name == "msg_modal" && e.arguments == "203 MASTER") told = true;
    EXPECT_TRUE(told);
    SBNAME(1, 4, name, id, status);
    EXPECT_TRUE(has_line("eroutc", "SBNAME - INVALID MODE"));
    SBNAME(3, 2, name, id, status);
    EXPECT_TRUE(has_line("eroutc", "SBNAME - INVALID TYPE"));
    const int bolt = add_local_master("BOLT");
    control::load_script_text(R"([{"menu": 1}])", "t");
    SBNAME(1, 1, name, id, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(id, bolt);
    EXPECT_EQ(name, "BOLT");
}

TEST_F(NameTables, SelectionDialogOfThisAndAnotherPart)
{
    control::set_part_file_name("/parts/THIS.PRT");
    const int bolt = add_local_master("BOLT");
    control::load_script_text(R"([{"text": "NUT"}, {"text": "bolt"}])", "t");
    int id = 0, origin = 0, status = 0;
    std::string name, file;
    master_select(false, id, origin, name, file, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(id, bolt);
    EXPECT_EQ(origin, 1);
    EXPECT_EQ(name, "BOLT" + std::string(16, ' '));
    EXPECT_EQ(file.substr(0, 15), "/parts/THIS.PRT");
    EXPECT_EQ(file.size(), 128u);
    EXPECT_TRUE(has_line("eroutc", "REQUESTED MASTER NOT FOUND"));

    const std::string other = other_part();
    control::add_external_master(other, "BOLT", bolt);
    control::load_script_text(R"([{"text": "/no/such.prt"}, {"text": ")" + other + R"("}, {"text": "BOLT"}])", "t");
    master_select(true, id, origin, name, file, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(origin, 2);
    EXPECT_EQ(control::get_entity(id)->type, kReferenceMaster);
    EXPECT_TRUE(has_line("eroutc", "REQUESTED PART FILE NOT FOUND"));
    EXPECT_EQ(control::part_context_depth(), 0);

    control::load_script_text(R"([{"text": null}])", "t");
    master_select(false, id, origin, name, file, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::part_context_depth(), 0);
}
