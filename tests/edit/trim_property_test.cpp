// Contour trims with DELETE MOTIONS judged over seeded random paths and contours (trim_judge.hpp):
// zig-zags whose passes are joined at the clearance or stepped over at depth, spirals and pocket
// rings; convex and star contours, combs whose edge carries the links, contours with corners on
// the path's vertices and links; both sides, both connections through the clearance.
// DRELAN_TRIMS sets the number of trims (240 by default, 24 under the sanitizers, whose run looks
// for memory faults while the plain run judges every seed), DRELAN_TRIM_SEED judges one seed.
#include "tests/edit/trim_judge.hpp"
#include "tests/support/build_under_test.hpp"

#include <cstdlib>
#include <numbers>
#include <random>

namespace {

using trim_judge::polygon;
using trim_part::path;
namespace control = vantu::control;

// A frame in the plane: the centre and the direction of its u axis.
struct frame {
    double cx = 300, cy = 300, angle = 0;
    std::array<double, 2> at(double u, double v) const
    {
        const double c = std::cos(angle), s = std::sin(angle);
        return {cx + c * u - s * v, cy + s * u + c * v};
    }
    point3 at(double u, double v, float z) const
    {
        const auto p = at(u, v);
        return {float(p[0]), float(p[1]), z};
    }
};

// A generated path with what its contours may lean on: its frame and extent (u within +-half,
// v from low to high), and the XY points of its vertices and links.
struct scene {
    path p;
    frame f;
    double half = 30, low = -20, high = 20;
    float cut_z = -2;
    std::vector<std::array<double, 2>> points;
};

double uniform(std::mt19937& g, double a, double b) { return std::uniform_real_distribution<double>(a, b)(g); }
int between(std::mt19937& g, int a, int b) { return std::uniform_int_distribution<int>(a, b)(g); }

// Scenes stand about (300, 300), away from the pocket example's own curves, which a contour
// pick would chain otherwise.
frame random_frame(std::mt19937& g)
{
    frame f{uniform(g, 290, 310), uniform(g, 290, 310), 0.0};
    if (between(g, 0, 2) == 0)
        f.angle = uniform(g, 0, std::numbers::pi);
    else
        f.angle = between(g, 0, 3) * std::numbers::pi / 2;
    return f;
}

// Passes along u across the frame, joined at the clearance or stepped over at depth.
scene zig_zag(std::mt19937& g)
{
    scene s;
    s.f = random_frame(g);
    s.half = uniform(g, 15, 40);
    const int passes = between(g, 3, 10);
    const double gap = uniform(g, 2, 8);
    s.low = -gap * (passes - 1) / 2;
    s.high = -s.low;
    const bool stepped = between(g, 0, 3) == 0;
    std::vector<std::vector<point3>> runs(stepped ? 1 : passes);
    for (int k = 0; k < passes; ++k) {
        const double v = s.low + gap * k, u0 = k % 2 == 0 ? -s.half : s.half;
        auto& run = runs[stepped ? 0 : std::size_t(k)];
        run.push_back(s.f.at(u0, v, s.cut_z));
        run.push_back(s.f.at(-u0, v, s.cut_z));
    }
    s.p = trim_part::path_of(runs);
    return s;
}

// A scene about its centre, as wide as high.
scene square_scene(std::mt19937& g)
{
    scene s;
    s.f = random_frame(g);
    s.half = uniform(g, 12, 40);
    s.low = -s.half;
    s.high = s.half;
    return s;
}

// A square spiral inward, one cutting run.
scene spiral(std::mt19937& g)
{
    scene s = square_scene(g);
    const double step = uniform(g, 2, 7);
    std::vector<point3> run;
    double h = s.half;
    for (int turn = 0; h > step; ++turn, h -= step) {
        run.push_back(s.f.at(-h, -h + (turn ? step : 0), s.cut_z));
        run.push_back(s.f.at(h, -h + (turn ? step : 0), s.cut_z));
        run.push_back(s.f.at(h, h, s.cut_z));
        run.push_back(s.f.at(-h, h, s.cut_z));
    }
    s.p = trim_part::path_of({run});
    return s;
}

// A ring about the frame's centre as a run: a polygon of n sides, or (n 0) a rounded rectangle of
// half sides hu, hv whose corners are quarter arcs of radius r, from the middle of its lower side.
trim_part::path ring(const frame& f, double hu, double hv, double r, int sides, float z)
{
    trim_part::path run;
    auto line = [&](double u, double v) { run.push_back({false, 0, f.at(u, v, z)}); };
    if (sides > 0) {
        for (int k = 0; k <= sides; ++k) {
            const double a = 2 * std::numbers::pi * (k % sides) / sides + std::numbers::pi / 4;
            line(hu * std::sqrt(2.0) * std::cos(a), hv * std::sqrt(2.0) * std::sin(a));
        }
        return run;
    }
    auto corner = [&](double cu, double cv, double u, double v) {
        const auto c = f.at(cu, cv);
        run.push_back({false, 0, f.at(u, v, z), float(std::numbers::pi / 2), {float(c[0]), float(c[1])}});
    };
    const double eu = hu - r, ev = hv - r;
    line(0, -hv);
    line(eu, -hv);
    corner(eu, -ev, hu, -ev);
    line(hu, ev);
    corner(eu, ev, eu, hv);
    line(-eu, hv);
    corner(-eu, ev, -hu, ev);
    line(-hu, -ev);
    corner(-eu, -ev, -eu, -hv);
    line(0, -hv);
    return run;
}

// Rings about the centre, each inside the one before, joined at the clearance or stepped over at
// depth: polygons, or rounded rectangles like the offsets of a pocket.
scene rings(std::mt19937& g)
{
    scene s = square_scene(g);
    const int sides = between(g, 0, 2) == 0 ? between(g, 4, 16) : 0;
    const double step = uniform(g, 3, 9), aspect = uniform(g, 0.5, 1.0);
    const double corner = uniform(g, 0.5, std::min(6.0, s.half * aspect - 1));
    const bool stepped = between(g, 0, 1) == 0;
    std::vector<trim_part::path> runs;
    for (double h = s.half; runs.empty() || h * aspect > step / 2 + corner; h -= step) {
        trim_part::path r = ring(s.f, h, h * aspect, corner, sides, s.cut_z);
        if (runs.empty() || !stepped)
            runs.push_back(r);
        else
            runs.back().insert(runs.back().end(), r.begin(), r.end());
    }
    s.low = -s.half * aspect;
    s.high = s.half * aspect;
    s.p = trim_part::path_of(runs);
    return s;
}

bool segments_meet(const std::array<double, 2>& a, const std::array<double, 2>& b, const std::array<double, 2>& c,
                   const std::array<double, 2>& d)
{
    auto cross = [](const auto& o, const auto& p, const auto& q) {
        return (p[0] - o[0]) * (q[1] - o[1]) - (p[1] - o[1]) * (q[0] - o[0]);
    };
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    return ((d1 > 0) != (d2 > 0) || d1 == 0 || d2 == 0) && ((d3 > 0) != (d4 > 0) || d3 == 0 || d4 == 0) &&
           std::min(a[0], b[0]) <= std::max(c[0], d[0]) && std::min(c[0], d[0]) <= std::max(a[0], b[0]) &&
           std::min(a[1], b[1]) <= std::max(c[1], d[1]) && std::min(c[1], d[1]) <= std::max(a[1], b[1]);
}

// A contour the trim may take: no edge shorter than 0.5, no two edges meeting but neighbours at
// their shared corner, an area of some size.
bool simple(const polygon& p)
{
    const std::size_t n = p.size();
    double area = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto &a = p[i], &b = p[(i + 1) % n];
        area += a[0] * b[1] - a[1] * b[0];
        if (std::hypot(b[0] - a[0], b[1] - a[1]) < 0.5) return false;
        for (std::size_t j = i + 2; j < n; ++j)
            if ((j + 1) % n != i && segments_meet(a, b, p[j], p[(j + 1) % n])) return false;
    }
    return std::abs(area) > 20;
}

