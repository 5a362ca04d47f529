// The per-contour parameters of the pocket: the page that changes the offset and draft angle of
// all contours at once, the contour list page that changes one contour (or the contours selected
// by pick, box or all) with its contour type and part/stock choice, the ordering of the table
// that puts part contours before stock contours, and the reset of stock contours. The contour
// dialogs call them.
#pragma once

#include "host/words.hpp"

// Offsets and draft angles of every contour by a delta or to a constant (draft angles only with
// the draft flag); offsets stay within -500 .. 10000, draft angles within 0 .. 89. changed is
// set when a gathered contour's value changed. Status 0, or the page's -1 or -2 (nothing
// changed).
void contour_offset_modify(int draft_flag, int& changed, int& status);
// The page of contour k (or of every selected contour): offset, draft angle (draft flag),
// contour type (type flag; the type-page flag picks the alternative page) and part/stock
// (part/stock flag, refused for a contour found by the criteria). offset .. part_stock answer
// the current contour's values. Status 0 applied, -1 or -2 left without applying.
void contour_list_modify(int draft_flag, int type_flag, int type_page_flag, int part_stock_flag, int k, float& offset,
                         float& draft, int& type, int& part_stock, int& changed, int& status);
// Puts the items of contour k's page; the shown type and part/stock are the caller's variables.
void contour_list_items(int draft_flag, int type_flag, int type_page_flag, int part_stock_flag, int k, float& offset,
                        float& draft, word& type, int& part_stock);
// Selection by pick, box or all: status the number of the last contour selected (0 none), or
// negative on cancel.
void contour_list_select(int& status);
// Clears every selection mark; the selection count becomes 1.
void contour_list_end();
// Puts the part contours before the stock contours when a stock contour stands among the first
// p (p the number of part contours). 0 when done or nothing to do, -1 when a work array could
// not be had (the table unchanged).
int contours_order_by_kind();
// Stock contours get offset 0 and contour type 1 (host message 331/52 when any changed). 0.
int stock_contours_reset();
