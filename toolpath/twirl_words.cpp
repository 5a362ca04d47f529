// The twirl words and the twirl spline of an approach (see the header).
#include "toolpath/twirl_words.hpp"

#include "host/vantu.hpp"
#include "pocket/pocket_state.hpp"
#include "pocket_lanes/twirl_spline.hpp"
#include "toolpath/proc_geometry_words_least.hpp"

#include <algorithm>

namespace {

constexpr int kCommonLengthA = 2, kCommonLengthB = 3, kLeadLength = 1;
constexpr double kTwirlShare = 0.01, kLeastTolerance = 0.001;
constexpr double kTries[] = {1.0, 0.75, 0.5, 0.25};

}  // namespace

twirl_state& twirl()
{
    static twirl_state state;
    return state;
}

void twirl_flags_reset()
{
    twirl().enable[0] = 0;
    twirl().enable[1] = 0;
}
int twirl_requested_get() { return twirl().requested; }
int twirl_requested_set(int value) { return twirl().requested = value; }
int twirl_made_get() { return twirl().made; }
void twirl_made_set(int value) { twirl().made = value; }

void twirl_spline_show(int mode, double& length, int& status)
{
    status = 0;
    const curve_approx_words& ca = proc_geometry().curve_approx;
    if (mode == kCommonLengthA || mode == kCommonLengthB) length = ca.twirl_length;
    else if (mode == kLeadLength) length = pocket_state_block.lead_values[1];
    const double tolerance = std::max({kTwirlShare * length, kLeastTolerance, static_cast<double>(ca.tolerance)});
    twirl_state& t = twirl();
    if (t.enable[0] == 0 || t.enable[1] == 0) return;
    link_point from, to;
    std::copy_n(t.start, 3, from.point);
    std::copy_n(t.start_direction, 3, from.direction);
    std::copy_n(t.end, 3, to.point);
    std::copy_n(t.end_direction, 3, to.direction);
    bool tried = false;
    for (const double share : kTries) {
        const double l = share * length;
        if (levl0d(l) != 0) break;
        tried = true;
        if (twirl_spline_move(from, to, l, tolerance)) {
            twirl_made_set(1);
            return;
        }
    }
    if (tried) status = -1;
}
