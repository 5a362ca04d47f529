// The single-precision thinning (dladst, dilula: open and closed lists), the three-point test
// p3tol and the stand-in least-squares fit lsq_nrb_2tols: what is kept, what is refused, and a fit
// that a test makes fail.
#include "host/control.hpp"
#include "host/vantu_fitting.hpp"
#include "host/vantu_vector.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The distance of p from the closed or open polyline of the kept points (dimension 3).
double off_polyline(const float* p, const std::vector<float>& kept, bool closed)
{
    double best = 1e30;
    const std::size_t n = kept.size() / 3;
    for (std::size_t i = 0; i + (closed ? 0 : 1) < n; ++i) {
        const float* a = &kept[3 * i];
        const float* b = &kept[3 * ((i + 1) % n)];
        float value = 0.0f;
        int status = 0;
        p3tol(a, p, b, value, status);
        if (status != 0) value = std::hypot(p[0] - a[0], p[1] - a[1], p[2] - a[2]);
        best = std::min(best, static_cast<double>(value));
    }
    return best;
}

}  // namespace

TEST(HostThinningSingle, OpenAndClosedListsKeepEveryPointWithinTheTolerance)
{
    // A square's corners with points along its sides, the last side's middle point last (the loop
    // closes back to the first corner), and a normal per point that names it.
    const std::vector<float> square = {0, 0, 0, 1, 0, 0, 2, 0, 0, 2, 1, 0, 2, 2, 0, 1, 2, 0, 0, 2, 0, 0, 1, 0};
    struct row {
        const char* name;
        int closed;
        std::vector<float> points;
        std::vector<float> kept;
    };
    const row rows[] = {
        {"open: the ends stay, the middles go", 0, square, {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0, 0, 1, 0}},
        {"closed: the closing side's middle goes too", 1, square, {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0}},
        {"closed with the first point repeated at the end",
         1,
         {0, 0, 0, 1, 0, 0, 2, 0, 0, 1, 1, 0, 0, 0, 0},
         {0, 0, 0, 2, 0, 0, 1, 1, 0, 0, 0, 0}},
        {"a straight run", 0, {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}, {0, 0, 0, 3, 3, 3}},
        {"two points stay", 1, {0, 0, 0, 5, 0, 0}, {0, 0, 0, 5, 0, 0}},
    };
    for (const row& r : rows) {
        std::vector<float> points = r.points, normals;
        for (std::size_t i = 0; i < points.size() / 3; ++i)
            normals.insert(normals.end(), {static_cast<float>(i), 0, 1});
        int count = static_cast<int>(points.size() / 3), status = 9;
        dladst(3, 0.01f, r.closed, points.data(), count, normals.data(), status);
        ASSERT_EQ(status, 0) << r.name;
        points.resize(3 * static_cast<std::size_t>(count));
        EXPECT_EQ(points, r.kept) << r.name;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const float original = normals[3 * i];
            EXPECT_EQ(std::vector<float>(&r.points[3 * static_cast<std::size_t>(original)],
                                         &r.points[3 * static_cast<std::size_t>(original)] + 3),
                      std::vector<float>(&points[3 * i], &points[3 * i] + 3))
                << r.name << ": the normal moves with its point";
        }
        for (std::size_t i = 0; i < r.points.size() / 3; ++i)
            EXPECT_LE(off_polyline(&r.points[3 * i], points, r.closed != 0), 0.01) << r.name << ", point " << i;
        // dilula thins the same way without normals, and in the plane as well.
        std::vector<float> plain = r.points;
        int plain_count = static_cast<int>(plain.size() / 3);
        dilula(3, plain.data(), plain_count, 0.01f, r.closed, status);
        plain.resize(3 * static_cast<std::size_t>(plain_count));
        EXPECT_EQ(plain, r.kept) << r.name;
    }
    std::vector<float> flat = {0, 0, 1, 0, 2, 0, 2, 1, 2, 2};
    int count = 5, status = 9;
    dilula(2, flat.data(), count, 0.01f, 0, status);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::vector<float>(flat.begin(), flat.begin() + 6), (std::vector<float>{0, 0, 2, 0, 2, 2}));

    float points[6] = {0, 0, 0, 1, 1, 1};
    for (const auto& [dimension, tolerance, n] :
         std::vector<std::tuple<int, float, int>>{{4, 0.1f, 2}, {3, -1.0f, 2}, {3, 0.1f, -1}}) {
        count = n;
        dladst(dimension, tolerance, 0, points, count, nullptr, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(count, n);
        dilula(dimension, points, count, tolerance, 1, status);
        EXPECT_EQ(status, -1);
    }
}

