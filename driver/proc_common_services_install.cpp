// Fills the table of the driver's procedure services that the listing calls when the module is
// loaded.
#include "driver/nc_state_store.hpp"
#include "driver/proc_common.hpp"
#include "listing/proc_common_services.hpp"

namespace {

[[maybe_unused]] const bool installed = [] {
    proc_common_service_table() = {updtcm, CURCOM, GETPOS, tool_inst_show, save_state_eda2};
    return true;
}();

}  // namespace
