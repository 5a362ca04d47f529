// The region record: opening and release, inserting polygons, reading points and counts, and
// the arrays derived from the polygons (locations, sons, father counts, cutting directions),
// rebuilt at their first use after a change. The levels package and the region finding call it.
#include "pocket/reg_region.hpp"

#include "host/vantu.hpp"

#include <cstring>
#include <vector>

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNoArray = -1;
constexpr int kWordBytes = 4;
// Initial room of a new region, and the least growth of its arrays.
constexpr int kInitialRoom = 10;
constexpr int kPointStep = 500;
constexpr int kPolygonStep = 10;
constexpr float kNoValue = -1.0e10f;

void fail(const char* text, int& status, int value = kFailed)
{
    eroutc(text, 0);
    status = value;
}

// A missing region is refused with the routine's own message.
bool missing(const reg_region* region, const char* text, int& status)
{
    if (region != nullptr) return false;
    fail(text, status);
    return true;
}

template <class T> T* base_of(int handle) { return static_cast<T*>(mmcptr(handle)); }

bool index_valid(const reg_region& region, int index) { return index >= 0 && index < region.polygon_count; }

// Closes an array when there is one and opens it again with `elements` 4-byte elements (at
// least one); the messages name the failing step.
void reopen(int& handle, int elements, const char* close_text, const char* open_text, int& status)
{
    status = kGoOn;
    if (handle != kNoArray) {
        MM_CLOSE(handle, status);
        if (status != 0) {
            fail(close_text, status);
            return;
        }
        handle = kNoArray;
    }
    void* base = nullptr;
    MM_OPEN_ARRAY(kWordBytes, elements > 0 ? elements : 1, handle, base, status);
    if (status != 0) {
        handle = kNoArray;
        fail(open_text, status);
    }
}

// Every array field of the record, in release order.
constexpr int reg_region::*kArrayFields[] = {&reg_region::points, &reg_region::npbuf,    &reg_region::locs,
                                             &reg_region::sons,   &reg_region::tmp_sons, &reg_region::fc,
                                             &reg_region::cdir};

void clear_record(reg_region& r)
{
    r = reg_region{};
    for (auto field : kArrayFields) r.*field = kNoArray;
}

void invalidate(reg_region& r)
{
    r.locs_valid = r.sons_valid = r.tmp_sons_valid = r.cdir_valid = 0;
    r.further[1] = r.further[4] = 0;
}

}  // namespace

void reg_init(int mode, reg_region* region, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_init, WRONG REGION VALUE", status)) return;
    if (mode != kRegionPlane && mode != kRegionSpace) {
        fail("reg_init, WRONG MODE VALUE", status);
        return;
    }
    reg_region r;
    clear_record(r);
    r.mode = mode;
    r.point_size = mode * kWordBytes;
    r.value = kNoValue;
    void* base = nullptr;
    MM_OPEN_ARRAY(r.point_size, kInitialRoom, r.points, base, status);
    if (status == 0) {
        MM_OPEN_ARRAY(kWordBytes, kInitialRoom, r.npbuf, base, status);
        if (status != 0) {
            int ignored = 0;
            MM_CLOSE(r.points, ignored);
        }
    }
    if (status != 0) {
        const int host_status = status;
        fail("reg_init,MEMORY ALLOCATION ERROR", status, host_status);
        return;
    }
    r.point_capacity = r.polygon_capacity = kInitialRoom;
    *region = r;
}

void reg_release(reg_region* region, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_release, WRONG REGION VALUE", status)) return;
    for (auto field : kArrayFields) {
        int& handle = region->*field;
        if (handle == kNoArray) continue;
        MM_CLOSE(handle, status);
        if (status != 0) {
            fail("reg_release, MEMORY RELEASE ERROR", status);
            return;
        }
        handle = kNoArray;
    }
    clear_record(*region);
}

void reg_resize_points(int k, reg_region* region, int& status)
{
    status = kGoOn;
    if (k <= 0 || region == nullptr || region->points == kNoArray) return;
    const int add = k < kPointStep + 1 ? kPointStep : k;
    void* base = nullptr;
    MM_RESIZE_ARRAY(region->points, add, base, status);
    if (status < 0) {
        fail("reg_resize_points, MEMORY RESIZE ERROR", status);
        return;
    }
    status = kGoOn;
    region->point_capacity += add;
}

void reg_resize_pol(int k, reg_region* region, int& status)
{
    status = kGoOn;
    if (k < 1) {
        status = kFailed;
        return;
    }
    if (region == nullptr || region->npbuf == kNoArray) return;
    const int add = k < kPolygonStep ? kPolygonStep : k;
    void* base = nullptr;
    MM_RESIZE_ARRAY(region->npbuf, add, base, status);
    if (status < 0) {
        fail("reg_resize_pol, MEMORY RESIZE ERROR", status);
        return;
    }
    status = kGoOn;
    region->polygon_capacity += add;
}

