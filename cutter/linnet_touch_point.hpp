// linnet_touch_point: strings of tool positions along a move over the triangle model of the part
// surfaces, for the gouge check of the surface approach and retract, the pocket's surface entry,
// the link and pass strings of the surface clearing and the refinement of projected lanes. The
// tool is lowered along the move's x and y; a string breaks where nothing lies under the tool.
#pragma once

#include "toolpath/surface_query_seams.hpp"

// Lays the tool along start..end (x, y, z floats; the z are not read): each string point is the
// tool-tip position over the surfaces left `stock` away (it grows the cutter; check_stock, the
// check surfaces' stock, is not read), placed so that the string between two neighbours stays
// within `tolerance` of the tool's height under it; the strings begin and end where the tool
// leaves the surfaces (within the tolerance along the move) or at the move's ends. context is the
// caller's surface set (the model holds the part surfaces, which every context reads).
// points receives 3 floats per point, at most point_capacity points in all; normals (3 floats,
// the contact normal from the surface into the cutter) and values (1 float: the point's parameter
// along the move's x and y, 0 at start, 1 at end) may be null; point_counts receives the points
// of each string, at most string_capacity strings; string_count and total their numbers. A move
// without length gives one string of one point when the tool stands over the surfaces.
// Modes and statuses: toolpath/surface_query_seams.hpp. Status kTouchDone, kTouchOpen, or -1 (a
// line on the error channel) for a capacity below 1, a null points or counts array or a cutter
// that cannot be dropped. With no triangle model held:
// status kTouchDone and no string, without a message. Reads linnet_params, tri_store, qt_nodes.
void linnet_touch_point(int context, int mode, const float* start, const float* end, float tolerance, float stock,
                        float check_stock, int point_capacity, float* points, float* normals, float* values,
                        int& string_count, int string_capacity, int* point_counts, int& total, int& status);
