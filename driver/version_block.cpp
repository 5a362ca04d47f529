// The module's version block, printed in the host's message window when the host attaches it.
#include "driver/module_entry.hpp"

#include "host/vantu.hpp"

#include <string>

namespace {

struct version_field {
    const char* label;  // padded so the colons line up
    const char* value;
};

constexpr version_field version_fields[] = {
    {"Program version    : ", "13.10.00.7"},           {"Correction version : ", "0"},
    {"Program build date : ", "Nov 05 10:57:44 2002"}, {"Module name        : ", "drelan"},
    {"Module build date  : ", "Nov 05 12:46:11 2002"},
};

// Mode of the print made when the host attaches the module: subject to the host's verbosity.
constexpr int kAttachPrint = 2;

void message_line(const std::string& text) { shlmsg(text.c_str(), static_cast<int>(text.size())); }

}  // namespace

void dll_info_print(int mode)
{
    if (mode == kAttachPrint && get_verbos_fn() == 0) return;
    const std::string rule(79, '-');
    message_line(rule);
    for (const version_field& field : version_fields) message_line(std::string(field.label) + field.value);
    message_line(rule);
}
