// mnedup: the update of the procedure block after a manual edit, once the editor closes the
// movement sub-list it opened: the changed and layer marks of the block, the tool put back where
// the procedure starts from, and the first and last points of the motions as they now are.
#include "edit/editor/edit_operations.hpp"

#include "host/vantu_mdata.hpp"
#include "host/vantu_messages.hpp"
#include "listing/status_line.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kProcedureGroup = 24, kChangedItem = 21, kLayerItem = 22;
constexpr word kMarkedChanged = 2;
constexpr int kStatusWindow = 2;

void mark_item(int code, int& status)
{
    TPCHNN(kWhereList, kProcedureGroup, code, kTypeInteger, &kMarkedChanged, 1, status);
}

// The list stands on the procedure block.
void update_procedure_block(int changed, int layer, int& status)
{
    if (changed) {
        mark_item(kChangedItem, status);
        const std::array<float, 6>& start = list_cursor().start_copy;
        DSP8().set_vec(tool_position_state::kPosition, {start[0], start[1], start[2]});
        DSP8().set_vec(tool_position_state::kAxis, {start[3], start[4], start[5]});
        if (status >= 0) ptub12_points(status);
    }
    if (layer && status >= 0) mark_item(kLayerItem, status);
}

}  // namespace

void mnedup(int& sublist_opened, int changed, int layer, int window_update, int& status)
{
    status = 0;
    if (sublist_opened) {
        tp_sublist_close(status);
        sublist_opened = 0;
        if (status >= 0) update_procedure_block(changed, layer, status);
        if (status < 0) {
            eroutc("[mnedup, ]ERRORS IN UPDATE AFTER MANUAL EDIT", 0);
            status = -1;
            return;
        }
    }
    DSM4().at(modal_values::kCutterComp) = 0;
    status_show_tool(kStatusWindow);
    if (window_update) updtwa(1);
    status = 0;
}
