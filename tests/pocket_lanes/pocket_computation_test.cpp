// The whole pocket computation: the driver's codes and messages, the lane engine's modes, the
// cutting order the stages leave in the lane table, and properties over a corpus of pockets
// (every cut point inside the material, every live lane cut once, the same lanes after a
// translation or a reversal of the contours).
#include "engine_test_support.hpp"

#include "driver/exec_run.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_detours.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_engine.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"
#include "tools/tools_test_support.hpp"

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

constexpr double kSlack = 0.02;

struct pocket_shape {
    const char* name;
    std::vector<contour> contours;
    // Containment: the outer contour as a polygon (arcs left out: their chords cut inside), and
    // the islands as capsules (the points within r of the segment x0, y0 to x1, y1).
    std::vector<xy> outer_polygon;
    std::vector<std::array<double, 5>> round_islands;
    double step = 1.0;  // the side step and every contour's offset
    // Half discs (x, y, r) that the outer contour's arcs add to its polygon.
    std::vector<std::array<double, 3>> outer_discs = {};
};

double capsule_distance(const std::array<double, 5>& c, double x, double y)
{
    const double dx = c[2] - c[0], dy = c[3] - c[1], l2 = dx * dx + dy * dy;
    const double t = l2 > 0.0 ? std::clamp(((x - c[0]) * dx + (y - c[1]) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(x - c[0] - t * dx, y - c[1] - t * dy) - c[4];
}

// The example part's outer contour: a 100 x 60 rectangle with a half circle of radius 30 on top.
contour arched_outer()
{
    contour c{{0, 0}, {100, 0}, {100, 60}};
    push_arc(c, 30.0, 1.0, 70.0, 60.0, 40.0, 60.0);
    c.push_back({0, 60});
    c.push_back({0, 0});
    return c;
}

std::vector<xy> polygon_of(const contour& c)
{
    std::vector<xy> p;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (c[i].x > 1.0e20) {
            i += 2;  // the radius and the centre; the end point follows as a vertex
            continue;
        }
        p.push_back(c[i]);
    }
    return p;
}

// The example part's slot: two lines and two half circles of radius 5 about (55, 30) and (80, 30).
contour slot()
{
    contour c{{55, 25}, {80, 25}};
    push_arc(c, 5.0, 1.0, 80.0, 30.0, 80.0, 35.0);
    c.push_back({55, 35});
    push_arc(c, 5.0, 1.0, 55.0, 30.0, 55.0, 25.0);
    return c;
}

// Whether the point lies inside the polygon, and its distance to the polygon's edges.
bool inside_polygon(const std::vector<xy>& p, double x, double y, double& nearest)
{
    bool in = false;
    nearest = 1.0e30;
    for (std::size_t i = 1; i < p.size(); ++i) {
        const xy a = p[i - 1], b = p[i];
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) in = !in;
        const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
        const double t = l2 > 0.0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
        nearest = std::min(nearest, std::hypot(x - a.x - t * dx, y - a.y - t * dy));
    }
    return in;
}

std::vector<pocket_shape> corpus()
{
    const contour arched = arched_outer();
    return {
        {"rectangle", {rectangle(0, 0, 20, 10)}, polygon_of(rectangle(0, 0, 20, 10)), {}},
        {"rectangle with a round island",
         {rectangle(0, 0, 30, 20), circle(15, 10, 2)},
         polygon_of(rectangle(0, 0, 30, 20)),
         {{15, 10, 15, 10, 2}}},
        {"rectangle with two islands",
         {rectangle(0, 0, 40, 20), circle(10, 10, 3), circle(30, 10, 3)},
         polygon_of(rectangle(0, 0, 40, 20)),
         {{10, 10, 10, 10, 3}, {30, 10, 30, 10, 3}}},
        {"L-shape", {l_shape(0, 0, 30, 30)}, polygon_of(l_shape(0, 0, 30, 30)), {}},
        {"L-shape with an island",
         {l_shape(0, 0, 40, 40), circle(10, 10, 4)},
         polygon_of(l_shape(0, 0, 40, 40)),
         {{10, 10, 10, 10, 4}}},
        {"arched pocket with an island",
         {arched, circle(25, 30, 8)},
         polygon_of(arched),
         {{25, 30, 25, 30, 8}},
         1.0,
         {{70, 60, 30}}},
        {"islands closer than two offsets",
         {rectangle(0, 0, 30, 12), circle(12, 6, 2.5), circle(18, 6, 2.5)},
         polygon_of(rectangle(0, 0, 30, 12)),
         {{12, 6, 12, 6, 2.5}, {18, 6, 18, 6, 2.5}}},
        {"long thin pocket", {rectangle(0, 0, 60, 3)}, polygon_of(rectangle(0, 0, 60, 3)), {}},
        {"the example part",
         {arched, circle(25, 30, 8), slot()},
         polygon_of(arched),
         {{25, 30, 25, 30, 8}, {55, 30, 80, 30, 5}},
         0.1,
         {{70, 60, 30}}},
    };
}

