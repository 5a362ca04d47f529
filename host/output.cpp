// The formatted-output layer of the host stand-in: its start is recorded so the attach order
// of the module can be checked; its file is the listing unit kOutputUnit, written while the
// module has handed it over with ofmod 2.
#include "host/vantu_output.hpp"

#include "host/control/script.hpp"
#include "host/core/component.hpp"
#include "host/core/output_layer.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_listfile.hpp"

namespace {

constexpr int kOutputUnit = 21;
constexpr int kHandedToHost = 2;

bool& switched_off()
{
    static bool off = false;
    return off;
}

void reset_layer() { switched_off() = false; }

const bool registered = vantu::register_component({"output_layer", reset_layer, nullptr, nullptr, nullptr});

}  // namespace

void ofinit()
{
    switched_off() = false;
    vantu::trace_call("ofinit", "", 0);
}

void ofgunt(int& unit)
{
    unit = kOutputUnit;
    switched_off() = false;
    vantu::trace_call("ofgunt", "", unit);
}

void ofloff()
{
    switched_off() = true;
    vantu::trace_call("ofloff", "", 0);
}

namespace vantu {

bool output_layer_active()
{
    return !switched_off() && control::mode_line_output() == kHandedToHost && listing_unit_open(kOutputUnit);
}

bool output_layer_write(const std::string& line)
{
    if (!output_layer_active()) return false;
    int count = 0;
    filtxt(kOutputUnit, line, -1, count);
    return true;
}

}  // namespace vantu
