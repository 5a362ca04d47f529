// The trimming driver driven by scripts: its menus and page, the words it gives back on every way
// out, and a contour trim judged against the contour; the chains of picked blocks and lengths
// along the trim polygon.
#include "driver/proc_block_support.hpp"
#include "edit/trim/trig_cache.hpp"
#include "edit/trim/trim_cache.hpp"
#include "edit/trim/trim_chains.hpp"
#include "edit/trim/trim_contour.hpp"
#include "edit/trim/trim_page.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "edit/trim/trim_surfaces.hpp"
#include "edit/trim/trim_tp.hpp"
#include "host/control/script.hpp"
#include "host/control/trim_host.hpp"
#include "nc_services/machining_type.hpp"
#include "tests/edit/editor_support.hpp"
#include "tests/edit/trim_part_support.hpp"
#include "tests/tools/tools_test_support.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tool_tables.hpp"

#include "driver/edit_seams.hpp"
#include "driver/exec_pause_menu.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/move_writer_state.hpp"

#include <cmath>
#include <numbers>

namespace {

namespace control = vantu::control;
using words = std::vector<word>;

using proc_test::r;
words feed(int number, float value) { return {1, number, 1, 0, r(value)}; }
words line(int number, point3 p) { return {2, number, r(p[0]), r(p[1]), r(p[2])}; }

constexpr float kClear = 5.0f;
constexpr float kLow = 20.0f, kHigh = 30.0f;  // the contour: the square kLow..kHigh
// The offset polygon the trim keeps the tool out of: the square widened by the mill's radius 1.
constexpr double kPolygonLow = 19.0, kPolygonHigh = 31.0;

// A zig-zag of three passes across the square at the height 0, entered and left by rapids at the
// clearance; the square's four sides as line entities, the first one's id answered.
int zig_zag_part()
{
    // The procedure block names its positions, so that the position before it is the home point.
    control::reset();
    control::clear_messages();
    NPT1().set_real(tp_header_state::kHomePoint + 2, 2 * kClear);
    NPT1().at(tp_header_state::kMachineType) = 22;
    proc_test::proc_block proc;
    proc.number = editor_test::kProcBlock;
    proc.global(5, {r(0), r(0), r(0)}, 1).global(27, {r(0), r(0), r(1)}, 1);
    proc.global(6, {r(0), r(0), r(0)}, 1).global(28, {r(0), r(0), r(1)}, 1);
    proc.append();
    editor_test::build_words({feed(1, -1), line(2, {15, 22, kClear}), feed(3, 100), line(4, {15, 22, 0}),
                              line(5, {35, 22, 0}), line(6, {35, 25, 0}), line(7, {15, 25, 0}), line(8, {15, 28, 0}),
                              line(9, {35, 28, 0}), feed(10, -1), line(11, {35, 28, kClear})},
                             false, {});
    HEI8().set_real(heights_state::kClearance, kClear);
    HEI8().set_real(heights_state::kAbsolute, kClear);
    PRM9().set_real(machine_params::kBaseFeed, 100);
    const float a = kLow, b = kHigh;
    const int first = control::add_line({a, a, 0}, {b, a, 0});
    control::add_line({b, a, 0}, {b, b, 0});
    control::add_line({b, b, 0}, {a, b, 0});
    control::add_line({a, b, 0}, {a, a, 0});
    // The work plane's entity, which the tool-path list is attached to with the tool.
    DSP8().at(tool_position_state::kUcsId) = first;
    PRM9().words[machine_params::kUcs] = first;
    return first;
}

// A real mill of the diameter as the procedure's tool.
void use_mill(float diameter)
{
    tool_tables_init();
    const int mill = tools_test::make_tool(2, "MILL");
    int status = 0;
    SGTOOL(1, mill, status);
    tool_block().IDTOOL = mill;
    tool_set_mill_diameter(diameter);
    tool_set_corner_radius(0.0f);
    PRM9().words[machine_params::kToolId] = mill;
}

int run_trim(const std::string& script, int surfaces = 1)
{
    control::load_script_text(script, "trim driver test");
    int status = 0;
    trim_tp(editor_test::kProcBlock, surfaces, status);
    return status;
}

[[maybe_unused]] std::vector<const control::script_event*> events(const char* kind)
{
    std::vector<const control::script_event*> out;
    for (const auto& e : control::transcript_events())
        if (e.kind == kind && !e.refused) out.push_back(&e);
    return out;
}

// The motions of the sub-list as segments with the feed in force, from the procedure's start.
struct segment {
    point3 a, b;
    float feed;
};
std::vector<segment> segments()
{
    std::vector<segment> out;
    point3 at{0, 0, 0};
    float in_force = 0;
    for (const auto& l : control::toolpath_line_at({0})->sublist) {
        const words& w = l.words;
        if (w[0] == 1 && w[2] == 1) in_force = w[3] == 0 ? word_to_real(w[4]) : -float(w[3]);
        if (w[0] != 2 && w[0] != 22 && w[0] != 222) continue;
        const point3 to{word_to_real(w[2]), word_to_real(w[3]), word_to_real(w[4])};
        out.push_back({at, to, in_force});
        at = to;
    }
    return out;
}

// The module's words a trimming run changes, given back after each test so that the next test of
// the program finds them as loaded.
class TrimDriver : public ::testing::Test {
protected:
    void TearDown() override
    {
        kept_.restore();
        machining_type() = machining_;
    }

private:
    trim_part::module_words kept_;
    int machining_ = machining_type();
};

// How far a point lies inside the offset polygon's square (negative outside).
double depth_inside(double x, double y)
{
    return std::min({x - kPolygonLow, kPolygonHigh - x, y - kPolygonLow, kPolygonHigh - y});
}

}  // namespace

