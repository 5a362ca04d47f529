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
// Writes the end check curve of side 1 or 2 of a chain record's curve set (a negative id marks a
// missing one). Status 0; -1 for another side or record.
void dfdpcc(const int* record, int side, int curve, double parameter, int& status);

// The definition mode of a record: kModeInPlane for a chain record whose contour was defined in
// a working plane, kModeSpace for any other record. Status -1 for an entry that begins no record.
inline constexpr int kModeSpace = 1, kModeInPlane = 4;
void dfdgmd(const int* record, int& mode, int& status);
// The working plane of a record in kModeInPlane as a, b, c, d of a x + b y + c z + d = 0 with a
// unit normal (a, b, c). Status -1 when the record has none.
void dfdgwp(const int* record, double (&plane)[4], int& status);
// Whether curve k of a record in kModeInPlane stays in its working plane: answer 0 when its ends
// and middle lie within the host's tolerance of the plane, kCurveOffPlane when they do not, -1
// when the record has no plane or no curve k.
inline constexpr int kCurveOffPlane = -3;
void dfdzd(const int* record, int k, int& answer);
