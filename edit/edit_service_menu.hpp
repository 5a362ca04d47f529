// The manual editor's SERVICE submenu: the block listing, go-motions, messages (add and edit) and
// the time estimate, each offered as far as the caller's rights permit; entries not offered keep
// their places as blank entries.
#pragma once

#include "edit/editor/list_cursor_state.hpp"
#include "edit/manedt.hpp"

// What the submenu's operations did.
struct service_result {
    int changed = 0;        // the last operation changed the tool path
    int layer_changed = 0;  // a change inside a LAYER bracket
    int modified = 0;       // any operation changed the tool path
    int mark_refresh = 0;   // the marks and the shown range must be worked out again
};

// Runs the submenu until it is left. current: the cursor's path (set again after EDIT.MESSAGE,
// which leaves the cursor on a motion block); block_type: the type under the cursor. Status 0, or
// the negative status of a failing operation.
void edit_service_menu(const edit_perm& perm, blk_path& current, int& block_type, service_result& result, int& status);
