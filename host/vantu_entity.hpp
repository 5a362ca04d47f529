// The host's entity database as the module sees it: entities by id, each with a class, a type,
// named attributes and a run of 32-bit words; one open entity at a time with a word cursor;
// the curve entities (points, lines, arcs, circles and splines) evaluated in double precision.
//
// Status words: 0 success, kEntityNotOpen (-1) when no entity is open or an argument is bad,
// kEntityShort (-2) when the open entity holds fewer words than a read or skip needs (nothing is
// read or moved then), kEntityTooLarge (-3) when a write would grow an entity beyond
// kMaxEntityWords, kEntityMissing (-5) when no entity has the id.
//
// Curve entities keep their geometry as doubles (two words each, host/words.hpp) at the start
// of their word run, so the module reads and writes them with egetd/eputd:
//   point   class 0, type 1: x, y, z                                            6 words
//   line    class 1, type 1: start x, y, z, end x, y, z                         12 words
//   arc     class 1, type 2: centre x, y, z, normal x, y, z, radius,
//                            start angle, end angle (degrees, start < end,
//                            end - start <= 360; a circle is an arc of 360)     18 words
//   spline  class 1, type 7: degree p (1..7), control point count n (n > p) and
//                            rational flag r (0 or 1), each a whole number held
//                            as a double; then the n + p + 1 knots u0 .. u(n+p)
//                            (never decreasing, u(p) < u(n), an inner knot at
//                            most p times); then x, y, z of the n control
//                            points; then, when r is 1, their n weights (all
//                            above 0)                             2 (3 + n + p + 1 + 3n + r n) words
//   plain curve class 1 or 2, type 15: its limits come first, start data x, y, z and end data
//                            x, y, z as reals                                6 words
// Curve parameters are natural: a line runs from 0 at its start to its length at its end; an
// arc runs over its angles in radians, measured about its normal from the reference direction,
// which is world X projected into the arc's plane (world Y when the normal is along X); a full
// circle therefore spans 2 pi. A spline runs over its knot values from u(p) to u(n). A point has
// the single parameter 0.
#pragma once

#include "host/words.hpp"

#include <string_view>

inline constexpr int kEntityNotOpen = -1;
inline constexpr int kEntityShort = -2;
inline constexpr int kEntityTooLarge = -3;
inline constexpr int kEntityMissing = -5;

// Largest word run of one entity: far above any record the module writes, low enough that a
// wrong count fails cleanly instead of exhausting memory.
inline constexpr int kMaxEntityWords = 1 << 20;

// Class and type codes of the curve entities and of tools (tool entities carry their tool
// class 1..10, or 15 for a drill cycle, as entity type; type 14 of class 20 is a holder).
inline constexpr int kPointClass = 0, kPointType = 1;
inline constexpr int kCurveClass = 1, kLineType = 1, kArcType = 2, kSplineType = 7;
inline constexpr int kToolClass = 20;

// Word counts of the curve layouts above.
inline constexpr int kPointWords = 6;
inline constexpr int kLineWords = 12;
inline constexpr int kArcWords = 18;
// Words of a spline record before its knots (degree, count, rational flag), and its largest degree.
inline constexpr int kSplineHeaderWords = 6;
inline constexpr int kSplineMaxDegree = 7;
// Fewest chords crvpld2 gives a knot interval of a spline (so that a wiggle between three test
// points of a long chord is not missed), and the most points it gives one spline.
inline constexpr int kSplineMinSpans = 4;
inline constexpr int kSplineMostPoints = 1000000;

// ---- open, create, delete ---------------------------------------------------------------------

// Opens entity id for reading and writing with the cursor at word 0, closing the entity open
// before; answers its class and type. kEntityMissing when there is no such entity (the open
// entity is left as it was).
void eopen(int id, int& entity_class, int& entity_type, int& status);
// Closes the open entity. Closing when nothing is open is harmless (status 0).
void eclose(int& status);
// Creates an empty entity of the class and type (both 0 or more) and opens it with the cursor
// at word 0, so the caller writes its words with eputn and closes it; id answers the new id.
// Ids are never reused within a session.
void estore(int entity_class, int entity_type, int& id, int& status);
// Deletes entity id (closing it first when it is the open one).
void edelet(int id, int& status);