TEST(TrimChains, PickedBlocksBecomeChains)
{
    struct row {
        const char* name;
        std::vector<pick_entry> records;
        std::vector<int> pairs;
    };
    std::vector<pick_entry> singles;
    std::vector<int> single_pairs;
    for (int b = 100; b < 160; b += 2) {
        singles.push_back({b, b - 1, b + 1, 0});
        single_pairs.insert(single_pairs.end(), {b, b});
    }
    const std::vector<row> rows = {
        {"one chain in list order", {{5, 4, 6, 0}, {6, 5, 7, 0}, {7, 6, 8, 0}}, {5, 7}},
        {"one chain picked last-first", {{7, 6, 8, 0}, {6, 5, 7, 0}, {5, 4, 6, 0}}, {5, 7}},
        {"two unlinked blocks", {{3, 2, 4, 0}, {9, 8, 10, 0}}, {3, 3, 9, 9}},
        {"a block added twice counts once", {{5, 4, 6, 0}, {6, 5, 7, 0}, {6, 5, 7, 1}}, {5, 6}},
        {"links in a ring", {{1, 3, 2, 0}, {2, 1, 3, 0}, {3, 2, 1, 0}}, {2, 1}},
        {"more chains than the first room", singles, single_pairs},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        control::reset();
        std::vector<pick_entry> records = row.records;
        int count = 0, status = 0;
        const int handle = get_chains(records.data(), int(records.size()), count, status);
        ASSERT_EQ(status, 0);
        const int* pairs = static_cast<const int*>(mmcptr(handle));
        EXPECT_EQ(std::vector<int>(pairs, pairs + count), row.pairs);
        for (const pick_entry& e : records) EXPECT_EQ(e.duplicate, 1) << "block " << e.block << " used";
    }
    control::reset();
    control::inject_fault("MM_OPEN_ARRAY", 1, 1, -1);
    std::vector<pick_entry> one{{5, 4, 6, 0}};
    int count = 0, status = 0;
    EXPECT_EQ(get_chains(one.data(), 1, count, status), -1);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::lines_of("eroutc"),
              std::vector<std::string>{"get_chains(trimtp), DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE"});
}

TEST(TrimContour, LengthAlongThePolygon)
{
    const double square[] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 0};
    struct row {
        int a, b;
        double ta, tb, length;
    };
    for (const row& c : {row{1, 1, 0.2, 0.7, 5}, row{1, 1, 0.5, 0.5, 5}, row{1, 4, 0, 1, 40}, row{3, 2, 0.5, 0.5, 30},
                         row{5, 2, 0, 0.5, 15}, row{0, 1, 0, 0, -1}, row{1, 6, 0, 0, -1}}) {
        SCOPED_TRACE(std::to_string(c.a) + " to " + std::to_string(c.b));
        EXPECT_NEAR(poly_arc_length(square, 5, c.a, c.b, c.ta, c.tb), c.length, 1e-12);
    }
}

