// The cutter values derived from the current tool for the contact kernels (cutter_block), least
// version: what the XY contact reads of a tapered cutter. The cutter-location front end fills it
// from the line-net parameters; the torus-contact kernels complete this file.
#pragma once

struct cutter_block {
    float flank[3] = {1.0f, 0.0f, 0.0f};  // the flank direction (cos a, 0, sin a)
    float top_radius = 0.0f;              // radius of the flank at the top of the cut: R + L tan a
    float flat_radius = 0.0f;             // R - (1 - sin a) r / cos a
    float cut_length = 0.0f;              // L
};

// Fills the block for a cutter of diameter D, corner radius r, taper a (radians) and cut length L.
void cutter_block_set(float diameter, float corner_radius, float taper, float cut_length);
// The block as last filled.
const cutter_block& cutter_block_get();
