// Parametric part surfaces (a plane, a sphere and a bicubic patch, each over a parameter range)
// and their evaluation. A procedure's surface is handed to the module in a surface buffer that
// surface_buffer_load fills; the module reads the range record and the id from it
// (surfaces/surface_buffer_least.hpp) and evaluates it with evsrf and evsrfn. Also the geometry
// helpers of the surface strings and the projection: dilul, dislps and dminll.
#pragma once

#include "host/words.hpp"

// Types of the parametric surface entities (class kPartSurfaceClass, beside the height grid 1
// and the mesh 2).
inline constexpr int kPlaneSurfaceType = 3, kSphereSurfaceType = 4, kBicubicSurfaceType = 5;

// The surface buffer: word 0 the form tag, 1 the entity id, 2 the surface type, 3 .. 8 the range
// record of six reals (u start, u extent, 0, v start, v extent, 0), 9 and 10 the surface's two
// flag words (2: the parameter in that direction is not range-checked).
inline constexpr int kSurfaceBufferWords = 11;
inline constexpr word kSurfaceBufferTag = 0x53524642;  // "SRFB"
inline constexpr int kSurfaceBufferId = 1, kSurfaceBufferType = 2, kSurfaceBufferRange = 3, kSurfaceBufferFlags = 9;

// Fills buffer with the parametric surface of entity id. Status 0; kEntityMissing (-5) when no
// entity has the id, -1 when it is no parametric surface (buffer untouched).
void surface_buffer_load(int id, word* buffer, int& status);

// The two flag words of the surface entity id. Status 0; kEntityMissing or -1 as above.
void surface_flag_words(int id, int& first, int& second, int& status);

// The surface block of the buffer's surface at (u, v): the point S, then Su and Sv (nine floats).
// Mode 1 in model coordinates, mode 2 in world coordinates (mapm2w). A buffer that is not a
// surface buffer leaves the block untouched.
void evsrf(int mode, const word* buffer, float u, float v, float* block);
// evsrf with the unit normal Su x Sv. Status 0; -1 for a bad buffer or a mode other than 1 or 2,
// -2 when the derivatives are parallel (block written, normal untouched).
void evsrfn(int mode, const word* buffer, float u, float v, float* block, float* normal, int& status);

// Thins the open polyline of count points (dimension 2 or 3 floats each) so that every dropped
// point lies within tolerance of the kept one; count becomes the number kept.
void dilul(int dimension, float tolerance, float* points, int& count);

// The distance of point p from the segment a..b and the parameter t of its nearest point
// (0 .. 1). Status 0 the nearest point inside, 1 at a, 2 at b, -1 for a segment without length
// (distance to a, t 0).
void dislps(const double* p, const double* a, const double* b, double& distance, double& t, int& status);

// The closest points of the lines a1..a2 and b1..b2: on_a = a1 + s (a2 - a1), on_b = b1 + t
// (b2 - b1). Status 0; -1 when the lines are parallel or one has no length (nothing written).
void dminll(const float* a1, const float* a2, const float* b1, const float* b2, float* on_a, float* on_b, float& s,
            float& t, int& status);
