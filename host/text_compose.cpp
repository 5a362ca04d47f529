// Texts composed of value groups (mktx1c, mktx2c, mktx3c with format codes); see the header.
#include "host/vantu_compose.hpp"

#include "host/control/messages.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_textwin.hpp"

#include <cmath>
#include <initializer_list>

namespace {

std::string value_text(const tx_group& g)
{
    if (g.format == 'I' && std::isfinite(g.value)) return std::to_string(static_cast<long long>(std::trunc(g.value)));
    return vantu::control::format_real(g.value);
}

void compose(const char* call, std::string_view text, std::initializer_list<const tx_group*> groups, std::string& out)
{
    out.assign(text);
    for (const tx_group* g : groups) {
        out += value_text(*g);
        out += g->trailing;
    }
    if (out.size() > static_cast<std::size_t>(kTextBufferChars)) out.resize(static_cast<std::size_t>(kTextBufferChars));
    vantu::trace_call(call, out, 0);
}

}  // namespace

void mktx1c(std::string_view text, const tx_group& a, std::string& out) { compose("mktx1c", text, {&a}, out); }

void mktx2c(std::string_view text, const tx_group& a, const tx_group& b, std::string& out)
{
    compose("mktx2c", text, {&a, &b}, out);
}

void mktx3c(std::string_view text, const tx_group& a, const tx_group& b, const tx_group& c, std::string& out)
{
    compose("mktx3c", text, {&a, &b, &c}, out);
}
