// A whole horn tail is passed over only where the full measure would find no material in it: over
// seeded straight-walled horns of half angles 40 to 80 degrees, the record keeps the same lanes as
// when one wall is split next to the tip (a third source element near the tail: the tail then
// goes through the clip and the measure), and the quick test finds the tail in the wedge of every
// horn wider than a right angle, never in a sharper one (whose tail crosses the source).
#include "engine_test_support.hpp"

#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_lanes.hpp"
#include "pocket_lanes/collapse_whole_tail.hpp"

#include <random>
#include <string>

namespace {

// A horn with its tip T at `at`, opening along the direction `turn` at half angle a, walls of
// length 10 closed by a line; its lane offset by d (the walls' offsets meet at X), and the tail
// X -> B' -> A' the loop removal cuts out of that offset.
struct horn {
    contour source, lane, tail;
};

xy placed(double x, double y, double turn, xy at)
{
    return {at.x + x * std::cos(turn) - y * std::sin(turn), at.y + x * std::sin(turn) + y * std::cos(turn)};
}

horn make_horn(double a, double d, double turn, xy at, double split)
{
    const double c = std::cos(a), s = std::sin(a), far = 10.0 * c, inner = far - d;
    auto p = [&](double x, double y) { return placed(x, y, turn, at); };
    horn h;
    h.source = {p(0.0, 0.0), p(far, -10.0 * s), p(far, 10.0 * s)};
    if (split > 0.0) h.source.push_back(p(split * c, split * s));
    h.source.push_back(p(0.0, 0.0));
    // The lower wall's offset: x sin a + y cos a = d.
    const double low = (d - inner * s) / c;
    h.lane = {p(d / s, 0.0), p(inner, low), p(inner, -low), p(d / s, 0.0)};
    h.tail = {p(d / s, 0.0), p(d * s, d * c), p(d * s, -d * c), p(d / s, 0.0)};
    return h;
}

class WholeTail : public EngineTest {
protected:
    static std::vector<double> recorded(const horn& h, double d);
};

// The areas of the lanes collapse_lanes_record adds for the horn's tail (a part clipped out of
// the split source holds the split point: the areas, not the entries, must agree).
std::vector<double> WholeTail::recorded(const horn& h, double d)
{
    to_load_state();
    pokarr source = make_from(h.source), lane = make_from(h.lane), tail = make_from(h.tail);
    int status = 0, branches = 1;
    lane_add(1, 1, 0, 0, 0, d, kContourPart, source, status);
    lane_add(2, 1, 1, 1, 0, d, kContourPart, lane, status);
    collapse_pieces_clear();
    collapse_piece_note(tail, d);
    collapse_lanes_record(source, 1, 2, 2, 1, branches, status);
    EXPECT_EQ(status, 0);
    std::vector<double> out;
    pokarr_work added;
    for (int n = 3; n <= lane_table_block.count; ++n) {
        lane_to_pokarr(n, added.a, status);
        double area = 0.0;
        int direction = 0;
        pokarr_area_dir(added.a, area, direction);
        out.push_back(area);
    }
    collapse_pieces_clear();
    pokarr_free(source), pokarr_free(lane), pokarr_free(tail);
    return out;
}

TEST_F(WholeTail, PassedOverOnlyWhereTheMeasureFindsNoMaterial)
{
    constexpr unsigned kSeed = 20261208;
    std::mt19937 rng(kSeed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double degree = std::acos(-1.0) / 180.0;
    int found = 0, kept = 0, rows = 0;
    // Every half angle from 40 to 80 degrees, and more of them where tails begin to lie whole and
    // the deepest material nears half a step (44 to 50 degrees, with offsets near the step).
    for (; rows < 200; ++rows) {
        {
            const double a = (rows < 60 ? 44.0 + 6.0 * unit(rng) : 40.0 + 40.0 * unit(rng)) * degree;
            const double d = rows < 60 ? 0.9 + 0.1 * unit(rng) : 0.6 + 0.4 * unit(rng), turn = 6.3 * unit(rng);
            const xy at{20.0 * unit(rng) - 10.0, 20.0 * unit(rng) - 10.0};
            const std::string row = "seed " + std::to_string(kSeed) + " half angle " + std::to_string(a / degree) +
                                    " d " + std::to_string(d);
            const horn plain = make_horn(a, d, turn, at, 0.0), split = make_horn(a, d, turn, at, 0.01 * d);
            const std::vector<double> quick = recorded(plain, d), measured = recorded(split, d);
            ASSERT_EQ(quick.size(), measured.size()) << row;
            for (std::size_t i = 0; i < quick.size(); ++i) EXPECT_NEAR(quick[i], measured[i], 1e-9) << row;
            kept += measured.empty() ? 0 : 1;
            // The quick test on its own: the tail lies in the tip's wedge from just over a right
            // angle on; a sharper horn's tail reaches past the other wall.
            pokarr source = make_from(plain.source), tail = make_from(plain.tail);
            pk_elem_index index;
            pokarr_elem_index(source.count, source.x, source.y, index);
            std::vector<tail_corner> corners;
            pokarr lane = make_from(plain.lane);
            whole_tail_corners_note(lane, corners);
            whole_tail_corners_sort(corners);
            whole_tail tail_found;
            const bool whole = whole_tail_find(source, index, tail, d, corners, tail_found);
            const bool sure = a < 45.0 * degree || a > 46.0 * degree;
            EXPECT_TRUE(!sure || whole == (a > 46.0 * degree)) << row;
            found += whole ? 1 : 0;
            pokarr_free(source), pokarr_free(tail), pokarr_free(lane);
        }
    }
    // The measure keeps the tails of the sharper horns: the comparison is not between empty sets.
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, rows);
    EXPECT_GT(found, rows / 2);
}

}  // namespace
