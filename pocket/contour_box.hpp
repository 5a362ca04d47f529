// Loading of a caller's point contours into the engine contour tables (the pocket computation run
// for callers other than the pocket procedure, which prepares its contours with pocket_prepare).
#pragma once

// Loads one contour of 4-byte points ((x, y) in dimension 2, (x, y, z) otherwise); first 1
// starts a new set and sets the frame from these points. Reads pocket_state.pocket_dimension;
// keeps its place between calls in pocket_box.next_contour and next_contour_point.
void contour_box(int first, int count, const float* points, int& status);
