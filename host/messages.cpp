// Host message channels: each call records its text exactly as sent and the line a user sees,
// in order, in one log shared with the other host components (host/core/message_log.hpp).
// Length-bounded calls (errout, shlmsg) never read past their count nor past a terminator.
#include "host/vantu_messages.hpp"

#include "host/control/messages.hpp"
#include "host/core/catalogue.hpp"
#include "host/core/component.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {

struct message_state {
    std::vector<vantu::control::message> log;
    long dropped = 0;  // messages beyond kMaxMessages
};

// Never destroyed, so messages sent from static destructors are still safe.
message_state& state()
{
    static message_state* s = new message_state;
    return *s;
}

// The first `count` characters of text, cut at a terminator; a negative count gives nothing.
std::string_view bounded_text(const char* text, int count)
{
    if (!text || count <= 0) return {};
    return std::string_view(text, ::strnlen(text, static_cast<std::size_t>(count)));
}

// Joins pieces of one line with a blank, unless a piece is empty or the join already has one.
void append_piece(std::string& line, std::string_view piece)
{
    if (piece.empty()) return;
    if (!line.empty() && line.back() != ' ' && piece.front() != ' ') line += ' ';
    line += piece;
}

// An integer value as user1c writes it: rounded, clamped to the range of a 32-bit word.
std::string format_integer(double value)
{
    if (std::isnan(value)) return "0";
    double limited = std::fmax(std::fmin(value, std::numeric_limits<int>::max()), std::numeric_limits<int>::min());
    return std::to_string(std::lround(limited));
}

// Records a call whose line is its text.
void record_plain(std::string_view channel, std::string_view text)
{
    vantu::record_message(channel, text, text);
    vantu::trace_call(channel, text, 0);
}

std::string catalogue_key(int group, int number) { return std::to_string(group) + "/" + std::to_string(number); }

// "317/10" followed by the catalogue's text when the stand-in's catalogue has one.
std::string catalogue_line(int group, int number)
{
    std::string line = catalogue_key(group, number);
    const std::string_view text = vantu::catalogue_text(group, number);
    if (!text.empty()) line += " " + std::string(text);
    return line;
}

}  // namespace

namespace vantu {

void record_message(std::string_view channel, std::string_view text, std::string_view line)
{
    message_state& s = state();
    if (s.log.size() >= control::kMaxMessages) {
        ++s.dropped;
        return;
    }
    s.log.push_back({std::string(channel), std::string(text), std::string(line)});
}

void record_host_error(std::string_view line) { record_message(kHostErrorChannel, line, line); }

}  // namespace vantu

// ---- error channel ----------------------------------------------------------------------------

void eroutc(std::string_view text, int code)
{
    vantu::record_message("eroutc", text, text);
    vantu::trace_call("eroutc", text, code);
}

void erou1c(std::string_view text, int number)
{
    std::string line(text);
    append_piece(line, std::to_string(number));
    vantu::record_message("erou1c", text, line);
    vantu::trace_call("erou1c", line, number);
}

void errou4(std::string_view text, std::string_view name)
{
    std::string line(text);
    append_piece(line, name);
    vantu::record_message("errou4", text, line);
    vantu::trace_call("errou4", line, 0);
}

void errout(const char* text, int code, int count)
{
    std::string_view sent = bounded_text(text, count);
    vantu::record_message("errout", sent, sent);
    vantu::trace_call("errout", sent, code);
}

void erou4c(std::string_view text1, std::string_view text2)
{
    std::string line(text1);
    append_piece(line, text2);
    vantu::record_message("erou4c", line, line);
    vantu::trace_call("erou4c", line, 0);
}

// ---- user lines -------------------------------------------------------------------------------

void userrc(std::string_view text) { record_plain("userrc", text); }
void usrerr(std::string_view text) { record_plain("usrerr", text); }

void user5c(std::string_view text1, std::string_view text2, std::string_view text3)
{
    std::string line(text1);
    for (const std::string_view piece : {text2, text3}) append_piece(line, piece);
    record_plain("user5c", line);
}

