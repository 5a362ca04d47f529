// Contour descriptors of the host's contour access. The curve set at a position of the
// procedure's descriptor table (dfdgnc, dfdget in host/vantu_contours.hpp) carries a descriptor:
// its groups and curves, whether it is open, the end check curve of each side of an open
// contour, and its length in table items, by which a reader steps to the next descriptor. The
// same questions are answered for a contour-data record (host/vantu_contours.hpp), from the
// descriptor of its curve set for a chain record.
#pragma once

// Items of the table a descriptor occupies before its curves, and per curve.
inline constexpr int kDescriptorHeadItems = 4;
inline constexpr int kDescriptorCurveItems = 3;

// The descriptor's length in table items. Status 0; -1 (length 0) when no descriptor starts at
// the position.
void dfdgld(int position, int& length, int& status);
// A record's length in entries: that of its descriptor for a chain record whose curve set has a
// length of its own, else dfcgld's.
void dfdgld(const int* record, int& length, int& status);
// Its number of groups and its number of curves. Status 0; -1 (both 0) when there is none.
void dfdgng(int position, int& groups, int& curves, int& status);
// For a record: a chain record as its curve set; a face or loop record one group of one item; a
// set record its contours and all their curves.
void dfdgng(const int* record, int& groups, int& curves, int& status);
// 0 for a closed contour, non-zero for an open one. Status 0; -1 when there is none.
void dfdgoc(int position, int& open, int& status);
// For a record: a chain record as its curve set; 0 for a face or loop record; 1 for a set record
// (several contours, to be split).
void dfdgoc(const int* record, int& open, int& status);
// The end check curve of side 1 or 2 of an open contour: its entity id (-1 or -2: none) and the
// parameter on it. Status 0; -1 for another side or when there is no descriptor.
void dfdgcc(int position, int side, int& curve, double& parameter, int& status);
// For a record: a chain record as its curve set; no check curve (-2) for any other record.
void dfdgcc(const int* record, int side, int& curve, double& parameter, int& status);
