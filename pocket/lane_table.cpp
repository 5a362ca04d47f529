// The lane table: appending contour, offset, closing and separator lanes, finding a lane of a
// branch, reading and reversing its points in the main point store, and the box cache that
// computes each lane's box once per computation.
#include "pocket/lane_table.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_control.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>

lane_table lane_table_block;

namespace {

lane_table& lt = lane_table_block;

// Doubles per box in the cache and the growth step of the cache and the pair memory.
constexpr int kBoxDoubles = 4;
constexpr int kCacheStep = 1000;
constexpr int kPairBytes = 12;
constexpr int kPairStep = 1000;
// A planar pocket polls the host for a user break at every this many lanes.
constexpr int kPollEvery = 15;

bool dimension4() { return pocket_state_block.pocket_dimension == 4; }

// Reserves the next row; status 10 and the count unchanged when the table is full.
bool next_row(int& row, int& status)
{
    if (lt.count >= kLaneMax) {
        status = kLaneTableFull;
        return false;
    }
    row = lt.count + 1;
    return true;
}

void fill_row(int row, int lane_status, int level, int parent, int link1, int link2, double offset, int group,
              int contour_type)
{
    lt.offset[row] = offset;
    lt.level[row] = level;
    lt.status[row] = lane_status;
    lt.parent[row] = parent;
    lt.link1[row] = link1;
    lt.link2[row] = link2;
    lt.group[row] = group;
    lt.box_index[row] = -1;
    lt.contour_type[row] = contour_type;
}

// The user-break poll of an append (the new count): every lane when every_lane, else every
// 15th. A confirmed stop leaves by the stop exception; the next computation rebuilds the table.
void append_poll(int new_count, bool every_lane)
{
    if (every_lane || new_count % kPollEvery == 0) EXCBRK();
}

// Whether lane status s matches the wanted status w (w 0 or less: any live lane).
bool status_matches(int s, int w) { return s == w || (w <= 0 && s > 0); }

}  // namespace

void lane_table_reset()
{
    lt.count = 0;
    lt.first[1] = 1;
    lt.box_handle = -1;
    lt.box_capacity = 0;
    lt.box_used = 0;
}

void lane_add(int lane_status, int level, int parent, int link1, int link2, double offset, int contour_type,
              const pokarr& array, int& status)
{
    status = 0;
    int row = 0;
    if (!next_row(row, status)) return;
    append_poll(row, pocket_state_block.pocket_dimension != 2);
    const int first = lt.first[row];
    const int entries = array.count * (dimension4() ? 2 : 1);
    if (entries > 0) {
        pokmain_put_pnts(array, first, status);
        if (status != 0) return;
    }
    const int group = parent > 0 && parent <= lt.count ? lt.group[parent] : 0;
    fill_row(row, lane_status, level, parent, link1, link2, offset, group, contour_type);
    lt.first[row + 1] = first + entries;
    lt.count = row;
}

void lane_add_empty(int k, int level, int lane, int& status)
{
    status = 0;
    int row = 0;
    if (!next_row(row, status)) return;
    append_poll(row, false);
    const bool known = lane_valid(lane);
    fill_row(row, -k, level, lane, lane, 0, 0.0, known ? lt.group[lane] : 0, known ? lt.contour_type[lane] : 0);
    lt.first[row + 1] = lt.first[row];
    lt.count = row;
}

void lane_add_separator(int& status)
{
    status = 0;
    int row = 0;
    if (!next_row(row, status)) return;
    fill_row(row, 0, kLevelSeparator, 0, 0, 0, 0.0, 0, 0);
    lt.first[row + 1] = lt.first[row];
    lt.count = row;
}

void lane_npnts(int n, int& count) { count = lane_valid(n) ? lt.first[n + 1] - lt.first[n] : 0; }

void lane_to_pokarr(int n, pokarr& array, int& status)
{
    status = 0;
    if (!lane_valid(n)) {
        status = -1;
        return;
    }
    pokmain_get_pnts(lt.first[n + 1] - lt.first[n], lt.first[n], array, status);
}

void lane_find(int group_mode, int scan_mode, int level, int wanted, int& found, pokarr& array, int& status)
{
    status = 0;
    found = 0;
    const int step = scan_mode == 1 ? 1 : -1;
    const int stop_bound = scan_mode == 2 ? 1 : 0;
    int lane = scan_mode == 1 ? 1 : lt.count;
    for (int seen = 0; seen < lt.count; ++seen, lane += step) {
        if (lt.level[lane] != level) continue;
        const int s = lt.status[lane];
        if (wanted == 0 && s < stop_bound) return;
        if (!status_matches(s, wanted)) continue;
        if ((group_mode == 1 && lt.group[lane] != 0) || (group_mode == 2 && lt.group[lane] == 0)) return;
        found = lane;
        lane_to_pokarr(lane, array, status);
        return;
    }
}

void lane_get_xy(int n, double* x, double* y, int room, int& count)
{
    count = -1;
    if (!lane_valid(n) || x == nullptr || y == nullptr) return;
    pokarr work;
    pokarr_init(2, work);
    int status = 0;
    lane_to_pokarr(n, work, status);
    if (status == 0 && work.count <= room) {
        std::copy_n(work.x, work.count, x);
        std::copy_n(work.y, work.count, y);
        count = work.count;
    }
    pokarr_free(work);
}

