// The current tool: new tables of a new part, default records, getters that load a tool once,
// the wire size, bad ids and failures that leave a clean state, holders, lists and the part-file
// round trip of every tool, holder and table.
#include "tools_test_support.hpp"

#include "tools/data_dictionary.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_lists.hpp"

namespace {

using namespace tools_test;

class CurrentTool : public ToolsTest {};

int fill_mills(int slot)
{
    set_allowed_tool_classes(0, kMill);
    int classes = 0, first = 0;
    toollist_fill(slot, 1, classes, first);
    return classes;
}

}  // namespace

TEST_F(CurrentTool, ListingMillsInANewPartCreatesTheTablesAndSavesSyt2)
{
    EXPECT_EQ(fill_mills(0), 1);
    int mill = -1, tech = -1, status = -9;
    dd_type_find("$TLMILL", mill, status);
    ASSERT_EQ(status, 0);
    dd_type_find("$TLTECH", tech, status);
    ASSERT_EQ(status, 0);
    auto syt2 = vantu::control::get_record("SYT2");
    ASSERT_TRUE(syt2);
    ASSERT_EQ(syt2->size(), 46u);
    EXPECT_EQ((*syt2)[kMill - 1], mill);
    EXPECT_EQ((*syt2)[kTechTypeIndex - 1], tech);
    EXPECT_EQ((*syt2)[31 + kMill - 1], 4);  // a mill has four cutting conditions
    dd_type().table_id = mill;
    NGGDE1(status);
    std::vector<dd_field> fields;
    ASSERT_TRUE(dd_fields(dd_type().definition, dd_type().word_count, fields));
    EXPECT_EQ(fields.size(), 22u);  // the listed fields: 10 mill fields and the 12 of the common part
}

