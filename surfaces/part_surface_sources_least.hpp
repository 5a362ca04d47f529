// The part's surface entities as the module's surfaces: the surface grid the lane engine walks
// (surfaces/surface_grid.hpp) from a height-grid entity, and the triangle model the cutter
// location reads (surfaces/tri_store_least.hpp) from a height grid or a mesh. Least version: the
// part's patches are not sampled (the surface triangulation completes this).
#pragma once

// Loads surface_grid_block from height-grid entity `entity` (host/vantu_part_surfaces.hpp): its
// origin, cell size, node counts and heights (a node without surface as kGridNoSurfaceHeight),
// the lowest height with surface as base height, and the projection values cell size and origin
// in single precision; raises the generation, so that cached cell records reload. The shift, the
// projection's tool values and the settings stay as they were. Status 0; -1 with
// "surface_grid_from_part, NO HEIGHT GRID" and the entity for an entity that is no height grid
// (the grid left as it was).
void surface_grid_from_part(int entity, int& status);

// The lane tolerance of a model built from a height grid or a mesh. Their triangles are the
// surface itself (nothing is approximated), so the tolerance only bounds how far a lane laid on
// them may stray from the tool's touch: 0.01 mm, well above the single-precision rounding of part
// coordinates (about 1e-5 at a few hundred millimetres) and below any finishing allowance.
inline constexpr float kDataSurfaceLaneTolerance = 0.01f;

struct tri_mesh;

// Appends the triangles of surface entity `entity` (a height grid or a mesh) to the mesh. Status
// 0; -1 for any other entity or a grid or file that cannot be read (the mesh unchanged, nothing
// reported: the caller names the entity).
void part_surface_mesh_append(int entity, tri_mesh& mesh, int& status);

// Builds the triangle model from surface entity `entity` (part_surface_mesh_append), with the
// lane tolerance kDataSurfaceLaneTolerance. Status of tri_model_build; -1 with
// "tri_model_from_part, NO PART SURFACE" and the entity for an entity whose triangles cannot be
// had (the model held stays).
void tri_model_from_part(int entity, int& status);
