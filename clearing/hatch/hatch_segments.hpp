// Hatch segments of area clearing: for each ordinate range of a region, the hatch lines placed a
// side step apart (the first 0.001 above the range's low end, the last found downward from its
// high end), each line's crossings paired into cutting segments, all ranges' segments in one list
// in the hatch frame. The clearing engine calls clr_hatch_lines per range and CLSLNS at its end;
// the contour rings and the pass linkers read the list.
#pragma once

#include "clearing/hatch/hatch_lines.hpp"

// One cutting segment: end 1 is the earlier point of its pair in sort order.
struct hatch_segment {
    float x1, x2;
    float y1, y2;
    int segment1, segment2;  // contour segment (first vertex) of each end
    int contour1, contour2;
    int mark1, mark2;  // pairing marks
    hatch_segment* previous;
    hatch_segment* next;
};

// Search step of the line searches.
inline constexpr double kHatchSearchStep = 0.001;

// Start values of one range.
struct hatch_line_setup {
    double ordinate = 0.0;     // working ordinate: the range's low end
    double previous = 0.0;     // p: the last accepted ordinate
    double lower_bound = 0.0;  // b: the last line is never sought below it
    double step = 0.0;         // the side step
    int direction = 1;
};

// low + 0.001 for p and b (procedure code 54: low), the side step and the clear_block direction.
// Reads clear_block.side_step and direction, and the host's procedure code.
void clr_hatch_setup(float low, float high, hatch_line_setup& setup);

// An acceptable line (an even, non-zero count of crossings, paired) at or above the ordinate and
// not above the limit, stepping 0.001 past lines without or with an odd count of crossings.
// 0 with the ordinate of the line; -1 when the limit is passed (ordinate = limit, count 0) or a
// line has too many crossings. Procedure code 54 steps by the side step past empty lines and fails
// with "[clr_make_hatch] TOO MANY ODD POINTS MISSED" once odd lines run over twice the curve
// tolerance. Reads clear_block.side_step and the host's procedure code.
int clr_make_hatch(const word* contours, int contour_count, float limit, int direction, hatch_points& points,
                   int& count, double& ordinate);

// The last line of a range: from the ordinate (the high end) downward, the first line whose
// crossings pair into segments of non-zero length; reaching the previous line p takes p as it
// is (an odd count loses its last point). 0, or -1 with "NCR_CRE, HATCH LINE PRECEEDED YMIN!" to
// the user when the search falls below the lower bound.
int NCR_CRE(const word* contours, int contour_count, double lower_bound, double& ordinate, int direction,
            hatch_points& points, int& count, double previous);

// All lines of the range [low, high] into the segment list: the first range (first = 1) opens
// the list, the last (last = 1) sets the progress total to the segment count. 0, or -1 when a
// line cannot be placed, the side step is not positive or the host refuses a record. For
// machining types other than 1 the next ordinate comes from pass_height_at_point. Reads
// clear_block and the machining type.
int clr_hatch_lines(int first, int last, const word* contours, float low, float high, int contour_count,
                    hatch_points& points);

// Opens the segment array (empty list); -1 when the host refuses.
int clr_lines_open();
// Appends one segment per pair of points (1-2, 3-4, ...); -1 when the host gives no record.
int clr_store_lines(const hatch_points& points, int count);
// Closes the segment array when open and marks it closed; the host's status, a refusal reported
// as "CLSLNS, PROBLEMS IN DYNAMIC MEMORY".
void CLSLNS(int& status);