class PocketComputation : public EngineTest {
protected:
    static int run(int mode = 0)
    {
        int status = -7;
        cmtpk_clean(mode, status);
        return status;
    }
    static std::vector<xy> points_of(int lane) { return lane_entries(lane); }
    // Number of cut lanes (output lanes that are neither connections nor separators).
    static int cut_lanes()
    {
        return count_output([](int i) {
            return lane_table_block.level[i] != kLevelSeparator && lane_table_block.group[i] != kGroupConnection;
        });
    }
    // The cutting order's shape: output lanes are cut lanes (their engine lane in link 2), 4-entry
    // connections of group -999, or empty separators; the last is a separator; every live engine
    // lane is cut exactly once.
    static void expect_cutting_order(const std::string& name)
    {
        const lane_table& lt = lane_table_block;
        const int first = pocket_box_block.first_output_lane;
        ASSERT_GE(first, 2) << name;
        ASSERT_LE(first, lt.count) << name;
        EXPECT_EQ(lt.level[lt.count], kLevelSeparator) << name;
        std::map<int, int> cut;
        for (int i = first; i <= lt.count; ++i) {
            int n = 0;
            lane_npnts(i, n);
            if (lt.level[i] == kLevelSeparator) {
                EXPECT_EQ(n, 0) << name << " separator " << i;
            } else if (lt.group[i] == kGroupConnection) {
                EXPECT_EQ(n, 4) << name << " connection " << i;
            } else {
                EXPECT_GE(n, 2) << name << " lane " << i;
                ++cut[lt.link2[i]];
            }
        }
        for (int i = 1; i < first; ++i) {
            if (lt.status[i] <= 0) continue;
            EXPECT_EQ(cut[i], 1) << name << ": engine lane " << i << " cut " << cut[i] << " times";
        }
        for (const auto& [lane, times] : cut)
            EXPECT_GT(lt.status[lane], 0) << name << ": lane " << lane << " is not live";
    }
    static double length_of(int lane)
    {
        pokarr_work a;
        int status = 0;
        double total = 0.0;
        lane_to_pokarr(lane, a.a, status);
        if (status == 0) pokarr_length(2, a.a, nullptr, total, status);
        EXPECT_EQ(status, 0) << "lane " << lane;
        return total;
    }
    // Every cut lane goes once round its engine lane, with the collapse lanes cut within it out
    // and back: no lane is cut round and then on along itself again.
    static void expect_cut_once_round(const std::string& name)
    {
        const lane_table& lt = lane_table_block;
        const int first = pocket_box_block.first_output_lane;
        for (int i = first; i <= lt.count; ++i) {
            const int source = lt.link2[i];
            if (lt.level[i] == kLevelSeparator || lt.group[i] == kGroupConnection || source < 1 || source >= first)
                continue;
            double allowed = length_of(source) + kSlack;
            for (int n = 1; n < first; ++n)
                if (collapse_detour_lane(n) && std::abs(lt.parent[n]) == source) allowed += 2.0 * length_of(n);
            EXPECT_LE(length_of(i), allowed) << name << ": lane " << source << " cut as lane " << i;
        }
    }
    // Every point of every output lane inside the outer contour and at least the offset away from
    // its edges and from the islands; a connection's spike points reach twice the tolerance
    // beyond the lane it starts on.
    static void expect_inside_material(const pocket_shape& shape, double offset)
    {
        const lane_table& lt = lane_table_block;
        for (int i = pocket_box_block.first_output_lane; i <= lt.count; ++i) {
            if (lt.level[i] == kLevelSeparator) continue;
            const double slack = kSlack + (lt.group[i] == kGroupConnection ? 2.0 * pocket_work_block.tolerance : 0.0);
            const std::vector<xy> e = points_of(i);
            for (std::size_t k = 0; k < e.size(); ++k) {
                if (e[k].x > 1.0e20) {
                    k += 2;
                    continue;
                }
                const bool in_disc =
                    std::any_of(shape.outer_discs.begin(), shape.outer_discs.end(), [&](const auto& d) {
                        return std::hypot(e[k].x - d[0], e[k].y - d[1]) <= d[2] + slack;
                    });
                double edge = 0.0;
                const bool in_polygon = inside_polygon(shape.outer_polygon, e[k].x, e[k].y, edge);
                EXPECT_TRUE((in_polygon && (edge >= offset - slack || !shape.outer_discs.empty())) || in_disc)
                    << shape.name << " lane " << i << " point " << e[k].x << ", " << e[k].y << " edge " << edge;
                for (const auto& c : shape.round_islands)
                    EXPECT_GE(capsule_distance(c, e[k].x, e[k].y), offset - slack)
                        << shape.name << " lane " << i << " point " << e[k].x << ", " << e[k].y;
            }
        }
    }
};

TEST_F(PocketComputation, CorpusPocketsAreCutOnceEachInsideTheMaterial)
{
    for (const int offsets_mode : {99, 1}) {
        for (const pocket_shape& shape : corpus()) {
            const std::string name = std::string(shape.name) + " offsets mode " + std::to_string(offsets_mode);
            to_load_state();
            pocket_state_block.offsets_mode = offsets_mode;
            pocket_work_block.side_step = shape.step;
            load(shape.contours, shape.step);
            EXPECT_EQ(run(), kEngineDone) << name;
            expect_cutting_order(name);
            expect_cut_once_round(name);
            expect_inside_material(shape, shape.step);
            EXPECT_EQ(pocket_state_block.offsets_mode, offsets_mode) << name << ": the option is put back";
            EXPECT_TRUE(errors().empty()) << name << ": " << (errors().empty() ? "" : errors().front());
        }
    }
}

