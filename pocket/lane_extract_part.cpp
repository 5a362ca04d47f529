// The part of a pocket lane between two positions on it, as the entry moves and the region to
// clean take it: forward along the lane, or round the closed lane when the end lies before the
// start, cleaned of short and redundant elements.
#include "pocket/contour_selection.hpp"

#include "pocket/lane_switches_least.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_show.hpp"

#include <vector>

namespace {

constexpr int kWholeLane = 1;
constexpr int kKeepOrder = 1;
// Entries of an arc record after its marker.
constexpr int kArcTail = 3;

// Appends lane entries from..to (1-based, inclusive) to the output; an arc record at `to` comes
// whole. False when the output would pass its room.
bool append_entries(const std::vector<double>& lx, const std::vector<double>& ly, int from, int to, double* x,
                    double* y, int room, int& count)
{
    const int n = static_cast<int>(lx.size());
    if (to >= 1 && to <= n && lx[static_cast<std::size_t>(to - 1)] >= kMarkerLimit) to = std::min(n, to + kArcTail);
    for (int i = std::max(from, 1); i <= to && i <= n; ++i) {
        if (count >= room) return false;
        x[count] = lx[static_cast<std::size_t>(i - 1)];
        y[count] = ly[static_cast<std::size_t>(i - 1)];
        ++count;
    }
    return true;
}

bool append_point(const double* p, double* x, double* y, int room, int& count)
{
    if (count >= room) return false;
    x[count] = p[0];
    y[count] = p[1];
    ++count;
    return true;
}

}  // namespace

void lane_extract_part(int lane, int mode, int start_element, double start_parameter, const double* start_point,
                       int end_element, double end_parameter, const double* end_point, double* x, double* y, int room,
                       int& count)
{
    const lane_switches& switches = lane_engine_switches();
    count = -1;
    int entries = 0;
    lane_npnts(lane, entries);
    if (entries < 1 || x == nullptr || y == nullptr) return;
    std::vector<double> lx(static_cast<std::size_t>(entries)), ly(static_cast<std::size_t>(entries));
    int read = 0;
    lane_get_xy(lane, lx.data(), ly.data(), entries, read);
    if (read < 1) return;
    lx.resize(static_cast<std::size_t>(read));
    ly.resize(static_cast<std::size_t>(read));
    if (switches.show_input) xy_show(lx.data(), ly.data(), read);
    int n = 0;
    bool fits = true;
    if (mode == kWholeLane) {
        fits = append_entries(lx, ly, 1, read, x, y, room, n);
    } else {
        const bool forward =
            end_element > start_element || (end_element == start_element && end_parameter > start_parameter);
        fits = append_point(start_point, x, y, room, n);
        if (forward) {
            fits = fits && append_entries(lx, ly, start_element + 1, end_element, x, y, room, n);
        } else {
            fits = fits && append_entries(lx, ly, start_element + 1, read, x, y, room, n) &&
                   append_entries(lx, ly, 1, end_element, x, y, room, n);
        }
        fits = fits && append_point(end_point, x, y, room, n);
    }
    if (!fits) return;
    if (switches.direction != kKeepOrder) xy_reverse(x, y, n);
    int open = 0;
    xy_drop_short(x, y, n);
    xy_tidy_pass1(x, y, n);
    xy_drop_redundant(open, x, y, n);
    xy_drop_short(x, y, n);
    if (switches.show_output) xy_show(x, y, n);
    if (switches.show_area) {
        double area = 0.0;
        int direction = 0;
        xy_area_dir(x, y, n, area, direction);
    }
    count = n;
}
