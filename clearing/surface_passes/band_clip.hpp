// The Z band of the surface passes: the strings of one segment (or of a link) clipped to the band
// from the lower Z up to the upper Z, with the crossings of the band's floor and ceiling written
// where a string enters or leaves it. The band methods of the surface pass loop call UPDTPS.
#pragma once

// The string block's limits: at most 50 strings and 45,003 reals (15,001 points) of points.
inline constexpr int kBandStringsMost = 50;
inline constexpr int kBandRealsMost = 45003;

// UPDTPS outcomes besides -1: the last input string held points, or it was empty.
inline constexpr int kBandClipped = 0, kBandLastEmpty = 1;

// The point at height z on the line P0..P1 with its normal blended between N0 and N1 (not made a
// unit vector again): t = |z - P0.z| / |P1.z - P0.z|, 0 when the two heights are equal.
void interp_at_z(const float* p0, const float* p1, const float* n0, const float* n1, float z, float* p_out,
                 float* n_out);

// Clips the strings (point_counts[0 .. string_count-1], points and normals three floats a point,
// normals may be null) to the band lower..upper and writes the result back over them; a point
// less than tol above the floor is put on it, a gap above the band ends the string with an empty
// separator string after it. capacity is the caller's size of points in reals and max_strings
// of point_counts: the result never exceeds either. Status -1 for a capacity above 45,003 reals
// ("UPDTPS,MISMATCH BETWEEN THE NUMBER OF POSSIBLE POINTS"), for a result that fills the point
// room ("ONLY" n "POINTS PER PASS ARE AVAILABLE") or wants more strings than there is room for
// ("ONLY" n "STRINGS ARE AVAILABLE"); else kBandLastEmpty when the last input string was empty,
// kBandClipped otherwise.
void UPDTPS(float tol, float upper, float lower, int capacity, float* points, float* normals, int& string_count,
            int max_strings, int* point_counts, int& status);
