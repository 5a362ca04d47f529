// The accessors of the current tool over every class: each getter reads back the value stored in
// a tool of its class and answers -1, -1.0 or blanks for a tool of any other class, for id 0 and
// for an entity that is not a tool; setters and texts store into the current tool only.
#include "tools_test_support.hpp"

#include "tools/dd_state.hpp"
#include "tools/tool_accessors.hpp"

#include <functional>
#include <map>

namespace {

using namespace tools_test;

class ToolAccessors : public ToolsTest {};

constexpr int kAllClasses[] = {kDrill,     kMill,   kLathe,      kPunch,  kAgie,
                               kCharmille, kMakino, kLatheDrill, kThread, kGroove};
constexpr int kSquarePunch = 100;  // a second punch (TSHAPE 1): a key of the tables below

// Stores one tool of every class (and a square punch), each with values of its own, and answers
// the tool ids by class.
std::map<int, int> store_tools()
{
    tool_shape_records& s = tool_shapes();
    s.drill = {3.5f, 120.0f, 31.0f, 16.0f, 101.0f, 11.0f};
    s.lathe_drill = {4.5f, 121.0f, 32.0f, 17.0f, 102.0f, 12.0f};
    s.mill.DIAMTR = 6.0f;
    s.mill.CRNRRD = 0.5f;
    s.mill.CLRLNG = 33.0f;
    s.mill.CUTLNG = 18.0f;
    s.mill.SPARE1 = 2.5f;
    s.lathe.TWIDTH = 7.25f;
    s.punch.TSHAPE = 3;
    s.punch.DIAMTR = 8.5f;
    s.punch.LENGTH = 12.0f;
    s.agie = {11, 12, 13, 14, 15, 16.0f};
    s.chrm.GCODE = {21, 22, 23, 24, 25};
    s.chrm.CREGST = 1.25f;
    s.chrm.AREGST = 2.75f;
    s.chrm.OFFSET = 26;
    s.mkno = {31, 32, 33, 34.0f};
    s.thread.CUTWTH = 2.2f;
    s.groove.CUTWTH = 3.3f;
    std::map<int, int> ids;
    for (int c : kAllClasses) {
        current_tool& t = tool_block();
        t.DMSRID = 70 + c;
        t.TOLTXT = tool_text("note " + std::to_string(c));
        t.condition = 1;
        t.CRSPIN[0] = 100 * c;
        t.CRFEED[0] = 10.0f * static_cast<float>(c);
        t.CRVLOC[0] = 1.5f * static_cast<float>(c);
        ids[c] = make_tool(c, "tool " + std::to_string(c));
    }
    s.punch.TSHAPE = 1;
    tool_block().DMSRID = 70 + kPunch;
    tool_block().TOLTXT = tool_text("note 4");
    ids[kSquarePunch] = make_tool(kPunch, "square punch");
    return ids;
}

// A getter answering a real, with the value stored per tool (key of store_tools); every other
// tool answers -1.0.
struct real_row {
    const char* name;
    std::function<void(int, float&)> get;
    std::map<int, float> stored;
    // The condition getters serve any class: only the tools with conditions are checked.
    bool only_listed = false;
};

const std::vector<real_row>& real_rows()
{
    static const std::vector<real_row> rows = {
        {"tool_get_diameter",
         tool_get_diameter,
         {{kDrill, 3.5f},
          {kMill, 6.0f},
          {kLathe, 7.25f},
          {kPunch, 8.5f},
          {kSquarePunch, 12.0f},
          {kAgie, 10.0f},
          {kCharmille, 10.0f},
          {kMakino, 10.0f},
          {kLatheDrill, 4.5f},
          {kThread, 2.2f},
          {kGroove, 3.3f}}},
        {"tool_get_mill_diameter", tool_get_mill_diameter, {{kMill, 6.0f}}},
        {"tool_get_mill_diameter_dbl",
         [](int id, float& r) {
             double d = 0;
             tool_get_mill_diameter_dbl(id, d);
             r = static_cast<float>(d);
         },
         {{kMill, 6.0f}}},
        {"tool_get_corner_radius", tool_get_corner_radius, {{kMill, 0.5f}}},
        {"tool_get_clear_length", tool_get_clear_length, {{kMill, 33.0f}}},
        {"tool_get_cut_length", tool_get_cut_length, {{kMill, 18.0f}}},
        {"tool_get_taper_angle", tool_get_taper_angle, {{kMill, 2.5f}}},
        {"tool_get_drill_diameter", tool_get_drill_diameter, {{kDrill, 3.5f}, {kLatheDrill, 4.5f}}},
        {"tool_get_drill_tip_angle", tool_get_drill_tip_angle, {{kDrill, 120.0f}, {kLatheDrill, 121.0f}}},
        {"tool_get_drill_clear_length", tool_get_drill_clear_length, {{kDrill, 31.0f}, {kLatheDrill, 32.0f}}},
        {"tool_get_drill_cut_length", tool_get_drill_cut_length, {{kDrill, 16.0f}, {kLatheDrill, 17.0f}}},
        {"tool_get_lathe_width", tool_get_lathe_width, {{kLathe, 7.25f}}},
        {"tool_get_punch_diameter", tool_get_punch_diameter, {{kPunch, 8.5f}}},
        {"tool_get_punch_length", tool_get_punch_length, {{kSquarePunch, 12.0f}}},
        {"tool_get_punch_size", tool_get_punch_size, {{kPunch, 8.5f}, {kSquarePunch, 12.0f}}},
        {"tool_get_thread_width", tool_get_thread_width, {{kThread, 2.2f}}},
        {"tool_get_groove_width", tool_get_groove_width, {{kGroove, 3.3f}}},
        {"tool_get_chrm_cregst", tool_get_chrm_cregst, {{kCharmille, 1.25f}}},
        {"tool_get_chrm_aregst", tool_get_chrm_aregst, {{kCharmille, 2.75f}}},
        {"tool_get_cond_feed",
         tool_get_cond_feed,
         {{kDrill, 10.0f}, {kMill, 20.0f}, {kLathe, 30.0f}, {kLatheDrill, 80.0f}, {kThread, 90.0f}, {kGroove, 100.0f}},
         true},
        {"tool_get_cond_vc",
         tool_get_cond_vc,
         {{kDrill, 1.5f}, {kMill, 3.0f}, {kLathe, 4.5f}, {kLatheDrill, 12.0f}, {kThread, 13.5f}, {kGroove, 15.0f}},
         true},
    };
    return rows;
}

struct int_row {
    const char* name;
    std::function<void(int, int&)> get;
    std::map<int, int> stored;
    bool only_listed = false;
};

const std::vector<int_row>& int_rows()
{
    auto gcode = [](int n) {
        return [n](int id, int& r) {
            int g[5] = {0, 0, 0, 0, 0};
            tool_get_chrm_gcodes(id, g[0], g[1], g[2], g[3], g[4]);
            for (int k = 0; k < 5; ++k)  // the five results are all -1 or all the stored ones
                if (k != n && g[k] != (g[0] == -1 ? -1 : 21 + k)) r = -99;
            if (r != -99) r = g[n];
        };
    };
    static const std::vector<int_row> rows = {
        {"tool_get_agie_generator", tool_get_agie_generator, {{kAgie, 11}}},
        {"tool_get_agie_flush", tool_get_agie_flush, {{kAgie, 12}}},
        {"tool_get_agie_offset", tool_get_agie_offset, {{kAgie, 13}}},
        {"tool_get_agie_pangle", tool_get_agie_pangle, {{kAgie, 14}}},
        {"tool_get_mkno_cutcnd", tool_get_mkno_cutcnd, {{kMakino, 31}}},
        {"tool_get_mkno_offset", tool_get_mkno_offset, {{kMakino, 32}}},
        {"tool_get_chrm_offset", tool_get_chrm_offset, {{kCharmille, 26}}},
        {"tool_get_chrm_gcodes 1", gcode(0), {{kCharmille, 21}}},
        {"tool_get_chrm_gcodes 5", gcode(4), {{kCharmille, 25}}},
        {"tool_get_cond_spin",
         tool_get_cond_spin,
         {{kDrill, 100}, {kMill, 200}, {kLathe, 300}, {kLatheDrill, 800}, {kThread, 900}, {kGroove, 1000}},
         true},
    };
    return rows;
}

// Forgets the current tool and its values, so that every getter must read the tool again.
void forget_current_tool()
{
    tool_tables_init();
    tool_shapes() = tool_shape_records{};
    tool_block() = current_tool{};
}

}  // namespace

