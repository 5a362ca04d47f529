// assoc_to_cur_list, least version: attaches nothing yet; the status is always 0, as the full
// version's is. Surface access replaces this file.
#include "surfaces/assoc_to_cur_list_least.hpp"

void assoc_to_cur_list(int entity_id, int& status)
{
    (void)entity_id;
    status = 0;
}
