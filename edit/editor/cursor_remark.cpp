// edit_msg_remark: the cursor put back on a motion block after the message editor walked the list
// (see cursor_routines.hpp).
#include "edit/editor/cursor_list.hpp"
#include "edit/editor/cursor_routines.hpp"
#include "host/vantu_ncd_file.hpp"
#include "nc_services/nc_state_blocks.hpp"

namespace {
constexpr int kToolDisplayMode = 0;
}  // namespace

void edit_msg_remark(blk_path& path, int& type, int& status)
{
    TLER().at(tool_display_state::kMode) = kToolDisplayMode;
    cursor_block block;
    cursor_read(block, status);
    if (status < 0) return;
    if (!block.motion()) return step_cursor_mark(kDirBackward, path, type, status);
    int number = -1;
    cursor_number(number, status);
    if (status < 0) return;
    path.set(list_cursor().cursor_proc_blkno, number);
    type = block.type;
    ncd_set_blocks_attention(kCurrentDisplayFile, path.address(), path.address(), 1);
    status = 0;
}
