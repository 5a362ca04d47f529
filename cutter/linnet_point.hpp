// The drop of the current cutter at one point as the surface-pass services take it (LINNET): the
// point the cutter touches on the surfaces and the surface normal there, with the edge flag and the
// shared mode word of linnet_params set for the caller.
#pragma once

// Values of linnet_params.shared_mode that LINNET leaves: the caller sets kLinnetDropRan before
// the call; kLinnetNoSurface when no triangle lies under the cutter.
inline constexpr int kLinnetNoSurface = 0;
inline constexpr int kLinnetDropRan = 2;

// Drops the cutter of linnet_params at the XY of point (along the tool axis when it is tilted)
// onto the triangle model. Status 0 with the contact point and the unit surface normal there (from
// the surface into the cutter); the edge flag is 1 when the contact lies on the cutter's corner
// (the normal leans off the axis), else 0. No triangle under the cutter: status 0, shared mode word
// kLinnetNoSurface, contact = point and normal the axis. -1 when the drop fails (its line on the
// error channel). A tapered cutter's contact is placed on its corner ring. Reads linnet_params,
// tri_store, qt_nodes.
void LINNET(const float* point, float* contact, float* normal, int& status);
