// Loop removal: worked examples (no crossing, a figure eight, a crossing on an arc, a line
// through an arc twice), the walk's next crossing, the hand-out protocol with its counts, a walk
// that cannot close, the 3-D path, and a seeded property over self-crossing raw offsets: when
// every call succeeds, no loop handed out crosses itself and the signed areas add up.
#include "kernel_geometry.hpp"

#include "pocket_arrays/delups.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr_measures.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace kg = kernel_geometry;

namespace {

constexpr unsigned kSeed = 20261207;

class Delups : public LaneTest {
protected:
    void SetUp() override
    {
        delups_block = delups_state{};
        LaneTest::SetUp();
        pocket_work_block.working_tolerance = 0.001;
        pocket_work_block.tolerance = 0.001;
        pocket_work_block.side_step = 1.0;
        pocket_work_block.corner_arcs = 1;
    }
    void TearDown() override
    {
        delups_clear();
        LaneTest::TearDown();
    }
};

int owned_blocks()
{
    int n = 0;
    for (int i = 0; i < pkdm_table_block.count; ++i) n += pkdm_table_block.entries[i].state == kPkdmOwned ? 1 : 0;
    return n;
}

double signed_area(pokarr& a)
{
    double area = 0.0;
    int direction = 0;
    a.direction = 0;
    pokarr_area_dir(a, area, direction);
    return area * direction;
}

// Every loop of one series: statuses of the calls, the loops' entries, the counts answered.
struct series {
    int first_status = 0, last_status = 0;
    std::vector<int> counts;
    std::vector<kg::loop> loops;
    double area = 0.0;
};

// The series of a handed out into `out`, which stays the caller's.
series run_series(pokarr& a, pokarr& out)
{
    series s;
    int count = 0, status = 0;
    DELUPS(a, out, count, status);
    s.first_status = s.last_status = status;
    s.counts.push_back(count);
    const int loops = count + 1;
    for (int k = 0; status == 0 && k < loops; ++k) {
        if (k > 0) {
            DELUPS(a, out, count, status);
            s.last_status = status;
            s.counts.push_back(count);
        }
        if (status != 0) break;
        s.loops.push_back(entries_of(out));
        s.area += signed_area(out);
    }
    delups_clear();
    return s;
}

series run_series(pokarr& a)
{
    pokarr out;
    pokarr_init(2, out);
    series s = run_series(a, out);
    pokarr_free(out);
    return s;
}

// A zigzag of `teeth` teeth out and a flatter one half a tooth apart back: every tooth crosses
// the way back, and every crossing makes a loop.
pokarr zigzag(int teeth)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (int k = 0; k <= teeth; ++k) {
        const double p[2] = {static_cast<double>(k), k % 2 == 0 ? -5.0 : 5.0};
        pokarr_add_pnt(p, a, status);
    }
    for (int k = teeth; k >= -1; --k) {
        const double p[2] = {k + 0.5, k % 2 == 0 ? 4.0 : -4.0};
        pokarr_add_pnt(p, a, status);
    }
    const double start[2] = {0.0, -5.0};
    pokarr_add_pnt(start, a, status);
    return a;
}

bool same_entries(const kg::loop& p, const kg::loop& q)
{
    return p.size() == q.size() &&
           std::equal(p.begin(), p.end(), q.begin(), [](const xy& u, const xy& v) { return u.x == v.x && u.y == v.y; });
}

// Crossings of a loop with itself inside both elements: a loop of the removal may pass one
// crossing on both of its sides (it meets itself at a vertex there), and two lines running along
// each other are a spike the raw offset's clean-up leaves (no area).
std::vector<kg::crossing> proper_crossings(const kg::loop& l)
{
    const std::vector<kg::element> elements = kg::elements_of(l);
    auto find = [&](int index) {
        for (const kg::element& e : elements)
            if (e.index == index) return e;
        return kg::element{};
    };
    auto at_end = [](const kg::element& e, const kg::crossing& c) {
        return std::hypot(c.x - e.s.x, c.y - e.s.y) < 1e-7 || std::hypot(c.x - e.e.x, c.y - e.e.y) < 1e-7;
    };
    // A vertex lying on another element (the tip of such a spike) touches it.
    auto along = [](const kg::element& p, const kg::element& q) {
        if (p.arc || q.arc) return false;
        const double ux = p.e.x - p.s.x, uy = p.e.y - p.s.y, vx = q.e.x - q.s.x, vy = q.e.y - q.s.y;
        return std::fabs(ux * vy - uy * vx) <= 1e-6 * std::hypot(ux, uy) * std::hypot(vx, vy);
    };
    std::vector<kg::crossing> out;
    for (const kg::crossing& c : kg::brute_force_crossings(l, l, true)) {
        const kg::element p = find(c.a), q = find(c.b);
        if (!at_end(p, c) && !at_end(q, c) && !along(p, q)) out.push_back(c);
    }
    return out;
}

