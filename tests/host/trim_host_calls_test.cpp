// The host calls of trimming: crossings of a polyline with a contour (against the point-in-polygon
// test), angles about a centre, transformations, pieces of splines, the weighted approximation
// (every point within the tolerance of the curve), the settings of a contour definition, and the
// mode fields, pull-down menu and surface ids of a procedure.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

namespace control = vantu::control;

constexpr double kPi = std::numbers::pi;

class TrimHostCalls : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }
};

int side(const std::vector<double>& polygon, double x, double y)
{
    const double p[2] = {x, y};
    int result = 0;
    inpold(1.0e-9, polygon.data(), static_cast<int>(polygon.size() / 2), p, result);
    return result;
}

}  // namespace

TEST_F(TrimHostCalls, CrossingsLieOnBothListsAndChangeTheSide)
{
    const std::vector<double> square{0, 0, 4, 0, 4, 4, 0, 4, 0, 0};
    // Seeded segments against a seeded polygon: each crossing lies on its two segments, and the
    // count is odd exactly when the ends lie on different sides.
    constexpr unsigned kSeed = 4402;
    std::mt19937 random(kSeed);
    std::uniform_real_distribution<double> place(-12.0, 12.0), radius(3.0, 10.0);
    std::vector<double> polygon;
    for (int i = 0; i < 9; ++i) {
        const double r = radius(random), a = 2 * kPi * i / 9;
        polygon.insert(polygon.end(), {r * std::cos(a), r * std::sin(a)});
    }
    for (int trial = 0; trial < 300; ++trial) {
        const std::vector<double> line{place(random), place(random), place(random), place(random)};
        polyline_crossing found[kInd2poMost];
        int count = 0, status = 0;
        ind2po(line.data(), 2, polygon.data(), 9, kInd2poMost, found, count, status);
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", trial " + std::to_string(trial));
        for (int k = 0; k < count; ++k) {
            const polyline_crossing& c = found[k];
            const int e = c.contour_segment - 1, f = c.contour_segment % 9;
            EXPECT_NEAR(c.point[0], line[0] + c.along * (line[2] - line[0]), 1e-9);
            EXPECT_NEAR(c.point[0], polygon[2 * e] + c.contour_along * (polygon[2 * f] - polygon[2 * e]), 1e-9);
            EXPECT_NEAR(c.point[1], polygon[2 * e + 1] + c.contour_along * (polygon[2 * f + 1] - polygon[2 * e + 1]),
                        1e-9);
        }
        EXPECT_EQ(count % 2 == 1, side(polygon, line[0], line[1]) != side(polygon, line[2], line[3]));
    }
    // More crossings than room: the first ones and status 1; a bad list: -1.
    const std::vector<double> zigzag{-1, 1, 5, 1, -1, 2, 5, 2};
    polyline_crossing two[2];
    int count = 0, status = 0;
    ind2po(zigzag.data(), 4, square.data(), 5, 2, two, count, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(count, 2);
    EXPECT_NEAR(two[1].point[0], 4.0, 1e-12);
    ind2po(zigzag.data(), 1, square.data(), 5, 2, two, count, status);
    EXPECT_EQ(status, -1);
}

