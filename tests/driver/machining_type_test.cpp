// Machining type: every row of the table on a machine of its family, the lowest machine type of
// the milling rows, the refusals, the wire classes by machine type, the NC function names; and
// the message window.
#include "driver/set_machining_type.hpp"
#include "host/control.hpp"
#include "host/control/nc_state.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/msg_window.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace control = vantu::control;

constexpr int kSentinelType = 999;
constexpr int kUnchanged = -1;

struct expected_row {
    int machine;  // a machine type of the family
    std::vector<int> functions;
    int type;  // kUnchanged: the machining type stays
    int condition;
    std::vector<int> allowed;  // the tool classes allowed afterwards
    int param_type;
    int lowest;  // milling: lowest machine type
    int suspend;
    bool motion_form;       // PRM9 word 22 = 2
    bool compensation_off;  // PRM9 word 12 = 0
};

// The table as the procedure driver must apply it.
const std::vector<expected_row> kExpected = {
    {26, {10, 11, 12, 39}, kUnchanged, 1, {1, 2}, 3, 22, 0, true, false},
    {26, {6}, 16, 1, {1, 2}, 6, 22, 1, true, false},
    {26, {1}, 6, 1, {2}, 1, 22, 1, true, false},
    {26, {33, 2, 3}, 9, 2, {2}, 1, 22, 1, true, false},
    {26, {9, 28}, 2, 3, {2}, 2, 23, 1, false, false},
    {26, {4}, 11, 3, {2}, 2, 23, 1, false, false},
    {26, {35}, 14, 3, {2}, 2, 23, 1, false, false},
    {26, {7}, 25, 3, {2}, 2, 23, 1, false, true},
    {26, {27}, 15, 3, {2}, 1, 23, 1, false, false},
    {26, {48}, 29, 3, {2}, 1, 23, 1, false, false},
    {26, {36, 15}, 28, 3, {2}, 1, 23, 1, true, false},
    {26, {5}, 12, 2, {2}, 2, 23, 1, true, true},
    {26, {34, 38}, 13, 2, {2}, 2, 23, 1, true, false},
    {26, {37, 13}, 27, 1, {2}, 1, 23, 1, true, false},
    {26, {14}, 27, 3, {2}, 1, 23, 1, true, false},
    {26, {49}, 30, 1, {2}, 1, 26, 1, true, false},
    {26, {8}, 21, 2, {}, 4, 24, 0, true, false},
    {26, {52}, 34, 2, {}, 4, 22, 1, true, false},
    {26, {53}, 35, 2, {}, 4, 22, 1, true, false},
    {26, {54}, 38, 4, {2}, 26, 23, 1, true, true},
    {26, {55}, kUnchanged, 2, {2}, 2, 23, 1, true, true},
    {26, {56}, 39, 3, {2}, 1, 23, 1, true, false},
    {31, {20, 40}, kUnchanged, 1, {3, 8, 9, 10}, 20, 0, 0, false, false},
    {31, {8}, 21, 1, {3, 8, 9, 10}, 4, 0, 0, false, false},
    {31, {31, 21}, 5, 1, {3}, 21, 0, 1, false, false},
    {31, {32, 22}, 10, 1, {3}, 21, 0, 1, false, false},
    {31, {23}, 17, 1, {8}, 23, 0, 1, false, false},
    {31, {29}, 26, 1, {9}, 24, 0, 1, false, false},
    {31, {30}, 4, 1, {10}, 25, 0, 1, false, false},
    {62, {26, 41}, kUnchanged, 1, {5}, 19, 0, 0, false, false},
    {62, {24}, 23, 1, {5}, 19, 0, 1, false, false},
    {62, {25}, 24, 1, {5}, 19, 0, 1, false, false},
    {62, {50}, 31, 1, {5}, 19, 0, 1, false, false},
    {62, {51}, 32, 1, {5}, 19, 0, 1, false, false},
    {12, {19, 42}, kUnchanged, 1, {4}, 16, 0, 0, false, false},
    {12, {18}, 19, 1, {4}, 16, 0, 1, false, false},
    {12, {17}, 18, 1, {4}, 17, 0, 1, false, false},
    {12, {16}, 20, 1, {4}, 16, 0, 1, false, false},
};

std::vector<int> allowed_classes()
{
    std::vector<int> out;
    for (int c = 1; c <= kToolClasses; ++c)
        if (tool_table_ids().allowed[static_cast<std::size_t>(c - 1)] != 0) out.push_back(c);
    return out;
}

