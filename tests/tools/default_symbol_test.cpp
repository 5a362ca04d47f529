// The default tool symbols: the entities every class draws and the master that groups them, the
// corner arcs of a mill drawn in their own plane, and what is left after a failure (nothing);
// the primitives, the fillet centre and the master writer.
#include "tools_test_support.hpp"

#include "host/control/entities.hpp"
#include "host/control/nc_state.hpp"
#include "tools/default_symbol.hpp"

#include <cmath>
#include <functional>

using namespace tools_test;
namespace control = vantu::control;

namespace {

struct drawing {
    int lines = 0, arcs = 0, points = 0, frames = 0;
    bool operator==(const drawing&) const = default;
};

// The slaves a master record lists, checked for its layout (0, unit matrix, reference, count,
// ids, -1); the reference point comes back.
std::vector<int> master_slaves(int master, std::array<float, 3>& reference)
{
    const auto e = control::get_entity(master);
    EXPECT_TRUE(e && e->entity_class == 14 && e->type == 9);
    if (!e || e->words.size() < 15) return {};
    const std::vector<word>& w = e->words;
    EXPECT_EQ(w[0], 0);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(word_to_real(w[1 + k]), k % 4 == 0 ? 1.0f : 0.0f);
    for (int k = 0; k < 3; ++k) reference[k] = word_to_real(w[10 + k]);
    const int n = w[13];
    // A rewritten record may keep zeroed words behind its terminator.
    if (static_cast<int>(w.size()) < 15 + n) return {};
    EXPECT_EQ(w[static_cast<std::size_t>(14 + n)], -1);
    return std::vector<int>(w.begin() + 14, w.begin() + 14 + n);
}

// Kinds of the slaves; every curve must be readable by the host and every slave marked.
drawing drawn(const std::vector<int>& slaves)
{
    drawing d;
    for (int id : slaves) {
        const auto e = control::get_entity(id);
        EXPECT_TRUE(e) << id;
        if (!e) continue;
        EXPECT_EQ(e->attributes.at("SL"), 1) << id;
        if (e->entity_class == 8) {
            ++d.frames;
            continue;
        }
        double start = 0, end = 0;
        int status = 0;
        curve_limits(id, start, end, status);
        EXPECT_EQ(status, 0) << id;
        if (e->entity_class == 0)
            ++d.points;
        else if (e->type == kLineType)
            ++d.lines;
        else if (e->type == kArcType)
            ++d.arcs;
    }
    return d;
}

}  // namespace

using DefaultSymbol = ToolsTest;

