// The pocket drawing (least version, see the header).
#include "pocket_lanes/pocket_drawing_least.hpp"

void DRAWPK(int /*mode*/, int /*reserved*/, int& status) { status = 0; }

void drawpk_find_start(int& status) { status = 0; }
