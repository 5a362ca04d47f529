// The nudge of a loop element: its clean-up, limited to the elements round the nudge where the
// loop was clean before, leaves what the clean-up of the whole loop leaves.
#include "kernel_geometry.hpp"

#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_nudge.hpp"

#include <cstring>

namespace kg = kernel_geometry;

namespace {

class NudgeTest : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        pocket_work_block.tolerance = 0.001;
        pocket_work_block.side_step = 1.0;
        pocket_work_block.corner_arcs = 1;
    }
};

bool same_loop(const pokarr& a, const pokarr& b)
{
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(a.count);
    return a.count == b.count && std::memcmp(a.x, b.x, bytes) == 0 && std::memcmp(a.y, b.y, bytes) == 0;
}

bool is_point(const pokarr& a, int k)
{
    return k >= 2 && k < a.count - 1 && a.x[k] < kMarkerLimit && a.x[k - 1] < kMarkerLimit && a.x[k - 2] < kMarkerLimit;
}

// The entries scaled by s about the origin (an arc's direction word stays).
std::vector<xy> scaled(std::vector<xy> entries, double s)
{
    for (std::size_t k = 0; k < entries.size(); ++k) {
        if (entries[k].x > kMarkerLimit && k + 2 < entries.size()) {
            entries[k + 1].x *= s;
            entries[k + 2] = {s * entries[k + 2].x, s * entries[k + 2].y};
            k += 2;
            continue;
        }
        entries[k] = {s * entries[k].x, s * entries[k].y};
    }
    return entries;
}

// A circle of n lines, some of them broken by a small zig-zag whose two turns are near the sharp
// corner limit (cosine -0.85) and whose backward piece is a few w long: a nudge near one tips it
// into a fold the clean-up cuts, or out of one.
std::vector<xy> zigzag_circle(int n, double w, std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<xy> v;
    for (int k = 0; k <= n; ++k) {
        const double a = 2.0 * kg::kPi * k / n;
        const xy p{10.0 * std::cos(a), 10.0 * std::sin(a)};
        if (k > 0 && u(rng) < 0.5) {
            const xy& from = v.back();
            const double dx = p.x - from.x, dy = p.y - from.y, l = std::hypot(dx, dy);
            const double c = 0.8 + 0.05 * u(rng), s = (u(rng) < 0.5 ? -1.0 : 1.0) * std::sqrt(1.0 - c * c);
            const double back = w * (1.0 + 5.0 * u(rng));
            const xy q{from.x + 0.5 * dx, from.y + 0.5 * dy};
            v.push_back(q);
            v.push_back({q.x - back * (c * dx - s * dy) / l, q.y - back * (s * dx + c * dy) / l});
        }
        v.push_back(p);
    }
    return v;
}

// A loop of the row: the raw offset of a seeded loop of each kind (as a self search nudges it),
// a seeded star of lines and arcs, or a circle of zig-zags; the first two about 20 across or
// scaled down to 0.02, where their elements are as short as a nudge.
std::vector<xy> loop_of(int row, double w, std::mt19937& rng)
{
    std::uniform_real_distribution<double> u(0.0, 1.0);
    const int n = 10 + static_cast<int>(rng() % 200);
    const double s = std::pow(0.001, u(rng));
    if (row % 7 == 6) return zigzag_circle(n, w, rng);
    if (row % 7 == 5) return scaled(random_star_loop(rng, n, 0.5), s);
    const double d = 0.05 * std::pow(40.0, u(rng));
    int status = 0;
    return scaled(kg::kernel_offset(kg::make_loop(static_cast<kg::kind>(row % 7), n, rng), d, w, status), s);
}

// The nudge of the element ending at entry i beside the move of a copy and the clean-up of the
// whole copy: whether the two agree bit for bit, statuses included. `cleaned` tells whether the
// clean-up of the copy took entries out.
bool nudges_as_whole(pokarr& loop, int i, int j, bool& cleaned)
{
    pokarr whole;
    pokarr_init(2, whole);
    int status = 0, whole_status = 0;
    pokarr_copy(loop, whole, whole_status);
    const int moved = pokarr_nudge_move(whole, i, j, whole_status);
    const int count = whole.count;
    if (moved >= 0) {
        double w = pocket_work_block.working_tolerance;
        pokarr_clean_joins(kJoinsSharpOnly, 0, w, whole);
    }
    cleaned = whole.count < count;
    pokarr_nudge_elem(loop, i, j, status);
    const bool same = status == whole_status && same_loop(loop, whole);
    pokarr_free(whole);
    return same;
}

}  // namespace