void reg_add_poly(int mode, const float* points, int n, int position, reg_region* region, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_add_poly, WRONG REGION VALUE", status)) return;
    reg_region& r = *region;
    if (mode != r.mode) return fail("reg_add_poly, WRONG MODE VALUE", status);
    if (n < 1 || points == nullptr) return fail("reg_add_poly, WRONG NUMBER OF POINTS", status);
    if (position < 0 || position > r.polygon_count) return fail("reg_add_poly, WRONG POLYGON NUMBER", status);
    if (r.point_capacity < r.point_count + n) reg_resize_points(r.point_count + n - r.point_capacity, region, status);
    if (status == 0 && r.polygon_count == r.polygon_capacity) reg_resize_pol(kPolygonStep, region, status);
    if (status != 0) return;

    int* counts = base_of<int>(r.npbuf);
    float* all = base_of<float>(r.points);
    int first = 0;
    for (int i = 0; i < position; ++i) first += counts[i];
    const int moved_polygons = r.polygon_count - position;
    std::memmove(counts + position + 1, counts + position, sizeof(int) * static_cast<std::size_t>(moved_polygons));
    const std::size_t point_floats = static_cast<std::size_t>(mode);
    std::memmove(all + (first + n) * point_floats, all + first * point_floats,
                 sizeof(float) * point_floats * static_cast<std::size_t>(r.point_count - first));
    std::memcpy(all + first * point_floats, points, sizeof(float) * point_floats * static_cast<std::size_t>(n));
    counts[position] = n;
    r.polygon_count += 1;
    r.point_count += n;
    invalidate(r);
}

void reg_get_npbuf(const reg_region& region, int index, int& count, int& status)
{
    status = kGoOn;
    count = 0;
    if (region.polygon_count == 0) return;
    if (!index_valid(region, index)) return fail("reg_get_npbuf, WRONG INDEX", status);
    count = base_of<int>(region.npbuf)[index];
}

void reg_adjust_locs(reg_region* region, int& status)
{
    reopen(region->locs, region->polygon_count, "reg_adjust_locs, MEMORY CLOSE ERROR",
           "reg_adjust_locs, MEMORY ALLOCATION ERROR", status);
}

void reg_replace_end(reg_region* region, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_replace_end, WRONG REGION VALUE", status)) return;
    if (region->locs_valid == 1) return;
    reg_adjust_locs(region, status);
    if (status != 0) return;
    const int* counts = base_of<int>(region->npbuf);
    int* locs = base_of<int>(region->locs);
    int sum = 0;
    for (int i = 0; i < region->polygon_count; ++i) {
        locs[i] = sum;
        sum += counts[i];
    }
    region->locs_valid = 1;
}

void reg_get_locs(int index, reg_region* region, int& location, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_get_locs, WRONG REGION VALUE", status)) return;
    if (region->polygon_count == 0) {
        location = -1;
        return;
    }
    if (!index_valid(*region, index)) return fail("reg_get_locs, WRONG INDEX", status);
    reg_replace_end(region, status);
    if (status == 0) location = base_of<int>(region->locs)[index];
}

void reg_get_poly(int mode, int index, reg_region* region, float* points, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_get_poly, WRONG REGION VALUE", status)) return;
    if (mode != region->mode) return fail("reg_get_poly, WRONG MODE VALUE", status);
    if (!index_valid(*region, index) || points == nullptr) return fail("reg_get_poly, WRONG POLYGON NUMBER", status);
    int location = 0;
    reg_get_locs(index, region, location, status);
    if (status != 0) return;
    const int count = base_of<int>(region->npbuf)[index];
    std::memcpy(points, base_of<float>(region->points) + static_cast<std::size_t>(location) * mode,
                static_cast<std::size_t>(count) * region->point_size);
}

void reg_get_all_pts(const reg_region& region, int mode, float* points, int& status)
{
    status = kGoOn;
    if (mode != region.mode || points == nullptr) return fail("reg_get_all_pts, WRONG MODE VALUE", status);
    if (region.point_count > 0)
        std::memcpy(points, base_of<float>(region.points),
                    static_cast<std::size_t>(region.point_count) * region.point_size);
}

void reg_adjust_sons(reg_region* region, int& status)
{
    const int n = region->polygon_count;
    reopen(region->sons, (n + 1) * n, "reg_adjust_sons, MEMORY CLOSE ERROR", "reg_adjust_sons, MEMORY ALLOCATION ERROR",
           status);
}