// BY CONTOUR:XY PLANE, DEL.: INSIDE CONTOUR, CONNECT: THROUGH CLEAR, FORWARD: TO END on the zig-zag:
// each pass is cut exactly where it crosses the offset polygon (the square widened by the mill's
// radius 1), no feed motion below the clearance keeps a point inside it, one operation per pass;
// with a STOP in the execution menu the run comes back to the page instead. Either way the
// machining type and "UITR" are those of entry.
TEST_F(TrimDriver, ContourDeleteToEndLeavesTheInsideUncut)
{
    struct row {
        const char* name;
        const char* during;  // script steps while the run goes on
        int operations;
        int pages;  // trimming pages shown
    };
    const row rows[] = {
        {"to the end", "", 3, 2},
        {"stopped in the execution menu",
         R"({"key": "SPACE"}, {"page": [{"line": 1, "value": "EXECUTION:STOP"}, {"line": 0}]}, {"question": "yes"}, )",
         0, 2},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        const int square = zig_zag_part();
        use_mill(2.0f);
        machining_type() = 22;
        ASSERT_TRUE(control::set_record("UITR", 3, {0}));
        const std::vector<segment> before = segments();
        const int count = run_trim(R"([{"menu": 1}, {"pick": )" + std::to_string(square) +
                                   R"(}, {"page": 12}, {"page": [{"line": 2, "value": "YES"}, {"line": 0}]}, )" +
                                   row.during + R"({"page": 16}])");
        EXPECT_EQ(count, row.operations);
        EXPECT_EQ(machining_type(), 22);
        EXPECT_EQ(control::get_record("UITR")->front(), 0);
        EXPECT_EQ(trim_restart_active(), 0);
        EXPECT_EQ(control::events_left(), 0u);
        std::size_t pages = 0;
        for (const auto& e : control::transcript_events())
            if (e.kind == "page" && e.text.find("FORWARD: TO END") != std::string::npos) ++pages;
        EXPECT_EQ(pages, std::size_t(row.pages));
        const std::vector<segment> after = segments();
        if (row.operations == 0) continue;
        std::vector<point3> cuts;
        for (const segment& m : after) {
            if (m.feed > 0 && m.a[2] < kClear - 1e-4f && m.b[2] < kClear - 1e-4f)
                for (int k = 0; k <= 20; ++k) {
                    const double t = k / 20.0, x = m.a[0] + t * (m.b[0] - m.a[0]), y = m.a[1] + t * (m.b[1] - m.a[1]);
                    EXPECT_LE(depth_inside(x, y), 1e-3) << "feed move inside at " << x << ", " << y;
                }
            if (std::abs(depth_inside(m.b[0], m.b[1])) < 1e-4 && m.b[2] == 0.0f) cuts.push_back(m.b);
        }
        EXPECT_EQ(cuts.size(), 6u) << "each pass cut where it enters and leaves";
        EXPECT_EQ(after.back().b, before.back().b) << "the path ends where it ended";
    }
}

