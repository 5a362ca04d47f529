// Host services around the procedure dialogs of the NC library: the warnings the top menu clears,
// the machine title of a modal page, the change of origin, and the key block picked on the
// display (the target selection takes a procedure from it).
#pragma once

// Mode 2 clears the host's warnings on the machine-table limits and on a part box not calculated.
void table_minmax_error_check_msg(int mode);
void partbox_not_calculated_msg(int mode);
// Writes the machine title of the page while the host's modal flag is set.
void nu_parm_write_mch_title();
// The host's change-of-origin dialog on the common NC arguments handed to it. Status 0.
void orgchn(int& status);
// The key block of the last display pick: the block number of its procedure block, its level (1
// the procedure block, 2 a block under it) and its own block number. Status 0; -1 when the pick
// met no key block. slpopb takes the pick off the selection list.
void ncd_get_picked(int& procedure_block, int& level, int& block_number, int& status);
void slpopb();
// Shows count blocks of the procedure from the first block in the attention colour (on 1), or
// back in their own colour (on 0).
void ncd_mark_attention(int procedure, int first_block, int count, int on);
