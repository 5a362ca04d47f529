// The simulation slots, the verification option and the execution alert (host/vantu_sim.hpp).
#include "host/vantu_sim.hpp"

#include "host/control/proc_run.hpp"
#include "host/core/component.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <string>
#include <vector>

namespace {

std::vector<vantu::control::sim_call>& calls()
{
    static auto* c = new std::vector<vantu::control::sim_call>;
    return *c;
}

void reset_calls() { calls().clear(); }

const bool sim_calls_registered = vantu::register_component({"simulation", reset_calls, nullptr, nullptr, nullptr});

void note(const char* call, int mode, int value)
{
    calls().push_back({call, mode, value});
    vantu::trace_call(call, std::to_string(mode) + "," + std::to_string(value), 0);
}

}  // namespace

void sim_get_set(int mode, int& stock) { note("sim_get_set", mode, stock); }
void sim_work_on(int mode, int index) { note("sim_work_on", mode, index); }
void sim_invalidate(int colour) { note("sim_invalidate", 0, colour); }
void sim_validate(int index) { note("sim_validate", 0, index); }

void get_set_vrf_opt(int mode, int& option)
{
    if (mode == 1)
        option = vantu::flag_get("verify_option");
    else if (mode == 2)
        vantu::flag_set("verify_option", option);
    vantu::trace_call("get_set_vrf_opt", std::to_string(mode), option);
}

void set_alerr_off()
{
    vantu::flag_set("alert", 0);
    vantu::trace_call("set_alerr_off", "", 0);
}

int if_was_alerr()
{
    const int alert = vantu::flag_get("alert");
    vantu::trace_call("if_was_alerr", "", alert);
    return alert;
}

int sim_slot_state(int index)
{
    vantu::trace_call("sim_slot_state", std::to_string(index), 0);
    return 0;
}

void recalculate_partbox() { vantu::trace_call("recalculate_partbox", "", 0); }

namespace vantu::control {
const std::vector<sim_call>& sim_calls() { return calls(); }
}  // namespace vantu::control
