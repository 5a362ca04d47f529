// The checks of a tool's geometry by class (with the lathe's quadrant and the thread's cut width
// they derive) and of a mill's shank, holders and spindle: the first failing rule's message.
#include "tools_test_support.hpp"

#include "tools/tool_validation.hpp"

#include <functional>

using namespace tools_test;
namespace control = vantu::control;

using ToolValidation = ToolsTest;

TEST_F(ToolValidation, ClassRulesInOrder)
{
    struct row {
        const char* what;
        int tool_class;
        std::function<void(tool_shape_records&)> set;
        const char* message;  // null: accepted
        std::function<bool(const tool_shape_records&)> derived;
    };
    auto lathe = [](float edge, float face, float angle, float width) {
        return [=](tool_shape_records& s) { s.lathe = {edge, face, angle, 0, width, 50, 10, 10, 0}; };
    };
    auto quadrant = [](int q) { return [=](const tool_shape_records& s) { return s.lathe.QRTNUM == q; }; };
    auto untouched = [](const tool_shape_records& s) { return s.lathe.QRTNUM == 0; };
    const std::vector<row> rows = {
        {"drill of equal lengths", kDrill, [](auto& s) { s.drill.CUTLNG = s.drill.CLRLNG = 20; }, nullptr, {}},
        {"drill cutting above its clear length",
         kDrill,
         [](auto& s) { s.drill.CUTLNG = 21, s.drill.CLRLNG = 20; },
         "CUT LENGTH CANNOT EXCEED THE CLEAR LENGTH",
         {}},
        {"lathe drill cutting above its clear length",
         kLatheDrill,
         [](auto& s) { s.lathe_drill.CUTLNG = 21, s.lathe_drill.CLRLNG = 20; },
         "CUT LENGTH CANNOT EXCEED THE CLEAR LENGTH",
         {}},
        {"untapered ball mill", kMill, [](auto& s) { s.mill.DIAMTR = 10, s.mill.CRNRRD = 5; }, nullptr, {}},
        {"corner radius above half the diameter",
         kMill,
         [](auto& s) { s.mill.DIAMTR = 10, s.mill.CRNRRD = 5.01f; },
         "CORNER RADIUS IS TOO BIG",
         {}},
        {"tapered ball of its tip diameter",
         kMill,
         [](auto& s) { s.mill.DIAMTR = 8.391f, s.mill.CRNRRD = 5, s.mill.SPARE1 = 10; },
         nullptr,
         {}},
        {"mill cutting above its clear length",
         kMill,
         [](auto& s) { s.mill.DIAMTR = 10, s.mill.CUTLNG = 31, s.mill.CLRLNG = 30; },
         "CUT LENGTH CANNOT EXCEED THE CLEAR LENGTH",
         {}},
        {"lathe nose over 90 degrees", kLathe, lathe(0.4f, 0, 100, 8), "NOSE ANGLE MUST NOT EXCEED 90 DEGREES",
         untouched},
        {"lathe nose radius of half its width", kLathe, lathe(4, 0, 80, 8),
         "NOSE RAD MUST NOT EXCEED HALF THE NOSE WIDTH", untouched},
        {"lathe across 360 degrees", kLathe, lathe(0.4f, 30, 330, 8), nullptr, quadrant(8)},
        {"lathe in the first quadrant", kLathe, lathe(0.4f, 0, 80, 8), nullptr, quadrant(1)},
        {"lathe in the second quadrant", kLathe, lathe(0.4f, 100, 170, 8), nullptr, quadrant(2)},
        {"lathe from 90 to 180", kLathe, lathe(0.4f, 90, 175, 8), nullptr, quadrant(2)},
        {"lathe around 180", kLathe, lathe(0.4f, 150, 210, 8), nullptr, quadrant(6)},
        {"rectangle punch overlapping its length",
         kPunch,
         [](auto& s) { s.punch = {1, 10, 0, 5, 0, 9.96f, 99, 0}; },
         "OVERLAP CANNOT EXCEED 0.95% OF TOOL LENGTH",
         {}},
        {"round punch, any overlap", kPunch, [](auto& s) { s.punch = {3, 10, 10, 5, 0, 99, 4.75f, 0}; }, nullptr, {}},
        {"round punch scallop above",
         kPunch,
         [](auto& s) { s.punch = {3, 10, 10, 5, 0, 0, 4.76f, 0}; },
         "SCALLOP CANNOT EXCEED 0.95% OF TOOL RADIUS",
         {}},
        {"obround punch scallop by its length",
         kPunch,
         [](auto& s) { s.punch = {2, 10, 1, 5, 0, 1, 4.76f, 0}; },
         "SCALLOP CANNOT EXCEED 0.95% OF TOOL RADIUS",
         {}},
        {"wire tool", kCharmille, [](auto&) {}, nullptr, {}},
        {"thread cut width", kThread, [](auto& s) { s.thread = {1, 0, 0, 60, 0.3f, 0, 0, 1, 9, 0}; }, nullptr,
         [](const tool_shape_records& s) { return std::abs(s.thread.CUTWTH - 1.1547f) < 1e-4f; }},
        {"flat thread cut width", kThread, [](auto& s) { s.thread = {5, 0, 0, 60, 0.3f, 0, 0, 1, 9, 0}; }, nullptr,
         [](const tool_shape_records& s) { return std::abs(s.thread.CUTWTH - 1.4547f) < 1e-4f; }},
        {"groove radius over half its width",
         kGroove,
         [](auto& s) { s.groove = {0, 0, 0, 10, 2, 1.01f, 0, 0, 0}; },
         "CORNER RADIUS CANNOT EXCEED HALF THE CUT WIDTH",
         {}},
        {"groove radius over half its length",
         kGroove,
         [](auto& s) { s.groove = {0, 0, 0, 2, 4, 1.01f, 0, 0, 0}; },
         "CORNER RADIUS CANNOT EXCEED HALF THE CUT LENGTH",
         {}},
    };
    for (const row& x : rows) {
        SetUp();
        tool_shapes() = tool_shape_records{};
        x.set(tool_shapes());
        int status = 7;
        tool_validate(x.tool_class, status);
        EXPECT_EQ(status, x.message ? -1 : 0) << x.what;
        const auto lines = control::lines_of("userrc");
        EXPECT_EQ(lines, x.message ? std::vector<std::string>{x.message} : std::vector<std::string>{}) << x.what;
        if (x.derived) {
            EXPECT_TRUE(x.derived(tool_shapes())) << x.what;
        }
    }
}

