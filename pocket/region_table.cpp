// Building the region table: the first-curve table and the copy of the curve list, one region
// record of all contour polygons put into the levels package, and the walk over its nesting that
// takes out one region (an outer boundary with its islands) a step, innermost first. The define
// callback builds; the execute callback and the dialog read the regions.
#include "pocket/region_table.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/n0_lvls.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

region_table region_table_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
// Reach of the contour polygons: ten times the tolerance, at most 0.1.
constexpr float kReachFactor = 10.0f;
constexpr float kReachMost = 0.1f;
// The walk gives up after this many steps (each takes at least one contour when the nesting is
// sound); message group and numbers of the host's catalogue.
constexpr int kMostSteps = 700;
constexpr int kRegionMessages = 320;
constexpr int kNoRegionMessage = 10;
constexpr int kSomeRegionsMessage = 20;
constexpr int kTaken = -1;  // son count of a polygon taken out of the tree

region_table& rt = region_table_block;

// The temporary sons and the cutting directions of the levels package's current region, read
// directly once they are up to date (the walk reads them many times a step).
struct nesting_view {
    int n = 0;
    int* sons = nullptr;  // rows of n + 1 words
    const int* directions = nullptr;
    int& at(int row, int column) const { return sons[static_cast<long>(n + 1) * row + column]; }
};

// The view of the current region; false with a failure status (kFailed where the packages gave
// none) when it cannot be had.
bool view_current(nesting_view& view, int& status)
{
    reg_region* region = nullptr;
    n0_lvls_get_cur(region, status);
    if (status != 0) return false;
    view.n = region->polygon_count;
    if (view.n == 0) return true;
    int value = 0, direction = 0;
    reg_get_tmp_sons(0, 0, region, value, status);
    if (status == 0) reg_get_cdir(0, region, direction, status);
    if (status != 0) return false;
    view.sons = static_cast<int*>(mmcptr(region->tmp_sons));
    view.directions = static_cast<const int*>(mmcptr(region->cdir));
    if (view.sons != nullptr && view.directions != nullptr) return true;
    status = kFailed;
    return false;
}

// Takes polygon p out of the tree: its son count becomes -1, and every row listing it replaces
// it by its last son.
void region_tree_remove(const nesting_view& v, int p)
{
    v.at(p, 0) = kTaken;
    for (int row = 0; row < v.n; ++row) {
        if (row == p) continue;
        const int count = std::min(v.at(row, 0), v.n);
        for (int j = 1; j <= count; ++j) {
            if (v.at(row, j) != p) continue;
            v.at(row, j) = v.at(row, count);
            v.at(row, 0) = count - 1;
            break;
        }
    }
}

bool is_leaf(const nesting_view& v, int p) { return v.at(p, 0) == 0; }

// Whether polygon p is an outer boundary still in the tree whose sons have no sons of their own.
bool encloses_leaves_only(const nesting_view& v, int p)
{
    const int count = v.at(p, 0);
    if (count < 0 || v.directions[p] != kRegionOuter) return false;
    for (int j = 1; j <= std::min(count, v.n); ++j) {
        const int son = v.at(p, j);
        if (son < 0 || son >= v.n || !is_leaf(v, son)) return false;
    }
    return true;
}

// One step of the walk: the first outer boundary with nothing inside it, else the first one
// whose sons are all leaves, with its sons. Answers the contour ids (polygon index + 1) of the
// region taken, empty when none qualifies.
std::vector<int> region_tree_step(int& status)
{
    nesting_view v;
    std::vector<int> ids;
    if (!view_current(v, status)) return ids;
    for (int p = 0; p < v.n && ids.empty(); ++p)
        if (is_leaf(v, p) && v.directions[p] == kRegionOuter) ids.push_back(p + 1);
    for (int p = 0; p < v.n && ids.empty(); ++p) {
        if (!encloses_leaves_only(v, p)) continue;
        ids.push_back(p + 1);
        for (int j = 1; j <= v.at(p, 0); ++j) ids.push_back(v.at(p, j) + 1);
    }
    for (const int id : ids) region_tree_remove(v, id - 1);
    return ids;
}

// The contours that enclose contour 1, the user's outer contour (their rows list polygon 0 among
// their sons), as ids in index order.
std::vector<int> outer_enclosers(int& status)
{
    nesting_view v;
    std::vector<int> ids;
    if (!view_current(v, status)) return ids;
    for (int p = 1; p < v.n; ++p) {
        const int count = std::min(v.at(p, 0), v.n);
        for (int j = 1; j <= count; ++j)
            if (v.at(p, j) == 0) {
                ids.push_back(p + 1);
                break;
            }
    }
    return ids;
}

