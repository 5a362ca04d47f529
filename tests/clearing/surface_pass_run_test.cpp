// The surface pass engine: segments to strings and their writing (codes, feed, lifts, links), the
// method table, the backup, the words given back, the linkers' hand-over under the surface
// clearing. The surfaces are a scripted line-net: one string along every move, at height 0.
#include "clearing_support.hpp"

#include "clearing/hatch/pass_linking.hpp"
#include "clearing/surface_passes/deferred_strings.hpp"
#include "clearing/surface_passes/link_arrays.hpp"
#include "clearing/surface_passes/pass_output.hpp"
#include "clearing/surface_passes/string_methods.hpp"
#include "clearing/surface_passes/surface_pass_run.hpp"
#include "clearing/surface_services/backup_seams.hpp"
#include "clearing/surface_services/surface_pass_state.hpp"
#include "cutter/touch_point_flags.hpp"
#include "driver/seam_fills.hpp"
#include "nc_services/clear_mode.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/mill_services.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket/polbuf.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/surface_query_seams.hpp"
#include "toolpath/updown_buffers.hpp"

#include <string>

using namespace clearing_test;

namespace {

struct written {
    int lift, count, pass_number, feed;
    std::array<int, 3> codes;
    point3 first;
};
std::vector<written> writes;
std::vector<std::array<float, 2>> net_starts;
bool net_disturbs = false;  // the line-net leaves the words the loop must give back changed

void record_write(const surface_strings_call& c, int& status)
{
    int count = 0;
    for (int s = 0; s < c.string_count; ++s) count += c.counts[s];
    writes.push_back({c.lift_flag, count, c.pass_number, c.feed_mode, c.motion_codes, c.points[0]});
    DSP8().set_vec(tool_position_state::kPosition, c.points[count - 1]);
    status = 0;
}

// One string of three points from start to end at height 0.
void scripted_net(int, int, const float* start, const float* end, float, float, float, int, float* points,
                  float* normals, float*, int& string_count, int, int* point_counts, int& total, int& status)
{
    net_starts.push_back({start[0], start[1]});
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k) {
            points[3 * i + k] = k == 2 ? 0.0f : start[k] + 0.5f * i * (end[k] - start[k]);
            normals[3 * i + k] = k == 2 ? 1.0f : 0.0f;
        }
    string_count = 1;
    point_counts[0] = total = 3;
    status = 0;
    if (!net_disturbs) return;
    machining_type() = 99;
    touch_point_flag_set(kTouchPointTemporary, 0);
    connect_params_block().approach_distance = 0.0f;
    srf_state_2_to_4(status);
}

struct node {
    float flag, x, y;
};

class SurfacePassRun : public ClearingTest {
protected:
    void SetUp() override
    {
        release();
        ClearingTest::SetUp();
        proc_geometry_reset();
        curve_approx_words& w = proc_geometry().curve_approx;
        w.tolerance = w.link_tolerance = 0.01f;
        w.side_step = 1.0f, w.method = 2, w.upper_z = 10.0f, w.band_depth = 20.0f;
        surface_pass = surface_pass_state{};
        surface_query_table().linnet_touch_point = scripted_net;
        surface_pass_output_table().write = record_write;
        mill_service_table().tool_get_mill_diameter = [](int, float& d) { d = 2.0f; };
        DSP8().set_vec(tool_position_state::kPosition, {100.0f, 100.0f, 50.0f});
        writes.clear(), net_starts.clear(), net_disturbs = false;
    }
    void TearDown() override
    {
        release();
        surface_pass_output_table().write = surface_strings_write;
        mill_service_table() = saved_mill;
        fill_surface_backup_services(surface_backup_service_table());
        vantu::control::set_flag("nc_sub_code", 0);
        UPW2() = service_words{};
        ClearingTest::TearDown();
    }
    static void release()
    {
        int status = 0;
        deferred_strings_flush(0, status), link_arrays_close();
    }
    // Runs the chain of the nodes; the run's result.
    static int run(const std::vector<node>& nodes, int& pass_number)
    {
        std::vector<clearing_point> chain(nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i)
            chain[i] = {nodes[i].flag, nodes[i].x, nodes[i].y, i + 1 < nodes.size() ? &chain[i + 1] : nullptr};
        return surface_pass_run(chain.empty() ? nullptr : chain.data(), pass_number);
    }
    const mill_services saved_mill = mill_service_table();
};

}  // namespace

