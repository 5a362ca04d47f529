// Contour descriptors of the host's contour access. The curve set at a position of the
// procedure's descriptor table (dfdgnc, dfdget in host/vantu_contours.hpp) carries a descriptor:
// its groups and curves, whether it is open, the end check curve of each side of an open
// contour, and its length in table items, by which a reader steps to the next descriptor.
#pragma once

// Items of the table a descriptor occupies before its curves, and per curve.
inline constexpr int kDescriptorHeadItems = 4;
inline constexpr int kDescriptorCurveItems = 3;

// The descriptor's length in table items. Status 0; -1 (length 0) when no descriptor starts at
// the position.
void dfdgld(int position, int& length, int& status);
// Its number of groups and its number of curves. Status 0; -1 (both 0) when there is none.
void dfdgng(int position, int& groups, int& curves, int& status);
// 0 for a closed contour, non-zero for an open one. Status 0; -1 when there is none.
void dfdgoc(int position, int& open, int& status);
// The end check curve of side 1 or 2 of an open contour: its entity id (-1 or -2: none) and the
// parameter on it. Status 0; -1 for another side or when there is no descriptor.
void dfdgcc(int position, int side, int& curve, double& parameter, int& status);