class MachiningType : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        prepare(26);
    }
    // A machine of the given type, sentinels in every output, a drill as the current tool.
    static void prepare(int machine)
    {
        NPT1().at(tp_header_state::kMachineType) = machine;
        machining_type() = kSentinelType;
        tool_block().condition = 5;
        tool_block().IDTOOL = 3;
        tool_block().tool_class = kDrill;
        PRM9().words[machine_params::kMotionForm] = 7;
        PRM9().words[machine_params::kCutterComp] = 1;
        tool_table_ids().allowed.fill(0);
        tool_table_ids().allowed[6] = 1;  // class 7 allowed before
        control::clear_messages();
    }
};

TEST_F(MachiningType, EveryRowOfTheTable)
{
    for (const expected_row& r : kExpected)
        for (int fn : r.functions) {
            prepare(r.machine);
            int mp = -9, suspend = -9, status = -9;
            set_machining_type(fn, mp, suspend, status);
            const std::string where = "function " + std::to_string(fn) + " on machine " + std::to_string(r.machine);
            ASSERT_EQ(status, 0) << where;
            EXPECT_EQ(machining_type(), r.type == kUnchanged ? kSentinelType : r.type) << where;
            EXPECT_EQ(tool_block().condition, r.condition) << where;
            EXPECT_EQ(allowed_classes(), r.allowed) << where;
            EXPECT_EQ(mp, r.param_type) << where;
            EXPECT_EQ(suspend, r.suspend) << where;
            EXPECT_EQ(PRM9().words[machine_params::kMotionForm], r.motion_form ? 2 : 7) << where;
            EXPECT_EQ(PRM9().words[machine_params::kCutterComp], r.compensation_off ? 0 : 1) << where;
            EXPECT_TRUE(control::texts_of("userrc").empty()) << where;
        }
}

TEST_F(MachiningType, MillingRowsRefuseMachinesBelowTheirLowestType)
{
    for (const expected_row& r : kExpected) {
        if (r.machine != 26 || r.lowest <= 22) continue;
        for (int fn : r.functions) {
            prepare(r.lowest - 1);
            int mp = -9, suspend = -9, status = 0;
            set_machining_type(fn, mp, suspend, status);
            EXPECT_EQ(status, -1) << fn;
            EXPECT_EQ(control::texts_of("userrc"), std::vector<std::string>{"PATH NOT FIT FOR CURRENT MACHINING TYPE"})
                << fn;
            EXPECT_EQ(machining_type(), kSentinelType) << fn;
            EXPECT_EQ(mp, -9) << fn;
            EXPECT_EQ(allowed_classes(), std::vector<int>{7}) << "classes kept, function " << fn;
            prepare(r.lowest);
            set_machining_type(fn, mp, suspend, status);
            EXPECT_EQ(status, 0) << fn << " on its lowest machine type";
        }
    }
}

TEST_F(MachiningType, WirePocketOnWireMachines)
{
    struct row {
        int machine, tool_class;
    };
    for (const row& r : {row{62, 5}, row{63, 6}, row{65, 7}, row{64, 5}}) {
        prepare(r.machine);
        int mp = 0, suspend = 0, status = -9;
        set_machining_type(50, mp, suspend, status);
        EXPECT_EQ(status, 0) << r.machine;
        EXPECT_EQ(machining_type(), 31) << r.machine;
        EXPECT_EQ(mp, 19) << r.machine;
        EXPECT_EQ(suspend, 1) << r.machine;
        EXPECT_EQ(allowed_classes(), std::vector<int>{r.tool_class}) << r.machine;
    }
}

TEST_F(MachiningType, FunctionTheFamilyDoesNotRunIsRefused)
{
    for (int machine : {22, 26, 31, 62, 12}) {
        prepare(machine);
        int mp = -9, suspend = 0, status = 0;
        set_machining_type(machine == 62 ? 10 : 50, mp, suspend, status);
        EXPECT_EQ(status, -1) << machine;
        EXPECT_EQ(control::texts_of("userrc"), std::vector<std::string>{"SEGMENT NOT FIT FOR CURRENT MACHINING TYPE"})
            << machine;
        EXPECT_EQ(machining_type(), kSentinelType) << machine;
        EXPECT_EQ(mp, -9) << machine;
        EXPECT_EQ(allowed_classes(), std::vector<int>{7}) << machine;
    }
}

TEST_F(MachiningType, MachineOutsideTheFamiliesFailsSilently)
{
    for (int machine : {0, 11, 13, 21, 27, 30, 32, 61, 66, 80}) {
        prepare(machine);
        int mp = -9, suspend = -9, status = 0;
        set_machining_type(50, mp, suspend, status);
        EXPECT_EQ(status, -1) << machine;
        EXPECT_TRUE(control::messages().empty()) << machine;
        EXPECT_EQ(machining_type(), kSentinelType) << machine;
        EXPECT_EQ(allowed_classes(), std::vector<int>{7}) << machine;
    }
}

