// The point-appending family of the pocket arrays: points, points with normals, single values and
// arc records, appended or inserted one element at a time. Each grows the array first (with keep)
// and refuses a dimension it does not take with a message and status -1.
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_room.hpp"

#include "host/vantu_messages.hpp"

#include <cstring>
#include <string_view>

namespace {

// One entry as the appenders write it; z and the normal are used where the dimension has them.
struct entry_values {
    double x;
    double y;
    double z;
    const double* normal;  // null: (0, 0, 1)
};

[[gnu::always_inline]] inline void write_entry(pokarr& array, int i, const entry_values& v)
{
    array.x[i] = v.x;
    if (array.y != nullptr) array.y[i] = v.y;
    if (array.z != nullptr) array.z[i] = v.z;
    if (array.n != nullptr) {
        const double* normal = v.normal != nullptr ? v.normal : kDefaultNormal;
        for (int k = 0; k < 3; ++k) array.n[3L * i + k] = normal[k];
    }
}

// Whether the dimension is within first..last; otherwise the message goes out and status -1.
bool dimension_taken(const pokarr& array, int first, int last, std::string_view message, int& status)
{
    if (array.dimension >= first && array.dimension <= last) return true;
    eroutc(message, 0);
    status = -1;
    return false;
}

// Grows the array to hold `extra` more entries (ahead of them once it is large); an array with the
// room already is left alone, as the growth would leave it.
[[gnu::always_inline]] inline bool make_room(pokarr& array, int extra, int& status)
{
    const int needed = array.count + extra;
    if (pokarr_has_room(array, needed)) {
        status = 0;
        return true;
    }
    pokarr_grow_ahead(array, needed, status);
    return status == 0;
}

// Opens a gap of one entry at index in every block (entries index .. count-1 move up by one).
void open_gap(pokarr& array, int index)
{
    const std::size_t moved = static_cast<std::size_t>(array.count - index) * sizeof(double);
    std::memmove(array.x + index + 1, array.x + index, moved);
    if (array.y != nullptr) std::memmove(array.y + index + 1, array.y + index, moved);
    if (array.z != nullptr) std::memmove(array.z + index + 1, array.z + index, moved);
    if (array.n != nullptr) std::memmove(array.n + 3L * (index + 1), array.n + 3L * index, 3 * moved);
}

void insert_entry(pokarr& array, int index, const entry_values& v, int& status)
{
    if (!make_room(array, 1, status)) return;
    if (index < 0) index = 0;
    if (index > array.count) index = array.count;
    open_gap(array, index);
    write_entry(array, index, v);
    ++array.count;
}

// Inline into each appender, so that the loop runs unrolled for the appender's fixed count.
[[gnu::always_inline]] inline void append_entries(pokarr& array, const entry_values* values, int n, int& status)
{
    if (!make_room(array, n, status)) return;
    for (int i = 0; i < n; ++i) write_entry(array, array.count + i, values[i]);
    array.count += n;
}

constexpr std::string_view kNot2d3d = "[pokarr_add_pnt] POCKET ARRAY IS NOT 2D OR 3D";

double z_of(const pokarr& array, const double* point) { return array.dimension >= 3 ? point[2] : 0.0; }

}  // namespace

void pokarr_add_pnt_full(const double* point, pokarr& array, int& status)
{
    if (!dimension_taken(array, 2, 3, kNot2d3d, status)) return;
    const entry_values v{point[0], point[1], z_of(array, point), nullptr};
    append_entries(array, &v, 1, status);
}

void pokarr_insert_pnt(const double* point, pokarr& array, int index, int& status)
{
    if (!dimension_taken(array, 2, 3, kNot2d3d, status)) return;
    insert_entry(array, index, {point[0], point[1], z_of(array, point), nullptr}, status);
}

void pokarr_insert_pnt_nrm(const double* point, const double* normal, pokarr& array, int index, int& status)
{
    if (!dimension_taken(array, 2, 4, "[pokarr_insert_pnt_nrm] POCKET ARRAY IS NOT 2D, 3D OR 4D", status)) return;
    insert_entry(array, index, {point[0], point[1], point[2], normal}, status);
}

void pokarr_add_pnt_nrm(const double* point, const double* normal, pokarr& array, int& status)
{
    if (!dimension_taken(array, 2, 4, "[pokarr_add_pnt_nrm] POCKET ARRAY IS NOT 2D, 3D OR 4D", status)) return;
    const entry_values v{point[0], point[1], point[2], normal};
    append_entries(array, &v, 1, status);
}

void pokarr_add_xyz(double x, const double* y, const double* z, const double* normal, pokarr& array, int& status)
{
    if (!dimension_taken(array, 1, 4, "[pokarr_add_xyz] ILLEGAL NUMBER OF DIMENSIONS", status)) return;
    if (array.dimension > 1) {
        const entry_values v{x, y != nullptr ? *y : 0.0, z != nullptr ? *z : 0.0, normal};
        append_entries(array, &v, 1, status);
        return;
    }
    // A flat list takes the given values one after the other, up to the first one missing.
    entry_values flat[6] = {{x, 0.0, 0.0, nullptr}};
    int n = 1;
    if (y != nullptr) {
        flat[n++].x = *y;
        if (z != nullptr) {
            flat[n++].x = *z;
            if (normal != nullptr)
                for (int k = 0; k < 3; ++k) flat[n++].x = normal[k];
        }
    }
    append_entries(array, flat, n, status);
}

void pokarr_add_arc(double end_x, double end_y, const double* z, double centre_x, double centre_y, double radius,
                    int direction, pokarr& array, int& status)
{
    if (!dimension_taken(array, 2, 4, "[pokarr_add_arc] ARCS NOT SUPPORTED FOR 1D ARRAYS", status)) return;
    const double h = z != nullptr ? *z : 0.0;
    const entry_values record[kArcRecordEntries] = {
        {kArcMarker, 0.0, h, nullptr},
        {radius, static_cast<double>(direction), h, nullptr},
        {centre_x, centre_y, h, nullptr},
        {end_x, end_y, h, nullptr},
    };
    append_entries(array, record, kArcRecordEntries, status);
}

void pokarr_add_arcpart(double centre_x, double centre_y, const double* z, double radius, int direction, pokarr& array,
                        int& status)
{
    if (!dimension_taken(array, 2, 4, "[pokarr_add_arcpart] ARCS NOT SUPPORTED FOR 1D ARRAYS", status)) return;
    const double h = z != nullptr ? *z : 0.0;
    const entry_values record[3] = {
        {kArcMarker, 0.0, h, nullptr},
        {radius, static_cast<double>(direction), h, nullptr},
        {centre_x, centre_y, h, nullptr},
    };
    append_entries(array, record, 3, status);
}