// Translating the contours or running every one of them backwards gives the same lanes.
TEST_F(PocketComputation, TranslatedOrReversedContoursGiveTheSameLanes)
{
    const unsigned seed = 20261207u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> size(12.0, 60.0), unit(0.0, 1.0);
    for (int trial = 0; trial < 24; ++trial) {
        const int kind = trial % 3;  // 0 a rectangle, 1 an L-shape, 2 the arched pocket (100 x 60 and its arc)
        double w = std::round(size(rng) * 64.0) / 64.0, h = std::round(size(rng) * 64.0) / 64.0;
        if (kind == 2) w = 100.0, h = 60.0;
        pocket_shape shape{
            "random", {kind == 0 ? rectangle(0, 0, w, h) : kind == 1 ? l_shape(0, 0, w, h) : arched_outer()},
            {},       {},
            1.0,      {}};
        shape.outer_polygon = polygon_of(shape.contours[0]);
        if (kind == 2) shape.outer_discs.push_back({70, 60, 30});
        const int islands = trial % 4;
        for (int k = 0; k < islands; ++k) {
            const double r = 1.0 + std::round(unit(rng) * 2.0 * 64.0) / 64.0;
            const double cx = std::round((0.25 + 0.2 * unit(rng)) * w * 64.0) / 64.0;
            const double cy = std::round((0.2 + 0.2 * unit(rng) + 0.25 * k) * h * 64.0) / 64.0;
            shape.contours.push_back(circle(cx, cy, r));
            shape.round_islands.push_back({cx, cy, cx, cy, r});
        }
        shape.step = 0.5 + std::round(unit(rng) * 2.0 * 64.0) / 64.0;
        std::vector<int> counts;
        for (int variant = 0; variant < 3; ++variant) {
            std::vector<contour> run_contours = shape.contours;
            for (contour& c : run_contours) {
                if (variant == 1) c = translated(c, 1000.0, -1000.0);
                if (variant == 2) c = reversed(c);
            }
            to_load_state();
            pocket_work_block.side_step = shape.step;
            load(run_contours, shape.step);
            const int status = run();
            EXPECT_TRUE(status == kEngineDone || status == kEngineNoLane || status == kEngineEndPointNote)
                << "seed " << seed << " trial " << trial << " variant " << variant << " status " << status;
            counts.push_back(status == kEngineNoLane ? 0 : cut_lanes());
            // The islands of an L-shape may reach into its notch: containment is checked on the
            // others.
            if (variant == 0 && status == kEngineDone && kind != 1) {
                const std::string name = "seed " + std::to_string(seed) + " trial " + std::to_string(trial);
                expect_cutting_order(name);
                shape.name = name.c_str();
                expect_inside_material(shape, shape.step);
            }
        }
        EXPECT_EQ(counts[1], counts[0]) << "seed " << seed << " trial " << trial << ": translated";
        EXPECT_EQ(counts[2], counts[0]) << "seed " << seed << " trial " << trial << ": reversed";
    }
}

// The single-offset mode cuts the island chains first, the highest island level first, then the
// outer contour's.
TEST_F(PocketComputation, SingleOffsetCutsIslandChainsFirstHighestLevelFirst)
{
    pocket_state_block.offsets_mode = 1;
    load({rectangle(0, 0, 40, 20), circle(10, 10, 3), circle(30, 10, 3)}, 1.0);
    ASSERT_EQ(run(), kEngineDone);
    std::vector<int> levels;
    const lane_table& lt = lane_table_block;
    for (int i = pocket_box_block.first_output_lane; i <= lt.count; ++i)
        if (lt.level[i] != kLevelSeparator) levels.push_back(lt.level[i]);
    EXPECT_EQ(levels, (std::vector<int>{kLevelIsland + 2, kLevelIsland + 1, 1}));
}

// The end-point modes: the innermost lane of branch 1 is cut first, entered at its point nearest
// the restart point, and the chain's entries follow the straight line from there. A restart
// point that cannot be placed is refused in mode 1 ("ILLEGAL END POINT FOR POCKET") and dropped
// in mode 2, which computes again without it.
TEST_F(PocketComputation, EndPointModesEnterTheInnermostLaneNearestTheRestartPoint)
{
    struct row {
        int mode;
        double restart_x;
        int status;
        bool entered_near;
        std::vector<std::string> said;
    };
    const std::vector<row> rows = {
        {1, 3.0, kEngineDone, true, {}},
        {2, 3.0, kEngineDone, true, {}},
        {1, 1.0e7, -1, false, {"ILLEGAL END POINT FOR POCKET"}},
        {2, 1.0e7, kEngineDone, false, {}},
    };
    for (const row& r : rows) {
        to_load_state();
        vantu::control::clear_messages();
        pocket_work_block.end_point_mode = r.mode;
        pocket_work_block.restart_point[0] = r.restart_x;
        pocket_work_block.restart_point[1] = 5.0;
        load({rectangle(0, 0, 20, 10), circle(10, 5, 2)}, 1.0);
        const std::string name = "mode " + std::to_string(r.mode) + " restart x " + std::to_string(r.restart_x);
        EXPECT_EQ(run(), r.status) << name;
        EXPECT_EQ(vantu::control::texts_of("userrc"), r.said) << name;
        EXPECT_EQ(pocket_work_block.end_point_mode, r.mode) << name << ": the option is put back";
        if (!r.entered_near) continue;
        // The innermost lane of the rectangle is [4, 16] x [4, 6]: entered at (4, 5).
        double x = 0.0, y = 0.0;
        lane_first_xy(pocket_box_block.first_output_lane, x, y);
        EXPECT_NEAR(x, 4.0, 1e-9) << name;
        EXPECT_NEAR(y, 5.0, 1e-9) << name;
    }
}

