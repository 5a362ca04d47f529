// The reference surfaces of the trimming's surface projection: their ids and normal flags as the
// procedure's surface menu chose them, and their triangle model, kept in cache slot 0.
#pragma once

#include <vector>

struct trim_surface_words {
    std::vector<int> ids;
    std::vector<int> normals;
    float triangulated_tolerance = -1.0f;  // REF.SRF.TOL. of the model in slot 0; -1 none
    int triangulating = 0;                 // 1 while allsrf builds the model
};
trim_surface_words& trim_surfaces();

// REF. SURFACES: runs the procedure's surface menu; when the set changed, fetches the ids of the
// part-surface buffer and their normal flags and asks for a new triangulation. Status 0; the
// menu's status (-2 left).
void trim_surfaces_edit(int& status);

// Triangulates the reference surfaces when REF.SRF.TOL. changed or a new model is asked for: the
// old model of slot 0 is freed once first, "UITR" is 1 meanwhile, and the new model goes into
// slot 0. Status 0; the status of allsrf.
void trim_surfaces_triangulate(int& status);

// Forgets the surfaces and frees their model.
void trim_surfaces_release();
