// The MACHINE PARAMS page (least version, see the header): runs an empty page once.
#include "listing/mach_params_menu_least.hpp"

#include "host/vantu.hpp"

void mach_params_menu(int& /*no_display*/, int (&/*item_flags*/)[kMachItemFlags], int /*mode*/, int& status)
{
    int answer = 0;
    modinz();
    modif1(answer);
    modinz();
    status = 0;
}
