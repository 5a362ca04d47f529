// Spline curve entities: evaluation against hand-computed points, the polyline's tolerance on
// random splines, the capacity refusal, module-written records, the part file and bad input.
#include "host/control.hpp"
#include "host/core/entity_store.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using vantu::control::add_spline;
using vantu::control::point3;

const double kHalfRoot2 = std::sqrt(0.5);

double distance(const double* p, const point3& q) { return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]); }

// Distance of q from the segment a - b.
double segment_distance(const point3& q, const point3& a, const point3& b)
{
    double ab2 = 0.0, dot = 0.0;
    for (int k = 0; k < 3; ++k) {
        ab2 += (b[k] - a[k]) * (b[k] - a[k]);
        dot += (q[k] - a[k]) * (b[k] - a[k]);
    }
    const double f = ab2 > 0.0 ? std::clamp(dot / ab2, 0.0, 1.0) : 0.0;
    const point3 foot = {a[0] + f * (b[0] - a[0]), a[1] + f * (b[1] - a[1]), a[2] + f * (b[2] - a[2])};
    return std::hypot(q[0] - foot[0], q[1] - foot[1], q[2] - foot[2]);
}

point3 at(int id, double t)
{
    double p[3] = {NAN, NAN, NAN};
    int status = -9;
    evcrvd(id, t, p, nullptr, status);
    EXPECT_EQ(status, 0) << "t " << t;
    return {p[0], p[1], p[2]};
}

// The spline of a quarter circle of radius 2 about (1, 1, 0), from (3, 1) to (1, 3).
int quarter_circle()
{
    return add_spline(2, {0, 0, 0, 1, 1, 1}, {{3, 1, 0}, {3, 3, 0}, {1, 3, 0}}, {1, kHalfRoot2, 1});
}

class Spline : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

}  // namespace

// ---- evaluation -------------------------------------------------------------------------------

TEST_F(Spline, EvaluationMatchesHandComputedPoints)
{
    const int bezier = add_spline(2, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}});
    const int cubic = add_spline(3, {0, 1, 2, 3, 4, 5, 6, 7}, {{0, 0, 0}, {1, 1, 0}, {2, -1, 0}, {3, 0, 1}});
    const int circle = quarter_circle();
    const double s = 4.0 * (2.0 - std::sqrt(2.0));  // speed of the quarter circle at its middle
    struct row {
        int id;
        double t;
        point3 point, derivative;
    };
    const row rows[] = {
        // C(t) = (2t, 4t(1 - t), 0), C'(t) = (2, 4 - 8t, 0)
        {bezier, 0.0, {0, 0, 0}, {2, 4, 0}},
        {bezier, 0.25, {0.5, 0.75, 0}, {2, 2, 0}},
        {bezier, 1.0, {2, 0, 0}, {2, -4, 0}},
        // Uniform cubic over its one span [3, 4]: (P0 + 4 P1 + P2) / 6 at the start, weights
        // (1, 23, 23, 1) / 48 in the middle, (P1 + 4 P2 + P3) / 6 at the end.
        {cubic, 3.0, {1, 0.5, 0}, {1, -0.5, 0}},
        {cubic, 3.5, {1.5, 0, 1.0 / 48}, {1, -1.25, 0.125}},
        {cubic, 4.0, {2, -0.5, 1.0 / 6}, {1, -0.5, 0.5}},
        // Rational quarter circle: C'(0) = 2 w1 (P1 - P0), middle at 45 degrees.
        {circle, 0.0, {3, 1, 0}, {0, 4 * kHalfRoot2, 0}},
        {circle, 0.5, {1 + std::sqrt(2.0), 1 + std::sqrt(2.0), 0}, {-s, s, 0}},
        {circle, 1.0, {1, 3, 0}, {-4 * kHalfRoot2, 0, 0}},
    };
    for (const row& r : rows) {
        double point[3], derivative[3];
        int status = -9;
        evcrvd(r.id, r.t, point, derivative, status);
        ASSERT_EQ(status, 0);
        EXPECT_LT(distance(point, r.point), 1e-12) << "entity " << r.id << " t " << r.t;
        EXPECT_LT(distance(derivative, r.derivative), 1e-12) << "entity " << r.id << " t " << r.t;
    }
    // Every point of the rational quarter circle lies on the circle.
    for (int i = 0; i <= 64; ++i) {
        const point3 p = at(circle, i / 64.0);
        EXPECT_NEAR(std::hypot(p[0] - 1, p[1] - 1), 2.0, 1e-14) << i;
    }
}

