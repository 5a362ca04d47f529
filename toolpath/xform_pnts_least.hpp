// Applies the current read transformation to a point and its direction (xform_pnts). Least
// version until sub-list copy with transformation is built.
#pragma once

void xform_pnts(float* point, float* direction);
