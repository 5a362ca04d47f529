// The dialogs by which the user defines the pocket's contours: the contour menu (redefine, add,
// delete, modify parameters, update parameters, update by geometry criteria), the picking of one
// contour (a chain of curves, a planar face or a loop of a solid), the rejection of a contour,
// the delete dialog, and the end steps that clean the table and gather its curves. The pocket's
// define callback runs contour_dialog first in every define step.
#pragma once

// The values a new contour takes, and the values a contour page shows and returns.
struct contour_values {
    float offset = 0.0f;  // code 41
    float draft = 0.0f;   // code 142, degrees
    int type = 1;         // code 263
    int part_stock = 1;   // 1 PART, 2 STOCK
};

// The dialog switches the define callback passes (as fixed values: method menu on, draft-angle
// field off, type field on, standard type page, part/stock choice off).
struct contour_switches {
    int method_menu = 1;
    int draft_field = 0;
    int type_field = 1;
    int type_page = 0;  // 1: the alternative type page
    int part_stock = 0;
};

// Status of contour_dialog: 0 go on, -1 no contours and no active geometry mask, -2 the user
// backed out. First set: a first definition; modify set: the contour menu; neither: the entry
// check after a solid update. contours_valid is read and written; changed answers whether the
// contours changed.
void contour_dialog(int first, int modify, const contour_values& defaults, const contour_switches& switches,
                    int& contours_valid, int& changed, int& status);
// Picks new contours, replacing all (redefine) or appending (add), at most `limit`.
void contour_define(int redefine, int add, const contour_values& defaults, const contour_switches& switches, int limit,
                    int& contours_valid, int& changed, int& status);
// One pick by the method (1 chain, 2 planar face, 3 loop) as contour k, or (method 0) the
// parameter page of contour k. k and the count step on by the contours added; values are those
// shown on the page. Status 0; -1 exit, -2 back, -3 nothing done.
void contour_pick_one(const contour_switches& switches, int method, int limit, int& k, contour_values& values,
                      int& changed, int& status);
// The yes/no question for contour k: form 0 whether to reject it, form 1 whether to delete it.
void contour_reject_ask(int form, int k, int& answer);
// The DELETE CONTOURS choice: by pick, by box or all.
void contour_delete_dialog(int& changed);
// The MODIFY PARAMS choice: the contour list dialog contour by contour.
void contour_modify_params(const contour_switches& switches, int contours_valid, int& changed);
// The UPDATE CONTOURS choice: appends the contours the active geometry criteria find.
void contour_update_by_crit(int append, const contour_values& defaults);
