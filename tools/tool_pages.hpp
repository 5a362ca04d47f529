// The class pages of the tool dialog: one page per tool class declaring the fields of its block of
// tool_shape_records with their limits, the choices that show and hide fields, the values kept
// consistent after a change (mill_shape_sync, class_choice_sync), and the shank, holder and
// spindle block of a mill with holders (holder_page).
#pragma once

#include "tools/current_tool.hpp"
#include "tools/tool_form.hpp"

// Choices and kept values of the pages (0: a choice not set yet, taken from the tool's fields).
// The dialog starts them unset for every tool; the colour cells live with the default symbol.
struct tool_page_choices {
    int mill_shape = 0;                                // 1 ball, 2 corner radius
    int previous_shape = 0;                            // the shape of the last sync pass
    float kept_corner_radius = 0.0f;                   // CRNRRD of the last corner-radius pass
    int holder_choice = 0;                             // 1 no holders, 2 holder set
    int previous_holder = 0;                           // HOLDER of the last sync pass
    float previous_clear_length = 0.0f;                // CLRLNG of the last build of a mill with holders
    int lathe_side = 0;                                // 1, 2
    int groove_direction = 0;                          // 1..5
    int axis_choice = 0;                               // 1..4: TAXANG (choice - 1) x 90
    int holder_params = 1;                             // 1 hide, 2 show the holder block
    std::array<int, kHolderSlots> holder_actions{};    // per holder: 1 HOLDER, 2 ADD LARGER, 3 ADD SMALLER, 4 NONE
    int tool_colour_item = 0, holder_colour_item = 0;  // the mill page's colour items
    int pending_action = 0;                            // a holder action waiting for the next build, on pending_holder
    int pending_holder = 0;
};
tool_page_choices& page_choices();
// Back to unset choices for a new dialog.
void page_choices_reset();

// The mill's page (tools/mill_page.cpp).
void mill_page(form_builder& form);
// Declares the class's page. Reads and writes tool_shape_records, current_tool.HOLDER and
// page_choices().
void tool_class_page(int tool_class, form_builder& form);
// Mill: final 0 runs the pass after a change, final 1 the pass at the dialog's end (a ball's
// shown diameter becomes the stored tip diameter, a holder choice 1 makes SPARE2 negative).
void mill_shape_sync(int final_pass);
// The follow-up of the AGIE, thread, groove and lathe choices.
void class_choice_sync(int tool_class);
// True when a mill uses holders and its holder block is to be shown.
bool mill_shows_holders();
// GUGLNG of a mill with holders: CLRLNG and the heights of the manual shank, the holders and
// the spindle.
float mill_gauge_length();
// The holder block: carries out a pending holder action (status -1 after "TOO MANY HOLDERS" or
// "TOO FEW HOLDERS", the set unchanged) and declares the shank, the holders and the spindle.
void holder_page(form_builder& form, int& status);
