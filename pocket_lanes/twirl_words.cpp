// The twirl words and the twirl spline of an approach (see the header).
#include "pocket_lanes/twirl_words.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_lanes/twirl_spline.hpp"
#include "surfaces/line_entity_least.hpp"
#include "surfaces/proc_geometry_words_least.hpp"

#include <algorithm>

namespace {

constexpr int kCommonLengthA = 2, kCommonLengthB = 3, kLeadLength = 1;
constexpr double kTwirlShare = 0.01, kLeastTolerance = 0.001;
constexpr double kTries[] = {1.0, 0.75, 0.5, 0.25};
// The debug display of the end directions: lines of this length in this colour.
constexpr double kDirectionShowLength = 3.0;
constexpr int kTwirlDebugColour = 6;
constexpr int kSetAttribute = 2, kShow = 1;

void show_end_directions(const twirl_state& t)
{
    twirl_direction_show(t.start, kDirectionShowLength, t.start_direction);
    twirl_direction_show(t.end, kDirectionShowLength, t.end_direction);
}

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
        if (t.show_directions != 0) show_end_directions(t);
        if (twirl_spline_move(from, to, l, tolerance)) {
            twirl_made_set(1);
            return;
        }
    }
    if (tried) status = -1;
}

void twirl_direction_show(const double* point, double length, const double* direction)
{
    const double from[3] = {point[0], point[1], point[2]};
    const double to[3] = {point[0] + length * direction[0], point[1] + length * direction[1],
                          point[2] + length * direction[2]};
    int id = 0, status = 0;
    LINE(id, from, to, status);
    if (status != 0 || id < 1) return;
    int colour = kTwirlDebugColour;
    eattc(id, kSetAttribute, "CO", colour, status);
    if (status == 0) edisp(id, kShow, status);
}
