// The pocket array: the one container of point lists in the pocket engine (contours, offset
// loops, lanes, candidates, temporary copies). Points of 1 to 3 coordinates (dimension 4: three
// coordinates and a normal per point) sit in separate coordinate blocks; circular arcs are in-line
// records of four entries; the signed area is cached. An array is empty, static (over caller
// memory), a child (a view into another array) or dynamic (a block of the buffer pool).
// Copies and conversions: pokarr_convert.hpp; reversal and element helpers: pk_element.hpp.
#pragma once

#include "pocket_arrays/pkdm_pool.hpp"

// Kinds (the kind word of the header); 0 or more is the pool index of a dynamic array's block.
inline constexpr int kPokarrStatic = -1;
inline constexpr int kPokarrEmpty = -2;
inline constexpr int kPokarrChild = -3;

// Most entries one array may hold: dimensions 2 to 4, and a flat dimension-1 list.
inline constexpr int kPokarrMaxEntries = 150000;
inline constexpr int kPokarrMaxFlat = 450000;

// The arc record: an arc from the entry before it is stored as four entries,
//   marker (x kArcMarker, y 0), radius and direction (+1.0 counter-clockwise, -1.0 clockwise),
//   centre, end point.
// Any x above kMarkerLimit is a marker; ordinary coordinates never come near it.
inline constexpr double kArcMarker = 1.0e25;
inline constexpr double kMarkerLimit = 1.0e20;
inline constexpr int kArcRecordEntries = 4;

inline bool pk_is_marker(double x) { return x > kMarkerLimit; }

// The direction word of an arc record (+1.0 or -1.0) as an integer; a damaged record reads as
// counter-clockwise rather than overflowing the conversion.
inline int pk_arc_direction(double stored) { return stored < 0.0 ? -1 : 1; }

// Header of a pocket array, owned by its caller. Re-read x, y, z and n after any operation that
// can grow the array: growth replaces the block.
struct pokarr {
    double* x = nullptr;  // x of entry i at x[i]
    double* y = nullptr;  // y values (null in dimension 1)
    double* z = nullptr;  // z values (dimensions 3 and 4)
    double* n = nullptr;  // normals, 3 doubles per entry (dimension 4)
    int dimension = 2;    // 1, 2, 3, or 4 (three coordinates and a normal)
    int count = 0;        // entries in use, arc records included
    int kind = kPokarrEmpty;
    // The header's reserved word: for a static array, the number of entries the caller's memory
    // holds (appends beyond it are refused); moved and swapped with the header.
    int room = 0;
    double area = 0.0;  // cached absolute area; 0 when not computed
    int direction = 0;  // -1 clockwise, 0 not computed, 1 counter-clockwise
    int indicator = 0;  // tag word of the owner; cleared on init, carried by whole copies
};

// The last element of the array, the one that ends at its last entry: its arc record's marker
// when the array ends on an arc, else the entry before the last.
inline int pk_last_element(const pokarr& a)
{
    const int n = a.count;
    return n - 4 >= 1 && pk_is_marker(a.x[n - 4]) ? n - 4 : n - 1;
}

// A missing z is 0.0; a missing normal is this.
inline constexpr double kDefaultNormal[3] = {0.0, 0.0, 1.0};

// Coordinate k (0 x, 1 y, 2 z) of entry i, 0.0 for a block the array lacks.
inline double pokarr_coordinate(const pokarr& array, int i, int k)
{
    if (k == 0) return array.x[i];
    if (k == 1) return array.y != nullptr ? array.y[i] : 0.0;
    return array.z != nullptr ? array.z[i] : 0.0;
}

// Copies entry `from` over entry `to` with its z and normal where the array has them (y is
// required: dimension 2 and up).
inline void pokarr_copy_entry(pokarr& a, int from, int to)
{
    a.x[to] = a.x[from];
    a.y[to] = a.y[from];
    if (a.z != nullptr) a.z[to] = a.z[from];
    if (a.n != nullptr)
        for (int k = 0; k < 3; ++k) a.n[3L * to + k] = a.n[3L * from + k];
}

// The normal of entry i, kDefaultNormal without a normal block.
inline const double* pokarr_normal(const pokarr& array, int i)
{
    return array.n != nullptr ? array.n + 3L * i : kDefaultNormal;
}

// Doubles per entry of a dimension (1, 2, 3, 6), 0 for an illegal dimension.
int pokarr_doubles_per_entry(int dimension);
// Entries the array can hold without growing: the pool block's capacity for a dynamic array,
// the caller's room for a static one, the count for a child, 0 when empty.
int pokarr_capacity(const pokarr& array);

// Module switch (off; a developer sets it): recompute the area on every pokarr_area call.
extern int pokarr_area_recompute;

// ---- creation and storage ---------------------------------------------------------------------

// Clears area, direction and indicator; with a dimension of 1 to 4 makes the array empty of that
// dimension. Another dimension is reported and leaves the rest of the header as it was. Inline:
// the engine sets up thousands of headers per pass.
void pokarr_init_refused(pokarr& array);
inline void pokarr_init(int dimension, pokarr& array)
{
    if (dimension < 1 || dimension > 4) {
        pokarr_init_refused(array);
        return;
    }
    array.x = array.y = array.z = array.n = nullptr;
    array.count = 0;
    array.dimension = dimension;
    array.kind = kPokarrEmpty;
    array.room = 0;
    array.area = 0.0;
    array.direction = 0;
    array.indicator = 0;
}
// A dynamic array with room for n entries (n 0: empty). Status -1 for a negative n, an illegal
// dimension or a failed pool request.
void pokarr_init_dyn(int dimension, int n, pokarr& array, int& status);
// A static array over caller memory holding `count` entries in blocks with room for `capacity`
// entries; the blocks the dimension needs must be given. Growth within the capacity changes
// nothing, beyond it is refused. Status -1 for bad arguments (the header is then left alone).
void pokarr_init_static(int dimension, double* x, double* y, double* z, double* n, int count, int capacity,
                        pokarr& array, int& status);
