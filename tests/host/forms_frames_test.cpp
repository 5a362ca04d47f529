// The host calls of the module's forms and of the tool symbols: modifa's answers and what it was
// given, the fields of the forms, the label table, the data menu's entries; coordinate systems
// from points that arcs are evaluated in, the crossing of two curve records, the data doubles and
// visibility of entities, the work-plane words and the note line.
#include "host/control.hpp"
#include "host/control/nc_state.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace control = vantu::control;

namespace {

void start(std::string_view script)
{
    control::reset();
    control::load_script_text(script, "test.json");
}

}  // namespace

TEST(Forms, ModifaAnswersTheFirstChangedLineElseTheFinalOne)
{
    struct row {
        const char* step;
        int answer;
        float real;
        const char* text;
    };
    const row rows[] = {
        {R"({"page": [{"line": 3, "value": 2.5}, {"line": 0}]})", 3, 2.5f, "AB"},
        {R"({"page": [{"line": 1, "value": "A NAME OF TWENTY CHR"}, {"line": 3, "value": 4}]})", 1, 4.0f,
         "A NAME OF TWENTY CHR"},
        {R"({"page": [{"line": 3, "value": 1}, {"line": 0}]})", 0, 1.0f, "AB"},  // the value it had
        {R"({"page": 2})", 2, 1.0f, "AB"},
        {R"({"page": -3})", -3, 1.0f, "AB"},
        {R"({"page": -2})", -2, 1.0f, "AB"},
        {R"({"page": [{"line": 4, "value": 16}, {"line": 0}]})", -1, 1.0f, "AB"},  // refused, then none left
    };
    for (const row& x : rows) {
        start(std::string("[") + x.step + "]");
        int status = 0, form_word = 2, colour = 3;
        word name[5] = {text4_to_word("AB  "), text4_to_word("    "), text4_to_word("    "), text4_to_word("    "),
                        text4_to_word("    ")};
        float real = 1.0f;
        modint(-1, 3, 28, 4, status);
        nu_mod_exec(7, 3001, -1, name[0], 0, 0, status);
        modm("MORE TOOL DATA ...");
        modfc("FEED", real, 0.5f, 10);
        modcls();
        modclr(colour);
        const int watch[] = {1, 3};
        modifa(1, form_word, watch, status);
        EXPECT_EQ(status, x.answer) << x.step;
        EXPECT_FLOAT_EQ(real, x.real) << x.step;
        std::string text(20, ' ');
        movi2t(name, 5, text.data());
        text.erase(text.find_last_not_of(' ') + 1);
        EXPECT_EQ(text, x.text) << x.step;
        EXPECT_EQ(colour, 3) << x.step;
        EXPECT_EQ(control::last_form_run().form_word, 2);
        EXPECT_EQ(control::last_form_run().watch, (std::vector<int>{1, 3}));
        EXPECT_EQ(control::page_lines().size(), 4u) << "a column break is no line";
    }
}

TEST(Forms, TitledChoicesTextFieldsAndTheLabelTable)
{
    start(R"([{"page": [{"line": 1, "value": "MANUAL"}, {"line": 2, "value": "lower text"}, {"line": 0}]},
              {"page": [{"line": 2, "value": "longer than ten"}, {"line": 0}]}])");
    int status = 0, mode = 1, form_word = 0;
    std::string text = "ABC";
    modint(-1, 3, 28, 4, status);
    modmmc(" S/M @STANDARD@MANUAL", mode);
    mods("REMARK", text, 10);
    modifa(0, form_word, {}, status);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(text, "lower text");
    modifa(0, form_word, {}, status);  // refused: more than the field's 10 characters
    EXPECT_EQ(text, "lower text");

    std::array<word, 3> labels{};
    int did = 1;
    nu_modl_get_did_init(3, did);
    EXPECT_EQ(did, 0);
    nu_modl_init(3, labels, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(labels, (std::array<word, 3>{3001, 3002, 3003}));
    nu_modl_get_did_init(3, did);
    EXPECT_EQ(did, 1);
    nu_modl_rels(3, status);
    nu_modl_get_did_init(3, did);
    EXPECT_EQ(did, 0);
    control::inject_fault("nu_modl_init", 1, 1, -4);
    labels.fill(0);
    nu_modl_init(3, labels, status);
    EXPECT_EQ(status, -4);
    EXPECT_EQ(labels[0], 0);
}

