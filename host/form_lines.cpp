// The lines of the host's message form (host/vantu_interact.hpp): clearing it, its first column,
// a label with a text, and the text before an input. Shown lines go to the one message log.
#include "host/vantu_interact.hpp"

#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <string>

namespace {

// The form starts two columns in from the window's edge.
constexpr int kFirstColumn = 2;

std::string first(std::string_view text, int length)
{
    return std::string(text.substr(0, static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(text.size())))));
}

void record(const char* call, const std::string& line)
{
    vantu::record_message(call, line, line);
    vantu::trace_call(call, line, 0);
}

}  // namespace

void clrfrm() { vantu::trace_call("clrfrm", "", 0); }

int col1st() { return kFirstColumn; }

void dsptx4(std::string_view label, int label_length, std::string_view text, int text_length)
{
    record("dsptx4", first(label, label_length) + first(text, text_length));
}

void drtxtc(std::string_view text) { record("drtxtc", std::string(text)); }
