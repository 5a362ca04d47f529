// Creation, growth, release, move and swap of pocket arrays. Dynamic arrays take their memory
// from the buffer pool (pkdm_pool.cpp); static arrays live on caller memory; children are views.
#include "pocket_arrays/pokarr.hpp"

#include "host/vantu_messages.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_room.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

int pokarr_area_recompute = 0;

namespace {

// The engine creates, grows and frees several hundred arrays per offset pass: the routines below
// call one another through file-local helpers, not through the library's exported entry points.

int doubles_per_entry(int dimension)
{
    switch (dimension) {
    case 1: return 1;
    case 2: return 2;
    case 3: return 3;
    case 4: return 6;
    default: return 0;
    }
}

bool legal_dimension(int dimension) { return dimension >= 1 && dimension <= 4; }

}  // namespace

int pokarr_doubles_per_entry(int dimension) { return doubles_per_entry(dimension); }

int pokarr_capacity(const pokarr& array)
{
    if (array.kind >= 0) {
        const pkdm_entry* entry = pkdm_entry_at(array.kind);
        return entry != nullptr ? entry->capacity : 0;
    }
    if (array.kind == kPokarrStatic) return array.room;
    if (array.kind == kPokarrChild) return array.count;
    return 0;
}

// ---- creation ---------------------------------------------------------------------------------

void pokarr_init_refused(pokarr& array)
{
    array.area = 0.0;
    array.direction = 0;
    array.indicator = 0;
    eroutc("[pokarr_init] ILLEGAL NUMBER OF DIMENSIONS", 0);
}

// Points the coordinate blocks of a header into one block of `capacity` entries laid out as
// X[C], Y[C], Z[C], N[3C] as far as the dimension goes.
static void lay_out_blocks(double* block, int capacity, pokarr& array)
{
    const int d = array.dimension;
    array.x = block;
    array.y = d >= 2 ? block + capacity : nullptr;
    array.z = d >= 3 ? block + 2L * capacity : nullptr;
    array.n = d == 4 ? block + 3L * capacity : nullptr;
}

namespace {

// pokarr_init_dyn; the growth of an empty or full array calls it directly.
void init_dynamic(int dimension, int n, pokarr& array, int& status)
{
    status = 0;
    if (!legal_dimension(dimension)) {
        pokarr_init(dimension, array);
        eroutc("[pokarr_init_dyn], UNSUPPORTED DYNAMIC ARRAY SIZE", 0);
        status = -1;
        return;
    }
    pokarr_init(dimension, array);
    if (n < 0) {
        eroutc("[pokarr_init_dyn], ATTEMPTING TO CREATE A NEGATIVE SIZE ARRAY", 0);
        status = -1;
        return;
    }
    if (n == 0) return;
    const int per_entry = doubles_per_entry(dimension);
    if (n > pokarr_entry_limit(dimension)) {
        status = -1;
        return;
    }
    int index = -1;
    pkdm_alloc(8 * per_entry * n, index);
    if (index < 0) {
        status = -1;
        return;
    }
    const pkdm_entry* entry = pkdm_entry_at(index);
    const int capacity = entry->size / (8 * per_entry);
    pkdm_claim(index, dimension, capacity);
    array.kind = index;
    lay_out_blocks(static_cast<double*>(entry->block), capacity, array);
}

}  // namespace

void pokarr_init_dyn(int dimension, int n, pokarr& array, int& status) { init_dynamic(dimension, n, array, status); }

void pokarr_init_static(int dimension, double* x, double* y, double* z, double* n, int count, int capacity,
                        pokarr& array, int& status)
{
    status = 0;
    const bool blocks_given = x != nullptr && (dimension < 2 || y != nullptr) && (dimension < 3 || z != nullptr) &&
                              (dimension < 4 || n != nullptr);
    if (!legal_dimension(dimension) || count < 0 || capacity < count || (capacity > 0 && !blocks_given)) {
        eroutc("[pokarr_init_static] ILLEGAL STATIC ARRAY", 0);
        status = -1;
        return;
    }
    pokarr_init(dimension, array);
    array.x = x;
    array.y = dimension >= 2 ? y : nullptr;
    array.z = dimension >= 3 ? z : nullptr;
    array.n = dimension == 4 ? n : nullptr;
    array.count = count;
    array.kind = kPokarrStatic;
    array.room = capacity;
}

void pokarr_child(const pokarr& source, int start, int n, pokarr& child)
{
    if (source.kind == kPokarrEmpty || source.count <= 0) {
        pokarr_init(legal_dimension(source.dimension) ? source.dimension : 2, child);
        return;
    }
    if (start >= source.count) start = source.count - 1;
    if (start < 0) start = 0;
    if (n > source.count - start) n = source.count - start;
    if (n < 0) n = 0;
    const bool whole = start == 0 && n == source.count;
    child.kind = kPokarrChild;
    child.dimension = source.dimension;
    child.count = n;
    child.room = 0;
    child.x = source.x + start;
    child.y = source.y != nullptr ? source.y + start : nullptr;
    child.z = source.z != nullptr ? source.z + start : nullptr;
    child.n = source.dimension == 4 && source.n != nullptr ? source.n + 3L * start : nullptr;
    child.area = whole ? source.area : 0.0;
    child.direction = whole ? source.direction : 0;
    child.indicator = whole ? source.indicator : 0;
}

