// The listings: the formatted writer, the listing columns and parameter labels, the procedure
// summary with its status text and block printer, the association check, the header texts and
// the dialog and current-tool utilities.
#include "listing_support.hpp"

#include "driver/proc_block_support.hpp"
#include "host/control/script.hpp"
#include "listing/fmt_writer.hpp"
#include "listing/header_texts.hpp"
#include "listing/listing_fields.hpp"
#include "listing/lst_state.hpp"
#include "listing/print_proc_block.hpp"
#include "listing/proc_assoc.hpp"
#include "listing/proc_summary.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_utilities.hpp"

using namespace listing_test;

namespace {

std::vector<std::string> lines(const char* format, std::vector<fmt_value> values)
{
    int status = 0;
    std::vector<std::string> out = fmt_lines(format, values, status);
    if (status != 0) out = {"refused"};
    return out;
}

word text4(const char* four) { return text4_to_word(four); }

}  // namespace

TEST(FormatWriter, DescriptorsRepeatsAndOverflow)
{
    struct row {
        const char* format;
        std::vector<fmt_value> values;
        std::vector<std::string> lines;
    };
    const row rows[] = {
        {"(1x,'TOTAL PROCEDURE BLOCKS =',i5)", {42}, {" TOTAL PROCEDURE BLOCKS =   42"}},
        {"(1x,i3,2x)", {7}, {"   7  "}},
        {"(1x,i3,2x)", {1234}, {" ***  "}},
        {"(1x,i3,'-',i6)", {12, 345}, {"  12-   345"}},
        {"(f8.3)", {-1.5}, {"  -1.500"}},
        {"(f5.2)", {12345.0}, {"*****"}},
        {"(12x,3(f11.4,1x))", {1.0, -2.0, 0.5}, {"                 1.0000     -2.0000      0.5000 "}},
        {"(/,'A',/11x,'B')", {}, {"", "A", "           B"}},
        {"('|',a3,'|',a5,'|',a,'|')",
         {std::string("ABCDEF"), std::string("XY"), std::string("free")},
         {"|ABC|   XY|free|"}},
        {"('don''t',i2)", {1, 2}, {"don't 1", "don't 2"}},
        {"(i3,i3)", {5}, {"  5"}},
        {"(i3", {5}, {"refused"}},
        {"(q3)", {5}, {"refused"}},
    };
    for (const row& x : rows) EXPECT_EQ(lines(x.format, x.values), x.lines) << x.format;
}

TEST(ListingFields, ColumnsAndLabels)
{
    lst_fmt_i3(7);
    EXPECT_EQ(lst_state().block_column, "   7  ");
    lst_fmt_proc_block(12, 345);
    EXPECT_EQ(lst_state().proc_block_column, "  12-   345");
    std::vector<float> direction{0.123456f, -0.999999f, 0.0f};
    lst_fmt_point(2, direction, 10.0f);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_FLOAT_EQ(direction[i], (std::array<float, 3>{0.1234f, -0.9999f, 0.0f})[i])
            << "truncated and stored back";
    EXPECT_EQ(lst_state().coordinate_column.substr(0, 18), "i =     1.2340   j");
    std::vector<float> point{1, 2, 3};
    lst_fmt_point(1, point, 2.0f);
    EXPECT_EQ(lst_state().coordinate_column, "X =     2.0000   Y =     4.0000   Z =     6.0000");
    lst_fmt_point(9, point, 1.0f);
    EXPECT_EQ(lst_state().coordinate_column, std::string(48, ' '));
    struct label_row {
        int type;
        const char* label;
    };
    for (const label_row& x : {label_row{1, "FEED    = "},
                               {15, "WIRE    : "},
                               {40, "G38/39:A= "},
                               {100, "TOOL    = "},
                               {17, "UN KNOWN  "}}) {
        std::string label;
        DEFPNM(x.type, label);
        EXPECT_EQ(label, x.label) << x.type;
    }
    EXPECT_EQ(vantu::control::lines_of("erou1c").back(), "DEFPNM: WRONG PARAMETER 17");

    vantu::control::reset();
    int status = 0, line = 1;
    aopen(19, "KNOTS", 2, status);
    const std::vector<float> knot_point{1, 2, 3};
    lst_knot_line(1, 19, 5, 8, 2.0f, 1, 0.5f, knot_point, line);
    lst_knot_line(1, 19, 5, 8, 2.0f, 0, 0.5f, {}, line);
    EXPECT_EQ(vantu::control::listing_lines(19),
              (std::vector<std::string>{std::string(21, ' ') +
                                            "K =  0.5000   X =     1.0000   Y =     2.0000   Z =     3.0000" +
                                            std::string(18, ' '),
                                        std::string(21, ' ') + "K =  1.0000" + std::string(37, ' ')}));
}

