// The point strings of the surface pass engine along one hatch line (srflin), least version until
// the surface editing builds the contact search over the surfaces: the strings come from a source
// that tests set (none: the tool touches the surfaces nowhere), and are stored with the real
// routine's limits and its updates of the engine's normals.
#pragma once

#include "clearing/surface_passes/surface_pass_state.hpp"

#include <vector>

// One string of tool points (three floats a point) with the surface normal at each point.
struct srflin_string {
    std::vector<float> points;
    std::vector<float> normals;
};
using srflin_source = std::vector<srflin_string> (*)(const float* start, const float* end);

struct srflin_least_state {
    srflin_source source = nullptr;
};
extern srflin_least_state srflin_least;

inline constexpr int kSrflinMostStrings = 20;
inline constexpr int kSrflinNoTouch = 1;

// The strings along the line start..end on the surface of the procedure's buffer: their points go
// to points (at most capacity reals), their point counts to string_counts (the first 20 cleared
// first), their number to string_count; the engine's last normal becomes that of each point taken
// and its first normal that of the first point. continuation is left not to be continued;
// plane_result 0 (no check plane). Status 0; kSrflinNoTouch with one empty string when no string
// comes; -2 with "NXTSTP,STRING OF POINTS HAS EXCEEDED ITS LIMIT" when the capacity runs out; a
// 21st string is not taken ("srflin,CAN CREATE UP TO 20 STRINGS ", status 0). The surface,
// orientation, tolerance and gouge-check flag are not read by this version.
void srflin(int surface, int orientation, const float* start, const float* end, float tolerance,
            surface_line_continuation& continuation, int capacity, int gouge_check, float* points, int& string_count,
            int* string_counts, int& plane_result, int& status);
