// The cutter values of the contact kernels, least version (see the header).
#include "cutter/kernels/cutter_block_least.hpp"

#include <cmath>

namespace {
cutter_block block;
}

void cutter_block_set(float diameter, float corner_radius, float taper, float cut_length)
{
    const float s = std::sin(taper), c = std::cos(taper);
    const float radius = diameter * 0.5f;
    block.flank[0] = c;
    block.flank[1] = 0.0f;
    block.flank[2] = s;
    block.top_radius = radius + cut_length * std::tan(taper);
    block.flat_radius = radius - (1.0f - s) * corner_radius / c;
    block.cut_length = cut_length;
}

const cutter_block& cutter_block_get() { return block; }
