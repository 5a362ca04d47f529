// Attachment of an entity to the current tool path (assoc_to_cur_list). Least version until
// surface access is built.
#pragma once

void assoc_to_cur_list(int entity_id, int& status);