bool closed(const kg::loop& l)
{
    return !l.empty() && std::hypot(l.front().x - l.back().x, l.front().y - l.back().y) < 1e-9;
}

}  // namespace

TEST_F(Delups, WorkedLoops)
{
    kg::loop arc_eight{{0, 0}, {10, 10}};
    // From (10, 10) down along a clockwise half circle to (10, 0), then across to (0, 10): the
    // line from (0, 0) to (10, 10) and the closing line cross at (5, 5); the arc stays clear.
    push_arc(arc_eight, 5.0, -1.0, 10.0, 5.0, 10.0, 0.0);
    arc_eight.push_back({0, 10});
    arc_eight.push_back({0, 0});
    // A line through an arc twice: the half circle over (5, 3) reaches above the line y = 6.
    kg::loop through{{0, 0}, {10, 0}, {10, 3}};
    push_arc(through, 5.0, 1.0, 5.0, 3.0, 0.0, 3.0);
    for (const xy& p : std::vector<xy>{{-2, 3}, {-2, 6}, {12, 6}, {12, -3}, {0, 0}}) through.push_back(p);
    struct row {
        const char* name;
        kg::loop entries;
        int loops;
    } rows[] = {
        {"square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, 1},
        {"figure eight", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}, 2},
        {"figure eight with an arc", arc_eight, 2},
        {"three crossings", {{0, 0}, {20, 0}, {20, 10}, {2, -5}, {18, -5}, {0, 10}, {0, 0}}, 2},
        {"line through an arc twice", through, 3},
    };
    for (const row& r : rows) {
        pokarr a = make_from(r.entries);
        const double want_area = signed_area(a);
        const series s = run_series(a);
        EXPECT_EQ(s.first_status, 0) << r.name;
        ASSERT_EQ(static_cast<int>(s.loops.size()), r.loops) << r.name;
        for (int c : s.counts) EXPECT_EQ(c, r.loops - 1) << r.name;  // every call answers the same
        EXPECT_NEAR(s.area, want_area, 1e-9 * std::fabs(want_area) + 1e-9) << r.name;
        for (const kg::loop& l : s.loops) {
            EXPECT_TRUE(closed(l)) << r.name;
            EXPECT_TRUE(proper_crossings(l).empty()) << r.name;
        }
        if (r.loops == 1) {
            EXPECT_EQ(s.loops[0].size(), r.entries.size()) << r.name;  // a copy
        }
        // Loop 0 holds the array's first entry; loop 1 starts at a crossing.
        EXPECT_DOUBLE_EQ(s.loops[0][0].x, r.entries[0].x) << r.name;
        pokarr_free(a);
    }
}

