// The host's current model attributes (gtmdla), which new geometry takes; they are host flags,
// so a part or a test sets them like any other setting.
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_entity.hpp"

void gtmdla(int& colour, int& font)
{
    colour = vantu::flag_get("model_colour");
    font = vantu::flag_get("model_line_font");
    vantu::trace_count("gtmdla");
}
