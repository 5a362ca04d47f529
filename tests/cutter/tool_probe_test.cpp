// The probes of the current cutter against the triangle model. A projection is judged over every
// triangle: it stops at the least travel that the toroidal solvers give over all of them from the
// start (no bound, no quadtree), and where it stops the cutter's solid touches the triangles near
// it without cutting into them (push_reference.hpp's signed distance); a cutter that cuts into a
// triangle at the start stays there. Named cases give the first of two stacked surfaces, empty
// space, coinciding points, a wall met sideways, the level contact and the touch test.
#include "cutter_test_support.hpp"
#include "push_reference.hpp"

#include "cutter/kernels/torus_contact.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/tool_contact_point.hpp"
#include "cutter/tool_probe.hpp"
#include "surfaces/tri_model_sources_least.hpp"

#include <limits>
#include <random>

namespace {

// The contact lies within this of where the solvers put it, and the cutter's solid within this of
// the triangles (coordinates below 40: their single-precision rounding is a few 1e-6).
constexpr double kNear = 1.0e-4;

using probe_cutter = test_cutter;

const probe_cutter kProbeCutters[] = {
    {"ball", kCutterBall, 2.0f, 1.0f, 0.0f, 0.0f},
    {"flat end", kCutterFlat, 3.0f, 0.0f, 0.0f, 0.0f},
    {"bull-nose", kCutterBullNose, 3.0f, 0.4f, 0.0f, 0.0f},
    {"tapered bull-nose", kCutterBullNose + kCutterTapered, 2.0f, 0.25f, static_cast<float>(M_PI / 18), 1.5f},
};

// The first touch of the solver on one triangle (corners relative to the tip) along u.
bool solver_travel(const probe_cutter& c, const double* corners, const double* u, double& travel)
{
    const double origin[3] = {0, 0, 0};
    double contact[3], tip[3];
    int status = 0;
    if (c.tapered())
        taper_torus_tri_contact(corners, origin, c.diameter, c.corner, c.taper, c.length, 0.0, u, travel, contact, tip,
                                status);
    else
        torus_tri_contact(corners, origin, 0.5 * c.diameter, c.corner, u, travel, contact, tip, status);
    return status == kTorusContact;
}

// Every triangle of the model within the cutter's reach of the point, relative to it.
std::vector<double> near_triangles(const std::vector<double>& corners, const point3& at, double reach)
{
    std::vector<double> near;
    for (std::size_t t = 0; t + 9 <= corners.size(); t += 9) {
        double lo_x = 1e30, hi_x = -1e30, lo_y = 1e30, hi_y = -1e30;
        for (int k = 0; k < 3; ++k) {
            lo_x = std::min(lo_x, corners[t + 3 * k]), hi_x = std::max(hi_x, corners[t + 3 * k]);
            lo_y = std::min(lo_y, corners[t + 3 * k + 1]), hi_y = std::max(hi_y, corners[t + 3 * k + 1]);
        }
        const double gx = std::max({lo_x - at[0], at[0] - hi_x, 0.0}), gy = std::max({lo_y - at[1], at[1] - hi_y, 0.0});
        if (std::hypot(gx, gy) > reach) continue;
        for (int k = 0; k < 9; ++k) near.push_back(corners[t + k] - at[static_cast<std::size_t>(k % 3)]);
    }
    return near;
}

// The least signed distance of the triangles near the tip from the cutter standing there.
double least_clearance(const push_reference& reference, const std::vector<double>& corners, const point3& tip,
                       double reach)
{
    const std::vector<double> near = near_triangles(corners, tip, reach);
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t t = 0; t + 9 <= near.size(); t += 9)
        least = std::min(least, reference.clearance({0, 0, 0}, &near[t]));
    return least;
}

}  // namespace