// BY CONTOUR:ANY PLANE offsets a contour lying in the plane of a tilted view there: every vertex
// of the polygon lies the tool radius plus CONT. OFFSET from the contour mapped into the view's
// plane (outside it for side 1, inside for side 2), its area is the offset's, the polyline shown
// lies in the contour's plane, and the work plane is world again afterwards.
TEST_F(TrimDriver, AnyPlaneOffsetsTheContourInTheViewsPlane)
{
    using p3 = std::array<double, 3>;
    const double c = std::cos(0.5236), s = std::sin(0.5236), h = std::sqrt(0.75);
    struct row {
        const char* what;
        std::vector<double> rotation;  // rows: the screen's x, y and z in world coordinates
    } rows[] = {
        {"top view", {1, 0, 0, 0, 1, 0, 0, 0, 1}},
        {"tilted 30 degrees about X", {1, 0, 0, 0, c, s, 0, -s, c}},
        {"turned and tilted", {0.6, 0.8, 0, -0.4, 0.3, h, 0.8 * h, -0.6 * h, 0.5}},
    };
    constexpr double kWidth = 10, kHeight = 6, kDepth = 3, kOffset = 0.5, kRadius = 1;
    constexpr double kNear = 2e-3;  // the polygon's single-precision points and the arcs' chords
    const double corners[4][2] = {{0, 0}, {kWidth, 0}, {kWidth, kHeight}, {0, kHeight}};
    for (const row& r : rows) {
        for (const int side : {1, 2}) {
            SCOPED_TRACE(std::string(r.what) + ", side " + std::to_string(side));
            control::reset();
            use_mill(2 * kRadius);
            ASSERT_TRUE(control::set_view_rotation(r.rotation));
            const auto world = [&](double x, double y) {
                const p3 local{x, y, kDepth};
                p3 out{};
                for (int i = 0; i < 3; ++i)
                    for (int k = 0; k < 3; ++k) out[i] += r.rotation[3 * k + i] * local[k];
                return control::point3{out[0], out[1], out[2]};
            };
            int first = 0;
            for (int k = 0; k < 4; ++k) {
                const int id = control::add_line(world(corners[k][0], corners[k][1]),
                                                 world(corners[(k + 1) % 4][0], corners[(k + 1) % 4][1]));
                if (k == 0) first = id;
            }
            const std::size_t entities = control::entity_ids().size();
            trim_words().selection_method = kByContourAny;
            trim_words().contour_tol = 0.01f;
            control::load_script_text(R"([{"pick": )" + std::to_string(first) + "}]", "any plane");
            int vertices = 0, status = 0;
            double perimeter = 0.0;
            double* polygon = trim_contour_offset(float(kOffset), side, 1, vertices, perimeter, status);
            ASSERT_EQ(status, 0) << ::testing::PrintToString(control::lines_of("usmsgc"));
            ASSERT_NE(polygon, nullptr);
            const double d = kRadius + kOffset;
            double area = 0.0;
            for (int i = 0; i < vertices; ++i) {
                const double x = polygon[2 * i], y = polygon[2 * i + 1];
                const double dx = std::max({-x, x - kWidth, 0.0}), dy = std::max({-y, y - kHeight, 0.0});
                const double inside = std::min({x, kWidth - x, y, kHeight - y});
                const double from_square = dx > 0 || dy > 0 ? std::hypot(dx, dy) : -inside;
                EXPECT_NEAR(from_square, side == 1 ? d : -d, kNear) << x << ", " << y;
                const int next = (i + 1) % vertices;
                area += x * polygon[2 * next + 1] - polygon[2 * next] * y;
            }
            const double expected = side == 1 ? (kWidth + 2 * d) * (kHeight + 2 * d) - (4 - std::numbers::pi) * d * d
                                              : (kWidth - 2 * d) * (kHeight - 2 * d);
            EXPECT_NEAR(std::abs(area) / 2, expected, 0.005 * expected);
            for (const control::point3& p : control::curve_display_points(trim_contour().shown_curve)) {
                double local[3];
                m3vc2d(trim_words().plane_transform, p.data(), local);
                EXPECT_NEAR(local[2], kDepth, kNear) << "the polygon shown in the contour's plane";
            }
            int words[2] = {-1, -1};
            gswpld(1, words);
            EXPECT_EQ((std::array<int, 2>{words[0], words[1]}), (std::array<int, 2>{0, 0}));
            EXPECT_EQ(control::entity_ids().size(), entities + 1) << "the polyline shown, no UCS left";
            DM_FREE(polygon, 0);
            trim_contour_release();
        }
    }
}