TEST_F(Delups, CrossingOnAnArcCutsTheArcRecord)
{
    // A half circle from (0, 0) over the top to (10, 0), then down through the arc and back:
    // the line from (5, -5) to (5, 10) crosses the arc at (5, 5).
    kg::loop l{{0, 0}};
    push_arc(l, 5.0, -1.0, 5.0, 0.0, 10.0, 0.0);
    l.push_back({5, -5});
    l.push_back({5, 10});
    l.push_back({0, 0});
    pokarr a = make_from(l);
    pokarr out;
    pokarr_init(2, out);
    int count = 0, status = 0;
    DELUPS(a, out, count, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(count, 1);
    // Loop 0: the arc from its start to the crossing, then the line on from the crossing.
    ASSERT_GE(out.count, 5);
    EXPECT_TRUE(pk_is_marker(out.x[1]));
    EXPECT_NEAR(out.x[4], 5.0, 1e-9);
    EXPECT_NEAR(out.y[4], 5.0, 1e-9);
    EXPECT_NEAR(out.x[2], 5.0, 1e-12);  // radius and centre kept
    DELUPS(a, out, count, status);
    ASSERT_EQ(status, 0);
    // Loop 1 starts at the crossing and leaves along the arc, which ends at its own end.
    EXPECT_NEAR(out.x[0], 5.0, 1e-9);
    EXPECT_NEAR(out.y[0], 5.0, 1e-9);
    EXPECT_TRUE(pk_is_marker(out.x[1]));
    EXPECT_NEAR(out.x[4], 10.0, 1e-9);
    for (int m = 0; m < delups_block.records; ++m) {
        EXPECT_LE(delups_block.u1[m], kDelupsFractionScale);
        EXPECT_LE(delups_block.u2[m], kDelupsFractionScale);
    }
    pokarr_free(out);
    pokarr_free(a);
}

TEST_F(Delups, NextCrossingAlongTheWalk)
{
    // Records: crossings on elements (2, 10) and (4, 8).
    const int ingo[] = {2, 4}, ingo1[] = {10, 8};
    const double u1[] = {0.5, 0.25}, u2[] = {0.5, 0.75};
    int used1[] = {0, 0}, used2[] = {0, 0};
    struct row {
        int k, e, record, side;
        int want_element, want_record, want_side;
    } rows[] = {
        {0, 10, 0, 0, -999, -1, 0},  // loop 0 past the last crossing: none
        {1, 2, 0, 1, 4, 1, 0},       // along element 2 the next is record 1 on its first element
        {1, 8, 1, 0, 10, 0, 1},      // from record 1 along 8: record 0 on its second element
        {0, 4, 1, 1, 8, 1, 1},       // along 4 past record 1 on its first: record 1 again at 8
    };
    for (const row& r : rows) {
        int element = 0, record = r.record, side = r.side;
        delups_next_cross(r.k, ingo, ingo1, 2, u1, u2, used2, used1, r.e, element, record, side);
        EXPECT_EQ(element, r.want_element) << r.k << " " << r.e;
        EXPECT_EQ(record, r.want_record) << r.k << " " << r.e;
        EXPECT_EQ(side, r.want_side) << r.k << " " << r.e;
    }
    // A record used on both sides is passed over.
    used1[1] = used2[1] = 1;
    int element = 0, record = 0, side = 1;
    delups_next_cross(1, ingo, ingo1, 2, u1, u2, used2, used1, 2, element, record, side);
    EXPECT_EQ(record, 0);
    EXPECT_EQ(element, 10);
}

TEST_F(Delups, NewSeriesGivesBackTheLoopsOfTheOldOne)
{
    pokarr a = make_from({{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}});
    pokarr out;
    pokarr_init(2, out);
    int count = 0, status = 0;
    DELUPS(a, out, count, status);
    const int after_first = owned_blocks();
    count = 0;  // a new series while loop 1 still waits
    DELUPS(a, out, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(owned_blocks(), after_first);
    delups_clear();
    pokarr_free(out);
    pokarr_free(a);
    EXPECT_EQ(owned_blocks(), 0);
    EXPECT_EQ(delups_block.result_count, 0);
}

TEST_F(Delups, ReentryIsReportedAndTheCallGoesOn)
{
    delups_block.state_word = 3;
    pokarr a = make_from({{0, 0}, {10, 0}, {10, 10}, {0, 0}});
    pokarr out;
    pokarr_init(2, out);
    int count = 0, status = 0;
    DELUPS(a, out, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.count, 4);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "[DELUPS] We shouldnt be meeting like this!");
    pokarr_free(out);
    pokarr_free(a);
}

TEST_F(Delups, SpaceLoopsAndOtherDimensions)
{
    pocket_state_block.pocket_dimension = 3;
    // A figure eight at height 1.
    pokarr a;
    pokarr_init(3, a);
    int status = 0;
    for (const xy& p : std::vector<xy>{{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}) {
        const double q[3] = {p.x, p.y, 1.0};
        pokarr_add_pnt(q, a, status);
    }
    pokarr out;
    pokarr_init(3, out);
    int count = 0;
    DELUPS(a, out, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(delups_block.state_word, 1);
    double total = signed_area(out);
    DELUPS(a, out, count, status);
    EXPECT_EQ(status, 0);
    total += signed_area(out);
    EXPECT_NEAR(std::fabs(total), 0.0, 1e-9);  // the two lobes of an eight turn opposite ways
    delups_clear();
    // A flat list has no points to walk: refused, with the message of the 3-D path.
    pokarr flat;
    pokarr_init(1, flat);
    for (double v : {0.0, 0.0, 10.0, 0.0, 10.0, 10.0}) pokarr_add_xyz(v, nullptr, nullptr, nullptr, flat, status);
    count = 0;
    DELUPS(flat, out, count, status);
    EXPECT_EQ(status, kDelupsSearchFailed);
    EXPECT_EQ(errors().back(), "[delups] ONLY 3D ARRAYS SUPPORTED BY DELUPS");
    pokarr_free(flat);
    pokarr_free(out);
    pokarr_free(a);
}

// A figure eight on the surface grid whose second crossing stretch stands `rise` above the first
// where they cross in plan: the walk in space meets the crossing only where the chords meet; asked
// to meet crossings in plan, it meets those whose heights there differ by the tolerance at most,
// and gives the switch of the searches back.
TEST_F(Delups, SurfaceLoopsMeetCrossingsInPlanWithinTheTolerance)
{
    pocket_state_block.pocket_dimension = 3;
    pocket_work_block.tolerance = 0.01;
    const struct {
        double rise;
        int in_plan;
        int loops;
    } rows[] = {
        {0.0, 0, 2}, {0.0, 1, 2}, {0.0006, 0, 1}, {0.0006, 1, 2}, {0.009, 1, 2}, {0.011, 1, 1}, {0.5, 1, 1},
    };
    for (const auto& r : rows) {
        pokarr a;
        pokarr_init(3, a);
        int status = 0;
        for (const std::array<double, 3>& p : std::vector<std::array<double, 3>>{
                 {0, 0, 1}, {10, 10, 1}, {10, 0, 1 + r.rise}, {0, 10, 1 + r.rise}, {0, 0, 1}})
            pokarr_add_pnt(p.data(), a, status);
        delups_block.crossings_in_plan = r.in_plan;
        const series s = run_series(a);
        delups_block.crossings_in_plan = 0;
        EXPECT_EQ(s.first_status, 0) << r.rise << " " << r.in_plan;
        EXPECT_EQ(static_cast<int>(s.loops.size()), r.loops) << r.rise << " " << r.in_plan;
        EXPECT_EQ(pokarr_search_lines_in_plane, 0) << r.rise << " " << r.in_plan;
        pokarr_free(a);
    }
}

TEST_F(Delups, RawOffsetsComeApartIntoSimpleLoops)
{
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int split = 0;
    for (int i = 0; i < 60; ++i) {
        const kg::kind k = i % 2 == 0 ? kg::kind::star : kg::kind::arc_edged;
        const kg::loop source = kg::make_loop(k, 10 + static_cast<int>(u(rng) * 60), rng);
        int status = 0;
        const kg::loop raw = kg::kernel_offset(source, 0.5 + 4.0 * u(rng), 0.001, status);
        ASSERT_EQ(status, 0);
        pokarr a = kg::array_of(raw);
        const series s = run_series(a);
        // The search nudges elements at self-contacts: the loops belong to the loop as it ends.
        const double want = signed_area(a);
        const std::string what = "seed " + std::to_string(kSeed) + " loop " + std::to_string(i);
        if (s.first_status != 0 || s.last_status != 0) {
            // A failed series leaves nothing behind.
            EXPECT_EQ(delups_block.result_count, 0) << what;
            pokarr_free(a);
            continue;
        }
        split += s.loops.size() > 1 ? 1 : 0;
        for (const kg::loop& l : s.loops) {
            EXPECT_TRUE(closed(l)) << what;
            EXPECT_TRUE(proper_crossings(l).empty()) << what;
        }
        EXPECT_NEAR(s.area, want, 1e-6 * std::fabs(want)) << what;
        pokarr_free(a);
    }
    EXPECT_GT(split, 20);
}

// A raw offset on a surface (x, y, z) of a lane running down a ridge, thinned out away from where
// it curls back and crosses an earlier stretch twice: one loop of the walk runs through both
// crossings twice, and the loop walked between the two passes of a crossing comes apart from it.
const std::vector<std::array<double, 3>> kCurlingOffset = {
    {8.005958604, 5.913310510, 22.800044534},   {8.502570315, 5.709752295, 22.337750432},
    {8.563470211, 5.699582936, 22.330819373},   {8.659221163, 5.682454065, 22.316093612},
    {8.829691000, 5.648383716, 22.277870282},   {8.893111826, 5.632707952, 22.253573358},
    {9.199001343, 5.557248517, 22.136349871},   {9.338708878, 5.494794011, 21.988872913},
    {10.026853101, 5.187110901, 21.263677147},  {10.062874166, 5.171064978, 21.225707724},
    {10.059563718, 4.506918432, 18.986611784},  {10.077055302, 4.492589911, 18.946150793},
    {10.076784426, 4.449035353, 18.799287437},  {10.075152095, 4.187110901, 17.915659087},
    {10.075084327, 4.175673807, 17.876973208},  {10.075010625, 4.165210851, 17.841577098},
    {9.876135550, 3.657226502, 16.035502240},   {9.869490815, 3.656328963, 16.029489344},
    {9.814360223, 3.648902055, 15.979592641},   {10.197167693, 3.309393956, 15.003807411},
    {10.013180594, 3.187110901, 14.507658461},  {9.661860196, 2.953982842, 13.560005135},
    {9.578094733, 2.947725046, 13.501150717},   {9.338708878, 2.929899400, 13.332933179},
    {8.972056874, 2.902573990, 13.075471875},   {8.614663286, 2.915059143, 12.957065736},
    {8.610429382, 2.915390396, 12.956284266},   {8.634079111, 3.590707761, 15.252611640},
    {8.553476853, 4.027162802, 16.692445992},   {8.649475236, 4.010006263, 16.677500677},
    {8.820219940, 3.975921851, 16.638850371},   {9.189108580, 3.884913714, 16.496620234},
    {9.338708878, 3.818390604, 16.338810220},   {10.003011462, 3.522808316, 15.638079494},
    {10.048674099, 3.502493009, 15.589891295},  {10.048568286, 3.477251493, 15.504531687},
    {10.047363681, 3.187110901, 14.523025228},  {10.047332493, 3.179952240, 14.498761294},
    {10.047063843, 3.109382397, 14.259585663},  {10.268648067, 3.109508596, 14.359624800},
    {10.337988196, 3.109548744, 14.390932170},  {10.338708878, 3.109549159, 14.391257552},
    {10.416242972, 3.109576806, 14.426264532},  {39.338708878, 3.348077578, 28.126148087},
    {42.338708878, 15.971795211, 20.590570191}, {31.282340037, 22.117564483, 4.753249871},
    {10.398355808, 24.150667155, 7.270136592},  {8.745270955, 20.363833708, 20.826226818},
    {8.935025351, 10.590794427, 38.281323671},  {9.749003468, 5.776816310, 23.118660007},
    {9.477403892, 5.589692156, 22.369320193},   {9.338708878, 5.588280060, 22.302621091},
    {9.063694360, 5.585463690, 22.170873207},   {9.338708878, 5.363579597, 21.548504706},
    {9.377143607, 5.332546670, 21.461525370},   {9.338708878, 5.313729367, 21.381202536},
    {9.253739781, 5.272079997, 21.203638436},   {9.080088046, 5.187110901, 20.840657598},
    {8.621745919, 4.962710660, 19.879373186},   {8.564831713, 4.960988065, 19.848126519},
    {8.671844018, 5.291809171, 21.009794712},   {8.005958604, 5.913310510, 22.800044534}};

// The same thinned out further, until the curl is a zigzag that touches itself: walked through a
// crossing twice it would give loops over the same stretch twice; the walk fails instead.
const std::vector<std::array<double, 3>> kTouchingOffset = {
    {8.005958604, 5.913310510, 22.800044534},   {9.876135550, 3.657226502, 16.035502240},
    {9.869490815, 3.656328963, 16.029489344},   {9.814360223, 3.648902055, 15.979592641},
    {10.197167693, 3.309393956, 15.003807411},  {10.013180594, 3.187110901, 14.507658461},
    {10.003011462, 3.522808316, 15.638079494},  {10.048674099, 3.502493009, 15.589891295},
    {10.048568286, 3.477251493, 15.504531687},  {10.047363681, 3.187110901, 14.523025228},
    {10.047332493, 3.179952240, 14.498761294},  {10.047063843, 3.109382397, 14.259585663},
    {10.268648067, 3.109508596, 14.359624800},  {39.338708878, 3.348077578, 28.126148087},
    {42.338708878, 15.971795211, 20.590570191}, {31.282340037, 22.117564483, 4.753249871},
    {10.398355808, 24.150667155, 7.270136592},  {8.745270955, 20.363833708, 20.826226818},
    {8.935025351, 10.590794427, 38.281323671},  {8.005958604, 5.913310510, 22.800044534}};

TEST_F(Delups, SpaceOffsetsThroughACrossingTwice)
{
    pocket_state_block.pocket_dimension = 3;
    const struct {
        const char* name;
        const std::vector<std::array<double, 3>>& points;
        int status;
        std::size_t loops;
    } rows[] = {
        {"curling", kCurlingOffset, 0, 3},
        {"touching", kTouchingOffset, kDelupsWalkFailed, 0},
    };
    for (const auto& r : rows) {
        pokarr a;
        pokarr_init(3, a);
        int status = 0;
        for (const auto& p : r.points) pokarr_add_pnt(p.data(), a, status);
        const double whole = signed_area(a);
        const series s = run_series(a);
        EXPECT_EQ(s.first_status, r.status) << r.name;
        EXPECT_EQ(s.last_status, r.status) << r.name;
        EXPECT_EQ(s.loops.size(), r.loops) << r.name;
        if (r.status != 0) {
            EXPECT_EQ(delups_block.result_count, 0) << r.name;
        } else {
            for (const kg::loop& l : s.loops) {
                EXPECT_TRUE(closed(l)) << r.name;
                EXPECT_TRUE(proper_crossings(l).empty()) << r.name;
            }
            EXPECT_NEAR(s.area, whole, 1e-9 * std::fabs(whole)) << r.name;
        }
        pokarr_free(a);
    }
}

// A figure eight in space whose crossing is a vertex of the stretch met first, of the stretch met
// second, or of both: whichever element a walk meets it on (the one ending there or the one
// leaving it), the crossing is one, and the eight comes apart into its two lobes, closed, simple,
// their signed areas adding up to the eight's. Taken for two crossings, it gave a third loop
// running on to the eight's end and closed by a chord straight back to the crossing.
TEST_F(Delups, SpaceCrossingAtAVertexIsOneCrossing)
{
    pocket_state_block.pocket_dimension = 3;
    const struct {
        const char* name;
        std::vector<xy> points;
    } rows[] = {
        {"inside both", {{0, 0}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}},
        {"vertex of the first", {{0, 0}, {5, 5}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}},
        {"vertex of the second", {{0, 0}, {10, 10}, {10, 0}, {5, 5}, {0, 10}, {0, 0}}},
        {"vertex of both", {{0, 0}, {5, 5}, {10, 10}, {10, 0}, {5, 5}, {0, 10}, {0, 0}}},
        {"after repeated points", {{0, 0}, {5, 5}, {5, 5}, {10, 10}, {10, 0}, {0, 10}, {0, 0}}},
        {"started elsewhere", {{2, 2}, {5, 5}, {10, 10}, {10, 0}, {0, 10}, {0, 0}, {2, 2}}},
    };
    for (const auto& r : rows) {
        pokarr a;
        pokarr_init(3, a);
        int status = 0;
        // On a sloping plane: the heights of the two stretches agree at the crossing.
        for (const xy& p : r.points) {
            const double q[3] = {p.x, p.y, 1.0 + 0.1 * p.x};
            pokarr_add_pnt(q, a, status);
        }
        const double whole = signed_area(a);
        const series s = run_series(a);
        EXPECT_EQ(s.first_status, 0) << r.name;
        EXPECT_EQ(s.loops.size(), 2u) << r.name;
        for (const kg::loop& l : s.loops) {
            EXPECT_TRUE(closed(l)) << r.name;
            EXPECT_TRUE(proper_crossings(l).empty()) << r.name;
        }
        EXPECT_NEAR(s.area, whole, 1e-9) << r.name;
        pokarr_free(a);
    }
}

TEST_F(Delups, CrossingsBeyondTheFixedRowsGrowTheTable)
{
    // A zigzag of 8,000 teeth: more crossings than the table's fixed rows (once the limit that
    // failed the search). The loops' signed areas add up to the whole one's, and the end of the
    // series gives the table's host array back.
    constexpr int kTeeth = 8000;
    pokarr a = zigzag(kTeeth);
    const double whole = signed_area(a);
    const series s = run_series(a);
    EXPECT_EQ(s.first_status, 0);
    EXPECT_EQ(s.last_status, 0);
    EXPECT_GT(s.counts.front(), kDelupsTableSize);
    EXPECT_EQ(s.loops.size(), static_cast<std::size_t>(s.counts.front() + 1));
    for (const kg::loop& l : s.loops) EXPECT_TRUE(closed(l));
    EXPECT_NEAR(s.area, whole, 1e-9 * kTeeth);
    EXPECT_EQ(delups_block.spill, -1);
    EXPECT_EQ(delups_block.capacity, kDelupsTableSize);
    pokarr_free(a);
}

TEST_F(Delups, WalkThatCannotCloseFreesEverything)
{
    // A figure eight crossing itself at its own first point: the search nudges the crossing off
    // the vertex and meets it from both elements there, once at the end of the last element (its
    // fraction 0.9999) and once at the start of the first. The walk cannot close its second
    // loop: status 2, the result empty, count -1, every loop given back.
    pokarr a = make_from({{5, 5}, {10, 10}, {10, 0}, {0, 10}, {0, 0}, {5, 5}});
    const int before = owned_blocks();
    pokarr out;
    pokarr_init(2, out);
    int count = 0, status = 0;
    DELUPS(a, out, count, status);
    EXPECT_EQ(status, kDelupsWalkFailed);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(out.count, 0);
    EXPECT_EQ(delups_block.result_count, 0);
    ASSERT_EQ(delups_block.records, 2);
    EXPECT_EQ(delups_block.u2[1], kDelupsFractionScale);
    EXPECT_EQ(delups_block.u1[0], 0.0);
    pokarr_free(out);
    EXPECT_EQ(owned_blocks(), before);
    pokarr_free(a);
}

TEST_F(Delups, EveryKindOfArrayBTakesTheSameLoops)
{
    // B as a caller may hand it: empty, a pool array with room or with too little, one of another
    // dimension, a view into another array, a static array with room or without. Each takes the
    // loops of the series entry for entry as an empty B does, as a planar pool array (a static B
    // stays static); a static B too small for the first loop fails the series.
    pokarr a = zigzag(40);
    const series want = run_series(a);
    ASSERT_EQ(want.first_status, 0);
    ASSERT_GT(want.loops.size(), 20U);
    pokarr other = make_2d({{0, 0}, {1, 0}, {1, 1}, {0, 0}});
    double room[2][200];
    struct row {
        const char* name;
        int dimension, reserve;  // reserve > 0: a pool array with that room; -1 a child; -2, -3 static
        int static_room;
        int status;
    };
    const row rows[] = {{"empty", 2, 0, 0, 0},
                        {"room", 2, 500, 0, 0},
                        {"too little", 2, 1, 0, 0},
                        {"space array", 3, 0, 0, 0},
                        {"flat array", 1, 4, 0, 0},
                        {"child", 2, -1, 0, 0},
                        {"static with room", 2, -2, 200, 0},
                        {"static too small", 2, -2, 2, kDelupsArrayFailed}};
    for (const row& r : rows) {
        pokarr out;
        int status = 0;
        pokarr_init(r.dimension, out);
        if (r.reserve > 0) pokarr_init_dyn(r.dimension, r.reserve, out, status);
        if (r.reserve == -1) pokarr_child(other, 1, 2, out);
        if (r.reserve == -2) pokarr_init_static(2, room[0], room[1], nullptr, nullptr, 0, r.static_room, out, status);
        ASSERT_EQ(status, 0) << r.name;
        const series got = run_series(a, out);
        EXPECT_EQ(got.first_status, r.status) << r.name;
        EXPECT_EQ(delups_block.result_count, 0) << r.name;
        if (r.status == 0) {
            EXPECT_EQ(got.counts, want.counts) << r.name;
            ASSERT_EQ(got.loops.size(), want.loops.size()) << r.name;
            for (std::size_t k = 0; k < want.loops.size(); ++k)
                EXPECT_TRUE(same_entries(got.loops[k], want.loops[k])) << r.name << " loop " << k;
            EXPECT_EQ(out.dimension, 2) << r.name;
            EXPECT_EQ(out.kind == kPokarrStatic, r.reserve == -2) << r.name;
            EXPECT_NE(out.kind, kPokarrChild) << r.name;
        }
        pokarr_free(out);
    }
    pokarr_free(other);
    pokarr_free(a);
}
