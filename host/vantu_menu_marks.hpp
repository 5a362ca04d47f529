// Marks on the items of the next menu: the host shows a marked item highlighted and preset as
// chosen. The stand-in draws no menus, so a mark is only recorded in the call trace.
#pragma once

// Marks item (1 and up) of the next menu: state 1 highlighted and preset, 0 plain. Status 0, or
// -1 for an item below 1 or a state other than 0 and 1.
void menu_item_mark(int item, int state, int& status);
