// Tool record tables, tool entities and list fill: the record types STDTYP builds for every class
// with their fields and defaults, the refusal messages, the user record type of "USER.DEF", tool
// entity creation and deletion, and the fill of a list from the allowed classes.
#include "tools_test_support.hpp"

#include "host/control/script.hpp"
#include "host/vantu_menu_marks.hpp"
#include "tools/data_dictionary.hpp"
#include "tools/tool_lists.hpp"

#include <map>

namespace {

using namespace tools_test;

class ToolTables : public ToolsTest {};

std::vector<dd_field> fields_of(int table_id)
{
    dd_type().table_id = table_id;
    int status = 0;
    NGGDE1(status);
    std::vector<dd_field> fields;
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(dd_fields(dd_type().definition, dd_type().word_count, fields));
    return fields;
}

// "NAME T default" per field, in record order.
std::vector<std::string> described(const std::vector<dd_field>& fields)
{
    std::vector<std::string> out;
    for (const dd_field& f : fields) {
        char text[64];
        if (f.type == kDdReal)
            std::snprintf(text, sizeof text, "%s R %g", f.name.c_str(), static_cast<double>(f.real_def));
        else if (f.type == kDdText)
            std::snprintf(text, sizeof text, "%s S", f.name.c_str());
        else
            std::snprintf(text, sizeof text, "%s I %d", f.name.c_str(), f.int_def);
        out.push_back(text);
    }
    return out;
}

std::vector<std::string> common_part(const char* holder)
{
    return {"IDTOOL I -1", "ISLIBR I -1", "MSTRID I -1", "DMSRID I -1", holder,       "TLVERS I -1",
            "TLNAME S",    "TMTRAL S",    "PMTRAL S",    "TOLTXT S",    "SPARE1 R 0", "SPARE2 R 0"};
}

}  // namespace

TEST_F(ToolTables, EveryClassGetsItsFieldsAndDefaults)
{
    const std::vector<std::string> drill = {"DIAMTR R 10", "TIPANG R 118", "CLRLNG R 30",
                                            "CUTLNG R 15", "GUGLNG R 100", "LIFLNG R 10"};
    const std::map<int, std::vector<std::string>> classes = {
        {kDrill, drill},
        {kLatheDrill, drill},
        {kMill,
         {"DIMCMP I 1", "LENCMP I 1", "FIXCMP I 1", "DIAMTR R 10", "CRNRRD R 0", "CLRLNG R 30", "CUTLNG R 15",
          "GUGLNG R 100", "NOTETH I 2", "LIFLNG R 10"}},
        {kLathe,
         {"EDGRAD R 1", "FACANG R 85", "TANGLE R 30", "QRTNUM I 1", "TWIDTH R 8", "HLENTH R 50", "HWIDTH R 10",
          "LIFLNG R 10"}},
        {kPunch,
         {"TSHAPE I 3", "LENGTH R 10", "DIAMTR R 10", "TWIDTH R 10", "TANGLE R 0", "OVRLAP R 1", "SCALOP R 0.1",
          "LIFLNG R 10"}},
        {kAgie, {"GNRTOR I 1", "SFLUSH I 1", "OFFSET I 1", "PANGLE I 1", "REGSTR I 1", "LIFLNG R 10"}},
        {kCharmille,
         {"GCODE1 I 0", "GCODE2 I 0", "GCODE3 I 0", "GCODE4 I 0", "GCODE5 I 0", "CREGST R 0", "KREGST R 0.001",
          "XREGST R 0", "YREGST R 0", "RREGST R 0.001", "AREGST R 0", "OFFSET I 0", "LIFLNG R 10"}},
        {kMakino, {"CUTCND I 0", "OFFSET I 0", "REGSTR I 1", "LIFLNG R 10"}},
        {kThread,
         {"TRDTYP I 5", "HLENTH R 50", "HWIDTH R 10", "TANGLE R 55", "TLBASE R 0.5", "TLRADS R 0.5", "TAXANG R 90",
          "CUTLNG R 10", "CUTWTH R 10", "LIFLNG R 10"}},
        {kGroove,
         {"HLENTH R 50", "HWIDTH R 10", "LEDANG R 0", "CUTLNG R 10", "CUTWTH R 10", "CRNRRD R 0.5", "TAXANG R 90",
          "LIFLNG R 10"}},
    };
    for (const auto& [c, own] : classes) {
        int table = -1, status = 0;
        STDTYP(c, 0, table, status);
        ASSERT_EQ(status, 0) << c;
        std::vector<std::string> expected = own;
        for (const std::string& f : common_part(is_wire_class(c) ? "DUMHLD I -1" : "HOLDER I 1")) expected.push_back(f);
        std::vector<dd_field> fields = fields_of(table);
        EXPECT_EQ(described(fields), expected) << c;
        int found = -1;
        dd_type_find(record_type_name(c), found, status);
        EXPECT_EQ(found, table) << c;
        for (const dd_field& f : fields) {
            if (f.type == kDdInteger) {
                EXPECT_EQ(f.int_min, -2147483647);
                EXPECT_EQ(f.int_max, 2147483647);
            } else if (f.type == kDdReal) {
                EXPECT_FLOAT_EQ(f.real_min, -1.0e38f);
                EXPECT_FLOAT_EQ(f.real_max, 1.0e38f);
                EXPECT_FLOAT_EQ(f.round, 6.0f);
            } else {
                EXPECT_EQ(f.text_length, 20);
                EXPECT_EQ(f.text_def, std::string(20, ' '));
            }
        }
    }
}

