// Machining type of a procedure opened view-only through the host's procedure manager: which
// tool path's machine decides (a decision over the view-only word, the host procedure id and
// the tool paths holding it), and what a tool path that cannot be read does to the outputs.
#include "driver/set_machining_type.hpp"
#include "host/control.hpp"
#include "host/control/tp_registry.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_lists.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace control = vantu::control;

constexpr int kSentinelType = 999;
constexpr int kWirePocket = 50;
constexpr int kCurrentToolPath = 10;
constexpr int kCurrentMachine = 65;  // class 7 on the current tool path
const char* const kCannotRead = "set_machining_type, CANNOT READ THE TOOL PATH OF THE PROCEDURE";

// A tool-path header as the module writes it: block number, MACSYS name, machine type, ...
std::vector<word> header_with_machine(word machine)
{
    return {1, text4_to_word("WORL"), text4_to_word("D   "), machine, 0, 0};
}

std::vector<int> allowed_classes()
{
    std::vector<int> out;
    for (int c = 1; c <= kToolClasses; ++c)
        if (tool_table_ids().allowed[static_cast<std::size_t>(c - 1)] != 0) out.push_back(c);
    return out;
}

class MachiningTypeViewOnly : public ::testing::Test {
protected:
    void SetUp() override
    {
        control::reset();
        NPT1().at(tp_header_state::kMachineType) = kCurrentMachine;
        EDA2().words.fill(0);
        machining_type() = kSentinelType;
        tool_table_ids().allowed.fill(0);
        tool_table_ids().allowed[0] = 1;  // class 1 allowed before
        // Tool path 10 is the current one (machine 65); 20 (machine 63) and 30 (machine 62)
        // are others.
        control::set_current_tool_path(kCurrentToolPath);
        ASSERT_TRUE(control::declare_tool_path(kCurrentToolPath, header_with_machine(kCurrentMachine), {1, 4}));
        ASSERT_TRUE(control::declare_tool_path(20, header_with_machine(63), {2, 3, 4}));
        ASSERT_TRUE(control::declare_tool_path(30, header_with_machine(62), {2, 5}));
    }
    void TearDown() override { EDA2().words.fill(0); }

    static void open_view_only(int view_only, int procedure)
    {
        EDA2().word_no(edit_state::kViewOnly) = view_only;
        control::set_current_procedure(procedure);
    }
    static void run(int& mp, int& status)
    {
        int suspend = -9;
        mp = -9;
        status = -9;
        set_machining_type(kWirePocket, mp, suspend, status);
    }
};

TEST_F(MachiningTypeViewOnly, WhichToolPathsMachineDecides)
{
    struct row {
        const char* what;
        int view_only;
        int procedure;
        int tool_class;  // the wire class of the deciding machine: 5 (62), 6 (63), 7 (65)
    };
    const row rows[] = {
        {"not view-only: the current tool path, whoever holds the procedure", 0, 5, 7},
        {"view-only without a host procedure", 1, -1, 7},
        {"view-only, host procedure id 0", 1, 0, 7},
        {"view-only, no tool path holds the procedure", 1, 6, 7},
        {"view-only, the current tool path is the only holder", 1, 1, 7},
        {"view-only, the current tool path is among the holders", 1, 4, 7},
        {"view-only, held by other tool paths: the first of them", 1, 2, 6},
        {"view-only, held by one other tool path", 1, 5, 5},
        {"view-only word of another non-zero value", 2, 3, 6},
    };
    for (const row& r : rows) {
        SetUp();
        open_view_only(r.view_only, r.procedure);
        int mp = 0, status = 0;
        run(mp, status);
        ASSERT_EQ(status, 0) << r.what;
        EXPECT_EQ(machining_type(), 31) << r.what;
        EXPECT_EQ(mp, 19) << r.what;
        EXPECT_EQ(allowed_classes(), std::vector<int>{r.tool_class}) << r.what;
        EXPECT_TRUE(control::messages().empty()) << r.what;
    }
}