TEST_F(Spline, LimitsAreTheKnotRangeAndParametersAreChecked)
{
    const int cubic = add_spline(3, {0, 1, 2, 3, 4, 5, 6, 7}, {{0, 0, 0}, {1, 1, 0}, {2, -1, 0}, {3, 0, 1}});
    double start = 0, end = 0;
    int status = -9;
    curve_limits(cubic, start, end, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(start, 3.0);
    EXPECT_EQ(end, 4.0);
    double p[3];
    evcrvd(cubic, 4.0 + 0.5e-6, p, nullptr, status);  // within the host tolerance: the end
    EXPECT_EQ(status, 0);
    EXPECT_LT(distance(p, {2, -0.5, 1.0 / 6}), 1e-12);
    for (const double t : {2.99, 4.01, std::nan("")}) {
        evcrvd(cubic, t, p, nullptr, status);
        EXPECT_EQ(status, -1) << t;
    }
    float fp[3], fd[3];
    evcrv(cubic, 3.5f, fp, fd, status);
    EXPECT_EQ(status, 0);
    EXPECT_FLOAT_EQ(fp[0], 1.5f);
    EXPECT_FLOAT_EQ(fd[1], -1.25f);
    // A clamped knot vector whose last knot is repeated once more than usual: the end still
    // evaluates in the last non-empty interval.
    const int long_end = add_spline(2, {0, 0, 0, 1, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}, {5, 5, 5}});
    curve_limits(long_end, start, end, status);
    EXPECT_EQ(end, 1.0);
    EXPECT_LT(distance(at(long_end, 1.0).data(), {2, 0, 0}), 1e-12);
}

// ---- polyline -----------------------------------------------------------------------------------

// A random spline: degree 1..7, clamped or not, rational or not, control points in a box of 100.
struct random_spline {
    vantu::spline_data data;
    int id = 0;
};

random_spline make_random_spline(std::mt19937& random)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    random_spline r;
    vantu::spline_data& s = r.data;
    s.degree = 1 + static_cast<int>(random() % 7);
    const int n = s.degree + 1 + static_cast<int>(random() % 8);
    const bool clamped = random() % 2 == 0;
    double u = 0.0;
    for (int i = 0; i < n + s.degree + 1; ++i) {
        const bool end = i <= s.degree || i >= n;
        if (!(clamped && end && i != 0 && i != n)) u += 0.2 + unit(random);
        s.knots.push_back(u);
    }
    for (int i = 0; i < n; ++i)
        s.points.push_back({100 * unit(random) - 50, 100 * unit(random) - 50, 10 * unit(random)});
    if (random() % 2 == 0)
        for (int i = 0; i < n; ++i) s.weights.push_back(0.3 + 2.7 * unit(random));
    r.id = add_spline(s.degree, s.knots, s.points, s.weights);
    return r;
}