// Segments of a chain: too short ones are passed over (the next starts from the same point), a
// point ending a jump is not cut and the next cut lifts first, linked passes cut their last
// segment only (all of them under the wire functions), and the codes and feed follow the segment.
TEST_F(SurfacePassRun, SegmentsBecomeStringsWithTheirCodesFeedAndLifts)
{
    constexpr std::array<int, 3> last = kLastMotionCodes, inner = kInnerMotionCodes;
    struct row {
        const char* name;
        std::vector<node> chain;
        int linking, code;
        std::vector<std::array<float, 2>> net_starts;
        std::vector<written> writes;  // first point and count not compared
        int passes;
        int held_back = 0;  // points of held-back segments written at the pass's end
    } rows[] = {
        {"no chain", {}, 0, 0, {}, {}, 0},
        {"one point", {{-1, 0, 0}}, 0, 0, {}, {}, 0},
        {"short segment passed over",
         {{-1, 0, 0}, {1, 0.01f, 0}, {1, 5, 0}},
         0,
         0,
         {{0, 0}},
         {{1, 0, 1, kBaseFeed, last, {}}},
         1},
        {"inner then last",
         {{-1, 0, 0}, {1, 5, 0}, {1, 5, 3}},
         0,
         0,
         {{0, 0}, {5, 0}},
         {{1, 0, 1, kPercentFeed, inner, {}}, {0, 0, 2, kBaseFeed, last, {}}},
         2},
        {"jump not cut, next lifts",
         {{-1, 0, 0}, {1, 5, 0}, {-1, 5, 3}, {1, 0, 3}},
         0,
         0,
         {{0, 0}, {0, 3}},
         {{1, 0, 1, kPercentFeed, inner, {}}, {1, 0, 2, kBaseFeed, last, {}}},
         2},
        {"linked passes: last segment only",
         {{-1, 0, 0}, {1, 5, 0}, {1, 5, 3}},
         1,
         0,
         {{5, 0}},
         {{1, 0, 1, kBaseFeed, last, {}}},
         1},
        {"linked under function 34: every segment",
         {{-1, 0, 0}, {1, 5, 0}, {1, 5, 3}},
         1,
         34,
         {{0, 0}, {5, 0}},
         {{0, 0, 2, kBaseFeed, last, {}}},
         2,
         3},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        proc_geometry().curve_approx.linking = r.linking;
        vantu::control::set_flag("nc_sub_code", r.code);
        updown().mode = 2;  // what goes round the recorder is buffered
        point3 kept_point{7, 8, 9}, kept_dir{0, 1, 0};
        int kept_count = 42;
        last_move_set(&kept_point, &kept_dir, &kept_count);
        int pass_number = 0;
        EXPECT_EQ(run(r.chain, pass_number), 0) << (errors().empty() ? "" : errors().back());
        EXPECT_EQ(pass_number, r.passes);
        EXPECT_EQ(updown().count, r.held_back);
        EXPECT_EQ(net_starts, r.net_starts);
        ASSERT_EQ(writes.size(), r.writes.size());
        const auto key = [](const written& w) { return std::tuple(w.lift, w.pass_number, w.feed, w.codes); };
        for (std::size_t i = 0; i < writes.size(); ++i) EXPECT_EQ(key(writes[i]), key(r.writes[i])) << i;
        // The last move is the last point written, or as it was when nothing was written.
        point3 point{}, dir{};
        int count = 0;
        last_move_get(point, dir, count);
        const node end = r.chain.empty() ? node{} : r.chain.back();
        EXPECT_EQ(point, (r.writes.empty() ? kept_point : point3{end.x, end.y, 0.0f}));
        EXPECT_EQ(count, r.writes.empty() ? kept_count : 3);
        EXPECT_EQ(surface_pass.point_array, -1);
    }
}

