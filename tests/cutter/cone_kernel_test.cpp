// The conical contact kernel's parts: the classes and derived sizes of the set-up and when it
// runs, the records and their order, the edge geometry routines, the face stage, the edge and
// vertex stage, and degenerate input.
#include "cone_reference.hpp"

#include "cutter/kernels/cone_contact.hpp"
#include "cutter/locpnt_taper.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr double kDegree = kConeDegree;

struct kernel_call {
    double distance = 0;
    double points[6] = {};
};

kernel_call distance_of(const double* cutter, const double* triangle, const double* position = nullptr)
{
    const double origin[3] = {0, 0, 0};
    kernel_call call;
    cone_tri_distance(0, cutter, position != nullptr ? position : origin, triangle, call.distance, call.points);
    return call;
}

// Loads the cutter and places its elements at the origin (through a far triangle).
void load(const double* cutter)
{
    const double far[9] = {100, 100, 0, 101, 100, 0, 100, 101, 0};
    distance_of(cutter, far);
}

void expect_point(const cone_vec& p, double x, double y, double z, const std::string& what)
{
    EXPECT_NEAR(p.x, x, 1e-9) << what;
    EXPECT_NEAR(p.y, y, 1e-9) << what;
    EXPECT_NEAR(p.z, z, 1e-9) << what;
}

class ConeKernel : public ::testing::Test {
protected:
    void SetUp() override { cone_state_block = cone_state{}; }
    void TearDown() override { cone_state_block = cone_state{}; }
};

}  // namespace

