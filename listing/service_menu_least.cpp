// The SERVICE page (least version, see the header): runs an empty page once.
#include "listing/service_menu_least.hpp"

#include "host/vantu.hpp"

void service_menu(int& /*list_level*/, int& /*current_list*/, int& /*no_display*/, int& /*goto_mode*/,
                  int (&/*item_flags*/)[kServiceItemFlags], int (&/*option_flags*/)[kServiceOptionFlags], int& status)
{
    int answer = 0;
    modinz();
    modif1(answer);
    modinz();
    status = 0;
}
