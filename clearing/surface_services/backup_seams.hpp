// The NC state save that the periodic backup of a long surface clearing runs before it writes the
// working model. The save is the driver's, so the backup calls it through this table, which the
// driver fills when the module is loaded (driver/seam_fills.cpp; pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kSurfaceBackupServicesName[] = "surface_backup_services";

struct surface_backup_services {
    using unfilled = unfilled_seam<kSurfaceBackupServicesName>;
    // save_nc_state (driver/nc_state_store.hpp): every NC state block to module data.
    void (*save_nc_state)(int& status) = unfilled{};
};

// The services the backup calls; assign an entry to replace it.
surface_backup_services& surface_backup_service_table();
