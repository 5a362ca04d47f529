// The drop front end of the cutter location: the current cutter lowered along its
// axis at one point onto the triangle model (tool_drop_z_at_xy), with the candidate triangles of
// a tilted axis (elm2nd).
#pragma once

#include "surfaces/tri_store_least.hpp"

#include <vector>

// A triangle under a tilted cutter, turned into the cutter frame.
struct drop_candidate {
    qt_entry record;
    float corners[9];
};

// The triangles whose box (turned into the cutter frame) lies within `reach` of the point (x, y
// in the frame). Reads tri_store and cutter_frame (frame_update comes first). Status 0; -1 when
// the model cannot be read.
void elm2nd(const float* point, const float& reach, std::vector<drop_candidate>& candidates, int& status);

// The cutter of linnet_params as the front ends take it: the type without the taper mark, whether
// it is tapered, and its sizes.
struct located_cutter {
    int type;  // 1 ball, 2 flat end, 3 bull-nose
    bool tapered;
    float diameter;
    float corner;
    float radius;  // half the diameter
    float taper;   // radians, 0 untapered
    float cut_length;
    float flank_rounding;  // the arc over a tapered flank's top edge (linnet_params)
    // The radius the cutter reaches at its widest: the top of a tapered flank and its rounding.
    float outer() const;
};
// Reads the cutter of linnet_params; false, with "<caller>, WRONG CUTTER" on the error channel,
// for a type outside 1 to 3 (plus 10), a cutter without size, a corner beyond the radius (a tapered
// corner whose flat bottom would be negative: r tan(pi/4 - a/2) beyond D/2), or a
// taper that is negative or not below a right angle or a negative cut length.
bool located_cutter_get(const char* caller, located_cutter& cutter);

// Drops the cutter of linnet_params (type, diameter, corner radius, taper and cut length; tilted
// axis and tool axis) at the point's XY (along the tool axis through the point when it is tilted)
// onto the triangle model; a tapered cutter through the tapered toroidal solver. Status 0 with the
// tool-tip position in result and the contact normal (from the contact into the cutter) in
// normal; 1 when no triangle lies under the cutter (outputs untouched); -1 with a line on the
// error channel for a cutter without size or with a taper of a right angle or more, or no model.
// Reads linnet_params, tri_store, qt_nodes.
void tool_drop_z_at_xy(const float* point, float* result, float* normal, int& status);
// The same for a caller that needs the cutter only where its tip stands higher than `floor`:
// status 1 (outputs untouched) also when it stands no higher. Cheaper than the drop where it
// stands lower: an untilted, untapered search opens only what may lift the cutter above the floor.
void tool_drop_z_above(const float* point, float floor, float* result, float* normal, int& status);
// tool_drop_z_at_xy with the point of the triangles the cutter touches (in the model's frame) as
// well, for a caller that cannot take it from the normal: on a tapered flank every point along the
// flank has the same normal.
void tool_drop_touching(const float* point, float* result, float* normal, float* contact, int& status);

// The spacing of stations along a move at which the drops of the cutter of linnet_params (grown by
// `stock`) tell its height between two of them within half the tolerance. Its height over a
// triangle's face, edge or corner bends no sharper than its corner radius r (its radius for a flat
// end), measured along the contact normal per length along the move, and the height over many
// triangles is the highest of those, so between stations d apart it rises at most d^2 / (8 r)
// above them: the stations stand 2 sqrt(tolerance r) apart. 0 for a cutter without size.
float drop_station_spacing(float tolerance, float stock);
