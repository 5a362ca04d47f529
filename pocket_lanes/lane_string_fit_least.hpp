// Arc fitting of point strings, least version: the strings are left as they are. The contour
// input of the lane engine calls it (only while the auxiliary flag is set, which nothing sets);
// the lanes' second share completes the fitting and replaces this file.
#pragma once

// Fits the strings (x, y doubles, string after string, counts[i] points each) within the
// tolerance. changed, which the caller sets to 1, comes back 0 when points were changed: here it
// stays as it came. Status 0.
void lane_string_fit(double tolerance, double* points, int string_count, int* counts, int fit_switch,
                     int& changed, int& status);
