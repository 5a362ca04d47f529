// The driver's services of the surface clearing: the NC state save that the periodic backup of a
// long surface clearing runs before it writes the working model, and the grid-line method of the
// pass loop, which this module does not carry (ZLINT3). Both are the driver's, so the surface
// clearing calls them through this table, which the driver fills when the module is loaded
// (driver/seam_fills.cpp; pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kSurfaceBackupServicesName[] = "surface_backup_services";

struct surface_backup_services {
    using unfilled = unfilled_seam<kSurfaceBackupServicesName>;
    // save_nc_state (driver/nc_state_store.hpp): every NC state block to module data.
    void (*save_nc_state)(int& status) = unfilled{};
    // ZLINT3 (driver/stubs.hpp): reports that it is a dummy routine, status -1.
    void (*ZLINT3)(int& status) = unfilled{};
};

// The services the surface clearing calls; assign an entry to replace it.
surface_backup_services& surface_backup_service_table();
