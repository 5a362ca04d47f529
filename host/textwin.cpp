// Text assembly (maktxt, maktx3, maktx4, cvi2t, cmpchs) and the user-message and list-window
// lines (usrmsg, usrms4, usrms5, shlms1, shlms6). The lines go to the one message log.
#include "host/vantu_textwin.hpp"

#include "host/control/messages.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace {

std::string_view without_trailing_blanks(std::string_view piece)
{
    const std::size_t end = piece.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : piece.substr(0, end + 1);
}

void assemble(std::initializer_list<std::string_view> pieces, std::string& text)
{
    std::string out;
    for (std::string_view piece : pieces) {
        const std::string_view kept = without_trailing_blanks(piece);
        if (kept.empty()) continue;
        if (!out.empty()) out += ' ';
        out += kept;
    }
    if (out.size() > static_cast<std::size_t>(kTextBufferChars)) out.resize(static_cast<std::size_t>(kTextBufferChars));
    text = out;
}

// A text up to its first zero byte.
std::string_view up_to_zero(std::string_view text)
{
    const std::size_t end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

void record_line(std::string_view call, const std::string& line)
{
    vantu::record_message(call, line, line);
    vantu::trace_call(call, line, 0);
}

}  // namespace

void maktxt(std::string_view a, std::string_view b, std::string& text) { assemble({a, b}, text); }

void maktx3(std::string_view a, std::string_view b, std::string_view c, std::string& text)
{
    assemble({a, b, c}, text);
}

void maktx4(std::string_view a, std::string_view b, std::string_view c, std::string_view d, std::string& text)
{
    assemble({a, b, c, d}, text);
}

void mktxtc(std::string_view a, int capacity, std::string& text)
{
    assemble({a}, text);
    text.resize(std::min(text.size(), static_cast<std::size_t>(std::clamp(capacity, 0, kTextBufferChars))));
    vantu::trace_call("mktxtc", text, 0);
}

void mktx1c(std::string_view text1, float value, std::string_view text2, std::string& text)
{
    const std::string number = vantu::control::format_real(value);
    assemble({text1, number, text2}, text);
    vantu::trace_call("mktx1c", text, 0);
}

void cvi2t(int value, std::string& text, int& length)
{
    text = std::to_string(value);
    length = static_cast<int>(text.size());
}

int cmpchs(std::string_view a, std::string_view b)
{
    vantu::trace_count("cmpchs");
    const std::string_view x = up_to_zero(a), y = up_to_zero(b);
    const std::size_t n = std::max(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char cx = i < x.size() ? x[i] : ' ';
        const char cy = i < y.size() ? y[i] : ' ';
        if (cx != cy) return 1;
    }
    return 0;
}

void usrmsg(std::string_view text) { record_line("usrmsg", std::string(text)); }

void usrms4(std::string_view text1, std::string_view text2)
{
    record_line("usrms4", std::string(text1) + std::string(text2));
}

void usrms5(std::string_view text1, std::string_view text2, std::string_view text3)
{
    record_line("usrms5", std::string(text1) + std::string(text2) + std::string(text3));
}

void shlms1(std::string_view text1, int value, std::string_view text2)
{
    std::string line;
    assemble({text1, std::to_string(value), text2}, line);
    record_line("shlms1", line);
}

void shlms6(std::string_view text, const int (&date_time)[6])
{
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%04d %02d:%02d:%02d", date_time[2], date_time[1], date_time[0],
                  date_time[3], date_time[4], date_time[5]);
    record_line("shlms6", std::string(without_trailing_blanks(text)) + " " + stamp);
}
