// The XY contact of one triangle: face, on-edge and edge contacts of each cutter kind, the reach
// of the edge pass, the face-first byte, the tapered kernels through scripted doubles, the edge
// kernels and the refined drop along a segment against exact maxima, the 2-D helpers, and the
// push of a cutter along a move.
#include "cutter_test_support.hpp"
#include "xy_support.hpp"

#include "cutter/kernels/cutter_block_least.hpp"
#include "cutter/kernels/triangle_drivers.hpp"
#include "host/vantu.hpp"
#include "nc_services/segment_z_at_xy.hpp"
#include "surfaces/qt_geometry.hpp"

#include <random>

namespace {

constexpr float kDegree = static_cast<float>(M_PI / 180.0);

}  // namespace

TEST_F(CutterTest, XyContactOfFacesAndEdges)
{
    using tri = std::array<float, 9>;
    const tri level15 = {-10, -10, 1.5f, 10, -10, 1.5f, 0, 10, 1.5f};
    const tri level2 = {-10, -10, 2, 10, -10, 2, 0, 10, 2};
    const tri slope45 = {-2, -2, -2, 1, -2, 1, 1, 2, 1};  // z = x; the lowest point falls beyond x = 1
    const float e = 0.8944272f + 5.0e-5f;                 // just beyond a ball's lowest point on z = x / 2
    const tri half_slope = {e, -1, e / 2, 3, 0, 1.5f, e, 1, e / 2};
    const tri far_edge = {3.0015f, -1, 0.5f, 6, 0, 0.5f, 3.0015f, 1, 0.5f};
    const tri near_edge = {3.00005f, -1, 0.5f, 6, 0, 0.5f, 3.00005f, 1, 0.5f};
    const tri inside_edge = {2.99995f, -1, 0.5f, 6, 0, 0.5f, 2.99995f, 1, 0.5f};
    const tri edge_at_radius = {3, 1, 0.5f, 6, 1.5f, 0.5f, 3, 2, 0.5f};
    struct row {
        const char* what;
        tri corners;
        int type;
        float radius, corner;
        signed char source;
        int reach_switch;
        int status;
        float height;
        std::array<float, 3> contact;  // x, y, z; NaN: not checked
        int orders = 6;                // corner orders that give this answer
    };
    const float nan = std::nanf("");
    const float ball_on_level_edge = 1 + std::sqrt(8.0f) - 3;
    const float ball_on_sloped_edge = e / 2 + std::sqrt(4 - e * e) - 2;
    const row rows[] = {
        {"flat end on a level face over the axis",
         level15,
         kCutterFlat,
         3,
         0,
         0,
         0,
         kXyFaceInside,
         1.5f,
         {nan, nan, 1.5f}},
        {"ball on a level face over the axis", level2, kCutterBall, 5, 5, 0, 0, kXyFaceInside, 2, {0, 0, 2}},
        {"bull-nose on a level face over the axis",
         level2,
         kCutterBullNose,
         5,
         1,
         0,
         0,
         kXyFaceInside,
         2,
         {nan, nan, 2}},
        {"flat end, face contact outside: edges tie, the nearer wins",
         slope45,
         kCutterFlat,
         3,
         0,
         0,
         0,
         kXyEdge,
         1,
         {1, 2, 1}},
        {"ball, face contact outside: the highest edge wins",
         slope45,
         kCutterBall,
         3,
         3,
         0,
         0,
         kXyEdge,
         ball_on_level_edge,
         {1, 0, 1}},
        {"ball's lowest point just beyond an edge line: it rests on the edge",
         half_slope,
         kCutterBall,
         2,
         2,
         0,
         0,
         kXyEdge,
         ball_on_sloped_edge,
         {e, 0, e / 2}},
        {"an edge 0.0015 beyond R is not met", far_edge, kCutterFlat, 3, 0, 0, 0, kXyNoContact, 12345, {nan, nan, nan}},
        {"with the reach switch an edge beyond R is not met either",
         far_edge,
         kCutterFlat,
         3,
         0,
         0,
         1,
         kXyNoContact,
         12345,
         {nan, nan, nan}},
        {"an edge 5e-5 beyond R is not met", near_edge, kCutterFlat, 3, 0, 0, 0, kXyNoContact, 12345, {nan, nan, nan}},
        {"an edge 5e-5 within R is met", inside_edge, kCutterFlat, 3, 0, 0, 0, kXyEdge, 0.5f, {2.99995f, 0, 0.5f}},
        {"no contact after a reach test at exactly R: 2 with no height",
         edge_at_radius,
         kCutterFlat,
         3,
         0,
         0,
         0,
         kXyNoContactAtRadius,
         kNoHeight,
         {nan, nan, nan},
         1},
        {"edges first: a level face far from its edges is missed",
         level15,
         kCutterFlat,
         3,
         0,
         2,
         0,
         kXyNoContact,
         12345,
         {nan, nan, nan}},
        {"edges first with the reach switch: the face is tried again",
         level15,
         kCutterFlat,
         3,
         0,
         -2,
         1,
         kXyFaceInside,
         1.5f,
         {nan, nan, 1.5f}},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        // Every order of the corners gives the same answer (the reach test at exactly R is the
        // last edge's only in the given order).
        for (int turn = 0; turn < r.orders; ++turn) {
            SCOPED_TRACE("corner order " + std::to_string(turn));
            tri c = r.corners;
            std::rotate(c.begin(), c.begin() + 3 * (turn % 3), c.end());
            if (turn >= 3) std::swap_ranges(c.begin(), c.begin() + 3, c.begin() + 3);
            const xy_drop_result got = xy_drop(c, 0, 0, r.type, r.radius, r.corner, r.source, 0, r.reach_switch);
            EXPECT_EQ(got.status, r.status);
            EXPECT_NEAR(got.height, r.height, 2e-5f);
            for (int k = 0; k < 3; ++k)
                if (!std::isnan(r.contact[k])) {
                    EXPECT_NEAR(got.contact[k], r.contact[k], 2e-5f) << "contact " << k;
                }
        }
    }
}

