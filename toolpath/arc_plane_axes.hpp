// The coordinates of an arc block's plane: code 1 the XY plane, 2 XZ, 3 YZ. An arc's centre and
// its turning are given on the plane's two axes (first, second); the third coordinate is that of
// its end point. A positive angle turns from the first axis towards the second.
#pragma once

struct arc_plane_axes {
    int first = 0, second = 1, third = 2;
};

// The axes of plane code 2 or 3; any other code is the XY plane.
constexpr arc_plane_axes arc_axes_of(int plane)
{
    if (plane == 2) return {0, 2, 1};
    if (plane == 3) return {1, 2, 0};
    return {0, 1, 2};
}
