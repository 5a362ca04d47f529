// The crossing check of the pocket's contours judged against Clipper 1 over seeded random
// pockets: an outer contour (a rectangle or a star) with one to three islands (regular polygons
// or stars) anywhere about it, some with two corners swapped. Clipper decides what the check must
// find: a contour that Clipper's simplification splits or shrinks crosses itself; two contours
// cross when they share area and each has area outside the other, beyond the contour tolerance;
// a crossing is borne only by islands held by the same contours, an odd number of them. Pockets
// where the answer changes between half and twice the tolerance are passed over.
#include "contour_test_support.hpp"

#include "pocket/contour_crossings.hpp"
#include "pocket/contour_upkeep.hpp"

#include <polyclipping/clipper.hpp>

#include <random>
#include <set>
#include <sstream>

namespace {

using ClipperLib::Path;
using ClipperLib::Paths;
using corners = std::vector<std::array<double, 2>>;

constexpr double kScale = 1.0e6;    // Clipper's unit: a micrometre of a millimetre
constexpr double kTolerance = 0.1;  // code 25 of the pockets
constexpr double kNoArea = 1.0e-6;  // mm^2: less is no area at all
constexpr int kPockets = 300;
constexpr unsigned kSeed = 62;

Path path_of(const corners& c)
{
    Path p;
    for (const auto& q : c) p.push_back({std::llround(q[0] * kScale), std::llround(q[1] * kScale)});
    return p;
}

double area_of(const Paths& paths)
{
    double twice = 0.0;
    for (const Path& p : paths) twice += ClipperLib::Area(p);
    return std::fabs(twice) / (kScale * kScale);
}

Paths offset(const Path& p, double distance)
{
    ClipperLib::ClipperOffset o;
    o.AddPath(p, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    Paths out;
    o.Execute(out, distance * kScale);
    return out;
}

Paths clipped(const Path& subject, const Paths& clip, ClipperLib::ClipType type)
{
    ClipperLib::Clipper c;
    c.AddPath(subject, ClipperLib::ptSubject, true);
    c.AddPaths(clip, ClipperLib::ptClip, true);
    Paths out;
    c.Execute(type, out, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return out;
}

bool crosses_itself(const Path& p)
{
    Paths simple;
    ClipperLib::SimplifyPolygon(p, simple, ClipperLib::pftNonZero);
    return simple.size() != 1 || std::fabs(area_of(simple) - area_of({p})) > kNoArea;
}

// Area of p farther than m outside q.
double outside(const Path& p, const Path& q, double m)
{
    return area_of(clipped(p, offset(q, m), ClipperLib::ctDifference));
}

// The boundaries of p and q cross: they share area farther than m inside both, and each has area
// farther than m outside the other.
bool cross(const Path& p, const Path& q, double m)
{
    return area_of(clipped(p, offset(q, -m), ClipperLib::ctIntersection)) > kNoArea && outside(p, q, m) > kNoArea &&
           outside(q, p, m) > kNoArea;
}

// What Clipper says the check must answer for the contours (true: refused); nothing when the
// answer depends on the tolerance.
std::optional<bool> expected_refusal(const std::vector<Path>& contours)
{
    const std::size_t n = contours.size();
    for (const Path& p : contours)
        if (crosses_itself(p)) return true;
    std::vector<std::set<std::size_t>> holders(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            if (i != j &&
                area_of(clipped(contours[i], offset(contours[j], kTolerance), ClipperLib::ctDifference)) <= kNoArea)
                holders[i].insert(j);
    bool refused = false;
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const bool near = cross(contours[i], contours[j], 0.5 * kTolerance);
            if (near != cross(contours[i], contours[j], 2.0 * kTolerance)) return std::nullopt;
            if (near && !(holders[i] == holders[j] && holders[i].size() % 2 == 1)) refused = true;
        }
    }
    return refused;
}

// A regular polygon, or a star of random radii, about the centre; sometimes two corners swapped.
corners random_contour(std::mt19937& rng, std::array<double, 2> centre, double radius)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const bool star = unit(rng) < 0.5;
    const int n = star ? 5 + static_cast<int>(unit(rng) * 6) : 3 + static_cast<int>(unit(rng) * 6);
    const double turn = unit(rng) * 2 * M_PI;
    corners c;
    for (int k = 0; k < n; ++k) {
        const double a = turn + 2 * M_PI * k / n, r = radius * (star ? 0.4 + 0.6 * unit(rng) : 1.0);
        c.push_back({centre[0] + r * std::cos(a), centre[1] + r * std::sin(a)});
    }
    if (unit(rng) < 0.15) std::swap(c[0], c[1 + static_cast<std::size_t>(unit(rng) * (n - 2))]);
    return c;
}

std::vector<corners> random_pocket(std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<corners> pocket;
    pocket.push_back(unit(rng) < 0.5 ? corners{{0, 0}, {100, 0}, {100, 60}, {0, 60}}
                                     : random_contour(rng, {50, 30}, 25 + 10 * unit(rng)));
    const int islands = 1 + static_cast<int>(unit(rng) * 3);
    for (int k = 0; k < islands; ++k)
        pocket.push_back(random_contour(rng, {-10 + 120 * unit(rng), -10 + 80 * unit(rng)}, 2 + 18 * unit(rng)));
    return pocket;
}

std::string text_of(const std::vector<corners>& pocket)
{
    std::ostringstream out;
    for (const corners& c : pocket) {
        out << "\n ";
        for (const auto& q : c) out << " (" << q[0] << ", " << q[1] << ")";
    }
    return out.str();
}

class ContourCrossings : public ContourTest {};

}  // namespace

TEST_F(ContourCrossings, RandomPocketsAreRefusedAsClipperSays)
{
    std::mt19937 rng(kSeed);
    int judged = 0;
    for (int trial = 0; trial < kPockets; ++trial) {
        const std::vector<corners> pocket = random_pocket(rng);
        std::vector<Path> paths;
        for (const corners& c : pocket) paths.push_back(path_of(c));
        const std::optional<bool> refused = expected_refusal(paths);
        if (!refused) continue;
        ++judged;
        TearDown();
        SetUp();
        drelan_params_current.set_real(drelan_params::kTolerance, static_cast<float>(kTolerance));
        for (std::size_t k = 0; k < pocket.size(); ++k) {
            polygon_set(static_cast<int>(k) + 1, pocket[k]);
            add_chain(static_cast<int>(k) + 1);
        }
        int status = 0;
        contour_gather_curves(1, 0, kMaxContours, status);
        ASSERT_EQ(status, 0);
        contour_crossings_check(status);
        EXPECT_EQ(status, *refused ? -1 : 0) << "seed " << kSeed << ", pocket " << trial << ":" << text_of(pocket);
    }
    EXPECT_GT(judged, kPockets * 9 / 10) << "most pockets are clear of the tolerance";
}
