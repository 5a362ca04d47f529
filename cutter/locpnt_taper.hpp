// The tapered cutter-location front end: cone_contact_setup loads a cutter into
// the conical contact kernel, and locpnt_taper hands the kernel the triangles under a tool point
// and keeps the smallest signed distance.
#pragma once

// Loads cutter (D, r, L, a in radians, off) into the conical kernel and runs its set-up (without
// marking it loaded for cone_tri_distance): 0 when the kernel classes it as a tapered ball whose
// taper top lies below the corner centre (class 4, sub-class 8), else 1.
int cone_contact_setup(const double* cutter);

// The smallest signed distance between the cutter of linnet_params (diameter, corner radius, cut
// length, taper; grown by the part surfaces' offset surface_offsets[0]) with its tip at point and
// the triangles of the model within its radius whose highest corner lies at least 1e-6 above the
// offset tip. Starts from 1000 and stops once the distance is below -10 x tolerance. Status 0
// with the distance, the cutter and triangle points of the winner and the unit contact direction
// (cutter point minus triangle point; +z when they coincide); 1 when no triangle gave a smaller
// distance (distance 1000, points untouched); -1 with a line on the error channel for a cutter
// without size or with values that are not finite or not possible, or no model. Reads
// linnet_params, tri_store, qt_nodes.
void locpnt_taper(const float* point, const float& tolerance, float& distance, float* cutter_point,
                  float* triangle_point, float* direction, int& status);
