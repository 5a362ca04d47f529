// Attachment of an entity to the current tool path (assoc_to_cur_list): the machine-slot writer
// attaches the current tool to the procedure whose sub-list is open.
#pragma once

// Attaches the entity with code -1 to the first tool-path list recorded in the sub-list stack
// (the procedure block of level 1, BLSK word 1). The status is always 0.
void assoc_to_cur_list(int entity_id, int& status);
