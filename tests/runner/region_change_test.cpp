// Pockets of several regions run whole through the runner and judged from the dumped tool path:
// regions side by side, and letters-like outlines whose holes are regions of their own (one of
// them with an island), in the stored order and in the nearest-neighbour order, with a level at
// the part's clearance height, by lanes and by hatch lines. The tool comes to every region as a
// link, above the part, from wherever it stood; no move at a cutting level leaves the region it
// cuts.
#include "pocket_dump_support.hpp"

#include <gtest/gtest.h>

#include <ostream>

namespace {

using namespace runner_test;

// A region of the pocket: an outer loop and the loops one level down inside it, with their boxes
// (min x, min y, max x, max y) to pass over the islands far from a point.
struct region {
    std::vector<xy> outer;
    std::vector<std::vector<xy>> islands;
    std::vector<std::array<double, 4>> boxes;
};

std::array<double, 4> box_of(const std::vector<xy>& loop)
{
    std::array<double, 4> box = {1.0e30, 1.0e30, -1.0e30, -1.0e30};
    for (const xy& q : loop)
        box = {std::min(box[0], q[0]), std::min(box[1], q[1]), std::max(box[2], q[0]), std::max(box[3], q[1])};
    return box;
}

bool in_region(const region& r, const xy& p)
{
    if (!inside_or_on(r.outer, p)) return false;
    for (std::size_t k = 0; k < r.islands.size(); ++k) {
        const std::array<double, 4>& box = r.boxes[k];
        if (p[0] < box[0] || p[1] < box[1] || p[0] > box[2] || p[1] > box[3]) continue;
        if (inside(r.islands[k], p) && boundary_distance(r.islands[k], p) > kGeometryTolerance) return false;
    }
    return true;
}

// The regions of nested loops: a loop inside an even number of others is an outer contour, the
// loops directly inside it its islands.
std::vector<region> regions_of(const std::vector<std::vector<xy>>& loops)
{
    const auto contains = [](const std::vector<xy>& a, const std::vector<xy>& b) {
        return &a != &b && inside(a, b[0]);
    };
    std::vector<int> depth;
    for (const auto& loop : loops)
        depth.push_back(static_cast<int>(std::count_if(
            loops.begin(), loops.end(), [&](const std::vector<xy>& other) { return contains(other, loop); })));
    std::vector<region> regions;
    for (std::size_t i = 0; i < loops.size(); ++i) {
        if (depth[i] % 2 != 0) continue;
        region r{loops[i], {}, {}};
        for (std::size_t j = 0; j < loops.size(); ++j) {
            if (depth[j] != depth[i] + 1 || !contains(loops[i], loops[j])) continue;
            r.islands.push_back(loops[j]);
            r.boxes.push_back(box_of(loops[j]));
        }
        regions.push_back(r);
    }
    return regions;
}

// ---- the curves of the pockets ---------------------------------------------------------------

nlohmann::json side_by_side() { return joined({rectangle(100, 0, 0, 40, 30), rectangle(110, 50, 0, 90, 30)}); }

// An O with a dot in its hole, a B with two holes, an A and a D with one each inside a frame,
// and a second frame with a round island beside it: seven regions.
nlohmann::json letters()
{
    return joined({rectangle(100, 0, 0, 130, 50), circle(200, 20, 25, 12), circle(201, 20, 25, 6),
                   circle(202, 20, 25, 2), rectangle(210, 40, 8, 60, 42), rectangle(220, 44, 12, 56, 22),
                   rectangle(230, 44, 28, 56, 38), polygon(240, {{70, 8}, {90, 8}, {80, 42}}),
                   polygon(250, {{76, 14}, {84, 14}, {80, 28}}),
                   polygon(260, {{96, 8}, {110, 8}, {120, 25}, {110, 42}, {96, 42}}),
                   polygon(270, {{100, 14}, {108, 14}, {114, 25}, {108, 36}, {100, 36}}),
                   rectangle(300, 140, 0, 170, 50), circle(310, 155, 25, 8)});
}

// The pocket page: accepted as stored, with the nearest-neighbour region order (line 24), or
// with hatch lines (method, line 10; then angle 30 and linking mode 2).
const nlohmann::json kAsStored = nlohmann::json::array({0});
const nlohmann::json kNearestOrder = nlohmann::json::parse(R"([[{"line": 24, "value": 3}, {"line": 0}]])");
const nlohmann::json kHatching = nlohmann::json::parse(
    R"([[{"line": 10, "value": 1}], [{"line": 16, "value": 30}, {"line": 18, "value": 2}, {"line": 0}]])");

// Top Z 12 and bottom Z -4 in steps of 4: the level at Z 0 stands at the clearance height of the
// part (0, it sets none), the height that moves across without climbing.
void level_at_clearance(const fs::path& part_file)
{
    nlohmann::json part = nlohmann::json::parse(read_file(part_file));
    nlohmann::json& words = part["module_data"]["KQ47"]["words"];
    constexpr int kTopZ = 80, kBottomZ = 104, kReferenceZ = 176;
    words[kTopZ] = {{"real", 12.0}};
    words[kReferenceZ] = {{"real", 12.0}};
    words[kBottomZ] = {{"real", -4.0}};
    write_text(part_file, part.dump());
}

// ---- the judge -------------------------------------------------------------------------------

bool vertical(const dump_block& b) { return std::hypot(b.to[0] - b.from[0], b.to[1] - b.from[1]) < kGeometryTolerance; }

// The motions of one region: from the last cut of the region before (the first motion of the
// run for the first region) to its own last cut, each marked as a cut or not: a line or arc at a
// cutting level (the Z of a LAYER marker 99/3), between the region's markers 99/1 and 99/2.
struct region_motions {
    std::vector<dump_block> motions;
    std::vector<bool> cut;
};

std::vector<region_motions> region_motions_of(const std::string& dump)
{
    std::vector<region_motions> regions;
    region_motions pending;  // motions since the last cut
    std::vector<double> levels;
    bool open = false;
    const auto on_level = [&levels](double z) {
        return std::any_of(levels.begin(), levels.end(), [z](double l) { return std::abs(l - z) < kSameLevel; });
    };
    for_each_block(dump, [&](const dump_block& b) {
        const bool marker = b.type == 99 && !b.words.empty();
        if (marker && b.words[0] == "3" && b.words.size() >= 2) levels.push_back(word_real(b.words[1]));
        if (marker && b.words[0] == "1") {
            regions.push_back({});
            open = true;
        }
        if (marker && b.words[0] == "2") open = false;
        if (block_samples(b).empty()) return;
        const bool cut = open && b.type != 22 && !vertical(b) && on_level(b.from[2]) && on_level(b.to[2]);
        pending.motions.push_back(b);
        pending.cut.push_back(cut);
        if (!cut || regions.empty()) return;
        region_motions& r = regions.back();
        r.motions.insert(r.motions.end(), pending.motions.begin(), pending.motions.end());
        r.cut.insert(r.cut.end(), pending.cut.begin(), pending.cut.end());
        pending = {};
    });
    return regions;
}

// The region the motions cut: the one that holds the middle of their last straight cut.
const region* region_cut_by(const region_motions& m, const std::vector<region>& regions)
{
    for (std::size_t k = m.motions.size(); k-- > 0;) {
        const dump_block& b = m.motions[k];
        if (!m.cut[k] || b.type == 3) continue;
        const xy middle = {(b.from[0] + b.to[0]) / 2.0, (b.from[1] + b.to[1]) / 2.0};
        for (const region& r : regions)
            if (in_region(r, middle)) return &r;
    }
    return nullptr;
}

bool within(const region& r, const dump_block& b)
{
    const std::vector<xy> samples = block_samples(b);
    return std::all_of(samples.begin(), samples.end(), [&r](const xy& p) { return in_region(r, p); });
}

struct pocket_row {
    const char* name;
    nlohmann::json curves;
    nlohmann::json page;
    bool level_at_clearance;
    bool judge_cuts;  // the hatch clearing's own links are judged by its tests
};

void PrintTo(const pocket_row& r, std::ostream* os) { *os << r.name; }

class RegionChange : public ::testing::TestWithParam<pocket_row> {};

TEST_P(RegionChange, EveryRegionIsReachedAboveThePartAndCutWithinItself)
{
    const pocket_row& row = GetParam();
    const fs::path folder = fresh_folder(std::string("regions_") + row.name);
    const std::array<fs::path, 2> files = pocket_files(folder, row.name, row.curves, row.page);
    if (row.level_at_clearance) level_at_clearance(files[0]);
    const double top = row.level_at_clearance ? 12.0 : 10.0;
    const run_result run = run_hostrun("--part " + files[0].string() + " --script " + files[1].string() + " --out " +
                                       (folder / "out").string() + " --data " + DRELAN_SOURCE_DIR +
                                       "/data --fixed-time 2026-01-01T12:00:00");
    ASSERT_EQ(run.exit_code, 0) << run.output;
    const std::vector<region> regions = regions_of(contour_loops(files[0].string()));
    const std::vector<region_motions> cut = region_motions_of(read_file(folder / "out" / "toolpath.txt"));
    ASSERT_EQ(cut.size(), regions.size()) << "one marker pair per region";
    std::vector<const region*> seen;
    int faults = 0;
    for (std::size_t k = 0; k < cut.size() && faults < 10; ++k) {
        const region* r = region_cut_by(cut[k], regions);
        ASSERT_NE(r, nullptr) << "region " << k + 1 << " cuts outside every region";
        EXPECT_EQ(std::count(seen.begin(), seen.end(), r), 0) << "region " << k + 1 << " is cut twice";
        seen.push_back(r);
        // The tool arrives until its first cut within the region: as a link, above the part.
        std::size_t first = 0;
        while (first < cut[k].motions.size() && !(cut[k].cut[first] && within(*r, cut[k].motions[first]))) ++first;
        for (std::size_t i = 0; i < cut[k].motions.size(); ++i) {
            const dump_block& b = cut[k].motions[i];
            if (i < first && !vertical(b) && std::min(b.from[2], b.to[2]) < top - kSameLevel) {
                ADD_FAILURE() << "region " << k + 1 << " is reached through the part: block " << b.number << " at z "
                              << std::min(b.from[2], b.to[2]);
                ++faults;
            } else if (i >= first && row.judge_cuts && cut[k].cut[i] && !within(*r, b)) {
                ADD_FAILURE() << "region " << k + 1 << ": block " << b.number << " at z " << b.to[2] << " leaves it";
                ++faults;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pockets, RegionChange,
                         ::testing::Values(pocket_row{"SideBySide", side_by_side(), kAsStored, false, true},
                                           pocket_row{"Letters", letters(), kAsStored, false, true},
                                           pocket_row{"LettersNearestFirst", letters(), kNearestOrder, false, true},
                                           pocket_row{"LettersLevelAtClearance", letters(), kAsStored, true, true},
                                           pocket_row{"LettersHatched", letters(), kHatching, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
