// The block printers and PRTBLK: the FORMAT records of the full form, the listing form with its
// group headings and origin shifts, the parameter values, the markers, and the blocks that have
// no printer.
#include "listing_support.hpp"

#include "listing/block_printers.hpp"
#include "listing/fmt_writer.hpp"
#include "listing/lst_state.hpp"
#include "listing/prbt99.hpp"
#include "listing/prtblk.hpp"
#include "listing/prtbt1.hpp"
#include "toolpath/machine_table.hpp"

using namespace listing_test;

namespace {

constexpr int kUnit = 19;

std::vector<word> words_of(std::initializer_list<float> reals, int type, int number)
{
    std::vector<word> w{type, number};
    for (float v : reals) w.push_back(r(v));
    return w;
}

class Printers : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        lst_state() = listing_state{};
        int status = 0;
        aopen(kUnit, "printers.txt", 2, status);
        ASSERT_EQ(status, 0);
    }
    // Appends the blocks to the list and prints each with PRTBLK; the lines written.
    std::vector<std::string> print(int form, const std::vector<std::vector<word>>& blocks, float scale = 1.0f)
    {
        for (const auto& b : blocks) append_block(b);
        const std::size_t before = control::listing_lines(kUnit).size();
        int status = 0;
        lacces(2, status);
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            int type = 0;
            PRTBLK(form, kUnit, 2, -1, scale, type, status);
            statuses.push_back(status);
            lacces(1, status);
        }
        const auto all = control::listing_lines(kUnit);
        return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
    }
    std::vector<int> statuses;
};

}  // namespace

TEST(FormatWriter, TabsNestedGroupsAndSlashes)
{
    struct row {
        const char* format;
        std::vector<fmt_value> values;
        std::vector<std::string> lines;
    };
    const row rows[] = {
        {"(6x,i3,'-',i5,t12,'BLOCK NUMBER =',i5)", {12}, {"       12-"}},
        {"(6x,i3,'-',i5,t12,'BLOCK NUMBER =',i5)", {1, 2, 3}, {"        1- BLOCK NUMBER =    3"}},
        {"('ABCDEF',t3,'x')", {}, {"ABxDEF"}},
        {"(11x,'M:',3(/,12x,3(f11.4,1x)))", {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0},
         {"           M:", "                 1.0000      0.0000      0.0000 ", "                 0.0000      1.0000      0.0000 ",
          "                 0.0000      0.0000      1.0000 "}},
        {"(/11x,'B')", {}, {"", "           B"}},
    };
    for (const row& x : rows) {
        int status = 0;
        EXPECT_EQ(fmt_lines(x.format, x.values, status), x.lines) << x.format;
    }
}

TEST_F(Printers, FullFormOfALineBlock)
{
    tp_line_point p;
    p.number = 12;
    p.point = {1.0f, 2.0f, 3.0f};
    prt_line({kFullForm, kUnit, 9, 2, 1.0f}, p);
    EXPECT_EQ(control::listing_lines(kUnit),
              (std::vector<std::string>{"", " SIMPLE LIN. ", "      BLOCK SIZE   =    9", "      BLOCK NUMBER =   12",
                                        "   0-    12                     X =     1.0000   Y =     2.0000   Z =     3.0000"}));
    EXPECT_EQ(lst_state().last_type, 2);
}

