// The SERVICE submenu of the manual editor (see the header). Writes TLER after EDIT.MESSAGE.
#include "edit/edit_service_menu.hpp"

#include "edit/editor/cursor_routines.hpp"
#include "edit/editor/go_motions.hpp"
#include "edit/editor/list_utilities.hpp"
#include "edit/time/block_listing.hpp"
#include "edit/time/time_est_state.hpp"
#include "edit/time/time_estimate.hpp"
#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/pp_messages.hpp"

namespace {

enum service_line : int { kBlockList = 1, kAddGo, kAddMessage, kEditMessage, kEstimatedTime };
constexpr int kPickLayout = 4;
constexpr int kShowAgain = -3;
constexpr const char* kEstimateEntries = "ESTIMATED TIME>@PRINT TO SCREEN@PRINT TO FILE@PRINT TO FILE AND SCREEN";

int perm_word(const edit_perm& perm, int n) { return perm[static_cast<std::size_t>(n - 1)]; }

void entry(bool offer, const char* text, int& value)
{
    if (offer)
        modmc2(text, value, 0);
    else
        modumc(" ", 0);
}

void note_change(service_result& result)
{
    result.modified = 1;
    result.mark_refresh = 1;
}

void add_message(service_result& result, int& status)
{
    result.changed = 0;
    INSMSG(0, result.changed, status);
    if (status < 0 || !result.changed) return;
    int inside = 0;
    inside = CHKLYR(status);
    if (status < 0) return;
    result.layer_changed = inside;
    result.modified = 1;
}

// After the messages were edited the cursor stands on a motion block again, marked.
void edit_messages(blk_path& current, int& block_type, int& status)
{
    int count = 0;
    count_msg_blocks(count, status);
    if (status < 0) return;
    if (count == 0) {
        userrc("NO MESSAGES FOUND");
        return;
    }
    EDTMSG(status);
    if (status < 0) return;
    edit_msg_remark(current, block_type, status);
}

}  // namespace

void edit_service_menu(const edit_perm& perm, blk_path& current, int& block_type, service_result& result, int& status)
{
    status = 0;
    int mode = 0;
    begin_pick_mode(1, kPickLayout, mode, status);
    if (status < 0) return;
    const bool messages = perm_word(perm, 6) != 0;
    for (;;) {
        int line_value = 0, estimate = 1;
        modinz();
        entry(true, "BLOCK LIST", line_value);
        entry(perm_word(perm, 3) != 0, "ADD:GO", line_value);
        entry(messages, "ADD MESSAGE", line_value);
        entry(messages, "EDIT.MESSAGE", line_value);
        modmc2(kEstimateEntries, estimate, 0);
        for (int i = 0; i < 3; ++i) modumc(" ", 0);
        int choice = 0;
        modif1(choice);
        if (choice == kShowAgain) continue;
        if (choice == kBlockList) {
            BLKLST(status);
        } else if (choice == kAddGo && perm_word(perm, 3)) {
            int layer = 0;
            EDTGO(current, block_type, result.changed, layer, status);
            ncd_connect_toolpath(kCurrentDisplayFile);
            if (layer) result.layer_changed = 1;
            if (result.changed) note_change(result);
        } else if (choice == kAddMessage && messages) {
            add_message(result, status);
        } else if (choice == kEditMessage && messages) {
            edit_messages(current, block_type, status);
        } else if (choice == kEstimatedTime) {
            if (estimate >= 2) {
                set_estimate_mode(estimate - 1);
                time_estimate(1, 2, status);
            }
        } else {
            break;
        }
        if (status < 0) break;
        status = 0;  // an outcome such as the estimate's early end of the list is no failure
    }
    int ended = 0;
    pick_mode_prompt(0, ended);
}