// ---- growth -----------------------------------------------------------------------------------

// Copies the first `count` entries of every coordinate block from one array to another of the
// same dimension.
static void copy_blocks(const pokarr& from, pokarr& to, int count)
{
    const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(double);
    std::memcpy(to.x, from.x, bytes);
    if (from.y != nullptr) std::memcpy(to.y, from.y, bytes);
    if (from.z != nullptr) std::memcpy(to.z, from.z, bytes);
    if (from.n != nullptr) std::memcpy(to.n, from.n, 3 * bytes);
}

namespace {

int free_array(pokarr& array)
{
    const int dimension = legal_dimension(array.dimension) ? array.dimension : 2;
    if (array.kind == kPokarrEmpty) return 2;
    if (array.kind == kPokarrStatic || array.kind == kPokarrChild) {
        pokarr_init(dimension, array);
        return 1;
    }
    if (array.kind < 0 || pkdm_entry_at(array.kind) == nullptr) {
        eroutc("[pokarr_free] UNABLE TO FIND DYNAMIC ARRAY", 0);
        return -1;
    }
    pkdm_give_back(array.kind);
    pokarr_init(dimension, array);
    return 0;
}

// A dynamic array whose request reaches its capacity moves to a new block of n entries.
void regrow_dynamic(pokarr& array, int n, int keep, int& status)
{
    pokarr bigger;
    init_dynamic(array.dimension, n, bigger, status);
    if (status != 0) return;
    const bool carry = keep != 0 && array.count >= 1;
    if (carry) {
        copy_blocks(array, bigger, array.count);
        bigger.count = array.count;
        bigger.area = array.area;
        bigger.direction = array.direction;
    }
    bigger.indicator = array.indicator;
    free_array(array);
    array = bigger;
}

// pokarr_resize; the growth and reset call it directly (the appenders test the room first).
void resize_array(pokarr& array, int n, int keep, int& status)
{
    status = 0;
    if (pokarr_has_room(array, n)) return;
    if (n > pokarr_entry_limit(array.dimension)) {
        status = -1;
        return;
    }
    if (array.kind >= 0) {
        // The pool entry is looked up once: its capacity is the array's.
        const pkdm_entry* entry = pkdm_entry_at(array.kind);
        if (entry == nullptr) {
            eroutc("[pokarr_resize] UNKNOWN POINTER", 0);
            status = -1;
            return;
        }
        if (n >= entry->capacity) regrow_dynamic(array, n, keep, status);
        return;
    }
    if (array.kind == kPokarrChild) {
        eroutc("[pokarr_resize1] ATTEMPT TO RESIZE CHILD ARRAY", 0);
        status = -1;
        return;
    }
    if (array.kind == kPokarrStatic) {
        if (n > array.room) status = -1;
        return;
    }
    if (array.kind == kPokarrEmpty) {
        const int indicator = array.indicator;
        init_dynamic(array.dimension, n, array, status);
        array.indicator = indicator;
        return;
    }
    eroutc("[pokarr_resize] UNKNOWN POINTER", 0);
    status = -1;
}

}  // namespace

void pokarr_resize(pokarr& array, int n, int keep, int& status) { resize_array(array, n, keep, status); }

void pokarr_reset(pokarr& array, int n, int& status)
{
    array.area = 0.0;
    array.direction = 0;
    array.indicator = 0;
    resize_array(array, n, 0, status);
    if (status == 0) array.count = 0;
}

void pokarr_grow(pokarr& array, int n, int& status) { resize_array(array, n, 1, status); }

void pokarr_grow_ahead(pokarr& array, int n, int& status)
{
    const int limit = pokarr_entry_limit(array.dimension);
    if (array.kind < 0 || n < kPokarrGrowAheadFrom || n > limit || pokarr_has_room(array, n)) {
        resize_array(array, n, 1, status);
        return;
    }
    resize_array(array, static_cast<int>(std::min<long>(n + n / 2L, limit)), 1, status);
}

int pokarr_free_held(pokarr& array) { return free_array(array); }

// ---- move and swap ----------------------------------------------------------------------------

void pokarr_move(pokarr& source, pokarr& destination, int& status)
{
    status = 0;
    if (&source == &destination) return;
    const bool source_owns = source.kind >= 0 || source.kind == kPokarrEmpty;
    if (!source_owns || destination.kind == kPokarrStatic) {
        pokarr_copy(source, destination, status);
        return;
    }
    free_array(destination);
    destination = source;
    // The source stays a view of the block it handed over; an empty source owned nothing and
    // stays empty.
    if (source.kind >= 0) source.kind = kPokarrChild;
}

void pokarr_swap(pokarr& a, pokarr& b, int& status)
{
    if (a.kind == kPokarrStatic || b.kind == kPokarrStatic) {
        status = -1;
        return;
    }
    std::swap(a, b);
    status = 0;
}
