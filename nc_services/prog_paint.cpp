// The painter of the progress line (prog_paint): three texts side by side from the host's first
// column, painted between the host's paint brackets.
#include "nc_services/prog_line.hpp"

#include "host/vantu.hpp"

#include <algorithm>

namespace {

int bounded_length(const std::string& text) { return std::clamp(static_cast<int>(text.size()), 0, kProgTextChars); }

void paint_at(int column, const std::string& text)
{
    if (!text.empty()) dntxtc(column, text.substr(0, static_cast<std::size_t>(kProgTextChars)));
}

}  // namespace

void prog_paint(int mode, const std::string& first, const std::string& second, const std::string& third)
{
    if (mode == kPaintRemove) {
        modinz();
        return;
    }
    int column = 0;
    col1st(column);
    const int second_at = column + bounded_length(first);
    const int third_at = second_at + bounded_length(second);
    win_start_paint_on_main_wnd();
    dblnk(column, 3 * kProgTextChars);
    if (mode == kPaintWhole || mode == kPaintActivity) paint_at(column, first);
    if (mode == kPaintWhole || mode == kPaintLabelCounter) {
        paint_at(second_at, second);
        paint_at(third_at, third);
    } else if (mode == kPaintCounter) {
        paint_at(third_at, third);
    }
    win_end_paint_on_main_wnd();
}
