// The driver of the cutting stages: island lanes reversed when asked, stage 1, the end-point
// ordering, then the chains cut one branch at a time (single-offset chains) or linked into one
// path, the progress line and the entry heights given back on every way out. Beside it the
// chain cut that turns one lane into an output lane and the single-island test.
#include "pocket_lanes/cutting_stages.hpp"

#include "host/vantu.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/prog_line.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"
#include "pocket_arrays/pokarr_measures.hpp"
#include "pocket_arrays/pokarr_restart.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_lanes/collapse_detours.hpp"
#include "pocket_lanes/collapse_pass_cut.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/lane_engine.hpp"
#include "pocket_lanes/lane_linking.hpp"

#include <algorithm>
#include <cstdlib>
#include <vector>

cut_stage_state cut_stage_block;

namespace {

constexpr int kPlanar = 2;
constexpr int kOneOffset = 1;
constexpr int kPollEvery = 15;
constexpr int kProgressStart = 0, kProgressUpdate = 1, kProgressClose = 2;
constexpr int kIslandContourType = 2;
constexpr int kFirstIslandOffset = 1;

int dimension() { return pocket_state_block.pocket_dimension; }

// The entry heights outside dimension 2, given back on every way out.
struct entry_heights {
    entry_heights(int lanes, int& status)
    {
        cut_stage_state& s = cut_stage_block;
        if (dimension() == kPlanar) return;
        s.z_room = std::min(2 * (lanes + 1), kStageEntries);
        s.z = static_cast<double*>(DM_ALLOC(sizeof(double) * (static_cast<std::size_t>(s.z_room) + 1)));
        if (s.z == nullptr) status = -1;
    }
    ~entry_heights()
    {
        cut_stage_state& s = cut_stage_block;
        if (s.z != nullptr) DM_FREE(s.z, 0);
        s.z = nullptr;
        s.z_room = 0;
    }
    entry_heights(const entry_heights&) = delete;
    entry_heights& operator=(const entry_heights&) = delete;
};

// The progress total: every live lane, and one more for each further live child of a lane.
int progress_total()
{
    const lane_table& lt = lane_table_block;
    std::vector<int> children(static_cast<std::size_t>(lt.count) + 1, 0);
    int total = 0;
    for (int n = 1; n <= lt.count; ++n) {
        if (lt.status[n] <= 0) continue;
        ++total;
        const int p = lt.parent[n];
        if (p >= 1 && p <= lt.count && lt.status[p] > 0) ++children[static_cast<std::size_t>(p)];
    }
    for (int n = 1; n <= lt.count; ++n)
        if (lt.status[n] > 0 && children[static_cast<std::size_t>(n)] > 1)
            total += children[static_cast<std::size_t>(n)] - 1;
    return total;
}

// Single-offset chains: islands from the highest level down, then the branches from the highest
// level down; each the last closing lane of its level, cut up its parents while they stay on it.
void cut_single_chains(int direction_sign, int& status)
{
    cut_stage_state& s = cut_stage_block;
    lane_table& lt = lane_table_block;
    const int first_output = pocket_box_block.first_output_lane;
    int highest_island = 0, highest_branch = 0;
    for (int n = 1; n < first_output && n <= lt.count; ++n) {
        if (lt.level[n] > kLevelIsland)
            highest_island = std::max(highest_island, lt.level[n]);
        else if (lt.level[n] < kLevelSeparator)
            highest_branch = std::max(highest_branch, lt.level[n]);
    }
    const auto cut_level = [&](int level) {
        int closing = 0;
        for (int n = std::min(first_output - 1, lt.count); n >= 1 && closing == 0; --n)
            if (lt.level[n] == level && lt.status[n] < 0 && lt.parent[n] > 0) closing = n;
        if (closing == 0) return;
        lt.parent[closing] = -lt.parent[closing];
        int holder = closing, lane = -lt.parent[closing];
        for (int guard = 0; guard <= lt.count && lane >= 1 && lane <= lt.count; ++guard) {
            const int cut = chain_cut(holder, lane, direction_sign, s.entries);
            if (cut < 0) {
                status = -cut;
                return;
            }
            cut_progress_step(s.progress_on, s.progress_total, s.progress_counter);
            const int parent = lt.parent[lane];
            if (parent < 1 || parent > lt.count || parent == lane || lt.level[parent] != level ||
                lt.status[parent] == 0)
                break;
            holder = lane;
            lane = parent;
        }
        lane_add_separator(status);
    };
    if (highest_island > kLevelIsland)
        for (int level = highest_island; level > kLevelIsland && status == 0; --level) cut_level(level);
    for (int level = highest_branch; level >= 1 && status == 0; --level) cut_level(level);
}

// Whether every live lane of the engine (below the first output lane) was cut: a cut lane is an
// output lane with a live status that names its source as second link (connection lanes and
// separators have status 0). A live lane that no chain reached would leave its material standing.
bool every_live_lane_cut()
{
    const lane_table& lt = lane_table_block;
    const int first_output = std::min(pocket_box_block.first_output_lane, lt.count + 1);
    std::vector<char> cut(static_cast<std::size_t>(first_output), 0);
    for (int n = first_output; n <= lt.count; ++n)
        if (lt.status[n] > 0 && lt.link2[n] >= 1 && lt.link2[n] < first_output)
            cut[static_cast<std::size_t>(lt.link2[n])] = 1;
    for (int n = 1; n < first_output; ++n)
        if (lt.status[n] > 0 && cut[static_cast<std::size_t>(n)] == 0) return false;
    return true;
}

void run_stages(double side_step, int direction_sign, int offsets_mode, int& status)
{
    cut_stage_state& s = cut_stage_block;
    lane_table& lt = lane_table_block;
    const pocket_state& ps = pocket_state_block;
    if (ps.reverse_islands == 0 && offsets_mode != kOneOffset)
        for (int n = 1; n <= lt.count && status == 0; ++n)
            if (lt.level[n] > kLevelIsland && lt.status[n] == 1) lane_reverse(n, status);
    if (status != 0) return;
    pocket_box_block.first_output_lane = lt.count + 1;
    collapse_detours_list();
    entry_heights heights(lt.count, status);
    if (status != 0) return;
    cut_stage1(0, side_step, direction_sign, offsets_mode, s.entries, s.z, s.outer_branches, status);
    if (status != 0) return;
    if (pocket_work_block.end_point_mode >= 1) {
        cutluk(side_step, direction_sign, s.entries, status);
        if (status == kEngineEndPointNote) {
            s.end_point_note = 1;
            status = 0;
        }
        if (status != 0) return;
    }
    if (s.progress_on != 0) {
        s.progress_total = progress_total();
        prog_loops_text(kProgressStart, s.progress_total, 0);
    }
    engine_time_line("start cutting pocket 2nd stage: ");
    if (ps.multi_offset == 1)
        cut_single_chains(direction_sign, status);
    else
        cut_linked_chains(0, side_step, direction_sign, s.entries, status);
    if (status == 0 && !every_live_lane_cut()) status = kEngineCannotLink;
}

// Whether the drop of short elements left the path as it was (every change it makes removes
// entries) and the path holds lines only. The tidy passes change arcs only, so they would leave
// such a path alone, and a second drop over the same entries would again find nothing.
bool untouched_lines(const pokarr& path, int count_before_drop)
{
    if (path.count != count_before_drop) return false;
    for (int i = 0; i < path.count; ++i)
        if (pk_is_marker(path.x[i])) return false;
    return true;
}

}  // namespace

