// Calls from a lower folder into a service of a higher one go through a table of entry points
// that the lower folder declares and the higher folder fills when the module is loaded (see
// toolpath/display_services.hpp and its fellows). seam_call makes such a call; an entry left
// empty is reported on the error channel and never called.
#pragma once

#include <cstddef>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

// Reports the empty entry `name`: "<name>, SERVICE NOT INSTALLED".
void seam_missing(std::string_view name);

// Calls entry with the arguments. An empty entry is reported and, when its last parameter is
// an int& (the status word), answers -1 there.
template <class... Params, class... Args>
void seam_call(std::string_view name, void (*entry)(Params...), Args&&... args)
{
    if (entry != nullptr) {
        entry(std::forward<Args>(args)...);
        return;
    }
    seam_missing(name);
    if constexpr (sizeof...(Params) > 0) {
        constexpr std::size_t last = sizeof...(Params) - 1;
        if constexpr (std::is_same_v<std::tuple_element_t<last, std::tuple<Params...>>, int&>)
            std::get<last>(std::forward_as_tuple(args...)) = -1;
    }
}