using Listings = DisplayTest;

TEST_F(Listings, ProcedureStatusTextFromTheTableColumns)
{
    control::set_transformation_name(5, "ROT1");
    struct row {
        int state, state2, g, m, b, o, options, transformation, flag, nc_function;
        const char* text;
    };
    const row rows[] = {
        {1, 1, 0, 0, -1, 0, 1, -1, 0, 0, "-----              "},
        {3, 2, 1, 1, 2, 1, 1, -1, 0, 0, "IGMBO              "},
        {4, 1, 0, 0, 3, 1, 129, -1, 0, 0, "s--bT              "},
        {2, 1, 0, 0, -1, 3, 1, 5, 0, 0, "S---r(ROT1)        "},
        {1, 2, 0, 0, -1, 4, 1, 5, 1, 0, "s---R ROT1         "},
    };
    for (const row& x : rows) {
        proc_summary_entry& e = proc_table().entries[7];
        e.state = x.state;
        e.state2 = x.state2;
        e.g = x.g;
        e.m = x.m;
        e.b = x.b;
        e.o = x.o;
        e.options = x.options;
        e.transformation = x.transformation;
        e.transform_flag = x.flag;
        e.nc_function = x.nc_function;
        std::string name;
        if (x.transformation > 0) dbttna(x.transformation, name);
        proc_text_field(2, 7, name);
        std::string text;
        proc_status_text(7, text);
        EXPECT_EQ(text, x.text);
    }
    std::string text = "untouched";
    proc_status_text(202, text);
    EXPECT_EQ(text, "-----              ") << "beyond the scratch entry nothing is read";
}

TEST_F(Listings, SummaryAndTheFourFormsOfTheBlockPrinter)
{
    proc_test::proc_block b;
    b.number = 6;
    b.type = 17;
    b.global(45, {5}).global(22, {1}).global(57, {2}).global(29, {text4("WALL"), text4(" POC"), text4("KET "), 0, 0},
                                                             8);
    b.global(41, {2026, 1, 2}).global(42, {12, 30, 45}).global(47, {1});
    b.seg23 = {10, 2, 0, 44, 11, 2, 0, 1};
    b.append();
    control::set_transformation_name(5, "ROT1");
    int opened = 0;
    aopen(19, "listing.txt", 2, opened);
    lst_state().line = 1;
    struct row {
        int form;
        std::vector<std::string> lines;
    };
    const row rows[] = {
        {0,
         {"", " PROCEDURE BLOCK", "      BLOCK SIZE    =   40", "      PROC.BLOCK NUMBER  =  6",
          "           FUNCTION TYPE=17", "           FUNCTION NAME: \"PUN_CIR \"",
          "           COMMENT:       \"WALL POCKET         \"", "           HAS SUBROUTINES",
          "           TRANSFORM    = \"ROT1\"", " "}},
        {2,
         {" ", "  PROCEDURE NUMBER = 6", "  CREATION DATE: 02.01.2026 12:30:45", "  FUNCTION NAME: \"PUN_CIR \" ",
          "  COMMENT      : \"WALL POCKET         \" ", "  HAS SUBROUTINES", "  TRANSFORM    : \"ROT1\""}},
        {3, {"| s----(ROT1)PUN_CIR~ 6  | WALL POCKET            |                        |"}},
    };
    for (const row& x : rows) {
        const std::size_t before = control::listing_lines(19).size();
        int type = 0, number = 0, status = 0;
        print_proc_block(2, 1, 0, x.form, 19, 40, type, number, status);
        ASSERT_EQ(status, 0) << x.form;
        EXPECT_EQ(number, 6);
        EXPECT_EQ(type, 12);
        const auto all = control::listing_lines(19);
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), x.lines)
            << x.form;
    }
    const proc_summary_entry& e = proc_table().entries[201];
    EXPECT_EQ(e.tool, -1) << "NC function 17 has no tool";
    EXPECT_EQ(e.state, 1) << "item 44 missing";
    EXPECT_EQ(e.c, 0) << "no C column for a procedure without a tool";
    EXPECT_EQ(e.machine_word, 0);
    EXPECT_EQ(lst_state().procedure, 6);
    int closed = 0;
    control::set_output_directory(tools_test::temp_folder());
    aclose(19, closed);
    EXPECT_EQ(closed, 0);

    nc_proc_record record;
    record.block_number = 9;
    record.proc_type = 50;
    record.global_words = {44, 2, 0, 2, 45, 2, 0, 5};
    int id = 0, status = 0;
    dbd_proc(2, id, record, status);
    int code47 = 7;
    proc_date date{};
    get_proc_summary(1, 99, id, 5, code47, date, status);
    ASSERT_EQ(status, 0);
    const proc_summary_entry& stored = proc_table().entries[5];
    EXPECT_EQ((std::array<int, 4>{stored.number, stored.nc_function, stored.state, stored.transformation}),
              (std::array<int, 4>{9, 50, 2, 5}))
        << "from the stored procedure's records";
    EXPECT_EQ(code47, 0);
    get_proc_summary_ent(1, id, 202, code47, date, status);
    EXPECT_EQ(status, -1) << "no entry beyond the scratch entry";

    const int list[] = {4, 9, 2};
    EXPECT_EQ(int_list_index(3, list, 9), 2);
    EXPECT_EQ(int_list_index(3, list, 7), 4);
    EXPECT_EQ(int_list_index(0, list, 4), 1);
}

