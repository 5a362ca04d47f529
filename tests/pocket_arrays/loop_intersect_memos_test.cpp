// The loop search's speed memos against its plain steps: over seeded loops of every class (packed
// islands, combs, noisy outlines, arc-edged loops), the rows, marks, result and nudged loop of a
// search with every memo off come out bit for bit as with each memo on alone and with all on.
#include "kernel_geometry.hpp"

#include <bit>
#include <cstdint>
#include <random>
#include <string>

namespace {

namespace kg = kernel_geometry;

// What a search leaves: its table (elements, and the points as bits) and the loop A after it.
struct outcome_of_search {
    int count = 0, result = 0;
    std::vector<int> a, b;
    std::vector<std::uint64_t> x, y, entries;
};

// Columns that grow to hold every row a search finds.
struct growing_columns {
    std::vector<int> a, b;
    std::vector<double> x, y;
    static bool grow(int rows, luplup_columns& columns);
};
growing_columns growing;

bool growing_columns::grow(int rows, luplup_columns& columns)
{
    const std::size_t n = static_cast<std::size_t>(rows);
    growing.a.resize(n), growing.b.resize(n), growing.x.resize(n), growing.y.resize(n);
    columns = {growing.a.data(), growing.b.data(), growing.x.data(), growing.y.data(), rows, growing_columns::grow};
    return true;
}

outcome_of_search search(int mode, const kg::loop& a_entries, const kg::loop* b_entries, const luplup_memos& memos)
{
    luplup_memos_block = memos;
    pokarr a = make_from(a_entries);
    pokarr b = b_entries != nullptr ? make_from(*b_entries) : pokarr{};
    const pokarr& other = b_entries != nullptr ? b : a;
    static pk_box_table boxes;
    pokarr_get_boxes(other, boxes);
    luplup_columns columns{};
    growing_columns::grow(kLuplupRows, columns);
    outcome_of_search o;
    luplup_into(mode, a, other, boxes, columns, o.count, o.result);
    for (int i = 0; i < o.count; ++i) {
        o.a.push_back(columns.elem_a[i]), o.b.push_back(columns.elem_b[i]);
        o.x.push_back(std::bit_cast<std::uint64_t>(columns.x[i]));
        o.y.push_back(std::bit_cast<std::uint64_t>(columns.y[i]));
    }
    for (const xy& p : entries_of(a)) {
        o.entries.push_back(std::bit_cast<std::uint64_t>(p.x));
        o.entries.push_back(std::bit_cast<std::uint64_t>(p.y));
    }
    if (b_entries != nullptr) pokarr_free(b);
    pokarr_free(a);
    luplup_memos_block = luplup_memos{};
    return o;
}

bool same(const outcome_of_search& p, const outcome_of_search& q)
{
    return p.count == q.count && p.result == q.result && p.a == q.a && p.b == q.b && p.x == q.x && p.y == q.y &&
           p.entries == q.entries;
}

constexpr double kCombOffset = 0.4;

// A comb, counter-clockwise: a base with `teeth` teeth hanging below it, of jittered widths and
// gaps; offset inwards by more than half a tooth's width, the raw offset folds over itself there.
kg::loop comb(int teeth, std::mt19937& rng)
{
    std::uniform_real_distribution<double> jitter(0.6, 1.4);
    std::vector<xy> v{{0, 0}};
    double x = 0.0;
    for (int k = 0; k < teeth; ++k) {
        // Every other tooth twice the offset wide: the offsets of its two sides run along one line.
        const double gap = 0.5 * jitter(rng), height = 6.0 * jitter(rng);
        const double width = k % 2 == 0 ? 2.0 * kCombOffset : jitter(rng);
        v.push_back({x + gap, 0.0});
        v.push_back({x + gap, -height});
        v.push_back({x + gap + width, -height});
        v.push_back({x + gap + width, 0.0});
        x += gap + width;
    }
    v.push_back({x + 0.5, 0.0});
    v.push_back({x + 0.5, 10.0});
    v.push_back({0.0, 10.0});
    return kg::closed(v);
}

// A bar, counter-clockwise, with `notches` notches from its top down to its bottom edge: most end
// in a flat lying on that edge (a piece the loop runs along twice), the others in a tip touching
// it. Its self search marks them and nudges the loop apart there.
kg::loop notched_bar(int notches, std::mt19937& rng)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double pitch = 2.0, length = pitch * notches;
    std::vector<xy> v{{0, 0}, {length, 0}, {length, 5}};
    for (int k = notches - 1; k >= 0; --k) {
        const double right = pitch * k + 1.6 + 0.2 * unit(rng), left = pitch * k + 0.2 * unit(rng);
        const double flat = unit(rng) < 0.25 ? 0.0 : 0.2 + 0.6 * unit(rng) * (right - left - 0.5);
        const double middle = 0.5 * (left + right);
        v.push_back({right, 5});
        v.push_back({middle + 0.5 * flat, 0});
        if (flat > 0.0) v.push_back({middle - 0.5 * flat, 0});
        v.push_back({left, 5});
    }
    v.push_back({0, 5});
    return kg::closed(v);
}