TEST_F(DefaultSymbol, EveryClassDrawsItsToolUnderOneMaster)
{
    struct row {
        const char* what;
        int tool_class;
        std::function<void(tool_shape_records&)> set;
        drawing expected;
        std::array<float, 3> reference;
    };
    const std::vector<row> rows = {
        {"drill", kDrill, [](auto& s) { s.drill = {10, 118, 30, 15, 100, 10}; }, {10, 2, 0, 0}, {0, 0, 0}},
        {"drill of diameter 0", kDrill, [](auto& s) { s.drill = {0, 118, 16, 15, 100, 10}; }, {4, 1, 0, 0}, {0, 0, 0}},
        {"flat mill",
         kMill,
         [](auto& s) { s.mill.DIAMTR = 10, s.mill.CRNRRD = 0, s.mill.CLRLNG = 30, s.mill.CUTLNG = 15; },
         {6, 2, 0, 0},
         {0, 0, 0}},
        {"tapered bull-nose mill",
         kMill,
         [](auto& s) {
             s.mill.DIAMTR = 10, s.mill.CRNRRD = 2, s.mill.CLRLNG = 30, s.mill.CUTLNG = 15, s.mill.SPARE1 = 10;
         },
         {6, 7, 0, 4},
         {0, 0, 0}},
        {"lathe insert",
         kLathe,
         [](auto& s) { s.lathe = {0.4f, 0, 80, 1, 8, 50, 10, 10, 0}; },
         {7, 1, 1, 0},
         {0.4f, 0.4f, 0}},
        {"lathe insert at its tip",
         kLathe,
         [](auto& s) { s.lathe = {0.4f, 0, 80, 1, 8, 50, 10, 10, 1}; },
         {7, 1, 1, 0},
         {0, 0, 0}},
        {"round punch", kPunch, [](auto& s) { s.punch = {3, 20, 10, 10, 0, 1, 0.1f, 10}; }, {1, 1, 0, 0}, {0, 0, 0}},
        {"rectangular punch",
         kPunch,
         [](auto& s) { s.punch = {1, 20, 10, 10, 30, 1, 0.1f, 10}; },
         {5, 0, 0, 0},
         {0, 0, 0}},
        {"obround punch", kPunch, [](auto& s) { s.punch = {2, 20, 10, 10, 0, 1, 0.1f, 10}; }, {3, 2, 0, 0}, {0, 0, 0}},
        {"wire", kMakino, [](auto&) {}, {3, 0, 0, 0}, {0, 0, 0}},
        {"lathe drill",
         kLatheDrill,
         [](auto& s) { s.lathe_drill = {10, 118, 30, 15, 100, 10}; },
         {7, 0, 0, 0},
         {0, 0, 0}},
        {"round thread tip",
         kThread,
         [](auto& s) { s.thread = {1, 50, 10, 60, 0.5f, 0.5f, 90, 1.7f, 2, 10}; },
         {10, 1, 0, 0},
         {0, 0.5f, 0}},
        {"sharp thread tip",
         kThread,
         [](auto& s) { s.thread = {1, 50, 10, 60, 0.5f, 1, 90, 1.7f, 2, 10}; },
         {7, 0, 0, 0},
         {0, 0, 0}},
        {"flat thread tip",
         kThread,
         [](auto& s) { s.thread = {5, 50, 10, 60, 0.5f, 0.5f, 90, 1.7f, 2, 10}; },
         {11, 0, 0, 0},
         {0, 0.375f, 0}},
        {"groove", kGroove, [](auto& s) { s.groove = {50, 10, 0, 10, 4, 0.5f, 90, 10, 0}; }, {7, 2, 0, 0}, {0, 0, 0}},
        {"groove marked at a corner",
         kGroove,
         [](auto& s) { s.groove = {50, 10, 0, 10, 4, 0.5f, 0, 10, 2}; },
         {9, 2, 1, 0},
         {0, -2, 0}},
    };
    for (const row& x : rows) {
        SetUp();
        control::set_work_plane_words({3, 8});
        tool_shapes() = tool_shape_records{};
        x.set(tool_shapes());
        const int before = static_cast<int>(control::entity_ids().size());
        int master = 0, status = 1;
        SYTYPE(x.tool_class, master, status);
        ASSERT_EQ(status, 0) << x.what;
        std::array<float, 3> reference{};
        const std::vector<int> slaves = master_slaves(master, reference);
        EXPECT_EQ(drawn(slaves), x.expected) << x.what;
        EXPECT_EQ(static_cast<int>(control::entity_ids().size()), before + static_cast<int>(slaves.size()) + 1)
            << x.what;
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(reference[k], x.reference[k], 1e-3) << x.what;
        EXPECT_EQ(control::work_plane_words(), (std::array<int, 2>{3, 8})) << x.what;
    }
}

