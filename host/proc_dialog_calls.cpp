// The procedure-dialog services (host/vantu_proc_dialogs.hpp): recorded, with the picked key block
// that a test sets. Session state, not saved in the part.
#include "host/vantu_proc_dialogs.hpp"

#include "host/control/proc_dialogs.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <string>

namespace {

struct picked_key_block {
    int entity = 0, level = 0, block_number = 0;
};

picked_key_block& picked()
{
    static picked_key_block p;
    return p;
}

void reset_state() { picked() = picked_key_block{}; }

const bool registered = vantu::register_component({"proc_dialogs", reset_state, nullptr, nullptr, nullptr});

}  // namespace

namespace vantu::control {
void set_picked_key_block(int entity, int level, int block_number) { picked() = {entity, level, block_number}; }
}  // namespace vantu::control

void table_minmax_error_check_msg(int mode) { vantu::trace_call("table_minmax_error_check_msg", std::to_string(mode), 0); }
void partbox_not_calculated_msg(int mode) { vantu::trace_call("partbox_not_calculated_msg", std::to_string(mode), 0); }
void nu_parm_write_mch_title() { vantu::trace_call("nu_parm_write_mch_title", "", 0); }

void orgchn(int& status)
{
    status = 0;
    if (const auto fault = vantu::fault_hit("orgchn")) status = *fault;
    vantu::trace_call("orgchn", "", status);
}

void ncd_get_picked(int& procedure_block, int& level, int& block_number, int& status)
{
    const picked_key_block& p = picked();
    status = p.entity > 0 ? 0 : -1;
    if (status == 0) {
        procedure_block = p.entity;
        level = p.level;
        block_number = p.block_number;
    }
    vantu::trace_call("ncd_get_picked", std::to_string(p.entity), status);
}

void slpopb() { vantu::trace_call("slpopb", "", 0); }

void ncd_mark_attention(int procedure, int first_block, int count, int on)
{
    vantu::trace_call("ncd_mark_attention",
                      std::to_string(procedure) + "," + std::to_string(first_block) + "," + std::to_string(count), on);
}
