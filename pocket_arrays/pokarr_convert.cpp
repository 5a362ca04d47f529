// Copies and conversions between pocket arrays: whole copies between layouts, range inserts and
// overwrites, and the removal of a range with a loop's closing point kept right. The lane engine
// and the loop removal stand on these.
#include "pocket_arrays/pokarr_convert.hpp"

#include "host/vantu_messages.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Doubles per point of a 2-D or 3-D array when it is read or written flat.
int flat_width(int dimension) { return dimension == 2 || dimension == 3 ? dimension : 0; }

bool flat_conversion_refused(const pokarr& source, const pokarr& destination)
{
    return (source.dimension == 1 && destination.dimension == 4) ||
           (source.dimension == 4 && destination.dimension == 1);
}

// Entries of the destination that n entries of the source make (doubles on a flat side).
int converted_count(int n, const pokarr& source, const pokarr& destination)
{
    if (source.dimension == 1 && destination.dimension != 1) {
        const int w = flat_width(destination.dimension);
        return w > 0 ? n / w : 0;
    }
    if (source.dimension != 1 && destination.dimension == 1) return n * flat_width(source.dimension);
    return n;
}

// Writes m destination entries from `index` out of the source range from `start`.
void write_converted(const pokarr& source, int start, pokarr& destination, int index, int m)
{
    if (source.dimension == 1 && destination.dimension != 1) {
        const int w = flat_width(destination.dimension);
        for (int i = 0; i < m; ++i) {
            const double* p = source.x + start + static_cast<long>(w) * i;
            destination.x[index + i] = p[0];
            destination.y[index + i] = p[1];
            if (w == 3) destination.z[index + i] = p[2];
        }
        return;
    }
    if (source.dimension != 1 && destination.dimension == 1) {
        const int w = flat_width(source.dimension);
        for (int i = 0; i < m / w; ++i)
            for (int k = 0; k < w; ++k)
                destination.x[index + static_cast<long>(w) * i + k] = pokarr_coordinate(source, start + i, k);
        return;
    }
    // Between dimensions 2 to 4 (or flat to flat) block by block: what the source lacks takes
    // its default, what the destination lacks is dropped.
    const std::size_t bytes = static_cast<std::size_t>(m) * sizeof(double);
    std::memcpy(destination.x + index, source.x + start, bytes);
    const auto copy_or_fill = [&](double* to, const double* from, double fill) {
        if (to == nullptr) return;
        if (from != nullptr)
            std::memcpy(to + index, from + start, bytes);
        else
            std::fill(to + index, to + index + m, fill);
    };
    copy_or_fill(destination.y, source.y, 0.0);
    copy_or_fill(destination.z, source.z, 0.0);
    if (destination.n == nullptr) return;
    if (source.n != nullptr) {
        std::memcpy(destination.n + 3L * index, source.n + 3L * start, 3 * bytes);
        return;
    }
    for (int i = 0; i < m; ++i) std::memcpy(destination.n + 3L * (index + i), kDefaultNormal, sizeof kDefaultNormal);
}

// Whether the source's entries lie in memory that the destination may move or overwrite (the
// same array, or a child of it).
bool shares_memory(const pokarr& source, const pokarr& destination)
{
    if (&source == &destination) return true;
    if (source.x == nullptr || destination.x == nullptr) return false;
    const auto s0 = reinterpret_cast<std::uintptr_t>(source.x);
    const auto s1 = reinterpret_cast<std::uintptr_t>(source.x + source.count);
    const int room = std::max(pokarr_capacity(destination), destination.count);
    const auto d0 = reinterpret_cast<std::uintptr_t>(destination.x);
    const auto d1 = reinterpret_cast<std::uintptr_t>(destination.x + room);
    return s0 < d1 && d0 < s1;
}

// A private copy of a source range, for sources that share memory with their destination.
struct staged_source {
    std::vector<double> x, y, z, n;
    pokarr array;

    staged_source(const pokarr& source, int start, int count)
    {
        const auto take = [&](const double* block, int width, std::vector<double>& into) {
            if (block == nullptr) return static_cast<double*>(nullptr);
            into.assign(block + static_cast<long>(width) * start, block + static_cast<long>(width) * (start + count));
            return into.data();
        };
        int status = 0;
        pokarr_init_static(source.dimension, take(source.x, 1, x), take(source.y, 1, y), take(source.z, 1, z),
                           take(source.n, 3, n), count, count, array, status);
    }
};

// Checks shared by the range operations; false with the status set when refused.
bool range_accepted(int n, const pokarr& source, int start, const pokarr& destination, int& status)
{
    if (start < 0 || n > source.count - start) {
        status = -1;
        return false;
    }
    if (flat_conversion_refused(source, destination)) {
        eroutc("[pokarr_copy] UNABLE TO CONVERT 1D ARRAYS", 0);
        status = -1;
        return false;
    }
    return true;
}

int clamp_index(int index, const pokarr& array)
{
    if (index < 0) return 0;
    return index > array.count ? array.count : index;
}

// The range operations on a source that does not share memory with the destination.
void insert_range(int n, const pokarr& source, int start, pokarr& destination, int index, int& status)
{
    const int m = converted_count(n, source, destination);
    if (m < 1) return;
    index = clamp_index(index, destination);
    pokarr_grow(destination, destination.count + m, status);
    if (status != 0) return;
    pokarr_shift_entries(destination, index, index + m);
    write_converted(source, start, destination, index, m);
    destination.count += m;
}

