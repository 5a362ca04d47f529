// The pocket's contour records and their associativity with the model: on reading an existing
// procedure every curve is tested (still there, unchanged) and the missing ones are marked by a
// negative id; on storing, curves that leave their working plane are replaced by lines and the
// curves are attached to the procedure's geometry entity; on request, whether every curve is the
// user's own entity. The contour-records callback runs them.
#pragma once

#include <string_view>

// Labels of the messages, one message per label and read.
inline constexpr std::string_view kContoursLabel = "CONTOURS";
inline constexpr std::string_view kCheckCurvesLabel = "CHECK CURVES";

// Tests the curves of count records one after another from `records` (the geometry buffer); a
// negative count is taken as its absolute value and leaves the end check curves untested. Only
// hand-picked contours (by_criteria[k] 0, 1-based) are tested. Both flags start at 1 and are
// cleared by a contour without curves or a curve that is missing or changed; such a curve's id is
// stored negative. geometry_entity: the procedure's geometry entity, -1 when none. Reads EDA2
// words 2, 3, 5 and 9 and the single-curve-contours flag.
void contour_records_read(int geometry_entity, int* records, int count, const int* by_criteria, int& contours_valid,
                          int& second_flag);

// Whether the curve may be used: asks the host for its association state under (owner, sub_id);
// an error, a changed or unavailable curve, or (unless every contour is a single curve) an updated
// plain curve gives ok 0. The label's first message of a read is shown (report_once cleared).
void assoc_check(int owner, int sub_id, int curve, std::string_view label, int& report_once, int& ok);

// Replaces, in the `count` records of the gathered buffer from `records`, every curve of a
// contour defined in a working plane that leaves the plane by a line between its two ends taken
// at the plane, marked "DE" = 1 and "SL" = 1.
void contour_plane_fix(int count, int* records);

// Attaches the curves and the existing end check curves of the hand-picked contours among count
// records to the geometry entity (-1: to the last block written); missing ids are stored
// positive again. attach 0 only makes the ids positive.
void contour_assoc_write(int geometry_entity, int attach, int count, const int* by_criteria, int* records);

// Attaches the count ids of the list (ids of edges of solids are left out): present ones with
// asattl, missing ones (id not above 0, made positive in the list) with asattc or asattc_idd. A
// host error ends the attachment of that list.
void assoc_attach(int geometry_entity, int attach, int count, int* ids);

// flag 0 when a curve or an end check curve of a hand-picked contour is a replacement line,
// else 1.
void contour_records_all_real(int count, const int* records, const int* by_criteria, int& flag);

// flag 0 when an entity of the list carries "DE" = 1 and "SL" = 1 (the walk stops at an id below
// 1 or an edge of a solid); flag is left as it was otherwise.
void entity_is_replacement(int count, const int* ids, int& flag);
