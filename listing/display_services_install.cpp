// Fills the display service table of the motion output and the tools when the module is loaded.
#include "listing/dspblk.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/live_display.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"
#include "toolpath/display_services.hpp"

namespace {

[[maybe_unused]] const bool installed = [] {
    display_service_table() = {DISPLB,           display_copied_block, dspblk_init_state,
                               status_show_feed, status_show_spin,     status_show_coolant,
                               status_show_tool, status_repaint,       DISPT1};
    return true;
}();

}  // namespace