TEST_F(ToolTables, CycleAndConditionTypes)
{
    int table = -1, status = 0;
    STDTYP(kCycle, 0, table, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(described(fields_of(table)),
              (std::vector<std::string>{"DRTYPE I 1",  "PEKSPC I 1",  "DWLSPC I 1",   "SFTSPC I 1",    "CLTSPC I 1",
                                        "CCOLNT I 1",  "CCLEAR R 1",  "PEKSTP R 5",   "PEKRDC R 2",    "CDWELL R 50",
                                        "CSHFTI R 1",  "CSHFTJ R 1",  "CYFEED R 500", "CYSPIN I 1000", "IDCYCL I -1",
                                        "IDCYTL I -1", "ISCLIB I -1", "CYVERS I -1",  "CYNAME S",      "CYLTXT S",
                                        "PCMTRL S",    "SPARE1 R 0",  "SPARE2 R 0"}));
    STDTYP(kMill, 1, table, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(described(fields_of(table)),
              (std::vector<std::string>{"CRSPIN I 1000", "CRFEED R 350", "CRVLOC R 30", "CRDSTP R 10", "CRSSTP R 1"}));
    int found = -1;
    dd_type_find("$TLTECH", found, status);
    EXPECT_EQ(found, table);
}

TEST_F(ToolTables, ATypeThatExistsIsRefusedWithItsMessage)
{
    struct row {
        int tool_class;
        int flag;
        const char* message;
    };
    const row rows[] = {
        {kMill, 0, "STDTYP, CANNOT CREATE MILL TOOL RECORD TABLE"},
        {kLatheDrill, 0, "STDTYP, CANNOT CREATE LATHE-DRILL TOOL RECORD TABLE"},
        {kCycle, 0, "STDTYP, CANNOT CREATE CYCLE RECORD TABLE"},
        {kMill, 1, "STDTYP, CANNOT CREATE TECH RECORD TABLE"},
    };
    for (const row& r : rows) {
        int table = -1, status = 0;
        STDTYP(r.tool_class, r.flag, table, status);
        ASSERT_EQ(status, 0);
        STDTYP(r.tool_class, r.flag, table, status);
        EXPECT_EQ(status, -5) << r.message;
        EXPECT_EQ(table, -1) << r.message;
        EXPECT_TRUE(has_line("eroutc", r.message)) << r.message;
    }
    int table = 0, status = 0;
    STDTYP(12, 0, table, status);  // no such class
    EXPECT_EQ(status, -5);
    EXPECT_EQ(table, -1);
}

TEST_F(ToolTables, EnsureCreatesConditionTablesOnlyForClassesWithConditions)
{
    int status = 0;
    tool_tables_ensure(kPunch, status);
    EXPECT_EQ(status, 0);
    EXPECT_GT(tool_table_ids().table_of(kPunch), 0);
    EXPECT_EQ(tool_table_ids().table_of(kTechTypeIndex), -1);  // a punch has no cutting conditions
    tool_tables_ensure(kLathe, status);
    EXPECT_GT(tool_table_ids().table_of(kTechTypeIndex), 0);
    auto syt2 = vantu::control::get_record("SYT2");
    ASSERT_TRUE(syt2);
    EXPECT_EQ((*syt2)[kPunch - 1], tool_table_ids().table_of(kPunch));
    EXPECT_EQ((*syt2)[kLathe - 1], tool_table_ids().table_of(kLathe));
    tool_tables_ensure(11, status);
    EXPECT_EQ(status, -5);
}

TEST_F(ToolTables, UserTypeFoundLateGivesExistingToolsUserRecords)
{
    int mill = make_tool(kMill, "OLDMILL");
    EXPECT_EQ(tool_table_ids().table_of(kMill + 15), -1);  // no USER.DEF yet
    write_file("USER.DEF", "RECORD $UTMILL\nFIELD (NAME=SUPPLR, TYPE=S, MAX=20)\n"
                           "FIELD (NAME=REGRND, TYPE=I, MIN=0, MAX=20, DEF=3)\n$END\n");
    set_allowed_tool_classes(0, kMill);
    int classes = 0, first = 0;
    toollist_fill(2, 1, classes, first);
    EXPECT_EQ(classes, 1);
    EXPECT_EQ(first, kMill);
    int user_table = tool_table_ids().table_of(kMill + 15);
    ASSERT_GT(user_table, 0);
    int tool_class = 0, status = 0;
    tool_header header;
    read_tool_entity_header(mill, tool_class, header, status);
    EXPECT_EQ(header.user_table, user_table);
    ASSERT_GT(header.user_record, 0);
    int index = 0, value = 0;
    float real = 0;
    std::string text;
    find_tool_field(user_table, "REGRND", index, status);
    tool_field_get_put(3, user_table, header.user_record, index, value, real, text, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(value, 3);
    // Reading the tool leaves its user record staged in slot 1.
    SGTOOL(3, mill, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(toolrec_slot_filled(kUserSlot));
    // The type is known now: a second ensure answers 0.
    tool_tables_ensure(kMill, status);
    EXPECT_EQ(status, 0);
}

TEST_F(ToolTables, EntityCreateWriteDeleteAndLibraryName)
{
    int id = -1, status = 0;
    tool_entity_create(kLathe, id, status);
    ASSERT_EQ(status, 0);
    auto entity = vantu::control::get_entity(id);
    ASSERT_TRUE(entity);
    EXPECT_EQ(entity->entity_class, 20);
    EXPECT_EQ(entity->type, kLathe);
    EXPECT_EQ(entity->words.size(), 12u);
    tool_header header;
    header.table_id = 11;
    header.conditions = {4, 0, 9, -1, 7};
    header.holder_mode = 2;
    tool_header_put(id, header, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::get_entity(id)->words, (std::vector<word>{11, -1, -1, -1, -1, 4, 0, 9, -1, 7, -1, 2}));
    int point = vantu::control::add_point({0, 0, 0});
    tool_header_put(point, header, status);
    EXPECT_EQ(status, -5);
    tool_header_put(99999, header, status);
    EXPECT_EQ(status, -5);
    vantu::control::inject_fault("estore", 1, 1, -1);
    tool_entity_create(kMill, id, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(id, -1);

    int lathe = make_tool(kLathe, "Grooving 3");
    std::string name;
    tool_library_name(lathe, name, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(name, "GROOVING 3" + std::string(10, ' '));
    for (int bad : {0, -2}) {
        name = "x";
        tool_library_name(bad, name, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(name, std::string(20, ' '));
    }
    tool_library_name(point, name, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(name, std::string(20, ' '));
}

TEST_F(ToolTables, FillListsTheToolsOfTheAllowedClassesFlaggedWhenTheyExist)
{
    int drill = make_tool(kDrill, "d5");
    int mill = make_tool(kMill, "m10");
    make_tool(kLathe, "l1");
    int blank = make_tool(kMill, "");
    set_allowed_tool_classes(1, kMill);  // drill and mill
    toollist_reset(3);
    int classes = 0, first = 0;
    toollist_fill(3, 1, classes, first);
    EXPECT_EQ(classes, 2);
    EXPECT_EQ(first, kDrill);
    int count = 0, unflagged = 0;
    toollist_counts(3, count, unflagged);
    EXPECT_EQ(count, 2);      // the blank-named mill is not listed
    EXPECT_EQ(unflagged, 0);  // both entities exist
    std::string name;
    int d1 = 0, d2 = 0, status = 0, id = 0;
    toollist_entry(3, 1, name, d1, d2, status);
    EXPECT_EQ(name, std::string("D5") + std::string(17, ' ') + '\0');
    EXPECT_EQ(d1, 1);
    toollist_find_name(3, "m10  ", id, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(id, mill);
    toollist_find_name(3, "L1", id, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(id, -1);
    toollist_from_table(kMill, 0, tool_table_ids().table_of(kMill), 4, status);
    EXPECT_EQ(status, blank);  // the id of the blank-named record
    toollist_entry(4, 1, name, d1, d2, status);
    EXPECT_EQ(d1, 0);  // no check asked: not flagged
    tool_check_allowed(drill, status);
    EXPECT_EQ(status, 0);
    set_allowed_tool_classes(0, kLathe);
    tool_check_allowed(drill, status);
    EXPECT_EQ(status, 1);
    for (int bad : {0, 99999}) {
        tool_check_allowed(bad, status);
        EXPECT_EQ(status, 1);
    }
}

TEST_F(ToolTables, FamiliesOfTheAllowedClasses)
{
    struct row {
        int family;
        int tool_class;
        std::vector<int> allowed;
    };
    const row rows[] = {
        {0, kMill, {kMill}},
        {1, kDrill, {kDrill, kMill}},
        {1, kMill, {kDrill, kMill}},
        {1, kLathe, {kLathe, kLatheDrill, kThread, kGroove}},
        {1, kLatheDrill, {kLathe, kLatheDrill, kThread, kGroove}},
        {1, kGroove, {kLathe, kLatheDrill, kThread, kGroove}},
        {1, kPunch, {kPunch}},
        {1, 0, {}},
        {1, 11, {}},
    };
    for (const row& r : rows) {
        set_allowed_tool_classes(r.family, r.tool_class);
        for (int c = 1; c <= kToolClasses; ++c) {
            bool expected = std::find(r.allowed.begin(), r.allowed.end(), c) != r.allowed.end();
            EXPECT_EQ(tool_class_allowed(c), expected) << r.family << " " << r.tool_class << " " << c;
        }
    }
}

TEST_F(ToolTables, MenuMarksFlaggedEntriesAndTheCurrentTool)
{
    int status = 0;
    reltol(0, status);  // an array of an earlier test went with the host's reset
    puttol(0, 501, 0, "A", 0, status);
    puttol(0, 502, 1, "B", 0, status);
    puttol(0, 503, 0, "C", 0, status);
    puttol(0, 504, 1, "D", 0, status);
    struct row {
        int flagged;
        int current;
        int tool_id;
        std::vector<std::string> marks;
    };
    const row rows[] = {
        {0, 0, 503, {}},
        {1, 0, 503, {"2,1", "4,1"}},
        {0, 1, 503, {"3,1"}},
        {1, 1, 501, {"1,1", "2,1", "4,1"}},
    };
    vantu::control::set_tracing(true);
    for (const row& r : rows) {
        vantu::control::clear_trace();
        vantu::control::load_script_text(R"([{"menu": -1}])", "t");
        int id = r.tool_id;
        std::string name;
        toollist_menu(0, r.flagged, r.current, 0, id, name, status);
        EXPECT_EQ(status, -1);
        std::vector<std::string> marks;
        for (const auto& e : vantu::control::trace_entries())
            if (e.name == "menu_item_mark") marks.push_back(e.arguments);
        EXPECT_EQ(marks, r.marks) << r.flagged << r.current;
    }
    menu_item_mark(0, 1, status);
    EXPECT_EQ(status, -1);
}
