// What the procedure dialogs need of the surface subsystem: the plane picked by three points for
// the part plane of the go-point dialog, and the z of a point on that plane. Least version until
// the surface access is built: the plane is the one through three indicated points.
#pragma once

#include <array>
#include <string_view>

// A plane a x + b y + c z + d = 0 with (a, b, c) of length 1.
using plane4 = std::array<float, 4>;

// Asks for three points with the prompt (at most 25 characters are shown) and answers the plane
// through them, its normal pointing up (c >= 0), and the first point. Status 0; -1 when the
// user cancels (or leaves) a point; three points on one line are asked again.
void pick_point_c(std::string_view prompt, plane4& plane, std::array<float, 3>& point, int& status);
// The z of the plane at the point's x and y: z = (-d - a x - b y) / c; a plane parallel to the
// z axis leaves the point as it is.
void tool_z_on_part_plane(std::array<float, 3>& point, const plane4& plane);
