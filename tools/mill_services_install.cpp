// Fills the mill service table of the motion output when the module is loaded.
#include "toolpath/mill_services.hpp"
#include "tools/tool_accessors.hpp"

namespace {

[[maybe_unused]] const bool installed = [] {
    mill_service_table() = {tool_get_mill_diameter, tool_get_corner_radius, tool_set_mill_diameter,
                            tool_set_corner_radius};
    return true;
}();

}  // namespace
