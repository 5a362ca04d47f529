// Spline services of the twirl approach: work descriptors of records of doubles (dam_ini,
// dam_nrc, dam_records, dam_end), the twirl spline between two points with given directions
// (get_twirl_spline), its C0 approximation (nb_c0approx) and its approximation by a polyline
// (nb_appbypol2). A spline in a descriptor is a chain of cubic Bezier segments: 3 k + 1 control
// points of three doubles, neighbouring segments sharing their end point. Each call can be made
// to fail by an armed fault.
#pragma once

// Opens a descriptor for `room` records of record_size doubles. Status 0; -1 for a size or room
// below 1 (descriptor 0).
void dam_ini(int record_size, int room, int& descriptor, int& status);
// Records held by the descriptor, -1 for a descriptor that is not open.
int dam_nrc(int descriptor);
// The records (record_size doubles each), null for a descriptor that is not open.
const double* dam_records(int descriptor);
// Closes the descriptor. Status 0; -1 for a descriptor that is not open.
void dam_end(int descriptor, int& status);

// The twirl spline (mode 2): one cubic segment from p0 leaving along d0 to p1 arriving along d1,
// its inner control points a third of `length` along the unit directions. error 0; 1 for another
// mode, a length not above 0, a direction without length, p0 equal to p1, a descriptor that is
// not open or of records of another size than 3, or fewer than 4 records of room.
void get_twirl_spline(int mode, const double* p0, const double* d0, const double* p1, const double* d1, double length,
                      int descriptor, int room, int& error);
// Copies the spline of `source` into `target` as a C0 chain within the tolerance (the cubic
// chain is its own approximation). Status 0; -1 when a descriptor is not open, the source holds
// no chain, or more than `room` control points would be needed.
void nb_c0approx(int source, double tolerance, int target, int room, int& status);
// The spline as a polyline (three doubles per point) whose chords stay within the tolerance of
// it: each segment is halved until its control polygon lies within the tolerance of its chord.
// At most `room` points. Status 0; -1 when the descriptor holds no chain, the tolerance is not
// above 0, or more than `room` points would be needed (count then room).
void nb_appbypol2(int descriptor, double tolerance, int room, double* points, int& count, int& status);
