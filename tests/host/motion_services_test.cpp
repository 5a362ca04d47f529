// Host services of the motion output: the interpolating cubic B-spline (knots, control points,
// the approximation that answers none), the closest point of a temporary curve, polyline thinning
// with its ends kept, work and machine coordinates, the dynamic menu, the text area, the rejection
// of a pick, display units, the user error and second prompt lines, and procedure blanking.
#include "host/control.hpp"
#include "host/control/datamenu.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/script.hpp"
#include "host/control/textarea.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

namespace control = vantu::control;

// Distance from p to the polyline through points[first..last].
double distance_to_polyline(const std::vector<double>& pts, int from, int to, const double* p)
{
    double best = 1e300;
    for (int i = from; i < to; ++i) {
        const double* a = &pts[static_cast<std::size_t>(3 * i)];
        const double* b = a + 3;
        double ab[3], ap[3], along = 0, length2 = 0;
        for (int k = 0; k < 3; ++k) {
            ab[k] = b[k] - a[k];
            ap[k] = p[k] - a[k];
            along += ab[k] * ap[k];
            length2 += ab[k] * ab[k];
        }
        const double t = length2 > 0 ? std::clamp(along / length2, 0.0, 1.0) : 0.0;
        double d2 = 0;
        for (int k = 0; k < 3; ++k) d2 += (ap[k] - t * ab[k]) * (ap[k] - t * ab[k]);
        best = std::min(best, std::sqrt(d2));
    }
    return best;
}

