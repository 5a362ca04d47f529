// Wrappers that adapt host calls to the forms the module's callers use.
#include "nc_services/host_helpers.hpp"

#include "host/vantu.hpp"
#include "host/vantu_datamenu.hpp"

#include <string_view>

void mdgetn_code(word key, int type, int count, word* values, int& status)
{
    char key_text[4];
    movi2t(&key, 1, key_text);
    mdgetn(std::string_view(key_text, sizeof key_text), type, count, values, status);
}

void dminpt_single(int& item)
{
    int scratch[1] = {0};
    dminpt(item, scratch, 1, 1);
}

// Through the host clock, which the runner and the tests can fix for reproducible output.
void get_date_time(int (&out)[6]) { host_local_time(out); }
