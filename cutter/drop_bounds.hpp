// Upper bounds of the tool-tip height a cutter lowered at one point can take on one triangle, for
// the drop front end's search: the drop onto the triangle's whole plane, and, when the face pass
// of the XY contact surely fails, the highest its edges can give. Each bound allows for rounding,
// so a triangle whose bound lies below a height found can be skipped without changing the
// result.
#pragma once

#include "surfaces/tri_store_least.hpp"

// The cutter as the bounds see it (untapered: 1 ball, 2 flat end, 3 bull-nose).
struct drop_cutter {
    int type;
    float radius;
    float corner;
};

// Where the cutter's lowest point towards the plane lies against the triangle: clearly inside
// (the face pass meets the face there, so the drop is the plane's), clearly outside (only the
// edges can be met), or near its boundary.
inline constexpr int kFaceInside = 1, kFaceUnsure = 0, kFaceOutside = -1;

// The bounds of one triangle (its record and corners, 9 floats) for a cutter at one point.
class triangle_bounds {
public:
    // Storage for bounds to be assigned (the front end keeps an array of them per drop and fills
    // what it uses): the fields are left unset.
    triangle_bounds() = default;
    triangle_bounds(const float* point, const drop_cutter& cutter, const qt_entry& record, const float* corners);

    // The drop onto the plane of the record, raised by the rounding and by the height of the
    // corners above that plane (a triangle without area keeps a level plane that need not hold
    // its corners); +inf for a plane too steep to bound anything.
    float plane() const;
    // Where the lowest point lies.
    int face() const { return face_; }
    // When it lies clearly outside, the highest the edges can give: each edge at its highest
    // corner lifted by the cutter's profile at its nearest distance from the axis; +inf otherwise.
    float edges() const;
    const float* corners() const { return corners_; }

private:
    float point_[2];
    drop_cutter cutter_;
    const qt_entry* record_;
    float corners_[9];
    double cx_, cy_;  // the lowest point towards the plane
    int face_;
};
