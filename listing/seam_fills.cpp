// The listing's entries of lower folders' seam tables (see the header).
#include "listing/seam_fills.hpp"

#include "listing/dspblk.hpp"
#include "listing/dspblk_draw.hpp"
#include "listing/live_display.hpp"
#include "listing/status_line.hpp"
#include "listing/tool_display.hpp"

void fill_display_services(display_services& services)
{
    services.DISPLB = DISPLB;
    services.display_copied_block = display_copied_block;
    services.dspblk_init_state = dspblk_init_state;
    services.status_show_feed = status_show_feed;
    services.status_show_spin = status_show_spin;
    services.status_show_coolant = status_show_coolant;
    services.status_show_tool = status_show_tool;
    services.status_repaint = status_repaint;
    services.DISPT1 = DISPT1;
}

namespace {
[[maybe_unused]] const bool filled_at_load = (fill_display_services(display_service_table()), true);
}  // namespace
