// Part surfaces given as data rather than as patches: a height grid (heights over a regular XY
// grid of square cells) and a mesh (an OFF file). Both are entities of the part (the part file's
// kinds "height_grid" and "mesh", host/control/entities.hpp) that a procedure names by id; the
// surface sources of the module read them through these calls.
//
// Status words: 0 success, kEntityMissing (-5) when no entity has the id, kNotThatSurface (-1)
// when the entity is not a surface of the kind asked for (nothing written then).
#pragma once

#include <string>
#include <vector>

// Class and types of the surface entities.
inline constexpr int kPartSurfaceClass = 3;
inline constexpr int kHeightGridType = 1, kMeshType = 2;

inline constexpr int kNotThatSurface = -1;

// A node height at or beyond this magnitude (either sign) is a node without surface ("null" in
// the part file). The part reader holds every other height within the model extent, far below it.
inline constexpr float kNodeWithoutSurface = 1.0e7f;

// The height grid of entity id: node (0, 0) at (x0, y0), square cells of cell_size, nx nodes per
// row and ny rows, heights row by row (node (col, row) at nx * row + col).
void height_grid_get(int id, double& x0, double& y0, double& cell_size, int& nx, int& ny, std::vector<float>& heights,
                     int& status);

// The path of the OFF file of mesh entity id, as the data-file search found it when the part
// was loaded.
void mesh_file_get(int id, std::string& path, int& status);

// The normal flags of the surfaces ids[0 .. count-1], one word each: 1, a part surface's normal
// is the one its data gives (upward for a height grid, by the face order for a mesh). Status 0;
// kEntityMissing or kNotThatSurface for the first id that is no part surface (its flag 0, the
// others still given).
void nc_surf_nrms(const int* ids, int count, int* flags, int& status);

// The nearest of the surfaces ids[0 .. count-1] to point (x, y, z): the distance to it and its
// place in ids. Status 0; -1 when none of them is a part surface with a triangle (distance and
// index untouched). A mesh's file is read at the call.
void clpsrf1(const int* ids, int count, const float* point, float& distance, int& index, int& status);
