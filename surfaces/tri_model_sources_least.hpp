// Sources of the least triangle model: a height field over a regular grid, and an OFF mesh file
// (polygons fanned into triangles). Both build the model through tri_model_build; a source that
// is refused leaves the model held as it was. The surface triangulation replaces them with the
// triangles of the part's surfaces.
#pragma once

#include <vector>

// Triangles gathered from one or more sources before the model is built: nodes (x, y, z each)
// and triangles as three node numbers counted from 1.
struct tri_mesh {
    std::vector<float> nodes;
    std::vector<int> triangles;
};

// Appends the triangles of a height grid (as tri_model_from_grid takes it) to the mesh; false
// for a grid that tri_model_from_grid refuses (the mesh unchanged).
bool grid_mesh_append(int nx, int ny, float x0, float y0, float step, const float* heights, tri_mesh& mesh);
// Appends the triangles of an OFF file (as tri_model_from_off reads it); false when the file is
// missing or malformed (the mesh unchanged).
bool off_mesh_append(const char* path, tri_mesh& mesh);
// Builds the model from the mesh (tri_model_build).
void tri_model_from_mesh(const tri_mesh& mesh, int& status);

// A grid of nx x ny heights (row by row, x fastest) over x0 + i step, y0 + j step; two
// triangles per cell, split by its diagonal from node (i, j) to (i + 1, j + 1). A node whose
// height is at or beyond kGridNoSurfaceHeight (surfaces/surface_grid.hpp) has no surface: the
// triangles that touch it are left out (no triangle at all: "tri_model_build, NO TRIANGLES"). Status of
// tri_model_build; -1 with "tri_model_from_grid, WRONG GRID" for fewer than 2 x 2 points or a step that is not
// positive.
void tri_model_from_grid(int nx, int ny, float x0, float y0, float step, const float* heights, int& status);

// The mesh of an OFF file ("OFF", vertex, face and edge counts, the vertices, then each face as
// its vertex count and 0-based vertex numbers). Status of tri_model_build; -1 with
// "tri_model_from_off, CANNOT READ" and the path when the file is missing or malformed.
void tri_model_from_off(const char* path, int& status);
