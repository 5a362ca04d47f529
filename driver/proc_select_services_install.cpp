// Fills the procedure choice table of the message dialogs when the module is loaded.
#include "driver/mch_slot_init.hpp"
#include "driver/target_proc_select.hpp"
#include "toolpath/proc_select_services.hpp"

namespace {

[[maybe_unused]] const bool installed = [] {
    proc_select_service_table() = {target_proc_select, NXTCNT};
    return true;
}();

}  // namespace
