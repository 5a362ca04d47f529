// The services of the manual editor and the trimming that the execution menu calls: the manual
// editor of the current procedure's tool path, the return to the last added block while
// trimming, the rebuild of the trimming menu and whether the trimming driver's restart point is
// set. The editing folder (edit/) fills the table when the module is loaded
// (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

#include <array>

inline constexpr char kEditServicesName[] = "edit_services";

struct edit_services {
    using unfilled = unfilled_seam<kEditServicesName>;
    // The manual editor: procedure (0 or less the one being written), the seven rights words,
    // start-at-end (cleared when used), blank-on-exit, changed out, status.
    void (*manedt)(int procedure, const std::array<int, 7>& perm, int& start_at_end, int blank_on_exit, int& changed,
                   int& status) = unfilled{};
    // Mode 2 marks the current list position, mode 1 returns to it.
    void (*goto_last_added_block)(int mode, int& status) = unfilled{};
    void (*trim_menu_reset)() = unfilled{};
    // 1 while the trimming driver's restart point is set.
    int (*trim_restart_active)() = unfilled{};
};

// The services the execution menu calls; assign an entry to replace it.
edit_services& edit_seams();