TEST_F(ToolValidation, HolderSetRules)
{
    // Entries: shank, holders, spindle as {bottom, top, cone, total}.
    using entry = std::array<float, 4>;
    struct row {
        const char* what;
        int shank_mode, count, spindle;
        std::vector<entry> entries;
        const char* message;  // null: accepted
    };
    const entry shank{12, 16, 0, 0};
    const std::vector<row> rows = {
        {"standard shank, one holder", 1, 1, 1, {{12, 0, 5, 0}, {30, 30, 0, 40}}, nullptr},
        {"manual shank of no top", 2, 1, 1, {{12, 0, 0, 10}, {30, 30, 0, 40}}, "SHANK DIAMETER CANNOT BE ZERO"},
        {"manual shank wider at the bottom",
         2,
         1,
         1,
         {{17, 16, 2, 10}, {30, 30, 0, 40}},
         "SHANK TOP DIAMETER IS TOO SMALL"},
        {"manual shank cone above its height",
         2,
         1,
         1,
         {{12, 16, 11, 10}, {30, 30, 0, 40}},
         "SHANK CONE HEIGHT IS GREATER THAN TOTAL HEIGHT"},
        {"manual shank cone of no height", 2, 1, 1, {{12, 16, 0, 10}, {30, 30, 0, 40}}, "ERROR IN SHANK CONE HEIGHT"},
        {"holder narrower than the tool",
         1,
         1,
         1,
         {shank, {8, 30, 5, 40}},
         "HOLDER NO. 1 - bottom diameter should be greater than 10.0000"},
        {"holder of no diameter",
         2,
         2,
         1,
         {{12, 16, 2, 10}, {30, 30, 0, 40}, {40, 0, 5, 40}},
         "HOLDER NO. 2 - diameter cannot be zero"},
        {"holder wider at the bottom",
         2,
         1,
         1,
         {{12, 16, 2, 10}, {31, 30, 2, 40}},
         "HOLDER NO. 1 - bottom diameter is too big"},
        {"holder cone of no height",
         2,
         1,
         1,
         {{12, 16, 2, 10}, {20, 30, 0, 40}},
         "HOLDER NO. 1 - error in cone height"},
        {"holder cone above its height",
         2,
         1,
         1,
         {{12, 16, 2, 10}, {20, 30, 41, 40}},
         "HOLDER NO. 1 - cone height is greater than total height"},
        {"holder wider than the next",
         2,
         2,
         1,
         {{12, 16, 2, 10}, {20, 30, 2, 40}, {25, 40, 2, 40}},
         "HOLDER NO. 1 - top diameter is too big"},
        {"spindle narrower than the last holder",
         2,
         1,
         2,
         {{12, 16, 2, 10}, {20, 30, 2, 40}, {25, 40, 2, 40}},
         "HOLDER NO. 1 - top diameter is too big"},
        {"spindle cone above its height",
         2,
         1,
         2,
         {{12, 16, 2, 10}, {20, 30, 2, 40}, {30, 40, 50, 40}},
         "SPINDLE CONE HEIGHT IS GREATER THAN TOTAL HEIGHT"},
        {"sound set with a spindle", 2, 1, 2, {{12, 16, 2, 10}, {20, 30, 2, 40}, {30, 40, 2, 40}}, nullptr},
    };
    for (const row& x : rows) {
        SetUp();
        tool_shapes().mill.DIAMTR = 10;
        holder_set& h = tool_holders();
        h.shank_mode = x.shank_mode;
        h.count = x.count;
        h.second_mode = x.spindle;
        for (std::size_t i = 0; i < x.entries.size(); ++i) {
            h.bottom_diameter[i] = x.entries[i][0];
            h.top_diameter[i] = x.entries[i][1];
            h.cone_height[i] = x.entries[i][2];
            h.total_height[i] = x.entries[i][3];
        }
        int status = 7;
        holder_set_validate(status);
        EXPECT_EQ(status, x.message ? -1 : 0) << x.what;
        std::vector<std::string> shown = control::lines_of("userrc");
        for (const auto& line : control::lines_of("user1c")) shown.push_back(line);
        EXPECT_EQ(shown, x.message ? std::vector<std::string>{x.message} : std::vector<std::string>{}) << x.what;
        if (x.shank_mode == 1) {
            EXPECT_EQ(h.top_diameter[0], h.bottom_diameter[0]) << x.what;
        }
    }
}
