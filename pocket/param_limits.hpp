// The limits of the pocket page's real fields, in one table: the pocket dialog and its entry and
// start-point items build their fields with them, and the check of a parameter block holds the
// values a run reads to them. The page refuses a typed value outside its limits; a block stored
// in the part, a template or a procedure written elsewhere may still carry one.
#pragma once

// One real field of the page: the parameter's code and the limits of the value as the page
// shows it (the tolerance by its absolute value, the reference Z and the start point relative to
// the tool path's origin, the hatch angle in degrees).
struct param_limit {
    int code;
    float minimum;
    float maximum;
};

inline constexpr param_limit kExtraOffsetLimit{225, 0.0f, 99999.0f};
inline constexpr param_limit kReferenceZLimit{205, -9999.0f, 9999.0f};
inline constexpr param_limit kSideStepLimit{26, 0.0001f, 99999.0f};
inline constexpr param_limit kHatchAngleLimit{44, -360.0f, 360.0f};
inline constexpr param_limit kToleranceLimit{25, 0.0001f, 999.9f};
inline constexpr param_limit kValue257Limit{257, 0.0f, 1000.0f};
inline constexpr param_limit kStartPointLimit{32, -99999.0f, 99999.0f};

// The page shows the hatch angle (radians in the block) in degrees.
inline constexpr double kDegreesPerRadian = 180.0 * 0.3183098861837907;
inline constexpr double kRadiansPerDegree = 3.141592653589793 * 0.005555555555555556;

// Holds the values of drelan_params_current that a run reads to the page's limits, each compared
// as the page would store a typed value at the limit: the extra offset and the side step unless
// only the contours are passed, the reference Z when a contour has a draft angle, the hatch angle
// of the hatch clearing, the tolerance, the start point when it is given, and the Z step, which
// no page shows, from 0 to the depth (the page cuts a larger one to the depth on leaving). Code
// 257 plays no part in a run; only the page keeps it. The first value outside gives
// "[param_limits_check] VALUE OUT OF LIMITS. CODE=" with its code on the error channel and
// status -1; status 0 otherwise. Reads contour_table_block.draft_present and NPT1 (the origin).
void param_limits_check(int& status);