// ---- words of the open entity ---------------------------------------------------------------

// Reads n words at the cursor and advances it. Fewer than n words left: kEntityShort, nothing
// read, cursor unchanged.
void egetn(int n, word* values, int& status);
// Writes n words at the cursor, overwriting and extending the run, and advances the cursor.
void eputn(int n, const word* values, int& status);
// Moves the cursor n words forward (negative n: backward); a move past either end of the run
// gives kEntityShort and leaves the cursor where it was.
void eskipn(int n, int& status);

// Typed forms: integers and 4-byte reals take one word each, doubles two words each; n counts
// values.
void egeti(int n, int* values, int& status);
void egetr(int n, float* values, int& status);
void egetd(int n, double* values, int& status);
void eputi(int n, const int* values, int& status);
void eputr(int n, const float* values, int& status);
void eputd(int n, const double* values, int& status);
void eskipi(int n, int& status);

// ---- suspending the open entity -------------------------------------------------------------

// The open entity and its cursor (id 0 when none is open). The tool-path word layer takes them,
// clears the open entity while it reads elsewhere, and sets them back on every way out.
void eopen_block_get(int& id, int& position);
void eopen_block_clear();
// Reopens entity id with its cursor at position (id 0: nothing open). kEntityMissing when the
// entity is gone, kEntityShort when the position lies outside its word run.
void eopen_block_set(int id, int position, int& status);

// ---- attributes -----------------------------------------------------------------------------

// Reads (mode 1) or writes (mode 2) the attribute under a two-character key ("CO" colour, "PE"
// pen, "LF" line font, "SL" slave flag, ...). "CL" and "TY" are the entity's class and type.
// Reading an attribute never set answers value 0 with status 1. A key that is not two letters or
// digits, or another mode, gives kEntityNotOpen.
void eattc(int id, int mode, std::string_view key, int& value, int& status);
// The host's current model attributes, which new geometry takes: colour (0..15) and line font
// (host flags "model_colour" and "model_line_font").
void gtmdla(int& colour, int& font);

// 1 when entity id is a tool (class kToolClass, type 1..10 or 15), else 0.
int etool(int id);

// ---- curves -----------------------------------------------------------------------------------

// Parameter range of a curve entity (see the parameters above); -1 for an entity that is not a
// valid curve record, kEntityMissing when there is none.
void curve_limits(int id, double& start, double& end, int& status);
// Point of a curve entity at parameter t and the derivative of the point with respect to t
// (derivative may be null). A parameter outside the curve's range by more than the host's
// double tolerance, or an entity that is not a valid point, line, arc or spline, gives -1.
void evcrvd(int id, double t, double* point, double* derivative, int& status);
// The same in single precision.
void evcrv(int id, float t, float* point, float* derivative, int& status);
// Polyline of a curve entity from parameter t0 to t1 (either order) whose chords stay within
// tolerance of the curve: the two ends for a line, equal angular steps for an arc (never more
// than a quarter turn each), the point itself for a point entity. A spline is cut at its knots,
// each knot interval into at least kSplineMinSpans chords (one for a non-rational degree-1
// spline, whose pieces are straight), and a chord is halved until the curve point at its middle
// parameter (and at its quarter parameters) lies within the tolerance of the matching point of
// the chord. Points go to points as x, y (dimension 2) or x, y, z (dimension 3); count answers
// the number of points. When more than capacity points are needed, nothing is written, count
// answers the number needed and status is kEntityShort; a spline stops counting past
// kSplineMostPoints and then answers kSplineMostPoints + 1. A tolerance that is not positive, a
// bad dimension or parameter, or an entity that is not a curve gives -1.
void crvpld2(int id, double t0, double t1, double tolerance, int dimension, int capacity, double* points, int& count,
             int& status);