TEST_F(Listings, AssociationCheckMarksEditedAndChangedGeometry)
{
    struct row {
        assoc_step step;
        bool edited, changed;
        int mode, code47;
        int g, state, u;
    };
    const row rows[] = {
        {{50, 20, 2, 0, 0, 1}, true, false, 2, 0, 0, 2, 1},   // an edited tool: suspended, marked U
        {{51, 20, 2, 0, 0, 1}, false, false, 2, 0, 0, 1, 0},  // a tool not edited is passed over
        {{52, 1, 15, 0, 0, 1}, true, false, 2, 0, 0, 2, 0},   // an edited plain curve suspends
        {{53, 1, 1, 0, 0, 1}, true, false, 2, 0, 1, 1, 0},    // another edit changes the geometry
        {{53, 1, 1, 0, 0, 1}, true, false, 2, 1, 0, 2, 0},    // ... or suspends with item 47 at 1
        {{54, 1, 1, 0, 0, 1}, true, false, 3, 0, 0, 1, 0},    // mode 3 counts an edit as no change
        {{55, 1, 1, 32, 0, 1}, false, false, 2, 0, 1, 1, 0},  // the changed bit of the flags
        {{56, 1, 1, 0, 0, 1}, false, true, 2, 0, 1, 1, 0},    // changed by the host
        {{57, 8, 1, 1, 0, 1}, false, true, 2, 0, 0, 1, 0},    // a UCS kept as it stands
        {{58, 22, 1, 0, 0, 1}, true, true, 2, 0, 0, 1, 0},    // records of class 22 are passed over
        {{59, 1, 1, 0, 3, 1}, false, false, 2, 0, 1, 1, 0},   // a broken link changes the geometry
        {{60, 1, 1, 0, 0, 2}, true, true, 2, 0, 0, 1, 0},     // another procedure's step
    };
    for (const row& x : rows) {
        SetUp();
        control::set_procedure_block(1, 1);
        control::set_assoc_steps({x.step});
        control::set_entity_edited(x.step.entity, x.edited);
        control::set_entity_changed(x.step.entity, x.changed);
        const int numbers[] = {1}, code47[] = {x.code47};
        int g[] = {0}, state[] = {1}, u[] = {0};
        proc_assoc_update(x.mode, 1, 1, numbers, code47, g, state, u);
        EXPECT_EQ((std::array<int, 3>{g[0], state[0], u[0]}), (std::array<int, 3>{x.g, x.state, x.u})) << x.step.entity;
    }
    const int numbers[] = {1, 2}, code47[] = {0, 0};
    int g[] = {0, 0}, state[] = {1, 1}, u[] = {0, 0};
    const long walked = control::call_count("asseqa");
    proc_assoc_update(2, 1, 2, numbers, code47, g, state, u);
    EXPECT_EQ(control::call_count("asseqa"), walked) << "several procedures only in mode 1";
}

