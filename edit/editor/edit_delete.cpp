// The editor's two deletions: DELETE (EDTDLT, from the anchor to the cursor) and DELETE TO END
// (EDTTRM). Both hand the range to DLTBLK, which asks, deletes and closes the gap; a cancel
// leaves the tool path and the cursor as they were. Use list marker 7.
#include "edit/editor/edit_operations.hpp"

#include "edit/editor/block_delete.hpp"
#include "edit/editor/cursor_moves.hpp"
#include "edit/editor/cursor_routines.hpp"
#include "host/vantu_list.hpp"
#include "toolpath/motion_end_points.hpp"

namespace {

constexpr int kDeleteMarker = 7;
constexpr int kNoBlock = -1;
constexpr int kCancelled = -2, kAnsweredCancel = -1;

bool cancelled(int status) { return status == kCancelled || status == kAnsweredCancel; }

void mark_start()
{
    int answer = 0;
    lmark(1, kDeleteMarker, answer);
}

void back_to_start()
{
    int status = 0;
    tp_list_top_mark(kDeleteMarker, status);
}

// The flags of an operation that changed nothing.
void nothing_changed(int& changed, int& layer)
{
    changed = 0;
    layer = 0;
}

}  // namespace

void EDTDLT(const blk_path& anchor, blk_path& current, int& type, int& changed, int& layer, int& status)
{
    nothing_changed(changed, layer);
    status = 0;
    if (!anchor.names_block() || !current.names_block() || anchor.block() == current.block()) return;
    mark_start();
    blk_path result = anchor;
    const int mode = list_cursor().cursor_fn_code == kDrillFunction ? kDeleteNoConnect : kDeleteRange;
    DLTBLK(mode, 0, result, type, anchor, current, changed, layer, status);
    if (cancelled(status)) {
        back_to_start();
        nothing_changed(changed, layer);
        status = 0;
        return;
    }
    current = result;
}

void EDTTRM(blk_path& current, int& type, int& changed, int& layer, int& status)
{
    nothing_changed(changed, layer);
    status = 0;
    if (!current.names_block()) return;
    mark_start();
    const blk_path start = current;
    int last = kNoBlock;
    JPENDP(last, type, status);
    if (status < 0) return;
    if (last != kNoBlock && last != start.block()) {
        blk_path end = start;
        end.set(start.procedure(), last);
        DLTBLK(kDeleteToEnd, 0, current, type, start, end, changed, layer, status);
        if (!cancelled(status)) return;
        nothing_changed(changed, layer);
    }
    // Nothing deleted: the cursor jumps back to the block it started from.
    list_cursor_state& c = list_cursor();
    const int dir = c.cursor_dir, kind = c.cursor_jump_kind;
    c.cursor_dir = kDirJump;
    c.cursor_jump_kind = kJumpBlock;
    current = start;
    edit_move_cursor(start.block(), kNoBlock, kEditMoveTool, current, type, kNoDelay, kNoHeight, status);
    c.cursor_dir = dir;
    c.cursor_jump_kind = kind;
}