class ToolProbeTest : public CutterTest {
protected:
    // A bump field over 24 x 24 cells of random size, or a soup of 40 random triangles.
    static void build_random_model(bool soup, std::mt19937& random)
    {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        if (!soup) {
            constexpr int kNodes = 25;
            const float step = 0.5f + unit(random), bump_x = 24 * step * unit(random),
                        bump_y = 24 * step * unit(random);
            const float bump_h = 3 + 5 * unit(random), bump_s = 2 + 6 * step * unit(random);
            std::vector<float> heights;
            for (int j = 0; j < kNodes; ++j)
                for (int i = 0; i < kNodes; ++i) {
                    const float dx = i * step - bump_x, dy = j * step - bump_y;
                    heights.push_back(bump_h * std::exp(-(dx * dx + dy * dy) / (bump_s * bump_s)));
                }
            int status = 0;
            tri_model_from_grid(kNodes, kNodes, 0, 0, step, heights.data(), status);
            ASSERT_EQ(status, 0);
            return;
        }
        std::vector<float> corners;
        for (int t = 0; t < 40; ++t) {
            const float cx = 12 * unit(random), cy = 12 * unit(random), cz = 4 * unit(random),
                        size = 1 + 4 * unit(random);
            for (int k = 0; k < 3; ++k)
                corners.insert(corners.end(), {cx + size * (unit(random) - 0.5f), cy + size * (unit(random) - 0.5f),
                                               cz + size * (unit(random) - 0.5f)});
        }
        build_model(corners);
    }

    // Two triangles covering the square (x0, y0)..(x1, y1) at height z.
    static void add_level_square(std::vector<float>& corners, float x0, float y0, float x1, float y1, float z)
    {
        corners.insert(corners.end(), {x0, y0, z, x1, y0, z, x1, y1, z, x0, y0, z, x1, y1, z, x0, y1, z});
    }
};

TEST_F(ToolProbeTest, ProjectionMeetsTheFirstTriangleAlongTheMove)
{
    int seen[3] = {0, 0, 0};  // contacts along the move, cut at the start, free
    for (unsigned seed = 40400; seed < 40403; ++seed) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int model = 0; model < 3; ++model) {
            if (model == 2)
                build_cone_with_hole();
            else
                build_random_model(model == 1, random);
            const std::vector<double> corners = model_corners();
            const float* box = tri_store_block.box;
            for (const probe_cutter& cutter : kProbeCutters) {
                cutter.make_current();
                const push_reference reference(cutter.profile(), 0.05);
                const double reach = cutter.profile().outer_radius() + kNear;
                for (int k = 0; k < 25; ++k) {
                    const float from[3] = {static_cast<float>(box[0] - 1 + (box[3] - box[0] + 2) * unit(random)),
                                           static_cast<float>(box[1] - 1 + (box[4] - box[1] + 2) * unit(random)),
                                           static_cast<float>(box[2] + (box[5] - box[2] + 3) * unit(random))};
                    double u[3] = {2 * unit(random) - 1, 2 * unit(random) - 1, -1.5 * unit(random) + 0.3};
                    const double norm = std::hypot(u[0], u[1], u[2]), length = 0.5 + 8 * unit(random);
                    for (double& c : u) c /= norm;
                    const float to[3] = {static_cast<float>(from[0] + length * u[0]),
                                         static_cast<float>(from[1] + length * u[1]),
                                         static_cast<float>(from[2] + length * u[2])};
                    const std::string where = std::string(cutter.name) + ", model " + std::to_string(model) +
                                              ", seed " + std::to_string(seed) + ", move " + std::to_string(k);
                    float contact[3] = {0, 0, 0}, normal[3] = {0, 0, 0};
                    int status = 9;
                    tool_project_point(from, to, contact, normal, status);
                    const point3 start{from[0], from[1], from[2]};
                    if (least_clearance(reference, corners, start, reach) < -kNear) {
                        ++seen[1];
                        ASSERT_EQ(status, kProjectContact) << where << ": the cutter cuts in at the start";
                        EXPECT_EQ(std::vector<float>(contact, contact + 3), std::vector<float>(from, from + 3))
                            << where;
                        continue;
                    }
                    // The solvers over every triangle (the start is clear, so travels behind it belong to
                    // triangles wholly behind).
                    const double move[3] = {to[0] - start[0], to[1] - start[1], to[2] - start[2]};
                    const double span = std::hypot(move[0], move[1], move[2]);
                    const double along[3] = {move[0] / span, move[1] / span, move[2] / span};
                    double first = std::numeric_limits<double>::infinity();
                    for (std::size_t t = 0; t + 9 <= corners.size(); t += 9) {
                        double relative[9], travel = 0;
                        for (int c = 0; c < 9; ++c)
                            relative[c] = corners[t + c] - start[static_cast<std::size_t>(c % 3)];
                        if (solver_travel(cutter, relative, along, travel) && travel >= -kNear && travel <= span)
                            first = std::min(first, std::max(travel, 0.0));
                    }
                    if (first == std::numeric_limits<double>::infinity()) {
                        ++seen[2];
                        EXPECT_EQ(status, kProjectFree) << where << ": nothing lies along the move";
                        continue;
                    }
                    ++seen[0];
                    ASSERT_EQ(status, kProjectContact) << where << ": the solvers meet a triangle at " << first;
                    for (int c = 0; c < 3; ++c)
                        EXPECT_NEAR(contact[c], start[static_cast<std::size_t>(c)] + first * along[c], kNear) << where;
                    const double clearance =
                        least_clearance(reference, corners, {contact[0], contact[1], contact[2]}, reach);
                    EXPECT_NEAR(clearance, 0.0, kNear) << where << ": the cutter touches where it stops";
                    EXPECT_NEAR(std::hypot(normal[0], normal[1], normal[2]), 1.0, kNear) << where;
                }
            }
        }
    }
    for (int outcome : seen) EXPECT_GT(outcome, 0) << "each outcome is met by some move";
}

