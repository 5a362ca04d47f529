// Small routines of the pocket dialog and its callbacks: the conversion of stored contours to
// double precision, the approach block, the start-point and individual-point items, the geometry
// menu items, the entry pages and the message-window line. Each puts a few items on the current
// host page or converts one kind of data. The pocket dialog, the read-parameters callback and the
// start-side check call them; the geometry items also serve the manual editor.
#pragma once

#include "nc_services/approach_block.hpp"
#include "pocket/drelan_params.hpp"

#include <string_view>

// The numbers of the page items of one choice: the choice item and its x and y items (0 when
// absent).
struct page_item_record {
    int choice = 0;
    int x = 0;
    int y = 0;
};

// Converts count stored records (from `records`, a record buffer of the contour table) one after
// another to double precision in the work buffer and copies the result back over them. Status 0;
// the host's status at the first conversion it refuses; -1 when a stored record would reach past
// the buffer's last entry (the stored records are kept either way).
void contours_to_double(int count, int* records, int& status);
// Stores the values into the approach block in this order.
void set_approach_block(int approach_kind, int retract_kind, float approach_length, float retract_length,
                        float second_approach, float second_retract, int word1, int word2, float last);
// The start-point items (kind 2 for the pocket): the choice of how the point is given and, for a
// given point (option 2), its x and y relative to the tool path's origin. Forward maps the stored
// option to the page's, backward the page's to the stored one; answers the option as stored.
int param_menu_by_kind(int kind, int forward, int& option, int& previous_option, const float* point, float* relative,
                       page_item_record& items, int& item_counter);
// Asks for an individual point of a kind (1 entry, 2 end, other intermediate) when the selected
// item is the choice item in mode 3, or sets a coordinate from the x or y item's offset. The
// picked entity (-1 none) is kept in the associativity table.
void ind_entry_point(int point_kind, int& defined, int& mode, int fallback_mode, float* point, const float* offsets,
                     int pick_mode, int& entity, const page_item_record& items, int& selected);
// One geometry menu item: the mark, the verb of the index (1 to 8, or 11 to 18 without the host's
// item flag) and the name (at most 21 characters).
void geom_item_menu(int defined, int verb, std::string_view name, int mask_kind);
// One "EDIT  " item.
void geom_item_menu_edit(int defined, int edited, std::string_view name, int mask_kind);
// The text of a geometry item as geom_item_menu puts it.
std::string geom_item_label(int defined, int edited, int verb, std::string_view name, int mask_kind);
// The entry pages of the pocket dialog (mode 0): the entry mode, entry search, code 257 and
// region order items over the block's words; item numbers go to the record.
void entry_param_pages(int mode, int region_count, drelan_params& params, int& item_counter, page_item_record& items);
// Action 1 adds a line of at most 80 characters of the kind (1 error, 2 warning, -1 none) to the
// message window; action 2 shows the window.
void msg_window_show(int action, int kind, int length, std::string_view text);
