// The start-side check (least version, see the header).
#include "pocket/pkstck_least.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"

void pkstck(int& status)
{
    status = 0;
    if (contour_table_block.contours_valid == 0) {
        userrc("CONTOUR IS NOT UPDATED. PLEASE REDEFINE IT");
        status = 1;
    }
}
