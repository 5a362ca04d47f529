// The hatch lines that the direction arrows of the pocket dialog are placed on: the ordinate range
// of a contour list in the hatch frame and the span of one hatch line's crossings. The hatch
// clearing (clearing/hatch/hatch_lines.hpp) makes them and fills this table when the module is
// loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "host/words.hpp"
#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kHatchLineServicesName[] = "hatch_line_services";

struct hatch_line_services {
    using unfilled = unfilled_seam<kHatchLineServicesName>;
    // Turns the contour list into the hatch frame of (c, s) = (cos t, sin t), in place, and
    // answers its lowest and highest ordinate (mode 2 puts the lines on a grid of the step).
    void (*clr_hatch_range)(float c, float s, int contour_count, int mode, const float* reference, float step,
                            word* contours, float& low, float& high) = unfilled{};
    // The crossings of the hatch line y' = y with the contours (in the hatch frame) as the arrows
    // count them: their number, and the abscissae of the first and the last in the direction's
    // order (1 ascending) when there are any.
    void (*hatch_line_span)(const word* contours, int contour_count, float y, int direction, float& first, float& last,
                            int& count, int& status) = unfilled{};
};

// The services the direction arrows call; assign an entry to replace it.
hatch_line_services& hatch_line_seams();
