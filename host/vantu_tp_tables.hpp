// The procedure tables of the part's tool paths, as a routine that visits the other tool paths
// loads them: the tool path whose tables are loaded, its procedure ids and the part's tool paths.
#pragma once

#include <vector>

// mode 2: loads the procedure tables of tool path tp_id; mode 3 (tp_id -1): back to those of the
// current tool path. (The form without arguments, in vantu_proc_run.hpp, brings the tool-path
// flags up to date.) Status 0; -5 when no tool path has the id (the loaded tables kept); -1 for
// another mode.
void update_tp_flags(int mode, int tp_id, int& status);
// The host procedure ids of the loaded tool path (the current one unless mode 2 loaded another),
// in their order. Status 0; -5 when that tool path has no entity (ids empty).
void get_tp_proc_ids(std::vector<int>& ids, int& status);
// The tool-path entities of the part, in the part's table order.
void get_part_tp_ids(std::vector<int>& ids);
