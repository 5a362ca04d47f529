// Composite polyline entities of the part, as the pocket's debug display makes them: one entity
// (class 1, type kPolylineType) holding its point count and then x, y, z of every point as
// doubles. The entity is shown and given attributes with the ordinary entity calls.
#pragma once

inline constexpr int kPolylineType = 6;
// Fewest and most points of one polyline entity.
inline constexpr int kPolylineMinPoints = 2;
inline constexpr int kPolylineMaxPoints = 100000;

// Makes a polyline entity of n points (x, y, z each, 3n doubles) and answers its id. Status 0,
// or -1 (id 0) for fewer than two or too many points or a missing list; a failed store passes
// its status on. The entity open before the call stays open with its cursor.
void crcmpl(int n, const double* points, int& id, int& status);
// Reads the points of polyline entity id back: n and up to room points into points (3 doubles
// each). Status -1 for an entity that is no polyline, kEntityMissing when there is none.
void crcmpl_points(int id, int room, int& n, double* points, int& status);
