// Orientation of the prepared pocket contours: each contour's points in the contour point array
// (arc records included) give its signed area; a clockwise contour has its offset value negated.
// contour_offsets_signed calls it before it signs the per-contour offsets.
#include "pocket/contour_orientation.hpp"

#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokmain.hpp"

namespace {

// Contour k's entries as a 2-D pocket array (relative points); status -1 when it has none.
void contour_array(int k, pokarr& array, int& status)
{
    const pkcont_tables& t = pkcont_tables_block;
    const int first = t.first[k], end = t.first[k + 1];
    if (first < 1 || end <= first) {
        status = -1;
        return;
    }
    for (int i = first; i < end && status == 0; ++i) {
        double point[2];
        pokmain_get_cpt(i - 1, point[0], point[1]);
        pokarr_add_pnt(point, array, status);
    }
}

}  // namespace

void orient_contours(int count, float* values, int* orientation, int& status)
{
    status = 0;
    if (count < 1 || count > pkcont_tables_block.count || values == nullptr || orientation == nullptr) {
        status = -1;
        return;
    }
    for (int k = 1; k <= count && status == 0; ++k) {
        pokarr work;
        pokarr_init(2, work);
        contour_array(k, work, status);
        if (status == 0) {
            pokarr_area(work);
            if (work.area == 0.0) status = -1;  // no area: the orientation is undecided
        }
        if (status == 0) {
            orientation[k - 1] = work.direction == 1 ? 1 : -1;
            if (orientation[k - 1] != 1) values[k - 1] = -values[k - 1];
        }
        pokarr_free(work);
    }
}
