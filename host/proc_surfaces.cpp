// The surface buffers of the procedure (part, check and second part surfaces): the ids a surface
// function's pick (nc_surf_set_ids) or a test sets and nc_surf_ids gives; nc_surf_init with mode 1 empties them
// (host/vantu_proc_run.hpp).
#include "host/control/trim_host.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_proc_run.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr int kBuffers = 3;
constexpr int kEmptyAll = 1;

std::array<std::vector<int>, kBuffers> buffers;

void reset_buffers() { buffers = {}; }

const bool registered = vantu::register_component({"procedure_surfaces", reset_buffers, nullptr, nullptr, nullptr});

}  // namespace

void nc_surf_init(int mode, int value)
{
    if (mode == kEmptyAll) reset_buffers();
    vantu::trace_call("nc_surf_init", std::to_string(mode) + "," + std::to_string(value), 0);
}

void nc_surf_ids(int buffer, int room, int* ids, int& count, int& status)
{
    count = 0;
    status = -1;
    if (buffer >= 0 && buffer < kBuffers) {
        const std::vector<int>& held = buffers[static_cast<std::size_t>(buffer)];
        count = static_cast<int>(held.size());
        status = count > room || (count > 0 && ids == nullptr) ? -2 : 0;
        if (status == 0) std::copy(held.begin(), held.end(), ids);
    }
    vantu::trace_call("nc_surf_ids", std::to_string(buffer), status);
}

void nc_surf_set_ids(int buffer, int count, const int* ids, int& status)
{
    status = -1;
    if (buffer >= 0 && buffer < kBuffers && count >= 0 && (count == 0 || ids != nullptr)) {
        buffers[static_cast<std::size_t>(buffer)].assign(ids, ids + count);
        status = 0;
    }
    vantu::trace_call("nc_surf_set_ids", std::to_string(buffer) + "," + std::to_string(count), status);
}

namespace vantu::control {

bool set_procedure_surfaces(int buffer, const std::vector<int>& ids)
{
    if (buffer < 0 || buffer >= kBuffers) return false;
    buffers[static_cast<std::size_t>(buffer)] = ids;
    return true;
}

}  // namespace vantu::control