// A strip along y = 0 through the points x = 0 .. 50 (entries 0 .. 20 up to x = 20) with a feature
// after (20, 0), nudged once at entry 3, where the whole loop is cleaned and found clean, and once
// more at the row's entry: that nudge gives the clean-up work the clean loop did not have, near
// the nudge or, with a larger working tolerance, away from it.
TEST_F(NudgeTest, FindsWhatANudgeOfACleanLoopGivesToDo)
{
    struct row {
        const char* name;
        std::vector<xy> feature;
        double w, w_after;
        int target;
    };
    const row rows[] = {
        {"a step down that the nudge shortens", {{20, -0.0008}, {21, -0.0008}}, 0.001, 0.001, 20},
        {"a step down that becomes a short line", {{20, -0.0024}, {21, -0.0024}}, 0.02, 0.02, 20},
        {"a zig-zag that the nudge folds",
         {{20 - 0.003 * 0.84, -0.003 * 0.5426}, {21, -0.003 * 0.5426}},
         0.001,
         0.001,
         20},
        {"a step down short for a larger tolerance", {{20, -0.0008}, {21, -0.0008}}, 0.001, 0.002, 36},
        {"an arc that the nudge of the line after it flattens",
         {{kMarkerX, 0}, {449.75, 1}, {20.45, std::sqrt(449.75 * 449.75 - 0.2025)}, {20.9, 0}, {20.9, -1}, {20.95, -1}},
         0.001,
         0.001,
         25},
    };
    for (const row& r : rows) {
        std::vector<xy> entries;
        for (int x = 0; x <= 50; ++x) {
            entries.push_back({static_cast<double>(x), 0.0});
            if (x == 20) entries.insert(entries.end(), r.feature.begin(), r.feature.end());
        }
        entries.insert(entries.end(), {{50, 10}, {0, 10}, {0, 0}});
        pokarr loop = make_from(entries);
        pocket_work_block.working_tolerance = r.w;
        bool cleaned = false;
        EXPECT_TRUE(nudges_as_whole(loop, 3, 3, cleaned)) << r.name;
        EXPECT_FALSE(cleaned) << r.name;
        pocket_work_block.working_tolerance = r.w_after;
        EXPECT_TRUE(nudges_as_whole(loop, r.target, r.target, cleaned)) << r.name;
        EXPECT_TRUE(cleaned) << r.name;
        pokarr_free(loop);
    }
}

// Seeded loops nudged again and again at random elements, each nudge beside the move of a copy
// and the clean-up of the whole copy: the two agree bit for bit, statuses included. Now and then
// a point is moved onto the one before it between two nudges (the loop is then no longer the
// one the last nudge left), or the working tolerance is doubled.
TEST_F(NudgeTest, CleansAsTheWholeLoopCleanUp)
{
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int row = 0; row < 42; ++row) {
        double w = 0.001 * std::pow(50.0, u(rng));
        pocket_work_block.working_tolerance = w;
        pokarr loop = make_from(loop_of(row, w, rng));
        for (int nudge = 0; nudge < 40 && loop.count > 4; ++nudge) {
            const auto entry = [&] { return 1 + static_cast<int>(rng() % static_cast<unsigned>(loop.count - 1)); };
            const int i = entry(), j = entry(), edited = entry();
            const double edit = u(rng);
            if (edit < 0.1 && is_point(loop, edited) && is_point(loop, edited - 1))
                loop.x[edited] = loop.x[edited - 1], loop.y[edited] = loop.y[edited - 1];
            else if (edit > 0.95)
                pocket_work_block.working_tolerance = w *= 2.0;
            bool cleaned = false;
            ASSERT_TRUE(nudges_as_whole(loop, i, j, cleaned)) << "row " << row << " nudge " << nudge;
        }
        pokarr_free(loop);
    }
}
