// Clearance tests of a segment against lane elements: an element or group judged clear must give
// the element-pair search of the segment (as the segment crossings run it) no crossing, however
// near the tolerance the segment passes.
#include "lane_test_support.hpp"

#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_lanes/moves/segment_clearance.hpp"

#include <memory>

namespace {

// Whether the search of the segment a..b over the entries finds a crossing (the call of
// seg_lane_hits: a foreign line, no directions, whole array, every group).
bool search_crosses(const double* a, const double* b, const std::vector<xy>& e)
{
    std::vector<double> x, y;
    for (const xy& p : e) x.push_back(p.x), y.push_back(p.y);
    const int count = static_cast<int>(x.size());
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(count, x.data(), y.data(), *table);
    const double absent[2] = {kDirectionAbsent, 0.0};
    const int closing = count - 4 >= 1 && pk_is_marker(x[count - 4]) ? count - 4 : count - 1;
    int element = 0, group = 0, found = kSearchNone;
    double qx = x[0], qy = y[0];
    elem_pair_intersect(0, -1, 1, 0, 0.0, 0.0, 0.0, 0.0, a[0], a[1], b[0], b[1], absent, nullptr, nullptr, x.data(),
                        y.data(), count, closing, 1, qx, qy, *table, element, group, qx, qy, found);
    return found != kSearchNone;
}

// The entries of element k alone: its start and its record.
std::vector<xy> element_alone(const std::vector<xy>& e, int k)
{
    const int last = e[static_cast<std::size_t>(k)].x > 1.0e20 ? k + 3 : k;
    return {e.begin() + (k - 1), e.begin() + last + 1};
}

bool all_groups_clear(const clearance_segment& s, const std::vector<xy>& e)
{
    std::vector<double> x, y;
    for (const xy& p : e) x.push_back(p.x), y.push_back(p.y);
    const int count = static_cast<int>(x.size());
    auto table = std::make_unique<pk_box_table>();
    pokarr_boxes(count, x.data(), y.data(), *table);
    for (int g = 1; g <= table->groups; ++g)
        if (!group_clear(s, x.data(), y.data(), count, *table, g)) return false;
    return true;
}

}  // namespace

TEST_F(LaneTest, ClearElementsAndGroupsHoldNoCrossingNearTheTolerance)
{
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int clear_elements = 0, crossing_elements = 0;
    for (int loop = 0; loop < 12; ++loop) {
        const std::vector<xy> e = random_star_loop(rng, 7, 0.6);
        for (int trial = 0; trial < 150; ++trial) {
            // A segment ending near a random vertex, at a distance from 1e-8 to 1e-2 in a
            // random direction, from a random point round the loop.
            const xy& v = e[static_cast<std::size_t>(1 + rng() % (e.size() - 2))];
            if (v.x > 1.0e20) continue;
            const double gap = std::pow(10.0, -8.0 + 6.0 * unit(rng)), turn = 6.3 * unit(rng);
            const double b[2] = {v.x + gap * std::cos(turn), v.y + gap * std::sin(turn)};
            const double a[2] = {24.0 * unit(rng) - 12.0, 24.0 * unit(rng) - 12.0};
            const clearance_segment s = make_clearance_segment(a, b);
            std::vector<double> x, y;
            for (const xy& p : e) x.push_back(p.x), y.push_back(p.y);
            const int count = static_cast<int>(x.size());
            for (int k = 1; k < count; k += pk_is_marker(x[k]) ? 4 : 1) {
                const bool clear = element_clear(s, x.data(), y.data(), count, k);
                const bool crosses = search_crosses(a, b, element_alone(e, k));
                clear_elements += clear ? 1 : 0;
                crossing_elements += crosses ? 1 : 0;
                EXPECT_FALSE(clear && crosses)
                    << "seed " << seed << " loop " << loop << " trial " << trial << " element " << k << " gap " << gap;
            }
            if (all_groups_clear(s, e)) {
                EXPECT_FALSE(search_crosses(a, b, e)) << "seed " << seed << " loop " << loop;
            }
        }
    }
    // Both outcomes occur, so the check above is not empty.
    EXPECT_GT(clear_elements, 1000);
    EXPECT_GT(crossing_elements, 100);
}

TEST_F(LaneTest, ClearanceRowsAtTheTolerance)
{
    // Line (0,0)-(10,0); arc of radius 1 round the origin from (1,0) to (0,1); an arc of 300
    // degrees clockwise from 10 to 70 degrees, whose ends share a quadrant, so that its box (and
    // its group's) holds only its chord and misses the rest of it.
    const std::vector<xy> line{{0, 0}, {10, 0}};
    std::vector<xy> quarter{{1, 0}};
    push_arc(quarter, 1.0, 1.0, 0.0, 0.0, 0.0, 1.0);
    const double degree = std::acos(-1.0) / 180.0;
    std::vector<xy> big{{std::cos(10 * degree), std::sin(10 * degree)}};
    push_arc(big, 1.0, -1.0, 0.0, 0.0, std::cos(70 * degree), std::sin(70 * degree));
    struct row {
        const char* name;
        const std::vector<xy>* element;
        double a[2], b[2];
        bool clear;
    };
    const row rows[] = {
        {"ends 1e-7 past the line", &line, {5, 1}, {5, -1e-7}, false},
        {"ends 5e-7 short of the line", &line, {5, 1}, {5, 5e-7}, false},
        {"ends 1e-3 short of the line", &line, {5, 1}, {5, 1e-3}, true},
        {"runs along the line 2e-4 above", &line, {-1, 2e-4}, {11, 2e-4}, true},
        {"ends 2e-4 short of the line's end", &line, {10.0002, -1}, {10.0002, 1}, true},
        {"touches the arc within 5e-7", &quarter, {-2, 1 + 5e-7}, {2, 1 + 5e-7}, false},
        {"passes the arc 2e-4 outside", &quarter, {-2, 1.0002}, {2, 1.0002}, true},
        {"lies inside the circle", &quarter, {0.1, 0.1}, {0.5, 0.6}, true},
        {"crosses a big arc beside its box", &big, {-1.2, 1.0}, {0.5, -1.5}, false},
    };
    for (const row& t : rows) {
        const clearance_segment s = make_clearance_segment(t.a, t.b);
        std::vector<double> x, y;
        for (const xy& p : *t.element) x.push_back(p.x), y.push_back(p.y);
        const bool clear = element_clear(s, x.data(), y.data(), static_cast<int>(x.size()), 1);
        EXPECT_EQ(clear, t.clear) << t.name;
        EXPECT_EQ(all_groups_clear(s, *t.element), t.clear) << t.name;
        if (clear) {
            EXPECT_FALSE(search_crosses(t.a, t.b, *t.element)) << t.name;
        }
    }
    // The big arc is crossed where its box does not reach: its group must not count as clear.
    const double a[2] = {-1.2, 1.0}, b[2] = {0.5, -1.5};
    EXPECT_TRUE(search_crosses(a, b, big));
}
