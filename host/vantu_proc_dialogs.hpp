// Host services around the procedure dialogs of the NC library: the warnings the top menu clears,
// the machine title of a modal page, the change of origin, and the attention marks of the target
// selection.
#pragma once

// Mode 2 clears the host's warnings on the machine-table limits and on a part box not calculated.
void table_minmax_error_check_msg(int mode);
void partbox_not_calculated_msg(int mode);
// Writes the machine title of the page while the host's modal flag is set.
void nu_parm_write_mch_title();
// The host's change-of-origin dialog on the common NC arguments handed to it. Status 0.
void orgchn(int& status);
// Takes the last display pick off the selection list (ncd_get_picked of host/vantu_ncd_file.hpp
// still answers it).
void slpopb();
// Shows count display blocks from the first block of the procedure whose block number is
// first_block in the attention colour (on 1), or back in their own colour (on 0): the attention
// mark of ncd_set_blocks_attention. The procedure number is recorded only.
void ncd_mark_attention(int procedure, int first_block, int count, int on);
