// The text area of the main window (host/vantu_textarea.hpp): what is drawn in it is kept line by
// line (by row) and recorded in the message log; typed lines come from the script.
#include "host/vantu_textarea.hpp"

#include "host/control/textarea.hpp"
#include "host/core/component.hpp"
#include "host/core/message_log.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <map>

namespace script = vantu::script;

namespace {

std::map<int, std::string>& rows()
{
    static auto* r = new std::map<int, std::string>;
    return *r;
}

void reset_rows() { rows().clear(); }

const bool textarea_registered = vantu::register_component({"textarea", reset_rows, nullptr, nullptr, nullptr});

// Puts the text into the row from the column on (columns from 1).
void place(int column, int row, const std::string& text)
{
    std::string& line = rows()[row];
    const std::size_t at = static_cast<std::size_t>(std::max(column, 1) - 1);
    if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
    line.replace(at, text.size(), text);
}

void record(const char* call, const std::string& text)
{
    vantu::record_message(call, text, text);
    vantu::trace_call(call, text, 0);
}

}  // namespace

namespace vantu::control {
std::string text_area_row(int row)
{
    const auto found = rows().find(row);
    if (found == rows().end()) return {};
    const std::size_t end = found->second.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : found->second.substr(0, end + 1);
}
}  // namespace vantu::control

void drtext(std::string_view text, int column, int row)
{
    place(column, row, std::string(text));
    record("drtext", std::string(text));
}

void dsptx7(std::string_view text, int length, int number, int column, int row)
{
    const std::string shown =
        std::to_string(number) + " " +
        std::string(text.substr(0, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(text.size())))));
    place(column, row, shown);
    record("dsptx7", shown);
}

void dblnkr(int column, int row, int width)
{
    if (width > 0) place(column, row, std::string(static_cast<std::size_t>(width), ' '));
    vantu::trace_call("dblnkr", std::to_string(column) + "," + std::to_string(row) + "," + std::to_string(width), 0);
}

void rtextr(int column, int row, int capacity, std::string& text, int& count)
{
    script::read_text(
        "rtextr", capacity,
        [](std::size_t, int limit) { return "longer than " + std::to_string(limit) + " characters"; }, text, count);
    if (count >= 0) place(column, row, text);
    vantu::trace_call("rtextr", std::to_string(column) + "," + std::to_string(row), count);
}
