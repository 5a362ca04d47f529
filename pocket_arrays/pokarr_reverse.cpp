// Reversal of pocket arrays and plain point lists with their arc records kept valid. The cutting
// order reverses island lanes; the lane engine reverses loops to the wanted direction.
#include "pocket_arrays/pk_element.hpp"

#include "pocket_arrays/pokarr_convert.hpp"

#include <utility>

// Turns each arc record so that, once the entries are read backwards, it again reads marker,
// radius with direction, centre, end: marker and centre change places and the direction flips.
static void turn_arc_records(pokarr& array)
{
    if (array.count < 5) return;
    for (int m = 0; m <= array.count - 4;) {
        if (!pk_is_marker(array.x[m])) {
            ++m;
            continue;
        }
        std::swap(array.x[m], array.x[m + 2]);
        std::swap(array.y[m], array.y[m + 2]);
        array.y[m + 1] = -array.y[m + 1];
        m += kArcRecordEntries;
    }
}

void pokarr_reverse(pokarr& array)
{
    if (array.dimension < 2 || array.dimension > 4 || array.count <= 0) return;
    turn_arc_records(array);
    const int last = array.count - 1;
    for (int i = 0; i < array.count / 2; ++i) {
        std::swap(array.x[i], array.x[last - i]);
        std::swap(array.y[i], array.y[last - i]);
        if (array.z != nullptr) std::swap(array.z[i], array.z[last - i]);
        if (array.n != nullptr)
            for (int k = 0; k < 3; ++k) std::swap(array.n[3L * i + k], array.n[3L * (last - i) + k]);
    }
    array.direction = -array.direction;
}

int xy_reverse(double* x, double* y, int count)
{
    pokarr view;
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, count, count, view, status);
    if (status == 0) pokarr_reverse(view);
    return count;
}

// The failure code of records_reverse for any step that fails.
constexpr int kRecordsFailed = 11;

void records_reverse(int mode, double* records, int count, int& status)
{
    status = 0;
    if (mode < 2 || mode > 4 || count < 0 || (records == nullptr && count > 0)) {
        status = kRecordsFailed;
        return;
    }
    // In mode 4 the normal records follow the point records in the same list.
    double* normals = mode == 4 ? records + 3L * count : nullptr;
    pokarr work;
    pokarr_init(mode, work);
    int step = 0;
    pokarr_from_records(mode, records, normals, count, work, step);
    if (step == 0) {
        pokarr_reverse(work);
        int written = 0;
        pokarr_to_records(mode, records, normals, count, written, work, step);
    }
    pokarr_free(work);
    if (step != 0) status = kRecordsFailed;
}
