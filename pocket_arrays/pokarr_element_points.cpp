// The point at a parameter of an element of a pocket array, and the z and normal at a point of an
// element. The nearest-point searches and the loop removal place points on elements with these.
#include "pocket_arrays/pk_element.hpp"

#include "pocket_arrays/segment_interpolate.hpp"

namespace {

// Entry i as a point of three doubles (z 0.0 without a z block) and its normal.
void read_entry(const pokarr& a, int i, double* point, double* normal)
{
    for (int k = 0; k < 3; ++k) {
        point[k] = pokarr_coordinate(a, i, k);
        normal[k] = pokarr_normal(a, i)[k];
    }
}

// A trailing incomplete arc record: an index in it is pulled back towards its marker, each test
// on the index as adjusted so far.
int pull_back_over_record(const pokarr& a, int index)
{
    if (pk_is_marker(a.x[index - 1])) index -= 1;
    if (index >= 2 && pk_is_marker(a.x[index - 2])) index -= 2;
    if (index >= 3 && pk_is_marker(a.x[index - 3])) index -= 3;
    return index;
}

}  // namespace

void pokarr_pnt_at_param(const pokarr& array, int& index, double t, double* point)
{
    const bool with_z = array.dimension >= 3 && array.z != nullptr;
    if (array.count < 2 || array.dimension < 2) {
        if (array.count >= 1) {
            point[0] = array.x[0];
            point[1] = array.y != nullptr ? array.y[0] : 0.0;
            if (with_z) point[2] = array.z[0];
        }
        return;
    }
    if (index < 1) index = 1;
    if (index > array.count - 1) index = array.count - 1;
    if (array.dimension == 2 && index >= 5) index = pull_back_over_record(array, index);
    const int start = index - 1;
    const bool arc = pk_is_marker(array.x[index]) && index + 3 < array.count;
    if (arc) {
        arc_pnt_by_vector(array.x[index + 1], pk_arc_direction(array.y[index + 1]), array.x[index + 2],
                          array.y[index + 2], array.x[start], array.y[start], array.x[index + 3], array.y[index + 3], t,
                          point[0], point[1]);
        if (with_z) point[2] = array.z[index + 2];
        return;
    }
    if (pk_is_marker(array.x[index])) {
        // An arc record cut short has no end to move towards: its start stands for it.
        point[0] = array.x[start];
        point[1] = array.y[start];
        if (with_z) point[2] = array.z[start];
        return;
    }
    seg_pnt_at_param(array.x[start], array.y[start], array.x[index], array.y[index], t, point[0], point[1]);
    if (!with_z) return;
    double normal[3];
    int flag = 0;
    pokarr_elem_ends(array, index, point, normal, flag);
}

void pokarr_elem_ends(const pokarr& array, int index, double* point, double* normal, int& flag)
{
    flag = 1;
    if (array.count < 2 || index < 1 || index > array.count - 1 || array.dimension < 2) {
        point[2] = 0.0;
        for (int k = 0; k < 3; ++k) normal[k] = kDefaultNormal[k];
        return;
    }
    int end = pk_is_marker(array.x[index]) ? index + 3 : index;
    if (end > array.count - 1) end = 1;
    double a[3], b[3], normal_a[3], normal_b[3];
    read_entry(array, index - 1, a, normal_a);
    read_entry(array, end, b, normal_b);
    segment_interpolate_d(a, b, normal_a, normal_b, point, point[2], normal, flag);
}