bool single_island(int lane, const cut_entry_tables& entries)
{
    const lane_table& lt = lane_table_block;
    if (lane < 1 || lane > lt.count || lt.status[lane] != kFirstIslandOffset || lt.level[lane] <= kLevelIsland)
        return false;
    // The island's contour lane comes right after the outer contour, in island order.
    const int contour = lt.level[lane] - kLevelIsland + 1;
    if (contour < 1 || contour > lt.count || lt.contour_type[contour] != kIslandContourType) return false;
    int children = 0;
    for (int n = 1; n <= lt.count; ++n)
        if (std::abs(lt.parent[n]) == lane && lt.status[n] != 0 && stage_index_ok(n) && entries.element[n] != 0)
            ++children;
    return children <= 1;
}

void lay_chain_lane(int lane, int side, pokarr& path, int& status)
{
    status = 0;
    if (side == -1) pokarr_reverse(path);
    const int before_drop = path.count;
    pokarr_drop_short(path);
    if (lane_table_block.status[lane] >= 2 && path.dimension == kPlanar && !untouched_lines(path, before_drop)) {
        pokarr_tidy_pass1(path);
        pokarr_tidy_pass2(path);
        pokarr_drop_short(path);
    }
    // The detours go in first, so that the turns they make are among those the cut may start from.
    if (dimension() == kPlanar) collapse_detours_cut(lane, path, status);
}

