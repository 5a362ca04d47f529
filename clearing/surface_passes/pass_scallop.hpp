// The scallop rules of the surface pass loop: the scallop a ball of the current mill's diameter
// leaves between two points, and the grouping of link strings by it (strings close enough are
// cut as one group, the others are parted by an empty separator string, where the tool lifts).
#pragma once

// h = r - sqrt(r^2 - d^2 / 4) with r half the current mill's diameter and d the plane distance
// of P and Q capped at the diameter; h = r when the root has no positive argument.
// Reads the current mill's diameter.
void scallop_height(const float* p, const float* q, float& h_out);

// With the band flag set and at least two strings: empty strings are dropped and each string
// joins the group before it when the scallop between the last point before it and its first
// point is within the curve tolerance; otherwise an empty separator string closes the group. A
// trailing empty input string stays as a trailing separator. Only point_counts and string_count
// change (the points stay where they are); a result that would not fit max_strings leaves the
// strings as they came. total_out: the sum of the point counts, or the first count when nothing
// is joined. Reads curve_approx.tolerance and the current mill's diameter.
void join_strings_by_scallop(int band_flag, int capacity, const float* points, int& string_count, int max_strings,
                             int* point_counts, int& total_out);
