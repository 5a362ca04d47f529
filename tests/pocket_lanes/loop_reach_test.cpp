// The grid's answer whether a point comes nearer a loop than a distance is the answer over every
// element of the loop, for loops whose long slanting lines lie in the boxes of many others (a
// star's spikes) and loops of lines and arcs.
#include "lane_test_support.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_lanes/loop_reach.hpp"

#include <algorithm>

namespace {

// A counter-clockwise star of n corners, alternately on radii r and 0.75 r, the outer ones 1 apart.
std::vector<xy> spiky_star(int n)
{
    const double two_pi = 2.0 * std::acos(-1.0), r = n / (2.0 * two_pi);
    std::vector<xy> v;
    for (int k = 0; k <= n; ++k) {
        const double a = two_pi * (k % n) / n, radius = k % 2 == 0 ? r : 0.75 * r;
        v.push_back({radius * std::cos(a), radius * std::sin(a)});
    }
    return v;
}

// Whether some element of the loop lies nearer the point than the distance, element by element.
bool nearer_by_every_element(const pokarr& loop, double px, double py, double distance)
{
    std::vector<chain_element> elements;
    chain_elements_of(loop.x, loop.y, loop.count, elements);
    for (const chain_element& e : elements) {
        const double sx = loop.x[e.start], sy = loop.y[e.start], ex = loop.x[e.end], ey = loop.y[e.end];
        double d = 0.0, nx = 0.0, ny = 0.0, t = 0.0;
        if (e.arc) {
            arc_dist_pnt(2, px, py, std::fabs(e.r), e.dir, e.cx, e.cy, sx, sy, ex, ey, d, nx, ny, t);
        } else {
            const double dx = ex - sx, dy = ey - sy, l2 = dx * dx + dy * dy;
            t = l2 > 0.0 ? std::clamp(((px - sx) * dx + (py - sy) * dy) / l2, 0.0, 1.0) : 0.0;
            d = std::hypot(px - sx - t * dx, py - sy - t * dy);
        }
        if (d < distance) return true;
    }
    return false;
}

}  // namespace

TEST_F(LaneTest, LoopReachAnswersAsEveryElement)
{
    constexpr unsigned seed = 83u;
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    struct row {
        const char* name;
        std::vector<xy> loop;
        double largest;  // of the distances asked
    };
    const row rows[] = {
        {"star of long spikes", spiky_star(1200), 4.0},
        {"star of few spikes", spiky_star(40), 2.0},
        {"lines and arcs", random_star_loop(rng, 300, 0.5), 0.3},
        {"arcs only", random_star_loop(rng, 40, 1.0), 2.0},
    };
    for (const row& r : rows) {
        pokarr loop = make_from(r.loop);
        loop_reach reach;
        loop_reach_build(loop, reach);
        double box[4];
        pokarr_box(loop, box);
        int nearer = 0, asked = 0;
        for (; asked < 2000; ++asked) {
            const double px = box[0] + (box[2] - box[0]) * (1.2 * unit(rng) - 0.1);
            const double py = box[1] + (box[3] - box[1]) * (1.2 * unit(rng) - 0.1);
            const double distance = r.largest * unit(rng);
            const bool expected = nearer_by_every_element(loop, px, py, distance);
            ASSERT_EQ(loop_reach_nearer(reach, px, py, distance), expected)
                << r.name << " seed " << seed << " point " << px << " " << py << " distance " << distance;
            nearer += expected ? 1 : 0;
        }
        // Both answers come up often.
        EXPECT_GT(nearer, asked / 20) << r.name;
        EXPECT_LT(nearer, asked - asked / 20) << r.name;
        pokarr_free(loop);
    }
}
