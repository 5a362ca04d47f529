// The offset of closed line-and-arc contours (dfcof2, dfcgnr): every point of an offset lies at
// the distance from its contour, and its region matches Clipper 1's round offset in loop count
// and area, over seeded random polygons and named shapes with arcs; what cannot be offset is
// refused with nothing made.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

namespace control = vantu::control;
using xy = std::array<double, 2>;

constexpr double kOnDistance = 1.0e-6;   // every offset point at the distance within this
constexpr double kClipperScale = 1.0e4;  // Clipper's integer grid: 0.0001

std::vector<int> chain_of(int set, const std::vector<control::curve_in_set>& curves)
{
    control::define_curve_set(set, curves);
    std::vector<int> record(2 * curves.size());
    int length = 0, status = 0;
    dfdgrc(set, static_cast<int>(curves.size()), record.data(), length, status);
    return record;
}

std::vector<control::curve_in_set> polygon_curves(const std::vector<xy>& corners)
{
    std::vector<control::curve_in_set> curves;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const xy& a = corners[k];
        const xy& b = corners[(k + 1) % corners.size()];
        curves.push_back(
            {control::add_line({a[0], a[1], 2.0}, {b[0], b[1], 2.0}), 0.0, std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
    }
    return curves;
}

std::vector<int> polygon_record(const std::vector<xy>& corners) { return chain_of(1, polygon_curves(corners)); }

// An obround: the points at radius from the segment (0, 0)-(length, 0), counter-clockwise.
std::vector<int> obround_record(double length, double radius)
{
    const double pi = std::numbers::pi;
    const std::vector<control::curve_in_set> curves{
        {control::add_line({0, -radius, 2}, {length, -radius, 2}), 0.0, length, 1.0},
        {control::add_arc({length, 0, 2}, radius, -90, 90), -pi / 2, pi / 2, 1.0},
        {control::add_line({length, radius, 2}, {0, radius, 2}), 0.0, length, 1.0},
        {control::add_arc({0, 0, 2}, radius, 90, 270), pi / 2, 3 * pi / 2, 1.0},
    };
    return chain_of(1, curves);
}

double segment_distance(xy p, xy a, xy b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double t = std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

// The offset's points in order: 32 along every curve (its last point left to the next curve).
std::vector<xy> offset_points(const std::vector<int>& record, double& z)
{
    int count = 0, status = 0;
    dfdgnc(record.data(), count, status);
    std::vector<xy> points;
    for (int k = 1; k <= count; ++k) {
        int entity = 0;
        double data[3], p[3];
        dfdget(record.data(), k, entity, data, status);
        for (int i = 0; i < 32; ++i) {
            evcrvd(entity, data[0] + (data[1] - data[0]) * i / 32.0, p, nullptr, status);
            points.push_back({p[0], p[1]});
            z = p[2];
        }
    }
    return points;
}

double area(const std::vector<xy>& loop)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const xy& a = loop[i];
        const xy& b = loop[(i + 1) % loop.size()];
        sum += a[0] * b[1] - a[1] * b[0];
    }
    return sum / 2.0;
}

// Clipper's round offset of the counter-clockwise polygon, outward for a positive grow.
ClipperLib::Paths clipper_offset(const std::vector<xy>& ccw, double grow)
{
    ClipperLib::Path path;
    for (const xy& p : ccw)
        path.push_back({static_cast<ClipperLib::cInt>(std::llround(p[0] * kClipperScale)),
                        static_cast<ClipperLib::cInt>(std::llround(p[1] * kClipperScale))});
    ClipperLib::ClipperOffset offset(2.0, 0.0005 * kClipperScale);
    offset.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths out;
    offset.Execute(out, grow * kClipperScale);
    return out;
}

// A star-shaped polygon about the origin: corners at sorted angles and radii 2 to 10.
std::vector<xy> star(std::mt19937& random)
{
    std::uniform_int_distribution<int> corners(4, 12);
    std::uniform_real_distribution<double> radius(2.0, 10.0), jitter(0.1, 0.9);
    const int n = corners(random);
    std::vector<xy> out;
    for (int i = 0; i < n; ++i) {
        const double angle = 2.0 * std::numbers::pi * (i + jitter(random)) / n, r = radius(random);
        out.push_back({r * std::cos(angle), r * std::sin(angle)});
    }
    return out;
}

}  // namespace

