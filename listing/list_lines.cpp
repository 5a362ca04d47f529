// The listing line writers (see the header).
#include "listing/list_lines.hpp"

#include "listing/listing_fields.hpp"
#include "listing/lst_state.hpp"

namespace {

fl_item item(char code)
{
    fl_item it;
    it.code = code;
    return it;
}

}  // namespace

fl_item li_blanks(int count)
{
    fl_item it = item('B');
    it.count = count;
    return it;
}

fl_item li_text(std::string text)
{
    fl_item it = item('T');
    it.text = std::move(text);
    return it;
}

fl_item li_int(int value)
{
    fl_item it = item('I');
    it.value = value;
    return it;
}

fl_item li_real(float value)
{
    fl_item it = item('R');
    it.real = value;
    return it;
}

fl_item li_length(float value)
{
    fl_item it = item('U');
    it.real = value;
    return it;
}

fl_item li_date(const std::array<int, 6>& day_month_year_time)
{
    fl_item it = item('C');
    it.date = day_month_year_time;
    return it;
}

void lst_line(int unit, std::initializer_list<fl_item> items)
{
    fltxtc(unit, std::span<const fl_item>(items.begin(), items.size()), lst_state().line);
}

void lst_line(int unit, const std::vector<fl_item>& items) { fltxtc(unit, items, lst_state().line); }

void lst_blank(int unit) { lst_line(unit, {li_blanks(1)}); }

void lst_format(int unit, std::string_view format, const std::vector<fmt_value>& values)
{
    int status = 0;
    for (const std::string& text : fmt_lines(format, values, status)) filtxt(unit, text, -1, lst_state().line);
}

std::string lst_proc_block(int block)
{
    lst_fmt_proc_block(lst_state().procedure, block);
    return lst_state().proc_block_column;
}

std::string lst_block_column(int value)
{
    lst_fmt_i3(value);
    return lst_state().block_column;
}

std::string lst_point_text(int kind, std::span<float> values, float scale)
{
    lst_fmt_point(kind, values, scale);
    return lst_state().coordinate_column;
}
