// Touch strings of a hatch segment, laid in the hatch direction.
#include "clearing/surface_passes/touch_strings.hpp"

#include "clearing/surface_passes/hatch_direction.hpp"
#include "clearing/surface_services/pass_store.hpp"
#include "host/vantu.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <cmath>

namespace {

// Line-net modes: every point when the passes are stored, the touch-point mode
// otherwise, and the fitting mode while the motion output fits splines.
constexpr int kNetStoring = 3, kNetPlain = 1, kNetFitting = 4;
constexpr int kStoreWordOn = 1;
// PRM9's motion form that fits the motions with splines.
constexpr int kFittedSplines = 1;

int net_mode(int store_word, int pass_number)
{
    if (PRM9().words[machine_params::kMotionForm] == kFittedSplines) return kNetFitting;
    return store_word == kStoreWordOn && pass_number >= 0 ? kNetStoring : kNetPlain;
}

}  // namespace

void segment_touch_strings(int context, int store_word, const float* a, const float* b, float tol, float stock,
                           float check_stock, int capacity, int max_strings, int pass_number, float hatch_angle,
                           int grid_only, float* points, float* normals, float* values, int& string_count,
                           int* point_counts, int& total_out, int& status)
{
    const bool exchanged = against_hatch(a, b, hatch_angle);
    surface_query_table().linnet_touch_point(context, net_mode(store_word, pass_number), exchanged ? b : a,
                                             exchanged ? a : b, tol, stock, check_stock, capacity / 3, points, normals,
                                             values, string_count, max_strings, point_counts, total_out, status);
    if (status < 0) return;
    if (exchanged) {
        revdim(points, 3, total_out);
        if (normals != nullptr) revdim(normals, 3, total_out);
        if (values != nullptr) revdim(values, 1, total_out);
        revi(point_counts, string_count);
    }
    if (store_word != kStoreWordOn || pass_number < 0) return;
    int store_status = 0;
    storps(tol, pass_number, points, normals, string_count, point_counts, total_out, grid_only, store_status);
    if (store_status < 0) status = store_status;
}
