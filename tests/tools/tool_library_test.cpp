// The tool library: whole tools read and written, names and holder numbers in use, the free
// numbers, the shape shadow, the names of a symbol master and the tool materials.
#include "tools_test_support.hpp"

#include "host/control/script.hpp"
#include "tools/dd_state.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_lists.hpp"

#include <functional>

using namespace tools_test;
namespace control = vantu::control;

using ToolLibrary = ToolsTest;

TEST_F(ToolLibrary, MaterialListFromItsFile)
{
    struct row {
        const char* what;
        const char* file;  // null: no file
        int count, long_names;
        const char* last;
    };
    std::string many;
    for (int k = 1; k <= 25; ++k) many += "m" + std::to_string(k) + " steel\n";
    const row rows[] = {
        {"no file", nullptr, 1, 0, "DEFAULT"},
        {"comments and blanks skipped", "* comment\n\n   \nhss cobalt\ncarbide\n", 3, 0, "CARBIDE"},
        {"25 lines", many.c_str(), 20, 0, "M19"},
        {"a name of 11 characters", "ceramics-11\n", 2, 1, "CERAMICS-11"},
        {"a word beyond its entry", "abcdefghijklmnopqrstuvwxyz\n", 2, 1, "ABCDEFGHIJKLMNOPQRST"},
    };
    for (const row& x : rows) {
        SetUp();
        if (x.file) write_file("material.tol", x.file);
        material_list_load();
        const tool_material_list& list = tool_materials();
        EXPECT_EQ(list.count, x.count) << x.what;
        EXPECT_EQ(list.long_names, x.long_names) << x.what;
        EXPECT_EQ(list.names[0], "DEFAULT") << x.what;
        EXPECT_EQ(list.names[static_cast<std::size_t>(list.count - 1)], x.last) << x.what;
    }
    control::load_script_text(R"([{"menu": 9, "expect": "data menu: DEFAULT@ABCDEFGHIJKLMNOPQRST"}, {"menu": 2}])",
                              "t");
    std::string name;
    int status = 0;
    material_menu(name, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(name, "ABCDEFGHIJKLMNOPQRST");
    control::load_script_text(R"([{"menu": -2}])", "t");
    material_menu(name, status);
    EXPECT_EQ(status, -2);
}

TEST_F(ToolLibrary, NamesAndHolderNumbersInUse)
{
    tool_block().HOLDER = 1;
    const int drill = make_tool(kDrill, "D8");
    tool_block().HOLDER = 2;
    make_tool(kMill, "M10");
    tool_block().HOLDER = 4;
    make_tool(kMill, "M12");
    tool_block().HOLDER = 3;
    make_tool(kLathe, "L1");
    struct row {
        const char* name;
        int tool_class, in_use, found, found_id;
    };
    const row rows[] = {
        {"d8", kDrill, 0, 0, drill},
        {"D8", kMill, 0, 1, drill},
        {"X", kDrill, 1, -1, -1},
        {"D8", kCycle, 0, -1, drill},
    };
    for (const row& x : rows) {
        int result = 9, id = 0;
        if (x.tool_class != kCycle) {
            tool_name_in_use(x.name, x.tool_class, result);
            EXPECT_EQ(result, x.in_use) << x.name;
        }
        tool_find_by_name(x.name, x.tool_class, id, result);
        EXPECT_EQ(result, x.found) << x.name << " " << x.tool_class;
        EXPECT_EQ(id, x.found_id) << x.name;
    }
    // Holders 1, 2 and 4 in the drill and mill family; the lathe's 3 is of another family.
    int result = 0, holder = 0, status = 0;
    holder_number_in_use(kMill, 4, result);
    EXPECT_EQ(result, 0);
    holder_number_in_use(kMill, 3, result);
    EXPECT_EQ(result, 1);
    holder_number_free(kMill, holder, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(holder, 3);
    const mill_fields& m = tool_shapes().mill;
    EXPECT_EQ((std::array<int, 3>{m.DIMCMP, m.LENCMP, m.FIXCMP}), (std::array<int, 3>{3, 3, 3}));
    EXPECT_TRUE(tool_class_allowed(kDrill) && !tool_class_allowed(kLathe));
    holder_number_free(kThread, holder, status);
    EXPECT_EQ(holder, 1);

    int missing = 0;
    agie_register_free(missing);
    EXPECT_EQ(missing, -5);
    tool_shapes().agie.REGSTR = 1;
    make_tool(kAgie, "W1");
    agie_register_free(status);
    EXPECT_EQ(status, 0);
    const agie_fields& a = tool_shapes().agie;
    EXPECT_EQ((std::array<int, 5>{a.REGSTR, a.GNRTOR, a.SFLUSH, a.OFFSET, a.PANGLE}),
              (std::array<int, 5>{2, 2, 2, 2, 2}));
    std::string text;
    class_name_text(kLatheDrill, text);
    EXPECT_EQ(text, "LATHE-DRILL");
}

TEST_F(ToolLibrary, WholeToolsWrittenAndReadBack)
{
    int on = 1;
    holder_use_flag(2, on);
    tool_shapes().mill.DIAMTR = 16;
    tool_block().CRFEED = {100, 200, 300, 400, 0};
    tool_holders().count = 2;
    tool_holders().total_height[2] = 33;
    const int mill = make_tool(kMill, "M16");
    int holder = -1, status = 0, version = 0;
    dbdholdr(3, holder, version, tool_holders(), status);
    ASSERT_EQ(status, 0);
    tool_block().IDTOOL = mill;
    tool_entity_io(kEntityWrite, kMill, mill, holder, status);
    EXPECT_EQ(status, 0);
    tool_module_reset();
    holder_use_flag(2, on);
    int read_holder = -1;
    tool_entity_io(kEntityRead, kMill, mill, read_holder, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_holder, holder);
    EXPECT_EQ(tool_shapes().mill.DIAMTR, 16);
    EXPECT_EQ(tool_block().CRFEED[3], 400);
    EXPECT_EQ(tool_holders().count, 2);
    EXPECT_EQ(tool_holders().total_height[2], 33);
    EXPECT_EQ(dd_trimmed(tool_block().TLNAME), "M16");
    const auto records = control::get_entity(tool_table_ids().table_of(kMill))->words.size();
    tool_entity_io(kEntityWrite, kMill, mill, holder, status);
    EXPECT_EQ(control::get_entity(tool_table_ids().table_of(kMill))->words.size(), records) << "rewritten in place";

    tool_entity_io(kEntityRead, kDrill, mill, read_holder, status);
    EXPECT_EQ(status, -5);
    tool_entity_io(kEntityRead, kDrill, -1, read_holder, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(tool_shapes().drill.TIPANG, 118) << "a new tool gets the record defaults";

    // A write that fails halfway (the entity is no tool) leaves no records behind.
    make_tool(kDrill, "D1");
    int drill_records = 0, in_use_before = 0, in_use = 0;
    tool_record_count(tool_table_ids().table_of(kDrill), drill_records, in_use_before, status);
    const int not_a_tool = control::add_point({0, 0, 0});
    tool_entity_io(kEntityWrite, kDrill, not_a_tool, holder, status);
    EXPECT_EQ(status, -5);
    tool_record_count(tool_table_ids().table_of(kDrill), drill_records, in_use, status);
    EXPECT_EQ(in_use, in_use_before);
}

TEST_F(ToolLibrary, ShapeShadowSeesOnlyShapeFields)
{
    struct row {
        const char* what;
        int tool_class;
        std::function<void(tool_shape_records&)> edit;
        int changed;
    };
    const std::vector<row> rows = {
        {"mill lift length", kMill, [](auto& s) { s.mill.LIFLNG += 1; }, 0},
        {"mill taper", kMill, [](auto& s) { s.mill.SPARE1 += 1; }, 1},
        {"mill clear length without holders", kMill, [](auto& s) { s.mill.CLRLNG += 1; }, 0},
        {"mill diameter below the tolerance", kMill, [](auto& s) { s.mill.DIAMTR += 1e-5f; }, 0},
        {"punch shape", kPunch, [](auto& s) { s.punch.TSHAPE = 2; }, 1},
        {"makino condition", kMakino, [](auto& s) { s.mkno.CUTCND = 4; }, 1},
        {"thread cut length", kThread, [](auto& s) { s.thread.CUTLNG = 4; }, 0},
    };
    for (const row& x : rows) {
        tool_shapes() = tool_shape_records{};
        tool_shapes().mill.DIAMTR = 10;
        int changed = 7;
        tool_shape_shadow(1, x.tool_class, changed);
        x.edit(tool_shapes());
        tool_shape_shadow(2, x.tool_class, changed);
        EXPECT_EQ(changed, x.changed) << x.what;
    }
    tool_block().holder_mode = 2;
    int changed = 0;
    tool_shape_shadow(1, kMill, changed);
    tool_holders().cone_height[1] = 3;
    tool_shape_shadow(2, kMill, changed);
    EXPECT_EQ(changed, 1) << "the holder set of a mill with holders";
}

TEST_F(ToolLibrary, MasterInfoOfNoMaster)
{
    for (int id : {0, -4, 99999}) {
        int master = id, kind = 0, status = 0;
        std::string name, file;
        master_info(master, kind, name, file, status);
        EXPECT_EQ(master, -1);
        EXPECT_EQ(kind, 9);
        EXPECT_EQ(name, std::string(20, ' '));
        EXPECT_EQ(file, std::string(128, ' '));
        EXPECT_EQ(status, -5);
    }
}