TEST_F(ToolAccessors, RealGettersReadTheirClassAndRefuseEveryOther)
{
    std::map<int, int> ids = store_tools();
    for (const real_row& row : real_rows()) {
        for (const auto& [key, id] : ids) {
            forget_current_tool();
            float result = 0.0f;
            row.get(id, result);
            auto stored = row.stored.find(key);
            if (row.only_listed && stored == row.stored.end()) continue;
            float expected = stored == row.stored.end() ? -1.0f : stored->second;
            EXPECT_FLOAT_EQ(result, expected) << row.name << " of tool " << key;
        }
        for (int bad : {0, -3, vantu::control::add_point({1, 2, 3})}) {
            float result = 0.0f;
            row.get(bad, result);
            EXPECT_FLOAT_EQ(result, -1.0f) << row.name << " of id " << bad;
        }
        // A run's reset drops only the id of the tool current before it: no tool answers none
        // of the values the block still holds.
        float kept = -1.0f, none = 0.0f;
        row.get(ids[row.stored.begin()->first], kept);
        tool_tables_init();
        row.get(kNoTool, none);
        EXPECT_NE(kept, -1.0f) << row.name;
        EXPECT_FLOAT_EQ(none, -1.0f) << row.name << " of no tool";
    }
}

TEST_F(ToolAccessors, IntegerGettersReadTheirClassAndRefuseEveryOther)
{
    std::map<int, int> ids = store_tools();
    for (const int_row& row : int_rows()) {
        for (const auto& [key, id] : ids) {
            forget_current_tool();
            int result = 0;
            row.get(id, result);
            auto stored = row.stored.find(key);
            if (row.only_listed && stored == row.stored.end()) continue;
            int expected = stored == row.stored.end() ? -1 : stored->second;
            EXPECT_EQ(result, expected) << row.name << " of tool " << key;
        }
        for (int bad : {0, vantu::control::add_point({1, 2, 3})}) {
            int result = 0;
            row.get(bad, result);
            EXPECT_EQ(result, -1) << row.name << " of id " << bad;
        }
    }
}

