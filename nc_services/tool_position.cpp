// DSP8 (see the header): one instance, zero until the first restore.
#include "nc_services/tool_position.hpp"

#include "host/vantu_compare.hpp"

tool_position_state& DSP8()
{
    static tool_position_state block;
    return block;
}

bool tool_position_state::stands_at(int n, const double* point) const
{
    const std::array<float, 3> here = position();
    const float there[3] = {static_cast<float>(point[0]), static_cast<float>(point[1]),
                            n >= 3 ? static_cast<float>(point[2]) : 0.0f};
    return (n >= 3 ? eqpt3(here.data(), there) : eqpt2(here.data(), there)) != 0;
}
