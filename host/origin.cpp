// The host's procedure origin: the common NC arguments it holds between gs_common_arguments
// calls, repos_proc, which moves their tool position, and the MACSYS frames of if_rotate_ucs.
// The frames belong to the part file; the held arguments to the session.
#include "host/vantu_origin.hpp"

#include "host/control.hpp"
#include "host/control/origin.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace {

constexpr int kRead = 1, kWrite = 2;

struct macsys_frame {
    std::array<float, 3> origin{};
    std::array<float, 9> matrix{};
};

struct origin_state {
    nc_common_arguments held;
    std::optional<std::array<float, 3>> reposition;
    std::map<int, macsys_frame> frames;
};

origin_state& state()
{
    static auto* s = new origin_state;
    return *s;
}

bool close(float a, float b) { return std::fabs(a - b) <= vantu::kRealTolerance; }

template <std::size_t N> bool all_close(const std::array<float, N>& a, const std::array<float, N>& b)
{
    for (std::size_t i = 0; i < N; ++i)
        if (!close(a[i], b[i])) return false;
    return true;
}

void reset_state() { state() = origin_state{}; }

void save_state(nlohmann::json& section)
{
    section = nlohmann::json::object();
    for (const auto& [id, f] : state().frames)
        section["macsys"].push_back({{"id", id}, {"origin", f.origin}, {"matrix", f.matrix}});
}

void load_state(const nlohmann::json& section)
{
    try {
        if (!section.contains("macsys")) return;
        for (const auto& f : section["macsys"]) {
            const int id = f.at("id").get<int>();
            if (id < 1) throw vantu::control::part_error("origin: MACSYS id " + std::to_string(id) + " is below 1");
            state().frames[id] = {f.at("origin").get<std::array<float, 3>>(),
                                  f.at("matrix").get<std::array<float, 9>>()};
        }
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("origin: ") + e.what());
    }
}

const bool origin_registered = vantu::register_component({"origin", reset_state, save_state, load_state, nullptr});

}  // namespace

void gs_common_arguments(int mode, nc_common_arguments& args)
{
    if (mode == kWrite)
        state().held = args;
    else if (mode == kRead)
        args = state().held;
    vantu::trace_call("gs_common_arguments", std::to_string(mode), 0);
}

int repos_proc(int mode, int flag, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("repos_proc"))
        status = *fault;
    else if (state().reposition)
        for (std::size_t i = 0; i < 3; ++i) state().held.position[i] = real_to_word((*state().reposition)[i]);
    vantu::trace_call("repos_proc", std::to_string(mode) + "," + std::to_string(flag), status);
    return status;
}

void curmac(int a, int b) { vantu::trace_call("curmac", std::to_string(a) + "," + std::to_string(b), 0); }

int if_rotate_ucs(int new_id, int old_id)
{
    const auto& frames = state().frames;
    const auto a = frames.find(new_id), b = frames.find(old_id);
    int rotation = 0;
    if (new_id != old_id && a != frames.end() && b != frames.end())
        rotation =
            all_close(a->second.origin, b->second.origin) && !all_close(a->second.matrix, b->second.matrix) ? 1 : 0;
    vantu::trace_call("if_rotate_ucs", std::to_string(new_id) + "," + std::to_string(old_id), rotation);
    return rotation;
}

namespace vantu::control {

void define_macsys(int id, const std::array<float, 3>& origin, const std::array<float, 9>& matrix)
{
    if (id >= 1) state().frames[id] = {origin, matrix};
}

void set_reposition(std::optional<std::array<float, 3>> position) { state().reposition = position; }

const nc_common_arguments& held_common_arguments() { return state().held; }

}  // namespace vantu::control
