// The component registry: a function-local vector, so registration from static initialisers of
// other files is safe whatever their order.
#include "host/core/component.hpp"

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

}  // namespace vantu