// A chain going on from where the last one stopped (its first point no pass start) joins it along
// the surface (the link's inner points go in front of the strings) when the move stays inside the
// region of the polygon buffer; without a region it lifts.
TEST_F(SurfacePassRun, TheNextPassJoinsAlongTheSurfaceInsideTheRegionOnly)
{
    struct row {
        bool region;
        int lift, count;
        point3 first;
    } rows[] = {{true, 0, 4, {5, 0.5f, 0}}, {false, 1, 3, {5, 1, 0}}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.region);
        SetUp();
        int status = 0;
        if (r.region) {
            polbuf_open_all(2, kPolbufStepWords, status);
            const float xs[5] = {-10, 20, 20, -10, -10}, ys[5] = {-10, -10, 20, 20, -10};
            polbuf_set_np(1, 5, status);
            for (int i = 0; i < 5; ++i) polbuf_set_point(1, i + 1, xs[i], ys[i], status);
            polbuf_set_npol(1, status);
            polbuf_set_pair(1.0f, 0.0f, status);
        }
        int pass_number = 0;
        ASSERT_EQ(run({{-1, 0, 0}, {1, 5, 0}}, pass_number), 0);
        ASSERT_EQ(run({{1, 5, 1}, {1, 0, 1}}, pass_number), 0);
        polbuf_release_all(kPolbufClose, status), polbuf_block = polbuf_state{};
        ASSERT_EQ(writes.size(), 2u);
        EXPECT_EQ(writes[1].lift, r.lift);
        EXPECT_EQ(writes[1].count, r.count);
        EXPECT_EQ(writes[1].first, r.first);
    }
}

// Every row of the method table, the first that applies winning.
TEST(SurfaceStringMethods, TheFirstRowThatAppliesChoosesTheStrings)
{
    struct row {
        int method, surface_option, output_option, grid_kind, grid_only, grid_switch;
        string_method chosen;
    } rows[] = {
        {1, 4, 0, 1, 1, 1, string_method::line_strings}, {2, 0, 0, 0, 0, 0, string_method::touch},
        {0, 0, 0, 3, 1, 0, string_method::touch},        {0, 4, 3, 1, 1, 0, string_method::touch},
        {2, 0, 0, 0, 0, 1, string_method::grid},         {5, 4, 0, 1, 0, 0, string_method::dummy_grid},
        {0, 4, 0, 2, 1, 1, string_method::dummy_grid},   {5, 4, 0, 3, 0, 0, string_method::grid_kinds},
        {5, 0, 0, 1, 0, 0, string_method::band},         {3, 4, 0, 1, 0, 1, string_method::band},
        {0, 0, 0, 0, 0, 0, string_method::none},
    };
    for (const row& r : rows) {
        curve_approx_words w;
        w.method = r.method, w.surface_option = r.surface_option, w.output_option = r.output_option;
        w.grid_kind = r.grid_kind;
        EXPECT_EQ(string_method_for(w, {r.grid_only, r.grid_switch}), r.chosen)
            << "method " << r.method << " option " << r.surface_option << " grid-only " << r.grid_only;
    }
}

