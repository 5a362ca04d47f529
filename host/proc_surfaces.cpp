// The surface buffers of the procedure (part, check and second part surfaces): the ids a part,
// a surface function's pick (nc_surf_set_ids) or a test sets and nc_surf_ids gives; nc_surf_init
// with mode 1 empties them (host/vantu_proc_run.hpp). A part file may name them in the section
// "procedure_surfaces":
//   {"part": [20], "check": [], "second": []}      entity ids of each buffer, each list optional
// Saving writes the buffers that hold ids; a part whose buffers are all empty gets no section.
#include "host/control/trim_host.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_proc_run.hpp"

#include "host/control.hpp"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

constexpr int kBuffers = 3;
constexpr int kEmptyAll = 1;

std::array<std::vector<int>, kBuffers> buffers;

void reset_buffers() { buffers = {}; }

constexpr const char* kNames[kBuffers] = {"part", "check", "second"};

void save_buffers(nlohmann::json& section)
{
    for (std::size_t k = 0; k < kBuffers; ++k)
        if (!buffers[k].empty()) section[kNames[k]] = buffers[k];
}

void load_buffers(const nlohmann::json& section)
{
    try {
        for (std::size_t k = 0; k < kBuffers; ++k)
            if (section.contains(kNames[k])) buffers[k] = section.at(kNames[k]).get<std::vector<int>>();
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("procedure_surfaces: ") + e.what());
    }
}

const bool proc_surfaces_registered =
    vantu::register_component({"procedure_surfaces", reset_buffers, save_buffers, load_buffers, nullptr});

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
