// The current machining type and the host's NC function-name table.
#include "nc_services/machining_type.hpp"

#include "host/vantu_ncstate.hpp"
#include "nc_services/fnc_names.hpp"

#include <string>
#include <vector>

int& machining_type()
{
    static int type = 0;
    return type;
}

void load_nc_function_names()
{
    constexpr int kHostWidth = 9, kNameChars = 8, kFunctions = 100;
    std::vector<char> table(static_cast<std::size_t>(kHostWidth * kFunctions), ' ');
    int status = 0;
    gtncfn(kHostWidth, kFunctions, table.data(), status);
    if (status != 0) return;
    for (int code = 1; code <= kFunctions; ++code) {
        std::string name(table.data() + static_cast<std::ptrdiff_t>((code - 1) * kHostWidth), kNameChars);
        if (name.find_first_not_of(' ') == std::string::npos) name.clear();
        user_fnc_names().names[static_cast<std::size_t>(code)] = name;
    }
}