TEST(ContourOffset, RandomPolygonsOffsetAtTheDistanceLikeClipper)
{
    constexpr unsigned kSeed = 4401;
    std::mt19937 random(kSeed);
    std::uniform_real_distribution<double> distance(-3.0, 4.5);
    int whole = 0;
    for (int shape = 0; shape < 60; ++shape) {
        control::reset();
        const std::vector<xy> ccw = star(random);
        const bool reversed = shape % 2 == 1;
        std::vector<xy> corners = ccw;
        if (reversed) std::reverse(corners.begin(), corners.end());
        double d = distance(random);
        if (std::abs(d) < 0.05) d = 0.5;
        // Left of a counter-clockwise contour is inside: grow = -d; clockwise: +d.
        const ClipperLib::Paths reference = clipper_offset(ccw, reversed ? d : -d);
        const std::vector<int> record = polygon_record(corners);
        std::vector<int> out(2 * 200);
        int length = 0, status = 0;
        dfcof2(record.data(), d, 200, out.data(), length, status);
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", shape " + std::to_string(shape) + ", distance " +
                     std::to_string(d));
        if (reference.size() > 1) {
            EXPECT_EQ(status, kOffsetSplits);
            continue;
        }
        ASSERT_EQ(status, 0);
        if (reference.empty()) {
            EXPECT_EQ(length, 0);
            continue;
        }
        ++whole;
        out.resize(2 * static_cast<std::size_t>(length));
        double z = 0.0;
        const std::vector<xy> points = offset_points(out, z);
        EXPECT_EQ(z, 2.0) << "the contour's height";
        for (const xy& p : points) {
            double nearest = 1e300;
            for (std::size_t k = 0; k < ccw.size(); ++k)
                nearest = std::min(nearest, segment_distance(p, ccw[k], ccw[(k + 1) % ccw.size()]));
            ASSERT_NEAR(nearest, std::abs(d), kOnDistance) << p[0] << ", " << p[1];
        }
        const double expected = std::abs(ClipperLib::Area(reference[0])) / (kClipperScale * kClipperScale);
        EXPECT_NEAR(std::abs(area(points)), expected, 0.01 * expected + 0.01);
        EXPECT_EQ(area(points) > 0.0, !reversed) << "the offset runs as its contour";
        dfcgnr(out.data(), status);
        EXPECT_EQ(status, 0);
    }
    EXPECT_GT(whole, 20);
}

TEST(ContourOffset, ArcsOffsetAboutTheirCentres)
{
    struct row {
        const char* what;
        double distance;
        double from_core;  // every offset point lies this far from the obround's core segment
        int curves;        // of the offset
        double area;
    } rows[] = {
        {"obround outward", -1.0, 3.0, 4, 10 * 6 + std::numbers::pi * 9},
        {"obround inward", 1.5, 0.5, 4, 10 * 1 + std::numbers::pi * 0.25},
        {"obround to its core", 2.0, 0.0, 0, 0.0},
    };
    for (const row& r : rows) {
        control::reset();
        const std::vector<int> record = obround_record(10.0, 2.0);
        std::vector<int> out(2 * 20);
        int length = 0, status = 0;
        dfcof2(record.data(), r.distance, 20, out.data(), length, status);
        ASSERT_EQ(status, 0) << r.what;
        if (r.curves == 0) {  // an obround shrunk to its core keeps nothing of width
            EXPECT_LE(length, 2) << r.what;
            continue;
        }
        EXPECT_EQ(length, r.curves) << r.what;
        out.resize(2 * static_cast<std::size_t>(length));
        double z = 0.0;
        const std::vector<xy> points = offset_points(out, z);
        EXPECT_NEAR(area(points), r.area, 0.02 * r.area) << r.what;
        for (const xy& p : points)
            EXPECT_NEAR(segment_distance(p, {0, 0}, {10, 0}), r.from_core, kOnDistance) << r.what;
    }
}