// The end-point ordering gives up where the straight line to the restart point would cross an
// island: the entries of stage 1 come back and the computation reports 100. A line clear of the
// island re-chooses entries.
TEST_F(PocketComputation, EndPointLineAcrossAnIslandPutsTheFirstStagesEntriesBack)
{
    struct row {
        double restart_x;
        int status;
        bool stage1_entries;
    };
    for (const row& r : {row{1.5, kEngineEndPointNote, true}, row{39.0, kEngineDone, false}}) {
        to_load_state();
        pocket_work_block.end_point_mode = 1;
        pocket_work_block.restart_point[0] = r.restart_x;
        pocket_work_block.restart_point[1] = 10.0;
        load({rectangle(0, 0, 40, 20), circle(6, 10, 2)}, 1.0);
        EXPECT_EQ(run(), r.status) << r.restart_x;
        // The linking stage negates the entries it has used; points and parameters stay.
        const cut_entry_tables& now = cut_stage_block.entries;
        const cut_entry_tables& stage1 = cut_stage_block.saved;
        bool same = true;
        for (int n = 1; n < pocket_box_block.first_output_lane; ++n)
            same = same && std::abs(now.element[n]) == std::abs(stage1.element[n]) &&
                   (stage1.element[n] == 0 || (now.x[n] == stage1.x[n] && now.y[n] == stage1.y[n]));
        EXPECT_EQ(same, r.stage1_entries) << r.restart_x;
    }
}

// The execute callback of the stop test: mode 1 computes, mode 2 (the clean-up after a stop)
// counts.
int stop_cleanups = 0;
void compute_pocket(int& mode, int& status)
{
    status = 0;
    if (mode == 1)
        cmtpk_clean(0, status);
    else
        ++stop_cleanups;
}

// A stop (SPACE, STOP, yes) seen at a lane append leaves the computation by the stop exception:
// the options the computation changed are back, the execution cleans up once, and the next
// computation runs clean.
TEST_F(PocketComputation, StopAtAnAppendPollRestoresTheOptionsAndTheNextRunIsClean)
{
    const std::vector<contour> contours{rectangle(0, 0, 40, 20), circle(10, 10, 3)};
    pocket_state_block.offsets_mode = 99;
    pocket_state_block.multi_offset = 0;
    load(contours, 1.0);
    vantu::control::load_script_text(
        R"({"steps": [{"key": "SPACE", "after": 1},
                      {"page": [{"line": 1, "value": "EXECUTION:STOP"}, {"line": 0}]},
                      {"question": "yes", "expect": "STOP EXECUTION?"}]})",
        "stop script");
    stop_cleanups = 0;
    int suspended = 0, display_changed = 0, display_mode = 0, status = -7;
    exec_run(compute_pocket, 1, 0, suspended, display_changed, display_mode, status);
    EXPECT_EQ(vantu::control::events_left(), 0u) << "the stop was seen";
    EXPECT_EQ(stop_cleanups, 1);
    EXPECT_EQ(pocket_state_block.offsets_mode, 99);
    EXPECT_EQ(pocket_state_block.multi_offset, 0);
    EXPECT_EQ(pocket_state_block.direction_sign, 1);
    EXPECT_EQ(lane_table_block.pair_handle, -1) << "the pair memory is closed";
    EXPECT_EQ(lane_table_block.box_handle, -1) << "the box cache is closed";

    to_load_state();
    load(contours, 1.0);
    EXPECT_EQ(run(), kEngineDone);
    expect_cutting_order("after the stop");
}

// The engine's first offset: the tool radius, but half the flat width when the flat part is wider
// than the side step and the radius lies between half the flat width and the flat width; a tool
// without a mill record (its sizes read -1) counts as size 0. The lanes themselves start at the
// contours' own offsets, which carry the tool.
TEST_F(PocketComputation, FirstOffsetFollowsTheToolAndTheSideStep)
{
    struct row {
        const char* name;
        float diameter, corner;  // below 0: no tool
        double side_step, first_offset;
    };
    const std::vector<row> rows = {
        {"flat part wider than the step", 10.0f, 2.5f, 4.0, 2.5},
        {"step as wide as the flat part", 10.0f, 2.5f, 5.0, 5.0},
        {"ball end", 10.0f, 5.0f, 4.0, 5.0},
        {"no tool", -1.0f, -1.0f, 4.0, 0.0},
    };
    tool_tables_init();
    const int mill = tools_test::make_tool(2, "MILL 10");
    for (const row& r : rows) {
        to_load_state();
        int status = 0;
        if (r.diameter >= 0.0f) {
            SGTOOL(1, mill, status);
            ASSERT_EQ(status, 0);
            tool_block().IDTOOL = mill;
            tool_set_mill_diameter(r.diameter);
            tool_set_corner_radius(r.corner);
        }
        PRM9().words[machine_params::kToolId] = r.diameter >= 0.0f ? mill : -1;
        pocket_work_block.side_step = r.side_step;
        load({rectangle(0, 0, 40, 20)}, 1.5);
        EXPECT_EQ(run(), kEngineDone) << r.name;
        EXPECT_DOUBLE_EQ(pocket_work_block.first_offset, r.first_offset) << r.name;
        // The first lane of the outer contour lies at the contour's offset from it.
        const lane_table& lt = lane_table_block;
        for (int i = 1; i < pocket_box_block.first_output_lane; ++i) {
            if (lt.level[i] != 1 || lt.status[i] != 1) continue;
            for (const xy& p : points_of(i)) {
                const double edge = std::min({p.x, 40.0 - p.x, p.y, 20.0 - p.y});
                EXPECT_NEAR(edge, 1.5, 1e-6) << r.name << " lane " << i;
            }
        }
    }
    // The tool is no longer current: later tests start without one.
    tool_block().IDTOOL = kNoTool;
}

