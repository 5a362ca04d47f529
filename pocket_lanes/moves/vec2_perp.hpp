// The perpendicular of a 2-D vector, which the lead moves turn a lane's tangent with to find the
// side of a lead.
#pragma once

// result = (-v.y, v.x) (a quarter turn counter-clockwise) when flag is 1, (v.y, -v.x) for any
// other flag; result may be v.
void vec2_perp(int flag, const double* v, double* result);
