// The procedure state at every start (proc_geom_start): the NC state restored, the tool path open
// at its top level, the procedure's geometry words, the machining type, and the display, marker,
// level, buffer and motion words back to their start. Reads NPT1 and EDA2 through the restore.
#include "cutter/prj_manager_least.hpp"
#include "driver/nc_state_store.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_steps.hpp"
#include "driver/set_machining_type.hpp"
#include "host/vantu.hpp"
#include "listing/live_display.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/n0_lvls.hpp"
#include "pocket/pasbuf.hpp"
#include "pocket/pocket_draw_words.hpp"
#include "pocket/polbuf.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/updown_buffers.hpp"

namespace {

constexpr int kCurrentLevel = 1, kTopLevel = 1;
constexpr int kNotInitialised = 1;
constexpr int kLevelsForget = 1;
constexpr int kSet = 2;
constexpr int kNoFunction = -1;

// Back to the top level of the list, closing every open sub-list on the way.
void close_sublists(int& status)
{
    int level = 0;
    gtlstn(kCurrentLevel, level, status);
    for (int round = 0; status >= 0 && level > kTopLevel && round < vantu::kListMaxLevels; ++round) {
        tp_sublist_close(status);
        if (status >= 0) gtlstn(kCurrentLevel, level, status);
    }
    slclr();
}

// Display, marker, level and motion words of a fresh procedure.
void reset_procedure_words()
{
    exec_disp_save();
    pk_draw_phase_reset();
    pk_aux_flag_reset();
    float no_limit = 0.0f;
    reduced_tool_set(0, no_limit);
    tp_mrkr_reset();
    entpnt_flag_reset();
    n0_lvls_reset(kLevelsForget);
    motion_state_reset(1, 0.0f, 1, 1, 1);
    displb_set_count(0);
}

}  // namespace

void proc_geom_start(int nc_function, int& mach_param_type, int& interactive, int& status)
{
    SEGSTR(kRestoreWithView, status);
    if (status < 0) return;
    if (!lopnls()) {
        userrc("TOOL PATH IS NOT OPEN");
        status = -1;
        return;
    }
    close_sublists(status);
    if (status < 0) return;

    single_curve_contours_flag() = 0;
    proc_geometry_reset();
    nc_surf_init(1, 0);
    proc_run.solid_geometry = 0;

    load_nc_function_names();
    nu_sgcd_set_code(nc_function);
    if (nc_function >= 1) {
        set_machining_type(nc_function, mach_param_type, interactive, status);
        if (status < 0) return;
    }
    set_type_mach_param(mach_param_type);

    polbuf_open_all(kNotInitialised, 0, status);
    if (status < 0) return;
    pasbuf_init(kNotInitialised, 1, status);
    if (status < 0) return;
    reset_procedure_words();

    int translations = 0;
    if (nc_function != kNoFunction) nu_trns_init(translations);
    if (translations != 0) {
        status = translations;
        return;
    }
    nu_mod_set_flag(0);
    ncd_init_curr_attrs();
    nc_surf_gs_part2(kSet, 0);
    init_badsrf();
    int zshift_off = 0;
    zshift_flag_getset(kSet, zshift_off);
    prj_manager_set(kProjectionOff);
    disp_state_reset();
    status = 0;
}