TEST_F(Printers, ListingFormHeadingsDirectionsAndOrigin)
{
    // The header sets the listing origin (0, 0, 2); points print relative to it and divided by
    // the unit factor (scale 0.5).
    std::vector<word> header{0, 1, text4_to_word("TP01"), text4_to_word("    "), 23};
    for (float v : {0.0f, 0.0f, 2.0f, 10.0f, 0.0f, 2.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) header.push_back(r(v));
    header.insert(header.end(), {0, 0, 700, 0, 0, 0, 0, 0});
    std::vector<word> arc{3, 4, 1, r(90.0f), r(90.0f), r(1.0f), r(1.0f), r(2.0f), r(4.0f), r(2.0f)};
    std::vector<word> multax = words_of({1, 1, 4, 0.123456f, -0.999999f, 0.00009f}, 22, 6);
    const auto lines = print(kListForm,
                             {header, line_block(2, 2, 0, 2), line_block(3, 4, 0, 2), arc, line_block(5, 0, 0, 2), multax,
                              {99, 7, 3, r(5.0f)}},
                             0.5f);
    const std::vector<std::string> expected{
        " ",
        "   1  HEADER",
        "           MACSYS NAME     : \"        \" ",
        "           TOOL PATH LEVEL : \"      \" ",
        "           TOOL PATH NAME  : \"TP01    \" ",
        "           MACHINE TYPE    : \"MILL 3X   \" ",
        " ",
        "      (NOTE: The Tool Path origin is expressed in the MACSYS",
        "             coordinate system!  All other points are expressed",
        "             relative to the active origin.)",
        " ",
        "           TOOL PATH ORIGIN: X =     0.0000   Y =     0.0000   Z =     1.0000",
        "           HOME            : X =     5.0000   Y =     0.0000   Z =     0.0000",
        "           UCS NAME        : \"      \" ",
        " ",
        "                SIMPLE LINES:",
        "   0-     2                     X =     1.0000   Y =     0.0000   Z =     0.0000",
        "   0-     3                     X =     2.0000   Y =     0.0000   Z =     0.0000",
        "   0-     4      SIMPLE ARC:",
        "              ARC PLANE = XY ",
        "              ARC ANGLE = 90.0000",
        "              ARC CENTER X =     0.5000   Y =     0.5000                 ",
        "              ARC END    X =     1.0000   Y =     2.0000   Z =     0.0000",
        "                SIMPLE LINES:",
        "   0-     5                     X =     0.0000   Y =     0.0000   Z =     0.0000",
        "                MULTAX LINES:",
        "   0-     6                     X =     0.5000   Y =     0.5000   Z =     1.0000",
        "                               i =     0.1234   j =    -0.9999   k =     0.0000",
        " ",
        "   0-     7  OPEN  LAYER  (Z=1.5000)",
    };
    EXPECT_EQ(lines, expected);
    for (int s : statuses) EXPECT_EQ(s, 0);
}

TEST_F(Printers, ParameterValuesInBothForms)
{
    struct row {
        int form, prmtyp, integer;
        float real;
        std::vector<std::string> lines;
    };
    const std::string head = "   0-     5      MACHINE PARAMS: ";
    const row rows[] = {
        {1, 1, 0, -2.0f, {head + "FEED    = MAX_FEED"}},
        {0, 1, 0, -2.0f, {"      MACH.PAR. - FEED    = MAXIMUM FEED", "      BLOCK NUMBER =    5"}},
        {1, 1, 0, -2.2f, {head + "RAP.FEED= 2.2000"}},
        {0, 1, 0, -2.2f, {"      MACH.PAR. - FEED    =     -2.2000", "      BLOCK NUMBER =    5"}},
        {1, 1, 0, -1.0f, {head + "FEED    = FAST"}},
        {1, 1, 0, 250.0f, {head + "FEED    = 250.0000"}},
        {1, 59, 0, 300.0f, {head + "FEED    = 300.0000"}},
        {1, 57, 0, -2.0f, {head + "FEED    = MAX_FEED"}},
        {1, 2, -500, 0.0f, {head + "SPIN    = 500 CCW"}},
        {0, 2, 1200, 0.0f, {"      MACH.PAR. - SPIN    = 1200 CW", "      BLOCK NUMBER =    5"}},
        {1, 2, 0, 0.0f, {head + "SPIN    = STOP"}},
        {1, 3, 1, 0.0f, {head + "COOL    = OFF"}},
        {0, 3, 1, 0.0f, {"      MACH.PAR. - COOL    = OFF    ", "      BLOCK NUMBER =    5"}},
        {1, 3, 9, 0.0f, {}},
        {1, 5, 1, 0.0f, {head + "CUT.COM_= NOT IN USE"}},
        {1, 15, 2, 0.0f, {head + "WIRE    : CUT"}},
        {1, 20, 0, 0.0f, {head + "G27       "}},
        {1, 35, 0, 1.5f, {head + "G32:   C= 1.5000"}},
        {1, 52, 2, 0.0f, {head + "NIBBL_  = ON"}},
        {1, 54, 0, 3.14159265f, {head + "INDEX   = 180.0000"}},
        {1, 56, 4, 0.0f, {head + "STEP BY : VARIABLE PITCH"}},
        {0, 56, 4, 0.0f, {"      MACH.PAR. - STEP BY : VARIBLE PITCH", "      BLOCK NUMBER =    5"}},
        {1, 17, 3, 4.5f, {"      UNKNOWN PARAMETER---------UN KNOWN       3          4.5000"}},
    };
    for (const row& x : rows) {
        const std::size_t before = control::listing_lines(kUnit).size();
        PRTBT1(x.form, kUnit, 5, x.prmtyp, x.integer, x.real, 1.0f);
        const auto all = control::listing_lines(kUnit);
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), x.lines)
            << x.form << " " << x.prmtyp << " " << x.real;
    }
    PRM9().words[machine_params::kCutterComp] = 1;
    PRTBT1(1, kUnit, 5, 5, -1, 0.0f, 1.0f);
    EXPECT_EQ(control::listing_lines(kUnit).back(), head + "CUT.COM_= LEFT");
}

