// Control view of the procedure-dialog services (host/vantu_proc_dialogs.hpp).
#pragma once

namespace vantu::control {

// The key block the next display pick meets: the block number of its procedure block (0: none),
// its level and its own block number.
void set_picked_key_block(int procedure_block, int level, int block_number);

}  // namespace vantu::control