TEST_F(Spline, PolylineChordsStayWithinTheTolerance)
{
    const unsigned seed = 20250302;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    constexpr int kCapacity = 200000;
    std::vector<double> points(3 * kCapacity);
    for (int trial = 0; trial < 150; ++trial) {
        const random_spline r = make_random_spline(random);
        double start = 0, end = 0;
        int status = 0;
        curve_limits(r.id, start, end, status);
        ASSERT_EQ(status, 0);
        double t0 = start + (end - start) * 0.3 * unit(random), t1 = end - (end - start) * 0.3 * unit(random);
        if (trial % 3 == 0) std::swap(t0, t1);
        const double tolerance = std::pow(10.0, -4.0 + 3.0 * unit(random));
        int count = 0;
        crvpld2(r.id, t0, t1, tolerance, 3, kCapacity, points.data(), count, status);
        const std::string where = "seed " + std::to_string(seed) + " trial " + std::to_string(trial);
        ASSERT_EQ(status, 0) << where;
        const std::vector<double> parameters = vantu::spline_parameters(r.data, t0, t1, tolerance, kCapacity);
        ASSERT_EQ(parameters.size(), static_cast<std::size_t>(count)) << where;
        EXPECT_EQ(parameters.front(), t0) << where;
        EXPECT_EQ(parameters.back(), t1) << where;
        for (int i = 0; i < count; ++i) {
            const point3 expected = at(r.id, parameters[i]);
            ASSERT_EQ(distance(&points[3 * i], expected), 0.0) << where << " point " << i;
        }
        for (int i = 0; i + 1 < count; ++i) {
            const double ta = parameters[i], tb = parameters[i + 1];
            ASSERT_NE(ta < tb, t1 < t0) << where << " parameters run the wrong way at " << i;
            const point3 a = {points[3 * i], points[3 * i + 1], points[3 * i + 2]};
            const point3 b = {points[3 * i + 3], points[3 * i + 4], points[3 * i + 5]};
            const point3 middle = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
            EXPECT_LE(distance(at(r.id, (ta + tb) / 2).data(), middle), tolerance) << where << " chord " << i;
            // Between the chord's ends the curve never leaves the tolerance band of the chord.
            for (int k = 1; k < 8; ++k)
                EXPECT_LE(segment_distance(at(r.id, ta + (tb - ta) * k / 8.0), a, b), tolerance)
                    << where << " chord " << i << " eighth " << k;
        }
    }
}

TEST_F(Spline, StraightPiecesTakeOneChordAndCurvedOnesAtLeastTheMinimum)
{
    // A non-rational degree-1 spline is its control polygon.
    const std::vector<point3> corners = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {9, 3, 2}};
    const int polygon = add_spline(1, {0, 0, 1, 2, 3, 3}, corners);
    double points[3 * 16];
    int count = 0, status = 0;
    crvpld2(polygon, 0.0, 3.0, 1e-6, 3, 16, points, count, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(count, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(distance(&points[3 * i], corners[static_cast<std::size_t>(i)]), 0.0) << i;
    // A gentle parabola with a huge tolerance still gets the minimum chords per knot interval.
    const int bezier = add_spline(2, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 0.01, 0}, {2, 0, 0}});
    crvpld2(bezier, 0.0, 1.0, 100.0, 2, 16, points, count, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(count, kSplineMinSpans + 1);
    EXPECT_EQ(points[2], 0.5);  // x, y pairs: the second point is C(0.25) = (0.5, 0.00375)
    EXPECT_DOUBLE_EQ(points[3], 0.00375);
}

TEST_F(Spline, TooSmallACapacityWritesNothingAndAnswersTheNeed)
{
    const int circle = quarter_circle();
    std::vector<double> points(3 * 1000, -7.0);
    int needed = 0, status = 0;
    crvpld2(circle, 0.0, 1.0, 1e-3, 3, 1000, points.data(), needed, status);
    ASSERT_EQ(status, 0);
    ASSERT_GT(needed, kSplineMinSpans + 1);
    std::fill(points.begin(), points.end(), -7.0);
    int count = 0;
    crvpld2(circle, 0.0, 1.0, 1e-3, 3, needed - 1, points.data(), count, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(count, needed);
    EXPECT_TRUE(std::all_of(points.begin(), points.end(), [](double v) { return v == -7.0; }));
    crvpld2(circle, 0.0, 1.0, 1e-3, 3, needed, points.data(), count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, needed);
    EXPECT_NE(points[3 * static_cast<std::size_t>(needed) - 1], -7.0);
    EXPECT_EQ(points[3 * static_cast<std::size_t>(needed)], -7.0);  // nothing past the count

    // A need beyond the most points of one spline is refused whatever the capacity, with the
    // count just past the most.
    std::fill(points.begin(), points.end(), -7.0);
    crvpld2(circle, 0.0, 1.0, 1e-13, 3, 0x7fffffff, points.data(), count, status);
    EXPECT_EQ(status, kEntityShort);
    EXPECT_EQ(count, kSplineMostPoints + 1);
    EXPECT_EQ(points[0], -7.0);

    struct refusal {
        double t0, t1, tolerance;
        int dimension, capacity;
    };
    for (const refusal& r : {refusal{0, 1, 0.0, 3, 10}, refusal{0, 1.1, 0.1, 3, 10}, refusal{-0.1, 1, 0.1, 3, 10},
                             refusal{0, 1, 0.1, 1, 10}, refusal{0, 1, 0.1, 3, -1}}) {
        crvpld2(circle, r.t0, r.t1, r.tolerance, r.dimension, r.capacity, points.data(), count, status);
        EXPECT_EQ(status, -1) << r.t0 << " " << r.t1 << " " << r.tolerance << " " << r.dimension;
    }
}

TEST_F(Spline, DisplayPointsFollowTheCurve)
{
    const int circle = quarter_circle();
    const auto points = vantu::control::curve_display_points(circle);
    ASSERT_GT(points.size(), 10u);
    EXPECT_EQ(points.front(), (point3{3, 1, 0}));
    EXPECT_LT(std::hypot(points.back()[0] - 1, points.back()[1] - 3), 1e-15);
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double mx = (points[i][0] + points[i + 1][0]) / 2 - 1, my = (points[i][1] + points[i + 1][1]) / 2 - 1;
        EXPECT_LT(2.0 - std::hypot(mx, my), 1.5e-4 * std::sqrt(8.0)) << i;
    }
}

