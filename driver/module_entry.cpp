// The attach entry and drelan. The NC-function-number and block-length cells are in static
// storage: the driver's table keeps pointing at them after drelan returns.
#include "driver/module_entry.hpp"

#include "driver/proc_driver.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/pocket_callbacks.hpp"

#include "host/vantu.hpp"
#include "host/vantu_output.hpp"

namespace {
int nc_function_cell;
int block_length_cell;
}  // namespace

void dll_start_init() { enaall(); }

extern "C" int drelan_attach(int reason)
{
    if (reason == kProcessAttach) {
        ofinit();
        dll_info_print(2);
        dll_start_init();
    }
    return 1;
}

extern "C" void drelan()
{
    block_length_cell = kDrelanParamsLength;
    nc_function_cell = kDrelanNcFunction;
    proc_driver(nc_function_cell, define_drelan, execute_drelan, param_put_drelan, geom_put_drelan, block_read_drelan,
                param_changed_drelan, param_init_drelan, contour_rec_drelan, display_hook_drelan, trns_add_drelan,
                ncs_dum_sud, kDrelanTypeCode, block_length_cell, drelan_params_current.words,
                drelan_params_previous.words);
}
