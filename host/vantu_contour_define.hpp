// The settings of an interactive contour definition (what dfdc of vantu_contours.hpp takes next),
// the entity of a defined contour, and the offset of a closed contour of lines and arcs into new
// curves that are released again. The trimming tool defines its contour and offsets it with them.
#pragma once

// ---- settings of the definition ----------------------------------------------------------------
// dfdini starts a definition with its defaults (chain picks, the tolerance given, open chains
// taken, the sense as picked, no plane check, no curve limit but the record's room); each call
// below changes one setting until the next dfdini.

// The tolerance within which curve ends meet while chaining. Status 0; -1 for a tolerance that
// is not a positive number (kept as it was).
void dfdtol(double tolerance, int& status);

// Pick mode: kPickChain chains the picked curve with its neighbours, kPickSingle makes the
// picked curve alone the contour. Any other mode is taken as kPickChain.
inline constexpr int kPickChain = 0, kPickSingle = 1;
void setmf(int mode);

// 1: only closed contours are taken; dfdc refuses an open chain with kDefinitionOpen (nothing kept).
// 0: open chains are taken too.
inline constexpr int kDefinitionOpen = -11;
void dfd1cg(int closed_only);

// The sense of the contours defined: kSenseAsPicked, or kSenseCounterClockwise / kSenseClockwise
// seen from +Z (dfdc reverses a chain that runs the other way). Any other value: as picked.
inline constexpr int kSenseAsPicked = 0, kSenseCounterClockwise = 1, kSenseClockwise = -1;
void dfdsrs(int sense);

// The plane check: mode 1 reads it into value, mode 2 sets it. With 1 dfdc refuses a chain whose
// curve ends do not lie in one plane parallel to XY within the chaining tolerance
// (kDefinitionNotFlat, nothing kept).
inline constexpr int kDefinitionNotFlat = -12;
void gsplgc(int mode, int& value);

// The most curves a contour may have: mode 1 reads it into value, mode 2 sets it (a value below 1
// means no limit but the record's room). dfdc refuses a longer chain with kRecordNoRoom.
void gscntv(int mode, int& value);

// The entity that stands for the contour of a chain record: its first curve. Status 0; -1 (id 0)
// for an entry that begins no chain record.
void dfdgid(const int* record, int& id, int& status);

// ---- offset ------------------------------------------------------------------------------------

// Offsets the closed contour of a chain record by distance, to the left of its direction of
// travel seen from +Z for a positive distance (to the right for a negative one): every point of
// the offset lies at |distance| from the contour, and the offset is one closed loop of new line
// and arc entities (class 1) at the contour's Z, a new curve set whose chain record is written
// into out (room entries, length answers the entries). Corners the offset goes round become arcs
// about the corner. With a work plane set (gswpld), X, Y and Z are those of its UCS and the new
// curves are placed in it.
// Status 0 with the record; 0 with length 0 when nothing is left (an inward offset wider than the
// contour); kRecordNoRoom when the record does not fit (no curves kept). Refused, with nothing
// made:
//   kOffsetNotContour  the entry begins no chain record, or a curve of it is no line or arc
//   kOffsetNotClosed   the contour's ends do not meet within the chaining tolerance
//   kOffsetNotFlat     a curve does not lie in one plane parallel to XY (an arc not about Z)
//   kOffsetSplits      the offset falls apart into several loops, or its pieces do not close
//                      into one (a contour that crosses itself)
//   kOffsetBadDistance the distance is not a number
inline constexpr int kOffsetNotContour = -1, kOffsetNotClosed = -2, kOffsetNotFlat = -3, kOffsetSplits = -4,
                     kOffsetBadDistance = -5;
void dfcof2(const int* record, double distance, int room, int* out, int& length, int& status);

// Releases the curves of an offset made by dfcof2 (its entities and its curve set). Status 0; -1
// for an entry that begins no record of an offset (nothing released).
void dfcgnr(const int* record, int& status);
