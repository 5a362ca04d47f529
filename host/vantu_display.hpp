// The host's graphics as the module sees them: temporary figures drawn with pen moves, and the
// display of entities. The stand-in records every call; the runner and the tests read the
// figures back, as text and as a picture (host/control/display.hpp).
//
// A figure is opened with figopa, drawn with moveto (pen up) and drawto (pen down) in 3-D
// model coordinates, and closed with figcls; pen moves while no figure is open go to an
// implicit figure 0 that stays open until figcls. Colours are the host's 16 colour numbers
// (0 to 15).
#pragma once

// A fresh temporary figure id: -1, -2, ... (temporary figures have negative ids).
void gfgtmp(int& figure);
// Opens figure `figure` (any id but 0) in colour `colour`; a figure still open is closed first
// and an earlier figure with the same id is replaced. Status -1 for id 0 or a colour outside
// 0..15 (nothing opened).
void figopa(int figure, int colour, int& status);
// Pen up to the point (three floats), starting a new stroke; pen down to the point, drawing a
// line from the last point. A null point or a coordinate that is not finite is refused and
// recorded as such.
void moveto(const float* point);
void drawto(const float* point);
// Draws an arc into the open figure (or the implicit one) as pen-down steps: about the centre
// (three floats) in the plane of its z, from the start angle through the swept angle (radians).
// The pen starts at the arc's start point. A radius that is not positive draws nothing.
void dparca(const float* centre, float radius, float start_angle, float sweep);
// Step count and step angle of an arc of `angle` (radians) cut by the step angle in `step`:
// steps answers ceil(|angle| / |step|) (at least 1) and step becomes angle / steps. A step of
// no size or larger than the angle gives one step. setdel_nc serves the display file, setdel
// the simulation; both answer alike.
void setdel(float angle, float& step, int& steps);
void setdel_nc(float angle, float& step, int& steps);
// Closes the open figure; `figure` names it or is -1 for whichever is open.
void figcls(int figure);
// Deletes a figure from the screen. Status -1 when there is no such figure.
void figdel(int figure, int& status);
// The host's arrow figure: its six parameter words (shaft length, head length and head width in
// tenths of the part unit, a fill word, a colour word, a spare word).
void figaro_par_get(int (&parameters)[6]);
// Draws an arrow with those parameters as a new temporary figure: the shaft from the point
// along the direction (three doubles each), the head at its far end. figure: its id. Status 0;
// -1 for a direction of no length or lengths that are not positive (nothing drawn).
void figarop(const int (&parameters)[6], const double* point, const double* direction, int& figure, int& status);
// Shows (mode 1) or erases (mode 0) entity id on the screen. Status -5 when there is no such
// entity, -1 for another mode.
void edisp(int id, int mode, int& status);