namespace {

// A scripted tapered edge kernel: the status every call answers, and a result of its own.
int scripted_status = -1;
void scripted_taper_edge(const float*, const float*, const float*, float& d, float* contact, const int&, float& height,
                         int& status)
{
    status = scripted_status;
    height = 4.25f;
    contact[0] = 0.5f;
    contact[1] = 0.25f;
    contact[2] = 4.25f;
    d = std::fabs(d);
}

}  // namespace

TEST_F(CutterTest, TaperedCutterThroughTheTaperedEdgeKernel)
{
    const float taper = 10 * kDegree, length = 10;
    cutter_block_set(6, 0.5f, taper, length);
    const float top = 3 + length * std::tan(taper);
    const std::array<float, 9> beside = {2, -1, 1, 8, 0, 1, 2, 1, 1};  // level, the axis outside
    struct row {
        const char* what;
        int script;  // -1: the production seam
        int status;
        float height;
    };
    const row rows[] = {
        {"the top rim meets the edge: flat end of the top radius, lowered by L", 10, kXyEdge, 1 - length},
        {"the lower part meets it: the kernel of the type", -10, kXyEdge, 1},
        {"its own result", 2, kXyEdge, 4.25f},
        {"the production seam finds nothing", -1, kXyNoContact, 12345},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        if (r.script == -1)
            cutter_seam_table() = default_cutter_seams();
        else
            cutter_seam_table().taper_edge_contact = scripted_taper_edge;
        scripted_status = r.script;
        const xy_drop_result got = xy_drop(beside, 0, 0, kCutterBullNose + kCutterTapered, 3, 0.5f);
        EXPECT_EQ(got.status, r.status);
        EXPECT_NEAR(got.height, r.height, 1e-5f);
    }
    // A face steeper than the flank is met by the top rim, lowered by L.
    const std::array<float, 9> steep = {4, -2, 40, 6, -2, 60, 5, 3, 50};  // z = 10 x
    const xy_drop_result got = xy_drop(steep, 0, 0, kCutterBullNose + kCutterTapered, 3, 0.5f);
    EXPECT_TRUE(got.status == kXyFace || got.status == kXyFaceInside) << got.status;
    EXPECT_NEAR(got.height, 10 * top - length, 2e-4f);
}

