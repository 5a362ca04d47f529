// The entry of the surface pass engine: one pass chain copied into the pass point array, run
// through the pass loop, the last move handed to the motion output, the array closed.
#include "clearing/surface_passes/surface_pass_run.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/surface_services/surface_pass_state.hpp"
#include "host/vantu_memory.hpp"
#include "nc_services/prog_line.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/surface_query_seams.hpp"

#include <array>

namespace {

constexpr int kRecordFloats = 3;  // flag, X, Y
constexpr int kProgressDoneUp = 4;
// A chain longer than this is taken as broken (a cycle) and is refused.
constexpr int kChainMost = 1 << 24;

int chain_length(const clearing_point* head)
{
    int n = 0;
    for (const clearing_point* p = head; p != nullptr && n <= kChainMost; p = p->next) ++n;
    return n;
}

}  // namespace

int surface_pass_run(const clearing_point* pass_chain, int& pass_number)
{
    int status = 0;
    const int n = chain_length(pass_chain);
    if (n > kChainMost) return -1;
    float* points = nullptr;
    if (n > 0) {
        void* base = nullptr;
        MM_OPEN_ARRAY(kRecordFloats * static_cast<int>(sizeof(float)), n, surface_pass.point_array, base, status);
        if (status < 0) {
            surface_pass.point_array = -1;
            return -1;
        }
        points = static_cast<float*>(base);
        int i = 0;
        for (const clearing_point* p = pass_chain; p != nullptr; p = p->next, ++i) {
            points[3 * i] = p->code;
            points[3 * i + 1] = p->x;
            points[3 * i + 2] = p->y;
        }
    }
    point3 last_point{}, last_dir{};
    int count = -1;
    surface_pass_loop(kTouchPartSurfaces, points, kRecordFloats * n + 1, kRecordFloats * n - 5, pass_number,
                      last_point.data(), last_dir.data(), count, status);
    if (count >= 0) last_move_set(&last_point, &last_dir, &count);
    surface_pass_close();
    prog_count_set(kProgressDoneUp, 0);
    prog_percent(kActivityComputing);
    return status < 0 ? -1 : 0;
}

void surface_pass_close()
{
    int status = 0;
    if (surface_pass.point_array >= 0) MM_CLOSE(surface_pass.point_array, status);
    surface_pass.point_array = -1;
}