TEST_F(DefaultSymbol, DrillCrossOfAnEighthOfItsClearLengthAndOpenPunchCircle)
{
    tool_shapes().drill = {0, 118, 16, 15, 100, 10};
    int master = 0, status = 0;
    SYTYPE(kDrill, master, status);
    std::array<float, 3> reference{};
    int axis_fonts = 0, crosses = 0;
    for (int id : master_slaves(master, reference)) {
        const auto e = control::get_entity(id);
        const auto points = control::curve_display_points(id);
        if (e->type == kArcType) {
            for (const auto& p : points) EXPECT_NEAR(std::hypot(p[0], p[1]), 2.0, 1e-9);
        } else if (points.front()[2] == 0 && points.back()[2] == 0) {
            ++crosses;
            EXPECT_NEAR(std::hypot(points.front()[0], points.front()[1]), 2.0, 1e-9);
        } else if (e->attributes.at("LF") == 3) {
            ++axis_fonts;
            EXPECT_NEAR(points.back()[2], 16.0, 1e-9);
        }
    }
    EXPECT_EQ(crosses, 2);
    EXPECT_EQ(axis_fonts, 1);

    tool_shapes().punch = {3, 20, 10, 10, 0, 1, 0.1f, 10};
    SYTYPE(kPunch, master, status);
    int circles = 0;
    for (int id : master_slaves(master, reference)) {
        double start = 0, end = 0;
        if (control::get_entity(id)->type != kArcType) continue;
        ++circles;
        curve_limits(id, start, end, status);
        EXPECT_NEAR((end - start) * 180 / M_PI, 359.99, 1e-4);
    }
    EXPECT_EQ(circles, 1);
}

TEST_F(DefaultSymbol, TaperedCornerArcsJoinTheBottomAndTheFlank)
{
    mill_fields& m = tool_shapes().mill;
    m.DIAMTR = 10, m.CRNRRD = 2, m.CLRLNG = 30, m.CUTLNG = 15, m.SPARE1 = 10;
    int master = 0, status = 0;
    SYTYPE(kMill, master, status);
    const double t = 10 * M_PI / 180;
    const double q = 2 * (1 - std::sin(t)) / std::cos(t);
    const double rb = 5 - q, rt = q * std::sin(t) + 5, zc = q * std::cos(t);
    std::array<float, 3> reference{};
    int corners = 0;
    for (int id : master_slaves(master, reference)) {
        const auto e = control::get_entity(id);
        if (e->entity_class != 1 || e->type != kArcType || e->attributes.at("RP") == 0) continue;
        ++corners;
        double start = 0, end = 0, low[3], high[3];
        curve_limits(id, start, end, status);
        evcrvd(id, start, high, nullptr, status);
        evcrvd(id, end, low, nullptr, status);
        EXPECT_NEAR(std::hypot(high[0], high[1]), rt, 1e-5);
        EXPECT_NEAR(high[2], zc, 1e-5);
        EXPECT_NEAR(std::hypot(low[0], low[1]), rb, 1e-5);
        EXPECT_NEAR(low[2], 0.0, 1e-5);
        EXPECT_EQ(e->attributes.at("PE"), 2);
    }
    EXPECT_EQ(corners, 4);
}

TEST_F(DefaultSymbol, NothingIsLeftWhenTheSymbolCannotBeMade)
{
    struct row {
        const char* what;
        int tool_class;
        long failing_store;  // the estore that fails (0 none)
        int status, master;
        const char* message;
    };
    const row rows[] = {
        {"class 0", 0, 0, 0, -1, nullptr},
        {"class 11", 11, 0, 0, -1, nullptr},
        {"a line that cannot be stored", kDrill, 3, -5, -1, "SYTYPE, CANNOT CREATE DEFAULT TOOL SYMBOL"},
        {"a master that cannot be stored", kAgie, 4, -5, -1, "GCSMAS - Can not create master entity"},
    };
    for (const row& x : rows) {
        SetUp();
        tool_shapes().drill = {10, 118, 30, 15, 100, 10};
        control::set_work_plane_words({1, 2});
        if (x.failing_store > 0) control::inject_fault("estore", x.failing_store, 1, -1);
        int master = 0, status = 0;
        SYTYPE(x.tool_class, master, status);
        EXPECT_EQ(status, x.status) << x.what;
        EXPECT_EQ(master, x.master) << x.what;
        EXPECT_TRUE(control::entity_ids().empty()) << x.what;
        if (x.message) {
            EXPECT_TRUE(has_line("eroutc", x.message)) << x.what;
            EXPECT_TRUE(has_line("eroutc", "SYTYPE, CANNOT CREATE DEFAULT TOOL SYMBOL")) << x.what;
        }
        EXPECT_EQ(control::work_plane_words(), (std::array<int, 2>{1, 2})) << x.what;
    }
}

