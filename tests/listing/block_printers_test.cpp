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
        {"(11x,'M:',3(/,12x,3(f11.4,1x)))",
         {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0},
         {"           M:", "                 1.0000      0.0000      0.0000 ",
          "                 0.0000      1.0000      0.0000 ", "                 0.0000      0.0000      1.0000 "}},
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
    EXPECT_EQ(
        control::listing_lines(kUnit),
        (std::vector<std::string>{"", " SIMPLE LIN. ", "      BLOCK SIZE   =    9", "      BLOCK NUMBER =   12",
                                  "   0-    12                     X =     1.0000   Y =     2.0000   Z =     3.0000"}));
    EXPECT_EQ(lst_state().last_type, 2);
}

TEST_F(Printers, ListingFormHeadingsDirectionsAndOrigin)
{
    // The header sets the listing origin (0, 0, 2); points print relative to it and divided by
    // the unit factor (scale 0.5).
    std::vector<word> header{0, 1, text4_to_word("TP01"), text4_to_word("    "), 23};
    for (float v : {0.0f, 0.0f, 2.0f, 10.0f, 0.0f, 2.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f})
        header.push_back(r(v));
    header.insert(header.end(), {0, 0, 700, 0, 0, 0, 0, 0});
    std::vector<word> arc{3, 4, 1, r(90.0f), r(90.0f), r(1.0f), r(1.0f), r(2.0f), r(4.0f), r(2.0f)};
    std::vector<word> multax = words_of({1, 1, 4, 0.123456f, -0.999999f, 0.00009f}, 22, 6);
    const auto lines = print(kListForm,
                             {header,
                              line_block(2, 2, 0, 2),
                              line_block(3, 4, 0, 2),
                              arc,
                              line_block(5, 0, 0, 2),
                              multax,
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
    const auto lines =
        print(kListForm, {{77, 1, 5, 6}, {8, 2, 0, 0, 0}, {32, 3, r(1.0f), r(2.0f)}, line_block(4, 1, 2, 3)});
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "                SIMPLE LINES:",
                         "   0-     4                     X =     1.0000   Y =     2.0000   Z =     3.0000"}));
    const auto errors = control::lines_of("erou1c");
    EXPECT_NE(std::find(errors.begin(), errors.end(), "PRTBLK - UNEXPECTED BLOCK TYPE 77"), errors.end());
    EXPECT_NE(std::find(errors.begin(), errors.end(), "PRTBLK - ERROR IN BLOCK. BTYPE = 32"), errors.end());
    EXPECT_EQ(control::lines_of("userrc").back(), "WARNING! OLD DRILL FORMAT NO LONGER EXISTS!");
}

namespace {

// One block of every type with a printer of its own, as the block writers lay them out.
std::vector<std::vector<word>> every_type()
{
    auto w = [](int type, int number, std::initializer_list<float> reals, std::initializer_list<int> tail = {}) {
        std::vector<word> b = words_of(reals, type, number);
        b.insert(b.end(), tail.begin(), tail.end());
        return b;
    };
    std::vector<std::vector<word>> blocks;
    blocks.push_back({3, 1, 2, r(90.0f), r(45.0f), r(1.5f), r(-2.0f), r(3.0f), r(0.0f), r(-1.0f)});
    blocks.push_back(
        {23, 2, 1, r(30.0f), r(10.0f), r(1.0f), r(1.0f), r(2.0f), r(2.0f), r(0.0f), r(0.6f), r(0.0f), r(0.8f)});
    blocks.push_back(words_of({1, 2, 3, 0, 0, 1, 4, 5, 6, 0, 1, 0}, 27, 3));
    blocks.push_back({4, 4, 6, text4_to_word("$G01"), text4_to_word("    ")});
    blocks.push_back(words_of({10, 20, 30, 0, 0, 0}, 6, 5));
    std::vector<word> rot{9, 6, 2};
    for (float v : {1.0f, 2.0f, 3.0f, 90.0f}) rot.push_back(r(v));
    rot.insert(rot.end(), {7, r(0.5f), 8, r(1.5f), r(4.0f), r(5.0f), r(6.0f)});
    blocks.push_back(rot);
    std::vector<word> axes{10, 7, 3};
    for (float v : {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f}) axes.push_back(r(v));
    axes.insert(axes.end(), {9, r(2.5f)});
    blocks.push_back(axes);
    blocks.push_back({11, 8, 2, r(-20.0f), r(0.0f), r(0.0f), r(5.0f), 3, r(0.2f)});
    blocks.push_back(w(13, 9, {0, 0, 0, 0, 0, -30}, {2, 1}));
    std::vector<word> groove{14, 10, 3};
    for (float v : {40.0f, 0.0f, -5.0f, 40.0f, 0.0f, -8.0f, 3.0f, 1.0f, 0.5f, 4.0f, 2.0f, 0.2f}) groove.push_back(r(v));
    blocks.push_back(groove);
    blocks.push_back({30, 11, 0, 0, 1, r(-10.0f), r(2.0f), r(3.0f), 1, r(5.0f)});
    blocks.push_back({35, 12, 0, 0, 1, r(-10.0f), r(2.0f), r(3.0f), 2, r(5.0f)});
    blocks.push_back(w(31, 13, {1, 2, -3, 0, 0.707107f, -0.707107f}, {0}));
    blocks.push_back({33, 14, r(3.0f), r(1.0f)});
    blocks.push_back({34, 15, 1, 2});
    blocks.push_back({36, 16, r(-4.0f), r(-2.0f)});
    std::vector<word> transform{40, 17};
    for (float v : {0.0f, -1.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 10.0f, 20.0f, 0.0f})
        transform.push_back(r(v));
    blocks.push_back(transform);
    return blocks;
}

}  // namespace