TEST_F(ToolAccessors, ClassSymbolMasterAndTextsOfEveryClass)
{
    std::map<int, int> ids = store_tools();
    for (const auto& [key, id] : ids) {
        int tool_class = key == kSquarePunch ? kPunch : key;
        forget_current_tool();
        int result = 0, master = 0;
        tool_get_class(id, result);
        tool_get_symbol_master(id, master);
        EXPECT_EQ(result, tool_class);
        EXPECT_EQ(master, 70 + tool_class);  // no own master: the default master
        std::string name, name_c, text;
        tool_get_name(id, name);
        tool_get_name_c(id, name_c);
        tool_get_text(id, text);
        std::string expected = key == kSquarePunch ? "SQUARE PUNCH" : "TOOL " + std::to_string(key);
        EXPECT_EQ(name, expected + std::string(20 - expected.size(), ' '));
        EXPECT_EQ(name_c, expected);
        std::string note = "note " + std::to_string(tool_class);
        EXPECT_EQ(text, note + std::string(20 - note.size(), ' '));
    }
    for (int bad : {0, vantu::control::add_point({0, 0, 0})}) {
        int result = 0, master = 0;
        std::string name = "x", name_c = "x", text = "x";
        tool_get_class(bad, result);
        tool_get_symbol_master(bad, master);
        tool_get_name(bad, name);
        tool_get_name_c(bad, name_c);
        tool_get_text(bad, text);
        EXPECT_EQ(result, -1);
        EXPECT_EQ(master, -1);
        EXPECT_EQ(name, std::string(20, ' '));
        EXPECT_EQ(name_c, "");
        EXPECT_EQ(text, std::string(20, ' '));
    }
}

TEST_F(ToolAccessors, TaperAngleOfAnOldMillIsZero)
{
    struct row {
        int version;
        float taper;
    };
    for (const row& r : {row{591, 0.0f}, row{592, 4.0f}, row{1, 0.0f}}) {
        tool_shapes().mill.SPARE1 = 4.0f;
        int id = make_tool(kMill, "TAPER");
        // make_tool writes the program's version; store the row's version in the record.
        forget_current_tool();
        int status = 0;
        SGTOOL(3, id, status);
        ASSERT_EQ(status, 0);
        tool_block().TLVERS = r.version;
        tool_shapes().mill.SPARE1 = 4.0f;
        SGTOOL(6, id, status);
        ASSERT_EQ(status, 0);
        forget_current_tool();
        float taper = -5.0f;
        tool_get_taper_angle(id, taper);
        EXPECT_FLOAT_EQ(taper, r.taper) << r.version;
    }
}

