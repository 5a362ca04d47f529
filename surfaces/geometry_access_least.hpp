// Geometry access of the surface subsystem as the pocket's contour and point dialogs use it:
// planar faces, point and arc entities, the box of the part surfaces, and the yes-or-no question
// of a run that may be a batch run. Least version: the surface-access issue completes it and
// replaces this file, keeping these names.
#pragma once

#include <string_view>

// Opens the planar face entity and answers its number of loops. Status 0; -1 with "PLFGNG: ERROR
// IN OPEN ENTITY !" (no such entity or no loop count), "PLFGNG: WRONG CLASS !" or "PLFGNG: WRONG
// TYPE !".
void PLFGNG(int face, int& loops, int& status);
// Mode 1 reads the coordinates of a point entity. Status 0; -1 for another mode or an entity
// that is no point.
void DBDPT(int mode, int entity, float* point, int& status);
// The data of an arc entity: centre x, y, z and radius (4 floats). Status 0; -1 for an entity
// that is no arc.
void OBTARC(int entity, float* results, int& status);
// The box (xmin, ymin, zmin, xmax, ymax, zmax) of the count surfaces whose entity ids are given;
// the stand-in bounds the curve entities among them. Status 0; -1 when none gives a box.
void SURFSBOX(const int* surfaces, int count, float* box, int& status);
// Asks the yes-or-no question unless the host runs a batch, where the default answer (0) is
// taken; answer 1 is yes.
void ask_unless_batch(std::string_view question, int default_answer, int& answer);
