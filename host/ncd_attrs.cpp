// The display-file attributes (host/vantu_ncdisplay.hpp): the blank and fast-blank attributes,
// the font, colour and pen of the blocks drawn next and their saved copy. Display state of the
// session, not saved in the part.
#include "host/vantu_ncdisplay.hpp"

#include "host/control/ncd_attrs.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"

#include <optional>
#include <string>

namespace {

constexpr int kKeepFont = -1;

struct attrs_state {
    vantu::control::ncd_attributes current;
    std::optional<vantu::control::ncd_attributes> kept;
};

attrs_state& attrs()
{
    static attrs_state a;
    return a;
}

void reset_attrs() { attrs() = attrs_state{}; }

const bool ncd_attrs_registered = vantu::register_component({"ncd_attrs", reset_attrs, nullptr, nullptr, nullptr});

void trace_value(const char* call, int value) { vantu::trace_call(call, std::to_string(value), 0); }

}  // namespace

void ncd_update_blank_attribute(int blank)
{
    attrs().current.blank = blank;
    trace_value("ncd_update_blank_attribute", blank);
}

void ncd_update_fast_blank_attribute(int blank)
{
    attrs().current.fast_blank = blank;
    trace_value("ncd_update_fast_blank_attribute", blank);
}

void ncd_update_current_attrs(int font, int colour, int pen)
{
    if (font != kKeepFont) attrs().current.font = font;
    attrs().current.colour = colour;
    attrs().current.pen = pen;
    vantu::trace_call("ncd_update_current_attrs",
                      std::to_string(font) + "," + std::to_string(colour) + "," + std::to_string(pen), 0);
}

void setlf(int font)
{
    attrs().current.font = font;
    trace_value("setlf", font);
}

void setclr(int colour)
{
    attrs().current.colour = colour;
    trace_value("setclr", colour);
}

void setpen(int pen)
{
    attrs().current.pen = pen;
    trace_value("setpen", pen);
}

void ncd_pull_color_font_pen()
{
    attrs().kept = attrs().current;
    vantu::trace_call("ncd_pull_color_font_pen", "", 0);
}

void ncd_push_color_font_pen()
{
    if (const auto& kept = attrs().kept) {
        attrs().current.font = kept->font;
        attrs().current.colour = kept->colour;
        attrs().current.pen = kept->pen;
    }
    vantu::trace_call("ncd_push_color_font_pen", "", 0);
}

namespace vantu::control {

ncd_attributes ncd_current_attrs() { return attrs().current; }

}  // namespace vantu::control
