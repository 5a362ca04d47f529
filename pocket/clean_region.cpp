// The region to clean: the live output lanes as polygons, the current tool narrowed by the
// cleaning distance while the reduced-tool flag is set, and always given back.
#include "pocket/clean_region.hpp"

#include "host/vantu.hpp"
#include "pocket/lane_arc_points.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/pocket_draw_words.hpp"
#include "pocket/pocket_words.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "toolpath/narrowed_mill.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr int kGoOn = 0, kNothingBuilt = 1;
constexpr int kForward = 1;
constexpr int kLiveLane = 1;

// Narrows the current tool by the cleaning distance d on each side while the reduced-tool flag is
// set; a value that would not stay above 0 becomes 0.
void narrow_for_cleaning(narrowed_mill& tool, float d)
{
    int flag = 0;
    float limit = 0.0f;
    reduced_tool_get(flag, limit);
    if (flag == 0) return;
    const float narrow_diameter = tool.diameter() - 2.0f * d, narrow_corner = tool.corner() - d;
    tool.narrow(leval0(narrow_diameter) ? 0.0f : narrow_diameter, leval0(narrow_corner) ? 0.0f : narrow_corner);
}

// Polygon c of the current buffer from the lane's points.
void write_polygon(int c, const std::vector<std::array<double, 2>>& points, int& status)
{
    polbuf_set_np(c, 0, status);
    const int count = static_cast<int>(points.size());
    for (int k = 1; k <= count && status == kGoOn; ++k) {
        const auto& p = points[static_cast<std::size_t>(k - 1)];
        polbuf_set_point(c, k, static_cast<float>(p[0]), static_cast<float>(p[1]), status);
    }
    if (status == kGoOn) polbuf_set_np(c, count, status);
}

bool live_lane(int i)
{
    const lane_table& t = lane_table_block;
    int points = 0;
    lane_npnts(i, points);
    return t.level[i] != kLevelSeparator && t.status[i] == kLiveLane && points > 0;
}

// Calls f(i) for every live output lane, from the last down to the engine's first output lane,
// while the status stays 0.
template <class F> void for_each_live_lane(const int& status, F f)
{
    const lane_table& t = lane_table_block;
    const int last = std::min(t.count, kLaneMax), first = std::max(pocket_box_block.first_output_lane, 1);
    for (int i = last; i >= first && status == kGoOn; --i)
        if (live_lane(i)) f(i);
}

}  // namespace

bool lanes_region_left(int& status)
{
    status = kGoOn;
    pokarr array;
    pokarr_init(2, array);
    double largest = 0.0;
    bool left = true;
    const lane_table& t = lane_table_block;
    for_each_live_lane(status, [&](int i) {
        pokmain_to_arr(kForward, t.first[i], t.first[i + 1], array, status);
        if (status != kGoOn) return;
        const double area = lane_signed_area(array.x, array.y, array.count);
        if (std::fabs(area) <= largest) return;
        largest = std::fabs(area);
        left = area > 0.0;
    });
    pokarr_free(array);
    return left;
}

void build_clean_region(float d, int& status)
{
    const bool region_left = lanes_region_left(status);
    if (status != kGoOn) return;
    pokarr array;
    pokarr_init(2, array);
    {
        narrowed_mill tool;
        narrow_for_cleaning(tool, d);
        polbuf_set_pair(1.0f, 0.0f, status);
        const lane_table& t = lane_table_block;
        int c = 0;
        for_each_live_lane(status, [&](int i) {
            ++c;
            pokmain_to_arr(kForward, t.first[i], t.first[i + 1], array, status);
            if (status != kGoOn) return;
            int closed = 1;
            pokarr_drop_redundant(closed, 0, array);
            write_polygon(c, lane_points_reversed(array.x, array.y, array.count, d, region_left), status);
        });
        if (status == kGoOn) polbuf_set_npol(c, status);
        if (status == kGoOn) {
            if (c > 0 && pocket_words_block.show_clean_region)
                polbuf_draw_all(static_cast<float>(pocket_state_block.current_z), status);
            status = c == 0 ? kNothingBuilt : kGoOn;
        }
    }
    pokarr_free(array);
}

void get_contour_check_flag(int& value) { value = pocket_words_block.contour_check; }
