// The tool-path block a display pick met (host/vantu_ncd_file.hpp): its address, and the address
// of a block some places before or after it in the display file. A test sets the picked block
// (control::set_picked_key_block), a script's pick step of a block does too.
#include "host/vantu_ncd_file.hpp"

#include "host/core/faults.hpp"
#include "host/core/ncd_state.hpp"
#include "host/core/trace.hpp"

#include <string>

namespace {

// The picked key block as an address; false when nothing was picked.
bool picked_address(ncd_address& path)
{
    const auto& [procedure_block, level, block] = vantu::ncd::state().picked;
    if (procedure_block <= 0) return false;
    path = {level, procedure_block, level >= 2 ? block : 0};
    return true;
}

}  // namespace

void ncd_get_picked(ncd_address& path, int& status)
{
    status = picked_address(path) ? 0 : -1;
    if (const auto fault = vantu::fault_hit("ncd_get_picked")) status = *fault;
    vantu::trace_call("ncd_get_picked", status == 0 ? vantu::ncd::address_text(path) : "", status);
}

void ncd_get_n_from_picked(int n, ncd_address& path, int& status)
{
    status = -1;
    ncd_address picked;
    if (picked_address(picked)) {
        const auto& blocks = vantu::ncd::state().blocks;
        if (const auto at = vantu::ncd::find_block(picked)) {
            const long place = static_cast<long>(*at) + n;
            if (place >= 0 && place < static_cast<long>(blocks.size())) {
                const auto& b = blocks[static_cast<std::size_t>(place)];
                path = {b.level, b.block1, b.block2};
                status = 0;
            }
        }
    }
    vantu::trace_call("ncd_get_n_from_picked", std::to_string(n), status);
}