TEST_F(Listings, HeaderTextsOfTheCurrentToolPath)
{
    NPT1().at(tp_header_state::kMachineType) = 25;
    NPT1().at(tp_header_state::kMacsysName) = text4("PATH");
    NPT1().at(tp_header_state::kMacsysName + 1) = text4("1   ");
    RAXN().at(rotation_axes_state::kKind) = 1;
    control::set_view(4, {1, 0, 0, 0, 1, 0, 0, 0, 1}, "TOPVIEW");
    control::set_level_name(3, "LEVEL2");
    int view = 4;
    gsvnum(2, view);
    CLP1().at(proc_colour_pen::kLevel) = 2;
    control::set_flag("free_space", 5000);
    append_block(line_block(0, 1, 2, 3));
    tp_header_fields f;
    tp_header_text(0, 1, f);
    EXPECT_EQ(f.name, "TP NAME = PATH1       ");
    EXPECT_EQ(f.type, "TYPE = MILL 4X(A-AXIS)");
    EXPECT_EQ(f.size.substr(0, 10), "TP SIZE = ");
    EXPECT_EQ(f.bytes_left, "BYTES LEFT = 5000     ");
    EXPECT_EQ(f.macsys, "MACSYS = TOPVIEW      ");
    EXPECT_EQ(f.level, "LEVEL = LEVEL2        ");
    NPT1().at(tp_header_state::kMachineType) = 63;
    control::set_flag("free_space", 0);
    tp_header_text_c(0, 1, f);
    EXPECT_EQ(f.type, "TYPE = CHARMILLES");
    EXPECT_EQ(f.bytes_left, "BYTES LEFT = 0");
}

TEST_F(Listings, DialogAndCurrentToolUtilities)
{
    std::string text = "POCKET 1";
    state_text20_field(2, text);
    control::load_script_text(R"([{"text": ""}, {"text": "SIDE WALLS"}])", "texts");
    int result = 5;
    edit_txt2_text(result);
    EXPECT_LE(result, 0);
    state_text20_field(1, text);
    EXPECT_EQ(text, "POCKET 1            ") << "an empty answer keeps the text";
    EXPECT_EQ(control::lines_of("dsptx4").back(), "OLD TEXT=POCKET 1____________");
    edit_txt2_text(result);
    EXPECT_EQ(result, 0);
    state_text20_field(1, text);
    EXPECT_EQ(text, "SIDE WALLS          ");

    EXPECT_EQ(is_type15_entity(3, 1, 15), 0);
    EXPECT_EQ(is_type15_entity(2, 2, 15), 1);
    EXPECT_EQ(is_type15_entity(2, 3, 15), 0);

    macro_redisplay();
    EXPECT_EQ(control::call_count("macexe"), 0);
    control::set_flag("clear_request", 1);
    macro_redisplay();
    EXPECT_EQ(control::call_count("modisp"), 1);
    EXPECT_EQ(control::get_flag("clear_request"), 0);

    tool_shapes().mill.DIAMTR = 8.0f;
    tool_shapes().mill.CUTLNG = 20.0f;
    tool_shapes().mill.CRNRRD = 1.0f;
    const int mill = tool_with_master(kMill, "MILL 8");
    int status = 0;
    tool_select_current(0, mill, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(DSM4().at(modal_values::kTool), mill);
    const int shown = control::tool_instance();
    EXPECT_GT(shown, 0);
    tool_select_current(1, mill, status);
    EXPECT_EQ(control::tool_instance(), shown) << "kept with the keep flag";
    tool_dims_save();
    tool_set_mill_diameter(3.0f);
    tool_dims_restore();
    float diameter = 0.0f;
    tool_get_mill_diameter(mill, diameter);
    EXPECT_FLOAT_EQ(diameter, 8.0f);
    tool_select_current(0, 424242, status);
    EXPECT_EQ(status, -1);
    PRM9().set_real(machine_params::kBaseFeed, 333.0f);
    refresh_tool_state(mill, status);
    EXPECT_EQ(status, 0);
    float feed = 0.0f;
    tool_get_cond_feed(mill, feed);
    EXPECT_FLOAT_EQ(feed, 333.0f) << "the procedure's feed goes into the cutting condition";
    refresh_tool_state(424242, status);
    EXPECT_EQ(status, -1);
    const long before = control::call_count("curmac");
    curmac_sync(1, 2);
    EXPECT_EQ(control::call_count("curmac"), before + 1);
}
