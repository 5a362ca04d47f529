// The manual editor's operations in their least form (see the header).
#include "edit/editor/edit_operations_least.hpp"

void BLKLST(int& status) { status = 0; }

void EDTGO(int& changed, int& layer, int& status)
{
    changed = 0;
    layer = 0;
    status = 0;
}

void set_estimate_mode(int) {}
void time_estimate(int, int, int& status) { status = 0; }
