// The levels package: levels and region slots that grow five at a time, the current level and
// region, putting a region record into a slot, the release of everything, and the questions
// about the current region, which the region package answers.
#include "pocket/n0_lvls.hpp"

#include "host/vantu.hpp"

#include <string>

n0_lvls_state n0_lvls_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNoArray = -1;
constexpr int kStep = 5;

n0_lvls_state& lv = n0_lvls_block;

void fail(const std::string& text, int& status)
{
    eroutc(text, 0);
    status = kFailed;
}

// The guard of every entry point: refuses while the package is not initialised.
bool not_ready(const char* routine, int& status)
{
    status = kGoOn;
    if (lv.initialised == 1) return false;
    fail(std::string(routine) + ", USING BEFORE INIT", status);
    return true;
}

n0_level* level_at(int index)
{
    auto* base = static_cast<n0_level*>(mmcptr(lv.levels));
    return base == nullptr ? nullptr : base + index;
}

reg_region* slot_at(const n0_level& level, int index)
{
    auto* base = static_cast<reg_region*>(mmcptr(level.regions));
    return base == nullptr ? nullptr : base + index;
}

bool current_level_valid() { return lv.current_level >= 0 && lv.current_level < lv.level_count; }

// Five more level records, each cleared fully.
void grow_levels(int& status)
{
    void* base = nullptr;
    if (lv.level_capacity == 0) {
        MM_OPEN_ARRAY(sizeof(n0_level), kStep, lv.levels, base, status);
        if (status != 0) {
            lv.levels = kNoArray;
            return fail("n0_lvls_next_level, MEMORY ALLOCATION ERROR", status);
        }
    } else {
        MM_RESIZE_ARRAY(lv.levels, kStep, base, status);
        if (status < 0) return fail("n0_lvls_next_level, MEMORY RESIZE ERROR", status);
    }
    status = kGoOn;
    for (int k = 0; k < kStep; ++k) n0_lvls_level_clear(1, *level_at(lv.level_capacity + k));
    lv.level_capacity += kStep;
}

// Five more region slots in the level, each holding an empty region of the level's mode. A
// failure leaves the level's capacity as it was.
void grow_slots(n0_level& level, int& status)
{
    void* base = nullptr;
    if (level.regions == kNoArray) {
        MM_OPEN_ARRAY(sizeof(reg_region), kStep, level.regions, base, status);
        if (status != 0) {
            level.regions = kNoArray;
            return fail("n0_lvls_next_region, MEMORY ALLOCATION ERROR", status);
        }
    } else {
        MM_RESIZE_ARRAY(level.regions, kStep, base, status);
        if (status < 0) return fail("n0_lvls_next_region, MEMORY RESIZE ERROR", status);
    }
    n0_lvls_adjust_fs(kStep, &level, status);
    if (status != 0) return;
    for (int k = 0; k < kStep; ++k) {
        reg_init(level.mode, slot_at(level, level.region_capacity + k), status);
        if (status == 0) continue;
        for (int done = 0, ignored = 0; done < k; ++done)
            reg_release(slot_at(level, level.region_capacity + done), ignored);
        return;
    }
    level.region_capacity += kStep;
}

}  // namespace

void n0_lvls_reset(int mode)
{
    lv.initialised = mode == kLevelsUsable ? 1 : 0;
    lv.level_capacity = 0;
    lv.level_count = 0;
    lv.levels = kNoArray;
    lv.current_level = -1;
}

void n0_lvls_level_clear(int full, n0_level& level)
{
    level.region_count = 0;
    level.current_region = -1;
    if (full == 0) return;
    level.region_capacity = 0;
    level.regions = kNoArray;
    level.mode = 0;
    level.side_tables[0] = level.side_tables[1] = kNoArray;
    level.words[0] = level.words[1] = 0;
}

void n0_lvls_adjust_fs(int /*count*/, n0_level* level, int& status)
{
    status = kGoOn;
    if (level == nullptr) fail("n0_lvls_adjust_fs, DYNAMIC MEMORY ERROR", status);
}

void n0_lvls_level_rels(n0_level& level, int& status)
{
    if (not_ready("n0_lvls_level_rels", status)) return;
    if (level.region_capacity > 0 && level.regions != kNoArray) {
        for (int k = 0; k < level.region_capacity; ++k) {
            reg_release(slot_at(level, k), status);
            if (status != 0) return;
        }
        MM_CLOSE(level.regions, status);
        if (status != 0) return fail("n0_lvls_level_rels, MEMORY RELEASE ERROR", status);
    }
    n0_lvls_level_clear(1, level);
}

void n0_lvls_release(int& status)
{
    if (not_ready("n0_lvls_release", status)) return;
    if (lv.level_capacity != 0 && lv.levels != kNoArray) {
        for (int k = 0; k < lv.level_capacity && status == 0; ++k) n0_lvls_level_rels(*level_at(k), status);
        if (status == 0) MM_CLOSE(lv.levels, status);
        if (status != 0) return fail("n0_lvls_release, MEMORY RELEASE ERROR", status);
    }
    n0_lvls_reset(kLevelsUsable);
}

void n0_lvls_get_cur_level(int& level, int& status)
{
    if (not_ready("n0_lvls_get_cur_level", status)) return;
    level = lv.current_level;
}

void n0_lvls_next_level(int mode, int& status)
{
    if (not_ready("n0_lvls_next_level", status)) return;
    if (lv.current_level >= lv.level_count) return fail("n0_lvls_next_level, CURRENT LEVEL IS WRONG", status);
    if (lv.current_level + 1 >= lv.level_capacity) {
        grow_levels(status);
        if (status != 0) return;
    }
    if (lv.levels == kNoArray || level_at(0) == nullptr)
        return fail("n0_lvls_next_level, DYNAMIC MEMORY ERROR", status);
    lv.current_level += 1;
    if (lv.current_level == lv.level_count) lv.level_count += 1;
    level_at(lv.current_level)->mode = mode;
}

