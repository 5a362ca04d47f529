// The define callback of the pocket: the contour step (the contour dialog), the region step (the
// regions of the gathered contours and the direction arrows of hatch clearing) and the dialog step
// (the pocket dialog and the decision whether the geometry is asked for again), in the order the
// driver's flags and the user's answers choose. Reads and writes drelan_params_current, the
// contour table and pocket_words_block.store_geometry; reads the host's template flags.
#include "pocket/pocket_callbacks.hpp"

#include "host/vantu.hpp"
#include "nc_services/template_flags.hpp"
#include "pocket/contour_dialogs.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/direction_arrows.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/n0_lvls.hpp"
#include "pocket/pocket_dialog.hpp"
#include "pocket/pocket_words.hpp"
#include "pocket/proc_dialog_seams.hpp"
#include "pocket/region_table.hpp"

namespace {

using P = drelan_params;

constexpr int kGoOn = 0, kCancel = -1;
constexpr int kHatching = 1;
constexpr int kRegionsMode = 2;
constexpr int kArrowsOnContour = 1;
constexpr int kManagedTemplate = 1;
// Rounds of the define steps at most (each round takes at least one answer of the user).
constexpr int kMostRounds = 10000;

enum class define_step { contour, region, dialog, done };

// The marks of one call.
struct define_marks {
    int fresh = 0;          // the contours must be picked (a procedure that does not exist yet)
    int existing = 0;       // the procedure exists
    int contour_item = 0;   // the user chose CONTOUR on the pocket dialog
    int region_switch = 0;  // the region step runs even without new contours
};

P& params() { return drelan_params_current; }

define_step contour_step(define_marks& m, int& geometry_redefined, int& status)
{
    const P& p = params();
    contour_table& t = contour_table_block;
    const contour_values defaults{p.real(P::kNewOffset), p.real(P::kNewDraft), p.at(P::kContourOption), 1};
    int changed = 0, dialog_status = kGoOn;
    contour_dialog(m.fresh, m.contour_item, defaults, contour_switches{}, t.contours_valid, changed, dialog_status);
    if (geometry_redefined == 0) geometry_redefined = changed;
    if (t.count < 0) {
        status = kCancel;
        return define_step::done;
    }
    if (m.fresh) {
        if (dialog_status == kCancel) {
            status = kCancel;
            return define_step::done;
        }
        if (t.contours_valid) proc_dialog_seams().chk_single_curve_contours(-contour_count());
    }
    // New contours go into the procedure's geometry entity when it is stored.
    if (changed && (m.contour_item || m.fresh)) pocket_words_block.store_geometry = 1;
    return define_step::region;
}

void region_step(const define_marks& m)
{
    P& p = params();
    contour_table& t = contour_table_block;
    if (!t.contours_valid || t.gathered_count == 0 || (!m.fresh && !m.existing && !m.contour_item && !m.region_switch))
        return;
    int status = kGoOn;
    n0_lvls_reset_level(status);
    region_build(contour_buffers_block.gathered.data(), t.gathered_count, p.real(P::kTolerance), status);
    if (status != kGoOn) {
        p.at(P::kRegionCount) = 1;
        t.contours_valid = 0;
        return;
    }
    p.at(P::kRegionCount) = region_count();
    if (p.at(P::kMethod) != kHatching || m.region_switch) return;
    const int* outer = buffer_entry(contour_buffers_block.gathered, region_first_curve(0) + 1);
    compute_arrows_position(kArrowsOnContour, outer, 0.0f, p.real(P::kHatchAngle), p.real(P::kSideStep), nullptr, 0,
                            status);
    if (status != kGoOn) t.contours_valid = 0;
}

// One round of the pocket dialog; answers the next step, or done with the callback's status.
define_step dialog_round(define_marks& m, int dialog_flag, int geometry_redefined, int& end_run, int& status)
{
    if (is_create_from_TPtemplate()) {
        status = kGoOn;
        return define_step::done;
    }
    m.existing = 0;
    int cleared = 0, answer = kGoOn;
    pkstsd(geometry_redefined, end_run, cleared, m.contour_item, answer);
    if (dialog_flag) {
        status = answer;
        return define_step::done;
    }
    if (is_read_singlePROC()) return define_step::dialog;
    const int redefine_flag = m.fresh || m.contour_item ? 1 : 0;
    proc_dialog_seams().ask_redefine_geometry(redefine_flag, answer);
    if (answer == kGeometryKeep) return define_step::dialog;
    bool redefine = m.contour_item != 0;
    if (answer == kGeometryUnchanged || answer == kGeometryRedefine) {
        m.fresh = 1;
        redefine = true;
    }
    if (redefine && answer != kGeometryLeave) {
        m.region_switch = 0;
        return define_step::contour;
    }
    status = answer;
    return define_step::done;
}

}  // namespace

void define_drelan(int& procedure_number, int& view_only, int& tool_path_moved, int& repeat, int& /*change_status*/,
                   int& back, int& geometry_redefined, int& end_run, int& status)
{
    P& p = params();
    status = kGoOn;
    const int template_operation = is_some_template_CreateRead_operation();
    const int managed_template = get_ManageTp_TemplateFlag();
    const int dialog_flag = nu_mod_get_flag();
    if (!back && !repeat) {
        arrows_init(p.at(P::kHatchSign), status);
        if (status < 0) return;
    }
    int level = 0;
    n0_lvls_get_cur_level(level, status);
    if (status == kGoOn && level < 0) n0_lvls_next_level(kRegionsMode, status);
    if (status < 0) return;

    define_marks m;
    m.existing = procedure_number > 0 ? 1 : 0;
    m.region_switch = back;
    define_step step = define_step::dialog;
    if (!view_only && !tool_path_moved && !back) {
        m.region_switch = repeat;
        if (!repeat && !m.existing) {
            m.fresh = 1;
            p.at(P::kEntryMode) = 1;
            p.at(P::kStartMode) = 1;
        } else if (!repeat) {
            save_pnt_tables();
        }
        step = template_operation ? define_step::dialog : repeat ? define_step::region : define_step::contour;
    }
    for (int round = 0; round < kMostRounds && step != define_step::done; ++round) {
        switch (step) {
        case define_step::contour: step = contour_step(m, geometry_redefined, status); break;
        case define_step::region:
            region_step(m);
            step = define_step::dialog;
            break;
        case define_step::dialog:
            template_flag_clear();
            if (managed_template == kManagedTemplate) {
                step = define_step::done;
                break;
            }
            step = dialog_round(m, dialog_flag, geometry_redefined, end_run, status);
            break;
        case define_step::done: break;
        }
    }
    status = status == kCancel ? kCancel : kGoOn;
}
