// The surface pocket's lanes over random height grids (ridges and cones of flanks from 10 to 75
// degrees, folds, noisy terrain, holes of a few cells), run through the caller module
// testmod_surface_pocket with the lanes laid on the grid and on the part surface with a ball.
// Every run is judged against the grid surface and the ball dropped onto every triangle, both
// built here apart from the module: every written point on the surface (the ball touching it)
// within the tolerance, every move at or above it less the tolerance (the ball cutting no
// deeper), every lane closed, simple, inside the pocket, its offset away from every contour in the
// plane and off every other lane, every point of the pocket within a step of a lane, and the run
// ending without a message (a run that leaves part of the pocket uncut must end with one, and its
// execution must fail).
// DRELAN_SURFACES sets the number of surfaces (100, or the first 8 under the sanitizers, spread
// over the shards), DRELAN_SURFACE_SEED the first seed; DRELAN_SURFACE_KEEP names a folder that
// keeps every run's part, script, tool path and transcript; DRELAN_SURFACE_LOG prints every run's
// faults.
#include "hostrun_support.hpp"
#include "surface_lane_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace runner_test;
const std::string kSource = DRELAN_SOURCE_DIR;
// The caller module's step between lanes and tolerance, and the ball it lays lanes on the part
// surface with.
constexpr double kStep = 2.0;
constexpr double kTolerance = 0.01;
constexpr double kBallRadius = 1.0;
// The offset the caller module gives every contour: the lanes keep this far from the outer
// contour and from the islands. The contours are plane curves and the walls of the pocket and its
// islands stand upright over them, so the distance is judged in the plane: a ball whose tip lies
// on a lane reaches its radius round its centre in XY, and keeps off an upright wall exactly when
// the tip lies that far from the wall's curve in XY. A distance along the surface is longer than
// that on every flank that falls towards a wall (by one over the cosine of its slope), and would
// pass a lane whose ball cuts into the wall.
constexpr double kContourOffset = 1.0;
// A move is sampled this often between its ends; two lanes lie on each other where a stretch of
// one lies this near the other.
constexpr double kSampleSpacing = 0.1;
constexpr double kOnEachOther = 0.02;
// The pocket's points judged for their lanes lie on a lattice of this spacing.
constexpr double kLattice = 0.5;
constexpr int kShards = 4;
// The surfaces of a default run: the plain build judges them all, the sanitizer build the first.
const int kDefaultSurfaces = test_support::sanitized_run() ? 8 : 100;

// The segments of all lanes bucketed by the grid's cells their XY boxes touch, for the distance
// of a point to the lanes. A lane of one point (a loop the tool cannot go into, where it goes
// down and back up) cuts round that point: it stands as a segment of no length.
struct lane_index {
    const std::vector<std::vector<p3>>& lanes;
    const grid_surface& grid;
    std::vector<std::vector<std::pair<int, int>>> buckets;  // lane, segment per cell

    lane_index(const std::vector<std::vector<p3>>& l, const grid_surface& g)
        : lanes(l), grid(g), buckets(static_cast<std::size_t>(g.nx * g.ny))
    {
        for (int k = 0; k < static_cast<int>(lanes.size()); ++k) {
            const int segments = lanes[k].empty() ? 0 : std::max(static_cast<int>(lanes[k].size()) - 1, 1);
            for (int i = 0; i < segments; ++i) {
                const p3 &a = lanes[k][i], &b = end_of(k, i);
                for (int r = row(std::min(a[1], b[1])); r <= row(std::max(a[1], b[1])); ++r)
                    for (int c = col(std::min(a[0], b[0])); c <= col(std::max(a[0], b[0])); ++c)
                        buckets[static_cast<std::size_t>(r * grid.nx + c)].push_back({k, i});
            }
        }
    }
    // The end of segment i of lane k: the next point, or the point itself on a lane of one.
    const p3& end_of(int k, int i) const { return lanes[k][std::min<std::size_t>(i + 1, lanes[k].size() - 1)]; }
    int col(double x) const { return std::clamp(static_cast<int>(std::floor((x - grid.x0) / grid.h)), 0, grid.nx - 1); }
    int row(double y) const { return std::clamp(static_cast<int>(std::floor((y - grid.y0) / grid.h)), 0, grid.ny - 1); }