// ---- records ------------------------------------------------------------------------------------

// Writes a spline record by hand as a module would: header, knots, points, weights.
int module_spline(const std::vector<double>& doubles)
{
    int id = 0, status = 0;
    estore(kCurveClass, kSplineType, id, status);
    eputd(static_cast<int>(doubles.size()), doubles.data(), status);
    eclose(status);
    return id;
}

TEST_F(Spline, ModuleWrittenRecordsAreSplinesAndBadOnesAreRefused)
{
    // Quadratic Bezier (0, 0) (1, 2) (2, 0), rational with weights 1, 1, 1.
    const std::vector<double> good = {2, 3, 1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 1, 2, 0, 2, 0, 0, 1, 1, 1};
    const int id = module_spline(good);
    double p[3];
    int status = -9;
    evcrvd(id, 0.25, p, nullptr, status);
    EXPECT_EQ(status, 0);
    EXPECT_LT(distance(p, {0.5, 0.75, 0}), 1e-12);
    EXPECT_NE(vantu::control::entities_text().find("spline degree 2, 3 points, parameters 0.0000 to 1.0000, rational"),
              std::string::npos);
    EXPECT_EQ(static_cast<int>(vantu::control::get_entity(id)->words.size()), 2 * 21);

    struct row {
        const char* what;
        std::size_t index;  // which double to change
        double value;
    };
    const row rows[] = {
        {"degree 0", 0, 0},
        {"degree 8", 0, 8},
        {"degree not whole", 0, 2.5},
        {"too few points", 1, 2},
        {"count not whole", 1, 3.5},
        {"flag 2", 2, 2},
        {"more points than words", 1, 30},
        {"knots decrease", 4, 2},
        {"no parameter range", 6, 0},
        {"point not finite", 12, INFINITY},
        {"weight 0", 19, 0},
        {"weight not a number", 20, NAN},
    };
    for (const row& r : rows) {
        std::vector<double> doubles = good;
        doubles[r.index] = r.value;
        const int bad = module_spline(doubles);
        double start = 0, end = 0;
        curve_limits(bad, start, end, status);
        EXPECT_EQ(status, -1) << r.what;
        evcrvd(bad, 0.5, p, nullptr, status);
        EXPECT_EQ(status, -1) << r.what;
        int count = 0;
        double points[30];
        crvpld2(bad, 0.0, 1.0, 0.1, 3, 10, points, count, status);
        EXPECT_EQ(status, -1) << r.what;
        EXPECT_TRUE(vantu::control::curve_display_points(bad).empty()) << r.what;
    }
    // Cut short: the header promises more words than there are.
    const std::vector<double> cut(good.begin(), good.end() - 1);
    double start = 0, end = 0;
    curve_limits(module_spline(cut), start, end, status);
    EXPECT_EQ(status, -1);
    curve_limits(module_spline({2, 3}), start, end, status);
    EXPECT_EQ(status, -1);
}

