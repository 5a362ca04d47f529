// allsrf, least version (see the header).
#include "surfaces/allsrf_least.hpp"

#include "host/vantu_messages.hpp"
#include "surfaces/part_surface_sources_least.hpp"
#include "surfaces/tri_model_sources_least.hpp"
#include "surfaces/tri_store_least.hpp"

namespace {

constexpr int kFailed = -1;

bool fail(const char* text, int& status)
{
    eroutc(text, 0);
    status = kFailed;
    return false;
}

bool append_list(int count, const int* ids, tri_mesh& mesh, int& status)
{
    for (int k = 0; k < count && ids != nullptr; ++k) {
        part_surface_mesh_append(ids[k], mesh, status);
        if (status != 0) {
            erou1c("allsrf, NO PART SURFACE", ids[k]);
            status = kFailed;
            return false;
        }
    }
    return true;
}

}  // namespace

void allsrf(int /*reset*/, int count1, const int* ids1, const int* /*aux1*/, int count2, const int* ids2,
            const int* /*aux2*/, int mode, float tolerance, float longest_edge, int /*zero*/, const int (&/*kinds*/)[2],
            int& status)
{
    status = 0;
    if (mode < kApproxFirst || mode > kApproxLast) {
        fail("[allsrf] WRONG APPROXIMATION MODE", status);
        return;
    }
    if (!(tolerance > 0.0f) || !(longest_edge > 0.0f)) {
        fail("[allsrf] WRONG APPROXIMATION LENGTH", status);
        return;
    }
    tri_mesh mesh;
    if (!append_list(count1, ids1, mesh, status) || !append_list(count2, ids2, mesh, status)) return;
    tri_model_from_mesh(mesh, status);
    if (status == 0) tri_model_lane_tolerance_set(kDataSurfaceLaneTolerance);
}

void reset_allsrf_handles() { tri_model_module_reset(); }