void user1c(std::string_view text1, char kind, double value, std::string_view text2)
{
    std::string line(text1);
    if (kind == 'I') {
        append_piece(line, format_integer(value));
    } else {
        if (kind != 'R' && kind != 'U')
            vantu::record_host_error(std::string("user1c, UNKNOWN VALUE KIND '") + kind + "', WRITTEN AS A REAL");
        append_piece(line, vantu::control::format_real(value));
    }
    append_piece(line, text2);
    vantu::record_message("user1c", text1, line);
    vantu::trace_call("user1c", line, 0);
}

void user4c(std::string_view text1, std::string_view text2)
{
    std::string line(text1);
    append_piece(line, text2);
    record_plain("user4c", line);
}

void usrer6(std::string_view text1, std::string_view text2, std::string_view text3, std::string_view text4)
{
    std::string line;
    for (std::string_view piece : {text1, text2, text3, text4}) {
        const std::size_t end = piece.find_last_not_of(' ');
        append_piece(line, end == std::string_view::npos ? std::string_view() : piece.substr(0, end + 1));
    }
    vantu::record_message("usrer6", line, line);
    vantu::trace_call("usrer6", line, 0);
}

void usmsgc(std::string_view text) { record_plain("usmsgc", text); }
void shmsgc(std::string_view text) { record_plain("shmsgc", text); }

void usms1c(std::string_view text1, int number, std::string_view text2)
{
    record_plain("usms1c", std::string(text1) + std::to_string(number) + std::string(text2));
}

void shlmsg(const char* text, int length)
{
    std::string_view sent = bounded_text(text, length);
    vantu::record_message("shlmsg", sent, sent);
    vantu::trace_call("shlmsg", sent, length);
}

void prmptc(std::string_view text) { record_plain("prmptc", text); }
void pro2ln(std::string_view text) { record_plain("pro2ln", text); }

// ---- catalogue --------------------------------------------------------------------------------

void msg_mdls(int group, int number, std::string_view text, std::span<const double> values)
{
    std::string key = catalogue_key(group, number);
    std::string line = "message " + catalogue_line(group, number);
    if (!text.empty()) line += " " + std::string(text);
    for (const double value : values) line += " " + vantu::control::format_real(value);
    vantu::record_message("msg_mdls", key, line);
    vantu::trace_call("msg_mdls", key, 0);
}

void msg_get(int group, int number, std::string& text)
{
    const std::string_view known = vantu::catalogue_text(group, number);
    text = known.empty() ? "text " + catalogue_key(group, number) : std::string(known);
    vantu::trace_call("msg_get", catalogue_key(group, number), 0);
}

void msg_prompt(int group, int number)
{
    std::string key = catalogue_key(group, number);
    vantu::record_message("msg_prompt", key, "prompt " + catalogue_line(group, number));
    vantu::trace_call("msg_prompt", key, 0);
}

// ---- debug ------------------------------------------------------------------------------------

void shms1c(std::string_view text) { record_plain("shms1c", text); }

void dbg_printf(const char* format, ...)
{
    if (!format) return;
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list measuring;
    va_copy(measuring, arguments);
    int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
    std::string_view line = text;
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    vantu::record_message("dbg_printf", text, line);
    vantu::trace_call("dbg_printf", line, 0);
}

// ---- control ----------------------------------------------------------------------------------

namespace vantu::control {

const std::vector<message>& messages() { return state().log; }

std::vector<std::string> texts_of(std::string_view channel)
{
    std::vector<std::string> texts;
    for (const message& m : state().log)
        if (m.channel == channel) texts.push_back(m.text);
    return texts;
}

std::vector<std::string> lines_of(std::string_view channel)
{
    std::vector<std::string> lines;
    for (const message& m : state().log)
        if (m.channel == channel) lines.push_back(m.line);
    return lines;
}

void clear_messages()
{
    state().log.clear();
    state().dropped = 0;
}

std::string format_real(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    return buffer;
}

}  // namespace vantu::control

// ---- component --------------------------------------------------------------------------------

namespace {

void report_messages(std::vector<std::string>& lines)
{
    if (state().dropped > 0)
        lines.push_back(std::to_string(state().dropped) + " messages dropped beyond the first " +
                        std::to_string(vantu::control::kMaxMessages));
}

const bool messages_registered =
    vantu::register_component({"messages", vantu::control::clear_messages, nullptr, nullptr, report_messages});

}  // namespace