TEST_F(MachiningTypeViewOnly, OtherToolPathsMachineRunsTheWholeTable)
{
    // A milling machine on the viewed tool path refuses the wire function as the table says, and
    // a machine outside the families fails without a message; the current wire machine of NPT1
    // plays no part.
    struct row {
        int procedure;
        int nc_function;
        int status;
        const char* message;  // nullptr: none
    };
    const row rows[] = {
        {7, kWirePocket, -1, "SEGMENT NOT FIT FOR CURRENT MACHINING TYPE"},
        {7, 49, 0, nullptr},
        {9, 49, -1, "PATH NOT FIT FOR CURRENT MACHINING TYPE"},
        {8, kWirePocket, -1, nullptr},
    };
    for (const row& r : rows) {
        SetUp();
        ASSERT_TRUE(control::declare_tool_path(40, header_with_machine(26), {7}));
        ASSERT_TRUE(control::declare_tool_path(50, header_with_machine(40), {8}));
        ASSERT_TRUE(control::declare_tool_path(60, header_with_machine(25), {9}));
        open_view_only(1, r.procedure);
        int mp = -9, suspend = 0, status = 0;
        set_machining_type(r.nc_function, mp, suspend, status);
        const std::string where =
            "procedure " + std::to_string(r.procedure) + ", function " + std::to_string(r.nc_function);
        EXPECT_EQ(status, r.status) << where;
        if (r.message)
            EXPECT_EQ(control::texts_of("userrc"), std::vector<std::string>{r.message}) << where;
        else
            EXPECT_TRUE(control::texts_of("userrc").empty()) << where;
        if (r.status == 0)
            EXPECT_EQ(machining_type(), 30) << where;
        else
            EXPECT_EQ(machining_type(), kSentinelType) << where;
    }
}

TEST_F(MachiningTypeViewOnly, UnreadableToolPathIsReportedAndKeepsTheOutputs)
{
    struct row {
        const char* what;
        const char* fault;         // host call made to fail, or nullptr
        std::vector<word> header;  // header of the viewed tool path 30
    };
    const std::vector<row> rows = {
        {"header read fails", "get_set_tp_header", header_with_machine(62)},
        {"tool-path lookup fails", "ncn_assoc_find_proc_tp", header_with_machine(62)},
        {"header too short for a machine type", nullptr, {1, 0, 0}},
        {"empty header", nullptr, {}},
    };
    for (const row& r : rows) {
        SetUp();
        ASSERT_TRUE(control::declare_tool_path(30, r.header, {5}));
        open_view_only(1, 5);
        if (r.fault) control::inject_fault(r.fault, 1, 1, -2);
        int mp = 0, status = 0;
        run(mp, status);
        EXPECT_EQ(status, -1) << r.what;
        EXPECT_EQ(control::texts_of("userrc"), std::vector<std::string>{kCannotRead}) << r.what;
        EXPECT_EQ(machining_type(), kSentinelType) << r.what;
        EXPECT_EQ(mp, -9) << r.what;
        EXPECT_EQ(allowed_classes(), std::vector<int>{1}) << r.what;
    }
}

TEST_F(MachiningTypeViewOnly, EditedProcedureAsksTheHostNothing)
{
    control::set_tracing(true);
    control::clear_trace();
    int mp = 0, status = 0;
    run(mp, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::call_count("gs_proc_id"), 0);
    EXPECT_EQ(control::call_count("get_set_tp_header"), 0);
    open_view_only(1, 2);
    run(mp, status);
    EXPECT_EQ(control::call_count("gs_proc_id"), 1);
    EXPECT_EQ(control::call_count("ncn_assoc_find_proc_tp"), 1);
    EXPECT_EQ(control::call_count("get_set_tp_header"), 1);
    control::set_tracing(false);
}

}  // namespace