// The engine works with the step it is handed and keeps it as its own step; the page's side step
// stays as the initialisation stored it.
double handed_step = 0.0;
void engine_with_handed_step(double extra_offset, const double* offsets, double, int& offsets_mode, int direction_sign,
                             int second_stage, double tolerance, double end_value, int& status)
{
    rrpock(extra_offset, offsets, handed_step, offsets_mode, direction_sign, second_stage, tolerance, end_value,
           status);
}

TEST_F(PocketComputation, EngineStepsByTheStepItIsHandedAndKeepsThePageStep)
{
    for (const double step : {2.0, 3.0}) {
        to_load_state();
        pocket_work_block.side_step = 4.0;
        handed_step = step;
        load({rectangle(0, 0, 40, 20)}, 1.5);
        pocket_lane_engine() = engine_with_handed_step;
        const int status = run();
        pocket_lane_engine() = rrpock;
        ASSERT_EQ(status, kEngineDone) << step;
        EXPECT_EQ(pocket_work_block.side_step, 4.0) << step;
        EXPECT_EQ(pocket_work_block.engine_step, step) << step;
        // The offset of pass 2 lies one handed step inside the contour's own.
        const lane_table& lt = lane_table_block;
        int points = 0;
        for (int i = 1; i < pocket_box_block.first_output_lane; ++i) {
            if (lt.level[i] != 1 || lt.status[i] != 2) continue;
            for (const xy& p : points_of(i)) {
                const double edge = std::min({p.x, 40.0 - p.x, p.y, 20.0 - p.y});
                EXPECT_NEAR(edge, 1.5 + step, 1e-6) << step << " lane " << i;
                ++points;
            }
        }
        EXPECT_GT(points, 0) << step;
    }
}

// The engine's offsets modes: -1 without island merging, -11 without branch merging, -2 with the
// island lanes reversed; each runs one offset and gives the mode back.
TEST_F(PocketComputation, OffsetsModesRunOneOffsetAndAreGivenBack)
{
    for (const int mode : {-1, -11, -2, 1}) {
        to_load_state();
        pocket_state_block.offsets_mode = mode;
        // Two islands whose first offsets overlap.
        load({rectangle(0, 0, 30, 12), circle(12, 6, 2.5), circle(17, 6, 2.5)}, 1.0);
        EXPECT_EQ(run(), kEngineDone) << mode;
        EXPECT_EQ(pocket_state_block.offsets_mode, mode);
        const lane_table& lt = lane_table_block;
        const int first = pocket_box_block.first_output_lane;
        // One offset: no engine lane beyond status 1.
        for (int i = 1; i < first; ++i) EXPECT_LE(lt.status[i], 1) << mode << " lane " << i;
        const int island_lanes = count_output([](int i) {
            return lane_table_block.level[i] > kLevelIsland && lane_table_block.group[i] != kGroupConnection;
        });
        // Merged island offsets make one lane, apart they stay two.
        EXPECT_EQ(island_lanes, mode == -1 ? 2 : 1) << mode;
    }
}

// Beyond 20 islands the island merge first compares the pair's boxes: a pair whose first offsets
// overlap, and one whose offsets touch (their boxes only touch, so the pair is still combined),
// come out as they do among four islands, where no box test runs; the islands standing apart
// (boxes apart: the pair is passed over) stay one lane each.
TEST_F(PocketComputation, IslandBoxTestBeyondTwentyIslandsKeepsEveryMerge)
{
    // Offsets of radius 3.5: centres 5 apart overlap, 7 apart touch.
    const std::vector<contour> pairs = {circle(12, 10, 2.5), circle(17, 10, 2.5), circle(28, 10, 2.5),
                                        circle(35, 10, 2.5)};
    struct row {
        int far_islands;
        int near_lanes = 0, far_lanes = 0;
    };
    std::vector<row> rows = {{0}, {18}};
    for (row& r : rows) {
        to_load_state();
        pocket_state_block.offsets_mode = -11;
        std::vector<contour> contours = {rectangle(0, 0, 200, 20)};
        contours.insert(contours.end(), pairs.begin(), pairs.end());
        for (int j = 0; j < r.far_islands; ++j) contours.push_back(circle(50.0 + 8.0 * j, 10, 2.5));
        load(contours, 1.0);
        ASSERT_EQ(run(), kEngineDone) << r.far_islands;
        for (int i = pocket_box_block.first_output_lane; i <= lane_table_block.count; ++i) {
            if (lane_table_block.level[i] <= kLevelIsland || lane_table_block.group[i] == kGroupConnection) continue;
            double x = 0.0, y = 0.0;
            lane_first_xy(i, x, y);
            ++(x < 45.0 ? r.near_lanes : r.far_lanes);
        }
    }
    // The overlapping pair is one lane; the touching pair meets at a single point and stays two.
    EXPECT_EQ(rows[0].near_lanes, 3);
    EXPECT_EQ(rows[1].near_lanes, rows[0].near_lanes);
    EXPECT_EQ(rows[1].far_lanes, 18);
}

