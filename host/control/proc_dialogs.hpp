// Control view of the procedure-dialog services (host/vantu_proc_dialogs.hpp).
#pragma once

namespace vantu::control {

// The key block the next display pick meets (entity 0: none).
void set_picked_key_block(int entity, int level, int block_number);

}  // namespace vantu::control