// The page follows the method and the stored words; the menus' ways out; the refusals.
TEST_F(TrimDriver, PageMenusAndRefusals)
{
    struct row {
        const char* name;
        std::array<word, 10> stored;  // "ZQA1" before the run
        std::string script;           // after the choice of the method and the contour pick
        int method;
        std::vector<std::string> shown, absent, messages;
    };
    const std::array<word, 10> plain{1, 3, 1, 1, 1, r(10), r(0), r(0), r(10), r(50)};
    std::array<word, 10> along = plain, second_delete = plain, surfaces = plain, open_offset = plain;
    along[0] = 4;
    second_delete[2] = 2;
    surfaces[1] = 2;
    surfaces[3] = 3;
    open_offset[6] = r(1.5f);
    const std::vector<row> rows = {
        {"ALL PROCEDURE BLOCKS offers no deletion",
         plain,
         R"({"page": 16})",
         4,
         {"3 MOVE BY DELTA Z@PROJECT MOTIONS = 2 (PROJECT MOTIONS)", "12 FORWARD: TO END"},
         {"DELETE MOTIONS"},
         {}},
        {"ALONG CONT. with BY CONTOUR:XY PLANE", along, R"({"page": 16})", 1, {"= 4 (CONNECT: ALONG CONT.)"}, {}, {}},
        {"no ALONG CONT. with BY CONTOUR:ANY PLANE",
         along,
         R"({"page": 16})",
         2,
         {"= 1 (CONNECT: THROUGH CLEAR)"},
         {"ALONG CONT."},
         {}},
        {"a stored delete mode other than 1",
         second_delete,
         R"({"page": 16})",
         1,
         {"4 DELETE:ALL SELECT BLK."},
         {},
         {"THIS OPTION IS NOT WORKING YET"}},
        {"a surface projection without surfaces",
         surfaces,
         R"({"page": 12}, {"page": 16})",
         4,
         {"5 REF.SRF.OFFSET = 0 [1, 999.999]", "9 G-EDIT REF. SURFACES 0"},
         {},
         {"NO SURFACES DEFINED, DEFINE SURFACES"}},
        {"an offset the open contour cannot take",
         open_offset,
         R"({"menu": -1})",
         1,
         {},
         {"FORWARD"},
         {"WARNING: CANNOT CALCULATE OFFSET FOR THE SELECTED CONTOUR."}},
    };
    for (const row& row : rows) {
        SCOPED_TRACE(row.name);
        const int square = zig_zag_part();
        const int open = control::add_line({0, 0, 0}, {5, 0, 0});
        ASSERT_TRUE(control::set_record("ZQA1", 2, std::vector<word>(row.stored.begin(), row.stored.end())));
        const int picked = row.stored[6] == plain[6] ? square : open;
        const std::string pick = row.method <= 2 ? R"({"pick": )" + std::to_string(picked) + "}, " : "";
        EXPECT_EQ(run_trim("[{\"menu\": " + std::to_string(row.method) + "}, " + pick + row.script + "]"), 0);
        EXPECT_EQ(control::events_left(), 0u);
        std::string pages;
        for (const auto& e : control::transcript_events())
            if (e.kind == "page") pages += e.text + "\n";
        for (const std::string& text : row.shown)
            EXPECT_NE(pages.find(text), std::string::npos) << text << "\n" << pages;
        for (const std::string& text : row.absent) EXPECT_EQ(pages.find(text), std::string::npos) << text;
        EXPECT_EQ(control::lines_of("usmsgc"), row.messages);
        EXPECT_EQ(trim_words().delete_mode, 1);
    }
    // Two backs in BLOCKS SELECTION end the trimming; the words of the page are kept between runs.
    zig_zag_part();
    EXPECT_EQ(run_trim(R"([{"menu": -2}, {"menu": -2}, {"menu": 1}])"), 0);
    EXPECT_EQ(control::events_left(), 1u);
    const int square = zig_zag_part();
    const std::string pick = R"([{"menu": 1}, {"pick": )" + std::to_string(square) + "}, ";
    run_trim(pick + R"({"page": [{"line": 6, "value": 0.5}, {"line": 8}]}, {"page": 16}])");
    run_trim(pick + R"({"page": 16}])");
    EXPECT_NE(control::transcript_events().back().text.find("6 CONT. OFFSET = 0.5"), std::string::npos);
}

// REF.SRF.OFFSET's lower limit by the current tool: minus a mill's corner radius, 1.0 for every
// tool that is no mill (its corner radius reads -1.0).
TEST_F(TrimDriver, RefSurfaceOffsetLimitByToolKind)
{
    struct row {
        int tool_class;
        float corner;
        const char* limits;
    };
    std::vector<row> rows = {
        {kMill, 0.0f, "[0, 999.999]"}, {kMill, 1.5f, "[-1.5, 999.999]"}, {kMill, 5.0f, "[-5, 999.999]"}};
    for (int tool_class = 1; tool_class <= kToolClasses; ++tool_class)
        if (tool_class != kMill) rows.push_back({tool_class, 0.0f, "[1, 999.999]"});
    const std::array<word, 10> surfaces{1, 2, 1, 3, 1, r(10), r(0), r(0), r(10), r(50)};
    for (const row& row : rows) {
        SCOPED_TRACE("tool class " + std::to_string(row.tool_class) + ", corner " + std::to_string(row.corner));
        zig_zag_part();
        ASSERT_TRUE(control::set_record("ZQA1", 2, std::vector<word>(surfaces.begin(), surfaces.end())));
        const tools_test::held_tool tool(row.tool_class, 10.0f);
        tool_shapes().mill.CRNRRD = row.corner;
        run_trim(R"([{"menu": 4}, {"page": 16}])");
        const std::string page = control::transcript_events().back().text;
        EXPECT_NE(page.find(std::string("5 REF.SRF.OFFSET = 0 ") + row.limits), std::string::npos) << page;
    }
}