void overwrite_range(int n, const pokarr& source, int start, pokarr& destination, int index, int& status)
{
    const int m = converted_count(n, source, destination);
    if (m < 1) return;
    index = clamp_index(index, destination);
    if (index + m >= destination.count) {
        // An append (the write starts at the end) grows ahead; a rewrite to just its size.
        if (index == destination.count)
            pokarr_grow_ahead(destination, index + m, status);
        else
            pokarr_grow(destination, index + m, status);
        if (status != 0) return;
        destination.count = index + m;
    }
    write_converted(source, start, destination, index, m);
}

using range_operation = void (*)(int, const pokarr&, int, pokarr&, int, int&);

// Runs a range operation, through a private copy of the range when the source could move or
// change under it.
void run_range(range_operation operation, int n, const pokarr& source, int start, pokarr& destination, int index,
               int& status)
{
    status = 0;
    if (n < 1) return;
    if (!range_accepted(n, source, start, destination, status)) return;
    if (!shares_memory(source, destination)) {
        operation(n, source, start, destination, index, status);
        return;
    }
    staged_source staged(source, start, n);
    operation(n, staged.array, 0, destination, index, status);
}

}  // namespace

void pokarr_shift_entries(pokarr& array, int from, int to)
{
    const std::size_t moved = static_cast<std::size_t>(array.count - from) * sizeof(double);
    if (moved == 0) return;
    std::memmove(array.x + to, array.x + from, moved);
    if (array.y != nullptr) std::memmove(array.y + to, array.y + from, moved);
    if (array.z != nullptr) std::memmove(array.z + to, array.z + from, moved);
    if (array.n != nullptr) std::memmove(array.n + 3L * to, array.n + 3L * from, 3 * moved);
}

void pokarr_copy(const pokarr& source, pokarr& destination, int& status)
{
    status = 0;
    if (&source == &destination) return;
    if (source.kind == kPokarrEmpty || source.count <= 0) {
        pokarr_reset(destination, 0, status);
    } else if (flat_conversion_refused(source, destination)) {
        eroutc("[pokarr_copy] UNABLE TO CONVERT 1D ARRAYS", 0);
        int ignored = 0;
        pokarr_reset(destination, 0, ignored);
        status = -1;
        return;
    } else {
        const int m = converted_count(source.count, source, destination);
        if (shares_memory(source, destination)) {
            staged_source staged(source, 0, source.count);
            pokarr_reset(destination, m, status);
            if (status == 0) write_converted(staged.array, 0, destination, 0, m);
        } else {
            pokarr_reset(destination, m, status);
            if (status == 0) write_converted(source, 0, destination, 0, m);
        }
        if (status == 0) destination.count = m;
    }
    if (status != 0) return;
    destination.area = source.area;
    destination.direction = source.direction;
    destination.indicator = source.indicator;
}

void pokarr_insert_pnts(int n, const pokarr& source, int start, pokarr& destination, int index, int& status)
{
    run_range(insert_range, n, source, start, destination, index, status);
}

void pokarr_copy_pnts(int n, const pokarr& source, int start, pokarr& destination, int index, int& status)
{
    run_range(overwrite_range, n, source, start, destination, index, status);
}

void pokarr_append(int n, const pokarr& source, int start, pokarr& destination, int& status)
{
    pokarr_copy_pnts(n, source, start, destination, destination.count, status);
}

void pokarr_replace(int n, const pokarr& source, int start, pokarr& destination, int& status)
{
    destination.area = 0.0;
    destination.direction = 0;
    destination.indicator = 0;
    pokarr_copy_pnts(n, source, start, destination, 0, status);
    if (status == 0 && n >= 1) destination.count = converted_count(n, source, destination);
}

// ---- removal ----------------------------------------------------------------------------------

// Appends a copy of entry 0 (the loop's closing point).
static void close_loop_again(pokarr& array, int& status)
{
    pokarr_grow(array, array.count + 1, status);
    if (status != 0) return;
    const int last = array.count;
    array.x[last] = array.x[0];
    if (array.y != nullptr) array.y[last] = array.y[0];
    if (array.z != nullptr) array.z[last] = array.z[0];
    if (array.n != nullptr)
        for (int k = 0; k < 3; ++k) array.n[3L * last + k] = array.n[k];
    ++array.count;
}

void pokarr_remove_pnts(pokarr& array, int closed, int start, int n, int& status)
{
    status = 0;
    if (start >= array.count) {
        eroutc("[pokarr_remove_pnts] Index is larger than array", 0);
        status = -1;
        return;
    }
    if (start < 0) {
        eroutc("[pokarr_remove_pnts] NEGATIVE INDEX", 0);
        status = -1;
        return;
    }
    if (n < 1) return;
    const int old_count = array.count;
    const int end = n > old_count - start ? old_count : start + n;
    pokarr_shift_entries(array, end, start);
    array.count -= end - start;
    if (!closed) return;
    const bool reached_end = end == old_count;
    if (reached_end) {
        if (start < 2) {
            array.count = 0;
            return;
        }
        // The old closing point went with the range; the first entry repeats it no more.
        pokarr_shift_entries(array, 1, 0);
        --array.count;
    }
    if ((start == 0 && !reached_end) || (start >= 2 && reached_end)) close_loop_again(array, status);
}
