// Reals as the host's fields show them (see the header).
#include "nc_services/shown_values.hpp"

#include "host/vantu_tpdisplay.hpp"

#include <algorithm>
#include <cmath>

namespace {

// Decimals beyond these read nothing a single-precision field holds.
constexpr int kMostDecimals = 9;

}  // namespace

int shown_decimals(shown_kind kind)
{
    int general = 0, lengths = 0, axis = 0;
    gtdgts(general, lengths, axis);
    return std::clamp(kind == shown_kind::length ? lengths : general, 0, kMostDecimals);
}

bool shows_as(float entered, float shown, int decimals)
{
    const double scale = std::pow(10.0, std::clamp(decimals, 0, kMostDecimals));
    return std::round(double(entered) * scale) == std::round(double(shown) * scale);
}

float entered_value(float before, float entered, shown_kind kind)
{
    return shows_as(entered, before, shown_decimals(kind)) ? before : entered;
}
