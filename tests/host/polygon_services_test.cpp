// The single-precision polygon services: point in polygon and touch of a boundary, area and
// orientation, box, the nesting matrix of a polygon set and the visiting order of points.
#include "host/control.hpp"
#include "host/vantu_polygon.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

class PolygonServices : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

using polygon = std::vector<float>;

polygon square(float x0, float y0, float size) { return {x0, y0, x0 + size, y0, x0 + size, y0 + size, x0, y0 + size}; }

polygon reversed(const polygon& p)
{
    polygon r;
    for (std::size_t i = p.size(); i >= 2; i -= 2) r.insert(r.end(), {p[i - 2], p[i - 1]});
    return r;
}

int count_of(const polygon& p) { return static_cast<int>(p.size() / 2); }

// Sons matrix of a set of polygons, one row of count + 1 words per polygon.
std::vector<int> sons_of(const std::vector<polygon>& set, int& work, int& status)
{
    std::vector<float> all;
    std::vector<int> counts;
    for (const polygon& p : set) {
        all.insert(all.end(), p.begin(), p.end());
        counts.push_back(count_of(p));
    }
    const int n = static_cast<int>(set.size());
    std::vector<int> sons(static_cast<std::size_t>((n + 1) * n), -7);
    polson(n, counts.data(), all.data(), sons.data(), work, status);
    return sons;
}

std::vector<int> row(const std::vector<int>& sons, int n, int i)
{
    const auto first = sons.begin() + (n + 1) * i;
    return std::vector<int>(first + 1, first + 1 + first[0]);
}

double path_length(const std::vector<float>& points, const std::vector<std::int16_t>& order, bool closed)
{
    double length = 0.0;
    const std::size_t n = order.size();
    for (std::size_t k = 0; k + (closed ? 0 : 1) < n; ++k) {
        const std::size_t a = static_cast<std::size_t>(order[k] - 1),
                          b = static_cast<std::size_t>(order[(k + 1) % n] - 1);
        length += std::hypot(points[2 * a] - points[2 * b], points[2 * a + 1] - points[2 * b + 1]);
    }
    return length;
}

}  // namespace

TEST_F(PolygonServices, InpolAndTouchDecisionTable)
{
    const polygon sq = square(0, 0, 10);
    const std::vector<double> wide(sq.begin(), sq.end());
    struct case_row {
        float x, y;
        int inpol;         // single precision, host tolerance
        int touch_closed;  // tchptpol mode 2 within 0.01
        int touch_open;    // mode 1: the edge back to the first point is missing
    };
    const case_row rows[] = {
        {5, 5, kInpolInside, 0, 0},        {5, 0, kInpolOnBoundary, 1, 1},
        {0, 5, kInpolOnBoundary, 1, 0},    {5, 10.00005f, kInpolOnBoundary, 1, 1},
        {5, 10.005f, kInpolOutside, 1, 1}, {-0.005f, 5, kInpolOutside, 1, 0},
        {5, 10.05f, kInpolOutside, 0, 0},  {20, 20, kInpolOutside, 0, 0},
    };
    for (const case_row& r : rows) {
        const float p[2] = {r.x, r.y};
        const double pd[2] = {r.x, r.y};
        int answer = 0, closed = -1, open = -1;
        inpol(sq.data(), 4, 1, p, answer);
        tchptpol(2, 0.01, pd, 4, wide.data(), closed);
        tchptpol(1, 0.01, pd, 4, wide.data(), open);
        EXPECT_EQ(answer, r.inpol) << r.x << "," << r.y;
        EXPECT_EQ(closed, r.touch_closed) << r.x << "," << r.y;
        EXPECT_EQ(open, r.touch_open) << r.x << "," << r.y;
    }
    int answer = 0, touch = 5;
    const float p[2] = {1, 1};
    inpol(nullptr, 4, 1, p, answer);
    tchptpol(2, 1.0, nullptr, 4, wide.data(), touch);
    EXPECT_EQ(answer, kInpolOutside);
    EXPECT_EQ(touch, 0);
}

TEST_F(PolygonServices, AreaOrientationAndBox)
{
    struct case_row {
        polygon points;
        float area;
        int direction;
    };
    const case_row rows[] = {
        {square(1, 2, 3), 9.0f, 1},    {reversed(square(1, 2, 3)), -9.0f, 0},
        {{0, 0, 4, 0, 0, 3}, 6.0f, 1}, {{0, 0, 5, 5, 10, 10}, 0.0f, -1},  // collinear: undecided
        {{0, 0, 5, 5}, 0.0f, -1},
    };
    for (const case_row& r : rows) {
        float area = -1.0f;
        int status = -5, direction = 7;
        plarea(count_of(r.points), r.points.data(), 0, area, status);
        polccw(count_of(r.points), r.points.data(), direction);
        EXPECT_EQ(status, 0);
        EXPECT_FLOAT_EQ(area, r.area);
        EXPECT_EQ(direction, r.direction);
        // Translation moves neither the area nor the orientation.
        polygon moved = r.points;
        for (std::size_t i = 0; i < moved.size(); ++i) moved[i] += i % 2 == 0 ? 100.0f : -50.0f;
        plarea(count_of(moved), moved.data(), 0, area, status);
        EXPECT_NEAR(area, r.area, 1e-3f);
    }
    float area = 3.0f;
    int status = 0;
    plarea(4, square(0, 0, 1).data(), 1, area, status);
    EXPECT_EQ(status, -1);

    const std::vector<float> xyz = {1, 5, -2, 4, -1, 3, 2, 2, 7};
    float box[6] = {};
    polbxr(1, 3, xyz.data(), 3, box);
    EXPECT_EQ(std::vector<float>(box, box + 6), (std::vector<float>{1, -1, -2, 4, 5, 7}));
    const polygon far = {10, -10};
    polbxr(0, 2, far.data(), 1, box);  // widens the first four values as a 2-D box
    EXPECT_EQ(std::vector<float>(box, box + 4), (std::vector<float>{1, -10, 10, 4}));
    polbxr(1, 4, xyz.data(), 3, box);
    EXPECT_EQ(box[0], 1.0f);  // another dimension leaves the box alone
}