TEST_F(DefaultSymbol, PrimitivesFillTheirSlotsUpToTheLast)
{
    symbol_list list;
    const float a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, centre[3] = {0, 0, 0};
    int status = 0;
    list.count = kSymbolSlots;
    sym_slot_line(list, a, b, status);
    EXPECT_EQ(status, 0);
    sym_slot_line(list, a, b, status);  // slot 501 does not exist
    EXPECT_EQ(status, -5);
    EXPECT_EQ(control::entity_ids().size(), 1u);
    // Small arcs keep at least six steps of their data: the step becomes a sixth of the second word.
    struct arc_row {
        float radius, start, sweep;
        bool sixth;  // the step becomes a sixth of the data's second word (the end angle)
    };
    const arc_row arcs[] = {{1, -170, 180, true}, {1, 0, 90, false}, {10, -170, 180, false}};
    for (const arc_row& x : arcs) {
        symbol_list l;
        sym_slot_arc(l, centre, x.radius, x.start, x.sweep, status);
        ASSERT_EQ(status, 0);
        double data[3];
        edatad(1, l.slot(1), data, status);
        const double expected = x.sixth ? data[1] / 6 : 0.05 * x.sweep * M_PI / 180;
        EXPECT_NEAR(data[2], expected, 1e-6) << x.radius << " " << x.start;
    }
    symbol_list small;
    sym_slot_arc(small, centre, 0.0001f, 0, 360, status);
    EXPECT_EQ(status, -5);
    EXPECT_TRUE(has_line("userrc", "ARC IS TOO SMALL TO BE CREATED!"));
}

TEST_F(DefaultSymbol, FilletCentreTouchesBothCurves)
{
    const int across = control::add_line({0, 0, 0}, {10, 0, 0});
    const int up = control::add_line({0, 0, 0}, {0, 10, 0});
    float t1 = 5, t2 = 5, centre[3] = {};
    int status = -1;
    fillet_center(across, t1, up, t2, 2, centre, status);
    ASSERT_EQ(status, 0);
    EXPECT_NEAR(centre[0], 2, 1e-4);
    EXPECT_NEAR(centre[1], 2, 1e-4);
    EXPECT_NEAR(t1, 2, 1e-4);
    EXPECT_NEAR(t2, 2, 1e-4);
    const int parallel = control::add_line({0, 5, 0}, {10, 5, 0});
    t1 = t2 = 5;
    fillet_center(across, t1, parallel, t2, 1, centre, status);
    EXPECT_EQ(status, -1);
}

TEST_F(DefaultSymbol, MasterRewrittenAfterItsSlavesAreDeleted)
{
    const int old1 = control::add_point({0, 0, 0}), old2 = control::add_point({1, 0, 0});
    std::vector<word> record{0};
    for (int k = 0; k < 12; ++k) record.push_back(real_to_word(0));
    record.insert(record.end(), {2, old1, old2, -1});
    const int master = control::add_entity(14, 1, record);
    const int slave = control::add_point({2, 0, 0});
    int id = master, status = 0;
    GCSMAS(id, 1, &slave, {1, 2, 3}, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::get_entity(master)->type, 9);
    EXPECT_FALSE(control::get_entity(old1));
    EXPECT_FALSE(control::get_entity(old2));
    EXPECT_EQ(control::get_entity(slave)->attributes.at("SL"), 1);
    std::array<float, 3> reference{};
    EXPECT_EQ(master_slaves(master, reference), std::vector<int>{slave});
    EXPECT_EQ(reference, (std::array<float, 3>{1, 2, 3}));

    control::set_attribute(master, "PR", 5);  // another application's master
    GCSMAS(id, 1, &slave, {1, 2, 3}, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("msg_mdls", "message 68/29"));
    EXPECT_TRUE(has_line("eroutc", "GCSMAS - Can not delete slaves"));
    EXPECT_TRUE(control::get_entity(slave));
    GCSMAS(id, 0, &slave, {0, 0, 0}, status);
    EXPECT_TRUE(has_line("eroutc", "GCSMAS - Invalid count"));
}