TEST(EdgeKernels, HeightsAndNearestApproach)
{
    // Edges relative to the axis, u their XY direction, d the signed distance of their line.
    struct row {
        const char* what;
        int type;
        float radius, corner;
        std::array<float, 3> a, b;
        int status;
        float height, nearest, z_near;
    };
    const float bull_level = 1 - (0.5f - std::sqrt(0.25f - 0.2f * 0.2f));  // d - w = 0.2
    const row rows[] = {
        {"ball over a level edge", kCutterBall, 2, 2, {-3, 1, 1}, {3, 1, 1}, 2, 1 + std::sqrt(3.0f) - 2, 1, 1},
        {"flat end over a rising edge: its highest point in the disc",
         kCutterFlat,
         2,
         0,
         {-3, 1, 0},
         {3, 1, 6},
         2,
         3 + std::sqrt(3.0f),
         1,
         3},
        {"flat end over a falling edge", kCutterFlat, 2, 0, {-3, 1, 6}, {3, 1, 0}, 2, 3 + std::sqrt(3.0f), 1, 3},
        {"flat end over an edge rising less than 0.001: its highest point in the disc",
         kCutterFlat,
         2,
         0,
         {-3, 1, 0},
         {3, 1, 0.0009f},
         2,
         0.0009f * (3 + std::sqrt(3.0f)) / 6,
         1,
         0.00045f},
        {"bull-nose over a level edge between w and R",
         kCutterBullNose,
         2,
         0.5f,
         {-3, 1.7f, 1},
         {3, 1.7f, 1},
         2,
         bull_level,
         1.7f,
         1},
        {"an edge beyond the section is out of reach", kCutterBall, 2, 2, {2.5f, 1, 1}, {5, 1, 1}, -1, 0, 0, 0},
        {"the foot beyond the edge's start: the start is nearest",
         kCutterFlat,
         2,
         0,
         {1, 0.5f, 2},
         {3, 0.5f, 2},
         2,
         2,
         std::hypot(1.0f, 0.5f),
         2},
        {"the foot beyond the edge's end: the end is nearest",
         kCutterFlat,
         2,
         0,
         {-3, 0.5f, 2},
         {-1, 0.5f, 4},
         2,
         4,
         std::hypot(1.0f, 0.5f),
         4},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        float u[2] = {r.b[0] - r.a[0], r.b[1] - r.a[1]}, length = 0;
        int snap = 0;
        unit2d_snap(u, length, snap);
        const float line = u[0] * r.a[1] - u[1] * r.a[0];
        float d = line, contact[3], height = 0, z_near = 0;
        int status = 9;
        if (r.type == kCutterBall)
            ball_edge_contact(r.a.data(), r.b.data(), u, r.radius, d, contact, height, z_near, status);
        else if (r.type == kCutterFlat)
            flat_edge_contact(r.a.data(), r.b.data(), u, r.radius, d, contact, height, z_near, status);
        else {
            const float radii[2] = {r.radius, r.corner};
            bullnose_edge_contact(r.a.data(), r.b.data(), u, radii, d, contact, height, z_near, status);
        }
        EXPECT_EQ(status, r.status);
        if (r.status < 0) continue;
        EXPECT_NEAR(height, r.height, 2e-5f);
        EXPECT_NEAR(d, r.nearest, 1e-5f);
        EXPECT_NEAR(z_near, r.z_near, 1e-5f);
        float foot_d = line, foot_z = 0;
        edge_foot_distance(r.a.data(), r.b.data(), u, r.radius, foot_d, foot_z, status);
        EXPECT_EQ(status, 2);
        EXPECT_EQ(foot_d, d) << "the same nearest approach without a height";
    }
}