// A star about a point of the scene: convex with equal radii, concave when they alternate.
polygon star(std::mt19937& g, const scene& s, bool concave)
{
    const int n = concave ? 2 * between(g, 3, 7) : between(g, 3, 8);
    const auto centre = s.f.at(uniform(g, -s.half, s.half), uniform(g, s.low, s.high));
    const double radius = uniform(g, 8, 40), phase = uniform(g, 0, 2 * std::numbers::pi);
    polygon p;
    for (int k = 0; k < n; ++k) {
        const double a = phase + 2 * std::numbers::pi * (k + uniform(g, -0.3, 0.3)) / n;
        const double r = concave && k % 2 == 1 ? radius * uniform(g, 0.3, 0.7) : radius * uniform(g, 0.8, 1.0);
        p.push_back({centre[0] + r * std::cos(a), centre[1] + r * std::sin(a)});
    }
    return p;
}

// A comb in the scene's frame: its back along u = edge (the line the links of a zig-zag run on at
// the passes' ends), teeth reaching from it into the passes.
polygon comb(std::mt19937& g, const scene& s)
{
    const double sign = between(g, 0, 1) == 0 ? 1.0 : -1.0;
    const double edge = between(g, 0, 2) == 0 ? uniform(g, -s.half, s.half) : s.half;
    const double back = uniform(g, 2, 8), reach = uniform(g, 5, 2 * s.half);
    const double low = s.low - uniform(g, 1, 6), high = s.high + uniform(g, 1, 6);
    const int teeth = between(g, 1, 4);
    std::vector<std::array<double, 2>> uv{{edge, low}, {edge, high}, {edge - back, high}};
    const double pitch = (high - low) / teeth;
    for (int k = teeth - 1; k >= 0; --k) {
        const double top = low + pitch * (k + uniform(g, 0.6, 0.9)), bottom = low + pitch * (k + uniform(g, 0.1, 0.4));
        uv.push_back({edge - back, top});
        uv.push_back({edge - back - reach, top});
        uv.push_back({edge - back - reach, bottom});
        uv.push_back({edge - back, bottom});
    }
    uv.push_back({edge - back, low});
    polygon p;
    for (const auto& q : uv) p.push_back(s.f.at(sign * q[0], q[1]));
    return p;
}

