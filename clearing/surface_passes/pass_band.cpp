// Strings of one hatch segment recorded in the pass buffer and clipped to the Z band.
#include "clearing/surface_passes/pass_band.hpp"

#include "clearing/surface_passes/band_clip.hpp"
#include "pocket/pasbuf.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <numeric>

namespace {

// Records the block as one pass of the type; a block without strings is a pass of one empty
// string.
void record_pass(int pass_type, float* points, int string_count, int* point_counts, int& status)
{
    int type = pass_type;
    int empty_count = 0;
    int strings = string_count > 0 ? string_count : 1;
    pasbuf_pass(kPasbufPut, 0, string_count > 0 ? point_counts : &empty_count, strings, type, points, nullptr, status);
}

}  // namespace

void segment_pass_band(int context, int restart, int band_flag, float upper_z, float lower, const float* a,
                       const float* b, float tol, float stock, float check_stock, int capacity, int max_strings,
                       int pass_type, float* points, float* normals, int& string_count, int* point_counts, int& total,
                       int& status)
{
    status = 0;
    int net_status = kTouchDone;
    if (restart != 0) {
        if (capacity < 3 || max_strings < 1) {
            status = -1;
            return;
        }
        for (int k = 0; k < 3; ++k) points[k] = a[k];
        string_count = 1;
        point_counts[0] = total = 1;
    } else {
        surface_query_table().linnet_touch_point(context, kTouchAllPoints, a, b, tol, stock, check_stock, capacity / 3,
                                                 points, normals, nullptr, string_count, max_strings, point_counts,
                                                 total, net_status);
        if (net_status < 0) {
            status = net_status;
            return;
        }
    }
    record_pass(pass_type, points, string_count, point_counts, status);
    if (status < 0) return;
    if (net_status == kTouchOpen) {
        pasbuf_new_string(status);
        if (status < 0) return;
    }
    if (restart != 0) {
        string_count = total = 0;
        status = 0;
    } else {
        UPDTPS(tol, band_flag != 0 ? lower : upper_z, lower, capacity, points, normals, string_count, max_strings,
               point_counts, status);
        if (status < 0) return;
        total = std::accumulate(point_counts, point_counts + string_count, 0);
    }
    int passes = 0, pass_status = 0;
    pasbuf_npass(kPasbufGet, passes, pass_status);
    if (pass_status >= 0) {
        ++passes;
        pasbuf_npass(kPasbufPut, passes, pass_status);
    }
    if (pass_status < 0) status = pass_status;
}
