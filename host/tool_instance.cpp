// Moves, deletion and XOR drawing of the tool instance (host/vantu_toolinst.hpp). Display state
// of the session, not saved in the part.
#include "host/vantu_toolinst.hpp"

#include "host/control/nc_state.hpp"
#include "host/control/tool_instance.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/words.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kQueryInstance = -1, kReleaseInstance = -2;
// A symbol instance entity holds the master id, nine matrix reals, then its position.
constexpr std::size_t kInstancePositionWord = 10;

struct instance_state {
    std::vector<vantu::control::instance_place> moves;
    int xor_mode = 0;
    bool hidden = false;  // nc_tool_disp_hide(0) until it shows the tool again
};

instance_state& state()
{
    static auto* s = new instance_state;
    return *s;
}

void reset_state() { state() = instance_state{}; }

const bool tool_instance_registered =
    vantu::register_component({"tool_instance", reset_state, nullptr, nullptr, nullptr});

}  // namespace

void figmvx(int instance, const float* matrix, const float* origin, float scale, int mode, int& status)
{
    status = 0;
    if (!matrix || !origin)
        status = -1;
    else if (!vantu::find_entity(instance))
        status = kEntityMissing;
    else {
        vantu::control::instance_place p{instance, {origin[0], origin[1], origin[2]}, {}, mode};
        std::copy(matrix, matrix + 9, p.matrix.begin());
        state().moves.push_back(p);
    }
    (void)scale;
    char text[96];
    std::snprintf(text, sizeof text, "%d %.4f %.4f %.4f mode %d", instance, origin ? origin[0] : 0.0f,
                  origin ? origin[1] : 0.0f, origin ? origin[2] : 0.0f, mode);
    vantu::trace_call("figmvx", text, status);
}

void tm_inst_delete()
{
    const int instance = tm_inst_id(kQueryInstance);
    int status = 0;
    if (instance > 0) edelet(instance, status);
    tm_inst_id(kReleaseInstance);
    vantu::trace_call("tm_inst_delete", std::to_string(instance), status);
}

void EnableNCToolXOR(int mode)
{
    state().xor_mode = mode;
    vantu::trace_call("EnableNCToolXOR", std::to_string(mode), 0);
}

void DisableNCToolXOR()
{
    state().xor_mode = 0;
    vantu::trace_call("DisableNCToolXOR", "", 0);
}

int get_win_mode()
{
    const int mode = vantu::flag_get("win_mode");
    vantu::trace_call("get_win_mode", "", mode);
    return mode;
}

void EnableHideTool() { vantu::trace_call("EnableHideTool", "", 0); }

void nc_tool_disp_hide(int show)
{
    state().hidden = show == 0;
    vantu::trace_call("nc_tool_disp_hide", std::to_string(show), 0);
}

namespace vantu::control {

const std::vector<instance_place>& instance_moves() { return state().moves; }

std::optional<std::array<float, 3>> tool_instance_position()
{
    const int instance = tool_instance();
    if (instance <= 0) return std::nullopt;
    for (auto it = state().moves.rbegin(); it != state().moves.rend(); ++it)
        if (it->instance == instance && it->mode != 0) return it->origin;
    const vantu::entity* e = vantu::find_entity(instance);
    if (!e || e->words.size() < kInstancePositionWord + 3) return std::nullopt;
    return std::array<float, 3>{word_to_real(e->words[kInstancePositionWord]),
                                word_to_real(e->words[kInstancePositionWord + 1]),
                                word_to_real(e->words[kInstancePositionWord + 2])};
}

int tool_xor_mode() { return state().xor_mode; }
bool tool_hidden() { return state().hidden; }

}  // namespace vantu::control