TEST_F(ToolProbeTest, NamedProjectionsContactsAndTouches)
{
    // A plane z = 5 over (0, 0)..(20, 20), a smaller one z = 7 over (0, 0)..(4, 4) above it, and a
    // wall x = 20 from y 0 to 20 standing up from z 5 to 9 (a ball whose tip is at 8 meets it at
    // its equator only).
    std::vector<float> corners;
    add_level_square(corners, 0, 0, 20, 20, 5);
    add_level_square(corners, 0, 0, 4, 4, 7);
    corners.insert(corners.end(), {20, 0, 5, 20, 20, 5, 20, 20, 9, 20, 0, 5, 20, 20, 9, 20, 0, 9});
    build_model(corners);
    set_cutter(kCutterBall, 2.0f, 1.0f);
    const std::vector<float> up{0, 0, 1}, towards_wall{-1, 0, 0};
    struct row {
        const char* name;
        std::vector<float> from, to;
        int status;
        std::vector<float> contact, normal;  // empty: not judged
    };
    const row rows[] = {
        {"down onto the plane", {10, 10, 6.5f}, {10, 10, 1}, kProjectContact, {10, 10, 5}, up},
        {"the upper of two stacked planes comes first", {2, 2, 9}, {2, 2, 1}, kProjectContact, {2, 2, 7}, up},
        {"sideways into the wall", {15, 10, 8}, {25, 10, 8}, kProjectContact, {19, 10, 8}, towards_wall},
        {"slanting onto the plane", {10, 10, 7}, {12, 10, 3}, kProjectContact, {11, 10, 5}, up},
        {"over empty space", {40, 40, 9}, {40, 40, -9}, kProjectFree, {}, {}},
        {"stopping short of the plane", {10, 10, 9}, {10, 10, 5.5f}, kProjectFree, {}, {}},
        {"away from the plane", {10, 10, 6}, {10, 10, 9}, kProjectFree, {}, {}},
        {"coinciding points", {10, 10, 9}, {10, 10, 9}, kProjectNoMove, {}, {}},
        {"cut into at the start: it stays", {10, 10, 4.5f}, {10, 10, 1}, kProjectContact, {10, 10, 4.5f}, {}},
    };
    for (const row& r : rows) {
        float contact[3] = {-1, -1, -1}, normal[3] = {-1, -1, -1};
        int status = 9;
        tool_project_point(r.from.data(), r.to.data(), contact, normal, status);
        EXPECT_EQ(status, r.status) << r.name;
        for (std::size_t c = 0; c < r.contact.size(); ++c) EXPECT_NEAR(contact[c], r.contact[c], kNear) << r.name;
        for (std::size_t c = 0; c < r.normal.size(); ++c) EXPECT_NEAR(normal[c], r.normal[c], kNear) << r.name;
        if (r.status != kProjectContact) {
            EXPECT_EQ(contact[0], -1.0f) << r.name << ": the outputs stay untouched";
        }
    }

    // The level contact: towards the wall at height 8, along it, and standing in it.
    struct level_row {
        const char* name;
        std::vector<double> from, towards;
        int status;
        std::vector<double> contact;
    };
    const level_row levels[] = {
        {"towards the wall", {15, 10}, {30, 10}, 0, {19, 10, 8}},
        {"along the wall, a radius off", {18.5, 1}, {18.5, 19}, kContactNone, {}},
        {"standing in the wall", {19.5, 10}, {19.5, 10}, 0, {19.5, 10, 8}},
        {"standing clear", {15, 10}, {15, 10}, kContactNone, {}},
    };
    for (const level_row& r : levels) {
        double contact[3] = {-1, -1, -1}, normal[3] = {0, 0, 0};
        int status = 9;
        tool_contact_point_dbl(r.from.data(), r.towards.data(), 8.0, contact, normal, status);
        EXPECT_EQ(status, r.status) << r.name;
        for (std::size_t c = 0; c < r.contact.size(); ++c) EXPECT_NEAR(contact[c], r.contact[c], kNear) << r.name;
        const float start[3] = {static_cast<float>(r.from[0]), static_cast<float>(r.from[1]), 0},
                    end[3] = {static_cast<float>(r.towards[0]), static_cast<float>(r.towards[1]), 0};
        float single[3] = {-1, -1, -1}, single_normal[3];
        int single_status = 9;
        tool_contact_point(start, end, 8.0f, single, single_normal, single_status);
        EXPECT_EQ(single_status, r.status == 0 ? kContactTouch : kContactFree) << r.name;
        for (std::size_t c = 0; c < r.contact.size(); ++c) EXPECT_NEAR(single[c], r.contact[c], kNear) << r.name;
    }

    // The touch test over the plane: clear above it, touching on it and below.
    for (const auto& [z, touches] : std::vector<std::pair<double, int>>{{5.01, 0}, {5.0, 1}, {4.0, 1}}) {
        const double point[3] = {10, 10, z};
        int flag = 9, status = 9;
        tool_point_touch_test_dbl(point, flag, status);
        EXPECT_EQ(status, touches) << "at z " << z;
        EXPECT_EQ(flag, touches) << "at z " << z;
    }
    EXPECT_TRUE(errors().empty());

    set_cutter(kCutterBall, 0.0f, 0.0f);
    const float from[3] = {10, 10, 9}, to[3] = {10, 10, 1};
    float contact[3], normal[3];
    int status = 0;
    tool_project_point(from, to, contact, normal, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"tool_project_point, WRONG CUTTER"});
}

