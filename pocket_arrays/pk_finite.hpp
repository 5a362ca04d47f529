// Finiteness of the numbers given to the kernel. The input preparation, the raw offset, the
// inside test and the loop intersection refuse a non-finite number at their entry (a negative
// status and one line naming the routine); the inner loops never test.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Whether every number of the array is finite: its points, the radii, directions and centres of
// its arc records, and its z and normals where it has them. An array without entries is.
bool pokarr_finite(const pokarr& array);
