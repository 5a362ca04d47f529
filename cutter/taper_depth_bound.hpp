// How deep the conical kernel can find a triangle inside a cutter, from the height of the
// triangle's highest corner above the position and a plan distance from the axis that no point of
// the triangle comes within (its box's or its own). The tapered front end skips a triangle whose
// bound cannot beat the distance found.
#pragma once

#include "cutter/kernels/cone_state.hpp"

class taper_depth_bound {
public:
    // Reads the model once; the model must outlive the bound.
    explicit taper_depth_bound(const cone_cutter_model& m);

    // Never below the depth (minus the signed distance) cone_tri_distance gives for a triangle
    // whose corners lie at most `top` above the position and whose points lie at least `near`
    // from the axis in plan; +inf for the cutters without a bound. It never grows with `near`.
    double at(double top, double near) const;

    // The bound never goes below this, whatever the triangle.
    double floor() const { return floor_; }

private:
    double untapered(double near) const;
    double flat_bottom(double top, double near) const;
    double short_taper(double top, double near) const;
    double tubes(double near) const;
    double cone(double top, double near) const;

    const cone_cutter_model& model_;
    int kind_ = 0;
    double floor_ = 0.0, bottom_top_ = 0.0, cone_top_ = 0.0, cylinder_from_ = 0.0, cylinder_on_axis_from_ = 0.0;
    double bottom_floor_ = 0.0, apex_slack_[2] = {};
};

// The plan distance from (x, y) to the triangle (nine doubles, three corners): 0 inside it or on
// its boundary, and for a triangle whose plan has no extent, a lower bound for every point of it.
double plan_distance_to_triangle(const double* triangle, double x, double y);