// Packed islands: round islands of jittered radius on a jittered grid, each offset outwards far
// enough to cross its neighbours; searched against the islands right of and above it.
std::vector<kg::loop> packed_islands(int across, std::mt19937& rng)
{
    std::uniform_real_distribution<double> jitter(-0.15, 0.15);
    std::vector<kg::loop> islands;
    for (int row = 0; row < across; ++row)
        for (int column = 0; column < across; ++column) {
            std::vector<xy> v = kg::radial(40, rng, [&](int, double) { return 1.0 + jitter(rng); });
            const double cx = 2.2 * column + jitter(rng), cy = 2.2 * row + jitter(rng);
            for (xy& p : v) p = {p.x + cx, p.y + cy};
            std::reverse(v.begin(), v.end());  // clockwise: an island, offset outwards to the left
            int status = 0;
            islands.push_back(kg::kernel_offset(kg::closed(v), 0.25, 0.001, status));
            if (status != 0) islands.pop_back();
        }
    return islands;
}

}  // namespace

TEST_F(LaneTest, LoopSearchMemosKeepEveryRowMarkAndNudge)
{
    pocket_work_block.corner_arcs = 1;
    // The configurations compared with all memos off: each memo alone, then all of them.
    luplup_memos off{false, false, false, false};
    std::vector<std::pair<std::string, luplup_memos>> on = {
        {"walks", off}, {"first sweep", off}, {"partners", off}, {"lines", off}, {"all", luplup_memos{}}};
    on[0].second.walks = on[1].second.first_sweep = on[2].second.partners = on[3].second.lines = true;
    constexpr unsigned kSeed = 6501;
    std::mt19937 rng(kSeed);
    // Each case: a class, a loop A and, for a search of two loops, B (none: A against itself).
    struct search_case {
        std::string name;
        kg::loop a, b;
        bool self;
    };
    std::vector<search_case> cases;
    const auto offset = [](const kg::loop& source, double d) {
        int status = 0;
        kg::loop raw = kg::kernel_offset(source, d, 0.001, status);
        EXPECT_EQ(status, 0);
        return raw;
    };
    for (int k = 0; k < 2; ++k) {
        const std::string n = " " + std::to_string(k);
        cases.push_back({"comb" + n, offset(comb(260, rng), kCombOffset), {}, true});
        cases.push_back({"noisy outline" + n, offset(kg::draw_loop(kg::kind::random_walk, 1500, rng), 0.35), {}, true});
        cases.push_back({"arc-edged" + n, offset(kg::draw_loop(kg::kind::arc_edged, 1200, rng), 0.3), {}, true});
        cases.push_back({"notched bar" + n, notched_bar(300, rng), {}, true});
        const kg::loop source = kg::draw_loop(kg::kind::star, 600, rng);
        cases.push_back({"star against its offset" + n, offset(source, 1.5), source, false});
    }
    // Stars whose spikes fold over their neighbours: their raw offsets touch themselves, and
    // nudge after nudge restarts the search.
    for (const int corners : {1200, 2000}) {
        std::uniform_real_distribution<double> inner(0.75, 0.8);
        std::vector<xy> v;
        const double outer = corners / 2 / (2.0 * kg::kPi), ratio = inner(rng);
        for (int k = 0; k < corners; ++k) {
            const double angle = 2.0 * kg::kPi * k / corners, radius = k % 2 == 0 ? outer : ratio * outer;
            v.push_back({radius * std::cos(angle), radius * std::sin(angle)});
        }
        cases.push_back({"folded star " + std::to_string(corners), offset(kg::closed(v), 1.5), {}, true});
    }
    const std::vector<kg::loop> islands = packed_islands(4, rng);
    for (std::size_t i = 0; i + 1 < islands.size(); ++i)
        cases.push_back({"packed islands " + std::to_string(i), islands[i], islands[i + 1], false});
    int restarted = 0;
    for (const search_case& c : cases) {
        const kg::loop* b = c.self ? nullptr : &c.b;
        const int mode = (c.self ? kLuplupSelf : 0) + 1;
        const outcome_of_search plain = search(mode, c.a, b, off);
        ASSERT_GE(plain.count, 0) << c.name << ", seed " << kSeed;
        for (const auto& [memo, memos] : on)
            EXPECT_TRUE(same(plain, search(mode, c.a, b, memos))) << c.name << ", " << memo << " on, seed " << kSeed;
        kg::loop raw = c.a;
        std::vector<std::uint64_t> raw_bits;
        for (const xy& p : raw)
            raw_bits.push_back(std::bit_cast<std::uint64_t>(p.x)),
                raw_bits.push_back(std::bit_cast<std::uint64_t>(p.y));
        restarted += c.self && plain.entries != raw_bits ? 1 : 0;
    }
    // The memos of a restart are only tried where nudges restarted self searches: the stars'.
    EXPECT_GE(restarted, 2) << "seed " << kSeed;
}