void lane_first_xy(int n, double& x, double& y)
{
    x = y = 0.0;
    if (!lane_valid(n) || lt.first[n + 1] <= lt.first[n]) return;
    pokarr work;
    pokarr_init(2, work);
    int status = 0;
    pokmain_get_pnts(1, lt.first[n], work, status);
    if (status == 0 && work.count == 1) {
        x = work.x[0];
        y = work.y[0];
    }
    pokarr_free(work);
}

void lane_reverse(int n, int& status)
{
    status = 0;
    if (!lane_valid(n)) {
        status = -1;
        return;
    }
    pokmain_reverse(lt.first[n + 1] - lt.first[n], lt.first[n], status);
}

void lane_box(int level_or_lane, int wanted, const pokarr& array, double* box, int& status)
{
    status = 0;
    int lane = level_or_lane;
    pokarr local;
    pokarr_init(2, local);
    const pokarr* points = &array;
    if (wanted != -1) {
        lane_find(0, 1, level_or_lane, wanted, lane, local, status);
        points = &local;
    }
    if (status == 0 && !lane_valid(lane)) status = -1;
    void* base = nullptr;
    if (status == 0 && lt.box_handle == -1) {
        const int initial = std::max(kBoxDoubles, 2 * lt.count);
        MM_OPEN_ARRAY(sizeof(double), initial, lt.box_handle, base, status);
        if (status == 0) {
            lt.box_capacity = initial;
            lt.box_used = 0;
        } else {
            lt.box_handle = -1;
        }
    }
    if (status == 0 && lt.box_index[lane] == -1) {
        if (lt.box_capacity - lt.box_used < kBoxDoubles) {
            MM_RESIZE_ARRAY(lt.box_handle, kCacheStep, base, status);
            if (status == 0) lt.box_capacity += kCacheStep;
        }
        if (status == 0) {
            double* cache = static_cast<double*>(mmcptr(lt.box_handle));
            pokarr_box(*points, cache + lt.box_used);
            lt.box_index[lane] = lt.box_used;
            lt.box_used += kBoxDoubles;
        }
    }
    if (status == 0) {
        const double* cache = static_cast<const double*>(mmcptr(lt.box_handle));
        std::copy_n(cache + lt.box_index[lane], kBoxDoubles, box);
    }
    pokarr_free(local);
}

bool lane_boxes_apart(int lane_a, const pokarr& a, int lane_b, const pokarr& b, int& status)
{
    double box_a[kBoxDoubles], box_b[kBoxDoubles];
    lane_box(lane_a, -1, a, box_a, status);
    if (status == 0) lane_box(lane_b, -1, b, box_b, status);
    if (status != 0) return false;
    return box_a[0] > box_b[2] || box_a[2] < box_b[0] || box_a[1] > box_b[3] || box_a[3] < box_b[1];
}

bool lane_boxes_known_apart(int lane_a, const pokarr& a, int lane_b)
{
    if (!lane_valid(lane_b) || lt.box_handle == -1 || lt.box_index[lane_b] == -1) return false;
    double box_a[kBoxDoubles];
    int status = 0;
    lane_box(lane_a, -1, a, box_a, status);
    return status == 0 && lane_box_known_apart(box_a, lane_b);
}

bool lane_box_known_apart(const double* box_a, int lane_b)
{
    if (!lane_valid(lane_b) || lt.box_handle == -1 || lt.box_index[lane_b] == -1) return false;
    const double* box_b = static_cast<const double*>(mmcptr(lt.box_handle)) + lt.box_index[lane_b];
    return box_a[0] > box_b[2] || box_a[2] < box_b[0] || box_a[1] > box_b[3] || box_a[3] < box_b[1];
}

void lane_box_close(int& status)
{
    status = 0;
    if (lt.box_handle != -1) MM_CLOSE(lt.box_handle, status);
    lt.box_handle = -1;
    lt.box_capacity = lt.box_used = 0;
    for (int lane = 1; lane <= lt.count; ++lane) lt.box_index[lane] = -1;
}

void lancom_pairs(int mode, int& status)
{
    status = 0;
    void* base = nullptr;
    if (mode == 0) {
        if (lt.pair_handle != -1) return;
        MM_OPEN_ARRAY(kPairBytes, kPairStep, lt.pair_handle, base, status);
        if (status == 0) {
            lt.pair_capacity = kPairStep;
        } else {
            lt.pair_handle = -1;
        }
    } else if (mode == 1) {
        if (lt.pair_handle == -1) {
            status = -1;
            return;
        }
        MM_RESIZE_ARRAY(lt.pair_handle, kPairStep, base, status);
        if (status == 0) lt.pair_capacity += kPairStep;
    } else {
        if (lt.pair_handle != -1) MM_CLOSE(lt.pair_handle, status);
        lt.pair_handle = -1;
        lt.pair_capacity = 0;
    }
}

int lane_array_dimension() { return pocket_state_block.pocket_dimension == 2 ? 2 : 3; }

int lane_show(int n)
{
    if (!lane_valid(n)) return -1;
    pokarr work;
    pokarr_init(lane_array_dimension(), work);
    int status = 0;
    lane_to_pokarr(n, work, status);
    const int result = status == 0 ? pokarr_show(work, 0) : -1;
    pokarr_free(work);
    return result;
}