    // The distance (3-D, or in the plane) from p to the nearest segment within `reach` of it,
    // skipping lane `skip`; reach when none is nearer.
    double nearest(const p3& p, double reach, bool planar, int skip = -1) const
    {
        double best = reach;
        for (int r = row(p[1] - reach); r <= row(p[1] + reach); ++r)
            for (int c = col(p[0] - reach); c <= col(p[0] + reach); ++c)
                for (const auto& [k, i] : buckets[static_cast<std::size_t>(r * grid.nx + c)]) {
                    if (k == skip) continue;
                    best = std::min(best, segment_distance(p.data(), lanes[k][i].data(), end_of(k, i).data(), planar));
                }
        return best;
    }
};

// How far a written lane point stands above the surface it is laid on: the grid surface, or for
// a ball's tip the ball's clearance from the triangles; nothing where there is no surface.
using gap_of = std::function<std::optional<double>(const p3&)>;

// The kinds of fault a run can show.
enum fault_kind {
    kMessage,
    kNoLanes,
    kOpen,
    kCrossing,
    kOutside,
    kOverHole,
    kOffSurface,
    kBelow,
    kOnAnother,
    kGap,
    kSilentGap,
    kUncutSucceeds,
    kNearContour,
    kKinds
};
constexpr const char* kKindNames[kKinds] = {"a message on the error channel",
                                            "no lanes",
                                            "lane not closed",
                                            "lane crosses itself",
                                            "point outside the pocket",
                                            "point or move over no surface",
                                            "point off the surface",
                                            "move below the surface",
                                            "lane lies on another",
                                            "pocket points farther than a step from every lane",
                                            "pocket left uncovered without a message",
                                            "pocket left uncovered by an execution that succeeded",
                                            "lane nearer a contour than its offset"};

// The faults of one run: their kinds, and a few lines of each.
struct run_faults {
    std::array<int, kKinds> count{};
    std::string lines;
    double nearest_contour = 1e300;  // the least distance in the plane of a lane from a contour
    bool created = false;            // the run's execution succeeded: the procedure was reported created
    void add(fault_kind kind, const std::string& what)
    {
        if (count[kind]++ < 3) lines += std::string(kKindNames[kind]) + ": " + what + "\n";
    }
};

std::string at(std::size_t k, const p3& p, double by)
{
    std::ostringstream line;
    line << "lane " << k << " at " << p[0] << ", " << p[1] << ", " << p[2] << " (" << by << ")";
    return line.str();
}

// A lane point or a point of a move nearer a contour than the contours' offset.
void judge_contour_distance(const surface_case& s, std::size_t k, const p3& p, run_faults& faults)
{
    const double d = contour_distance(s, p[0], p[1]);
    faults.nearest_contour = std::min(faults.nearest_contour, d);
    if (d < kContourOffset - kTolerance) faults.add(kNearContour, at(k, p, d));
}

