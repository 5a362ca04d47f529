// Thinning of a pocket array's points through the host (dladstd): the points go to the host as
// an interleaved list (and a normal list in dimension 4) in temporary flat arrays, and the kept
// points come back into the array or a destination.
#include "pocket_arrays/pokarr_convert.hpp"

#include "host/vantu_messages.hpp"
#include "host/vantu_vector.hpp"

#include <cstring>

namespace {

// The flat point list and normal list handed to the host, in two temporary dimension-1 arrays
// released on every path.
struct thinning_lists {
    pokarr points;
    pokarr normals;
    thinning_lists()
    {
        pokarr_init(1, points);
        pokarr_init(1, normals);
    }
    ~thinning_lists()
    {
        pokarr_free(points);
        pokarr_free(normals);
    }
    thinning_lists(const thinning_lists&) = delete;
    thinning_lists& operator=(const thinning_lists&) = delete;
};

// Fills the temporaries from the array: x, y (and z) per point, and the normals in dimension 4.
void fill_lists(const pokarr& array, int width, thinning_lists& lists, int& status)
{
    pokarr_reset(lists.points, width * array.count, status);
    if (status != 0) return;
    for (int i = 0; i < array.count; ++i)
        for (int k = 0; k < width; ++k)
            lists.points.x[static_cast<long>(width) * i + k] = pokarr_coordinate(array, i, k);
    lists.points.count = width * array.count;
    if (array.dimension != 4) return;
    pokarr_reset(lists.normals, 3 * array.count, status);
    if (status != 0) return;
    std::memcpy(lists.normals.x, array.n, sizeof(double) * 3 * array.count);
    lists.normals.count = 3 * array.count;
}

// Writes the m kept points (and normals) into the target, reset to m entries.
void write_kept(const thinning_lists& lists, int width, int m, pokarr& target, int& status)
{
    pokarr_reset(target, m, status);
    if (status != 0) return;
    for (int i = 0; i < m; ++i) {
        const double* p = lists.points.x + static_cast<long>(width) * i;
        target.x[i] = p[0];
        if (target.y != nullptr) target.y[i] = p[1];
        if (target.z != nullptr) target.z[i] = width == 3 ? p[2] : 0.0;
        if (target.n != nullptr) {
            const double* normal = lists.normals.count > 0 ? lists.normals.x + 3L * i : kDefaultNormal;
            for (int k = 0; k < 3; ++k) target.n[3L * i + k] = normal[k];
        }
    }
    target.count = m;
}

}  // namespace

void pokarr_dilul(pokarr& array, double tolerance, int mode, double extra, pokarr* destination, int& status)
{
    status = 0;
    if (array.dimension == 1) {
        eroutc("[pokarr_dilul] UNABLE TO DILUL A ONE DIMENSIONAL ARRAY", 0);
        status = -1;
        return;
    }
    const int width = array.dimension == 2 ? 2 : 3;
    thinning_lists lists;
    fill_lists(array, width, lists, status);
    if (status != 0) return;
    int kept = array.count;
    const bool with_normals = array.dimension == 4;
    dladstd(width, tolerance, mode, extra, lists.points.x, kept, with_normals ? lists.normals.x : nullptr,
            with_normals ? 24 : 0, status);
    if (status != 0) return;
    if (kept == array.count) {
        if (destination != nullptr) pokarr_copy(array, *destination, status);
        return;
    }
    write_kept(lists, width, kept, destination != nullptr ? *destination : array, status);
}