void reg_update_sons(reg_region* region, int& status)
{
    status = kGoOn;
    if (region == nullptr || region->polygon_count == 0) return;
    reg_region& r = *region;
    const int n = r.polygon_count;
    if (r.sons_valid != 1) {
        reg_adjust_sons(region, status);
        if (status != 0) return;
        const float* all = base_of<float>(r.points);
        // The host nests plane points: a space region hands over x and y only.
        std::vector<float> plane;
        if (r.mode == kRegionSpace) {
            plane.resize(2 * static_cast<std::size_t>(r.point_count));
            for (int i = 0; i < r.point_count; ++i) {
                plane[2 * static_cast<std::size_t>(i)] = all[3 * static_cast<std::size_t>(i)];
                plane[2 * static_cast<std::size_t>(i) + 1] = all[3 * static_cast<std::size_t>(i) + 1];
            }
            all = plane.data();
        }
        int work = 0;
        polson(n, base_of<int>(r.npbuf), all, base_of<int>(r.sons), work, status);
        if (status != 0) return;
        r.sons_valid = 1;
    }
    if (r.tmp_sons_valid != 1) {
        reopen(r.tmp_sons, (n + 1) * n, "reg_update_sons, MEMORY CLOSE ERROR",
               "reg_update_sons, MEMORY ALLOCATION ERROR", status);
        if (status != 0) return;
        std::memcpy(base_of<int>(r.tmp_sons), base_of<int>(r.sons),
                    sizeof(int) * static_cast<std::size_t>((n + 1) * n));
        r.tmp_sons_valid = 1;
    }
}

void reg_adjust_fc(reg_region* region, int& status)
{
    const int n = region->polygon_count;
    reopen(region->fc, n, "reg_adjust_fc, MEMORY CLOSE ERROR", "reg_adjust_fc, MEMORY ALLOCATION ERROR", status);
    if (status == 0)
        reopen(region->cdir, n, "reg_adjust_fc, MEMORY CLOSE ERROR", "reg_adjust_fc, MEMORY ALLOCATION ERROR", status);
}

void reg_calc_cdir(reg_region* region, int& status)
{
    status = kGoOn;
    if (region == nullptr || region->polygon_count == 0) return;
    reg_update_sons(region, status);
    if (status == 0) reg_adjust_fc(region, status);
    if (status != 0) return;
    const int n = region->polygon_count;
    const int* sons = base_of<int>(region->sons);
    int* fathers = base_of<int>(region->fc);
    int* directions = base_of<int>(region->cdir);
    std::memset(fathers, 0, sizeof(int) * static_cast<std::size_t>(n));
    // Row k lists every polygon inside polygon k, so a polygon's father count is its depth.
    for (int k = 0; k < n; ++k) {
        const int* row = sons + static_cast<std::size_t>(k) * (n + 1);
        for (int j = 1; j <= row[0] && j <= n; ++j)
            if (row[j] >= 0 && row[j] < n && row[j] != k) ++fathers[row[j]];
    }
    for (int i = 0; i < n; ++i) directions[i] = fathers[i] % 2 == 0 ? kRegionOuter : kRegionIsland;
    region->cdir_valid = 1;
}

void reg_get_cdir(int index, reg_region* region, int& direction, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_get_cdir, WRONG REGION VALUE", status)) return;
    if (region->polygon_count == 0) {
        direction = 0;
        return;
    }
    if (!index_valid(*region, index)) return fail("reg_get_cdir, WRONG INDEX", status);
    if (region->cdir_valid != 1) reg_calc_cdir(region, status);
    if (status == 0) direction = base_of<int>(region->cdir)[index];
}

void reg_get_tmp_sons(int row, int column, reg_region* region, int& value, int& status)
{
    status = kGoOn;
    if (missing(region, "reg_get_tmp_sons, WRONG REGION VALUE", status)) return;
    const int n = region->polygon_count;
    if (n == 0) {
        value = -1;
        return;
    }
    if (row < 0 || row >= n || column < 0 || column > n) return fail("reg_get_tmp_sons, WRONG INDEXES", status);
    reg_update_sons(region, status);
    if (status == 0) value = base_of<int>(region->tmp_sons)[(n + 1) * row + column];
}

void reg_set_tmp_sons(const reg_region& region, int row, int column, int value, int& status)
{
    status = kGoOn;
    const int n = region.polygon_count;
    if (n == 0) return;
    if (row < 0 || row >= n || column < 0 || column > n) return fail("reg_set_tmp_sons, WRONG INDEXES", status);
    // Until a read has sized the copy to the polygons, an entry may lie outside it.
    if (region.tmp_sons_valid != 1) return fail("reg_set_tmp_sons, SONS ARE NOT UP TO DATE", status);
    base_of<int>(region.tmp_sons)[(n + 1) * row + column] = value;
}