// A view of n entries of the source from `start` (a start at or beyond the count becomes the
// last entry; n is cut to what remains). A child of the whole array carries its area, direction
// and indicator. An empty source gives an empty child of the source's dimension.
void pokarr_child(const pokarr& source, int start, int n, pokarr& child);
// Makes room for n entries. Refused (-1): n above the limit of the dimension (no message), a
// child ("[pokarr_resize1] ATTEMPT TO RESIZE CHILD ARRAY"), a static array beyond its room (no
// message), an unknown kind. An empty array becomes dynamic. A dynamic array whose capacity n
// reaches gets a new block; with keep its entries, cached area and direction come along,
// without keep the count becomes 0. The indicator always stays.
void pokarr_resize(pokarr& array, int n, int keep, int& status);
// Clears area, direction and indicator, resizes without keep, count 0.
void pokarr_reset(pokarr& array, int n, int& status);
// Resizes with keep.
void pokarr_grow(pokarr& array, int n, int& status);
// Resizes with keep for an append: a dynamic array of kPokarrGrowAheadFrom entries or more that
// must grow gets room for half as many entries again (within the dimension's limit), so that a
// loop appended to again and again costs a few growths rather than one for every kilobyte of the
// pool. Otherwise as pokarr_grow.
inline constexpr int kPokarrGrowAheadFrom = 1024;
void pokarr_grow_ahead(pokarr& array, int n, int& status);
// Back to empty with the dimension kept: 2 for an empty array (nothing done), 1 for a static or
// child array, 0 for a dynamic array (its block back to the pool), -1 for an unknown kind. The
// empty case is answered inline (most arrays freed by the engine's frames never grew).
int pokarr_free_held(pokarr& array);
inline int pokarr_free(pokarr& array) { return array.kind == kPokarrEmpty ? 2 : pokarr_free_held(array); }
// Hands the source's block to the destination without copying (the source becomes a child view)
// when the source is dynamic or empty and the destination not static; otherwise copies.
void pokarr_move(pokarr& source, pokarr& destination, int& status);
// Exchanges the two headers; refused (-1) when either is static.
void pokarr_swap(pokarr& a, pokarr& b, int& status);

// ---- appending and inserting single elements --------------------------------------------------
// Each grows the array with keep to the new count first; a failed growth adds nothing and
// returns its status. A dimension the operation does not take is reported, adds nothing and
// returns -1. The cached area is left as it is.

// point: x, y (and z in dimension 3). Dimensions 2 and 3. Inline: the planar offset of a lane
// appends its points one at a time, and nearly every append lands in a 2-D pool block with room,
// which takes the point in place as the full routine would; everything else (3-D included) goes
// to the full routine.
void pokarr_add_pnt_full(const double* point, pokarr& array, int& status);
inline void pokarr_add_pnt(const double* point, pokarr& array, int& status)
{
    const int i = array.count;
    if (array.kind >= 0 && array.dimension == 2 && array.y != nullptr && array.z == nullptr && array.n == nullptr &&
        i + 1 <= kPokarrMaxEntries) {
        const pkdm_entry* entry = pkdm_entry_at(array.kind);
        if (entry != nullptr && i + 1 < entry->capacity) {
            array.x[i] = point[0];
            array.y[i] = point[1];
            array.count = i + 1;
            status = 0;
            return;
        }
    }
    pokarr_add_pnt_full(point, array, status);
}
// Inserts at index (clamped to 0 .. count); later entries move up. Dimensions 2 and 3.
void pokarr_insert_pnt(const double* point, pokarr& array, int index, int& status);
// point: x, y, z; normal may be null ((0, 0, 1) then). Dimensions 2 to 4.
void pokarr_insert_pnt_nrm(const double* point, const double* normal, pokarr& array, int index, int& status);
void pokarr_add_pnt_nrm(const double* point, const double* normal, pokarr& array, int& status);
// Dimension 1: x, then y, z and the three normal values as further entries, stopping at the
// first null (1, 2, 3 or 6 entries). Dimensions 2 to 4: one entry; a null y or z is 0.0, a null
// normal (0, 0, 1).
void pokarr_add_xyz(double x, const double* y, const double* z, const double* normal, pokarr& array, int& status);
// The four entries of an arc record ending at (end_x, end_y); z may be null (0.0).
// Dimensions 2 to 4.
void pokarr_add_arc(double end_x, double end_y, const double* z, double centre_x, double centre_y, double radius,
                    int direction, pokarr& array, int& status);
// The first three entries of an arc record; the caller appends the end point.
void pokarr_add_arcpart(double centre_x, double centre_y, const double* z, double radius, int direction, pokarr& array,
                        int& status);

// ---- area -------------------------------------------------------------------------------------

// Area and direction of the closed outline in x, y (closed implicitly from the last entry back
// to the first; arcs below half a turn), cached in the header. A set direction means the cache
// stands. A zero area gives direction -1.
void pokarr_area(pokarr& array);