TEST_F(TrimHostCalls, TransformationsMapIntoTheirFrameAndAnglesUseThePlanesAxes)
{
    const double centre[3] = {1, 2, 3};
    for (const auto& [plane, point, expected_angle, expected_status] :
         {std::tuple{kAngpntXY, std::array<double, 3>{1, 5, 9}, kPi / 2, 0},
          std::tuple{kAngpntXZ, std::array<double, 3>{1, 7, 2}, 3 * kPi / 2, 0},
          std::tuple{kAngpntYZ, std::array<double, 3>{9, 3, 4}, kPi / 4, 0},
          std::tuple{kAngpntYZ, std::array<double, 3>{5, 2, 3}, 0.0, -1},
          std::tuple{4, std::array<double, 3>{2, 2, 3}, 0.0, -1}}) {
        double angle = -1;
        int status = 5;
        angpnt(plane, centre, point.data(), angle, status);
        EXPECT_EQ(status, expected_status) << plane;
        EXPECT_NEAR(angle, expected_angle, 1e-12) << plane;
    }
    const double s = std::sqrt(0.5);
    const double turned[9] = {s, s, 0, -s, s, 0, 0, 0, 1}, skewed[9] = {1, 0.1, 0, 0, 1, 0, 0, 0, 1},
                 mirrored[9] = {-1, 0, 0, 0, 1, 0, 0, 0, 1}, identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    int kind = 9;
    for (const auto& [rotation, expected] :
         {std::pair{turned, kRotationProper}, std::pair{skewed, kRotationBad}, std::pair{mirrored, kRotationBad},
          std::pair{identity, kRotationIdentity}}) {
        trchkd(rotation, kind);
        EXPECT_EQ(kind, expected);
    }
    // The frame's origin maps to 0 and its axes to the unit vectors.
    const double origin[3] = {3, 1, 2};
    double transform[kTransformDoubles], mapped[3];
    int status = -1;
    m3crtd(turned, origin, transform, status);
    ASSERT_EQ(status, 0);
    const double along_x[3] = {3 + s, 1 + s, 2}, along_y[3] = {3 - s, 1 + s, 2}, above[3] = {3, 1, 7};
    const std::pair<const double*, std::array<double, 3>> cases[] = {
        {origin, {0, 0, 0}}, {along_x, {1, 0, 0}}, {along_y, {0, 1, 0}}, {above, {0, 0, 5}}};
    for (const auto& [point, expected] : cases) {
        m3vc2d(transform, point, mapped);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(mapped[i], expected[i], 1e-12);
    }
    m3crtd(skewed, origin, transform, status);
    EXPECT_EQ(status, -1);
    // The view's rotation and the world plane.
    double view[kRotationDoubles];
    EXPECT_FALSE(control::set_view_rotation(std::vector<double>(skewed, skewed + 9)));
    ASSERT_TRUE(control::set_view_rotation(std::vector<double>(turned, turned + 9)));
    gtvrot(view);
    EXPECT_EQ(view[1], s);
    trgetd(0, transform, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(transform[0] + transform[4] + transform[8] + transform[9], 3.0);
    trgetd(control::add_point({0, 0, 0}), transform, status);
    EXPECT_EQ(status, -1) << "no UCS";
}

TEST_F(TrimHostCalls, SplinePiecesPassThroughTheCurve)
{
    constexpr unsigned kSeed = 4403;
    std::mt19937 random(kSeed);
    std::uniform_real_distribution<float> place(-5.0f, 5.0f);
    const std::vector<float> knots{0, 0, 0, 0, 1, 2, 2.5f, 4, 4, 4, 4};
    std::vector<float> points;
    for (int i = 0; i < 7 * 3; ++i) points.push_back(place(random));
    int id = 0, status = -1;
    evbcre_bsp(-1, 3, 4, 7, knots.data(), points.data(), id, status);
    ASSERT_EQ(status, 0);
    struct row {
        double t0, t1;
    } rows[] = {{0, 4}, {0.5, 3.7}, {1, 2}, {2.2, 2.3}, {0, 1.5}};
    for (const row& r : rows) {
        int order = 0, count = 0;
        std::vector<double> piece_knots(40), control(3 * 40);
        bcrtrme(id, r.t0, r.t1, 30, order, count, piece_knots.data(), control.data(), status);
        ASSERT_EQ(status, 0) << r.t0;
        ASSERT_EQ(order, 4);
        EXPECT_EQ(piece_knots[0], r.t0);
        EXPECT_EQ(piece_knots[static_cast<std::size_t>(count + order - 1)], r.t1);
        const std::vector<float> fk(piece_knots.begin(), piece_knots.begin() + count + order),
            fc(control.begin(), control.begin() + 3 * count);
        int piece = 0;
        evbcre_bsp(-1, 3, order, count, fk.data(), fc.data(), piece, status);
        ASSERT_EQ(status, 0);
        for (int i = 0; i <= 10; ++i) {
            const double t = r.t0 + (r.t1 - r.t0) * i / 10.0;
            double on_curve[6], closest[3], parameter = 0, distance = 0;
            evbcrv(id, t, 1, on_curve, status);
            ASSERT_EQ(status, 0);
            cptcrv2(piece, on_curve, t, t, closest, parameter, distance, status);
            EXPECT_LT(distance, 1e-4) << "seed " << kSeed << ", piece " << r.t0 << ".." << r.t1 << " at " << t;
        }
        evbfre(piece);
    }
    int order = 0, count = 0;
    double k[8], c[24];
    bcrtrme(id, 0, 4, 2, order, count, k, c, status);
    EXPECT_EQ(status, -2) << "no room";
    evbcrv(id + 100, 0, 0, c, status);
    EXPECT_EQ(status, -1) << "no temporary curve";
    evbfre(id);
}

TEST_F(TrimHostCalls, ApproximationKeepsEveryPointWithinTheTolerance)
{
    constexpr unsigned kSeed = 4404;
    std::mt19937 random(kSeed);
    std::uniform_real_distribution<double> wobble(-0.002, 0.002), amplitude(0.5, 3.0);
    for (int trial = 0; trial < 8; ++trial) {
        const int dimension = 2 + trial % 2, count = 20 + 15 * trial;
        const double tolerance = trial % 3 == 0 ? 0.001 : 0.02, a = amplitude(random);
        std::vector<double> points;
        for (int i = 0; i < count; ++i) {
            const double x = 10.0 * i / (count - 1);
            points.push_back(x + wobble(random));
            points.push_back(a * std::sin(x) + wobble(random));
            if (dimension == 3) points.push_back(a * std::cos(0.7 * x));
        }
        const std::vector<double> weights(static_cast<std::size_t>(count), trial % 2 == 0 ? 1.0 : 2.0);
        const int room = count + 2;
        std::vector<double> knots(static_cast<std::size_t>(room + 4)), control(3 * static_cast<std::size_t>(room));
        int made = 0, status = 0;
        itrnrpt(dimension, 4, count, points.data(), weights.data(), tolerance, room, knots.data(), control.data(), made,
                status);
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", trial " + std::to_string(trial));
        ASSERT_EQ(status, 1);
        const int n = made + 2;
        ASSERT_LE(n, room);
        std::vector<float> fk(knots.begin(), knots.begin() + n + 4), fc;
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < 3; ++c)
                fc.push_back(c < dimension ? static_cast<float>(control[static_cast<std::size_t>(i * dimension + c)])
                                           : 0.0f);
        }
        int curve = 0;
        evbcre_bsp(-1, 3, 4, n, fk.data(), fc.data(), curve, status);
        ASSERT_EQ(status, 0);
        // The curve as a fine polyline (its chords stray from it by far less than 1e-5).
        std::vector<std::array<double, 3>> samples(4001);
        for (std::size_t k = 0; k < samples.size(); ++k)
            evbcrv(curve, static_cast<double>(k) / 4000.0, 0, samples[k].data(), status);
        for (int i = 0; i < count; ++i) {
            double p[3] = {0, 0, 0}, foot[3], t = 0, d = 0, nearest = 1e300;
            std::copy_n(&points[static_cast<std::size_t>(i * dimension)], dimension, p);
            for (std::size_t k = 0; k + 1 < samples.size(); ++k) {
                dsdlpt(2, 3, p, samples[k].data(), samples[k + 1].data(), foot, t, d, status);
                nearest = std::min(nearest, d);
            }
            EXPECT_LE(nearest, tolerance + 1e-5) << "point " << i;
        }
        evbfre(curve);
        if (tolerance > 0.01) {
            EXPECT_LT(n, count) << "a loose tolerance needs fewer control points than points";
        }
    }
    // Refused: another dimension, points that do not move, a weight of 0.
    const std::vector<double> line{0, 0, 1, 1, 2, 2, 3, 3}, still(8, 1.0), zero_weight{1, 0, 1, 1};
    double knots[12], control[24];
    int made = 9, status = 9;
    for (const auto& [dimension, points, weights, tolerance] :
         {std::tuple{4, line, std::vector<double>{}, 0.1}, std::tuple{2, still, std::vector<double>{}, 0.1},
          std::tuple{2, line, zero_weight, 0.1}}) {
        itrnrpt(dimension, 4, 4, points.data(), weights.empty() ? nullptr : weights.data(), tolerance, 6, knots,
                control, made, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(made, 0);
    }
}

