// The component registry: a function-local vector, so registration from static initialisers of
// other files is safe whatever their order.
#include "host/core/component.hpp"

#include <nlohmann/json.hpp>
#include <ostream>

namespace vantu {

static std::vector<component>& registry()
{
    static std::vector<component> all;
    return all;
}

bool register_component(const component& c)
{
    registry().push_back(c);
    return true;
}

const std::vector<component>& components() { return registry(); }

static std::vector<section_writer>& writers()
{
    static std::vector<section_writer> all;
    return all;
}

bool register_section_writer(const section_writer& w)
{
    writers().push_back(w);
    return true;
}

const std::vector<section_writer>& section_writers() { return writers(); }

// The value's own layout, one level deeper for each level of depth: its lines after the first
// take that many more blanks (a line break inside a JSON string is always escaped, so every break
// in the text is one of the layout's).
void write_json(std::ostream& out, const nlohmann::json& value, int depth)
{
    const std::string text = value.dump(1), indent(static_cast<std::size_t>(depth), ' ');
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        out.write(text.data() + from, static_cast<std::streamsize>(at + 1 - from)) << indent;
        from = at + 1;
    }
    out.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
}

}  // namespace vantu
