// The mode fields of the screen's message area (statbl, statmc): the block picking of trimming
// shows its pick mode there (host/vantu_pick_menus.hpp).
#include "host/control/trim_host.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_pick_menus.hpp"

#include <array>
#include <string>

namespace {

std::array<std::string, kModeFields + 1> fields;  // index 1..kModeFields

void reset_fields() { fields = {}; }

const bool mode_fields_registered = vantu::register_component({"mode_fields", reset_fields, nullptr, nullptr, nullptr});

bool known(int field) { return field >= 1 && field <= kModeFields; }

}  // namespace

void statbl(int field)
{
    if (known(field)) fields[static_cast<std::size_t>(field)].clear();
    vantu::trace_call("statbl", std::to_string(field), 0);
}

void statmc(int field, std::string_view text, int width)
{
    if (known(field) && width >= 1)
        fields[static_cast<std::size_t>(field)] = std::string(text.substr(0, static_cast<std::size_t>(width)));
    vantu::trace_call("statmc", text, field);
}

namespace vantu::control {

std::string mode_field(int field) { return known(field) ? fields[static_cast<std::size_t>(field)] : std::string(); }

}  // namespace vantu::control