// The trimming's positions in the list: first and last motion, a block inside a string (broken
// into lines to stand on it), the entry below the base feed, the mark kept around a manual edit.
TEST_F(TrimDriver, ListPositions)
{
    auto string7 = [](int number, std::vector<point3> points) {
        words w{7};
        for (const point3& p : points) w.insert(w.end(), {word(number++), r(p[0]), r(p[1]), r(p[2])});
        return w;
    };
    editor_test::build_words({feed(1, -1), line(2, {1, 0, 0}), feed(3, 50), line(4, {2, 0, 0}), feed(5, 100),
                              string7(10, {{3, 0, 0}, {4, 0, 0}, {5, 0, 0}}), line(20, {6, 0, 0})});
    PRM9().set_real(machine_params::kBaseFeed, 100);
    int first = 0, last = 0, kind = 0, status = 0;
    trim_first_last_motion(first, last, {0, 0, 0}, kind, status);
    EXPECT_EQ((std::vector<int>{first, last, kind, status}), (std::vector<int>{2, 20, 1, 0}));
    trim_entry_range(first, last, status);
    EXPECT_EQ((std::vector<int>{first, last, status}), (std::vector<int>{2, 4, 0}));
    EXPECT_EQ(editor_test::cursor_block_number(), 20) << "the list is where it was";

    point3 point{}, direction{}, previous{}, previous_direction{};
    trim_goto_block(11, point, direction, previous, previous_direction, kind, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(editor_test::cursor_block_number(), 11);
    EXPECT_EQ(point, (point3{4, 0, 0}));
    EXPECT_EQ(previous, (point3{3, 0, 0}));
    EXPECT_EQ(LSP2().vec(move_writer_state::kLastPoint), previous);
    trim_goto_block(99, point, direction, previous, previous_direction, kind, status);
    EXPECT_EQ(status, -2);

    editor_test::put_cursor_on(4);
    goto_last_added_block(2, status);
    editor_test::put_cursor_on(20);
    goto_last_added_block(1, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(editor_test::cursor_block_number(), 4);
    for (int flag : {1, 0, 3}) {
        uitr_set(flag);
        EXPECT_EQ(control::get_record("UITR")->front(), flag == 1 ? 1u : 0u);
    }
}

// A new triangulation of the reference surfaces frees the model kept in slot 0 first, once.
TEST_F(TrimDriver, RetriangulationFreesTheSlotModelOnce)
{
    control::reset();
    const float nodes[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const int triangle[] = {1, 2, 3};
    int status = 0;
    tri_model_build(nodes, 3, triangle, 1, status);
    ASSERT_EQ(status, 0);
    const int node_array = tri_store_block.node_handle;
    trim_cache_save();
    node_handles_reset();
    trim_words().retriangulate = 1;
    trim_surfaces_triangulate(status);
    EXPECT_EQ(mmcptr(node_array), nullptr) << "the slot's model is freed";
    EXPECT_EQ(trig_cache_get(kTrigSlotTrim, tri_store_block, qt_nodes.root_box, qt_nodes.nodes), status == 0 ? 1 : 0);
    trim_surfaces_release();
    tri_model_module_reset();
}

// MANUAL EDIT in the execution menu while trimming: the list position is marked before the
// editor and returned to after it.
TEST_F(TrimDriver, ManualEditWhileTrimmingMarksThenReturns)
{
    editor_test::build_words({feed(1, 100), line(2, {1, 0, 0})});
    static std::vector<int> modes;
    modes.clear();
    const edit_services kept = edit_seams();
    edit_seams().goto_last_added_block = [](int mode, int& status) {
        modes.push_back(mode);
        status = 0;
    };
    edit_seams().manedt = [](int, const std::array<int, 7>&, int&, int, int& changed, int& status) {
        changed = 0;
        status = 0;
    };
    machining_type() = 33;
    ASSERT_TRUE(control::set_record("UITR", 3, {1}));
    control::load_script_text(R"([{"page": 4}, {"page": -1}])", "manual edit while trimming");
    exec_pause_menu(kMenuMovesWritten);
    edit_seams() = kept;
    EXPECT_EQ(modes, (std::vector<int>{2, 1}));
    EXPECT_EQ(control::events_left(), 0u);
}