TEST_F(CurrentTool, DefaultRecordsCarryTheirClassDefaults)
{
    int status = 0;
    tool_tables_ensure(kMill, status);
    toolrec_open(kMainSlot, tool_table_ids().table_of(kMill), -1, status);
    ASSERT_EQ(status, 0);
    toolrec_main(kMainSlot, kMill, kCopyRead);
    EXPECT_FLOAT_EQ(tool_shapes().mill.DIAMTR, 10.0f);
    EXPECT_FLOAT_EQ(tool_shapes().mill.CRNRRD, 0.0f);
    EXPECT_EQ(tool_shapes().mill.NOTETH, 2);
    EXPECT_EQ(tool_block().IDTOOL, -1);
    EXPECT_EQ(tool_block().HOLDER, 1);

    tool_tables_ensure(kAgie, status);
    toolrec_open(kMainSlot, tool_table_ids().table_of(kAgie), -1, status);
    ASSERT_EQ(status, 0);
    dd_field field;
    int index = 0;
    DDFIF1("DUMHLD", field, index, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(field.int_def, -1);
    DDFIF1("HOLDER", field, index, status);
    EXPECT_EQ(status, -5);
}

TEST_F(CurrentTool, GettersLoadATollOnceAndAgainAfterTheReset)
{
    tool_shapes().mill.DIAMTR = 12.5f;
    tool_shapes().mill.CRNRRD = 1.5f;
    int id = make_tool(kMill, "EM12");
    float diameter = 0, radius = 0;
    long reads = vantu::control::call_count("sgparm_to_main");
    tool_get_mill_diameter(id, diameter);
    tool_get_corner_radius(id, radius);
    EXPECT_FLOAT_EQ(diameter, 12.5f);
    EXPECT_FLOAT_EQ(radius, 1.5f);
    EXPECT_EQ(vantu::control::call_count("sgparm_to_main"), reads + 1);
    tool_tables_init();
    int tool_class = 0;
    tool_get_class(id, tool_class);
    EXPECT_EQ(tool_class, kMill);
    EXPECT_EQ(vantu::control::call_count("sgparm_to_main"), reads + 2);
    std::string name;
    tool_get_name_c(id, name);
    EXPECT_EQ(name, "EM12");
}

TEST_F(CurrentTool, WireToolsAreTenAndOtherClassesGiveTheirSize)
{
    tool_shapes().agie.GNRTOR = 3;
    int agie = make_tool(kAgie, "WIRE");
    float size = 0;
    tool_get_diameter(agie, size);
    EXPECT_FLOAT_EQ(size, 10.0f);
    int generator = 0;
    tool_get_agie_generator(agie, generator);
    EXPECT_EQ(generator, 3);
    float mill_diameter = 0;
    tool_get_mill_diameter(agie, mill_diameter);
    EXPECT_FLOAT_EQ(mill_diameter, -1.0f);
    tool_shapes().punch.TSHAPE = 2;
    tool_shapes().punch.LENGTH = 33.0f;
    int punch = make_tool(kPunch, "SQUARE");
    tool_get_diameter(punch, size);
    EXPECT_FLOAT_EQ(size, 33.0f);
}

TEST_F(CurrentTool, BadIdsFailCleanly)
{
    int status = 0;
    SGTOOL(3, 0, status);
    EXPECT_EQ(status, -5);
    EXPECT_TRUE(has_line("eroutc", "SGTOOL, CANNOT CLOSE OPEN ENTITY"));
    int not_a_tool = vantu::control::add_point({0, 0, 0});
    int tool_class = 0;
    float diameter = 0;
    std::string name;
    tool_get_class(not_a_tool, tool_class);
    tool_get_mill_diameter(not_a_tool, diameter);
    tool_get_name(not_a_tool, name);
    EXPECT_EQ(tool_class, -1);
    EXPECT_FLOAT_EQ(diameter, -1.0f);
    EXPECT_EQ(name, std::string(20, ' '));
}

TEST_F(CurrentTool, FailureBeforeReadingKeepsTheToolAndFailureAfterDropsIt)
{
    int first = make_tool(kMill, "FIRST");
    float diameter = 0;
    tool_get_mill_diameter(first, diameter);
    tool_set_mill_diameter(7.0f);
    int status = 0;
    SGTOOL(3, 0, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(tool_block().IDTOOL, first);
    tool_get_mill_diameter(first, diameter);
    EXPECT_FLOAT_EQ(diameter, 7.0f);

    tool_shapes().mill.DIAMTR = 9.0f;
    int second = make_tool(kMill, "SECOND");
    vantu::control::inject_fault("sgparm_to_main", 1, 1, -1);
    SGTOOL(3, second, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(tool_block().IDTOOL, -1);
    tool_shapes().mill.DIAMTR = 0.0f;
    tool_get_mill_diameter(second, diameter);
    EXPECT_FLOAT_EQ(diameter, 9.0f);
}

TEST_F(CurrentTool, HolderCountsAreBroughtIntoRange)
{
    int id = make_tool(kMill, "HELD");
    int status = 0;
    SGTOOL(3, id, status);
    ASSERT_EQ(status, 0);
    int tool_class = 0;
    tool_header header;
    read_tool_entity_header(id, tool_class, header, status);
    ASSERT_GT(header.holder_id, 0);
    EXPECT_EQ(tool_holders().count, 1);
    auto holder = vantu::control::get_entity(header.holder_id);
    ASSERT_TRUE(holder);
    std::vector<word> words = holder->words;
    words[1] = 0;
    int zero = vantu::control::add_entity(20, 14, words);
    words[1] = 11;
    int eleven = vantu::control::add_entity(20, 14, words);
    int version = 0;
    holder_set set;
    dbdholdr(1, zero, version, set, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(set.count, 1);
    dbdholdr(1, eleven, version, set, status);
    EXPECT_EQ(status, -1);
    header.holder_id = eleven;
    tool_header_put(id, header, status);
    tool_tables_init();
    SGTOOL(3, id, status);
    EXPECT_EQ(status, -5);
}

TEST_F(CurrentTool, ListsUseWideColumnsForLongNamesAndRecountOnUpdate)
{
    int status = 0;
    puttol(1, 5, 1, "SHORT", 0, status);
    int columns = 0, width = 0;
    toollist_layout(1, columns, width);
    EXPECT_EQ(columns, 6);
    EXPECT_EQ(width, 10);
    puttol(1, 6, 0, "TWELVE-CHARS", 0, status);
    toollist_layout(1, columns, width);
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(width, 23);
    puttol(1, 5, 0, "SHORT", 0, status);
    EXPECT_EQ(status, 1);
    int count = 0, unflagged = 0;
    toollist_counts(1, count, unflagged);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(unflagged, 2);
    int id = 0;
    toollist_entry_id(1, 0, id, status);
    EXPECT_EQ(status, -5);
    reltol(1, status);
    EXPECT_EQ(status, 0);
}

TEST_F(CurrentTool, WireClassesAllowOnlyThemselves)
{
    for (int wire : {kAgie, kCharmille, kMakino}) {
        for (int family : {0, 1}) {
            set_allowed_tool_classes(family, wire);
            for (int c = 1; c <= kToolClasses; ++c) EXPECT_EQ(tool_class_allowed(c), c == wire) << wire << " " << c;
        }
    }
    set_allowed_tool_classes(1, kThread);
    for (int c = 1; c <= kToolClasses; ++c)
        EXPECT_EQ(tool_class_allowed(c), c == kLathe || c == kLatheDrill || c == kThread || c == kGroove);
}

TEST_F(CurrentTool, NamesAreFoundAcrossTheClassTables)
{
    int mill = make_tool(kMill, "shared");
    int drill = make_tool(kDrill, "DRILL8");
    int id = 0, list = 0;
    tool_list_find_name(kDrill, "SHARED", id, list);
    EXPECT_EQ(id, mill);
    EXPECT_EQ(list, kMill);
    tool_list_find_name(kMill, "drill8", id, list);
    EXPECT_EQ(id, drill);
    EXPECT_EQ(list, kDrill);
    tool_list_find_name(kMill, "NONE", id, list);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(list, -1);
    std::string name;
    int status = 0;
    tool_library_name(mill, name, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(name.substr(0, 6), "SHARED");
    tool_library_name(0, name, status);
    EXPECT_EQ(status, -1);
}

TEST_F(CurrentTool, SaveAndReloadKeepsToolsHoldersAndTables)
{
    tool_shapes().mill.DIAMTR = 6.0f;
    int id = make_tool(kMill, "KEEP");
    int status = 0;
    SGTOOL(3, id, status);
    ASSERT_EQ(status, 0);
    tool_holders().count = 3;
    tool_holders().top_diameter[2] = 42.0f;
    tool_block().CRFEED[0] = 123.0f;
    SGTOOL(2, id, status);
    ASSERT_EQ(status, 0);
    // SGTOOL writes the records only; the holder set goes to its entity as the tool writer does it.
    tool_holders().count = 3;
    tool_holders().top_diameter[2] = 42.0f;
    int version = tool_block().TLVERS;
    tool_header header;
    int tool_class = 0;
    read_tool_entity_header(id, tool_class, header, status);
    dbdholdr(2, header.holder_id, version, tool_holders(), status);
    ASSERT_EQ(status, 0);
    std::string saved = vantu::control::save_part_text();
    auto before = vantu::control::entities_text();
    vantu::control::load_part_text(saved, "saved");
    EXPECT_EQ(vantu::control::entities_text(), before);
    tool_tables_init();
    tool_holders() = holder_set{};
    float diameter = 0, feed = 0;
    tool_get_mill_diameter(id, diameter);
    tool_get_cond_feed(id, feed);
    EXPECT_FLOAT_EQ(diameter, 6.0f);
    EXPECT_FLOAT_EQ(feed, 123.0f);
    EXPECT_EQ(tool_holders().count, 3);
    EXPECT_FLOAT_EQ(tool_holders().top_diameter[2], 42.0f);
}

TEST_F(CurrentTool, DeletingAToolFreesOnlyItsPositiveRecords)
{
    int id = make_tool(kMill, "GONE");
    int tool_class = 0, status = 0;
    tool_header header;
    read_tool_entity_header(id, tool_class, header, status);
    int tech = header.tech_table;
    int records = 0, in_use_before = 0, in_use_after = 0;
    tool_record_count(tech, records, in_use_before, status);
    header.conditions = {header.conditions[0], 0, header.conditions[1], -1, header.conditions[2]};
    tool_delete(id, header);
    tool_record_count(tech, records, in_use_after, status);
    EXPECT_EQ(in_use_before - in_use_after, 3);
    EXPECT_FALSE(vantu::control::get_entity(id));
}
