// Where the lane of a small hole begins: hole_start_wide over thin slivers (lines and an arc),
// named and seeded random, every start corner. The lane's first quarter must keep at least half
// the sliver's width from the rest of the lane, and the loop must stay the same loop.
#include "lane_test_support.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_lanes/hole_start.hpp"

#include <algorithm>
#include <string>

namespace {

// The loop as a closed polyline (arcs in 16 chords), with the length from its start per point.
void flatten(const pokarr& a, std::vector<xy>& points, std::vector<double>& along)
{
    for (int i = 1; i < a.count; i += pk_is_marker(a.x[i]) ? 4 : 1)
        for (int k = 0; k < 16; ++k) {
            int index = i;
            double p[3] = {0.0, 0.0, 0.0};
            pokarr_pnt_at_param(a, index, k / 16.0, p);
            points.push_back({p[0], p[1]});
        }
    points.push_back(points.front());
    along.assign(1, 0.0);
    for (std::size_t k = 1; k < points.size(); ++k)
        along.push_back(along.back() + std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y));
}

// Least distance of the lane's first quarter to the lane from `gap` after it to `gap` before its end.
double opening_clearance(const pokarr& a, double gap)
{
    std::vector<xy> p;
    std::vector<double> along;
    flatten(a, p, along);
    const double total = along.back(), quarter = 0.25 * total;
    double least = HUGE_VAL;
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (along[i] > quarter) break;
        for (std::size_t j = 0; j < p.size(); ++j)
            if (along[j] > quarter + gap && along[j] < total - gap)
                least = std::min(least, std::hypot(p[i].x - p[j].x, p[i].y - p[j].y));
    }
    return least;
}

struct sliver {
    std::string name;
    std::vector<xy> corners;  // counter-clockwise; an arc record may stand between them
    double width;             // of its wide end
};

// A thin triangle: wide end of `width` at (x, y), tip at `length` along `angle`.
sliver triangle(const std::string& name, double x, double y, double length, double width, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    const xy a{x - 0.5 * width * s, y + 0.5 * width * c}, b{x + 0.5 * width * s, y - 0.5 * width * c};
    return {name, {b, {x + length * c, y + length * s}, a, b}, width};
}

// Every start corner of a loop of lines (closed: its last entry repeats its first).
std::vector<std::vector<xy>> every_start(const std::vector<xy>& closed)
{
    std::vector<std::vector<xy>> out;
    const std::size_t n = closed.size() - 1;
    for (std::size_t k = 0; k < n; ++k) {
        std::vector<xy> e;
        for (std::size_t i = 0; i <= n; ++i) e.push_back(closed[(k + i) % n]);
        out.push_back(e);
    }
    return out;
}

class HoleStart : public LaneTest {};

TEST_F(HoleStart, OpensOnTheWidePartOfEverySliver)
{
    std::vector<sliver> rows = {triangle("flat", 0.0, 0.0, 0.07, 0.01, 0.0),
                                triangle("steep", 5.0, 3.0, 0.5, 0.04, 2.0),
                                triangle("long", -2.0, 1.0, 1.0, 0.03, -0.7)};
    // The hole of a packed pocket: an arc side from the tip to the wide end, then two lines.
    std::vector<xy> arc{{5.36660, 14.88118}};
    push_arc(arc, 2.55014, -1.0, 2.81819, 14.97517, 5.36304, 14.81096);
    arc.push_back({5.37066, 14.81706});
    arc.push_back({5.36660, 14.88118});
    rows.push_back({"arc side", arc, 0.0098});
    std::mt19937 rng(20261233);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int k = 0; k < 20; ++k)
        rows.push_back(triangle("random " + std::to_string(k), 10.0 * unit(rng), 10.0 * unit(rng), 0.05 + unit(rng),
                                0.005 + 0.05 * unit(rng), 6.3 * unit(rng)));
    for (const sliver& row : rows) {
        const bool lines = row.corners.size() == 4;
        for (const std::vector<xy>& entries :
             lines ? every_start(row.corners) : std::vector<std::vector<xy>>{row.corners}) {
            pokarr a = make_from(entries);
            double area = 0.0, length = 0.0, new_area = 0.0, new_length = 0.0;
            int direction = 0, status = 0;
            pokarr_area_dir(a, area, direction);
            pokarr_length(2, a, nullptr, length, status);
            hole_start_wide(a);
            a.area = 0.0;
            pokarr_area_dir(a, new_area, direction);
            pokarr_length(2, a, nullptr, new_length, status);
            EXPECT_NEAR(new_area, area, 1e-9 * (1.0 + area)) << row.name;
            EXPECT_NEAR(new_length, length, 1e-9 * (1.0 + length)) << row.name;
            EXPECT_GE(opening_clearance(a, row.width), 0.5 * row.width) << row.name << " from " << entries[0].x;
            pokarr_free(a);
        }
    }
}

}  // namespace