// The faults of one run's lanes.
void judge(const surface_case& s, const std::vector<std::vector<p3>>& lanes, const gap_of& gap, bool planar_cover,
           run_faults& faults)
{
    if (lanes.empty()) faults.add(kNoLanes, s.what);
    const lane_index index(lanes, s.grid);
    for (std::size_t k = 0; k < lanes.size(); ++k) {
        const std::vector<p3>& lane = lanes[k];
        // A lane of one point (a loop the tool cannot go into) is closed too.
        const double open = lane.empty() ? 1.0 : distance_to_segment(lane.front(), lane.back(), lane.back());
        if (open > 1e-4) {
            faults.add(kOpen, at(k, lane.empty() ? p3{} : lane.front(), open));
            continue;
        }
        if (crosses_itself(lane)) faults.add(kCrossing, at(k, lane.front(), 0.0));
        double lying_on = 0.0;
        for (std::size_t i = 0; i < lane.size(); ++i) {
            const p3& p = lane[i];
            const double outside = outside_pocket(s, p[0], p[1]);
            if (outside > 0.0) faults.add(kOutside, at(k, p, outside));
            judge_contour_distance(s, k, p, faults);
            const std::optional<double> above = gap(p);
            if (!above)
                faults.add(kOverHole, at(k, p, 0.0));
            else if (std::fabs(*above) > kTolerance)
                faults.add(kOffSurface, at(k, p, *above));
            if (i == 0) continue;
            const p3& a = lane[i - 1];
            const int samples = static_cast<int>(std::ceil(std::hypot(p[0] - a[0], p[1] - a[1]) / kSampleSpacing));
            for (int j = 1; j < samples; ++j) {
                const double t = static_cast<double>(j) / samples;
                const p3 m = {a[0] + t * (p[0] - a[0]), a[1] + t * (p[1] - a[1]), a[2] + t * (p[2] - a[2])};
                judge_contour_distance(s, k, m, faults);
                const std::optional<double> clear = gap(m);
                if (!clear)
                    faults.add(kOverHole, at(k, m, 0.0));
                else if (*clear < -kTolerance)
                    faults.add(kBelow, at(k, m, *clear));
            }
            const p3 middle = {0.5 * (a[0] + p[0]), 0.5 * (a[1] + p[1]), 0.5 * (a[2] + p[2])};
            if (index.nearest(middle, kOnEachOther, planar_cover, static_cast<int>(k)) < kOnEachOther)
                lying_on += distance_to_segment(a, p, p);
        }
        if (lying_on > 0.25 * kStep) faults.add(kOnAnother, at(k, lane.front(), lying_on));
    }
    int far = 0, total = 0;
    p3 worst{};
    double worst_distance = 0.0;
    for (double y = s.grid.y0 + 0.5 * kLattice; y < s.grid.y0 + (s.grid.ny - 1) * s.grid.h; y += kLattice)
        for (double x = s.grid.x0 + 0.5 * kLattice; x < s.grid.x0 + (s.grid.nx - 1) * s.grid.h; x += kLattice) {
            const std::optional<double> z = surface_height(s.grid, x, y);
            // The tool's centre keeps the contours' offset from every wall: a point nearer a wall
            // than that is left to the tool's side, however steeply the surface falls to the wall.
            if (!z || !in_pocket(s, x, y) || contour_distance(s, x, y) < kContourOffset) continue;
            ++total;
            const p3 p = {x, y, *z};
            const double d = index.nearest(p, 2.0 * kStep, planar_cover);
            if (d <= kStep + kTolerance) continue;
            ++far;
            if (d > worst_distance) worst_distance = d, worst = p;
        }
    if (far > 0)
        faults.add(kGap, std::to_string(far) + " of " + std::to_string(total) + ", the farthest " +
                             at(0, worst, worst_distance));
    // A run that leaves part of the pocket uncut must say so, and fail.
    if (far > 0 && faults.count[kMessage] == 0) faults.add(kSilentGap, s.what);
    if (far > 0 && faults.created) faults.add(kUncutSucceeds, s.what);
}

struct lanes_run {
    int exit_code = -1;
    std::string transcript;
    std::vector<std::vector<p3>> lanes;
};

lanes_run run_case(const surface_case& s, const std::string& answer, const fs::path& folder)
{
    static const nlohmann::json shipped =
        nlohmann::json::parse(read_file(kSource + "/examples/surface_pocket_part.json"));
    std::ofstream(folder / "part.json") << part_of(shipped, s).dump();
    std::ofstream(folder / "script.json") << script_of(s, answer);
    const run_result run = run_surface_module(folder / "part.json", folder / "script.json", folder / "out");
    return {run.exit_code, read_file(folder / "out" / "transcript.txt"),
            lanes_of(read_file(folder / "out" / "toolpath.txt"))};
}

// The lines the run sent to the error channel, and whether its execution succeeded (the driver
// reports the procedure created only then).
void errors_of(const std::string& transcript, run_faults& faults)
{
    std::istringstream lines(transcript);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("[eroutc]", 0) == 0 || line.rfind("[erou1c]", 0) == 0) faults.add(kMessage, line);
        if (line.find("PROCEDURE NUMBER 1 IS CREATED") != std::string::npos) faults.created = true;
    }
}