// Appends a region list (n, then the ids); false when no memory can be had.
bool append_region(const std::vector<int>& ids)
{
    const std::size_t n = ids.size();
    auto* list = static_cast<int*>(DM_ALLOC((n + 1) * sizeof(int)));
    if (list == nullptr || rt.region_count >= kRegionListsMax) {
        DM_FREE(list, 0);
        eroutc("FIND_REGIONS ERROR  ALLOCATING MEMORY", 0);
        return false;
    }
    list[0] = static_cast<int>(n);
    std::copy(ids.begin(), ids.end(), list + 1);
    rt.lists[rt.region_count++] = list;
    return true;
}

// The region record of all contour polygons, put into the next slot of the current level.
int put_contour_region(float reach)
{
    reg_region region;
    int status = kGoOn;
    reg_init(kRegionPlane, &region, status);
    if (status != 0) return status;
    crtpol(reach, rt.contour_count, rt.curves.data(), &region, status);
    if (status == 0) n0_lvls_next_region(kRegionPlane, status);
    if (status == 0) n0_lvls_add_region(kRegionPlane, region, status);
    if (status != 0) {
        int ignored = 0;
        reg_release(&region, ignored);
    }
    return status;
}

}  // namespace

int FIND_REGIONS(float tolerance)
{
    const float reach = std::min(kReachFactor * tolerance, kReachMost);
    if (rt.contour_count < 1) return kFailed;
    int status = put_contour_region(reach);
    if (status != 0) return status;
    rt.region_count = 0;
    // An island round the user's outer contour leaves nothing between them to pocket: by nesting
    // that island would bound a region of its own and the material outside the outer contour
    // would be cut. The one region is the outer contour with the islands round it; the lane engine
    // finds it empty and tells the user.
    const std::vector<int> enclosers = outer_enclosers(status);
    if (status != 0) return status;
    if (!enclosers.empty()) {
        std::vector<int> ids{1};
        ids.insert(ids.end(), enclosers.begin(), enclosers.end());
        return append_region(ids) ? kGoOn : kFailed;
    }
    int remaining = rt.contour_count;
    for (int steps = 0; remaining > 0; ++steps) {
        const std::vector<int> ids = region_tree_step(status);
        if (status != 0) return status;
        if (steps > kMostSteps) {
            const bool some = rt.region_count > 0;
            msg_mdls(kRegionMessages, some ? kSomeRegionsMessage : kNoRegionMessage);
            return some ? kGoOn : kFailed;
        }
        if (!ids.empty() && !append_region(ids)) return kFailed;
        remaining -= static_cast<int>(ids.size());
    }
    return kGoOn;
}

void region_build(const int* curves, int count, float tolerance, int& status)
{
    status = kGoOn;
    if (count < 0 || count > kRegionContoursMax || (count > 0 && curves == nullptr)) {
        eroutc("region_build, TOO MANY CONTOURS OR CURVES", 0);
        status = kFailed;
        return;
    }
    // The first-curve table; every record read must begin inside the room of the curve list.
    int first[kRegionContoursMax + 1] = {0};
    for (int j = 1; j <= count; ++j) {
        int length = 0, ignored = 0;
        if (first[j - 1] < contour_entries()) dfcgld(curves + 2L * first[j - 1], length, ignored);
        first[j] = first[j - 1] + length;
        if (first[j - 1] >= contour_entries() || first[j] > contour_entries()) {
            eroutc("region_build, TOO MANY CONTOURS OR CURVES", 0);
            status = kFailed;
            return;
        }
    }
    rt.contour_count = count;
    std::memcpy(rt.first_curve, first, sizeof first);
    rt.curves.assign(curves, curves + 2L * first[count]);
    if (rt.region_count > 0 || rt.lists[0] != nullptr) region_table_free();
    status = FIND_REGIONS(tolerance) == kGoOn ? kGoOn : kFailed;
    region_ref_points_reset();
}

int region_count() { return rt.region_count; }

void region_contours(int i, int& outer, int& island_count, int* island_ids)
{
    if (i < 1 || i > rt.region_count || rt.lists[i - 1] == nullptr) return;
    const int* list = rt.lists[i - 1];
    outer = list[1];
    island_count = list[0] - 1;
    if (island_ids != nullptr) std::copy(list + 2, list + 1 + list[0], island_ids);
}

int region_outer_id(int i)
{
    if (i < 1 || i > rt.region_count || rt.lists[i - 1] == nullptr) return 0;
    return rt.lists[i - 1][1];
}

int region_first_curve(int i)
{
    const int outer = region_outer_id(i + 1);
    return outer >= 1 && outer <= rt.contour_count ? rt.first_curve[outer - 1] : 0;
}

void contour_first_curves_copy(int* first_curves) { std::memcpy(first_curves, rt.first_curve, sizeof rt.first_curve); }

int region_table_free()
{
    int freed = 0;
    for (int*& list : rt.lists) {
        if (list == nullptr) continue;
        DM_FREE(list, 0);
        list = nullptr;
        ++freed;
    }
    rt.region_count = 0;
    return freed;
}