TEST_F(ToolProbeTest, TiltedAxisProjectsAsTheTurnedModel)
{
    // The model and the moves turned by 30 degrees about x, with the tool axis turned alike: the
    // contacts turn with them.
    std::mt19937 random(40410);
    build_random_model(false, random);
    const std::vector<double> upright = model_corners();
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    const auto turn = [&](const float* p, float* q) {
        q[0] = p[0];
        q[1] = static_cast<float>(c * p[1] - s * p[2]);
        q[2] = static_cast<float>(s * p[1] + c * p[2]);
    };
    std::vector<float> turned(upright.size());
    for (std::size_t k = 0; k < upright.size(); k += 3) {
        const float p[3] = {static_cast<float>(upright[k]), static_cast<float>(upright[k + 1]),
                            static_cast<float>(upright[k + 2])};
        turn(p, &turned[k]);
    }
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const probe_cutter& ball = kProbeCutters[0];
    int met = 0;
    for (int k = 0; k < 30; ++k) {
        const float from[3] = {2 + 10 * unit(random), 2 + 10 * unit(random), 9 + 2 * unit(random)};
        const float to[3] = {from[0] + 4 * unit(random) - 2, from[1] + 4 * unit(random) - 2, from[2] - 12};
        build_model(std::vector<float>(upright.begin(), upright.end()));
        ball.make_current();
        float contact[3], normal[3];
        int status = 9;
        tool_project_point(from, to, contact, normal, status);

        build_model(turned);
        ball.make_current();
        const float up[3] = {0, 0, 1};
        linnet_params_block.tilted_axis = 1;
        turn(up, linnet_params_block.tool_axis);
        float tfrom[3], tto[3], tcontact[3], tnormal[3];
        turn(from, tfrom);
        turn(to, tto);
        int tstatus = 9;
        tool_project_point(tfrom, tto, tcontact, tnormal, tstatus);
        ASSERT_EQ(tstatus, status) << "move " << k;
        if (status != kProjectContact) continue;
        ++met;
        float expected[3], expected_normal[3];
        turn(contact, expected);
        turn(normal, expected_normal);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(tcontact[i], expected[i], kNear) << "move " << k;
            EXPECT_NEAR(tnormal[i], expected_normal[i], kNear) << "move " << k;
        }
    }
    EXPECT_GT(met, 10);
}
