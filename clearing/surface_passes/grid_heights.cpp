// Tool heights stamped into the clearing height grid along a hatch segment.
#include "clearing/surface_passes/grid_heights.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/clear_grid.hpp"
#include "clearing/surface_passes/hatch_direction.hpp"
#include "cutter/drop_front.hpp"
#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/srf_switches_least.hpp"
#include "surfaces/grid_drop_seam.hpp"
#include "surfaces/tri_store_least.hpp"

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Surface kinds of the two sweeps: every kind but the grid-line kinds, then the
// cover kinds.
constexpr unsigned kPartKinds = 0xffffff3fu, kCoverKinds = 0xd0u;
// Procedure codes whose check word spares the drop.
constexpr int kSurfaceCodeA = 34, kSurfaceCodeB = 38;
constexpr int kMethodGridOnly = 5, kCoverOn = 1, kPassOptionPlain = 3;
// The deviation mode: machining type 29 with grid kinds 3 and 4.
constexpr int kDeviationMachining = 29, kDeviationKindLeast = 3, kDeviationKindMost = 4;
// A sample stamped; one without result; the stamp modes of the two sweeps.
constexpr int kStamped = 0, kNoResult = 1;
constexpr int kFirstValue = 0, kSecondValue = 1;
// The drop's outcome with nothing under the tool.
constexpr int kNothingUnder = 1;
// Columns are counted with a tenth of a cell to spare, so that B on a column is
// sampled.
constexpr float kColumnSlack = 0.1f;

struct sweep {
    bool second;     // the cover sweep
    bool no_drop;    // codes 34 and 38 with the check word
    bool deviation;  // machining type 29 with grid kind 3 or 4
};

// The height of one sample; status kStamped, kNoResult, or negative.
float sample_height(const sweep& s, const float* at, int& status)
{
    const curve_approx_words& words = proc_geometry().curve_approx;
    status = kStamped;
    // The deviation measure of machining type 29 runs only under the host's test-string switch,
    // which no run of this module sets; its samples read as the string routine not active.
    if (s.deviation) return kGridNotActive;
    if (tri_model_grid_switch() != 0) {
        const float point[3] = {at[0], at[1], 0.0f};
        int side = 0;
        grid_drop_service_table().grid_drop_side(point, side, status);
        return side == kGridDropBelow ? kGridLowSide : kGridHighSide;
    }
    const bool drop = tri_model_held();
    if (!s.second && (s.no_drop || !drop)) return kGridNoSurface;
    float result[3] = {0.0f, 0.0f, 0.0f}, normal[3];
    const float point[3] = {at[0], at[1], 0.0f};
    int outcome = 0;
    tool_drop_z_at_xy(point, result, normal, outcome);
    if (outcome < 0) {
        status = outcome;
        return 0.0f;
    }
    if (outcome == 0) return result[2];
    if (s.second) return kGridNoSurface;
    if (outcome == kNothingUnder) return words.grid_cover == kCoverOn ? kGridNoSurface : kGridCovered;
    status = kNoResult;
    return 0.0f;
}

// One sweep over the samples; the gap outcome when a sample without result lies
// between two stamped ones.
int run_sweep(const sweep& s, const std::vector<float>& xs, float y, int& status)
{
    status = 0;
    bool stamped_before = false, gap_open = false, gap = false;
    for (float x : xs) {
        const float at[2] = {x, y};
        int sample_status = 0;
        const float z = sample_height(s, at, sample_status);
        if (sample_status < 0) {
            status = sample_status;
            return status;
        }
        if (sample_status != kStamped) {
            gap_open = gap_open || stamped_before;
            continue;
        }
        const float point[3] = {x, y, z};
        grid_stamp_z(s.second ? kSecondValue : kFirstValue, point, status);
        if (status < 0) return status;
        gap = gap || gap_open;
        stamped_before = true;
        gap_open = false;
    }
    return gap ? kGridGap : 0;
}

// The columns of the grid from A's to B's x: the first column not before A,
// every cell on.
std::vector<float> column_samples(float ax, float bx)
{
    std::vector<float> xs;
    const float c = clear_block.cell_size[0], o = clear_block.grid_origin[0];
    if (!(c > 0.0f)) return xs;
    const auto column = [&](float x) { return std::trunc((x - o) / c) * c + o; };
    float x0 = column(ax);
    if (x0 < ax) x0 += c;
    const float n = std::trunc((column(bx) - x0 + kColumnSlack * c) / c + 1.0f);
    for (int i = 0; static_cast<float>(i) < n; ++i) xs.push_back(x0 + static_cast<float>(i) * c);
    return xs;
}

}  // namespace

void segment_grid_heights(const float* a, const float* b, float hatch_angle, int& status)
{
    status = 0;
    const curve_approx_words& words = proc_geometry().curve_approx;
    const int code = nu_sgcd_get_code();
    const bool deviation = machining_type() == kDeviationMachining && words.grid_kind >= kDeviationKindLeast &&
                           words.grid_kind <= kDeviationKindMost;
    const bool no_drop = (code == kSurfaceCodeA || code == kSurfaceCodeB) && words.grid_check != 0;
    const bool exchanged = against_hatch(a, b, hatch_angle);
    const float* start = exchanged ? b : a;
    const float* end = exchanged ? a : b;
    const std::vector<float> xs = column_samples(start[0], end[0]);
    set_srf_kind_mask(kPartKinds);
    int outcome = run_sweep({false, no_drop, deviation}, xs, start[1], status);
    if (status >= 0 && words.method == kMethodGridOnly && words.grid_cover == kCoverOn &&
        words.grid_pass_option != kPassOptionPlain) {
        set_srf_kind_mask(kCoverKinds);
        run_sweep({true, no_drop, deviation}, xs, start[1], status);
        set_srf_kind_mask(kPartKinds);
    }
    if (status < 0) return;
    status = outcome == kGridGap && machining_type() != kDeviationMachining ? kGridGap : 0;
}
