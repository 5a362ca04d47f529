// Regions bounded by true arcs: round and slotted islands, an outer contour with a convex and a
// concave arc, named and seeded at random. Their arcs are stepped into points as the region to
// clean steps a lane's arcs (the lanes running either way round), the engine clears the
// polygons, and the judge measures against the arcs themselves: no cut and no step along a
// contour passes a contour (a chord inside an island would), and no stretch of a hatch line stays
// uncut farther than the tolerance from them.
#include "clearing_support.hpp"

#include "pocket/lane_arc_points.hpp"

#include <random>
#include <string>

using namespace clearing_test;

namespace {

constexpr double kMarker = 1.0e25;
using point = std::array<double, 2>;

// A contour drawn element by element with the region on its left, as the lane engine keeps its
// lanes: outer contours counter-clockwise, islands clockwise.
struct contour_pen {
    outline drawn;
    point at;
    explicit contour_pen(point start) : at(start) {}
    contour_pen& line_to(point p)
    {
        drawn.push_back({at, p});
        at = p;
        return *this;
    }
    contour_pen& arc_to(point p, point centre, int turn)
    {
        drawn.push_back({at, p, centre, turn});
        at = p;
        return *this;
    }
};

// A round island: three clockwise arcs.
outline round_island(double cx, double cy, double r)
{
    const auto on = [&](double degrees) {
        const double a = degrees * std::numbers::pi / 180.0;
        return point{cx + r * std::cos(a), cy + r * std::sin(a)};
    };
    return contour_pen(on(0))
        .arc_to(on(-120), {cx, cy}, -1)
        .arc_to(on(-240), {cx, cy}, -1)
        .arc_to(on(0), {cx, cy}, -1)
        .drawn;
}

// A slot along y from x0 to x1 of half width r: two lines and two half turns, each in two arcs.
outline slot_island(double x0, double x1, double y, double r)
{
    return contour_pen({x0, y + r})
        .line_to({x1, y + r})
        .arc_to({x1 + r, y}, {x1, y}, -1)
        .arc_to({x1, y - r}, {x1, y}, -1)
        .line_to({x0, y - r})
        .arc_to({x0 - r, y}, {x0, y}, -1)
        .arc_to({x0, y + r}, {x0, y}, -1)
        .drawn;
}

outline room(double w, double h)
{
    return contour_pen({0, 0}).line_to({w, 0}).line_to({w, h}).line_to({0, h}).line_to({0, 0}).drawn;
}

// A room whose top bulges out in a half circle (convex) and whose left wall is bitten into by a
// half circle (concave).
outline arched_room()
{
    return contour_pen({0, 0})
        .line_to({60, 0})
        .line_to({60, 30})
        .arc_to({40, 50}, {40, 30}, 1)
        .arc_to({20, 30}, {40, 30}, 1)
        .line_to({0, 30})
        .line_to({0, 24})
        .arc_to({8, 16}, {0, 16}, -1)
        .arc_to({0, 8}, {0, 16}, -1)
        .line_to({0, 0})
        .drawn;
}

// The contour run the other way: the region on its right, as the lane engine leaves lanes when the
// cutting direction is reversed.
outline reversed(const outline& o)
{
    outline back;
    for (auto e = o.rbegin(); e != o.rend(); ++e) back.push_back({e->b, e->a, e->centre, -e->turn});
    return back;
}

// The contour as the polygon the region to clean makes of it: its lane entries (arcs as marker
// records) walked back with the arcs stepped within the tolerance on the region's side; the
// closing point dropped. A contour drawn with the region on its left is handed over reversed
// when region_left is false.
polygon stepped(const outline& drawn, double tolerance, bool region_left)
{
    const outline o = region_left ? drawn : reversed(drawn);
    std::vector<double> x{o.front().a[0]}, y{o.front().a[1]};
    const auto add = [&](const point& p) {
        x.push_back(p[0]);
        y.push_back(p[1]);
    };
    for (const edge& e : o) {
        if (e.turn != 0) {
            add({kMarker, 0.0});
            add({std::hypot(e.a[0] - e.centre[0], e.a[1] - e.centre[1]), static_cast<double>(e.turn)});
            add(e.centre);
        }
        add(e.b);
    }
    polygon p = lane_points_reversed(x.data(), y.data(), static_cast<int>(x.size()), tolerance, region_left);
    p.pop_back();
    return p;
}

struct arc_region {
    std::string name;
    std::vector<outline> contours;
};

// Rooms with one to four round or slotted islands apart from each other and the walls.
std::vector<arc_region> random_regions(unsigned seed, int count)
{
    std::mt19937 random(seed);
    const auto uniform = [&random](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    std::vector<arc_region> out;
    for (int n = 0; n < count; ++n) {
        const double w = uniform(40, 80), h = uniform(30, 60);
        arc_region r{"random room " + std::to_string(n), {room(w, h)}};
        std::vector<std::array<double, 4>> placed;  // x0, x1, y, r of each island's axis
        const int islands = std::uniform_int_distribution<int>(1, 4)(random);
        for (int tries = 0; tries < 200 && static_cast<int>(placed.size()) < islands; ++tries) {
            const double radius = uniform(1.5, 6), length = uniform(0, 1) < 0.5 ? 0.0 : uniform(3, 15);
            const double x0 = uniform(radius + 2, w - radius - length - 2), y = uniform(radius + 2, h - radius - 2);
            if (x0 + length + radius + 2 > w) continue;
            const bool apart = std::all_of(placed.begin(), placed.end(), [&](const std::array<double, 4>& q) {
                return x0 - radius > q[1] + q[3] + 2 || q[0] - q[3] > x0 + length + radius + 2 ||
                       std::fabs(y - q[2]) > radius + q[3] + 2;
            });
            if (!apart) continue;
            placed.push_back({x0, x0 + length, y, radius});
            r.contours.push_back(length > 0 ? slot_island(x0, x0 + length, y, radius) : round_island(x0, y, radius));
        }
        out.push_back(r);
    }
    return out;
}

}  // namespace

TEST_F(ClearingTest, CutsKeepOutOfIslandsBoundedByArcs)
{
    constexpr unsigned kSeed = 37;
    std::vector<arc_region> regions = {
        {"room with a round and a slotted island", {room(70, 40), round_island(20, 20, 7), slot_island(38, 55, 20, 5)}},
        {"outer with a convex and a concave arc", {arched_room()}},
    };
    for (const arc_region& r : random_regions(kSeed, 12)) regions.push_back(r);
    struct variant {
        const char* name;
        engine_params e;
        bool region_left;
    };
    const variant variants[] = {
        {"pass linking along the axis, tolerance 0.1", {0.0, 1, 1, 1, 1.0f, 0.1f}, true},
        {"pass linking, tolerance 0.01", {0.3, -1, 1, 1, 0.7f, 0.01f}, true},
        {"region linking along the contour, tolerance 0.05", {1.2, 1, 2, 1, 1.3f, 0.05f}, true},
        {"region linking, tolerance 0.005", {-0.7, -1, 2, 0, 0.5f, 0.005f}, true},
        {"lanes reversed, pass linking, tolerance 0.1", {0.0, 1, 1, 1, 1.0f, 0.1f}, false},
        {"lanes reversed, region linking, tolerance 0.05", {1.2, 1, 2, 1, 1.3f, 0.05f}, false},
    };
    for (const arc_region& r : regions)
        for (const variant& v : variants) {
            SCOPED_TRACE(r.name + ", " + v.name + ", seed " + std::to_string(kSeed));
            std::vector<polygon> chords;
            for (const outline& o : r.contours) chords.push_back(stepped(o, v.e.tolerance, v.region_left));
            ASSERT_EQ(run_engine(chords, v.e), 0) << (errors().empty() ? "" : errors().back());
            const verdict found = judge(r.contours, v.e.angle, clearing_points(), 1e30, v.e.tolerance);
            EXPECT_EQ(found.cuts_outside, 0) << "deepest " << found.deepest_outside;
            EXPECT_EQ(found.stretches_missed, 0);
            EXPECT_FALSE(found.lines.empty());
            int status = 0;
            clrcls(1, status);
            EXPECT_EQ(status, 0);
        }
    EXPECT_TRUE(errors().empty());
}
