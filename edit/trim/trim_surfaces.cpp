// The trimming's reference surfaces (see the header).
#include "edit/trim/trim_surfaces.hpp"

#include "edit/trim/trim_cache.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_part_surfaces.hpp"
#include "host/vantu_proc_run.hpp"
#include "surfaces/allsrf_least.hpp"
#include "surfaces/proc_surf_menu.hpp"
#include "surfaces/surface_select_least.hpp"

#include <cmath>

namespace {

// The longest triangle edge of the trimming's model: no limit in practice, the surface
// tolerance alone decides the triangles.
constexpr float kLongestEdge = 9999.999f;
constexpr int kByTolerance = 1;

}  // namespace

trim_surface_words& trim_surfaces()
{
    static trim_surface_words words;
    return words;
}

void trim_surfaces_edit(int& status)
{
    int changed = 0;
    proc_surf_menu(changed, status);
    if (status < 0 || changed == 0) return;
    int count = 0;
    nc_surf_select_buf(kSurfaceCountGet, kSurfacePart, count, status);
    trim_surface_words& s = trim_surfaces();
    s.ids.assign(static_cast<std::size_t>(count), 0);
    s.normals.assign(static_cast<std::size_t>(count), 0);
    int held = 0;
    if (count > 0) nc_surf_ids(kSurfacePart, count, s.ids.data(), held, status);
    if (count > 0 && status >= 0) nc_surf_nrms(s.ids.data(), count, s.normals.data(), status);
    if (status < 0) {
        s.ids.clear();
        s.normals.clear();
    }
    status = 0;
    trim_words().retriangulate = 1;
}

void trim_surfaces_triangulate(int& status)
{
    status = 0;
    trim_state& w = trim_words();
    trim_surface_words& s = trim_surfaces();
    if (w.retriangulate == 0 && s.triangulated_tolerance == w.ref_srf_tol) {
        trim_cache_restore();
        return;
    }
    // The model of slot 0 is freed once, and the global handles forgotten, before allsrf builds
    // a new one over them.
    trim_cache_reset();
    node_handles_reset();
    uitr_set(1);
    s.triangulating = 1;
    const int count = static_cast<int>(s.ids.size());
    const int kinds[2] = {1, 2};
    allsrf(1, count, s.ids.data(), s.normals.data(), 0, nullptr, nullptr, kByTolerance, w.ref_srf_tol, kLongestEdge, 0,
           kinds, status);
    s.triangulating = 0;
    if (status == 0) {
        trim_cache_save();
        s.triangulated_tolerance = w.ref_srf_tol;
        w.retriangulate = 0;
    }
    uitr_set(0);
}

void trim_surfaces_release()
{
    trim_surface_words& s = trim_surfaces();
    s.ids.clear();
    s.normals.clear();
    s.triangulated_tolerance = -1.0f;
    trim_cache_reset();
    node_handles_reset();
}