TEST_F(PolygonServices, NestingCorpus)
{
    struct case_row {
        const char* name;
        std::vector<polygon> set;
        std::vector<std::vector<int>> rows;
        int depth;
    };
    const polygon circle_like = {5, 1, 9, 5, 5, 9, 1, 5};
    const std::vector<case_row> corpus = {
        {"one", {square(0, 0, 10)}, {{}}, 0},
        {"outer and two islands", {square(0, 0, 10), square(1, 1, 2), square(6, 6, 2)}, {{1, 2}, {}, {}}, 1},
        {"four nested, given inside out",
         {square(3, 3, 4), square(0, 0, 10), square(4, 4, 2), square(2, 2, 6)},
         {{2}, {0, 2, 3}, {}, {0, 2}},
         3},
        {"two apart", {square(0, 0, 1), square(5, 5, 1)}, {{}, {}}, 0},
        {"island on the outer's edge", {square(0, 0, 10), square(0, 2, 3)}, {{1}, {}}, 1},
        {"identical", {square(0, 0, 4), square(0, 0, 4)}, {{}, {}}, 0},
        {"crossing", {square(0, 0, 4), square(2, 2, 4)}, {{}, {}}, 0},
        {"diamond in square, clockwise", {reversed(square(0, 0, 10)), circle_like}, {{1}, {}}, 1},
    };
    for (const case_row& c : corpus) {
        int work = -1, status = -5;
        const std::vector<int> sons = sons_of(c.set, work, status);
        const int n = static_cast<int>(c.set.size());
        ASSERT_EQ(status, 0) << c.name;
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(row(sons, n, i), c.rows[static_cast<std::size_t>(i)]) << c.name << " row " << i;
        EXPECT_EQ(work, c.depth) << c.name;
    }
    int work = 0, status = 0;
    std::vector<int> sons(2, 0);
    const int bad_counts[1] = {-1};
    polson(1, bad_counts, square(0, 0, 1).data(), sons.data(), work, status);
    EXPECT_EQ(status, -1);
    polson(0, bad_counts, nullptr, sons.data(), work, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PolygonServices, RpathVisitsEveryPointOnAShortPath)
{
    // Points on a line are visited in order from the lowest-left one.
    const std::vector<float> line = {4, 0, 0, 0, 3, 0, 1, 0, 2, 0};
    std::vector<std::int16_t> order(5);
    int status = -5;
    rpath(line.data(), 2, 5, 1, order.data(), status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(order, (std::vector<std::int16_t>{2, 4, 5, 3, 1}));
    // A closed tour of a square's corners runs round it, not across.
    const std::vector<float> corners = {0, 0, 10, 10, 10, 0, 0, 10};
    std::vector<std::int16_t> tour(4);
    rpath(corners.data(), 2, 4, 2, tour.data(), status);
    EXPECT_NEAR(path_length(corners, tour, true), 40.0, 1e-4);

    const unsigned seed = 20240611;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    for (int set = 0; set < 20; ++set) {
        const int n = 3 + set * 5;
        std::vector<float> points(2 * static_cast<std::size_t>(n));
        for (float& v : points) v = coordinate(random);
        for (const int mode : {1, 2}) {
            std::vector<std::int16_t> got(static_cast<std::size_t>(n), 0);
            rpath(points.data(), 2, n, mode, got.data(), status);
            ASSERT_EQ(status, 0) << "seed " << seed;
            std::vector<std::int16_t> sorted = got;
            std::sort(sorted.begin(), sorted.end());
            for (int k = 0; k < n; ++k) ASSERT_EQ(sorted[static_cast<std::size_t>(k)], k + 1) << "seed " << seed;
            // No reversal of a stretch shortens the result (it is 2-opt optimal).
            const double length = path_length(points, got, mode == 2);
            for (int i = 1; i < n - 1; ++i)
                for (int j = i + 1; j < n; ++j) {
                    std::vector<std::int16_t> other = got;
                    std::reverse(other.begin() + i, other.begin() + j + 1);
                    EXPECT_GE(path_length(points, other, mode == 2), length - 1e-3) << "seed " << seed;
                }
        }
    }
    const struct {
        int dimension, count, mode;
    } refused[] = {{4, 3, 1}, {2, 3, 3}, {2, -1, 1}, {2, kRpathMaxPoints + 1, 1}};
    for (const auto& r : refused) {
        std::vector<std::int16_t> got(3, 9);
        rpath(line.data(), r.dimension, r.count, r.mode, got.data(), status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(got[0], 9);
    }
}