TEST_F(MachiningType, MillAsCurrentToolRaisesTheConditionOfTheGoFunctions)
{
    int mp = 0, suspend = 0, status = 0;
    tool_block().tool_class = kMill;
    set_machining_type(10, mp, suspend, status);
    EXPECT_EQ(tool_block().condition, 2);
    prepare(26);
    set_machining_type(10, mp, suspend, status);
    EXPECT_EQ(tool_block().condition, 1);
}

TEST_F(MachiningType, FunctionNamesComeFromTheHostTable)
{
    control::set_nc_function_name(50, "DRELAN_X");
    control::set_nc_function_name(1, "PROF");
    load_nc_function_names();
    EXPECT_EQ(user_fnc_names().names[50], "DRELAN_X");
    EXPECT_EQ(user_fnc_names().names[1], "PROF    ");
    EXPECT_EQ(user_fnc_names().names[2], "");
}

// ---- message window ---------------------------------------------------------------------------

class MsgWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        msg_window_data() = msg_window_state{};
    }
};

TEST_F(MsgWindow, PrefixesByKindAndShowsEachLineAtOnce)
{
    msg_window(0, 0, 0, "");
    msg_window(1, 1, 6, "BAD ONE");
    msg_window(1, 2, 4, "WARN");
    msg_window(1, 3, 4, "NOTE");
    msg_window(1, 9, 5, "PLAIN");
    EXPECT_EQ(control::texts_of("sheerx"), (std::vector<std::string>{"", "ERROR    : BAD ON", "WARNING  : WARN",
                                                                     "ATTENTION: NOTE", "           PLAIN"}));
    EXPECT_EQ(msg_window_data().count, 4);
}

TEST_F(MsgWindow, OneMessageInABoxTwoSeparatedAndTheThirdMarksMore)
{
    msg_window(0, 0, 0, "");
    msg_window(1, 1, 5, "FIRST");
    msg_window(2, 0, 0, "");
    EXPECT_EQ(control::texts_of("usrmes"), std::vector<std::string>{"ERROR    : FIRST"});
    msg_window(1, 2, 6, "SECOND");
    msg_window(1, 2, 5, "THIRD");
    msg_window(1, 2, 6, "FOURTH");
    const std::string& second = msg_window_data().lines[1];
    EXPECT_EQ(second.substr(0, 17), "WARNING  : SECOND");
    EXPECT_EQ(second.substr(72), "MORE ...");
    EXPECT_EQ(control::texts_of("sheerx").back(), "WARNING  : FOURTH") << "a fourth line is shown";
    msg_window(2, 0, 0, "");
    const std::vector<std::string> boxes = control::texts_of("usrme5");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].substr(0, boxes[0].find('|')), "ERROR    : FIRST");
    EXPECT_NE(boxes[0].find("|WARNING  : SECOND"), std::string::npos);
    EXPECT_EQ(boxes[0].substr(boxes[0].size() - 8), "MORE ...");
}

TEST_F(MsgWindow, EmptyMessagesAreIgnoredAndWidthIsTheHostsAtMost80)
{
    control::set_max_columns(20);
    msg_window(0, 0, 0, "");
    msg_window(1, 1, 0, "IGNORED");
    msg_window_c(1, 1, 5, "");
    EXPECT_EQ(msg_window_data().count, 0);
    EXPECT_TRUE(control::texts_of("sheerx").empty());
    msg_window(1, 2, 30, "A LONG WARNING TEXT OF THIRTY.");
    EXPECT_EQ(control::texts_of("sheerx").back(), "WARNING  : A LONG WA");
    control::set_max_columns(200);
    msg_window(0, 0, 0, "");
    EXPECT_EQ(msg_window_data().width, 80);
    msg_window(2, 0, 0, "");
    EXPECT_TRUE(control::texts_of("usrmes").empty());
    EXPECT_TRUE(control::texts_of("usrme5").empty());
}

TEST_F(MsgWindow, TerminatedTextIsCutToItsLength)
{
    msg_window(0, 0, 0, "");
    msg_window_c(1, 1, 3, "ABCDEF");
    msg_window_c(1, 1, 50, "XY");
    EXPECT_EQ(control::texts_of("sheerx"), (std::vector<std::string>{"", "ERROR    : ABC", "ERROR    : XY"}));
}

TEST_F(MsgWindow, ApproximationNote)
{
    aprx_menu_note();
    EXPECT_EQ(control::texts_of("msg_mdls"), std::vector<std::string>{"319/71"});
}

}  // namespace