// Surfaces of the default run whose lanes still show faults, with the kinds they show: those do
// not fail the test, any other fault does, and a listed kind that a surface no longer shows
// fails until it is taken off the list.
struct known_fault {
    int seed;
    bool on_part;  // the lanes laid on the part surface, else on the grid
    std::vector<fault_kind> kinds;
};
// None is listed now.
const std::vector<known_fault> kKnownFaults = {};

// Surfaces whose lanes still come nearer a contour than its offset, besides the kinds listed
// above (the default run's and the mended surfaces'): on the grid by a ninth at seed 61 and a
// fifth at seed 331. None on the part surface.
constexpr int kNearOnGrid[] = {61, 331};
constexpr std::array<int, 0> kNearOnPart{};

// The kinds of fault listed for the surface of the seed, its lanes laid on the part surface or on
// the grid.
std::vector<fault_kind> listed_faults(int seed, bool on_part)
{
    std::vector<fault_kind> listed;
    for (const known_fault& known : kKnownFaults)
        if (known.seed == seed && known.on_part == on_part) listed = known.kinds;
    const auto near = [&](const auto& seeds) {
        return std::find(std::begin(seeds), std::end(seeds), seed) != std::end(seeds);
    };
    if (on_part ? near(kNearOnPart) : near(kNearOnGrid)) listed.push_back(kNearContour);
    return listed;
}

// The faults the run should not show besides the listed kinds, and the listed ones it no longer
// shows.
std::string unexpected(const std::vector<fault_kind>& kinds, const run_faults& faults)
{
    std::array<bool, kKinds> listed{};
    for (fault_kind kind : kinds) listed[kind] = true;
    std::string out;
    for (int kind = 0; kind < kKinds; ++kind) {
        if (faults.count[kind] > 0 && !listed[kind]) out += std::string(kKindNames[kind]) + "\n";
        if (faults.count[kind] == 0 && listed[kind])
            out += std::string("listed, no longer shown: ") + kKindNames[kind] + "\n";
    }
    return out;
}

// One line per run with faults, listed or not ("FAULTS seed grid|part [kind] ... nearest d", d the
// least distance of a lane from a contour in the plane), then the
// fault lines: the lists of two builds over a seed range compare with diff.
void log_faults(int seed, bool on_part, const run_faults& faults)
{
    std::string kinds;
    for (int kind = 0; kind < kKinds; ++kind)
        if (faults.count[kind] > 0) kinds += std::string(" [") + kKindNames[kind] + "]";
    if (!kinds.empty())
        std::printf("FAULTS %d %s%s nearest %.4g\n%s", seed, on_part ? "part" : "grid", kinds.c_str(),
                    faults.nearest_contour, faults.lines.c_str());
}