TEST_F(Printers, EveryTypeInTheFullAndTheListingForm)
{
    const std::vector<std::string> full{
        "",
        " SIMPLE ARC ",
        "      BLOCK SIZE   =   10",
        "      BLOCK NUMBER =    1",
        "                ARC PLANE  = XZ ",
        "                ARC ANGLE  =     90.0000",
        "                DEL ANGLE  =     45.0000",
        "                ARC CENTER     1.5000     -2.0000",
        "                ARC END        3.0000      0.0000     -1.0000",
        "",
        " MULTAX ARC ",
        "      BLOCK SIZE   =   13",
        "      BLOCK NUMBER =    2",
        "                ARC PLANE  = XY ",
        "                ARC ANGLE  =     30.0000",
        "                DEL ANGLE  =     10.0000",
        "                ARC CENTER     1.0000      1.0000",
        "                ARC END        2.0000      2.0000      0.0000",
        "                TOOL DIRECTION AT ARC END      0.6000      0.0000      0.8000",
        "",
        " STRING OF MULTAX LINES ",
        "                TOTAL NUMBER OF POINTS =   1",
        "                              X            Y            Z ",
        "                                   i            j            k ",
        "      BLOCK SIZE   =   14",
        "      BLOCK NUMBER =    3",
        "   0-     3                     X =     1.0000   Y =     2.0000   Z =     3.0000",
        "                               i =     0.0000   j =     0.0000   k =     1.0000",
        "      CODE WITH SEQ.      = <G01  >",
        "      BLOCK SIZE          =    5",
        "      BLOCK NUMBER        =    4",
        "",
        " HOME DEF.    : ",
        "      BLOCK SIZE   =    8",
        "      BLOCK NUMBER =    5",
        "   0-     5                     X =    10.0000   Y =    20.0000   Z =    30.0000",
        " MACSYS ROTATION ",
        "      BLOCK SIZE   =   14",
        "      BLOCK NUMBER =    6",
        "      ROTATION AXES    = Y AXIS",
        "      AXIS INDEX= 2",
        "           ARC CENTER       =      1.0000     2.0000     3.0000",
        "           ROTATION ANGLE   =     90.0000",
        "           OLD MACSYS PTR   =    7",
        "           OLD MACSYS DEPTH =      0.5000",
        "           NEW MACSYS PTR   =    8",
        "           NEW MACSYS DEPTH =      1.5000",
        "           END POINT        =      4.0000     5.0000     6.0000",
        "",
        "",
        " ROTATION AXES DEFINITION ",
        "      BLOCK SIZE   =   11",
        "      PROC.BLOCK NUMBER =  7",
        "      ROTATION AXES: X AND Y AXIS, X IS A FIXED AXIS ",
        "      AXIS INDEX= 3",
        "           X PIVOT POINT    =       1.0000       0.0000       0.0000 ",
        "           Y PIVOT POINT    =       0.0000       1.0000       0.0000 ",
        "           ORIGINAL MACSYS PTR   =    9",
        "           ORIGINAL MACSYS DEPTH =       2.5000",
        "",
        "",
        " LATHE DRILL CYCLE:",
        "                           X            Y            Z ",
        "      BLOCK SIZE   =    9",
        "      BLOCK NUMBER =    8",
        "           DRILL TYPE  = 2",
        "           DRILL DEPTH =   -20.0000",
        "           DRILL START     0.0000       0.0000       5.0000",
        "           NUMBER STEPS = 3",
        "           DRILL FEED  =     0.2000",
        "",
        " THREAD CYCLE ",
        "      BLOCK SIZE   =   10",
        "      BLOCK NUMBER =    9",
        "                START POINT      0.0000      0.0000      0.0000",
        "                END   POINT      0.0000      0.0000    -30.0000",
        "                TOTAL NUMBER OF STARTS :    2",
        "                CURRNT  START  NUMBER  :    1",
        "",
        "",
        " GROOVE CYCLE ",
        "      BLOCK SIZE   =   15",
        "      BLOCK NUMBER =   10",
        "                GROOVE TYPE:   FACING       ",
        "                START POINT     40.0000      0.0000     -5.0000",
        "                END   POINT     40.0000      0.0000     -8.0000",
        "                TOTAL DOWN STEP :     3.0000",
        "                DEPTH OF CUT    :     1.0000",
        "                RETRACT AMOUNT  :     0.5000",
        "                GROOVE WIDTH    :     4.0000",
        "                SIDE STEP       :     2.0000",
        "                DELTA UP        :     0.2000",
        "",
        "",
        " CYCLE ACTIVATION ",
        "      BLOCK SIZE   =   10",
        "      BLOCK NUMBER =   11",
        "           CYCLE NAME - \"                     \"  ",
        "           DEL-ZSURF =     2.0000",
        "            DEPTH    =   -10.0000",
        "            CLEAR    =     3.0000",
        "           DEL-INIT  =     5.0000",
        "           RETRACT TO R-PLANE",
        "",
        " CYCLE CANCELATION",
        "      BLOCK SIZE   =   10",
        "      BLOCK NUMBER =   12",
        "           CYCLE NAME - \"                     \"  ",
        "           DEL-ZSURF =     2.0000",
        "            DEPTH    =   -10.0000",
        "            CLEAR    =     3.0000",
        "           DEL-INIT  =     5.0000",
        "           RETRACT TO I-PLANE",
        "",
        " DRILL LOCATION:",
        "                           X            Y            Z ",
        "                           i            j            k ",
        "      BLOCK SIZE   =    9",
        "      BLOCK NUMBER =   13",
        "                            1.0000       2.0000      -3.0000",
        "                            0.0000       0.7071      -0.7071",
        "",
        " DEL-ZSURF SETTING",
        "      BLOCK SIZE   =    4",
        "      BLOCK NUMBER =   14",
        "                           NEW DISTANCE ",
        "                                   2.0000",
        "",
        " RETRACT MODE ",
        "      BLOCK SIZE   =    4",
        "      BLOCK NUMBER =   15",
        "                          OLD     NEW",
        "                          1        2",
        "",
        " DEPTH  SETTING",
        "      BLOCK SIZE   =    4",
        "      BLOCK NUMBER =   16",
        "                           OLD          NEW",
        "                                 -2.0000      -4.0000",
        "",
        " TP TRANSFORMATION",
        "      BLOCK SIZE   =   14",
        "      BLOCK NUMBER =   17",
        "           TR. MATRIX: ",
        "                 0.0000     -1.0000      0.0000 ",
        "                 1.0000      0.0000      0.0000 ",
        "                 0.0000      0.0000      1.0000 ",
        "           TRANSLATION =    10.0000      20.0000       0.0000",
        ""};
    EXPECT_EQ(print(kFullForm, every_type()), full);
    const std::vector<std::string> listed{
        "   0-     1      SIMPLE ARC:",
        "              ARC PLANE = XZ ",
        "              ARC ANGLE = 90.0000",
        "              ARC CENTER X =     1.5000   Y =    -2.0000                 ",
        "              ARC END    X =     3.0000   Y =     0.0000   Z =    -1.0000",
        "   0-     2      MULTAX ARC:",
        "              ARC PLANE = XY ",
        "              ARC ANGLE = 30.0000",
        "              ARC CENTER X =     1.0000   Y =     1.0000                 ",
        "              ARC END    X =     2.0000   Y =     2.0000   Z =     0.0000",
        "              TOOL DIR.  i =     0.6000   j =     0.0000   k =     0.8000",
        " ",
        "                STRING OF MULTAX LINES (NUMBER OF POINTS = 1)",
        "   0-     3                     X =     1.0000   Y =     2.0000   Z =     3.0000",
        "                               i =     0.0000   j =     0.0000   k =     1.0000",
        "   4  CODE WITH SEQ.     <G01  >",
        "                   HOME DEF.:",
        "   0-     5                     X =    10.0000   Y =    20.0000   Z =    30.0000",
        "   0-     6      MACSYS ROTATION BLOCK",
        "                        ROTATION AXES   = Y AXIS",
        "                        ROTATION ANGLE  = 90.0000",
        "                        ARC CENTER X =     1.0000   Y =     2.0000   Z =     3.0000",
        "                        ARC END X =     4.0000   Y =     5.0000   Z =     6.0000",
        " ",
        "   7  ROTATION AXES DEFINITION",
        "            ROTATION AXES: X AND Y AXIS, X IS A FIXED AXIS",
        "            X PIVOT POINT: X =     1.0000   Y =     0.0000   Z =     0.0000",
        "            Y PIVOT POINT: X =     0.0000   Y =     1.0000   Z =     0.0000",
        " ",
        " ",
        "   0-     8  LATHE DRILL CYCLE",
        "                DRILL TYPE    = HIGH SPEED PECK DRILL   ",
        "                NUMBER STEPS  = 3",
        "                DRILL START Z = 0.0000",
        "                DRILL DEPTH   = -20.0000",
        "   0-     9      THREAD CYCLE:",
        "                       STRT POINT X =     0.0000   Y =     0.0000   Z =     0.0000",
        "                       END  POINT X =     0.0000   Y =     0.0000   Z =   -30.0000",
        "                       TOTAL NUMBER OF STARTS: 2",
        "                       CURRENT  START  NUMBER: 1",
        " ",
        "   0-    10      GROOVE CYCLE:",
        "                       GROOVE TYPE:    FACING       ",
        "                       STRT POINT X =    40.0000   Y =     0.0000   Z =    -5.0000",
        "                       END  POINT X =    40.0000   Y =     0.0000   Z =    -8.0000",
        "                       TOTAL DOWN STEP: 3.0000",
        "                       DEPTH OF CUT   : 1.0000",
        "                       RETRACT AMOUNT : 0.5000",
        "                       GROOVE WIDTH   : 4.0000",
        "                       SIDE STEP      : 2.0000",
        "                       DELTA UP       : 0.2000",
        " ",
        "   0-    11  CYCLE ACTIVATION BLOCK",
        "                DEL-ZSURF = 2.0000",
        "                DEPTH     = -10.0000",
        "                CLEAR     = 3.0000",
        "                DEL-INIT  = 5.0000",
        "                RETRACT TO R-PLANE",
        " ",
        "   0-    12  CYCLE CANCELATION BLOCK:",
        " ",
        "           DRILL LOCATION BLOCK:",
        "   0-    13                X =     1.0000   Y =     2.0000   Z =    -3.0000",
        "                          i =     0.0000   j =     0.7071   k =    -0.7071",
        " ",
        "   0-    14  DEL-ZSURF SETTING BLOCK:",
        "                  DIS-NEW = 2.0000",
        " ",
        "   0-    15  RETRACT MODE BLOCK:",
        "                 OLD = \"TO-RETRACT\" NEW = \"TO-INIT\"   ",
        " ",
        "   0-    16  DEPTH SETTING BLOCK:",
        "                                OLD          NEW",
        "                           Z-OLD = -2.0000   Z-NEW = -4.0000",
        " ",
        "   0-    17  TP TRANSFORMATION BLOCK:",
        "                          TR. MATRIX:",
        "                 0.0000     -1.0000      0.0000 ",
        "                 1.0000      0.0000      0.0000 ",
        "                 0.0000      0.0000      1.0000 ",
        "                          TRANSLATION: X =    10.0000   Y =    20.0000   Z =     0.0000"};
    EXPECT_EQ(print(kListForm, every_type()), listed);
    for (int s : statuses) EXPECT_EQ(s, 0);
}