void n0_lvls_reset_level(int& status)
{
    if (not_ready("n0_lvls_reset_level", status)) return;
    if (lv.current_level < 0 || lv.levels == kNoArray) return;
    if (lv.current_level >= lv.level_count) return fail("n0_lvls_reset_level, CURRENT LEVEL IS WRONG", status);
    n0_lvls_level_clear(0, *level_at(lv.current_level));
}

void n0_lvls_next_region(int mode, int& status)
{
    if (not_ready("n0_lvls_next_region", status)) return;
    if (!current_level_valid()) return fail("n0_lvls_next_region, CURRENT LEVEL IS WRONG", status);
    n0_level* level = level_at(lv.current_level);
    if (level == nullptr) return fail("n0_lvls_next_region, DYNAMIC MEMORY ERROR", status);
    if (level->current_region >= level->region_count)
        return fail("n0_lvls_next_region, CURRENT REGION IS WRONG", status);
    if (mode != level->mode) return fail("n0_lvls_next_region, WRONG MODE VALUE", status);
    if (level->current_region + 1 >= level->region_capacity) {
        grow_slots(*level, status);
        if (status != 0) return;
    }
    level->current_region += 1;
    if (level->current_region == level->region_count) level->region_count += 1;
}

void n0_lvls_get_cur(reg_region*& region, int& status)
{
    region = nullptr;
    if (not_ready("n0_lvls_get_cur", status)) return;
    if (!current_level_valid()) return fail("n0_lvls_get_cur, CURRENT LEVEL IS WRONG", status);
    const n0_level* level = level_at(lv.current_level);
    if (level == nullptr) return fail("n0_lvls_get_cur, DYNAMIC MEMORY ERROR", status);
    if (level->current_region < 0 || level->current_region >= level->region_count)
        return fail("n0_lvls_get_cur, CURRENT REGION IS WRONG", status);
    region = slot_at(*level, level->current_region);
    if (region == nullptr) fail("n0_lvls_get_cur, DYNAMIC MEMORY ERROR", status);
}

void n0_lvls_add_region(int mode, const reg_region& region, int& status)
{
    if (not_ready("n0_lvls_add_region", status)) return;
    if (lv.levels == kNoArray) return fail("n0_lvls_add_region, DYNAMIC MEMORY ERROR", status);
    if (current_level_valid() && mode != level_at(lv.current_level)->mode)
        return fail("n0_lvls_add_region, WRONG MODE VALUE", status);
    reg_region* slot = nullptr;
    n0_lvls_get_cur(slot, status);
    if (status == 0) reg_release(slot, status);
    if (status == 0) *slot = region;
}

// ---- questions about the current region ----------------------------------------------------

namespace {

// The current region behind the guard of the asking routine.
reg_region* current(const char* routine, int& status)
{
    if (not_ready(routine, status)) return nullptr;
    reg_region* region = nullptr;
    n0_lvls_get_cur(region, status);
    return status == 0 ? region : nullptr;
}

bool plane_or_space(int mode) { return mode == kRegionPlane || mode == kRegionSpace; }

}  // namespace

void n0_lvls_get_mode(int& mode, int& status)
{
    const reg_region* region = current("n0_lvls_get_mode", status);
    mode = region != nullptr ? region->mode : kRegionPlane;
}

void n0_lvls_get_ng(int& count, int& status)
{
    if (const reg_region* region = current("n0_lvls_get_ng", status)) count = region->polygon_count;
}

void n0_lvls_get_np(int& count, int& status)
{
    if (const reg_region* region = current("n0_lvls_get_np", status)) count = region->point_count;
}

void n0_lvls_get_npbuf(int index, int& count, int& status)
{
    if (const reg_region* region = current("n0_lvls_get_npbuf", status)) reg_get_npbuf(*region, index, count, status);
}

void n0_lvls_get_locs(int index, int& location, int& status)
{
    reg_region* region = current("n0_lvls_get_locs", status);
    if (region == nullptr || region->polygon_count == 0) return;
    if (index < 0 || index >= region->polygon_count) return fail("n0_lvls_get_locs, WRONG INDEX", status);
    reg_get_locs(index, region, location, status);
}

void n0_lvls_get_poly(int mode, int index, float* points, int& status)
{
    reg_region* region = current("n0_lvls_get_poly", status);
    if (region == nullptr) return;
    if (!plane_or_space(mode)) return fail("n0_lvls_get_poly, WRONG MODE VALUE", status);
    reg_get_poly(mode, index, region, points, status);
}

void n0_lvls_get_all_pts(int mode, float* points, int& status)
{
    const reg_region* region = current("n0_lvls_get_np", status);
    if (region == nullptr) return;
    if (!plane_or_space(mode)) return fail("region_get_all_pts, WRONG MODE VALUE", status);
    reg_get_all_pts(*region, mode, points, status);
}

void n0_lvls_get_tmp_sons(int row, int column, int& value, int& status)
{
    if (reg_region* region = current("n0_lvls_set_tmp_sons", status))
        reg_get_tmp_sons(row, column, region, value, status);
}

void n0_lvls_set_tmp_sons(int row, int column, int value, int& status)
{
    if (const reg_region* region = current("n0_lvls_set_tmp_sons", status))
        reg_set_tmp_sons(*region, row, column, value, status);
}

void n0_lvls_get_cdir(int index, int& direction, int& status)
{
    if (reg_region* region = current("n0_lvls_get_cdir", status)) reg_get_cdir(index, region, direction, status);
}
