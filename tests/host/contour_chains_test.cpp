// Chain records on curve sets (dfdgrc, dfcgld) and the polygon of a record (dfcpol): its points
// lie on the curves, its chords within the tolerance, and the room it reports.
#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/control/entities.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_polygon.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using vantu::control::curve_in_set;

class ContourChains : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }

    // A rectangle of four lines as curve set `set`.
    static void rectangle(int set, double x0, double y0, double x1, double y1)
    {
        const double c[4][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        std::vector<curve_in_set> curves;
        for (int k = 0; k < 4; ++k) {
            const double* a = c[k];
            const double* b = c[(k + 1) % 4];
            const int id = vantu::control::add_line({a[0], a[1], 0}, {b[0], b[1], 0});
            curves.push_back({id, 0.0, std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
        }
        vantu::control::define_curve_set(set, curves);
    }
};

}  // namespace

TEST_F(ContourChains, RecordsHoldOneEntryPerCurve)
{
    rectangle(3, 0, 0, 4, 2);
    std::vector<int> record(10, -1);
    int length = 0, status = -5;
    dfdgrc(3, 5, record.data(), length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(std::vector<int>(record.begin(), record.begin() + 8), (std::vector<int>{3, 1, 3, 2, 3, 3, 3, 4}));
    EXPECT_EQ(record[8], -1);

    struct case_row {
        int set, room, status, length;
    } rows[] = {{3, 3, -2, 4}, {9, 10, -1, 0}};
    for (const case_row& r : rows) {
        std::vector<int> untouched(10, -1);
        dfdgrc(r.set, r.room, untouched.data(), length, status);
        EXPECT_EQ(status, r.status) << r.set;
        EXPECT_EQ(length, r.length) << r.set;
        EXPECT_EQ(untouched[0], -1);
    }
    dfcgld(record.data(), length, status);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(status, 0);
    dfcgld(record.data() + 2, length, status);  // the second entry begins no record
    EXPECT_EQ(status, -1);
    EXPECT_EQ(length, 0);
}

TEST_F(ContourChains, PolygonOfARecordFollowsItsCurves)
{
    rectangle(1, 0, 0, 4, 2);
    const int circle = vantu::control::add_circle({10, 10, 0}, 5.0);
    vantu::control::define_curve_set(2, {{circle, 0.0, 2 * M_PI, 1.0}});
    const int rect[2] = {1, 1}, round[2] = {2, 1};

    std::vector<float> points(2000, 0.0f);
    int count = 0;
    dfcpol(rect, 1, 0.01f, 1000, points.data(), count);
    ASSERT_EQ(count, 5);  // four corners and the closing point
    EXPECT_EQ(std::vector<float>(points.begin(), points.begin() + 10),
              (std::vector<float>{0, 0, 4, 0, 4, 2, 0, 2, 0, 0}));

    const float tolerance = 0.01f;
    dfcpol(round, 1, tolerance, 1000, points.data(), count);
    ASSERT_GT(count, 8);
    float area = 0.0f;
    int status = 0;
    plarea(count, points.data(), 0, area, status);
    EXPECT_NEAR(area, M_PI * 25.0, M_PI * 25.0 * 0.01);
    for (int i = 0; i + 1 < count; ++i) {
        const float* p = &points[2 * static_cast<std::size_t>(i)];
        const float mx = 0.5f * (p[0] + p[2]) - 10.0f, my = 0.5f * (p[1] + p[3]) - 10.0f;
        EXPECT_NEAR(std::hypot(p[0] - 10.0f, p[1] - 10.0f), 5.0f, 1e-4f);
        EXPECT_LE(5.0f - std::hypot(mx, my), tolerance + 1e-4f);  // chord sagitta
    }

    struct refused {
        const int* entry;
        int mode;
        float tolerance;
        int room, count;
    } rows[] = {{round, 1, tolerance, 4, -2},
                {round, 2, tolerance, 1000, 0},
                {round, 1, 0.0f, 1000, 0},
                {rect + 0, 1, tolerance, 5, 5}};
    const int not_first[2] = {1, 2}, no_set[2] = {7, 1};
    for (const refused& r : rows) {
        dfcpol(r.entry, r.mode, r.tolerance, r.room, points.data(), count);
        EXPECT_EQ(count, r.count) << r.room;
    }
    for (const int* entry : {not_first, no_set}) {
        dfcpol(entry, 1, tolerance, 1000, points.data(), count);
        EXPECT_EQ(count, 0);
    }
}
