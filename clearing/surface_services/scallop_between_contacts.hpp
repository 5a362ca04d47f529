// The scallop two neighbouring passes of the surface clearing leave between them, from one cutter
// position of each: the height of the ridge between the two swept cutters over the surface, along
// its normal. The variable hatch step (clearing/surface_passes/hatch_step.cpp) asks it for every
// trial of its step search.
#pragma once

// Where a cutter over the surfaces stands: its tip, the point of the surfaces it touches and the
// contact normal (from the surfaces into the cutter), as surface_height_at_point answers them.
struct cutter_contact {
    float tip[3];
    float touched[3];
    float normal[3];
};

// The scallop between the passes through a and b of a cutter of diameter D and corner radius r
// (a flat end with r 0, a ball with r D/2), the passes running along the unit plane direction
// `pass` over a surface whose mean normal between them is `normal` (unit, upwards). Across the
// passes the cutter sweeps its shadow along the pass; the scallop is the height over the shadow's
// lowest point, along the normal, at which its width across the passes is their distance: the
// tips' distance, or the touched points' where it is larger and the contact normals differ (a
// surface that bends between the contacts holds them farther apart than the tips on the inside of
// a bend; on one plane the touched points of a flat bottom may lie anywhere under it).
// Status 0; -1 with kScallopTooFar when the two shadows do not meet (material stands between the
// passes) or the surface stands upright.
inline constexpr float kScallopTooFar = 1000.0f;
void scallop_between_contacts(float diameter, float corner, const cutter_contact& a, const cutter_contact& b,
                              const float* normal, const float* pass, float& scallop, int& status);
