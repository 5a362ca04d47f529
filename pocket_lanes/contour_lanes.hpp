// The pocket's contours as the first lanes of a computation: each contour read from the contour
// array, cleaned, checked, oriented (the outer contour
// counter-clockwise, islands clockwise) and recorded (arrinp). The lane engine calls it first.
#pragma once

#include "pocket_arrays/pokarr_work.hpp"

#include <memory>
#include <vector>

// The contours while arrinp works on them (1-based; index 0 unused).
struct contour_input {
    int count = 0;
    std::unique_ptr<pokarr_work[]> loops;
    std::vector<int> kept;  // 1 while the contour is kept
    std::vector<int> open;  // 1 for an open contour (contour type 3)
};

// Turns the contours of the engine contour tables into lanes 1 (the outer contour, level 1) and
// the following (islands, levels 10001, 10002, ... without gaps), all of status 0. A contour left
// with fewer than 3 points, or with exactly 3 unless it is open or the outer contour with a
// negative offset, is refused: the outer contour with status 16, an island is dropped; the
// offsets by level of the later islands then move down with their levels, and the lane table's
// island count falls. Status 8 when the contour points or their lanes do not fit below the half size; 2 or 3
// when the outer contour or an island cannot be read; a lane_add status. Reads pkcont_tables,
// pocket_box.half_size, pocket_state.pocket_dimension, pocket_work.working_tolerance and the
// auxiliary flag; offsets are the engine's offsets by level.
void arrinp(double* offsets, int& status);

// Fits the kept contours with lane_string_fit: arcs of half a turn or more are split first, an
// open contour is fitted on its outward half and closed again; a contour that then crosses
// another (outer contour against any, open against open) gets its points back. Status 0, 11
// for a failed work array, 16 when the outer contour is left with fewer than 3 points. Reads
// pocket_work.working_tolerance.
void arrinp_fit_contours(int fit_switch, contour_input& contours, int& status);