// However the run ends, the machining type, the touch-point flag, the projection switch and the
// approach distance are what they were, and the pass point array is closed.
TEST_F(SurfacePassRun, EveryWayOutGivesTheWordsBack)
{
    struct row {
        const char* name;
        int method, surface_option, grid_kind, result;
        const char* error;
    } rows[] = {
        {"strings written", 2, 0, 0, 0, nullptr},
        {"grid-line kind", 5, 4, 1, -1, "ZLINT3, THIS IS A DUMMY ROUTINE"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        curve_approx_words& w = proc_geometry().curve_approx;
        w.method = r.method, w.surface_option = r.surface_option, w.grid_kind = r.grid_kind;
        net_disturbs = true;
        machining_type() = kSurfaceClearing, connect_params_block().approach_distance = 2.5f;
        touch_point_flag_set(kTouchPointTemporary, 1);
        const int projection = srf_projection_on();
        int pass_number = 0;
        EXPECT_EQ(run({{-1, 0, 0}, {1, 5, 0}}, pass_number), r.result);
        EXPECT_EQ(machining_type(), kSurfaceClearing);
        EXPECT_EQ(touch_point_flag_get(kTouchPointTemporary), 1);
        EXPECT_EQ(srf_projection_on(), projection);
        EXPECT_EQ(connect_params_block().approach_distance, 2.5f);
        EXPECT_EQ(surface_pass.point_array, -1);
        EXPECT_EQ(errors(), r.error != nullptr ? std::vector<std::string>{r.error} : std::vector<std::string>{});
    }
}

// The backup runs at the set-up of every interval-th call only, with the switch on and a positive
// interval.
TEST_F(SurfacePassRun, BackupStartsAtTheSetUpOfEveryIntervalthCall)
{
    struct row {
        int mode, interval;
        std::vector<int> backups;  // the calls (from 1) that backed up
    } rows[] = {{2, 3, {3, 6}}, {1, 3, {}}, {2, 0, {}}, {2, -2, {}}};
    surface_backup_service_table().save_nc_state = [](int& status) { status = 0; };
    for (const row& r : rows) {
        SCOPED_TRACE(r.mode * 100 + r.interval);
        surface_pass = surface_pass_state{};
        UPW2().at(0) = r.mode, UPW2().at(1) = r.interval;
        std::vector<int> backups;
        for (int call = 1; call <= 7; ++call) {
            vantu::control::clear_messages();
            int pass_number = 0;
            run({{-1, 0, 0}}, pass_number);
            for (const auto& m : vantu::control::messages())
                if (m.line.find(" PASSES COMPLETED. BACKUP STARTING") != std::string::npos) backups.push_back(call);
        }
        EXPECT_EQ(backups, r.backups);
    }
}

// Under the surface clearing both linkers hand every pass of the point list to the engine once;
// the pass linker warns once when neighbouring passes stand farther apart than the tool (2).
TEST_F(SurfacePassRun, LinkersHandEveryPassOverOnce)
{
    struct row {
        const char* name;
        int linking;
        float side_step;
        int warnings;
    } rows[] = {
        {"pass linking", 1, 1.0f, 0}, {"pass linking, lines apart", 1, 3.0f, 1}, {"region linking", 2, 1.0f, 0}};
    const std::vector<polygon> region = {rectangle(0, 0, 40, 25), circle(20, 12, 5)};
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        machining_type() = kSurfaceClearing;
        engine_params e;
        e.linking = r.linking, e.side_step = r.side_step;
        ASSERT_EQ(run_engine(region, e), 0);
        int starts = 0;
        for (const auto& p : clearing_points()) starts += p.code == kPassStart ? 1 : 0;
        EXPECT_GT(starts, 1);
        EXPECT_EQ(surface_pass.pass_counter, starts);
        EXPECT_FALSE(writes.empty());
        EXPECT_EQ(vantu::control::texts_of("userrc").size(), static_cast<std::size_t>(r.warnings));
        int status = 0;
        clrcls(1, status);
    }
}

// Two hatch ends lie on different lines by their ordinates, or under the surface clearing with
// the clearing mode 3 by their angles from the origin.
TEST(SurfaceHatchEnds, OtherLinesByOrdinateOrByAngle)
{
    struct row {
        int machining, mode;
        float ax, ay, bx, by;
        bool other;
    } rows[] = {
        {1, 3, 1, 1, 2, 2, true},   {11, 0, 1, 1, 2, 2, true},    {11, 0, 1, 1, 2, 1, false},
        {11, 3, 1, 1, 2, 2, false}, {11, 3, 1, 1, -1, -1, false}, {11, 3, 1, 1, 2, 1, true},
        {11, 3, 1, 0, -1, 0, true}, {11, 3, 0, 1, 0, -1, true},   {11, 3, 0, 2, 0, 1, false},
    };
    for (const row& r : rows) {
        machining_type() = r.machining;
        clear_mode() = r.mode;
        hatch_end a{}, b{};
        a.x = r.ax, a.y = r.ay, b.x = r.bx, b.y = r.by;
        EXPECT_EQ(ends_on_other_lines(a, b), r.other)
            << r.machining << "/" << r.mode << " (" << r.ax << ", " << r.ay << ") (" << r.bx << ", " << r.by << ")";
    }
    machining_type() = 0, clear_mode() = 0;
}
