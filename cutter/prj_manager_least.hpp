// The projection manager of the cutter location: the procedure start switches it off. Least
// version until the cutter location is built: the switch is kept and read back; no projector and
// no lane-on-surface projection.
#pragma once

inline constexpr int kProjectionOff = 0, kProjectionOn = 1;

void prj_manager_set(int mode);
int prj_manager_mode();

// 1 while the manager is switched on (never in this module), else 0.
int prj_manager_active();
// Turns the manager's item (1 to 4) on (non-zero) or off; another item is ignored.
void prj_turn_on_off(int item, int on);
// The item switches, 0 for an item outside 1 to 4.
int prj_item_on(int item);

// The projector the lane-on-surface projection would use: -1, none (the projection library is
// not part of this module).
int prj_cache_lookup();
// Lays count points (x, y, z floats) with their normals onto the surfaces through the projection
// library with the projector; flag non-zero asks for the lane's own projection. Without the
// library there is no result: result_handle -1, result null, result_count 0.
void prj_lane_on_srf(const float* points, const float* normals, int count, int projector, int& result_handle, int flag,
                     const float*& result, int& result_count);