TEST_F(TrimHostCalls, DefinitionSettingsShapeTheContourPicked)
{
    // A clockwise square (a) and an open corner with a climbing leg (b).
    const int a = control::add_line({0, 0, 0}, {0, 4, 0});
    control::add_line({0, 4, 0}, {4, 4, 0});
    control::add_line({4, 4, 0}, {4, 0, 0});
    control::add_line({4, 0, 0}, {0, 0, 0});
    const int b = control::add_line({10, 0, 0}, {12, 0, 0});
    control::add_line({12, 0, 0}, {12, 3, 2});
    struct row {
        const char* what;
        int pick;
        int mode, closed_only, sense, flat, most;
        int status, length;
        double area_sign;  // of the contour picked: +1 counter-clockwise, -1 clockwise, 0 not judged
    } rows[] = {
        {"chained as picked", a, kPickChain, 0, kSenseAsPicked, 0, 0, 0, 4, -1},
        {"made counter-clockwise", a, kPickChain, 0, kSenseCounterClockwise, 0, 0, 0, 4, +1},
        {"single curve", a, kPickSingle, 0, kSenseAsPicked, 0, 0, 0, 1, 0},
        {"open refused", b, kPickChain, 1, kSenseAsPicked, 0, 0, kDefinitionOpen, 0, 0},
        {"not flat refused", b, kPickChain, 0, kSenseAsPicked, 1, 0, kDefinitionNotFlat, 0, 0},
        {"too many curves", a, kPickChain, 0, kSenseAsPicked, 0, 3, kRecordNoRoom, 0, 0},
    };
    for (const row& r : rows) {
        control::load_script_text("[{\"pick\": " + std::to_string(r.pick) + "}]", r.what);
        int status = 0;
        dfdini(0.001, status);
        dfdtol(0.01, status);
        EXPECT_EQ(status, 0);
        setmf(r.mode);
        dfd1cg(r.closed_only);
        dfdsrs(r.sense);
        int flat = r.flat, most = r.most;
        gsplgc(2, flat);
        gscntv(2, most);
        gscntv(1, most);
        EXPECT_EQ(most, r.most) << r.what;
        std::vector<int> record(2 * 10, 0);
        int length = -1;
        dfdc(10, record.data(), length, status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(length, r.length) << r.what;
        if (status != 0) continue;
        int id = 0, entity = 0;
        double data[3];
        dfdgid(record.data(), id, status);
        dfdget(record.data(), 1, entity, data, status);
        EXPECT_EQ(id, entity) << r.what;
        if (r.area_sign == 0) continue;
        float points[2 * 12];
        int count = 0;
        dfcpol(record.data(), 1, 0.01f, 12, points, count);
        float area = 0;
        plarea(count, points, 0, area, status);
        EXPECT_EQ(area > 0 ? 1.0 : -1.0, r.area_sign) << r.what;
    }
    int status = 0;
    dfdtol(-1.0, status);
    EXPECT_EQ(status, -1);
    const int none[2] = {0, 0};
    int id = 5;
    dfdgid(none, id, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(id, 0);
}

TEST_F(TrimHostCalls, ModeFieldsMenuAndSurfaceIds)
{
    statmc(2, "CHAIN    X", 9);
    EXPECT_EQ(control::mode_field(2), "CHAIN    ");
    statbl(2);
    EXPECT_EQ(control::mode_field(2), "");
    statmc(kModeFields + 1, "LOST", 9);
    EXPECT_EQ(control::mode_field(kModeFields + 1), "");
    control::load_script_text(R"([{"menu": "VERTICAL"}, {"menu": -1}])", "pull-down");
    for (int expected : {3, -1}) {
        int choice = 0;
        pdmenc("SINGLE@CHAIN@VERTICAL", choice);
        EXPECT_EQ(choice, expected);
    }
    const int picked[3] = {11, 12, 13};
    int put = 9;
    nc_surf_set_ids(3, 3, picked, put);
    EXPECT_EQ(put, -1) << "no fourth buffer";
    nc_surf_set_ids(0, 3, picked, put);
    ASSERT_EQ(put, 0);
    struct row {
        int buffer, room, status, count;
    } rows[] = {{0, 5, 0, 3}, {0, 2, -2, 3}, {3, 5, -1, 0}};
    for (const row& r : rows) {
        int ids[5] = {}, count = -1, status = 9;
        nc_surf_ids(r.buffer, r.room, ids, count, status);
        EXPECT_EQ(status, r.status) << r.buffer << "/" << r.room;
        EXPECT_EQ(count, r.count) << r.buffer << "/" << r.room;
        if (status == 0 && count == 3) {
            EXPECT_EQ(ids[2], 13);
        }
    }
    nc_surf_init(1, 0);
    int ids[5], count = -1, status = 9;
    nc_surf_ids(0, 5, ids, count, status);
    EXPECT_EQ(count, 0) << "emptied";
}

TEST_F(TrimHostCalls, PartNamesTheProcedureSurfaces)
{
    // A part's lists, each optional; a list that is not of ids refuses the part.
    for (const auto& [section, part, check] :
         {std::tuple{R"({"part": [20, 21], "check": [7]})", 2, 1}, std::tuple{R"({"check": [7]})", 0, 1},
          std::tuple{R"({"part": ["x"]})", -1, 0}}) {
        control::reset();
        const std::string text = std::string(R"({"procedure_surfaces": )") + section + "}";
        if (part < 0)
            EXPECT_THROW(control::load_part_text(text, "part"), control::part_error);
        else
            control::load_part_text(text, "part");
        int ids[5] = {}, count = -1, status = 0;
        nc_surf_ids(0, 5, ids, count, status);
        EXPECT_EQ(count, std::max(part, 0)) << section;
        nc_surf_ids(1, 5, ids, count, status);
        EXPECT_EQ(count, check) << section;
        // Saving keeps the lists a part named, and a part without them gets no section.
        if (part < 0) continue;
        const nlohmann::json saved = nlohmann::json::parse(control::save_part_text());
        EXPECT_EQ(saved.value("procedure_surfaces", nlohmann::json()), nlohmann::json::parse(section)) << section;
    }
    control::reset();
    EXPECT_FALSE(nlohmann::json::parse(control::save_part_text()).contains("procedure_surfaces"));
}