TEST(MotionServices, InterpolatingSplinePassesItsPointsWithoutEndCurvature)
{
    control::reset();
    struct row {
        const char* name;
        std::vector<double> points;
    };
    const row rows[] = {
        {"two points", {0, 0, 0, 10, 5, 1}},
        {"three points", {0, 0, 0, 5, 5, 0, 10, 0, 2}},
        {"a wave", {0, 0, 0, 1, 2, 0, 2, 0, 1, 3, -2, 1, 4, 0, 0, 5, 1, 3}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const int n = static_cast<int>(r.points.size() / 3);
        std::vector<double> knots(static_cast<std::size_t>(interpolation_knot_count(n)));
        std::vector<double> control_points(static_cast<std::size_t>(3 * interpolation_control_count(n)));
        int status = -9, count = 0;
        cal_i_knt(3, 4, n, r.points.data(), knots.data(), status);
        ASSERT_EQ(status, 0);
        calbsp(3, 4, n, r.points.data(), knots.data(), control_points.data(), count, status);
        ASSERT_EQ(status, 0);
        ASSERT_EQ(count, n + 2);
        const std::vector<float> fk(knots.begin(), knots.end()), fc(control_points.begin(), control_points.end());
        int id = 0;
        evbcre_bsp(-1, 3, 4, count, fk.data(), fc.data(), id, status);
        ASSERT_EQ(status, 0);
        for (int i = 0; i < n; ++i) {
            double at[3], derivative[3];
            evcrvd(id, knots[static_cast<std::size_t>(3 + i)], at, derivative, status);
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(at[k], r.points[static_cast<std::size_t>(3 * i + k)], 1e-4);
            double closest[3], parameter = 0, distance = 1;
            cptcrv2(id, &r.points[static_cast<std::size_t>(3 * i)], knots.front(), knots.back(), closest, parameter,
                    distance, status);
            EXPECT_EQ(status, 0);
            EXPECT_LT(distance, 1e-4);
        }
        // No curvature at the ends: the first three control points lie on one line.
        const double* c = control_points.data();
        const double cross = (c[3] - c[0]) * (c[7] - c[1]) - (c[4] - c[1]) * (c[6] - c[0]);
        EXPECT_NEAR(cross, 0, 1e-9);
        evbfre(id);
    }
    // Refused inputs answer -1 and write nothing; the approximation answers none.
    std::vector<double> twice{1, 1, 1, 1, 1, 1}, knots(8, 7.0), out(12, 7.0);
    int status = 0, count = 0;
    cal_i_knt(3, 4, 2, twice.data(), knots.data(), status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(knots[0], 7.0);
    cal_i_knt(3, 5, 2, twice.data(), knots.data(), status);
    EXPECT_EQ(status, -1);
    const std::vector<double> decreasing{0, 0, 0, 0, 2, 1, 1, 1};
    calbsp(3, 4, 2, twice.data(), decreasing.data(), out.data(), count, status);
    EXPECT_EQ(status, -1);
    itrnrpt(3, 4, 2, twice.data(), nullptr, 0.1, 4, knots.data(), out.data(), count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(count, 0);
    double closest[3], t = 0, d = 0;
    cptcrv2(12345, twice.data(), 0, 1, closest, t, d, status);
    EXPECT_EQ(status, -1) << "no temporary curve";
}

TEST(MotionServices, ThinningKeepsEndsAndStaysWithinTolerance)
{
    control::reset();
    const unsigned seed = 20;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-0.05, 0.05);
    for (double tolerance : {0.0, 0.02, 0.2}) {
        std::vector<double> points;
        for (int i = 0; i < 200; ++i) {
            const double a = i * 0.02;
            points.insert(points.end(),
                          {20 * std::cos(a) + noise(random), 20 * std::sin(a) + noise(random), noise(random)});
        }
        const std::vector<double> original = points;
        int count = 200, status = -1;
        diluld(points.data(), count, tolerance, status);
        ASSERT_EQ(status, 0);
        ASSERT_GE(count, 2);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(points[static_cast<std::size_t>(k)], original[static_cast<std::size_t>(k)]) << "seed " << seed;
            EXPECT_EQ(points[static_cast<std::size_t>(3 * count - 3 + k)], original[static_cast<std::size_t>(597 + k)]);
        }
        for (int i = 0; i < 200; ++i)
            EXPECT_LE(distance_to_polyline(points, 0, count - 1, &original[static_cast<std::size_t>(3 * i)]),
                      tolerance + 1e-12)
                << "point " << i << " seed " << seed;
        if (tolerance == 0.2) {
            EXPECT_LT(count, 100);
        }
    }
    int count = -1, status = 0;
    diluld(nullptr, count, 0.1, status);
    EXPECT_EQ(status, -1);

    // Work to machine coordinates and back.
    const double work[3] = {1.5, -2, 3};
    double machine[3], back[3];
    madw2m(work, machine);
    madm2w(machine, back);
    for (int k = 0; k < 3; ++k) EXPECT_DOUBLE_EQ(back[k], work[k]);
}

TEST(MotionServices, DynamicMenuTextAreaAndPicks)
{
    control::reset();
    control::load_script_text(
        R"([{"menu": "GET PREV"}, {"text": "ABC"}, {"text": "TOO LONG"}, {"text": "OK"}, {"menu": 3}])", "dialogs");
    int status = 0, item = 0;
    dmmini();
    dmdefn(1, "GET NEXT   ", status);
    dmdefn(2, "GET PREV   ", status);
    dmdefn(41, "NO", status);
    EXPECT_EQ(status, -1);
    dmshow();
    dmatt(2, 1);
    dminpt(item, nullptr, 0, 0);
    EXPECT_EQ(item, 2);
    EXPECT_EQ(control::dynamic_menu_marks(), (std::vector<int>{0, 1}));

    std::string text;
    int count = 0;
    drtext("MSG=", 3, 2);
    rtextr(7, 2, 3, text, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(control::text_area_row(2), "  MSG=ABC");
    rtextr(7, 2, 3, text, count);
    EXPECT_EQ(text, "OK") << "a text longer than the input is refused and asked again";
    dblnkr(1, 2, 20);
    EXPECT_EQ(control::text_area_row(2), "");
    dsptx7("MSG=HELLO", 5, 12, 1, 1);
    EXPECT_EQ(control::text_area_row(1), "12 MSG=H");
    dmmini();
    dminpt(item, nullptr, 0, 0);
    EXPECT_EQ(item, 3) << "without a shown dynamic menu, entries go by number";

    // The last pick is taken out again; an empty list refuses.
    pickm_push(4, 7, 2, status);
    pickm_push(4, 8, 2, status);
    slrjct(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(sllen(), 1);
    slrjct(status);
    slrjct(status);
    EXPECT_EQ(status, -1);
}

TEST(MotionServices, DisplayUnitsLinesAndBlanking)
{
    control::reset();
    struct row {
        int part_unit;
        int display_unit;
        int found;
        float factor;
    };
    // getunt answers the display unit when there is one, else the part's unit, with its length
    // in millimetres.
    for (const row& r : {row{1, 0, 0, 1}, row{1, 3, 3, 25.4f}, row{3, 1, 1, 1}, row{2, 5, 5, 1000}, row{1, 9, 0, 1},
                         row{3, 0, 0, 25.4f}}) {
        control::set_flag("unit_code", r.part_unit);
        control::set_flag("display_unit", r.display_unit);
        EXPECT_EQ(nu_sgcd_find_unit(), r.found);
        int unit = 0;
        float factor = 0;
        getunt(unit, factor);
        EXPECT_EQ(unit, r.found != 0 ? r.found : r.part_unit);
        EXPECT_FLOAT_EQ(factor, r.factor);
    }
    usrerr("NO MESSAGES FOUND");
    pro2ln("SEL. REPLACE OPTION");
    EXPECT_EQ(control::texts_of("usrerr"), std::vector<std::string>{"NO MESSAGES FOUND"});
    EXPECT_EQ(control::texts_of("pro2ln"), std::vector<std::string>{"SEL. REPLACE OPTION"});

    // Blanking a procedure blanks every block of it, and nothing else.
    ncd_open_registered_tool_path();
    int status = 0;
    for (const ncd_address& a : {ncd_address{1, 3, 0}, ncd_address{2, 3, 1}, ncd_address{1, 4, 0}}) {
        ncd_register_block(a);
        ncd_add_registered_block(status);
    }
    ncd_set_block_or_proc_blank(kCurrentDisplayFile, {1, 3, 0}, 1, status);
    EXPECT_EQ(status, 0);
    std::vector<int> blank;
    for (const auto& b : control::ncd_blocks()) blank.push_back(b.blank);
    EXPECT_EQ(blank, (std::vector<int>{1, 1, 0}));
    ncd_set_block_or_proc_blank(kCurrentDisplayFile, {1, 9, 0}, 1, status);
    EXPECT_EQ(status, -1);
}

}  // namespace