namespace {

// The exact highest drop height of a bull-nose (R, w) over the edge a..b relative to the axis, in
// double: golden section over the part of the edge within R (the height is concave there).
double exact_bull_drop(const float* a, const float* b, double radius, double flat)
{
    auto height = [&](double t) {
        const double x = a[0] + t * (b[0] - a[0]), y = a[1] + t * (b[1] - a[1]), z = a[2] + t * (b[2] - a[2]);
        const double rho = std::hypot(x, y);
        if (rho >= radius) return -1e10;
        if (rho <= flat) return z;
        const double r = radius - flat, off = rho - flat;
        return z - (r - std::sqrt(std::max(0.0, r * r - off * off)));
    };
    // The part of the line within R: |s| <= sqrt(R^2 - d^2) along it.
    const double dx = b[0] - a[0], dy = b[1] - a[1], l2 = dx * dx + dy * dy;
    const double t_foot = -(a[0] * dx + a[1] * dy) / l2;
    const double d2 = std::pow(a[0] + t_foot * dx, 2) + std::pow(a[1] + t_foot * dy, 2);
    if (d2 >= radius * radius) return -1e10;
    const double half = std::sqrt((radius * radius - d2) / l2);
    double lo = std::max(0.0, t_foot - half), hi = std::min(1.0, t_foot + half);
    if (lo > hi) return -1e10;
    const double g = 0.6180339887498949;
    for (int k = 0; k < 200 && hi - lo > 1e-15; ++k) {
        const double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
        if (height(x1) < height(x2))
            lo = x1;
        else
            hi = x2;
    }
    return std::max({height(lo), height(0.5 * (lo + hi)), height(hi)});
}

}  // namespace

TEST(EdgeKernels, BullNoseEdgeDropMeetsTheExactMaximum)
{
    struct cutter {
        float radius, corner;
    };
    const cutter cutters[] = {{1, 0.05f}, {3, 0.2f}, {0.3f, 0.01f}};
    const unsigned seed = 292050;
    for (const cutter& c : cutters) {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> across(-1.5f * c.radius, 1.5f * c.radius), up(0, c.radius);
        double worst = 0;
        int tried = 0;
        for (int edge = 0; edge < 20000; ++edge) {
            const float a[3] = {across(random), across(random), up(random)};
            const float b[3] = {across(random), across(random), up(random)};
            float u[2] = {b[0] - a[0], b[1] - a[1]}, length = 0;
            int snap = 0;
            unit2d_snap(u, length, snap);
            const float line = u[0] * a[1] - u[1] * a[0];
            if (snap != 0 || std::fabs(line) >= c.radius * 0.999f) continue;
            const double exact = exact_bull_drop(a, b, c.radius, c.radius - c.corner);
            if (exact < -1e9) continue;
            const float radii[2] = {c.radius, c.corner};
            float d = line, contact[3], height = 0, z_near = 0;
            int status = 9;
            bullnose_edge_contact(a, b, u, radii, d, contact, height, z_near, status);
            ASSERT_EQ(status, 2) << "seed " << seed << ", edge " << edge;
            worst = std::max(worst, std::fabs(height - exact));
            ++tried;
            const float axis[3] = {0, 0, 0};
            EXPECT_NEAR(vertex_drop_height(axis, contact, c.radius, c.radius - c.corner), height, 2e-5f)
                << "the contact is where the height is reached; seed " << seed << ", edge " << edge;
        }
        EXPECT_GT(tried, 5000);
        EXPECT_LT(worst, 2e-5) << "R " << c.radius << ", r " << c.corner << ", seed " << seed;
    }
}

TEST(EdgeKernels, SegmentDropHeightAtItsEnds)
{
    const float axis[3] = {0, 0, 0};
    float contact[3];
    int status = 9;
    // The higher end within the flat radius: that end, status 1. Nothing within R: no height.
    const float a[3] = {0.5f, 0, 2}, b[3] = {5, 0, 1}, direction[3] = {0.97619f, 0, -0.21693f};
    EXPECT_EQ(segment_drop_height(a, b, direction, axis, 3, 2, contact, status), 2.0f);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(contact[0], 0.5f);
    const float far_a[3] = {5, -1, 1}, far_b[3] = {5, 1, 1}, up[3] = {0, 1, 0};
    EXPECT_LT(segment_drop_height(far_a, far_b, up, axis, 3, 2, contact, status), -1e9f);
}

