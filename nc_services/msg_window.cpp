// The message window: reset, add (prefix by kind, cut to the width, shown at once, the first two
// stored and a MORE marker at the third) and show (one box for one message, both lines for more).
#include "nc_services/msg_window.hpp"

#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"
#include "nc_services/bounded_text.hpp"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view kMore = "MORE ...";
constexpr int kApproxModule = 319, kApproxNote = 71;

std::string_view prefix_of(int kind)
{
    switch (kind) {
    case kMsgError: return "ERROR    : ";
    case kMsgWarning: return "WARNING  : ";
    case kMsgAttention: return "ATTENTION: ";
    default: return "           ";
    }
}

std::string blank_line() { return std::string(kMsgWindowColumns, ' '); }

// The MORE marker over the last columns of the second stored line, right-aligned to the width.
void mark_more(std::string& line, int width)
{
    const auto w = static_cast<std::size_t>(std::clamp(width, static_cast<int>(kMore.size()), kMsgWindowColumns));
    line.replace(w - kMore.size(), kMore.size(), kMore);
}

// The stored form of a line: its text up to the last non-blank.
std::string shown(const std::string& line)
{
    const std::size_t end = line.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : line.substr(0, end + 1);
}

void add_message(int kind, int length, std::string_view text)
{
    msg_window_state& w = msg_window_data();
    if (length <= 0) return;
    std::string line = std::string(prefix_of(kind)) + std::string(bounded_text(text, length));
    line.resize(static_cast<std::size_t>(w.width), ' ');
    if (w.count == 0) sheerx("");
    ++w.count;
    sheerx(shown(line));
    line.resize(kMsgWindowColumns, ' ');
    if (w.count <= 2)
        w.lines[static_cast<std::size_t>(w.count - 1)] = line;
    else if (w.count == 3)
        mark_more(w.lines[1], w.width);
}

void show_messages()
{
    const msg_window_state& w = msg_window_data();
    if (w.count == 1)
        usrmes(shown(w.lines[0]));
    else if (w.count > 1)
        usrme5(shown(w.lines[0]) + "|" + shown(w.lines[1]));
}

}  // namespace

msg_window_state& msg_window_data()
{
    static msg_window_state state;
    return state;
}

void msg_window(int mode, int kind, int length, std::string_view text)
{
    msg_window_state& w = msg_window_data();
    if (mode == kMsgWindowReset) {
        w.width = std::clamp(maxcol(), 1, kMsgWindowColumns);
        w.count = 0;
        w.lines = {blank_line(), blank_line()};
    } else if (mode == kMsgWindowAdd) {
        add_message(kind, length, text);
    } else if (mode == kMsgWindowShow) {
        show_messages();
    }
}

void msg_window_c(int mode, int kind, int length, const char* text)
{
    const std::string_view whole = text ? std::string_view(text, strnlen(text, kMsgWindowColumns)) : std::string_view();
    const int cut = std::min({length, kMsgWindowColumns, static_cast<int>(whole.size())});
    msg_window(mode, kind, cut, whole);
}

void aprx_menu_note() { msg_mdls(kApproxModule, kApproxNote); }
