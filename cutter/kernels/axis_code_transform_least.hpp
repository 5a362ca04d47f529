// axis_code_transform, least version: turns a vector into or out of a move's frame. The
// line-net front end completes it with the other axis codes of its machines.
#pragma once

// Code 0 applies the 3 x 3 matrix (row by row); codes 1 to 3 turn about +z by that many quarter
// turns counter-clockwise, -1 to -3 turn back; any other code copies the vector. out may be in.
void axis_code_transform(const int& code, const double* matrix, const double* in, double* out);