// The driver's codes: each gives its one message (silent outside pocket mode 0 where marked) and
// the status the callers see.
TEST_F(PocketComputation, EngineCodesGiveTheirMessageAndStatus)
{
    struct row {
        const char* name;
        std::vector<contour> contours;
        double offset;
        int mode;  // cmtpk_clean mode: 0 the pocket procedure, 1 another caller
        int status;
        const char* channel;
        const char* text;  // nullptr: nothing on any user or error channel
    };
    // A contour of 3 points: there and back.
    const contour there_and_back{{0, 0}, {10, 0}, {0, 0}};
    const std::vector<row> rows = {
        {"degenerate outer contour",
         {there_and_back},
         1.0,
         0,
         -1,
         "eroutc",
         "[cmtpk1] DEGENRATED POCKET-CONTOUR CONTAINS 3 POINTS ONLY."},
        {"degenerate outer contour, other caller", {there_and_back}, 1.0, 1, -1, nullptr, nullptr},
        // With a negative offset the 3 points are a slot's centre line: its offset is the pocket.
        {"3-point outer contour with a negative offset", {there_and_back}, -1.0, 0, kEngineDone, nullptr, nullptr},
        {"outer contour inside an island",
         {rectangle(0, 0, 10, 10), circle(5, 5, 20)},
         1.0,
         0,
         kEngineNoLane,
         "userrc",
         "THE POCKET OUTER CONTOUR CONTAINED WITHIN THE ISLAND CONTOUR"},
        {"outer contour inside an island, other caller",
         {rectangle(0, 0, 10, 10), circle(5, 5, 20)},
         1.0,
         1,
         kEngineNoLane,
         nullptr,
         nullptr},
        {"pocket too small",
         {circle(1, 1, 0.8)},
         1.0,
         0,
         kEngineNoLane,
         "userrc",
         "WARNING: POCKET WAS TOO SMALL TO BE CALCULATED"},
        {"pocket too small, other caller", {circle(1, 1, 0.8)}, 1.0, 1, kEngineNoLane, nullptr, nullptr},
        // Its inward offset would be a smaller square of the same direction, crossing nothing.
        {"pocket narrower than twice the offset",
         {rectangle(0, 0, 1.5, 1.5)},
         1.0,
         0,
         kEngineNoLane,
         "userrc",
         "WARNING: POCKET WAS TOO SMALL TO BE CALCULATED"},
        // 25,000 passes until full: the lanes and their cut copies do not fit in the lane table.
        {"more lanes than the lane table holds",
         {rectangle(0, 0, 60000, 50000)},
         1.0,
         0,
         -1,
         "eroutc",
         "[cmtpk1] TOO MANY LOOPS"},
    };
    for (const row& r : rows) {
        to_load_state();
        vantu::control::clear_messages();
        load(r.contours, r.offset);
        EXPECT_EQ(run(r.mode), r.status) << r.name;
        std::vector<std::string> said;
        for (const char* channel : {"eroutc", "erou1c", "userrc"})
            for (const std::string& t : vantu::control::texts_of(channel)) said.push_back(channel + (" " + t));
        if (r.text == nullptr)
            EXPECT_TRUE(said.empty()) << r.name << ": " << (said.empty() ? "" : said.front());
        else
            EXPECT_EQ(said, std::vector<std::string>{std::string(r.channel) + " " + r.text}) << r.name;
    }
}

// A lane engine double: answers each code of `engine_answers` in turn (then 0) and records the
// main arrays' size it was given.
std::vector<int> engine_answers;
std::vector<int> engine_sizes;
void answering_engine(double, const double*, double, int&, int, int, double, double, int& status)
{
    engine_sizes.push_back(pokmain_block.main_capacity);
    status = engine_answers.empty() ? 0 : engine_answers.front();
    if (!engine_answers.empty()) engine_answers.erase(engine_answers.begin());
}

// The driver round the engine: status 8 runs it again with main arrays four times larger until
// POKCPY refuses its eleventh allocation; other codes give their one line on the error channel,
// but for lanes that leave the pocket uncut, which the lane loop has told.
TEST_F(PocketComputation, DriverRetriesLargerArraysAndReportsTheEnginesCodes)
{
    struct row {
        const char* name;
        std::vector<int> answers;
        int status;
        std::vector<int> sizes;  // the main arrays' size at each engine run
        const char* channel;     // nullptr: no line
        const char* line;
    };
    // A side step of 100 across a 10-wide pocket: the estimate is the floor, 4 entries per
    // contour entry (5), 20.
    const std::vector<row> rows = {
        {"arrays too small twice", {8, 8}, 0, {20, 80, 320}, nullptr, nullptr},
        {"arrays always too small",
         std::vector<int>(11, 8),
         -1,
         {20, 80, 320, 1280, 5120, 20480, 81920, 327680, 1310720, 5242880},
         "eroutc",
         "POKCPY, DYNAMIC MEMORY ERROR - TOO MANY REALLOCATIONS"},
        {"cannot link", {kEngineCannotLink}, -1, {20}, "eroutc", "[cmtpk1] CANNOT MOVE BETWEEN LOOPS"},
        {"unnamed code", {5}, -1, {20}, "erou1c", "[cmtpk1] CMTPKT ERROR 5"},
        // The lane loop has said which part of the pocket is left: no second line.
        {"lanes that leave the pocket uncut", {kEngineUncovered}, -1, {20}, nullptr, nullptr},
    };
    for (const row& r : rows) {
        to_load_state();
        vantu::control::clear_messages();
        load({rectangle(0, 0, 20, 10)}, 1.0);
        pocket_work_block.side_step = 100.0;
        engine_answers = r.answers;
        engine_sizes.clear();
        pocket_lane_engine() = answering_engine;
        const int status = run();
        pocket_lane_engine() = rrpock;
        EXPECT_EQ(status, r.status) << r.name;
        EXPECT_EQ(engine_sizes, r.sizes) << r.name;
        std::vector<std::string> said;
        for (const char* channel : {"eroutc", "erou1c", "userrc"})
            for (const std::string& t : vantu::control::lines_of(channel)) said.push_back(channel + (" " + t));
        const std::vector<std::string> expected = r.channel == nullptr
                                                      ? std::vector<std::string>{}
                                                      : std::vector<std::string>{std::string(r.channel) + " " + r.line};
        EXPECT_EQ(said, expected) << r.name;
    }
}