TEST_F(ToolAccessors, SettersChangeOnlyTheCurrentToolUntilAnotherIsLoaded)
{
    tool_shapes().mill.DIAMTR = 6.0f;
    tool_shapes().mill.CRNRRD = 1.0f;
    tool_shapes().mill.CUTLNG = 20.0f;
    int mill = make_tool(kMill, "M6");
    int drill = make_tool(kDrill, "D3");
    forget_current_tool();
    float value = 0.0f;
    tool_get_mill_diameter(mill, value);
    tool_set_mill_diameter(9.0f);
    tool_set_corner_radius(2.0f);
    tool_set_cut_length(25.0f);
    long reads = vantu::control::call_count("sgparm_to_main");
    struct row {
        void (*get)(int, float&);
        float set;
    };
    for (const row& r :
         {row{tool_get_mill_diameter, 9.0f}, row{tool_get_corner_radius, 2.0f}, row{tool_get_cut_length, 25.0f}}) {
        r.get(mill, value);
        EXPECT_FLOAT_EQ(value, r.set);
    }
    EXPECT_EQ(vantu::control::call_count("sgparm_to_main"), reads);  // nothing read again
    int tool_class = 0;
    tool_get_class(drill, tool_class);
    for (const row& r :
         {row{tool_get_mill_diameter, 6.0f}, row{tool_get_corner_radius, 1.0f}, row{tool_get_cut_length, 20.0f}}) {
        r.get(mill, value);
        EXPECT_FLOAT_EQ(value, r.set);  // the stored values: the set ones never reached the record
    }
}

TEST_F(ToolAccessors, ConditionIndexOutsideOneToFiveFallsBackToOne)
{
    tool_block().CRSPIN = {1100, 1200, 1300, 1400, 1500};
    tool_block().CRFEED = {110.0f, 120.0f, 130.0f, 140.0f, 150.0f};
    int mill = make_tool(kMill, "COND");
    forget_current_tool();
    int spin = 0;
    tool_get_cond_spin(mill, spin);
    struct row {
        int index;
        int spin;
        int index_after;
    };
    for (const row& r : {row{2, 1200, 2}, row{4, 1400, 4}, row{0, 1100, 1}, row{6, 1100, 1}, row{-3, 1100, 1}}) {
        tool_block().condition = r.index;
        tool_get_cond_spin(mill, spin);
        EXPECT_EQ(spin, r.spin) << r.index;
        EXPECT_EQ(tool_block().condition, r.index_after) << r.index;
    }
    // The setters bring the index back the same way before they store.
    tool_block().condition = 9;
    tool_set_cond_spin(777);
    tool_set_cond_feed(77.0f);
    tool_set_cond_vc(7.0f);
    EXPECT_EQ(tool_block().condition, 1);
    EXPECT_EQ(tool_block().CRSPIN[0], 777);
    EXPECT_FLOAT_EQ(tool_block().CRFEED[0], 77.0f);
    EXPECT_FLOAT_EQ(tool_block().CRVLOC[0], 7.0f);
    EXPECT_EQ(tool_block().CRSPIN[1], 1200);
}

TEST_F(ToolAccessors, TextFieldsKeepNineteenCharactersAndComeOutPadded)
{
    struct row {
        void (*access)(int, std::string&);
        std::string current_tool::*field;
    };
    for (const row& r : {row{tool_name_text, &current_tool::TLNAME}, row{tool_material_text, &current_tool::TMTRAL},
                         row{tool_comment_text, &current_tool::TOLTXT}}) {
        std::string in = "ABCDEFGHIJKLMNOPQRST";  // 20 characters
        r.access(2, in);
        EXPECT_EQ(tool_block().*r.field, std::string("ABCDEFGHIJKLMNOPQRS") + '\0');
        std::string out;
        r.access(1, out);
        EXPECT_EQ(out, "ABCDEFGHIJKLMNOPQRS ");
        std::string shorter = "ab";
        r.access(0, shorter);
        r.access(1, out);
        EXPECT_EQ(out, "ab" + std::string(18, ' '));
    }
}

TEST_F(ToolAccessors, CycleNameIsReadUpperCaseAndIdZeroLoadsNothing)
{
    cycle_block().CYNAME = tool_text("peck 2");
    int cycle = make_tool(kCycle, "");
    // The cycle record names its entity, as the cycle dialog stores it.
    int status = 0;
    SGTOOL(3, cycle, status);
    ASSERT_EQ(status, 0);
    cycle_block().IDCYCL = cycle;
    SGTOOL(6, cycle, status);
    ASSERT_EQ(status, 0);
    cycle_block() = drill_cycle_record{};
    long reads = vantu::control::call_count("sgparm_to_main");
    std::string name;
    cycle_get_name(cycle, name);
    EXPECT_EQ(name, "PECK 2" + std::string(14, ' '));
    EXPECT_EQ(vantu::control::call_count("sgparm_to_main"), reads + 1);
    cycle_get_name(cycle, name);
    EXPECT_EQ(vantu::control::call_count("sgparm_to_main"), reads + 1);
    for (int bad : {0, -1}) {
        name = "x";
        cycle_get_name(bad, name);
        EXPECT_EQ(name, std::string(20, ' '));
    }
    EXPECT_EQ(vantu::control::call_count("sgparm_to_main"), reads + 1);
}
