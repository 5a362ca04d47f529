// Developer aids of the pocket engine: drawing a pocket array, a raw point list or a lane in the
// graphics window as a temporary figure, and writing a pocket array or the crossing records of
// the loop removal to text files in the host's debug directory. The engine calls them at its
// debug points under switches that are off by default; a failure never stops a computation.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Most entity ids one display remembers.
inline constexpr int kShowEntitiesMax = 250;
// The entity writer makes a polyline once its buffer holds this many values or more.
inline constexpr int kShowEntityFlush = 2047;

struct pokarr_show_state {
    int entity_mode = 0;                  // draw as polyline entities of the part instead of a figure
    int colour = 0;                       // 0 automatic, 1..15 fixed
    int matrix_switch = 0;                // transform by the display matrix
    int normal_switch = 0;                // draw the normals of dimension-4 arrays
    int dump_file_id = -1;                // 0 or more: every display also dumps the array to that file
    int dump_id_switch = 0;               // forces the dump file id to 0
    int entities[kShowEntitiesMax] = {};  // ids of the entities made by the last display
    int entity_count = 0;
};
extern pokarr_show_state pokarr_show_block;

void pokarr_show_mode(int v);
void pokarr_show_colour(int v);
// Draws the array (absolute 0: the pocket origin is added). 0, or -1 for an empty array.
int pokarr_show(const pokarr& array, int absolute);
int pokarr_show_std(const pokarr& array);
// n points of an interleaved list (dimension 2 or 3), with and without the origin.
int pokarr_show_raw(int dimension, const double* list, int n);
int pokarr_show_raw_abs(int dimension, const double* list, int n);
int xy_show(const double* x, const double* y, int n);
// n points of an interleaved list of single-precision values (dimension 2 or 3), drawn as they
// are (no origin added).
int pokarr_show_float(int dimension, const float* list, int n);
// The entity-mode writer over a dimension-1 buffer of x, y, z triples. With a point: appends it
// (unless it repeats the last one) and makes a polyline entity once the buffer is full, starting
// the next one at that point. Without a point (null): flushes what the buffer holds. 0, or -1
// when an entity cannot be made.
int pokarr_show_entity_pnt(pokarr& buffer, const double* point);

// The three coordinates of a point in single precision, as the figure takes them.
void xform_point(const double* in, float* out);

// Writes entries first .. last of the array to "pokarr<id>.txt" in the debug directory
// (a negative id appends). 0, or -1 when the array is missing or the file cannot be written.
int pokarr_dump(const pokarr* array, int file_id, int first, int last);
// Writes n crossing records to "pkingo<id>.txt"; u1 and u2 may be null.
int pkingo_dump(int file_id, int n, const int* ingo, const int* ingo1, const double* xing, const double* ying,
                const double* u1, const double* u2);
