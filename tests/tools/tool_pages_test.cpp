// The pages of the tool dialog: the mill values kept consistent, the holder block's actions, the
// choices of thread and groove, the automatic update of the cutting conditions and their page,
// the user definitions page and the part materials.
#include "tools_test_support.hpp"

#include "host/control/script.hpp"
#include "tools/data_dictionary.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_pages.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

using namespace tools_test;
namespace control = vantu::control;

namespace {

bool page_has(const std::string& text)
{
    for (const auto& line : control::page_lines())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

}  // namespace

using ToolPages = ToolsTest;

TEST_F(ToolPages, MillShapeHolderChoiceAndCompensationNumbers)
{
    mill_fields& m = tool_shapes().mill;
    tool_page_choices& c = page_choices();
    m.DIAMTR = 10, m.CRNRRD = 2, m.CUTLNG = 20, m.SPARE2 = -1;
    tool_block().HOLDER = 4;
    c.previous_holder = 4;
    mill_shape_sync(0);
    EXPECT_EQ(c.mill_shape, 2);
    EXPECT_EQ(c.holder_choice, 1);
    c.mill_shape = 1;
    mill_shape_sync(0);
    EXPECT_EQ(m.CRNRRD, 5);
    c.mill_shape = 2;
    mill_shape_sync(0);
    EXPECT_EQ(m.CRNRRD, 2) << "the corner radius comes back";
    EXPECT_EQ(m.DIMCMP, 0) << "the holder number did not change";
    tool_block().HOLDER = 7;
    c.holder_choice = 2;
    m.SPARE1 = 5;
    mill_shape_sync(0);
    EXPECT_EQ((std::array<int, 3>{m.DIMCMP, m.LENCMP, m.FIXCMP}), (std::array<int, 3>{7, 7, 7}));
    EXPECT_NEAR(m.SPARE2, 10 + 2 * 20 * std::tan(5 * M_PI / 180), 1e-4);

    // A ball of taper 10 shown with its diameter 10 is stored with its tip diameter.
    page_choices_reset();
    m = mill_fields{};
    m.DIAMTR = 8.391f, m.CRNRRD = 5, m.SPARE1 = 10;
    mill_shape_sync(0);
    EXPECT_EQ(c.mill_shape, 1);
    EXPECT_FLOAT_EQ(m.DIAMTR, 10);
    mill_shape_sync(1);
    EXPECT_NEAR(m.DIAMTR, 8.391, 1e-3);
    EXPECT_LE(m.SPARE2, 0) << "no holders: SPARE2 is negative";
}

TEST_F(ToolPages, HolderActionsKeepTheSetWithinItsLimits)
{
    struct row {
        const char* what;
        int count, action, holder;
        int new_count;
        const char* message;
        float entry1_total, entry2_total;  // after the action
    };
    // Totals: shank 5, holders 10, 20, ..., spindle 99.
    const row rows[] = {
        {"an eleventh holder", 10, 2, 3, 10, "TOO MANY HOLDERS", 10, 20},
        {"removing the only holder", 1, 4, 1, 1, "TOO FEW HOLDERS", 10, 99},
        {"a larger holder after holder 1", 2, 2, 1, 3, nullptr, 10, 10},
        {"a smaller holder before holder 1 copies the shank", 2, 3, 1, 3, nullptr, 5, 10},
        {"removing holder 1", 2, 4, 1, 1, nullptr, 20, 99},
    };
    for (const row& x : rows) {
        SetUp();
        holder_set& h = tool_holders();
        h.count = x.count;
        h.total_height[0] = 5;
        for (int i = 1; i <= x.count; ++i) h.total_height[static_cast<std::size_t>(i)] = 10.0f * static_cast<float>(i);
        h.total_height[static_cast<std::size_t>(x.count + 1)] = 99;
        page_choices().pending_action = x.action;
        page_choices().pending_holder = x.holder;
        int status = 0;
        modint(-1, 3, 28, 4, status);
        form_cells cells;
        item_list watch, follow;
        form_builder form{cells, watch, follow, kHolderLabels};
        holder_page(form, status);
        EXPECT_EQ(status, x.message ? -1 : 0) << x.what;
        EXPECT_EQ(h.count, x.new_count) << x.what;
        EXPECT_EQ(control::lines_of("userrc"),
                  x.message ? std::vector<std::string>{x.message} : std::vector<std::string>{})
            << x.what;
        EXPECT_EQ(h.total_height[1], x.entry1_total) << x.what;
        EXPECT_EQ(h.total_height[2], x.entry2_total) << x.what;
        EXPECT_EQ(h.total_height[static_cast<std::size_t>(h.count + 1)], 99) << x.what << ": the spindle moves along";
        EXPECT_EQ(page_choices().pending_action, 0);
        // Shank, one titled choice and four values per holder, the spindle.
        EXPECT_TRUE(page_has("HOLDER     @ADD LARGER @ADD SMALLER@NONE")) << x.what;
    }
}

TEST_F(ToolPages, AxisAndDirectionChoices)
{
    struct row {
        float taxang;
        int shown, chosen;
        float stored;
    };
    const row rows[] = {{0, 1, 3, 180}, {135, 2, 2, 90}, {180, 3, 4, 270}, {270.00001f, 4, 1, 0}};
    for (const row& x : rows) {
        for (int tool_class : {kThread, kGroove}) {
            page_choices_reset();
            tool_shapes().thread.TAXANG = tool_shapes().groove.TAXANG = x.taxang;
            tool_shapes().groove.SPARE1 = -2;
            int status = 0;
            modint(-1, 3, 28, 4, status);
            form_cells cells;
            item_list watch, follow;
            form_builder form{cells, watch, follow};
            tool_class_page(tool_class, form);
            EXPECT_EQ(page_choices().axis_choice, x.shown) << x.taxang;
            page_choices().axis_choice = x.chosen;
            class_choice_sync(tool_class);
            const float stored = tool_class == kThread ? tool_shapes().thread.TAXANG : tool_shapes().groove.TAXANG;
            EXPECT_EQ(stored, x.stored) << x.taxang;
        }
        EXPECT_EQ(page_choices().groove_direction, 4);
        EXPECT_EQ(tool_shapes().groove.SPARE1, -2);
    }
}

TEST_F(ToolPages, AutomaticUpdateOfTheConditions)
{
    struct row {
        const char* what;
        int tool_class, column, flags;
        std::function<void()> set;
        std::function<float()> value;
        float expected;
    };
    auto mill = [](float d, float r) {
        return [=] { tool_shapes().mill.DIAMTR = d, tool_shapes().mill.CRNRRD = r, tool_shapes().mill.CUTLNG = 30; };
    };
    auto side = [](int k) { return [=] { return tool_block().CRSSTP[static_cast<std::size_t>(k - 1)]; }; };
    auto down = [](int k) { return [=] { return tool_block().CRDSTP[static_cast<std::size_t>(k - 1)]; }; };
    const int all = kUpdateSpin | kUpdateFeedPerTooth | kUpdateDownStep | kUpdateSideStep;
    const std::vector<row> rows = {
        {"side cut of a mill of 10", kMill, 1, all, mill(10, 0), side(1), 3.0f},
        {"side cut of a mill of 20", kMill, 1, all, mill(20, 0), side(1), 8.0f},
        {"slotting raised to a quarter", kMill, 2, all, mill(10, 4), side(2), 2.5f},
        {"end cut without corner radius", kMill, 3, all, mill(10, 0), side(3), 0.1f},
        {"end cut keeps its down step", kMill, 3, all, mill(10, 0), down(3), 7.0f},
        {"slotting down step", kMill, 2, all, mill(10, 0), down(2), 6.0f},
        {"drill down step capped by its cut length", kDrill, 1, all,
         [] { tool_shapes().drill.DIAMTR = 8, tool_shapes().drill.CUTLNG = 10; }, down(1), 10.0f},
        {"groove steps", kGroove, 1, all, [] { tool_shapes().groove = {2, 0, 0, 8, 3, 0.5f, 0, 0, 0}; }, side(1), 1.8f},
        {"mill spindle speed", kMill, 1, kUpdateSpin, mill(10, 0),
         [] { return static_cast<float>(tool_block().CRSPIN[0]); }, 3183.0f},
        {"feed per tooth", kMill, 1, kUpdateFeedPerTooth,
         [=] { mill(10, 0)(), tool_block().CRSPIN[0] = 1000, tool_shapes().mill.NOTETH = 4; },
         [] { return conditions_shown().feed_per_tooth[0]; }, 0.1f},
        {"a spin of 0 divides by 1", kLathe, 1, kUpdateFeedPerTooth, [] { tool_block().CRSPIN[0] = 0; },
         [] { return conditions_shown().feed_per_tooth[0]; }, 400.0f},
    };
    for (const row& x : rows) {
        SetUp();
        current_tool& t = tool_block();
        t.CRVLOC.fill(100);
        t.CRFEED.fill(400);
        t.CRDSTP.fill(7);
        t.CRSPIN.fill(1000);
        x.set();
        int flags = x.flags;
        cond_auto_update(x.tool_class, x.column, 4, flags);
        EXPECT_NEAR(x.value(), x.expected, 1e-4) << x.what;
    }
}

TEST_F(ToolPages, ConditionPageInTheUserUnit)
{
    control::set_flag("unit_code", 3);
    tool_tables_init();
    tool_block().CRVLOC.fill(100);
    tool_shapes().drill.DIAMTR = 10;
    int form_word = 1, status = 0;
    cutting_conditions_page(kPunch, 2, form_word, status);
    EXPECT_EQ(status, -1) << "a punch has no conditions";
    cutting_conditions_page(kDrill, kListingMode, form_word, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(page_has("Vc(FT/MIN) = 328.08")) << control::page_lines()[1];
    EXPECT_TRUE(page_has("(blank)")) << "a drill has no side step";
    // Typing a speed stores it in metres per minute and updates the spindle speed.
    control::load_script_text(R"([{"page": {"line": 2, "value": 656.16798}}, {"page": 0}])", "t");
    cutting_conditions_page(kDrill, 2, form_word, status);
    EXPECT_NEAR(tool_block().CRVLOC[0], 200, 1e-3);
    EXPECT_EQ(tool_block().CRSPIN[0], 6366);
    EXPECT_EQ(control::last_form_run().watch.size(), 1u) << "the feed-per-tooth item in the automatic state";
}

TEST_F(ToolPages, UserDefinitionsOfTheClass)
{
    write_file("USER.DEF", "RECORD $UTDRIL\nFIELD (NAME=SUPPLR, TYPE=S, MAX=10, CONV=U)\n"
                           "FIELD (NAME=REGRND, TYPE=I, MIN=0, MAX=20, DEF=3)\n"
                           "FIELD (NAME=COATING, TYPE=S, DOMAIN=(TIN, TIALN, NONE), DEF=NONE)\n"
                           "FIELD (NAME=FACTOR, TYPE=R, MIN=0, MAX=2, DEF=1)\nFIELD (NAME=SERIES, TYPE=I)\n$END\n");
    int status = 0;
    tool_tables_ensure(kDrill, status);
    tool_header header;
    header.user_table = tool_table_ids().table_of(kDrill + kUserTypeOffset);
    ASSERT_GT(header.user_table, 0);
    toolrec_open(kUserSlot, header.user_table, -1, status);
    control::load_script_text(R"([{"page": {"line": 1, "value": "acme"}}, {"page": {"line": 3, "value": "TIALN"}},
                                  {"page": 0}])",
                              "t");
    int form_word = 1;
    user_definitions_page(kUserSlot, 2, form_word, status);
    EXPECT_EQ(status, 0);
    const std::string& page = control::transcript_events().front().text;
    EXPECT_EQ(std::count(page.begin(), page.end(), '|'), 7) << "5 fields and 3 blanks: " << page;
    toolrec_stage(0, kUserSlot);
    dd_field field;
    int index = 0;
    DDFIF1("SUPPLR", field, index, status);
    EXPECT_EQ(dd_trimmed(dd_value_text(field)), "ACME");
    DDFIF1("COATING", field, index, status);
    EXPECT_EQ(dd_trimmed(dd_value_text(field)), "TIALN");
    DDFIF1("REGRND", field, index, status);
    EXPECT_EQ(dd_value_int(field), 3);
    // Leaving the page keeps the record as it was.
    control::load_script_text(R"([{"page": {"line": 2, "value": 9}}, {"page": -1}])", "t");
    user_definitions_page(kUserSlot, 2, form_word, status);
    EXPECT_EQ(status, -1);
    toolrec_stage(0, kUserSlot);
    EXPECT_EQ(dd_value_int(field), 3);
}

TEST_F(ToolPages, ItemListsHoldAtMost200Items)
{
    item_list list;
    for (int item = 1; item <= 250; ++item) list.add(item);
    EXPECT_EQ(list.count, kMaxListItems);
    EXPECT_TRUE(list.holds(200));
    EXPECT_FALSE(list.holds(201));
}

TEST_F(ToolPages, PartMaterials)
{
    write_file("material.tol", "hss\ncarbide\n");
    material_list_load();
    control::load_script_text(R"([{"menu": 3, "expect": "data menu: DEFAULT@HSS@CARBIDE"}])", "t");
    material_choose(1);
    EXPECT_EQ(part_materials().part_index, 2);
    std::string name;
    material_name(1, name);
    EXPECT_EQ(name, "CARBIDE             ");
    const auto events = control::transcript_events().size();
    material_choose(1);
    EXPECT_EQ(control::transcript_events().size(), events) << "a part material set asks nothing";
    part_materials().chosen_index = 7;
    material_name(2, name);
    EXPECT_EQ(name, std::string(20, ' ')) << "beyond the list";
    part_materials().chosen_index = -3;
    material_name(2, name);
    EXPECT_EQ(name, "DEFAULT             ");
    EXPECT_EQ(material_index(9), 3);
}