TEST(XyHelpers, SnapTriangleAndLines)
{
    struct snap_row {
        float x, y;
        float ux, uy;
        int status;
    };
    const snap_row snaps[] = {{1, 1e-8f, 1, 0, 0},   {0, 0, 0, 0, -1},      {-3, 0, -1, 0, 0},
                              {3, 4, 0.6f, 0.8f, 0}, {1e-8f, -2, 0, -1, 0}, {1e-7f, 0, 1e-7f, 0, -1}};
    for (const snap_row& r : snaps) {
        SCOPED_TRACE(std::to_string(r.x) + ", " + std::to_string(r.y));
        float v[2] = {r.x, r.y}, length = 9;
        int status = 9;
        unit2d_snap(v, length, status);
        EXPECT_EQ(status, r.status);
        EXPECT_FLOAT_EQ(v[0], r.ux);
        EXPECT_FLOAT_EQ(v[1], r.uy);
        if (status != 0) {
            EXPECT_EQ(length, 0.0f);
        }
    }

    // The triangle (0,0), (4,0), (0,4) seen from the point: inside, outside, on its edges.
    xy_edge edges[3] = {{1, 0, 0}, {-std::sqrt(0.5f), std::sqrt(0.5f), 0}, {0, -1, 0}};
    const float corners[3][2] = {{0, 0}, {4, 0}, {0, 4}};
    struct inside_row {
        const char* what;
        float x, y;
        int tolerance_switch;
        int result;
    };
    const inside_row points[] = {
        {"inside", 1, 1, 0, 0},
        {"outside", 5, 5, 0, 1},
        {"on the first edge", 1, 0, 0, 0},
        {"on the last edge: outside", 0, 1, 0, 1},
        {"beyond the first edge", 1, -0.01f, 0, 1},
        {"inside, wide tolerance", 1, 1, 1, 0},
        {"just outside within the wide tolerance", 1, -0.003f, 1, 0},
    };
    for (const inside_row& r : points) {
        SCOPED_TRACE(r.what);
        xy_edge e[3];
        for (int k = 0; k < 3; ++k) {  // constants for the point as the axis
            e[k] = edges[k];
            e[k].c = e[k].dx * (corners[k][1] - r.y) - e[k].dy * (corners[k][0] - r.x);
        }
        const float origin[2] = {0, 0};
        int result = 9;
        point_in_triangle_xy(r.tolerance_switch, origin, e, result);
        EXPECT_EQ(result, r.result);
    }

    struct line_row {
        const char* what;
        double p1[2], d1[2], p2[2], d2[2];
        int status;
        double t1, t2;
    };
    const line_row lines[] = {
        {"crossing", {0, 0}, {1, 0}, {2, -1}, {0, 1}, 0, 2, 1},
        {"parallel and apart", {0, 0}, {1, 0}, {0, 1}, {2, 0}, -1, 0, 0},
        {"one line given twice", {0, 0}, {1, 1}, {2, 2}, {-1, -1}, -2, 0, 0},
    };
    for (const line_row& r : lines) {
        SCOPED_TRACE(r.what);
        double t1 = 0, t2 = 0;
        int status = 9;
        line_line_intersect_2d_d(r.p1, r.d1, r.p2, r.d2, t1, t2, status);
        EXPECT_EQ(status, r.status);
        if (status == 0) {
            EXPECT_DOUBLE_EQ(t1, r.t1);
            EXPECT_DOUBLE_EQ(t2, r.t2);
        }
    }
}

TEST(XyHelpers, SegmentHeightAtAPoint)
{
    struct row {
        const char* what;
        std::array<float, 3> a, b;
        float x, y;
        float z;
        int flag;
    };
    const row rows[] = {
        {"along x", {0, 0, 0}, {10, 1, 5}, 4, 0, 2, 0},
        {"along y", {0, 0, 0}, {1, 10, 5}, 0, 6, 3, 0},
        {"|dx| = |dy|: on y", {0, 0, 0}, {2, 2, 4}, 0, 1, 2, 0},
        {"vertical: the lower z, flag 1", {1, 1, 7}, {1, 1, 3}, 5, 5, 3, 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        const float x[2] = {r.x, r.y};
        float z = 0;
        int flag = 9;
        segment_z_at_xy(r.a.data(), r.b.data(), x, z, flag);
        EXPECT_FLOAT_EQ(z, r.z);
        EXPECT_EQ(flag, r.flag);
    }
}