TEST(ContourOffset, WhatCannotBeOffsetIsRefusedWithNothingMade)
{
    control::reset();
    const int line = control::add_line({0, 0, 0}, {4, 0, 0});
    const int rise = control::add_line({4, 0, 0}, {4, 4, 3});
    const int back = control::add_line({4, 4, 3}, {0, 0, 0});
    const int tilted = control::add_circle({0, 0, 0}, 2.0, {1.0, 0.0, 1.0});
    const int spline = control::add_spline(1, {0, 0, 1, 1}, {{0, 0, 0}, {3, 0, 0}});
    struct row {
        const char* what;
        std::vector<control::curve_in_set> curves;
        double distance;
        int status;
        int room = 20;
    } rows[] = {
        {"open chain", {{line, 0, 4, 1}}, 1.0, kOffsetNotClosed},
        {"no room for its curves", polygon_curves({{0, 0}, {4, 0}, {4, 4}, {0, 4}}), -1.0, kRecordNoRoom, 5},
        {"climbs out of its plane",
         {{line, 0, 4, 1}, {rise, 0, 5, 1}, {back, 0, std::sqrt(41.0), 1}},
         1.0,
         kOffsetNotFlat},
        {"a circle tilted to XY", {{tilted, 0, 2 * std::numbers::pi, 1}}, 0.5, kOffsetNotFlat},
        {"a spline", {{spline, 0, 1, 1}, {control::add_line({3, 0, 0}, {0, 0, 0}), 0, 3, 1}}, 0.5, kOffsetNotContour},
        {"a dumbbell whose neck closes",
         polygon_curves({{0, 0},
                         {4, 0},
                         {4, 1.5},
                         {6, 1.5},
                         {6, 0},
                         {10, 0},
                         {10, 4},
                         {6, 4},
                         {6, 2.5},
                         {4, 2.5},
                         {4, 4},
                         {0, 4}}),
         0.8, kOffsetSplits},
        {"no number",
         {{control::add_circle({0, 0, 0}, 2.0), 0, 2 * std::numbers::pi, 1}},
         std::nan(""),
         kOffsetBadDistance},
    };
    for (const row& r : rows) {
        const std::vector<int> record = chain_of(7, r.curves);
        const std::size_t entities = control::entity_ids().size();
        std::vector<int> out(2 * 20, 0);
        int length = -1, status = 0;
        dfcof2(record.data(), r.distance, r.room, out.data(), length, status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(length, 0) << r.what;
        dfcgnr(record.data(), status);
        EXPECT_EQ(status, -1) << r.what << ": no offset to release";
        EXPECT_EQ(control::entity_ids().size(), entities) << r.what << ": nothing made, nothing released";
    }
}

// With a work plane set, contours are seen in its UCS: an obround placed in a tilted UCS and a
// square drawn in world coordinates on the UCS's plane give the polygon (dfcpol) and the offset
// (dfcof2) they give lying flat in XY, carried into the plane; the offset's curves lie in it.
TEST(ContourOffset, ContoursInATiltedWorkPlaneAreSeenAndOffsetThere)
{
    using p3 = std::array<double, 3>;
    struct row {
        const char* what;
        p3 origin, x, y;  // the UCS: its origin and two unit axes
    } rows[] = {
        {"world", {0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
        {"tilted 30 degrees about X", {5, -3, 7}, {1, 0, 0}, {0, std::cos(0.5236), std::sin(0.5236)}},
        {"turned and tilted", {-2, 4, 1}, {0.6, 0.8, 0}, {-0.8 * 0.5, 0.6 * 0.5, std::sqrt(0.75)}},
    };
    constexpr double kInPlane = 1.0e-5;  // the UCS keeps its axes in single precision
    for (const row& r : rows) {
        control::reset();
        const p3 z{r.x[1] * r.y[2] - r.x[2] * r.y[1], r.x[2] * r.y[0] - r.x[0] * r.y[2],
                   r.x[0] * r.y[1] - r.x[1] * r.y[0]};
        const auto at = [&](p3 local) {
            p3 w{};
            for (int i = 0; i < 3; ++i) w[i] = r.origin[i] + local[0] * r.x[i] + local[1] * r.y[i] + local[2] * z[i];
            return w;
        };
        const auto local_of = [&](const double* w) {
            const p3 d{w[0] - r.origin[0], w[1] - r.origin[1], w[2] - r.origin[2]};
            const auto dot = [&](const p3& a) { return d[0] * a[0] + d[1] * a[1] + d[2] * a[2]; };
            return p3{dot(r.x), dot(r.y), dot(z)};
        };
        int ucs = 0, status = 0;
        const float o[3] = {float(r.origin[0]), float(r.origin[1]), float(r.origin[2])};
        const float xp[3] = {float(r.origin[0] + r.x[0]), float(r.origin[1] + r.x[1]), float(r.origin[2] + r.x[2])};
        const float yp[3] = {float(r.origin[0] + r.y[0]), float(r.origin[1] + r.y[1]), float(r.origin[2] + r.y[2])};
        xsys4(o, xp, yp, ucs, status);
        ASSERT_EQ(status, 0) << r.what;
        // The square drawn in world coordinates on the plane, 2 above the UCS's XY.
        const std::vector<xy> corners{{0, 0}, {6, 0}, {6, 4}, {0, 4}};
        std::vector<control::curve_in_set> sides;
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const xy& a = corners[k];
            const xy& b = corners[(k + 1) % corners.size()];
            const p3 wa = at({a[0], a[1], 2}), wb = at({b[0], b[1], 2});
            sides.push_back({control::add_line({wa[0], wa[1], wa[2]}, {wb[0], wb[1], wb[2]}), 0.0,
                             std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
        }
        const std::vector<int> square = chain_of(2, sides);
        // The obround placed in the UCS.
        const std::vector<int> obround = obround_record(10.0, 2.0);
        int curves = 0;
        dfdgnc(obround.data(), curves, status);
        for (int k = 1; k <= curves; ++k) {
            int entity = 0;
            double data[3];
            dfdget(obround.data(), k, entity, data, status);
            control::set_attribute(entity, "RP", ucs);
        }
        int plane[2] = {ucs, kWorkPlaneOfUcs};
        gswpld(2, plane);

        float polygon[2 * 8];
        int count = 0;
        dfcpol(square.data(), 1, 0.01f, 8, polygon, count);
        ASSERT_EQ(count, 5) << r.what;
        for (int i = 0; i < count; ++i) {
            const xy& c = corners[static_cast<std::size_t>(i % 4)];
            EXPECT_NEAR(polygon[2 * i], c[0], kInPlane) << r.what;
            EXPECT_NEAR(polygon[2 * i + 1], c[1], kInPlane) << r.what;
        }
        for (const double distance : {-1.0, 1.5}) {
            std::vector<int> out(2 * 20);
            int length = 0;
            dfcof2(obround.data(), distance, 20, out.data(), length, status);
            ASSERT_EQ(status, 0) << r.what;
            ASSERT_EQ(length, 4) << r.what;
            out.resize(8);
            std::vector<xy> seen;
            int offset_curves = 0;
            dfdgnc(out.data(), offset_curves, status);
            for (int k = 1; k <= offset_curves; ++k) {
                int entity = 0;
                double data[3], p[3];
                dfdget(out.data(), k, entity, data, status);
                EXPECT_EQ(control::get_entity(entity)->attributes.at("RP"), ucs) << r.what;
                for (int i = 0; i < 32; ++i) {
                    evcrvd(entity, data[0] + (data[1] - data[0]) * i / 32.0, p, nullptr, status);
                    const p3 local = local_of(p);
                    EXPECT_NEAR(local[2], 2.0, kInPlane) << r.what;
                    EXPECT_NEAR(segment_distance({local[0], local[1]}, {0, 0}, {10, 0}), 2.0 - distance, kInPlane)
                        << r.what;
                    seen.push_back({local[0], local[1]});
                }
            }
            const double width = 2.0 - distance;
            EXPECT_NEAR(area(seen), 10 * 2 * width + std::numbers::pi * width * width, 0.02 * 10 * width) << r.what;
            dfcgnr(out.data(), status);
        }
        int world[2] = {0, 0};
        gswpld(2, world);
    }
    control::reset();
}
