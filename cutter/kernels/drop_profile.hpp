// The lower surface of a cutter of revolution as the exact drop kernels see it, and the drop of
// such a cutter onto one triangle. From the tip the surface runs along a flat bottom out to
// `flat`, a corner arc of radius `corner` up to the flank, and the flank at the taper angle from
// the axis up to its top edge, rounded by an arc of radius `rounding` (a tapered cutter grown by a
// stock; 0 leaves the edge sharp) out to the outer radius; an untapered cutter has no flank (its
// corner ends at flat + corner). Above the outer radius the side stands vertical, so a cutter
// lowered along its axis meets nothing beyond it. The bull-nose edge kernel and the tapered drop
// of the front end use it.
#pragma once

#include "cutter/kernels/xy_contact.hpp"

struct drop_profile {
    double flat;
    double corner;
    double sin_taper, cos_taper;
    double outer;
    double rounding = 0.0;

    // Where the flank ends and the rounding of its top edge begins (the outer radius without one).
    double flank_end() const;
    // The height of the surface over the tip at distance rho from the axis (rho up to outer).
    double lift(double rho) const;
    // The rate at which it rises with rho (without end where the side stands vertical).
    double lift_slope(double rho) const;
};

// A bull-nose (a flat end with corner 0, a ball with corner R) of radius R.
drop_profile bull_nose_profile(double radius, double corner);
// A tapered cutter: D where the flank, extended down, meets the plane of the tip; corner r;
// taper a (radians); cut length L, at whose height the flank reaches D/2 + L tan a; its top edge
// rounded by an arc of radius e (0: sharp), which widens the cutter to D/2 + L tan a + e (1 - cos a).
drop_profile tapered_profile(double diameter, double corner, double taper, double cut_length, double rounding);

// The edge kernel of a profile: the highest touch of the cutter on the edge's part within the
// outer radius (see edge_contact_d).
void profile_edge_contact_d(const xy_edge_d& edge, const drop_profile& profile, edge_touch_d& touch);

// The tip height at which the cutter, its axis through the origin, comes to rest on the triangle
// whose corners (9 doubles) are given relative to the axis in x and y: the higher of its face,
// where the cutter is lowest towards the triangle's plane when that point lies in the triangle
// (whether or not an edge lies within reach), and the highest touch of its edges. The contact goes
// to `contact` (relative likewise); -HUGE_VAL when no part of the triangle lies within the outer
// radius.
double profile_triangle_drop_d(const drop_profile& profile, const double* corners, double* contact);
