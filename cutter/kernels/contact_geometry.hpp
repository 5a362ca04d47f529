// Contact geometry of the cutters of the cutter location (flat end, ball, bull-nose, each
// optionally tapered): the surface normal at a contact from the tool tip and the contact point,
// the tool tip from a contact and its normal, the contact from the tip and the normal, and the
// tool axis interpolated along a string. The front ends, the touch-point strings and the gouge
// and under-cut warnings of the surface passes call them.
//
// Cutter shape: diameter D (of a tapered cutter: where the flank line, extended down, meets the
// plane of the tip), corner radius r, taper angle a of the flank against the axis; R = D / 2; the
// corner's centre lies at height r over the tip, at the flat radius w from the axis:
// w = R - (1 - sin a) r / cos a (R - r untapered). Points are x, y, z floats, the axis along +z.
#pragma once

// Statuses of the contact routines.
inline constexpr int kContactSound = 0;
inline constexpr int kContactWall = 1;       // the normal is nearly horizontal
inline constexpr int kContactOnAxis = 2;     // flat bottom or tip: N = (0, 0, 1), or T = P
inline constexpr int kContactSteep = -1;     // tool_point_from_normal: no normal, or a wall
                                             // steeper than a tapered flank
inline constexpr int kContactUnderCut = -2;  // the surface faces downwards
inline constexpr int kContactGouge = -3;     // tool_tip_offset: steeper than the flank

// The unit normal N at contact Q of a cutter whose tip is at P, pointing from the contact into
// the cutter. a in radians; X is the radius of a fillet at the top of the flank and Y the height
// of the top of the flank over the tip (the fillet's centre lies Y above the tip). Status 0, or 2
// with N = (0, 0, 1) on the flat bottom or the axis.
void tool_contact_offset(const float& diameter, const float& corner_radius, const float& taper, const float& x_fillet,
                         const float& y_top, const float* tip, const float* contact, float* normal, int& status);

// The tool tip T of a cutter touching a contact. a in degrees. The contact record is the point,
// followed for a mode other than 0 by two surface tangents T1, T2: mode 0 takes N as given, mode
// 1 N = T1 x T2, other modes T2 x T1 (normalised; (0, 0, 1) while the machining type is 14).
// Statuses 0, 1 (wall), 2 (T = P), -1 (a tapered flank steeper than its taper, or a normal that
// cannot be formed: then "WARNING: NORMAL TO SURFACE IS UNDEFINED AT:" and T unchanged), -2
// (under-cut). Reads machining_type.
void tool_point_from_normal(const float& diameter, const float& corner_radius, const float& taper_degrees,
                            const float* contact_record, const int& mode, float* normal, float* tip, int& status);

// The contact of a cutter whose tip is at P, touching a surface of normal N (the inverse of
// tool_point_from_normal mode 0 where nothing was clamped or snapped). a in radians; the contact
// may be written over P. Statuses 0, 1, 2 (contact = P), -2, -3.
void tool_tip_offset(const float& diameter, const float& corner_radius, const float& taper, const float* tip,
                     const float* normal, float* contact, int& status);

// The unit vector at X between stations A and B, interpolated by inverse distance from the
// vectors C at A and E at B (in double). Status of the normalisation (negative: no length).
void offset_point_d(const float* a, const float* b, const float* c, const float* e, const float* x, float* vector,
                    int& status);
