// Control calls of the host's selection list and associativity table (host/vantu_selection.hpp).
// Both belong to the session: they are not saved in the part file.
#pragma once

#include <array>
#include <utility>
#include <vector>

namespace vantu::control {

struct selection_entry {
    int entity = 0;                // curve entity (slpsh3) or the edge's unique id (pickm_push)
    int kind = 0;                  // 0 a curve, 4 a solid edge
    std::array<float, 3> point{};  // the point pushed with a curve
};
const std::vector<selection_entry>& selection_list();

// (entry type, entity) pairs recorded by ncs_table_insert and not deleted since, in order.
const std::vector<std::pair<int, int>>& associations();

}  // namespace vantu::control