TEST_F(Spline, AddSplineRefusesBadGeometryNamingTheField)
{
    struct row {
        int degree;
        std::vector<double> knots;
        std::vector<point3> points;
        std::vector<double> weights;
        const char* message;
    };
    const std::vector<point3> three = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}};
    const row rows[] = {
        {0, {0, 1, 2, 3}, three, {}, "spline \"degree\": must be a whole number from 1 to 7"},
        {8, {0, 1, 2, 3}, three, {}, "spline \"degree\": must be a whole number from 1 to 7"},
        {3, {0, 0, 0, 0, 1, 1, 1}, three, {}, "spline \"points\": must hold at least degree + 1 = 4 points"},
        {2, {0, 0, 0, 1, 1}, three, {}, "spline \"knots\": must hold 6 values (points + degree + 1)"},
        {2, {0, 0, 1, 0, 1, 1}, three, {}, "spline \"knots\": must never decrease"},
        {2, {0, 0, 0, 0, 0, 0}, three, {}, "spline \"knots\": leave no parameter range"},
        {1,
         {0, 0, 1, 1, 2, 2},
         {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}},
         {},
         "spline \"knots\": an inner knot is repeated more than degree times"},
        {2, {0, 0, 0, 1, 1, NAN}, three, {}, "spline \"knots\": must be finite numbers"},
        {2, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {}, "spline \"points\": all lie at one place"},
        {2,
         {0, 0, 0, 1, 1, 1},
         {{0, 0, 0}, {1, INFINITY, 0}, {0, 0, 0}},
         {},
         "spline \"points\": must be finite numbers"},
        {2, {0, 0, 0, 1, 1, 1}, three, {1, 1}, "spline \"weights\": must hold one weight per point"},
        {2, {0, 0, 0, 1, 1, 1}, three, {1, -1, 1}, "spline \"weights\": must be finite and above 0"},
    };
    for (const row& r : rows) {
        try {
            add_spline(r.degree, r.knots, r.points, r.weights);
            ADD_FAILURE() << "accepted: " << r.message;
        } catch (const std::invalid_argument& e) {
            EXPECT_EQ(std::string(e.what()).rfind(r.message, 0), 0u) << e.what();
        }
    }
    EXPECT_TRUE(vantu::control::entity_ids().empty());
    // An inner knot repeated degree times is a corner, not a break: accepted.
    EXPECT_GT(add_spline(2, {0, 0, 0, 1, 1, 2, 2, 2}, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}, {4, 0, 0}}), 0);
}

// ---- part file ----------------------------------------------------------------------------------

TEST_F(Spline, PartFileRoundTripIsExact)
{
    using namespace vantu::control;
    add_spline(3, {0.1, 1.0 / 3.0, 0.7, 1.1, 2.0 / 7.0 + 1.0, 1.9, 2.2, 3.0},
               {{0.1, -0.0, 1e-300}, {1.0 / 3.0, 2, vantu::kModelExtent}, {2, -1.0 / 7.0, 0}, {3, 0, 1}});
    const int rational = quarter_circle();
    set_attribute(rational, "CO", 5);
    // Not exactly one record: words after it, and a rational flag written as -0.
    const int extended = quarter_circle();
    int c = 0, t = 0, status = 0;
    eopen(extended, c, t, status);
    const double extra = 0.5;
    eskipn(static_cast<int>(get_entity(extended)->words.size()), status);
    eputd(1, &extra, status);
    eclose(status);
    const int minus_zero = module_spline({1, 2, -0.0, 0, 0, 1, 1, 0, 0, 0, 1, 1, 1});

    const auto before = entity_ids();
    std::vector<entity_record> records;
    for (const int id : before) records.push_back(*get_entity(id));
    const std::string saved = save_part_text();
    load_part_text(saved, "round trip");
    ASSERT_EQ(entity_ids(), before);
    for (const entity_record& r : records) {
        const auto after = get_entity(r.id);
        EXPECT_EQ(after->entity_class, r.entity_class) << r.id;
        EXPECT_EQ(after->type, r.type) << r.id;
        EXPECT_EQ(after->words, r.words) << r.id;
        EXPECT_EQ(after->attributes, r.attributes) << r.id;
    }
    EXPECT_EQ(save_part_text(), saved);
    const auto parsed = nlohmann::json::parse(saved)["entities"];
    ASSERT_EQ(parsed.size(), 4u);
    EXPECT_EQ(parsed[0]["kind"], "spline");
    EXPECT_FALSE(parsed[0].contains("weights"));
    EXPECT_EQ(parsed[1]["kind"], "spline");
    EXPECT_EQ(parsed[1]["weights"][1].get<double>(), kHalfRoot2);
    EXPECT_EQ(parsed[2]["kind"], "words");
    EXPECT_EQ(parsed[3]["kind"], "words");
    EXPECT_EQ(parsed[3]["id"], minus_zero);
}

