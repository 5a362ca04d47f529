// The manual editor's go-motion insertion in its least form (see the header).
#include "edit/editor/edit_operations_least.hpp"

void EDTGO(int& changed, int& layer, int& status)
{
    changed = 0;
    layer = 0;
    status = 0;
}
