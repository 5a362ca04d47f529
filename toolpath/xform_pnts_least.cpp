// xform_pnts, least version: the point gets matrix times point plus translation, the direction
// matrix times direction. The sub-list copy replaces this file.
#include "toolpath/xform_pnts_least.hpp"

#include "listing/read_transform_least.hpp"

void xform_pnts(float* point, float* direction)
{
    const read_transformation& t = current_read_transformation();
    auto apply = [&](float* v, bool translate) {
        float out[3];
        for (int r = 0; r < 3; ++r)
            out[r] = t.matrix[3 * r] * v[0] + t.matrix[3 * r + 1] * v[1] + t.matrix[3 * r + 2] * v[2] +
                     (translate ? t.translation[r] : 0.0f);
        for (int r = 0; r < 3; ++r) v[r] = out[r];
    };
    if (point) apply(point, true);
    if (direction) apply(direction, false);
}