void open_chain_lane(int holder, int lane, int side, const cut_entry_tables& entries, pokarr& path, int& status)
{
    status = 0;
    if (!stage_index_ok(holder) || !stage_index_ok(lane)) {
        status = kEngineTableFull;
        return;
    }
    lane_to_pokarr(lane, path, status);
    if (status != 0) {
        status = kEngineArrayFailed;
        return;
    }
    const int element = std::abs(entries.element[holder]);
    if (element >= 1 && element < path.count) {
        double x = entries.x[holder], y = entries.y[holder];
        pokarr_restart_at(path, element, kRestartAtPoint, entries.param[holder], x, y, status);
        if (status != 0) {
            status = kEngineArrayFailed;
            return;
        }
    }
    lay_chain_lane(lane, side, path, status);
    if (dimension() == kPlanar) {
        // The innermost lane of a chain (entered from above, its holder the closing lane) is cut
        // from where it is cut once: a pass of no width from its far turn to its entry, a detour
        // that runs along the lane from where the run ends.
        if (status == 0 && lane_table_block.status[holder] < 0)
            collapse_pass_cut_once(path, collapse_pass_near(), status);
        return;
    }
    // A path that cannot be laid on the surfaces is cut as it is.
    pokarr_work projected(path.dimension);
    lane_project(path, projected.a, status);
    if (status == 0 && projected.a.count > 0) pokarr_move(projected.a, path, status);
    status = 0;
}

int add_cut_lane(int lane, const pokarr& path)
{
    lane_table& lt = lane_table_block;
    int status = 0;
    lane_add(lt.status[lane], lt.level[lane], 1, 1, lane, lt.offset[lane], 0, path, status);
    if (status != 0) return -status;
    lt.group[lt.count] = lt.group[lane];
    return lt.count;
}

int chain_cut(int holder, int lane, int side, const cut_entry_tables& entries)
{
    pokarr_work path(dimension() == kPlanar ? 2 : dimension());
    int status = 0;
    open_chain_lane(holder, lane, side, entries, path.a, status);
    return status != 0 ? -status : add_cut_lane(lane, path.a);
}

void cut_progress_step(int progress_switch, int total, int& counter)
{
    ++counter;
    if (dimension() == kPlanar && counter % kPollEvery != 0) return;
    if (progress_switch == 0)
        EXCBRK();
    else
        prog_loops_text(kProgressUpdate, total, std::min(total - 1, counter));
}

void cut_pocket_stages(int group_switch, double side_step, double first_offset, int direction_sign, int offsets_mode,
                       int& status)
{
    static_cast<void>(group_switch);
    static_cast<void>(first_offset);
    status = 0;
    cut_stage_state& s = cut_stage_block;
    s.progress_on = offsets_mode > kOneOffset && dimension() != kPlanar ? 1 : 0;
    s.progress_counter = 0;
    s.progress_total = 0;
    s.end_point_note = 0;
    engine_time_line("start cutting pocket 1st stage: ");
    {
        // The progress line is closed on every way out, the stop of an execution included.
        give_back close_progress([&s] {
            if (s.progress_on != 0) prog_loops_text(kProgressClose, 0, 0);
            collapse_detours_clear();
        });
        run_stages(side_step, direction_sign, offsets_mode, status);
    }
    if (status == 0 && s.end_point_note != 0) status = kEngineEndPointNote;
    engine_time_line("end cutting pocket 2nd stage: ");
}
