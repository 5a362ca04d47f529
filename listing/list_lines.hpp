// The lines of the listing files: items for the host's line writer (blanks, texts, integers,
// reals, lengths, dates) and the writers every printer shares, which count the lines in
// lst_state's line counter. The block printers, the procedure block printer and the listings
// call them.
#pragma once

#include "host/vantu_listfile.hpp"
#include "listing/fmt_writer.hpp"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

fl_item li_blanks(int count);
fl_item li_text(std::string text);
fl_item li_int(int value);
fl_item li_real(float value);    // 'R', a plain real
fl_item li_length(float value);  // 'U', a length already scaled
fl_item li_date(const std::array<int, 6>& day_month_year_time);

// One line of the items.
void lst_line(int unit, std::initializer_list<fl_item> items);
void lst_line(int unit, const std::vector<fl_item>& items);
// A line holding one blank.
void lst_blank(int unit);
// The lines of a FORMAT record with its values (nothing for a bad format).
void lst_format(int unit, std::string_view format, const std::vector<fmt_value>& values);

// The proc-block column of the block number under lst_state's current procedure.
std::string lst_proc_block(int block);
// The block-number column of the value.
std::string lst_block_column(int value);
// The coordinate column of the values by kind (lst_fmt_point): 1 a point, 2 a direction
// (truncated in place), 3 a matrix row, 4 an x, y pair, 5 a knot.
std::string lst_point_text(int kind, std::span<float> values, float scale);