TEST(Forms, DataMenuListsItsEntries)
{
    start(R"([{"menu": 2, "expect": "data menu: DEFAULT@HSS"}])");
    dminz5(3);
    dmdefc("DEFAULT");
    dmdefc("HSS");
    dmshow();
    EXPECT_EQ(control::data_menu_entries(), (std::vector<std::string>{"DEF", "HSS"}));
    dminz5(10);
    dmdefc("DEFAULT");
    dmdefc("HSS");
    int item = 0;
    dminpt(item, nullptr, 0, 1);
    EXPECT_EQ(item, 2);
}

TEST(Frames, ArcsNamingACoordinateSystemAreEvaluatedInIt)
{
    control::reset();
    // X along world Y, Y pointing down: the corner plane of a tool edge.
    const float origin[3] = {0, 0, 2}, x_point[3] = {0, 7, 2}, below[3] = {0, 0, 1};
    int ucs = 0, status = 0, view = 0;
    xsys4(origin, x_point, below, ucs, status);
    ASSERT_EQ(status, 0);
    trchk(ucs, view, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(view, ucs);
    int arc = 0;
    estore(kCurveClass, kArcType, arc, status);
    const double record[9] = {3, 0, 0, 0, 0, 1, 2, 0, 90};  // centre (3, 0, 0), radius 2, 0 to 90 degrees
    eputd(9, record, status);
    eclose(status);
    eattc(arc, 2, "RP", view, status);
    struct row {
        double t;
        double point[3];
    };
    // Angle 0 lies along the system's X (world Y), 90 along its Y (world -Z).
    const row rows[] = {
        {0.0, {0, 5, 2}}, {M_PI / 2, {0, 3, 0}}, {M_PI / 4, {0, 3 + std::sqrt(2.0), 2 - std::sqrt(2.0)}}};
    for (const row& x : rows) {
        double p[3];
        evcrvd(arc, x.t, p, nullptr, status);
        ASSERT_EQ(status, 0);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(p[k], x.point[k], 1e-6) << x.t;
    }
    const auto picture = control::curve_display_points(arc);
    ASSERT_FALSE(picture.empty());
    EXPECT_NEAR(picture.back()[2], 0.0, 1e-6);
    const float same[3] = {0, 0, 2};
    xsys4(origin, same, below, ucs, status);
    EXPECT_EQ(status, -1);
}

TEST(Frames, Intr0StepsTwoRecordsToTheirCrossing)
{
    // Two lines: y = 0 through (0, 0) and x = 4 through (4, -3); a circle record of radius 5
    // about the origin at (5, 0).
    const curve_record along_x{{0, 0, 0}, {1, 0, 0}, {0, 0, 0}};
    const curve_record up{{4, -3, 0}, {0, 1, 0}, {0, 0, 0}};
    double t1 = 0, t2 = 0;
    int status = 0;
    intr0(along_x, t1, up, t2, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(t1, 4.0, 1e-12);
    EXPECT_NEAR(t2, 3.0, 1e-12);
    const curve_record parallel{{0, 2, 0}, {2, 0, 0}, {0, 0, 0}};
    t1 = t2 = 0;
    intr0(along_x, t1, parallel, t2, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(t1, 0.0);
}

TEST(EntityServices, DataDoublesVisibilityWorkPlaneAndNoteLine)
{
    control::reset();
    int line = 0, status = 0;
    estore(kCurveClass, kLineType, line, status);
    const double ends[6] = {0, 0, 0, 3, 4, 0};
    eputd(6, ends, status);
    eclose(status);
    double data[3] = {};
    edatad(1, line, data, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(data[2], 5.0);
    data[2] = 0.5;
    edatad(2, line, data, status);
    data[2] = 0;
    edatad(1, line, data, status);
    EXPECT_EQ(data[2], 0.5);
    std::string text = "/";
    evism(2, line, text, status);
    text.clear();
    evism(1, line, text, status);
    EXPECT_EQ(text, "/");
    evism(2, 999, text, status);
    EXPECT_EQ(status, kEntityMissing);
    const std::string saved = control::save_part_text();
    control::load_part_text(saved, "saved");
    evism(1, line, text, status);
    EXPECT_EQ(text, "/");

    int words[2] = {4, 7};
    gswpld(2, words);
    EXPECT_EQ(control::work_plane_words(), (std::array<int, 2>{4, 7}));
    int unit = 0;
    float factor = 0;
    control::set_flag("unit_code", 3);
    getunt(unit, factor);
    EXPECT_EQ(unit, 3);
    EXPECT_FLOAT_EQ(factor, 25.4f);
    usrer6("NOTE: NEW", "MILL       ", "TOOL CREATED:", "T1                  ");
    EXPECT_EQ(control::lines_of("usrer6"), (std::vector<std::string>{"NOTE: NEW MILL TOOL CREATED: T1"}));
}
