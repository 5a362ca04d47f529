// Control view of the association records (host/vantu_assoc_records.hpp).
#pragma once

#include "host/vantu_assoc_records.hpp"

#include <vector>

namespace vantu::control {

void set_assoc_steps(const std::vector<assoc_step>& steps);
void set_entity_edited(int entity, bool edited);
void set_entity_changed(int entity, bool changed);
void set_procedure_block(int procedure_id, int block_number);

struct assoc_node {
    int id = 0, parent = 0, kind = 0, value = 0;
};
// The nodes of the association tree (empty without a tree).
const std::vector<assoc_node>& assoc_tree();

}  // namespace vantu::control
