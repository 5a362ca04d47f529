// The box of a loop and the island lanes of the lane table, as the collapse records ask them for
// every piece and every branch offset: both taken straight from the entries and the level column.
#include "pocket_lanes/collapse_loop_scans.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Rows of the lane table the island walk passes over at once.
constexpr int kIslandWalkBlock = 32;

}  // namespace

// Every element starts where the one before ends, so the ends are entry 0 and each element's end
// entry: each is taken once.
void collapse_loop_box(const pokarr& loop, double* box)
{
    box[0] = box[1] = 1.0e300, box[2] = box[3] = -1.0e300;
    auto take = [box](double x0, double y0, double x1, double y1) {
        box[0] = std::min(box[0], x0), box[1] = std::min(box[1], y0);
        box[2] = std::max(box[2], x1), box[3] = std::max(box[3], y1);
    };
    const double* x = loop.x;
    const double* y = loop.y;
    for (int i = 1; i < loop.count;) {
        const bool arc = pk_is_marker(x[i]);
        if (arc && i + 3 >= loop.count) break;
        if (i == 1) take(x[0], y[0], x[0], y[0]);
        const int end = arc ? i + 3 : i;
        take(x[end], y[end], x[end], y[end]);
        if (arc) {
            const double r = std::fabs(x[i + 1]), cx = x[i + 2], cy = y[i + 2];
            take(cx - r, cy - r, cx + r, cy + r);
        }
        i = arc ? i + kArcRecordEntries : i + 1;
    }
}

// The walk runs backwards and stops when every island has its lane. An island merged early keeps
// an old newest lane, and the walk then runs through most of the table: it passes over blocks of
// rows that hold no island's level by one count over the block (a loop the compiler vectorises)
// and walks the others row by row.
void collapse_island_lanes(const lane_table& lt, std::vector<int>& islands)
{
    const int island_count = std::max(0, lt.island_count);
    islands.assign(static_cast<std::size_t>(island_count), -1);
    const unsigned levels_count = static_cast<unsigned>(island_count);
    auto island_of = [](int level) { return static_cast<unsigned>(level - kLevelIsland - 1); };
    int missing = island_count;
    for (int n = lt.count; n >= 1 && missing > 0;) {
        if (n >= kIslandWalkBlock) {
            const int* levels = &lt.level[n - kIslandWalkBlock + 1];
            int hits = 0;
            for (int i = 0; i < kIslandWalkBlock; ++i) hits += island_of(levels[i]) < levels_count ? 1 : 0;
            if (hits == 0) {
                n -= kIslandWalkBlock;
                continue;
            }
        }
        for (const int low = std::max(1, n - kIslandWalkBlock + 1); n >= low && missing > 0; --n) {
            const unsigned k = island_of(lt.level[n]);
            if (k >= levels_count || islands[k] != -1) continue;
            islands[k] = lt.status[n] < 0 ? 0 : n;
            --missing;
        }
    }
    std::replace(islands.begin(), islands.end(), -1, 0);
}