TEST_F(Spline, HandWrittenSplineLoads)
{
    vantu::control::load_part_text(R"({"entities": [
        {"id": 3, "kind": "spline", "degree": 2, "knots": [0, 0, 0, 1, 1, 1],
         "points": [[3, 1, 0], [3, 3, 0], [1, 3, 0]], "weights": [1, 0.5, 1], "class": 1, "type": 7}
    ]})",
                                   "hand");
    int c = 0, t = 0, status = 0;
    eopen(3, c, t, status);
    EXPECT_EQ(c, kCurveClass);
    EXPECT_EQ(t, kSplineType);
    eclose(status);
    // Weight 0.5 at the middle: C(0.5) = (0.25 P0 + 0.25 P1 + 0.25 P2) / 0.75.
    EXPECT_LT(distance(at(3, 0.5).data(), {7.0 / 3.0, 7.0 / 3.0, 0}), 1e-12);
}

TEST_F(Spline, MalformedSplinesNameTheIndexAndTheField)
{
    struct row {
        const char* fields;
        const char* expected;
    };
    const row rows[] = {
        {R"("degree": 0, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"degree\": must be a whole number from 1 to 7"},
        {R"("degree": 2.5, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"degree\": must be an integer"},
        {R"("degree": 2, "points": [[0,0,0],[1,1,0],[2,0,0]])", "entities[1] \"knots\": missing"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1])", "entities[1] \"points\": missing"},
        {R"("degree": 2, "knots": [0,0,0,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"knots\": must hold 6 values"},
        {R"("degree": 2, "knots": [0,0,0,1,"x",1], "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"knots\": must be a number"},
        {R"("degree": 2, "knots": 5, "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"knots\": must be an array of numbers"},
        {R"("degree": 2, "knots": [0,0,1,0,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"knots\": must never decrease"},
        {R"("degree": 2, "knots": [1,1,1,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]])",
         "entities[1] \"knots\": leave no parameter range"},
        {R"("degree": 2, "knots": [0,0,0,1,1], "points": [[0,0,0],[1,1,0]])",
         "entities[1] \"points\": must hold at least degree + 1 = 3 points"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1],[2,0,0]])",
         "entities[1] \"points\": must be an array of 3 numbers"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": {"a": 1})",
         "entities[1] \"points\": must be an array of [x, y, z] points"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": [[1,1,1],[1,1,1],[1,1,1]])",
         "entities[1] \"points\": all lie at one place"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]], "weights": [])",
         "entities[1] \"weights\": must hold one weight per point"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]], "weights": [1,0,1])",
         "entities[1] \"weights\": must be finite and above 0"},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]], "radius": 1)",
         "entities[1] \"radius\": unknown for kind \"spline\""},
        {R"("degree": 2, "knots": [0,0,0,1,1,1], "points": [[0,0,0],[1,1,0],[2,0,0]], "type": 6)",
         "entities[1] \"type\": must be 7 for a spline"},
    };
    for (const row& r : rows) {
        const std::string part = std::string(R"({"entities": [{"id": 5, "kind": "point", "point": [1,2,3]}, )") +
                                 R"({"id": 1, "kind": "spline", )" + r.fields + "}]}";
        try {
            vantu::control::load_part_text(part, "bad.json");
            ADD_FAILURE() << "accepted: " << r.fields;
        } catch (const vantu::control::part_error& e) {
            EXPECT_NE(std::string(e.what()).find(r.expected), std::string::npos) << e.what();
        }
    }
}
