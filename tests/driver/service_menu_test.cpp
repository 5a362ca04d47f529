// The SERVICE page: the groups shown by the flags, the display choice against TLER and the host
// flag, the backup items, the end that keeps the backup choice, and the relation values stored
// around a part-box or origin change, and GO TO POINT opening the machine dialog of the service kind.
#include "listing/listing_support.hpp"

#include "driver/relations.hpp"
#include "driver/service_menu.hpp"
#include "host/control/script.hpp"

using namespace listing_test;

namespace {

struct service_call {
    int list_level = 0, current_list = 1, no_display = 0, goto_mode = 1;
    int items[kServiceItemFlags] = {1, 1, 1, 1, 0, 1, 1, 1, 0};
    int options[kServiceOptionFlags] = {0, 0, 1, 1, 1, 0, 0};
    int status = 0;
    void run() { service_menu(list_level, current_list, no_display, goto_mode, items, options, status); }
};

// The texts of the pages shown, in order.
std::vector<std::string> pages()
{
    std::vector<std::string> texts;
    for (const auto& m : control::messages())
        if (m.channel == "modif1") texts.push_back(m.text);
    return texts;
}

}  // namespace

using ServiceMenu = DisplayTest;

TEST_F(ServiceMenu, NoDisplayWithEveryFlagOffShowsGroupSixAndReturnsAfterOneAnswer)
{
    control::load_script_text(R"([{"page": 3}, {"page": 0}])", "service");
    service_call c;
    c.no_display = 1;
    std::fill(std::begin(c.items), std::end(c.items), 0);
    std::fill(std::begin(c.options), std::end(c.options), 0);
    c.run();
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_NE(pages()[0].find("1 (blank) | 2 (blank) | 3 CALCULATE PARTBOX | 4 CRITERIA LIST"), std::string::npos)
        << pages()[0];
    EXPECT_EQ(control::call_count("calculate_partbox"), 0) << "no action with the no-display flag";
    EXPECT_EQ(c.options[2], 1);
}

TEST_F(ServiceMenu, DisplayChoiceAndBackupSlots)
{
    TLER().at(tool_display_state::kMode) = 4;
    control::load_script_text(
        R"([{"page": {"line": 14}}, {"page": {"line": 4, "value": "MOTION: NO FAST DISP."}}, {"page": 0}])", "service");
    service_call c;
    c.run();
    const auto shown = pages();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_NE(shown[0].find("= 3 (TOOL: NO DISPLAY)"), std::string::npos) << shown[0];
    EXPECT_NE(shown[0].find("15 (blank)"), std::string::npos) << "no passes while backups are off: " << shown[0];
    EXPECT_NE(shown[1].find("15 PASSES BET. BACKUPS"), std::string::npos) << "slot 3 of group 4 at once: " << shown[1];
    EXPECT_EQ(TLER().at(tool_display_state::kMode), 4);
    EXPECT_EQ(get_fdflg(), 1);
    EXPECT_EQ(UPW2().at(0), 2) << "the backup choice is kept";
}

TEST_F(ServiceMenu, PartboxAndOriginStoreTheRelationValuesAroundTheChangeOnlyOnTheProcedure)
{
    struct row {
        int slot, list_level;
        std::vector<std::string> calls;
    };
    const std::vector<row> rows = {
        {23, 0, {"calculate_partbox", "rel_nc_val_get", "update_min_max_pz", "rel_nc_val_get"}},
        {23, 1, {"calculate_partbox"}},
        {16, 0, {"rel_nc_val_get", "repos_proc", "update_min_max_pz", "rel_nc_val_get"}},
        {16, 1, {"repos_proc"}},
    };
    rel_switches().shift_3301 = true;  // one relation follows the origin z
    for (const row& r : rows) {
        SCOPED_TRACE("slot " + std::to_string(r.slot) + ", list level " + std::to_string(r.list_level));
        control::clear_messages();
        control::clear_trace();
        control::set_tracing(true);
        control::load_script_text("[{\"page\": " + std::to_string(r.slot) + "}, {\"page\": 0}]", "service");
        service_call c;
        c.list_level = r.list_level;
        c.run();
        std::vector<std::string> calls;
        for (const auto& e : control::trace_entries())
            if (e.name == "calculate_partbox" || e.name == "rel_nc_val_get" || e.name == "update_min_max_pz" ||
                e.name == "repos_proc")
                calls.push_back(e.name);
        EXPECT_EQ(calls, r.calls);
        control::set_tracing(false);
    }
    rel_switches() = relation_switches{};
}

TEST_F(ServiceMenu, GoToPointOpensTheMachineDialogOfTheServiceKind)
{
    // On a 3-axis mill the milling dialog goes on to choose a tool; the wire EDM dialog is refused.
    struct row {
        int goto_mode;
        std::string script;
        const char* channel;
        const char* text;
    };
    const std::vector<row> rows = {
        {1, R"([{"page": 20}, {"menu": -1, "expect": "MILL TOOL"}, {"page": 0}])", "topopt", "MILL TOOL"},
        {5, R"([{"page": 20}, {"page": 0}])", "userrc", "SEGMENT NOT FIT FOR CURRENT MACHINING TYPE"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.goto_mode);
        control::clear_messages();
        control::load_script_text(r.script, "service");
        service_call c;
        c.goto_mode = r.goto_mode;
        c.run();
        const auto lines = control::lines_of(r.channel);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.find(r.text) != std::string::npos; }));
        EXPECT_EQ(pages().size(), 2u) << "the page again after the dialog";
    }
}
