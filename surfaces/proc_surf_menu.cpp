// The procedure's surface menu and the interrupted triangulation (see the header).
#include "surfaces/proc_surf_menu.hpp"

#include "host/vantu_interact.hpp"
#include "host/vantu_proc_run.hpp"
#include "surfaces/surface_select_least.hpp"
#include "surfaces/tri_store_least.hpp"

namespace {

constexpr int kTakePart = 1, kNone = 2;
constexpr int kLeft = -2;
constexpr int kStore = 2;

// The number of part surfaces the part holds in the procedure's part-surface buffer.
int part_surfaces()
{
    int count = 0, status = 0;
    nc_surf_ids(kSurfacePart, 0, nullptr, count, status);
    return count;
}

}  // namespace

void proc_surf_menu(int& changed, int& status)
{
    changed = 0;
    status = 0;
    int choice = 0;
    menuc("TAKE PART SURFACES@NO SURFACES", choice);
    if (choice != kTakePart && choice != kNone) {
        status = kLeft;
        return;
    }
    int before = 0;
    nc_surf_select_buf(kSurfaceCountGet, kSurfacePart, before, status);
    int count = choice == kTakePart ? part_surfaces() : 0;
    nc_surf_select_buf(kStore, kSurfacePart, count, status);
    changed = count != before ? 1 : 0;
}

void close_allsrf_arrays(int& status) { tri_model_release(status); }
