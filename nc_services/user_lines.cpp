// User messages with "|" line breaks (see the header).
#include "nc_services/user_lines.hpp"

#include "host/vantu.hpp"

void userrc_lines(std::string_view text)
{
    for (;;) {
        const std::size_t bar = text.find('|');
        userrc(text.substr(0, bar).substr(0, kUserLineChars));
        if (bar == std::string_view::npos) return;
        text.remove_prefix(bar + 1);
    }
}
