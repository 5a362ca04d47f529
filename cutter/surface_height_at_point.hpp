// surface_height_at_point: the height of the current tool over the triangle model of the part
// surfaces at the x and y of a point, for the sampling of the surface link, the line-net string
// runs and the hatch step search. A test may install a height function through the seam below in
// place of the model.
#pragma once

// The height search starts below everything.
inline constexpr float kNoSurfaceHeight = -1.0e10f;

// Statuses: a height found, nothing under the tool; negative on failure.
inline constexpr int kHeightFound = 0;
inline constexpr int kHeightNone = 1;

// The tool lowered at the point's x and y onto the surfaces left `stock` (the first value: the
// part surfaces' stock, which grows the cutter) away; the second value, the check surfaces'
// stock, is not read (the model holds part surfaces only). Mode and tolerance are kept for the
// callers (every mode drops the tool; the drop is exact). Status kHeightFound with the tool-tip
// height in height, the contact normal (from the surface into the cutter) in normal, the touched
// point of the surface in contact and the touched surface entity (0: the model keeps none);
// kHeightNone when nothing lies under the tool (height kNoSurfaceHeight, normal (0, 0, 1),
// contact the point at that height, entity 0); negative with a line on the error channel for a
// cutter that cannot be dropped. With no triangle model held: kHeightNone without a message.
// Reads linnet_params, tri_store, qt_nodes.
void surface_height_at_point(int mode, const float* point, float tolerance, float stock, float check_stock,
                             float* normal, float* contact, float& height, int& entity, int& status);

// A height of the part surfaces at (x, y); null (the default) for none.
using surface_height_function = float (*)(float x, float y);
// The seam: with a function installed, surface_height_at_point answers its height at the point
// (normal (0, 0, 1), contact the point at that height), status kHeightFound.
surface_height_function& surface_height_seam();
