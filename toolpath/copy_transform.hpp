// The copy transformation of the sub-list copy and the transformations of points, directions,
// arcs and depths. A transformation block copied from a stored sub-list into a list switches the
// copy transformation on; every block copied after it is moved through it until a header block
// or a copy with from = -1 switches it off. The block readers pass the read transformation to
// the same routines.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

using matrix3 = std::array<float, 9>;  // row by row

struct copy_transformation {
    int active = 0;
    matrix3 matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};
    point3 translation{};
    // Depth state of the copied cycle blocks (types 30 to 35): the two z values carried from
    // block to block and whether the cycle's depths are absolute (then they are not shifted).
    std::array<float, 2> depth_z{};
    int depths_absolute = 0;
};

copy_transformation& copy_xform();

// point := matrix point + translation; direction := matrix direction (direction may be null).
void xform_pnts(float* point, float* direction, const matrix3& matrix, const point3& translation);
void xform_pnt_dir(point3& point, point3& direction, const matrix3& matrix, const point3& translation);
void xform_2pnts(point3& first, point3& second, const matrix3& matrix, const point3& translation);
// An arc: its end point and direction, and its centre, held in the two coordinates of the arc
// plane (1: x y, 2: x z, 3: y z) and completed with the end point's third coordinate for the
// transformation. A mirroring matrix negates the arc's angle.
void xform_arc(tp_arc_block& arc, const matrix3& matrix, const point3& translation);
// Adds the translation's z to both values.
void shift_z_pair(float& first, float& second, const point3& translation);
// A mirroring matrix swaps the cutter-compensation side of a CUT.COM parameter block
// (parameter type 5): sub-types 9 and 10 (values -1 and 1) change places.
void mirror_cutcom_side(tp_param_block& block, const matrix3& matrix);
// True when the matrix mirrors (negative determinant).
bool mirrors(const matrix3& matrix);