TEST_F(ConeKernel, SetupClassesTheCutterAndDerivesItsSizes)
{
    const double just_tapered = std::nextafter(1e-4, 1.0);
    const double ball_corner = cone_tan_beta(10 * kDegree);  // D 2: a tapered ball with c18 exactly 0
    struct row {
        const char* what;
        double cutter[5];
        int cutter_class, taper_class, setup_answer;
        // c18, h2, c28, h0, cone apex, cylinder radius; NaN where not checked
        double sizes[6];
    };
    const double no = std::nan("");
    const row rows[] = {
        {"a taper of exactly 0.0001 is none", {4, 0.5, 6, 1e-4, 0}, kConeBullNose, 0, 1, {1.5, no, no, no, no, 2}},
        {"just above it is tapered",
         {4, 0.5, 6, just_tapered, 0},
         kConeTapered,
         kTaperFlatBottom,
         1,
         {no, no, no, no, no, no}},
        {"corner 0, offset 0: flat end", {4, 0, 6, 0, 0}, kConeFlat, 0, 1, {2, no, no, no, no, 2}},
        {"an offset just below 1e-5 Reff keeps it flat", {4, 0, 6, 0, 2e-5}, kConeFlat, 0, 1, {no, no, no, no, no, no}},
        {"an offset of 1e-5 Reff makes it a bull-nose",
         {4, 0, 6, 0, 2.00003e-5},
         kConeBullNose,
         0,
         1,
         {no, no, no, no, no, no}},
        {"a corner of the whole radius: ball", {4, 2, 6, 0, 0.5}, kConeBall, 0, 1, {no, no, no, no, no, 2.5}},
        {"D 8, r 0.5, L 15, 3 degrees",
         {8, 0.5, 15, 3 * kDegree, 0},
         kConeTapered,
         kTaperFlatBottom,
         1,
         {3.525518, 4.215121, 4.786117, 15.125329, -76.324547, 4.786117}},
        {"D 10, r 1, L 20, 5 degrees",
         {10, 1, 20, 5 * kDegree, 0},
         kConeTapered,
         kTaperFlatBottom,
         1,
         {4.083669, 5.456543, 6.749773, 20.294701, -57.150262, 6.749773}},
        {"the same with an offset of 0.5",
         {10, 1, 20, 5 * kDegree, 0.5},
         kConeTapered,
         kTaperFlatBottom,
         1,
         {4.083669, 5.956543, 6.749773, 20.794701, -62.387118, 7.249773}},
        {"D 2, r 1, L 0.5, 10 degrees: short taper",
         {2, 1, 0.5, 10 * kDegree, 0},
         kConeTapered,
         kTaperShort,
         1,
         {no, 1.191754, no, 0.595202, no, no}},
        {"a tapered ball with its top above the corner centre",
         {2, ball_corner, 3, 10 * kDegree, 0},
         kConeTapered,
         kTaperBallHigh,
         1,
         {0, no, no, no, no, no}},
        {"a tapered ball with its top below the corner centre",
         {2, ball_corner, 1.1, 10 * kDegree, 0},
         kConeTapered,
         kTaperBallLow,
         0,
         {0, no, no, no, no, no}},
        {"a tapered ball whose bisector apex lies below the centre is short",
         {2, ball_corner, 0.5, 10 * kDegree, 0},
         kConeTapered,
         kTaperShort,
         1,
         {0, no, no, no, no, no}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        cone_state_block = cone_state{};
        EXPECT_EQ(cone_contact_setup(r.cutter), r.setup_answer);
        const cone_cutter_model& m = cone_state_block.model;
        EXPECT_EQ(m.cutter_class, r.cutter_class);
        EXPECT_EQ(m.taper_class, r.taper_class);
        EXPECT_EQ(m.rc, r.cutter[1] + r.cutter[4]);
        const double found[6] = {m.c18, m.h2, m.c28, m.h0, m.cone_apex, m.cylinder_radius};
        const char* names[6] = {"c18", "h2", "c28", "h0", "cone apex", "cylinder radius"};
        for (int k = 0; k < 6; ++k) {
            if (!std::isnan(r.sizes[k])) {
                EXPECT_NEAR(found[k], r.sizes[k], 1e-6) << names[k];
            }
        }
        if (m.taper_class == kTaperShort) {
            // The crossing lies on both bisectors, and the 45 degree line through it meets the
            // axis at h4; none of them divides by zero.
            EXPECT_NEAR(m.crossing_radius, m.zone_ratio[0] * (m.h0 - m.hx), 1e-12);
            EXPECT_NEAR(m.crossing_radius, m.zone_ratio[2] * (m.h2 - m.hx), 1e-12);
            EXPECT_DOUBLE_EQ(m.h4, m.hx + m.crossing_radius);
            EXPECT_TRUE(std::isfinite(m.h4));
        }
    }
}

TEST_F(ConeKernel, SubClassNineTakesTheElementsOfEight)
{
    double cutter[5];
    lowest_tapered_ball(cutter);
    EXPECT_EQ(cone_contact_setup(cutter), 1) << "still not sub-class 8 for the front end";
    ASSERT_EQ(cone_state_block.model.taper_class, kTaperBallLowest);
    EXPECT_EQ(cone_state_block.model.sphere_radius, cutter[1]);
    EXPECT_EQ(cone_state_block.model.cylinder_radius, cone_state_block.model.c28);
    // A triangle through the ball part is met, not left at the marker.
    const double through[9] = {-5, -5, 1, 5, -5, 1, 0, 5, 1};
    EXPECT_NEAR(distance_of(cutter, through).distance, -1, 1e-9);
    const double beside[9] = {3, -1, 1, 3, 1, 1, 3, 0, 5};
    EXPECT_LT(distance_of(cutter, beside).distance, 1e26);
}

TEST_F(ConeKernel, SetupRunsOnFirstUseAndWhenAValueChanges)
{
    const double cutter[5] = {8, 0.5, 15, 3 * kDegree, 0};
    double moved[5] = {8, 0.5, 15, 3 * kDegree, 0};
    // The set-up is seen through c18, put out of place between the calls.
    cone_contact_setup(cutter);
    cone_state_block.model.c18 = 99;
    load(cutter);
    EXPECT_NE(cone_state_block.model.c18, 99) << "the first call runs it although the cutter was loaded";
    cone_state_block.model.c18 = 99;
    load(cutter);
    EXPECT_EQ(cone_state_block.model.c18, 99) << "the same values: not again";
    moved[4] = 0.1;
    load(moved);
    EXPECT_NE(cone_state_block.model.c18, 99) << "a changed offset runs it";
    EXPECT_EQ(cone_state_block.model.rc, 0.6);
}

TEST_F(ConeKernel, RecordsMeasureTheirElement)
{
    const double flat[5] = {4, 0, 6, 0, 0}, ball[5] = {4, 2, 6, 0, 0}, bull[5] = {4, 0.5, 6, 0, 0};
    const double taper[5] = {4, 0.5, 8, 10 * kDegree, 0.2};
    struct row {
        const char* what;
        const double* cutter;
        void (*record)(const cone_vec&);
        cone_record cone_state::*kept;
        cone_vec circle_point;  // placed before the rim and torus records
        cone_vec point;
        double distance;
        cone_vec cutter_point;
    };
    const double tan_a = std::tan(10 * kDegree);
    const double taper_apex = 8.2 - (0.2 / std::cos(10 * kDegree) + 2 + 8 * tan_a) / tan_a;
    const double cone_depth = (1 - taper_apex) * std::sin(10 * kDegree);  // of the axis point at height 1
    const row rows[] = {
        {"a point on the sphere", ball, record_sphere_contact, &cone_state::sphere, {}, {2, 0, 2}, 0, {2, 0, 2}},
        {"the sphere centre itself", ball, record_sphere_contact, &cone_state::sphere, {}, {0, 0, 2}, -2, {0, 0, 0}},
        {"0.5 below the flat bottom",
         flat,
         record_bottom_contact,
         &cone_state::bottom,
         {},
         {0.3, 0.4, -0.5},
         0.5,
         {0.3, 0.4, 0}},
        {"on the axis above the bottom",
         flat,
         record_cylinder_contact,
         &cone_state::cylinder,
         {},
         {0, 0, 1},
         -2,
         {2, 0, 1}},
        {"beside the cylinder", flat, record_cylinder_contact, &cone_state::cylinder, {}, {0, -3, 5}, 1, {0, -2, 5}},
        {"the torus from its circle point",
         bull,
         record_torus_contact,
         &cone_state::torus,
         {1.5, 0, 0.5},
         {2.5, 0, 0.5},
         0.5,
         {2, 0, 0.5}},
        {"the rim from its circle point",
         taper,
         record_rim_contact,
         &cone_state::rim,
         {2 + 8 * tan_a, 0, 8.2},
         {2 + 8 * tan_a, 0, 9.2},
         0.8,
         {2 + 8 * tan_a, 0, 8.4}},
        {"a point on the rim circle itself goes out from the taper top",
         taper,
         record_rim_contact,
         &cone_state::rim,
         {2 + 8 * tan_a, 0, 8.2},
         {2 + 8 * tan_a, 0, 8.2},
         -0.2,
         {2.2 + 8 * tan_a, 0, 8.2}},
        {"the cone on the axis",
         taper,
         record_cone_contact,
         &cone_state::cone,
         {},
         {0, 0, 1},
         -cone_depth,
         {cone_depth * std::cos(10 * kDegree), 0, 1 - cone_depth * std::sin(10 * kDegree)}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        load(r.cutter);
        cone_state_block.circle_point = r.circle_point;
        r.record(r.point);
        const cone_record& kept = cone_state_block.*r.kept;
        EXPECT_EQ(kept.empty, 0);
        EXPECT_NEAR(kept.distance, r.distance, 1e-9);
        expect_point(kept.cutter_point, r.cutter_point.x, r.cutter_point.y, r.cutter_point.z, "cutter point");
        expect_point(kept.triangle_point, r.point.x, r.point.y, r.point.z, "triangle point");
    }

    // An equal candidate never replaces the one kept; a smaller one does.
    load(flat);
    record_bottom_contact({0.3, 0.4, -0.5});
    record_bottom_contact({-1, 1, -0.5});
    EXPECT_EQ(cone_state_block.bottom.triangle_point.x, 0.3);
    record_bottom_contact({-1, 1, -0.25});
    EXPECT_EQ(cone_state_block.bottom.distance, 0.25);
}

TEST_F(ConeKernel, EqualRecordsReportTheEarlierElement)
{
    // A vertical triangle of a ball: one edge through the ball centre gives the sphere -R, another
    // crossing the axis above it the cylinder -R; the cylinder comes first.
    const double ball[5] = {4, 2, 6, 0, 0};
    const double triangle[9] = {0, 0, 2, 1, 0, 3, 1, 0, 1};
    const kernel_call call = distance_of(ball, triangle);
    EXPECT_EQ(cone_state_block.sphere.distance, -2);
    EXPECT_EQ(call.distance, -2);
    EXPECT_EQ(call.points[0], 2) << "the cylinder's cutter point, not the sphere's";
    EXPECT_EQ(call.points[2], 2);
}

TEST_F(ConeKernel, EdgeGeometry)
{
    const double bull[5] = {10, 0.5, 6, 0, 0};  // zone cone 0: apex at 5, ratio 1
    const double taper[5] = {4, 0.5, 8, 10 * kDegree, 0};
    load(bull);
    cone_state& s = cone_state_block;
    s.zone_index = 0;

    // An edge lying on the zone cone; one touching it (two equal roots at t = -1).
    s.lower = {0, 0, 5};
    s.upper = {3, 0, 8};
    edge_zone_cone_cut();
    EXPECT_EQ(s.cut_count, 3);
    s.lower = {2, 1, 3};
    s.upper = {2, 2, 3};
    edge_zone_cone_cut();
    EXPECT_EQ(s.cut_count, 2);
    EXPECT_EQ(s.t1, s.t2);
    EXPECT_EQ(s.t1, -1);
    // A crossing edge: both cut points lie on the cone.
    s.lower = {-6, 0.5, 1};
    s.upper = {6, 0.5, 2};
    edge_zone_cone_cut();
    ASSERT_EQ(s.cut_count, 2);
    for (const cone_vec& p : {s.first_cut, s.second_cut}) EXPECT_NEAR(std::hypot(p.x, p.y), 5 - p.z, 1e-9);

    // A vertical edge meets a circle at the circle's height; it takes its upper end as nearest
    // the axis, and so does an edge without length, each with its own parameter.
    s.upper = {3, 1, 4};
    s.lower = {3, 1, -2};
    s.edge_circle_centre = {0, 0, 0.5};
    s.edge_circle_radius = 4.5;
    edge_circle_nearest();
    expect_point(s.edge_point, 3, 1, 0.5, "vertical edge");
    expect_point(s.circle_point, 4.5 * 3 / std::sqrt(10.0), 4.5 / std::sqrt(10.0), 0.5, "its circle point");
    s.t1 = 0.7;
    edge_nearest_axis();
    EXPECT_EQ(s.t1, 0);
    expect_point(s.edge_point, 3, 1, 4, "vertical edge nearest the axis");
    s.lower = s.upper;
    s.t1 = 0.7;
    edge_nearest_axis();
    EXPECT_EQ(s.t1, 0);

    // The nearest pair of an edge and a circle against a fine search over both.
    s.upper = {2, -3, 2.5};
    s.lower = {5, 4, -0.5};
    edge_circle_nearest();
    double best = 1e9;
    for (int i = 0; i <= 20000; ++i)
        for (int j = 0; j < 360; ++j) {
            const double t = i / 20000.0, phi = j * M_PI / 180;
            const cone_vec e = s.upper + t * (s.lower - s.upper);
            const cone_vec c{4.5 * std::cos(phi), 4.5 * std::sin(phi), 0.5};
            best = std::min(best, length(e - c));
        }
    EXPECT_NEAR(length(s.edge_point - s.circle_point), best, 2e-3);
    EXPECT_NEAR(std::hypot(s.circle_point.x, s.circle_point.y), 4.5, 1e-9);

    // The offset cone: an edge steeper than its generators has no nearest pair.
    load(taper);
    s.upper = {3, 0, 9};
    s.lower = {3.1, 0, 2};
    edge_cone_nearest();
    EXPECT_EQ(s.t1, -1);
    // One whose plan line runs through the axis takes the generator in the azimuth of its point
    // nearest the axis.
    const double tan_a = std::tan(10 * kDegree);
    for (double side : {1.0, -1.0}) {
        s.upper = {0.005, side * 5e-9, 3.001};
        s.lower = {-0.005, side * 5e-9, 3};
        edge_cone_nearest();
        EXPECT_EQ(s.t1, 0.5);
        EXPECT_NEAR(s.cone_foot.x, 0, 1e-12);
        EXPECT_GT(side * s.cone_foot.y, 0);
        EXPECT_NEAR(std::fabs(s.cone_foot.y), (s.cone_foot.z - s.cone_apex.z) * tan_a, 1e-9) << "on the cone";
    }
    // Any other: the nearest pair against a fine search along the edge.
    s.upper = {5, 1, 6};
    s.lower = {3, -2, 2};
    edge_cone_nearest();
    ASSERT_TRUE(within_unit(s.t1));
    double nearest = 1e9;
    for (int i = 0; i <= 100000; ++i) {
        const cone_vec p = s.upper + (i / 100000.0) * (s.lower - s.upper);
        const double rho = std::hypot(p.x, p.y), rise = p.z - s.cone_apex.z;
        nearest = std::min(nearest, rho * std::cos(10 * kDegree) - rise * std::sin(10 * kDegree));
    }
    EXPECT_NEAR(length(s.edge_point - s.cone_foot), nearest, 1e-6);
}

TEST_F(ConeKernel, FaceStage)
{
    const double flat[5] = {4, 0, 6, 0, 0}, ball[5] = {4, 2, 6, 0, 0};
    const double taper[5] = {8, 0.5, 15, 3 * kDegree, 0};
    struct row {
        const char* what;
        const double* cutter;
        double triangle[9];
        int face;  // what cone_face_contact answers
        double distance;
        int selector;  // the tapered face element's record, 0 unchecked
    };
    const row rows[] = {
        {"level below a flat end: the torus of tube 0 gives the gap",
         flat,
         {-8, -5, -0.3, 4, -5, -0.3, 4, 8, -0.3},
         1,
         0.3,
         0},
        {"level above the corner bisector point: minus the cylinder radius",
         flat,
         {-8, -5, 3, 4, -5, 3, 4, 8, 3},
         1,
         -2,
         0},
        {"level below a ball: the sphere", ball, {-8, -5, -0.3, 4, -5, -0.3, 4, 8, -0.3}, 1, 0.3, 0},
        {"level below a taper: the corner torus",
         taper,
         {-8, -5, -0.3, 9, -5, -0.3, 9, 9, -0.3},
         1,
         0.3,
         kElementTorus},
        {"the foot just outside: left to the edges, which find the bottom",
         flat,
         {1.999999, -5, -0.3, 1.999999, 5, -0.3, -8, 0, -0.3},
         0,
         0.3,
         0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_NEAR(distance_of(r.cutter, r.triangle).distance, r.distance, 1e-9);
        if (r.selector != 0) {
            EXPECT_EQ(cone_state_block.face_selector, r.selector);
        }
        EXPECT_EQ(cone_face_contact(), r.face);
    }

    // A face inclined exactly at the taper's complement meets the top of the taper; a taper a
    // little smaller makes it meet the corner.
    const double steep[9] = {6, -3, 0, 6, 3, 0, 5, 0, 8};
    const cone_vec e1{0, 6, 0}, e2{-1, 3, 8};
    const cone_vec n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
    const cone_vec scaled = (1 / abs_sum(n)) * n;
    const double c = std::fabs(scaled.z) / length(scaled);
    double a = std::asin(c);
    for (int k = 0; k < 64 && std::sin(a) != c; ++k) a = std::nextafter(a, std::sin(a) < c ? 1.0 : 0.0);
    ASSERT_EQ(std::sin(a), c);
    double smaller = a;
    for (int k = 0; k < 64 && !(std::sin(smaller) < c); ++k) smaller = std::nextafter(smaller, 0.0);
    for (const auto& [angle, selector] : {std::pair{a, kElementRim}, std::pair{smaller, kElementTorus}}) {
        const double cutter[5] = {8, 0.5, 15, angle, 0};
        distance_of(cutter, steep);
        EXPECT_EQ(cone_state_block.face_selector, selector) << angle;
    }
}

TEST_F(ConeKernel, EdgesAndVertices)
{
    const double ball[5] = {4, 2, 6, 0, 0}, bull[5] = {4, 0.5, 6, 0, 0};
    // An edge of a ball crossing the centre height through the axis.
    const double through_ball[9] = {-1, 0, 1, 1, 0, 3, 3, 0, 3};
    const kernel_call ball_call = distance_of(ball, through_ball);
    EXPECT_EQ(ball_call.distance, -2);
    EXPECT_EQ(ball_call.points[0], 2);
    // A level edge below a bull-nose's corner centre, outside its corner circle: its point
    // nearest the axis against the torus.
    const double level[9] = {2, -1, 0.2, 2, 1, 0.2, 2, 0, 0.1};
    const kernel_call bull_call = distance_of(bull, level);
    EXPECT_NEAR(bull_call.distance, std::hypot(0.5, 0.3) - 0.5, 1e-12);
    EXPECT_NEAR(bull_call.points[3], 2, 1e-12);
    EXPECT_NEAR(bull_call.points[4], 0, 1e-12);

    // A tapered cutter tests a vertex only when neither of its edges recorded a contact inside
    // itself: the vertex (8, 0, 14.9) lies in the rim's zone, and only the rim could record it.
    const double taper[5] = {8, 0.5, 15, 3 * kDegree, 0};
    struct row {
        const char* what;
        double triangle[9];
        bool rim_recorded;
    };
    const row rows[] = {
        {"both of its edges cross the cylinder", {8, 0, 14.9, -8, 0, 30, -8, 0, 25}, false},
        {"neither of them comes near", {8, 0, 14.9, 9, 0, 30, 9.5, 0, 20}, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        distance_of(taper, r.triangle);
        EXPECT_EQ(cone_state_block.rim.empty == 0, r.rim_recorded);
        if (r.rim_recorded) expect_point(cone_state_block.rim.triangle_point, 8, 0, 14.9, "the vertex");
    }
}

TEST_F(ConeKernel, TrianglesOnTheJointsOfTheElements)
{
    // Triangles with their corners on lattices of the cutter's sizes, each of which once came out
    // clear while it entered or touched the cutter.
    const double bull[5] = {4, 0.5, 6, 0, 0.1};
    const double tapered_ball[5] = {4, 2 * cone_tan_beta(10 * kDegree), 6, 10 * kDegree, 0};
    struct row {
        const char* what;
        const double* cutter;
        double plan_step, height_step;  // 0: the taper top's radius / 2, the corner radius / 2
        int corners[9];                 // multiples of the steps
        double distance;
    };
    const double third = (2 + 0.1) / 3;  // of the bull-nose's effective radius
    const row rows[] = {
        {"a bull-nose edge leaving the bottom's zone at its lower end, deep inside",
         bull,
         third,
         third,
         {1, 0, 2, 5, -4, 6, 4, 5, 3},
         -1.4},
        {"a tapered ball's face through its rim circle, on the normal at the taper top",
         tapered_ball,
         0,
         2,
         {-3, 0, 5, 2, -5, -4, 4, -6, -5},
         0},
        {"a tapered ball's edge through the ball's centre, running into the side going up",
         tapered_ball,
         0,
         0,
         {1, -2, -5, -3, 5, 5, 3, -5, -1},
         -2 * cone_tan_beta(10 * kDegree)},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        cone_contact_setup(r.cutter);
        const double plan = r.plan_step > 0 ? r.plan_step : cone_state_block.model.c28 / 2;
        const double height = r.height_step > 0 ? r.height_step : cone_state_block.model.rc / 2;
        double triangle[9];
        for (int k = 0; k < 9; ++k) triangle[k] = r.corners[k] * (k % 3 == 2 ? height : plan);
        EXPECT_NEAR(distance_of(r.cutter, triangle).distance, r.distance, 1e-9);
    }
}

TEST_F(ConeKernel, DegenerateTrianglesGiveFiniteDistances)
{
    const double ball_corner = 2 * cone_tan_beta(10 * kDegree);
    const double cutters[][5] = {{4, 0, 6, 0, 0},
                                 {4, 2, 6, 0, 0},
                                 {4, 0.5, 6, 0, 0.1},
                                 {8, 0.5, 15, 3 * kDegree, 0.2},
                                 {2, 1, 0.9, 10 * kDegree, 0},
                                 {4, ball_corner, 6, 10 * kDegree, 0},
                                 {4, ball_corner, 2.3, 10 * kDegree, 0}};
    const double triangles[][9] = {
        {1, 1, 1, 1, 1, 1, 1, 1, 1},         // a single point
        {0, 0, 1, 0, 0, 1, 0, 0, 1},         // a single point on the axis
        {0, 0, 0.5, 0, 0, 0.5, 1, 1, 2},     // an edge without length, on the axis
        {-1, -1, 0, 0, 0, 1, 1, 1, 2},       // collinear, through the axis
        {3, 0, 0, 3, 0, 4, 3, 0, 9},         // collinear and vertical
        {0, 0, -1, 0, 0, 3, 1, 0, 1},        // vertical, an edge on the axis
        {-2, 0, 1, 2, 0, 1, 0, 0, 5},        // vertical through the axis
        {-2, 0, 0.5, 2, 0, 0.5, 0, 2, 0.5},  // level at the corner centre height
    };
    for (const auto& c : cutters)
        for (const auto& t : triangles) {
            SCOPED_TRACE("cutter " + std::to_string(c[0]) + ", " + std::to_string(c[1]) + ", " + std::to_string(c[2]) +
                         "; triangle " + std::to_string(&t - triangles));
            const kernel_call call = distance_of(c, t);
            EXPECT_TRUE(std::isfinite(call.distance));
            EXPECT_LT(call.distance, 1e26) << "something is recorded";
            for (double p : call.points) EXPECT_TRUE(std::isfinite(p));
        }
}
