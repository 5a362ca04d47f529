// Control view of the host's NC database of procedures (host/vantu_procrec.hpp) for the tests
// and the runner: procedure and parameter records made and read back, and the NC entity table.
#pragma once

#include "host/vantu_procrec.hpp"

#include <optional>
#include <utility>
#include <vector>

namespace vantu::control {

// The entries of the NC entity table as (id, kind), ascending.
std::vector<std::pair<int, int>> nc_entity_table();
// A new procedure record; answers its id.
int add_proc_record(const nc_proc_record& record);
std::optional<nc_proc_record> proc_record(int id);
// A new machine-parameter (type 5) or local-parameter (type 6) record of the words; its id.
int add_param_record(int type, const std::vector<word>& words);
std::optional<std::vector<word>> param_record_words(int type, int id);

}  // namespace vantu::control
