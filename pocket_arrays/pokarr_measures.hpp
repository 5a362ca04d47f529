// Measures of whole pocket arrays and the tidying of arcs: the longest element (where the lane
// engine restarts a loop), area and direction, total and per-element length, short arcs turned
// into chords and nearly flat arcs into lines. Each has a raw form on caller x and y arrays.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Index of the longest element (the end entry of a line, the marker of an arc, whose squared
// chord counts 1.5 times), the first of equal maxima; -1 for fewer than 2 entries.
void pokarr_longest_elem(const pokarr& array, int& index);
void xy_longest_elem(const double* x, const double* y, int count, int& index);
// Runs pokarr_area and gives the cached area (absolute) and direction (-1 clockwise, 1
// counter-clockwise).
void pokarr_area_dir(pokarr& array, double& area, int& direction);
void xy_area_dir(double* x, double* y, int count, double& area, int& direction);
// Total length; lines include z when the array has it and the mode is not 2. With a lengths
// array, it receives one value per line and, per arc, its length and three zeros (parallel to
// the entries). Status: the first failure on the lengths array (the total then holds the sum so
// far).
void pokarr_length(int mode, const pokarr& array, pokarr* lengths, double& total, int& status);
// Short arcs (squared chord below a tenth of min(0.1 * engine step, 0.1) squared) become four
// chords through their points at 0.25, 0.5 and 0.75; the count stays. 2-D arrays of 5 entries
// or more. Reads pocket_work.engine_step.
void pokarr_tidy_pass1(pokarr& array);
void xy_tidy_pass1(double* x, double* y, int& count);
// Arcs whose sagitta is below kPocketFlatArcSagitta become lines; the count may shrink. 2-D
// arrays of 5 entries or more.
void pokarr_tidy_pass2(pokarr& array);