int from_environment(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

// Runs the random surface of the seed with the lanes laid on the grid and on the part surface,
// and expects of each run only the faults listed for it.
void judge_seed(int seed, const fs::path& folder)
{
    const surface_case s = random_surface(static_cast<std::uint64_t>(seed));
    const ball_clearance_reference ball(s.grid, kBallRadius);
    const auto on_grid = [&](const p3& p) -> std::optional<double> {
        const std::optional<double> z = surface_height(s.grid, p[0], p[1]);
        if (!z) return std::nullopt;
        return p[2] - *z;
    };
    const struct {
        const char* answer;
        gap_of gap;
        bool planar_cover;
    } modes[] = {
        {"THE GRID", on_grid, false},
        {"THE PART SURFACE", [&](const p3& p) { return ball.clearance(p); }, true},
    };
    for (const auto& m : modes) {
        const lanes_run run = run_case(s, m.answer, folder);
        if (const char* keep = std::getenv("DRELAN_SURFACE_KEEP")) {
            const fs::path kept = fs::path(keep) / (std::to_string(seed) + (m.planar_cover ? "_part" : "_grid"));
            fs::create_directories(kept);
            for (const char* file : {"part.json", "script.json", "out/toolpath.txt", "out/transcript.txt"})
                fs::copy_file(folder / file, kept / fs::path(file).filename(), fs::copy_options::overwrite_existing);
        }
        // Exit 8 says the module reported on the error channel: those lines are judged below.
        ASSERT_TRUE(run.exit_code == 0 || run.exit_code == 8)
            << "exit " << run.exit_code << ": " << s.what << ", " << m.answer << "\n"
            << run.transcript;
        run_faults faults;
        errors_of(run.transcript, faults);
        judge(s, run.lanes, m.gap, m.planar_cover, faults);
        if (std::getenv("DRELAN_SURFACE_LOG") != nullptr) log_faults(seed, m.planar_cover, faults);
        EXPECT_EQ(unexpected(listed_faults(seed, m.planar_cover), faults), "") << s.what << ", " << m.answer << "\n"
                                                                               << faults.lines;
    }
}

class SurfaceLanesShard : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(SurfaceLanesShard, RandomSurfacesAreFilledByClosedLanesOnTheSurface)
{
    const int surfaces = from_environment("DRELAN_SURFACES", kDefaultSurfaces);
    const int first = from_environment("DRELAN_SURFACE_SEED", 1);
    const fs::path folder = fresh_folder("surface_lanes_" + std::to_string(GetParam()));
    for (int seed = first + GetParam(); seed < first + surfaces; seed += kShards) {
        judge_seed(seed, folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, SurfaceLanesShard, ::testing::Range(0, kShards));

// Random surfaces whose lanes once went wrong (short of the pocket's middle, or crossing), each
// with what went wrong: judged in every run (every third under the sanitizers), whatever
// DRELAN_SURFACES and DRELAN_SURFACE_SEED say.
TEST(SurfaceLanes, MendedRandomSurfacesAreFilled)
{
    const struct {
        int seed;
        const char* what;
    } rows[] = {
        {38, "terrain: the third offset walked back 1.2 across its source at a steep bump, and the engine "
             "refused the whole loop after three offsets"},
        {190, "ridge: an offset along the flank came back across its source"},
        {230, "ridge: an offset along the flank came back across its source"},
        {255, "ridge: an offset along the flank came back across its source"},
        {128, "terrain: a thin closed lane on the part surface folded back across its seam, its closing "
              "move crossing its first"},
        {21, "cone: an offset filled a corner of its source round the wrong side, 11 long across the source, "
             "and the engine refused the loop"},
        {46, "cone: the lane of the narrow part round the top, laid on the grid, stepped back 0.03 past a "
             "grid line and crossed itself"},
        {67, "fold: the outer contour's first offset started from the middle of a side's chord, 10 above the "
             "surface, and offsets beyond it came back across their source for 11 to 12"},
        {202, "fold: the second offset ran out at a corner to its source's side and back, touching it without "
              "crossing, and the engine refused it and stopped after two offsets"},
        {177, "fold: an offset ran back onto its source without crossing it, and the engine stopped after two offsets"},
        {247, "fold: an offset ran back onto its source without crossing it, and the engine stopped after two offsets"},
        {180, "ridge: a piece of an offset holding uncut surface crossed the sliver test's walk more than once "
              "and was dropped as a sliver, leaving surface 2.9 from every lane"},
        {317, "fold: a piece holding uncut surface was dropped as a sliver, leaving surface 2.1 from every lane"},
        {331, "cone: a piece holding uncut surface was dropped as a sliver, leaving surface 2.5 from every lane"},
        {376, "cone: a piece holding uncut surface was dropped as a sliver, leaving surface 2.6 from every lane"},
        {6, "cone: the offset of the ring round the top held a small loop of its own, and the loop inside the "
            "ring was dropped for it, leaving a crescent up to 2.7 from every lane"},
        {145, "ridge: an offset holding a small loop of its own failed, and the run announced a failure though "
              "no surface was left uncut"},
        {286, "cone: an offset held a small loop of its own, and the loop round it was dropped for it, leaving "
              "surface 2.6 from every lane"},
        {316, "cone: an offset held a speck of a loop of its own, and the loop of area 103 round it was dropped "
              "for it, leaving surface two steps from every lane"},
        {175, "ridge: steps of a lane a few hundredths aside on a steep flank were each offset square to "
              "themselves, spikes that the next offsets widened until the engine stopped short of the top"},
        {292, "fold: steps of a lane a few hundredths aside were offset square to themselves, and the offsets "
              "stopped short of the fold"},
        {346, "cone: steps of a lane a few hundredths aside were offset square to themselves, and the offsets "
              "stopped short of the top"},
        {374, "holed: the two ends of a closed lane laid on the part surface were projected a thousandth apart, "
              "and the lane was left open; the run then announced a failure though no surface was left uncut"},
        {361, "cone: steps of a lane a few hundredths aside were offset square to themselves, and the offsets "
              "stopped short of the top"},
        {172, "fold: the offsets stopped short of the pocket's middle, with fills round concave corners in "
              "their lanes"},
        {217, "fold: the offsets stopped short of the pocket's middle, with fills round concave corners in "
              "their lanes"},
        {285, "ridge: the offsets stopped short of the pocket's middle, with fills round concave corners in "
              "their lanes"},
        {358, "terrain: the offsets stopped short of the pocket's middle, with fills round concave corners in "
              "their lanes"},
        {368, "terrain: the raw offset of the lane round an island standing near the outer lane crossed itself "
              "in plan between chords passing each other in space; the loop removal walked past the crossing, the "
              "offset came back across its source, and the lanes stopped short of the pocket's middle"},
        {388, "terrain: an offset on the grid overshot a concave bend and kept the reversed swallowtail, too "
              "long for the small-loop cut, and the lane crossed itself"},
        {60, "ridge of flanks of 73 degrees: lanes laid over the grid lines with steps a few hundredths aside, "
             "and the offsets stopped short of the crest, leaving surface more than a step from every lane"},
        {328, "terrain: the grid lane of an offset kept a swallowtail, two of whose points lay beyond the ends "
              "of both source segments at a jog of the source and were judged far from it, and crossed itself"},
        {224, "holed: points of the surface a few hundredths beyond a step from every lane fell between the "
              "points the run's coverage test sampled, and the run ended without a message"},
        {245, "ridge: a small loop laid on the part surface became a lane of one point, judged as covering "
              "nothing"},
        {240, "ridge: offsets on the flank crossed themselves at a vertex of a lane laid on the grid, the loop "
              "removal took the one crossing for two, and handed a small loop out five times, each copy a lane "
              "lying on the others and left open"},
        {151, "cone: a spike of an offset on the steep flank poked across its source and back, the engine "
              "refused the offset and left the top uncut"},
        {228, "terrain: the offsets' joins cut out a leg of the region beyond a neck narrower than two steps, a "
              "loop of the offset's own sense keeping the step from its source, and left surface 2.4 from every lane"},
        {386, "cone: the spike clean-up met a band collapsed to a stretch laid out and back, whose way back ran on "
              "along the loop, and averaged the tip with the loop's corner beyond it, cutting off surface 2.8 from "
              "every lane"},
        {344, "lanes on the part surface: the engine's offsets, laid on the grid, lost their loops up to two "
              "ball diameters long where the grid's two cells were meant, and left a point 2.2 from every lane, "
              "which the run announced"},
        {84, "holed: the lanes round two holes met at one point only, 6 degrees apart, and were merged as lanes "
             "lying on each other; the merged lane's offset kept a loop folded into the slit at that point in "
             "place of the loop round both holes, and left surface more than a step from every lane"},
    };
    const fs::path folder = fresh_folder("surface_lanes_mended");
    for (std::size_t k = 0; k < std::size(rows); k += test_support::named_row_stride()) {
        SCOPED_TRACE(rows[k].what);
        judge_seed(rows[k].seed, folder);
    }
}

// Named surfaces under the shipped pocket (the rectangle 5..50 x 5..35 round the square island
// 20..35 x 15..25): ridges along y = 20 whose straight flanks slope 44 and 70 degrees (from a
// crest 34 high down to the pocket's edges, and from 8 above a floor), the shipped ridge with a
// hole of three by three nodes in the pocket, and a flat grid, on whose island corners the
// island's lane keeps its distance.
TEST(SurfaceLanes, NamedSurfacesShowOnlyTheirListedFaults)
{
    const auto ridge = [](double degrees, double top, double floor) {
        return [=](double, double y) {
            return std::max(floor, top - std::tan(degrees * M_PI / 180.0) * std::fabs(y - 20.0));
        };
    };
    // Each with the faults its lanes on the part surface and on the grid still show (as the
    // random surfaces' list): none now. Beside the hole the offset of the lane round it met the
    // lane beside it at a vertex, which the loop removal took for two crossings: a second copy of
    // the lane, closed by a chord across the square island, ran into the island along the first.
    const struct {
        const char* what;
        std::function<double(double, double)> height;
        bool hole;
        std::vector<fault_kind> on_part, on_grid;
    } rows[] = {
        {"flanks of 44 degrees to the edges", ridge(44.0, 40.0, -1e6), false, {}, {}},
        {"flanks of 70 degrees to the edges", ridge(70.0, 40.0, -1e6), false, {}, {}},
        {"flanks of 70 degrees over a floor", ridge(70.0, 14.0, 6.0), false, {}, {}},
        {"the shipped ridge with a hole",
         [](double, double y) { return 6.0 + 4.0 * std::exp(-(y - 20.0) * (y - 20.0) / 25.0); },
         true,
         {},
         {}},
        {"flat", [](double, double) { return 6.0; }, false, {}, {}},
    };
    const fs::path folder = fresh_folder("surface_lanes_named");
    for (const auto& r : rows) {
        surface_case s;
        s.what = r.what;
        s.contours = {{{5, 5}, {50, 5}, {50, 35}, {5, 35}}, {{20, 15}, {20, 25}, {35, 25}, {35, 15}}};
        s.grid.nx = 61, s.grid.ny = 41;
        for (int row = 0; row < s.grid.ny; ++row)
            for (int col = 0; col < s.grid.nx; ++col)
                s.grid.z.push_back(r.hole && col >= 40 && col <= 42 && row >= 8 && row <= 10
                                       ? 1e7
                                       : double(float(r.height(col, row))));
        const ball_clearance_reference ball(s.grid, kBallRadius);
        for (const bool on_part : {false, true}) {
            const lanes_run run = run_case(s, on_part ? "THE PART SURFACE" : "THE GRID", folder);
            if (const char* keep = std::getenv("DRELAN_SURFACE_KEEP")) {
                const fs::path kept = fs::path(keep) / (std::string(r.what) + (on_part ? "_part" : "_grid"));
                fs::create_directories(kept);
                for (const char* file : {"part.json", "script.json", "out/toolpath.txt", "out/transcript.txt"})
                    fs::copy_file(folder / file, kept / fs::path(file).filename(),
                                  fs::copy_options::overwrite_existing);
            }
            ASSERT_EQ(run.exit_code, 0) << r.what << "\n" << run.transcript;
            run_faults faults;
            errors_of(run.transcript, faults);
            const gap_of on_grid = [&](const p3& p) -> std::optional<double> {
                const std::optional<double> z = surface_height(s.grid, p[0], p[1]);
                return z ? std::optional<double>(p[2] - *z) : std::nullopt;
            };
            judge(s, run.lanes, on_part ? gap_of([&](const p3& p) { return ball.clearance(p); }) : on_grid, on_part,
                  faults);
            EXPECT_EQ(unexpected(on_part ? r.on_part : r.on_grid, faults), "")
                << r.what << (on_part ? ", on the part" : ", on the grid") << "\n"
                << faults.lines;
            if (on_part || std::string(r.what) != "flat") continue;
            // The island's lane rounds its corners one offset away: no chord cuts them.
            for (const p2& corner : s.contours[1]) {
                double nearest = 1e30;
                for (const auto& lane : run.lanes)
                    for (std::size_t i = 0; i + 1 < lane.size(); ++i)
                        nearest =
                            std::min(nearest, distance_to_segment({corner[0], corner[1], 6.0}, lane[i], lane[i + 1]));
                EXPECT_NEAR(nearest, 1.0, kTolerance) << "island corner " << corner[0] << ", " << corner[1];
            }
        }
    }
}