TEST_F(Printers, MarkersInBothForms)
{
    lst_state().origin = {0.0f, 0.0f, 2.0f};
    struct row {
        int form, code, value;
        float z;
        std::vector<std::string> lines;
    };
    const std::string col = "   0-     8";
    const row rows[] = {
        {0, 1, 0, 0.0f, {" ", " OPEN  COMPLEX", "        8-"}},
        {0, 2, 0, 0.0f, {" CLOSE COMPLEX", "        8-", " "}},
        {0, 3, 0, 5.0f, {" ", " OPEN  LAYER  (Z =     5.0000)", "        8-"}},
        {1, 3, 0, 5.0f, {" ", col + "  OPEN  LAYER  (Z=3.0000)"}},
        {0, 9, 2, 0.0f, {" ", " OPEN  APPROACH (TYPE = 2)", "        8-"}},
        {1, 9, 2, 0.0f, {" ", col + "  OPEN  APPROACH (TYPE=TAN.    )"}},
        {1, 9, 7, 0.0f, {" ", col + "  OPEN  APPROACH7"}},
        {0, 33, 12, 0.0f, {" ", " OPEN  PATH BY X ( 12)", "        8-"}},
        {1, 37, 12, 0.0f, {" ", col + "  OPEN  PATH BY RADIUS (12) "}},
        {0, 45, 3, 0.0f, {" ", " OPEN  THREAD CYCLE,PASS NUMBER:(  3)", "        8-"}},
        {1, 45, 3, 0.0f, {" ", col + "  OPEN  THREAD CYCLE,PASS NUMBER: (3)  "}},
        {0, 51, 0, 0.0f, {" ", " OPEN  SPRING PASSES", "        8-"}},
        {1, 52, 0, 0.0f, {col + "  CLOSE CHASS PASSES", " "}},
        {0, 53, 2, 0.0f, {" ", " OPEN  THREAD - START NUMBER:(  2)", "        8-"}},
        {0, 54, 2, 0.0f, {" CLOSE THREAD -  CURRENT START ", "        8-", " "}},
        {1, 54, 2, 0.0f, {col + "  CLOSE THREAD - CURRENT START", " "}},
        {1, 60, 4, 0.0f, {col + "  CLOSE REGION  4", " "}},
    };
    for (const row& x : rows) {
        const std::size_t before = control::listing_lines(kUnit).size();
        int status = -9;
        PRBT99(x.form, kUnit, 8, x.code, 1.0f, x.z, x.value, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(lst_state().last_type, 900 + x.code);
        const auto all = control::listing_lines(kUnit);
        EXPECT_EQ(std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), x.lines)
            << x.form << " " << x.code;
    }
    for (int code : {0, 67}) {
        int status = 0;
        PRBT99(1, kUnit, 8, code, 1.0f, 0.0f, 0, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(control::lines_of("erou1c").back(), "PRBT99 - UNEXPECTED MARKER TYPE " + std::to_string(code));
    }
}

TEST_F(Printers, BlocksWithoutPrinterAreSkippedAndTheListingGoesOn)
{
    const auto lines = print(kListForm, {{77, 1, 5, 6}, {8, 2, 0, 0, 0}, {32, 3, r(1.0f), r(2.0f)}, line_block(4, 1, 2, 3)});
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(lines, (std::vector<std::string>{"                SIMPLE LINES:",
                                               "   0-     4                     X =     1.0000   Y =     2.0000   Z =     3.0000"}));
    const auto errors = control::lines_of("erou1c");
    EXPECT_NE(std::find(errors.begin(), errors.end(), "PRTBLK - UNEXPECTED BLOCK TYPE 77"), errors.end());
    EXPECT_NE(std::find(errors.begin(), errors.end(), "PRTBLK - ERROR IN BLOCK. BTYPE = 32"), errors.end());
    EXPECT_EQ(control::lines_of("userrc").back(), "WARNING! OLD DRILL FORMAT NO LONGER EXISTS!");
}
