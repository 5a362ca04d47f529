// The change analysis: snapshot and comparison, in the order the driver relies on.
#include "driver/change_analysis.hpp"

#include "driver/optimizer_compare.hpp"
#include "driver/txt2_texts.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_origin.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/optimizer_params.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "toolpath/proc_flags.hpp"

#include <algorithm>

namespace {

constexpr int kPickedPointsType = 39;  // the machining type with a picked-point list
constexpr int kUpdateOption = 3, kRecomputeOption = 5;

change_snapshot g_snapshot;
int g_save_aprx_choice = 1;

word macsys_now() { return NPT1().at(tp_header_state::kUcsId); }

void take_snapshot(int block_length, const word* current, word* previous)
{
    nc_text_copies_take();
    int unused = 0;
    mch_params_changed(kChangeSnapshot, unused, unused, unused);
    const heights_state& h = HEI8();
    change_snapshot& s = g_snapshot;
    s.clearance = h.real(heights_state::kClearance);
    s.absolute = h.real(heights_state::kAbsolute);
    s.incremental = h.real(heights_state::kIncremental);
    s.clearance_plane = h.at(heights_state::kClearancePlane);
    s.use_absolute = h.at(heights_state::kUseAbsolute);
    s.clearance_mode2 = h.at(heights_state::kClearanceMode2);
    s.service = UPW2().words;
    s.save_aprx = g_save_aprx_choice;
    s.macsys = macsys_now();
    if (current && previous && block_length > 0) std::copy_n(current, block_length, previous);
    opt_params_previous() = opt_params_current();
    save_pnt_tables();
    if (machining_type() == kPickedPointsType) pntlist_save();
}

// The first height value that changed, in the comparison.
bool heights_changed()
{
    const heights_state& h = HEI8();
    const change_snapshot& s = g_snapshot;
    const word use_absolute = h.at(heights_state::kUseAbsolute);
    return !eqval(h.real(heights_state::kClearance), s.clearance) ||
           (h.at(heights_state::kClearancePlane) != 0) != (s.clearance_plane != 0) ||
           g_save_aprx_choice != s.save_aprx || use_absolute != s.use_absolute ||
           (use_absolute != 0 && h.real(heights_state::kAbsolute) != s.absolute) ||
           (use_absolute == 0 && h.real(heights_state::kIncremental) != s.incremental) ||
           h.at(heights_state::kClearanceMode2) != s.clearance_mode2;
}

void compare(parameters_changed_callback changed, int& recompute, int& update, int& callback_status, int& result)
{
    result = kChangeNone;
    if (recompute != 0) set_option_word(kRecomputeOption);
    if (update == 0)
        update = nc_texts_changed();
    else
        proc_flags().options[kUpdateOption - 1] = update;

    int machine_changed = 0;
    mch_params_changed(kChangeCompare, recompute, update, machine_changed);

    if (heights_changed()) {
        recompute = 1;
        set_option_word(kUpdateOption);
    }
    if (UPW2().words != g_snapshot.service) {
        update = 1;
        set_option_word(kUpdateOption);
    }
    if (macsys_now() != g_snapshot.macsys) {
        if (if_rotate_ucs(macsys_now(), g_snapshot.macsys))
            recompute = 1;
        else
            update = 1;
        set_option_word(kUpdateOption);
    }

    int for_recompute = 0, for_update = 0;
    if (changed) changed(for_recompute, for_update, callback_status);
    if (!guide_end_pnts_unchanged() || (machining_type() == kPickedPointsType && !pntlist_unchanged()))
        for_recompute = 1;
    if (for_recompute == 1) {
        set_option_word(kRecomputeOption);
        recompute = 1;
    }
    if (for_update != 0) {
        set_option_word(kRecomputeOption);
        update = for_update;
    }

    int optimizer = kCompareNoChange;
    opt_params_compare(opt_params_previous(), optimizer);
    if (optimizer == kCompareRecalculate)
        result = recompute != 0 ? kChangeRecomputeAll : kChangeOptimizeOnly;
    else if (optimizer == kCompareRecompute)
        recompute = 1;
    else if (optimizer == kCompareUpdate)
        update = 1;

    if (machine_changed != 0 && recompute == 0 && result != kChangeRecomputeAll) result = kChangeMachineOptimize;
}

}  // namespace

change_snapshot& change_snapshot_data() { return g_snapshot; }
int& save_aprx_choice() { return g_save_aprx_choice; }

void set_option_word(int n)
{
    if (n >= 1 && n <= proc_geom_pairs::kOptions) proc_flags().options[static_cast<std::size_t>(n - 1)] = 1;
}

void proc_change_analysis(int mode, int block_length, const word* current, parameters_changed_callback changed,
                          word* previous, int& recompute, int& update, int& callback_status, int& result)
{
    if (mode == kChangeSnapshot)
        take_snapshot(block_length, current, previous);
    else
        compare(changed, recompute, update, callback_status, result);
}