TEST(HostThinningSingle, ThreePointTestMeasuresFromTheSegment)
{
    struct row {
        const char* name;
        std::vector<float> start, point, end;
        int status;
        float value;
    };
    const row rows[] = {
        {"on the segment", {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, 0, 0.0f},
        {"beside it", {0, 0, 0}, {1, 0, 3}, {2, 0, 0}, 0, 3.0f},
        {"beyond its end: from the end", {0, 0, 0}, {5, 4, 0}, {2, 0, 0}, 0, 5.0f},
        {"coincident ends fail", {1, 1, 1}, {2, 2, 2}, {1, 1, 1}, -1, 42.0f},
    };
    for (const row& r : rows) {
        float value = 42.0f;
        int status = 9;
        p3tol(r.start.data(), r.point.data(), r.end.data(), value, status);
        EXPECT_EQ(status, r.status) << r.name;
        EXPECT_FLOAT_EQ(value, r.value) << r.name;
    }
}

TEST(HostFitting, LeastSquaresStandInKeepsSamplesWithinItsToleranceAndCanFail)
{
    vantu::control::reset();
    // Samples along a gentle arc, with an upward normal each.
    std::vector<double> points, normals;
    for (int i = 0; i <= 40; ++i) {
        const double a = 0.02 * i;
        points.insert(points.end(), {10 * std::sin(a), 10 - 10 * std::cos(a), 0.0});
        normals.insert(normals.end(), {0.0, 0.0, 1.0});
    }
    struct row {
        const char* name;
        double tolerance1, tolerance2;
        int room;
        bool fail;
        int status;
    };
    const row rows[] = {
        {"fits within the smaller tolerance", 0.01, 0.05, 41, false, 0},
        {"too little room", 0.01, 0.05, 2, false, -1},
        {"a tolerance of 0", 0.0, 0.05, 41, false, -1},
        {"a failure armed by the test", 0.01, 0.05, 41, true, -7},
    };
    for (const row& r : rows) {
        if (r.fail) vantu::control::inject_fault("lsq_nrb_2tols", 1, 1, -7);
        std::vector<double> result(6 * 41, -1.0);
        int count = 9, status = 9;
        lsq_nrb_2tols(4, 41, points.data(), normals.data(), r.tolerance1, r.tolerance2, 0.01, r.room, result.data(),
                      count, status);
        EXPECT_EQ(status, r.status) << r.name;
        if (status != 0) {
            EXPECT_EQ(count, 0) << r.name;
            continue;
        }
        ASSERT_GE(count, 2) << r.name;
        EXPECT_LT(count, 41) << r.name << ": an arc within 0.01 needs fewer points";
        std::vector<float> kept;
        for (int i = 0; i < count; ++i) {
            for (int k = 0; k < 3; ++k) kept.push_back(static_cast<float>(result[6 * i + k]));
            EXPECT_EQ(result[6 * i + 5], 1.0) << r.name << ": the normal comes along";
        }
        for (std::size_t i = 0; i < points.size() / 3; ++i) {
            const float p[3] = {static_cast<float>(points[3 * i]), static_cast<float>(points[3 * i + 1]), 0.0f};
            EXPECT_LE(off_polyline(p, kept, false), r.tolerance1 + 1e-6) << r.name << ", sample " << i;
        }
    }
    vantu::control::clear_faults();
}
