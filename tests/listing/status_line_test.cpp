// The machine status line: every field's text by machine type and value, the mended counter and
// block-number fields, and the repaint brackets.
#include "listing_support.hpp"

#include "listing/status_line.hpp"

using namespace listing_test;

using StatusLine = DisplayTest;

TEST_F(StatusLine, FeedSpindleAndCoolantFieldsByMachine)
{
    struct row {
        int machine;
        float feed;
        int punch, nibble, coolant, spin;
        const char* feed_field;
        const char* spin_field;
        const char* coolant_field;
    };
    const row rows[] = {
        {23, -1.0f, 0, 0, 1, 1200, " F A S T    ", "SPIN=1200   ", " COOLNT OFF "},
        {23, -2.0f, 0, 0, 2, -800, "MAX.FEED    ", "SPIN=-800   ", " F L O O D  "},
        {23, -5.0f, 0, 0, 5, 0, "RAPID FEED  ", "SPIN=0      ", "  A I R     "},
        {23, 250.5f, 0, 0, 9, 12345678, "FEED=250.500", "SPIN=*******", "            "},
        {12, 100.0f, 1, 1, 3, 0, "  PUNCH_OFF ", "NIBBLING_OFF", "            "},
        {13, 100.0f, 2, 2, 3, 0, "  PUNCH_ON  ", "NIBBLING_ON ", "            "},
        {63, 100.0f, 0, 0, 3, 500, "            ", "            ", "            "},
    };
    for (const row& x : rows) {
        NPT1().at(tp_header_state::kMachineType) = x.machine;
        modal_values& m = DSM4();
        m.set_real(modal_values::kFeed, x.feed);
        m.at(modal_values::kPunch) = x.punch;
        m.at(modal_values::kNibble) = x.nibble;
        m.at(modal_values::kCoolant) = x.coolant;
        m.at(modal_values::kSpin) = x.spin;
        status_show_feed(2);
        status_show_spin(2);
        status_show_coolant(2);
        EXPECT_EQ(control::status_field(2, 4), x.feed_field) << x.machine << " " << x.feed;
        EXPECT_EQ(control::status_field(2, 5), x.spin_field) << x.machine;
        EXPECT_EQ(control::status_field(2, 6), x.coolant_field) << x.machine << " " << x.coolant;
    }
    control::set_flag("unit_code", 3);
    DSM4().set_real(modal_values::kFeed, 254.0f);
    NPT1().at(tp_header_state::kMachineType) = 22;
    status_show_feed(2);
    EXPECT_EQ(control::status_field(2, 4), "FEED=10.000 ") << "in inches";
}

TEST_F(StatusLine, CuttingSpeedOnTheLathe)
{
    NPT1().at(tp_header_state::kMachineType) = 31;
    PRM9().words[2] = 1;
    DSM4().set_real(modal_values::kCuttingSpeed, 120.0f);
    DSM4().at(modal_values::kSpin) = 900;
    status_show_spin(2);
    EXPECT_EQ(control::status_field(2, 5), "VC=  120.0  ");
    const word feet = 4;
    int status = 0;
    mdputc("USUN", 1, &feet, status);
    status_show_spin(2);
    EXPECT_EQ(control::status_field(2, 5), "VC=  393.70 ");
    PRM9().words[2] = 2;
    status_show_spin(2);
    EXPECT_EQ(control::status_field(2, 5), "SPIN=900    ");
}

TEST_F(StatusLine, CounterBlockNumberToolAndMachineFields)
{
    struct counter_row {
        int value;
        const char* field;
    };
    for (const counter_row& x :
         {counter_row{5, "PASSES  =5  "}, {123, "PASSES  =123"}, {1234, "PASSES  =***"}, {0, "            "}}) {
        status_show_label_int(2, "PASSES  ", x.value);
        EXPECT_EQ(control::status_field(2, 13), x.field) << x.value;
    }
    status_show_text8(2, std::string_view("LEVEL\0XX", 8), 7);
    EXPECT_EQ(control::status_field(2, 13), "LEVEL   =7  ");
    for (const counter_row& x : {counter_row{0, "BLK=0       "},
                                 {1234567, "BLK=1234567 "},
                                 {12345678, "BLK=******* "},
                                 {-1, "            "}}) {
        MUTBLN(2, x.value);
        EXPECT_EQ(control::status_field(2, 14), x.field) << x.value;
    }
    const int tool = tools_test::make_tool(kMill, "LONG NAME OF A MILL");
    DSM4().at(modal_values::kTool) = tool;
    status_show_tool(2);
    EXPECT_EQ(control::status_field(2, 7), "T=LONG NAME ");
    EXPECT_TRUE(control::status_field_flag(2, 7));
    status_show_tool(4);
    EXPECT_FALSE(control::status_field_flag(4, 7)) << "asked with 4: not highlighted";
    status_show_tool(1);
    EXPECT_EQ(control::status_field(1, 7), "T=          ") << "window 1 shows no name";
    struct kind_row {
        int machine, axes;
        const char* field;
    };
    for (const kind_row& x : {kind_row{25, 1, "MILL 4X  (X)"},
                              {25, 2, "MILL 4X  (Y)"},
                              {25, 3, "MILL 4X  (Z)"},
                              {62, 0, "AGIE        "},
                              {99, 0, "            "}}) {
        NPT1().at(tp_header_state::kMachineType) = x.machine;
        RAXN().at(rotation_axes_state::kKind) = x.axes;
        status_show_machine_type(2);
        EXPECT_EQ(control::status_field(2, 12), x.field) << x.machine << " " << x.axes;
    }
    EXPECT_EQ(control::nc_block_copy("RAXN").size(), 9u) << "the axes block goes to the host first";
}

TEST_F(StatusLine, PositionFieldsAndTheWholeLine)
{
    DSP8().set_vec(tool_position_state::kPosition, {11, 22, 33});
    DSP8().set_vec(tool_position_state::kAxis, {0, 0.6f, 0.8f});
    NPT1().set_real(tp_header_state::kMacsysOrigin, 1.0f);
    struct row {
        int machine;
        std::vector<std::string> fields;  // 1, 2, 3, 8, 9, 10
    };
    const row rows[] = {
        {23, {"X=10.000    ", "Y=22.000    ", "Z=33.000    ", "            ", "            ", "            "}},
        {26, {"X=10.000    ", "Y=22.000    ", "Z=33.000    ", "I=0.0000    ", "J=0.6000    ", "K=0.8000    "}},
        {31, {"MACHINE COOR", "X=22.000    ", "Z=10.000    ", "MACSYS COOR ", "X=10.000    ", "Y=22.000    "}},
    };
    for (const row& x : rows) {
        NPT1().at(tp_header_state::kMachineType) = x.machine;
        status_repaint(2);
        std::vector<std::string> shown;
        for (int f : {1, 2, 3, 8, 9, 10}) shown.push_back(control::status_field(2, f));
        EXPECT_EQ(shown, x.fields) << x.machine;
    }
    const int paints = control::status_paints();
    status_refresh_all(2);
    EXPECT_EQ(control::status_paints(), paints + 2) << "the whole line and its position fields";
    EXPECT_EQ(control::status_paints_open(), 0);
    EXPECT_EQ(control::status_field(2, 14), std::string(12, ' '));
    EXPECT_EQ(control::nc_block_copy("DSP8").size(), 35u);
}
