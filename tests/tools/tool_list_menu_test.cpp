// The paged menu of a tool list: 60 entries a page, "MORE" on to the next page and back to the
// first after the last.
#include "tools_test_support.hpp"

#include "host/control/script.hpp"
#include "tools/tool_lists.hpp"

using namespace tools_test;
namespace control = vantu::control;

using ToolListMenu = ToolsTest;

TEST_F(ToolListMenu, MorePagesOnAndWrapsToTheFirstPage)
{
    int status = 0;
    toollist_reset(0);
    for (int n = 1; n <= 61; ++n) {
        puttol(0, 1000 + n, 0, "T" + std::to_string(n), 0, status);
        ASSERT_GE(status, 0);
    }
    struct row {
        const char* script;
        int id;
        const char* name;
    };
    const row rows[] = {
        {R"([{"menu": 1}])", 1001, "T1"},
        {R"([{"menu": "MORE"}, {"menu": 1}])", 1061, "T61"},
        // The menu opens on the page picked from last time; "MORE" on the last page wraps.
        {R"([{"menu": "MORE"}, {"menu": 60}])", 1060, "T60"},
    };
    for (const row& r : rows) {
        control::load_script_text(r.script, "t");
        int id = -1;
        std::string name;
        toollist_menu(0, 0, 0, 0, id, name, status);
        EXPECT_EQ(status, 0) << r.script;
        EXPECT_EQ(id, r.id) << r.script;
        EXPECT_EQ(name.substr(0, std::string(r.name).size()), r.name) << r.script;
    }
    control::load_script_text(R"([{"menu": -2}])", "t");
    int id = -1;
    std::string name;
    toollist_menu(0, 0, 0, 0, id, name, status);
    EXPECT_EQ(status, -2);
    toollist_reset(1);
    toollist_menu(1, 0, 0, 0, id, name, status);
    EXPECT_EQ(status, -5);  // an empty list
}
