// The next hatch ordinate by scallop height over the part surfaces, which the hatch lines take
// for machining types other than 1. Least version until the surface clearing is built: it finds
// no ordinate (status -1). The surface clearing replaces this file, keeping the name.
#pragma once

struct hatch_points;

// From the hatch points of the current line (count of them) between the range's lower bound and
// its high end: the next line's ordinate. Status 0, or non-zero when none can be had.
void pass_height_at_point(float lower_bound, float high, const hatch_points& points, int count, float& ordinate,
                          int& status);
