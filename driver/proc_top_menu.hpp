// The common top lines of a procedure parameter dialog (title with the state letters and the
// procedure number, free text, machining parameters, service, template and optimizer) and the
// carrying out of the top item the user chose. The pocket dialog calls both.
#pragma once

#include "driver/service_menu.hpp"
#include "host/vantu_proc_run.hpp"
#include "listing/mach_params_menu.hpp"
#include "pocket/proc_dialog_seams.hpp"

// Item map words (kTopMenuItems of them): the line of each top item (0 absent or not selectable).
inline constexpr int kTopFreeText = 2, kTopMachining = 3, kTopService = 4, kTopTemplateApply = 5, kTopTemplateSave = 6,
                     kTopUseOptimizer = 7, kTopOptimizerPage = 8;
// Kind plus 10: no optimizer lines; plus 100: no template lines.
inline constexpr int kTopNoOptimizer = 10, kTopNoTemplate = 100;

// The cycling words of the top lines (module state, so that the page can write them) and the
// flag tables the top menu hands to the SERVICE and MACHINE PARAMS pages.
struct top_menu_state {
    int template_cycle = 1;   // the choice of "TEMPLATE:APPLY"
    int optimizer_cycle = 1;  // 1 OFF, 2 ON
    int service_items[kServiceItemFlags] = {1, 1, 1, 1, 0, 1, 1, 1, 0};
    int service_options[kServiceOptionFlags] = {};
    int list_level = 0;    // the SERVICE page's list-level word: the top menu keeps it 0
    int unused_value = 0;  // the value word of the plain selectable lines
};
top_menu_state& top_menu();

// Starts the interaction (the page count, one more per non-zero flag of the 20 and one for the
// template lines) and places the top lines; item_count answers the lines placed, after which the
// dialog's own lines follow. Status 0, or the host's negative status. Reads EDA2 words 1, 2, 5,
// 7, 10, 11 and 12, the procedure label, the optimizer switch (item 59) and NPT1's machine type;
// sets EDA2 word 15 from the criteria change flags.
void proc_top_menu(int kind, int page_count, const int* flags, int (&item_map)[kTopMenuItems], int& item_count,
                   int& status);
// Runs the page and carries out a top item: answer the line chosen (0 accept, -1 and -2 leave);
// tool_changed 1 when the current tool changed; redisplay 0 when the dialog shows its page again,
// 1 when the answer is the dialog's own, negated after the optimizer switch. previous: a non-zero
// previous answer ends a no-questions run with -1. machining: the items of the MACHINE PARAMS
// page. The callbacks serve the template lines.
void proc_top_menu_do(int kind, int previous, int (&machining)[kMachItemFlags], const int (&item_map)[kTopMenuItems],
                      template_put_fn put_parameters, template_put_fn put_geometry, template_read_fn read_parameters,
                      int& answer, int& tool_changed, int& redisplay);
