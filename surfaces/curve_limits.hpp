// The limits of a curve entity as the procedure driver and the contour records read them
// (LMCRV). Callers: the single-curve contour check and the contour geometry records.
#pragma once

// Opens the curve entity and answers its limits: start data in limits[0..2], end data in
// limits[3..5] (the record of a plain curve, class 1 or 2 and type 15). The entity open before
// is given back. Status 0, or -1 with "LMCRV: ERROR IN EOPEN" (no such entity, or a record too
// short for its limits) or "LMCRV: CLASS IS WRONG".
void LMCRV(int entity_id, float (&limits)[6], int& status);
