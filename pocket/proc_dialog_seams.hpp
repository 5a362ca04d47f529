// The procedure dialog's services that the pocket's define callback and parameter dialog call:
// the common top lines of a procedure parameter page and the carrying out of the top item chosen
// (driver/proc_top_menu.hpp), and the two decisions on the contours of a procedure
// (driver/single_curve_check.hpp). The driver fills the table when the module is loaded
// (pocket_arrays/seam_entry.hpp).
#pragma once

#include "host/vantu_proc_run.hpp"
#include "pocket_arrays/seam_entry.hpp"

// Words of the top menu's item map (driver/proc_top_menu.hpp): the line of each top item.
inline constexpr int kTopMenuItems = 9;
// Words of the MACHINE PARAMS page's item flags (listing/mach_params_menu.hpp): the items shown.
inline constexpr int kMachItemFlags = 13;

// Answers of ask_redefine_geometry.
inline constexpr int kGeometryLeave = -1, kGeometryRedefine = 1, kGeometryKeep = 2, kGeometryUnchanged = -2;

inline constexpr char kProcDialogServicesName[] = "proc_dialog_services";

struct proc_dialog_services {
    using unfilled = unfilled_seam<kProcDialogServicesName>;
    // The top lines of the page (proc_top_menu).
    void (*proc_top_menu)(int kind, int page_count, const int* flags, int (&item_map)[kTopMenuItems], int& item_count,
                          int& status) = unfilled{};
    // The page run and the top item carried out (proc_top_menu_do).
    void (*proc_top_menu_do)(int kind, int previous, int (&machining)[kMachItemFlags],
                             const int (&item_map)[kTopMenuItems], template_put_fn put_parameters,
                             template_put_fn put_geometry, template_read_fn read_parameters, int& answer,
                             int& tool_changed, int& redisplay) = unfilled{};
    // Whether every checked contour is one closed curve of the plain kind (sets
    // single_curve_contours_flag()).
    void (*chk_single_curve_contours)(int mode) = unfilled{};
    // What the define page's answer means for the geometry of an edited procedure.
    void (*ask_redefine_geometry)(int flag, int& answer) = unfilled{};
};

// The services the pocket's dialogs call; assign an entry to replace it.
proc_dialog_services& proc_dialog_seams();
