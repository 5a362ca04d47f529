// Contour rings of hatch ends: for every contour of a region, the ends of the hatch segments that
// lie on it, in their order along the contour, linked into a closed ring, each end linked to the
// end at the other side of its segment. The clearing engine builds them once per run after the
// hatch lines; the pass linkers put their start point in, close them and walk them; clrcls gives
// them back with the clearing point list.
#pragma once

#include "clearing/hatch/hatch_lines.hpp"

#include <vector>

struct hatch_segment;

// One segment end (the same layout serves the edge arrays and the ring records).
struct hatch_end {
    int live;        // 1 until emitted into the clearing point list
    int start_flag;  // 1 for end 1 of its segment, 0 for end 2 (and the linkers' start point)
    float x, y;      // hatch frame
    int segment;     // contour segment it lies on (first vertex)
    int contour;
    int mark;         // pairing mark
    hatch_end* next;  // ring links along the contour
    hatch_end* previous;
    hatch_end* partner;   // the other end of its segment; null for the linkers' start point
    int partner_contour;  // where the partner was created in the edge arrays
    int partner_index;
};

// The ends of one contour.
struct contour_ring {
    // Edge array (ends as created), index array and record table (ring record per index): host
    // growable arrays that live only while the rings are built.
    int edge_handle = -1;
    int index_handle = -1;
    int record_table_handle = -1;
    int edge_count = 0;
    int ring_handle = -1;        // record array of the ring records
    hatch_end* first = nullptr;  // in contour order
    hatch_end* last = nullptr;
    int ring_size = 0;           // ends in the ring; the pass linker lowers it per emitted end
    int start_count = 0;         // segments whose end 1 lies here; the region linker lowers it per cut
    hatch_end* entry = nullptr;  // set by close_edge_rings
    int walk_direction = 1;
};

struct hatch_rings {
    std::vector<contour_ring> contours;  // [k] for contour k; [0] stays empty
};
extern hatch_rings hatch_rings_block;

// The rings of every contour from the segment list. 0, or -1 when a host array fails (the edge
// arrays are given back either way).
int clr_build_edges(const hatch_contours& contours, const hatch_segment* head);

// Appends an end to contour k's edge arrays (opened, or grown by 10, at every tenth end); index
// is its position. 0, or -1 with "add_edge,dynamic memory error".
int add_edge(int contour, float x, float y, int segment, int mark, int& index, int start_flag);
void edge_fill(hatch_end& end, float x, float y, int contour, int segment, int mark, int start_flag);

// Order along contour k: the lower segment first, on one segment the nearer to its first vertex;
// equal distances (host eqval) by creation index. -1 when a comes first, 1 when b does.
int edge_compare(const hatch_contours& contours, const hatch_end& a, int index_a, const hatch_end& b, int index_b);
// 1 when the new end comes after the ring end along the contour; equal distances on one segment
// set same and give 0.
int edge_before(const hatch_contours& contours, const hatch_end& fresh, const hatch_end& ring_end, int& same);

// Puts one more end (start flag 0, no partner) at (x, y) on segment of contour k into its open
// ring, where edge_before places it; an end already at that point is used instead (same = 1,
// nothing counted), otherwise the ring size rises by one. 0, or -1 when k has no ring array or
// the host gives no record.
int insert_start_edge(const hatch_contours& contours, int contour, float x, float y, int segment, int mark,
                      hatch_end*& record, int& same);

// Closes each ring (last end to first); entry = first end, walk direction = direction.
void close_edge_rings(int direction);

// Closes the edge arrays of every contour, the ring record arrays too when mode is not 0 (the
// rings are then forgotten). Status 0, or -1 with "clrels,Close dynamic memory error" at the
// first refusal, where it stops.
void clrels(int mode, int& status);

// The next end for direction 1, the previous one otherwise.
hatch_end* edge_step(const hatch_end* end, int direction);
// Ring size of contour k (0 outside the contours).
int contour_has_edges(int contour);
hatch_end* contour_last_edge(int contour);
// The ring of contour k, or null outside the contours.
contour_ring* ring_of(int contour);
