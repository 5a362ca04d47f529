// The loop tree of the lane engine: every loop has a key, a list of fathers and a list of segment
// records; combining two loops gives a new loop that inherits the fathers of both. The same
// package releases the node arrays of the entry-move code at the end of a procedure run.
#pragma once

#include "host/words.hpp"

// Words of a loop record.
inline constexpr int kLoopRecordWords = 11;
inline constexpr int kLoopStep = 10;
inline constexpr int kFatherStep = 10;
inline constexpr int kSegmentWords = 30;
inline constexpr int kSegmentStep = 100;

// Loop states. A loop of a contour is not cut: the entry moves do not come down on its pieces.
inline constexpr int kLoopNew = 1;
inline constexpr int kLoopContour = 2;
inline constexpr int kLoopMerged = 3;

// Words of a segment record (0-based; a double takes two words) as the entry moves read a piece
// of a lane from it: the used word (0: not used), the lane, the element, parameter and point
// where the piece starts and where it ends, and the mode of lane_extract_part (1: the whole
// lane). A new loop's first record (loop_create) is the whole lane `value` elements long, its
// lane still to be set (-1).
inline constexpr int kSegmentUsed = 0;
inline constexpr int kSegmentLane = 1;
inline constexpr int kSegmentStartElement = 2;
inline constexpr int kSegmentStartParameter = 4;
inline constexpr int kSegmentMode = 6;
inline constexpr int kSegmentStartPoint = 10;  // x, then y at + 2
inline constexpr int kSegmentEndElement = 16;
inline constexpr int kSegmentEndParameter = 18;
inline constexpr int kSegmentEndPoint = 24;  // x, then y at + 2

// One loop record (11 words in the host array).
struct loop_record {
    int state;
    int id;
    int key;
    int father_count;
    int father_handle;    // -1 when not open
    int father_reserved;  // -1 when not open
    int father_base;      // not used: the base is fetched from the handle
    int segment_count;
    int segment_handle;  // -1 when not open
    int segment_reserved;
    int segment_base;
};
static_assert(sizeof(loop_record) == kLoopRecordWords * 4);

struct loop_table {
    int count = 0;
    int handle = -1;  // -1 when not open
};
extern loop_table loop_table_block;

// The node arrays of the entry-move code (24-byte records; word 4 the handle of a node's
// sub-array, word 5 reserved), and the copy of them sharing the node count. A node is a group of
// segment records of one loop: the key of that loop, the number of records and their sub-array.
inline constexpr int kNodeWords = 6;
inline constexpr int kNodeKey = 0;
inline constexpr int kNodeSegments = 1;
inline constexpr int kNodeHandle = 3;
inline constexpr int kNodeReserved = 4;
struct node_arrays {
    int count = 0;
    int handle = -1;
    int copy_handle = -1;
};
extern node_arrays node_arrays_block;

void loop_create(int id, int key, int value, int father, int& status);
void loop_copy_fathers(int key_a, int key_b, int& status);
void loop_mark_merged(int key);
void loop_key_exists(int key, int& found);
void loop_aloc(int& status);
void father_aloc(loop_record& loop, int& status);
void seg_in_loop_aloc(int segment_count, int& handle, int& status);
void seg_in_loop_ensure(loop_record& loop, int& status);
void release_loop(int& status);
void node_release(int& status);
void copy_node_release(int& status);

// Read access for callers and tests: loop i (0-based) or null; the loop of a key or null; the
// fathers of a loop.
const loop_record* loop_at(int i);
const loop_record* loop_of_key(int key);
const int* loop_fathers(const loop_record& loop);
const word* loop_segments(const loop_record& loop);