// The first size of the main arrays, in 64 bits: a fine step across a large pocket saturates at
// the arrays' limit instead of wrapping round.
TEST_F(PocketComputation, SizeEstimateSaturatesAtTheArraysLimit)
{
    struct row {
        const char* name;
        double pocket_size, side_step;
        int offsets_mode, contours, points;
        std::int64_t size;
    };
    const std::int64_t limit = pokmain_size_limit();
    const std::vector<row> rows = {
        {"12 entries per contour and step, up to a power of ten", 10.0, 1.0, 99, 2, 5, 1000},
        {"at least 4 entries per contour entry", 10.0, 100.0, 99, 2, 5, 20},
        {"fewer than the contour entries: 100 per entry", 10.0, 1.0, 99, 2, 2000, 200000},
        {"one offset: 10 per contour", 10.0, 0.001, 1, 3, 5, 30},
        {"beyond 32 bits", 1.0e5, 1.0e-3, 99, 2, 5, limit},
        {"far beyond 32 bits", 1.0e9, 1.0e-6, 99, 500, 5, limit},
    };
    for (const row& r : rows) {
        pocket_box_block = pocket_box{};
        pocket_frame_block.size = r.pocket_size;
        pocket_work_block.side_step = r.side_step;
        pocket_state_block.offsets_mode = r.offsets_mode;
        EXPECT_EQ(cmtpk1_size_estimate(r.contours, r.points), r.size) << r.name;
    }
}

// A pocket too small for a caller's minimum value: the host message with the level's Z, 41, or 50
// when the computation was asked for one offset; once per computation.
TEST_F(PocketComputation, TooSmallForTheMinimumValueShowsTheLevelsZ)
{
    for (const int offsets_mode : {99, 1}) {
        to_load_state();
        vantu::control::clear_messages();
        pocket_state_block.offsets_mode = offsets_mode;
        pocket_state_block.minimum_value = 0.5;
        pocket_state_block.current_z = -2.5;
        load({circle(1, 1, 0.8)}, 1.0);
        EXPECT_EQ(run(), kEngineNoLane) << offsets_mode;
        const std::string expected = offsets_mode == 1 ? "message 331/50 -2.5000" : "message 331/41 -2.5000";
        EXPECT_EQ(vantu::control::lines_of("msg_mdls"), std::vector<std::string>{expected}) << offsets_mode;
        EXPECT_TRUE(vantu::control::texts_of("userrc").empty()) << offsets_mode;
    }
}

// A ramp entry asks for the cleaning passes: single offsets, one widened by the clean offset, each
// leaving its region in the polygon buffers (the first pass's in buffer 5); then the final
// computation with every option the passes changed put back.
TEST_F(PocketComputation, CleaningPassesLeaveTheirRegionsAndGiveTheOptionsBack)
{
    int status = 0;
    polbuf_open_all(2, kPolbufStepWords, status);
    ASSERT_EQ(status, 0);
    pocket_state_block.ramp_flag = 1;
    pocket_state_block.working_tolerance = 0.5;  // the clean offset
    load({rectangle(0, 0, 40, 20), circle(10, 10, 3)}, 1.0);
    EXPECT_EQ(run(), kEngineDone);
    // The first pass's region: the outer contour's offset and the island's.
    EXPECT_EQ(polbuf_block.buffers[5].npol, 2);
    EXPECT_EQ(pocket_state_block.direction_sign, 1);
    EXPECT_EQ(pocket_state_block.offsets_mode, 99);
    EXPECT_EQ(pocket_state_block.multi_offset, 0);
    EXPECT_EQ(pocket_state_block.working_tolerance, 0.5);
    EXPECT_EQ(pocket_work_block.offsets[kOuterSlot], 1.0);
    EXPECT_EQ(pocket_work_block.offsets[kIslandSlotBase], 1.0);
    expect_cutting_order("after the cleaning passes");
    for (int k = 0; k < kPolbufCount; ++k)
        if (polbuf_block.buffers[k].handle != kPolbufNotInitialised) polbuf_release_pol(k, kPolbufClose, status);
    polbuf_block = polbuf_state{};
}

// An island left with too few points is dropped; the later islands keep their levels without a
// gap and the pocket is still cut.
TEST_F(PocketComputation, DegenerateIslandIsDroppedWithoutAGapInTheLevels)
{
    const contour sliver{{20, 5}, {21, 5}, {20, 5}};
    load({rectangle(0, 0, 40, 20), sliver, circle(30, 10, 3)}, 1.0);
    ASSERT_EQ(run(), kEngineDone);
    const lane_table& lt = lane_table_block;
    EXPECT_EQ(lt.island_count, 1);
    EXPECT_EQ(lt.level[2], kLevelIsland + 1);
    expect_cutting_order("dropped island");
}

