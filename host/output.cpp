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

struct layer_state {
    bool off = false;        // ofloff: nothing more for the host
    bool capturing = false;  // page items go into the file
};

layer_state& layer()
{
    static layer_state s;
    return s;
}

void reset_layer() { layer() = layer_state{}; }

bool file_open() { return !layer().off && vantu::listing_unit_open(kOutputUnit); }

const bool output_registered = vantu::register_component({"output_layer", reset_layer, nullptr, nullptr, nullptr});

}  // namespace

void ofinit()
{
    layer() = layer_state{};
    vantu::trace_call("ofinit", "", 0);
}

void ofgunt(int& unit)
{
    unit = kOutputUnit;
    layer() = layer_state{};
    vantu::trace_call("ofgunt", "", unit);
}

void ofloff()
{
    layer() = layer_state{true, false};
    vantu::trace_call("ofloff", "", 0);
}

namespace vantu {

bool output_layer_active() { return file_open() && control::mode_line_output() == kHandedToHost; }

void output_layer_capture(bool on) { layer().capturing = on && file_open(); }

void output_layer_page_line(const std::string& line)
{
    if (!layer().capturing || !file_open()) return;
    int count = 0;
    filtxt(kOutputUnit, line, -1, count);
}

bool output_layer_write(const std::string& line)
{
    if (!output_layer_active()) return false;
    int count = 0;
    filtxt(kOutputUnit, line, -1, count);
    return true;
}

}  // namespace vantu
