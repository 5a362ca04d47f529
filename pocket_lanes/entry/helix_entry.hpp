// The helical entry of a level: the search for a free circle near the path start point, in a
// fan of directions about the initial one and a few steps back, against the polygons of polygon
// buffer 5 (the region). The entry code of the pocket calls it.
#pragma once

inline constexpr int kHelixFound = 0;
inline constexpr int kNoHelix = 1;

// Largest radius (in the frame of the start point S and the direction d, the side axis to the
// turning sense) of a circle tangent to d at S that meets none of the count polygon points
// (x, y; polygons closed by repeating their first point); above 1e9 when nothing bounds it.
double helix_circle_test(const double* start, const double* direction, int sense, const double* points, int count);

// Finds the helix: radius pocket_state.helix_radius, or 0.9 Rf + 0.1 Rmin of a smaller free
// circle of at least Rmin = max(0.5 x the largest ramp width, 0.2 x pocket_work.tool_radius), its
// start within eleven directions 3 degrees apart about the initial direction (0, 1 when zero)
// and up to four steps of Rmin / 4 back along it; the centre must lie inside the region. Turning
// sense: the negated direction sign. Out: the centre, the circle start, the radius, the sense.
// Status kHelixFound or kNoHelix (also for a helix radius below Rmin); -1 when polygon buffer 5
// cannot be read. NC functions 34 and 38: a found helix sets pocket_state.entry_shift to 0, none
// shows message 400/60 in the message window.
void helix_entry_calc(const double* start, const double* direction, double* centre, double* circle_start,
                      double& radius, int& sense, int& status);