// "Until full" offsets until the region is empty: past 9,999 passes and past lane 9,999 every
// live lane is cut once, as in a pocket of many islands.
TEST_F(PocketComputation, UntilFullCutsEveryLaneOfDeepAndManyIslandPockets)
{
    const unsigned seed = 20261208u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> jitter(-1.0, 1.0);
    pocket_shape islands{"24 islands", {rectangle(0, 0, 60, 30)}, polygon_of(rectangle(0, 0, 60, 30)), {}, 0.25};
    for (int k = 0; k < 24; ++k) {
        const double x = 5.0 + 7.0 * (k % 8) + jitter(rng), y = 7.5 + 7.5 * (k / 8) + jitter(rng);
        islands.contours.push_back(circle(x, y, 1.0));
        islands.round_islands.push_back({x, y, x, y, 1.0});
    }
    struct row {
        pocket_shape shape;
        int deepest_pass;
    };
    const std::vector<row> rows = {
        {{"12,000 passes", {rectangle(0, 0, 30000, 24000)}, polygon_of(rectangle(0, 0, 30000, 24000)), {}}, 11999},
        {islands, 1},
    };
    for (const row& r : rows) {
        const std::string name = std::string(r.shape.name) + " (seed " + std::to_string(seed) + ")";
        to_load_state();
        pocket_work_block.side_step = r.shape.step;
        load(r.shape.contours, r.shape.step);
        ASSERT_EQ(run(), kEngineDone) << name;
        int deepest = 0;
        for (int i = 1; i < pocket_box_block.first_output_lane; ++i)
            deepest = std::max(deepest, lane_table_block.status[i]);
        EXPECT_GE(deepest, r.deepest_pass) << name;
        expect_cutting_order(name);
        expect_inside_material(r.shape, r.shape.step);
        EXPECT_TRUE(errors().empty()) << name << ": " << (errors().empty() ? "" : errors().front());
    }
}

}  // namespace

namespace {

// A pocket for another caller: contours of float points, one offset each; the path comes back
// as point strings inside the material, and the pocket blocks as they were.
class PocketForCaller : public EngineTest {
protected:
    struct result {
        int status = -7, strings = 0;
        std::vector<int> counts = std::vector<int>(100, 0);
        std::vector<float> path = std::vector<float>(2 * 7000, 0.0f);
    };
    static result run_for_caller(const std::vector<std::vector<float>>& contours, float offset)
    {
        std::vector<int> point_counts;
        std::vector<float> points, offsets;
        for (const auto& c : contours) {
            point_counts.push_back(static_cast<int>(c.size() / 2));
            points.insert(points.end(), c.begin(), c.end());
            offsets.push_back(offset);
        }
        result r;
        r.strings = static_cast<int>(r.counts.size());
        pocket_run_for_caller(1, 0, 0.0f, 0.01f, static_cast<int>(contours.size()), point_counts.data(), points.data(),
                              offsets.data(), r.strings, r.counts.data(), r.path.data(), r.status);
        return r;
    }
};

const std::vector<float> kOuter{0, 0, 40, 0, 40, 20, 0, 20, 0, 0};
const std::vector<float> kIsland{15, 8, 15, 12, 25, 12, 25, 8, 15, 8};

TEST_F(PocketForCaller, PathStringsLieInsideTheMaterialAndTheBlocksComeBack)
{
    pocket_work_block.side_step = 3.25;
    pocket_state_block.offsets_mode = 99;
    const result r = run_for_caller({kOuter, kIsland}, 1.0f);
    ASSERT_EQ(r.status, 0);
    // One string round the outer contour, one round the island.
    ASSERT_EQ(r.strings, 2);
    int at = 0;
    for (int s = 0; s < r.strings; ++s) {
        EXPECT_GE(r.counts[s], 4);
        for (int k = 0; k < r.counts[s]; ++k, ++at) {
            const float x = r.path[2 * at], y = r.path[2 * at + 1];
            EXPECT_TRUE(x >= 1.0f - kSlack && x <= 39.0f + kSlack && y >= 1.0f - kSlack && y <= 19.0f + kSlack)
                << x << ", " << y;
            // At the offset from the island's rectangle [15, 25] x [8, 12] at least.
            const double dx = std::max({15.0 - x, 0.0, x - 25.0}), dy = std::max({8.0 - y, 0.0, y - 12.0});
            EXPECT_GE(std::hypot(dx, dy), 1.0 - kSlack) << x << ", " << y;
        }
    }
    EXPECT_EQ(pocket_work_block.side_step, 3.25);
    EXPECT_EQ(pocket_state_block.offsets_mode, 99);
    EXPECT_EQ(pokmain_block.main_capacity, 0) << "the main arrays are given back";
}

TEST_F(PocketForCaller, NoPocketGivesNoStringsAndOpenArraysAreRefused)
{
    const result none = run_for_caller({{0, 0, 1, 0, 1, 1, 0, 1, 0, 0}}, 1.0f);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.strings, 0);

    // A computed pocket keeps its main arrays open: another caller's run would rebuild them.
    load({rectangle(0, 0, 20, 10)}, 1.0);
    int status = -7;
    cmtpk_clean(0, status);
    ASSERT_EQ(status, 0);
    const int lanes = lane_table_block.count;
    const result refused = run_for_caller({kOuter}, 1.0f);
    EXPECT_EQ(refused.status, -1);
    EXPECT_EQ(refused.strings, 0);
    EXPECT_EQ(lane_table_block.count, lanes) << "the computed pocket is left as it was";
}

}  // namespace