// A contour of the scene by kind: 0 convex, 1 concave, 2 comb, 3 a star with corners moved onto
// the path's vertices and links.
polygon contour(std::mt19937& g, const scene& s, int kind)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        polygon p = kind == 2 ? comb(g, s) : star(g, s, kind == 1 || (kind == 3 && between(g, 0, 1) == 0));
        if (kind == 3)
            for (int k = between(g, 1, 3); k > 0; --k)
                p[std::size_t(between(g, 0, int(p.size()) - 1))] =
                    s.points[std::size_t(between(g, 0, int(s.points.size()) - 1))];
        if (simple(p)) return p;
    }
    return comb(g, s);
}

scene scene_of(std::mt19937& g, int kind)
{
    scene s = kind == 0 ? zig_zag(g) : kind == 1 ? spiral(g) : rings(g);
    for (const auto& st : s.p)
        if (!st.feed_change) s.points.push_back({st.point[0], st.point[1]});
    return s;
}

int trims_to_run()
{
    const char* text = std::getenv("DRELAN_TRIMS");
    return text ? std::atoi(text) : test_support::sanitized_run() ? 24 : 240;
}

class TrimProperty : public ::testing::Test {
protected:
    void TearDown() override
    {
        kept_.restore();
        control::reset();
    }

private:
    trim_part::module_words kept_;
};

}  // namespace

// The polygon for a failure's report.
std::string contour_text(const polygon& p)
{
    std::string out;
    for (const auto& q : p) out += " (" + std::to_string(q[0]) + " " + std::to_string(q[1]) + ")";
    return out;
}

TEST_F(TrimProperty, DeletedRangesLeaveTheKeptSideWhole)
{
    const char* one = std::getenv("DRELAN_TRIM_SEED");
    const int first = one ? std::atoi(one) : 0, count = one ? 1 : trims_to_run();
    int failed = 0;
    for (int seed = first; seed < first + count && failed < 5; ++seed) {
        std::mt19937 g(static_cast<unsigned>(seed));
        const scene s = scene_of(g, seed % 3);
        trim_judge::trim_case c;
        c.contour = contour(g, s, between(g, 0, 3));
        c.side = between(g, 1, 2);
        c.connection = between(g, 1, 2);
        c.cut_z = s.cut_z;
        trim_part::part_options options;
        options.ucs = between(g, 0, 4) != 0;  // a part without a UCS now and then
        const point3 home = trim_part::make_part(s.p, options);
        const auto before = trim_part::sublist();
        trim_part::store_page(c.side, c.connection);
        const int operations = trim_part::trim_to_end(trim_part::contour_entities(c.contour));
        const auto after = trim_part::sublist();
        std::string faults = trim_judge::judge(c, home, before, after);
        for (const std::string& line : control::lines_of("eroutc")) faults += "error: " + line + "\n";
        for (const std::string& line : trim_part::reopen_errors()) faults += "reopening: " + line + "\n";
        if (faults.empty()) continue;
        ++failed;
        ADD_FAILURE() << "seed " << seed << " (DRELAN_TRIM_SEED=" << seed << "), " << operations << " operations:\n"
                      << faults
                      << (one ? "contour (side " + std::to_string(c.side) + "):" + contour_text(c.contour) +
                                    "\nbefore:\n" + trim_judge::listing(before) + "after:\n" +
                                    trim_judge::listing(after)
                              : std::string());
    }
}
