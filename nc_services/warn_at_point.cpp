// warn_at_point (see the header).
#include "nc_services/warn_at_point.hpp"

#include "host/vantu_messages.hpp"
#include "nc_services/coord_in_display_units.hpp"

#include <cstdio>
#include <string>

void warn_at_point(std::string_view prefix, const float* point, std::string_view suffix)
{
    std::string line(prefix.substr(0, kWarnTextMost));
    static const char* const labels[3] = {" X = ", " Y = ", " Z = "};
    for (int k = 0; k < 3; ++k) {
        char value[48];
        std::snprintf(value, sizeof value, "%.4f", coord_in_display_units(k, point[k]));
        line += labels[k];
        line += value;
    }
    line += suffix.substr(0, kWarnTextMost);
    usmsgc(line);
}
