// allsrf: the triangle model of two lists of surfaces (reference or part and check surfaces),
// which the editor's reconnection and the trimming triangulate before they follow or test the
// surfaces. Least version: the surfaces are the part's height grids and meshes as the host holds
// them, whose triangles are the surfaces themselves, so the approximation words are checked but
// approximate nothing. The surface triangulation replaces it.
#pragma once

// Modes of the approximation: by the tolerance (1), by the second tolerance (2), by both (3).
inline constexpr int kApproxFirst = 1, kApproxLast = 3;

// Builds the model (tri_model_build, replacing the one held) from the count1 surfaces of ids1
// and the count2 of ids2; the companion words aux1 and aux2, the reset word, the zero word and
// the two list kinds are taken as given. Status 0; -1 with "[allsrf] WRONG APPROXIMATION MODE"
// for a mode outside 1 to 3, "[allsrf] WRONG APPROXIMATION LENGTH" for a tolerance or longest
// triangle edge that is not positive, "allsrf, NO PART SURFACE" and the id for a surface that
// gives no triangles (the model held stays in each case); tri_model_build's status otherwise.
void allsrf(int reset, int count1, const int* ids1, const int* aux1, int count2, const int* ids2, const int* aux2,
            int mode, float tolerance, float longest_edge, int zero, const int (&kinds)[2], int& status);

// The model's control block and quadtree back to unset (handles -1, counts 0) without freeing
// anything: the arrays they named belong to a cache slot.
void reset_allsrf_handles();
