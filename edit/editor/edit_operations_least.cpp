// The manual editor's operations in their least form (see the header).
#include "edit/editor/edit_operations_least.hpp"

#include "host/vantu_messages.hpp"
#include "listing/status_line.hpp"
#include "toolpath/nc_state_blocks.hpp"
#include "toolpath/tp_sublist.hpp"

namespace {
constexpr int kStatusWindow = 2;
}  // namespace

void EDTDLT(int, int, int& changed, int& layer_changed, int& status)
{
    changed = 0;
    layer_changed = 0;
    status = 0;
}

void EDTTRM(int, int& changed, int& layer_changed, int& status)
{
    changed = 0;
    layer_changed = 0;
    status = 0;
}

void EDTPRM(int& changed, int& status)
{
    changed = 0;
    status = 0;
}

void mnedup(int /*window_update*/, int& sublist_opened, int& status)
{
    status = 0;
    if (sublist_opened) {
        tp_sublist_close(status);
        sublist_opened = 0;
        if (status < 0) {
            eroutc("[mnedup, ]ERRORS IN UPDATE AFTER MANUAL EDIT", 0);
            status = -1;
            return;
        }
    }
    DSM4().at(modal_values::kCutterComp) = 0;
    status_show_tool(kStatusWindow);
    status = 0;
}
