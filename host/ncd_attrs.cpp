// The display-file attributes (host/vantu_ncdisplay.hpp): the blank attribute and the font,
// colour and pen of the blocks drawn next. Display state of the session, not saved in the part.
#include "host/vantu_ncdisplay.hpp"

#include "host/control/ncd_attrs.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"

#include <string>

namespace {

constexpr int kKeepFont = -1;

vantu::control::ncd_attributes& attrs()
{
    static vantu::control::ncd_attributes a;
    return a;
}

void reset_attrs() { attrs() = vantu::control::ncd_attributes{}; }

const bool registered = vantu::register_component({"ncd_attrs", reset_attrs, nullptr, nullptr, nullptr});

}  // namespace

void ncd_update_blank_attribute(int blank)
{
    attrs().blank = blank;
    vantu::trace_call("ncd_update_blank_attribute", std::to_string(blank), 0);
}

void ncd_update_current_attrs(int font, int colour, int pen)
{
    if (font != kKeepFont) attrs().font = font;
    attrs().colour = colour;
    attrs().pen = pen;
    vantu::trace_call("ncd_update_current_attrs",
                      std::to_string(font) + "," + std::to_string(colour) + "," + std::to_string(pen), 0);
}

namespace vantu::control {

ncd_attributes ncd_current_attrs() { return attrs(); }

}  // namespace vantu::control
