// Temporary marks of the host's pre-execution display: direction arrows at points and the
// deletion of a shown entity with its display.
#pragma once

// Mode 1 draws an arrow from the point along the direction (three floats each); mode 0 erases
// the arrow last drawn at that point. Status 0; -1 for another mode, a direction of no length
// or (mode 0) no arrow at the point.
void darrow(int mode, const float* point, const float* direction, int& status);

// Erases entity id from the screen and deletes it. Status 0; kEntityMissing (-5) when there is
// no such entity.
void edele1(int id, int& status);
