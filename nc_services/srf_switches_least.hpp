// The switches of the cutter location that the surface motions set around a query: the
// projection (surface records of kind 2 read as kind 4 while it is on) and the mask of surface
// kinds taken into account. Least version until the cutter location is built: plain words.
#pragma once

// Every surface kind.
inline constexpr unsigned kAllSurfaceKinds = 0xffffffffu;

void srf_state_2_to_4(int& status);
void srf_state_4_to_2(int& status);
// 1 while the projection is on.
int srf_projection_on();
void get_srf_kind_mask(unsigned& mask);
void set_srf_kind_mask(unsigned mask);
